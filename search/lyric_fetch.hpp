#pragma once
// How the search and the download judge a fetch: shared by the search panel and the command line.

#include <string>

#include "platform/fetch_words.hpp"
#include "platform/web_fetch.hpp"
#include "search/lyric_source.hpp"

/// True when a search answer cannot be read as one: the fetch failed or the status is 400 or
/// more (or no status came at all).
bool searchFailed(const FetchOutcome& outcome);

/// Why a fetch gave nothing usable, for "歌词下载失败：" + why; empty when it did.
GbkText fetchProblem(const FetchOutcome& outcome);

struct LyricBytes {
    std::string bytes;  // the LRC file, byte for byte; empty on failure
    GbkText problem;    // empty when `bytes` may be saved
};

/// The lyric of a fetched answer: nothing when the fetch failed, the status is not 2xx, or the
/// body (or the lyric inside it) is empty.
LyricBytes takeLyric(const LyricSource& source, const FetchOutcome& outcome);
