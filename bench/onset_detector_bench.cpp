// The onset detector: how far the onsets it finds lie from the true ones over generated
// material (tone, noise, music-like; 8-96 kHz; -6 to -45 dB; with and without hum and a click
// before the music), and what a second of sound costs it.
//
//   onset_detector_bench            accuracy table, then the cost benchmark
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/onset_detector.hpp"
#include "tests/audio/signals.hpp"

namespace {

void accuracy() {
    double worst = 0, sum = 0;
    int runs = 0, missed = 0;
    for (int rate : {8000, 22050, 44100, 48000, 96000})
        for (double db : {-6.0, -25.0, -45.0})
            for (int material = 0; material < 3; ++material)
                for (int extras = 0; extras < 2; ++extras) {
                    const double start = 1.2345 + 0.0011 * runs;
                    signals::Track track(rate, start + 2.5);
                    if (extras) track.tone(0, start + 2.5, 50, -62).noise(start - 0.1, 0.002, -6);
                    if (material == 0) track.tone(start, 2.2, 440, db);
                    if (material == 1) track.noise(start, 2.2, db);
                    if (material == 2) track.music(start, 2.2, db);
                    OnsetDetector detector(rate);
                    const auto onset =
                        detector.feed(track.samples().data(), track.samples().size());
                    ++runs;
                    if (!onset) {
                        std::printf("  %d Hz, %.0f dB, material %d, extras %d: missed\n", rate, db,
                                    material, extras);
                        ++missed;
                        continue;
                    }
                    const double error = std::fabs(onset->seconds - start) * 1000;
                    if (error > 10)
                        std::printf("  %d Hz, %.0f dB, material %d, extras %d: %.1f ms\n", rate, db,
                                    material, extras, error);
                    worst = std::max(worst, error);
                    sum += error;
                }
    std::printf("onset error over %d tracks: mean %.2f ms, worst %.2f ms, missed %d\n", runs,
                sum / std::max(1, runs - missed), worst, missed);
}

void BM_DetectorPerSecondOfSound(benchmark::State& state) {
    signals::Track track(48000, 10);
    track.music(0, 10, -20);
    for (auto _ : state) {
        OnsetDetector detector(48000);
        for (std::size_t at = 0; at < track.samples().size(); at += 480)
            benchmark::DoNotOptimize(detector.feed(track.samples().data() + at, 480));
    }
    state.SetItemsProcessed(state.iterations() * 10);  // items = seconds of sound
}
BENCHMARK(BM_DetectorPerSecondOfSound)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    accuracy();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
