#include "audio/wav_reader.hpp"

#include <gtest/gtest.h>

#include "tests/audio/signals.hpp"

namespace {

TEST(WavReader, ReadsPcmAndFloatMixingChannelsDown) {
    const std::vector<float> samples{0.0f, 0.5f, -0.25f, 1.0f};
    for (bool asFloat : {false, true}) {
        for (int channels : {1, 2, 6}) {
            const WavResult result = readWav(signals::wavBytes(samples, 22050, channels, asFloat));
            ASSERT_TRUE(result.sound) << result.error;
            EXPECT_EQ(result.sound->sampleRate, 22050);
            ASSERT_EQ(result.sound->samples.size(), samples.size());
            for (std::size_t i = 0; i < samples.size(); ++i)
                EXPECT_NEAR(result.sound->samples[i], samples[i], 1e-4);
        }
    }
}

TEST(WavReader, ExtensibleFormatAndACutOffDataChunkStillRead) {
    std::string wav = signals::wavBytes({0.5f, 0.5f, 0.5f}, 8000);
    // fmt chunk grown to the 40-byte extensible form, sub-format PCM.
    std::string ext = wav.substr(0, 20);
    ext[16] = 40;
    ext += '\xFE';
    ext += '\xFF';
    ext += wav.substr(22, 14) + std::string("\x16\x00\x10\x00\x04\x00\x00\x00\x01\x00", 10) +
           std::string(14, '\0') + wav.substr(36);
    const WavResult extensible = readWav(ext);
    ASSERT_TRUE(extensible.sound) << extensible.error;
    EXPECT_EQ(extensible.sound->samples.size(), 3u);

    // The recorder stopped early: the size says more than is there, and half a frame is left.
    std::string cut = wav.substr(0, wav.size() - 1);
    cut[40] = '\xFF', cut[41] = '\xFF', cut[42] = '\xFF', cut[43] = '\xFF';
    const WavResult partial = readWav(cut);
    ASSERT_TRUE(partial.sound) << partial.error;
    EXPECT_EQ(partial.sound->samples.size(), 2u);
}

TEST(WavReader, RefusesWhatItCannotReadSafely) {
    const std::string good = signals::wavBytes({0.1f, 0.2f}, 8000, 2);
    auto patched = [&](std::size_t at, std::string bytes) {
        std::string w = good;
        w.replace(at, bytes.size(), bytes);
        return w;
    };
    const std::vector<std::string> bad{
        "",
        "RIFF\x10\0\0\0WAVE",
        good.substr(0, 30),                               // format cut short
        patched(12, "data"),                              // data before the format
        patched(16, std::string("\xFF\xFF\xFF\x7F", 4)),  // chunk past the end
        patched(34, std::string("\x18\0", 2)),            // 24-bit
        patched(20, std::string("\x02\0", 2)),            // a compressed format
        patched(22, std::string("\0\0", 2)),              // no channels
        patched(22, std::string("\x40\0", 2)),            // 64 channels
        patched(24, std::string("\0\0\0\0", 4)),          // rate 0
        patched(32, std::string("\x03\0", 2)),            // block size off
        good.substr(0, 36),                               // no data chunk
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const WavResult result = readWav(bad[i]);
        EXPECT_FALSE(result.sound) << "case " << i;
        EXPECT_FALSE(result.error.empty()) << "case " << i;
    }
}

}  // namespace
