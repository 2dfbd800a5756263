#pragma once
// QQ Music through the web endpoints open lyric players use:
// /soso/fcgi-bin/client_search_cp?w=…&format=json answers {"code":0,"data":{"song":{"list":
// [{songmid, songname, singer, interval}]}}} (some mirrors wrap it in callback(...));
// /lyric/fcgi-bin/fcg_query_lyric_new.fcg?songmid=…&format=json&nobase64=1 answers
// {"retcode":0,"lyric":…,"trans":…}, the texts XML-escaped (or base64 where nobase64 is
// ignored). The lyric endpoint answers only requests that come "from" its player page.

#include <memory>

#include "search/lyric_source.hpp"

/// Hits of a search answer; links are `base` + "/lyric/fcgi-bin/fcg_query_lyric_new.fcg?songmid="
/// + mid + "&format=json&nobase64=1".
HitList parseQqSearch(std::string_view json, const GbkText& base);

/// The LRC file of a lyric answer with its translation merged in; nullopt when it holds none.
std::optional<std::string> parseQqLyric(std::string_view json);

/// A lyric text as the service escapes it, read back: &#NN; &#xNN; and the five XML entities;
/// a text without a "[" that is base64 is decoded.
std::string unescapeQqText(std::string_view text);

/// QQ Music at the address of `settings`.
std::unique_ptr<LyricSource> makeQqSource(const NetworkSettings& settings);
