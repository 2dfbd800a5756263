#pragma once
// A place lyrics come from. A source turns the search text into a request, reads the hits out
// of the answer, and turns a hit's link into the request and the bytes of its LRC file. Sources
// are pure: they build requests and read bodies, the fetching happens elsewhere.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/web_fetch.hpp"
#include "text/gbk_text.hpp"

/// One hit of a search.
struct SearchHit {
    GbkText song;
    GbkText artist;
    GbkText link;  // where its LRC file is; may be empty
    bool operator==(const SearchHit&) const = default;
};

/// What a source read out of a search answer.
struct HitList {
    bool readable = true;   // false: the answer was not in the source's format
    bool noResult = false;  // the source said it found nothing (the rows shown stay)
    std::vector<SearchHit> hits;
};

/// Addresses and limits of the sources; kept in cantorel.ini [network].
struct NetworkSettings {
    GbkText lyricSite;  // host or http://host:port of the lyric site; empty: off
    GbkText lrclib = "https://lrclib.net";
    GbkText source = "lrclib";  // id of the chosen source
    FetchLimits limits;
};

class LyricSource {
  public:
    virtual ~LyricSource() = default;
    virtual FetchRequest searchRequest(const GbkText& text) const = 0;
    virtual HitList readHits(std::string_view body) const = 0;
    virtual FetchRequest lyricRequest(const GbkText& link) const = 0;
    /// The LRC file in a fetched lyric body, byte for byte; nullopt when the body holds none.
    virtual std::optional<std::string> lyricBytes(std::string_view body) const = 0;
};

/// One entry of the source list: its id in cantorel.ini, its label in 来源, its maker.
struct SourceEntry {
    std::string_view id;
    std::string_view label;
    /// The source over `settings`, or null when the settings leave it off.
    std::unique_ptr<LyricSource> (*make)(const NetworkSettings& settings);
};

/// Every source, in the order 来源 lists them; the first is the default.
std::span<const SourceEntry> lyricSources();

/// The entry with `id`, or null.
const SourceEntry* findSource(std::string_view id);
