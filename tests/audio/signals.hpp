#pragma once
// Generated sound for the onset tests: silence, tones, noise, music-like material, clicks, and
// WAV files built from it.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace signals {

inline constexpr double kPi = 3.14159265358979323846;

/// Amplitude of a sine whose RMS level is `db` of full scale.
inline double sineAmplitude(double db) { return std::sqrt(2.0) * std::pow(10.0, db / 20.0); }

class Track {
  public:
    Track(int rate, double seconds) : rate_(rate), samples_(std::size_t(rate * seconds), 0.0f) {}

    /// Adds a sine from `from` for `length` seconds, starting at `phase` (radians).
    Track& tone(double from, double length, double hz, double db, double phase = 0) {
        return add(from, length, [&](double t) {
            return sineAmplitude(db) * std::sin(2 * kPi * hz * t + phase);
        });
    }
    /// Adds white noise of RMS level `db`.
    Track& noise(double from, double length, double db, unsigned seed = 7) {
        std::mt19937 random(seed);
        std::normal_distribution<double> normal(0.0, std::pow(10.0, db / 20.0));
        return add(from, length, [&](double) { return normal(random); });
    }
    /// A chord with a beat: three partials whose loudness swells four times a second, and a
    /// short noise hit on every half second.
    Track& music(double from, double length, double db) {
        const double a = sineAmplitude(db);
        add(from, length, [&](double t) {
            const double swell = 0.7 + 0.3 * std::cos(2 * kPi * 4 * t);
            return a * swell *
                   (0.6 * std::sin(2 * kPi * 220 * t) + 0.4 * std::sin(2 * kPi * 277.2 * t) +
                    0.3 * std::sin(2 * kPi * 329.6 * t));
        });
        for (double t = 0; t < length; t += 0.5)
            noise(from + t, 0.03, db - 3, unsigned(t * 10) + 1);
        return *this;
    }
    /// A sine that dies away over `length` seconds, like a notification sound.
    Track& chime(double from, double length, double db) {
        return add(from, length, [&](double t) {
            return sineAmplitude(db) * std::exp(-6 * t / length) * std::sin(2 * kPi * 880 * t);
        });
    }

    const std::vector<float>& samples() const { return samples_; }
    int rate() const { return rate_; }

  private:
    template <class Source>
    Track& add(double from, double length, Source source) {
        const std::size_t first = std::size_t(std::llround(from * rate_));
        const std::size_t count = std::size_t(std::llround(length * rate_));
        for (std::size_t i = 0; i < count && first + i < samples_.size(); ++i) {
            const double t = double(i) / rate_;
            samples_[first + i] += float(source(t));
        }
        return *this;
    }

    int rate_;
    std::vector<float> samples_;
};

/// A WAV file: 16-bit PCM, or 32-bit float, with `channels` copies of each sample.
inline std::string wavBytes(const std::vector<float>& samples, int rate, int channels = 1,
                            bool asFloat = false) {
    auto put16 = [](std::string& s, unsigned v) {
        s += char(v & 0xFF);
        s += char(v >> 8 & 0xFF);
    };
    auto put32 = [&](std::string& s, std::uint32_t v) {
        put16(s, v & 0xFFFF);
        put16(s, v >> 16);
    };
    const unsigned width = asFloat ? 4 : 2;
    std::string data;
    for (float x : samples)
        for (int c = 0; c < channels; ++c) {
            if (asFloat) {
                std::uint32_t raw;
                std::memcpy(&raw, &x, 4);
                put32(data, raw);
            } else {
                const double v = std::fmax(-1.0, std::fmin(1.0, double(x)));
                put16(data, unsigned(std::int16_t(std::lround(v * 32767))) & 0xFFFF);
            }
        }
    std::string wav = "RIFF";
    put32(wav, std::uint32_t(36 + data.size()));
    wav += "WAVEfmt ";
    put32(wav, 16);
    put16(wav, asFloat ? 3 : 1);
    put16(wav, unsigned(channels));
    put32(wav, std::uint32_t(rate));
    put32(wav, std::uint32_t(rate * channels * width));
    put16(wav, unsigned(channels) * width);
    put16(wav, width * 8);
    wav += "data";
    put32(wav, std::uint32_t(data.size()));
    return wav + data;
}

}  // namespace signals
