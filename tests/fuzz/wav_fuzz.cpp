// WAV file bytes: the reader refuses or reads within the bytes given, and what it reads goes
// through the onset detector without harm.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "audio/onset_detector.hpp"
#include "audio/wav_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const WavResult result = readWav(std::string_view(reinterpret_cast<const char*>(data), size));
    if (result.sound.has_value() == !result.error.empty()) std::abort();
    if (result.sound) {
        OnsetDetector detector(result.sound->sampleRate);
        detector.feed(result.sound->samples.data(), result.sound->samples.size());
    }
    return 0;
}
