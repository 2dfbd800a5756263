#pragma once
// Reading WAV files into mono float samples: 16-bit PCM or 32-bit float, any channel count up
// to 8, mixed down by averaging. A file may come from anywhere, so every size in it is checked
// against the bytes actually there; what cannot be read is refused with a reason, never guessed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct MonoSound {
    int sampleRate = 0;
    std::vector<float> samples;  // full scale 1.0
};

struct WavResult {
    std::optional<MonoSound> sound;
    std::string error;  // why the file was refused (English, for the console)
};

/// Decodes the bytes of a RIFF WAVE file.
WavResult readWav(std::string_view bytes);
