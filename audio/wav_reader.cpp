#include "audio/wav_reader.hpp"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMaxChannels = 8;
constexpr std::uint32_t kMaxRate = 768000;

std::uint16_t u16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t u32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(u16(b, at)) | static_cast<std::uint32_t>(u16(b, at + 2))
                                                        << 16;
}

WavResult refuse(std::string why) { return {std::nullopt, std::move(why)}; }

}  // namespace

WavResult readWav(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return refuse("not a RIFF WAVE file");
    std::uint16_t format = 0, channels = 0, bits = 0, blockAlign = 0;
    std::uint32_t rate = 0;
    bool haveFormat = false;
    std::string_view data;
    bool haveData = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size() && !haveData) {
        const std::string_view id = bytes.substr(at, 4);
        const std::uint32_t size = u32(bytes, at + 4);
        at += 8;
        const std::size_t left = bytes.size() - at;
        if (id == "data") {
            if (!haveFormat) return refuse("data comes before the format");
            // Recorders that were cut off leave the size too large (or 0xFFFFFFFF): the
            // samples that are there are read.
            data = bytes.substr(at, size < left ? size : left);
            haveData = true;
            break;
        }
        if (size > left) return refuse("a chunk runs past the end of the file");
        if (id == "fmt ") {
            if (size < 16) return refuse("format chunk too short");
            format = u16(bytes, at);
            channels = u16(bytes, at + 2);
            rate = u32(bytes, at + 4);
            blockAlign = u16(bytes, at + 12);
            bits = u16(bytes, at + 14);
            if (format == kFormatExtensible) {
                if (size < 40) return refuse("extensible format chunk too short");
                // The sub-format GUID starts with the plain format code.
                format = u16(bytes, at + 24);
            }
            haveFormat = true;
        }
        at += size + (size & 1);  // chunks are padded to even sizes
    }
    if (!haveFormat) return refuse("no format chunk");
    if (!haveData) return refuse("no data chunk");
    const bool pcm16 = format == kFormatPcm && bits == 16;
    const bool float32 = format == kFormatFloat && bits == 32;
    if (!pcm16 && !float32) return refuse("only 16-bit PCM and 32-bit float samples are read");
    if (channels < 1 || channels > kMaxChannels) return refuse("unsupported channel count");
    if (rate < 1000 || rate > kMaxRate) return refuse("unsupported sample rate");
    const std::size_t width = bits / 8u;
    if (blockAlign != width * channels) return refuse("block size does not match the format");

    MonoSound sound;
    sound.sampleRate = static_cast<int>(rate);
    const std::size_t frames = data.size() / blockAlign;  // a cut-off last frame is dropped
    sound.samples.resize(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (std::size_t c = 0; c < channels; ++c) {
            const std::size_t p = f * blockAlign + c * width;
            if (pcm16) {
                sum += static_cast<float>(static_cast<std::int16_t>(u16(data, p))) / 32768.0f;
            } else {
                const std::uint32_t raw = u32(data, p);
                float value;
                std::memcpy(&value, &raw, sizeof value);
                sum += value;
            }
        }
        sound.samples[f] = sum / static_cast<float>(channels);
    }
    return {std::move(sound), {}};
}
