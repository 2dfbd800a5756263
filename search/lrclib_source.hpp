#pragma once
// LRCLIB, the open synced-lyrics database: /api/search?q=… answers a JSON array of records,
// /api/get?track_name=…&artist_name=…&duration=… (when all three are known) the one record;
// the records with synced lyrics are the hits; /api/get/{id} answers one record whose
// syncedLyrics is the LRC file.

#include <memory>

#include "search/lyric_source.hpp"

/// Hits of a search answer; links are `base` + "/api/get/" + id.
HitList parseLrclibSearch(std::string_view json, const GbkText& base);

/// LRCLIB at the address of `settings`.
std::unique_ptr<LyricSource> makeLrclibSource(const NetworkSettings& settings);
