#pragma once
// The one place that decides how a lyric file's bytes are encoded. Everything after it sees
// GbkText only.

#include <string_view>

#include "text/gbk_text.hpp"

enum class LyricEncoding { Gbk, Utf8, Utf8Bom, Utf16LeBom, Utf16BeBom };

struct DecodedLyric {
    GbkText text;
    LyricEncoding encoding = LyricEncoding::Gbk;
    int untypable = 0;  // characters GBK lacks, now '?': they cannot be typed into the client
};

/// Decodes a lyric file: a UTF-8, UTF-16LE or UTF-16BE byte-order mark decides first; without
/// one, valid UTF-8 holding a non-ASCII byte is UTF-8 and anything else is GBK, kept byte for
/// byte. Characters without a GBK form become '?'. The text ends at its first NUL character.
DecodedLyric decodeLyricBytes(std::string_view bytes);
