#pragma once
// NetEase Cloud Music through the web endpoints open lyric players use:
// /api/search/get/web?s=…&type=1 answers {"code":200,"result":{"songs":[{id, name, artists,
// duration}]}}; /api/song/lyric?id=…&lv=1&tv=-1 answers {"lrc":{"lyric"},"tlyric":{"lyric"}}.
// The translation goes into the saved file under the original's time tags.

#include <memory>

#include "search/lyric_source.hpp"

/// Hits of a search answer; links are `base` + "/api/song/lyric?id=" + id + "&lv=1&tv=-1".
HitList parseNeteaseSearch(std::string_view json, const GbkText& base);

/// The LRC file of a lyric answer with its translation merged in; nullopt when the answer holds
/// no lyric or one that only says the track has no words.
std::optional<std::string> parseNeteaseLyric(std::string_view json);

/// NetEase at the address of `settings`.
std::unique_ptr<LyricSource> makeNeteaseSource(const NetworkSettings& settings);
