// Plays a generated lyric of 200 lines 50 ms apart through the real engine, transforms and
// public-chat delivery on the Linux real-time loop, with the console stand-in for the client,
// and measures how late each line's delivery starts against its due time (start + line time).
//
//   playback_timing_bench [--print] [--no-priority]
//
// Lines go to /dev/null unless --print. Like cantorel-cli play, it asks for the real-time
// scheduling priority first (best effort); --no-priority measures without it.
//
// Exit status 1 when mean lateness > 2 ms, worst > 5 ms, or the last 20 lines are on average
// more than 1 ms later than the first 20.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "app/loop_units.hpp"
#include "cli/console_client.hpp"
#include "delivery/app_state.hpp"
#include "delivery/delivery.hpp"
#include "playback/line_transform.hpp"
#include "playback/playback_engine.hpp"
#include "posix/real_time.hpp"
#include "text/codepage.hpp"
#include "ui/main_units.hpp"

namespace {

constexpr int kLines = 200;
constexpr int kGapMs = 50;

class SilentBoxes : public MessageBoxes {
  public:
    int show(const GbkText&, const GbkText&, unsigned) override { return mb::kIdOk; }
};

double mean(const std::vector<double>& v, std::size_t from, std::size_t to) {
    return std::accumulate(v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(to),
                           0.0) /
           static_cast<double>(to - from);
}

}  // namespace

int main(int argc, char** argv) {
    bool print = false, priority = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--print") == 0) print = true;
        if (std::strcmp(argv[i], "--no-priority") == 0) priority = false;
    }
    const bool prioritized = priority && posix::requestTimingPriority();
    FILE* out = print ? stdout : std::fopen("/dev/null", "w");
    if (!out) return 2;

    posix::MonotonicClock clock;
    EventLoop loop(clock);
    LoopPumpingWait wait(loop);
    LoopUnits directory(loop);
    MainUnits units(directory);
    AppState state;
    SilentBoxes boxes;

    for (int i = 0; i < kLines; ++i) {
        const int time = (i + 1) * kGapMs;
        const GbkText text = "第" + std::to_string(i + 1) + "行 line";
        state.lyrics.lines.push_back({time, text});
        const int row = units.超级列表框_歌词.addRow(std::to_string(time), i + 1);
        units.超级列表框_歌词.setCell(row, 1, text);
    }
    state.targetWindow = cli::ConsoleClient::kMainWindow;
    units.公屏字幕.setChecked(true);

    std::int64_t start = 0;
    std::vector<std::int64_t> started, sent;
    cli::ConsoleClient client(clock, [&](const cli::ClientLine& line) {
        started.push_back(line.startMicros);
        sent.push_back(line.sentMicros);
        std::fprintf(out, "%s %s\n", cli::elapsedStamp(line.startMicros - start).c_str(),
                     codepage::gbkToUtf8(line.text).c_str());
    });
    LineTransform transform(units, 1);
    Delivery delivery(client, wait, boxes, state, units);
    PlaybackEngine engine(units, state, boxes, clock, transform, delivery);

    start = clock.nowMicros();
    engine.startStop();
    loop.run();

    if (started.size() != static_cast<std::size_t>(kLines)) {
        std::fprintf(stderr, "delivered %zu of %d lines\n", started.size(), kLines);
        return 1;
    }
    std::vector<double> late(kLines), sentLate(kLines);
    for (int i = 0; i < kLines; ++i) {
        const std::int64_t due = start + (i + 1) * kGapMs * 1000LL;
        late[static_cast<std::size_t>(i)] =
            static_cast<double>(started[static_cast<std::size_t>(i)] - due) / 1000.0;
        sentLate[static_cast<std::size_t>(i)] =
            static_cast<double>(sent[static_cast<std::size_t>(i)] - due) / 1000.0;
    }
    const double meanLate = mean(late, 0, kLines);
    const double worst = *std::max_element(late.begin(), late.end());
    const double best = *std::min_element(late.begin(), late.end());
    const double drift = mean(late, kLines - 20, kLines) - mean(late, 0, 20);
    const double meanSent = mean(sentLate, 0, kLines);
    const double worstSent = *std::max_element(sentLate.begin(), sentLate.end());

    std::printf("lines %d, gap %d ms, real-time priority %s\n", kLines, kGapMs,
                prioritized ? "granted" : "not used");
    std::printf("delivery start vs due: mean %.3f ms, min %.3f ms, worst %.3f ms\n", meanLate, best,
                worst);
    std::printf("drift (mean of last 20 - mean of first 20): %.3f ms\n", drift);
    std::printf(
        "send click vs due (includes the two 10 ms delivery pauses): mean %.3f ms, worst %.3f ms\n",
        meanSent, worstSent);
    const bool ok = meanLate <= 2.0 && worst <= 5.0 && drift <= 1.0;
    std::printf("%s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
