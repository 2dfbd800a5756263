// Lyric file bytes as they come from disk or the network: decode, then read the LRC lines.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "lyrics/lrc_reader.hpp"
#include "lyrics/lyric_decoding.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DecodedLyric decoded =
        decodeLyricBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    LyricTable table;
    if (!LrcReader::parse(decoded.text, table)) return 0;
    // The engine walks the lines in time order and never expects a negative time.
    const bool ordered =
        std::is_sorted(table.lines.begin(), table.lines.end(),
                       [](const LyricLine& a, const LyricLine& b) { return a.time < b.time; });
    const bool nonNegative = std::all_of(table.lines.begin(), table.lines.end(),
                                         [](const LyricLine& line) { return line.time >= 0; });
    if (!ordered || !nonNegative) std::abort();
    return 0;
}
