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
    GbkText link;                  // where its LRC file is; may be empty
    int durationMs = 0;            // the track's length; 0 when the source does not say
    bool synced = true;            // false: the lyric is plain text without times
    std::string_view source = {};  // the id of the source it came from (SourceEntry::id)
    bool operator==(const SearchHit&) const = default;
};

/// What the user looks for: the text typed (the song's title, maybe with its artist), and,
/// when known, the artist apart and the track's length.
struct SearchQuery {
    GbkText text;
    GbkText artist;
    int durationMs = 0;  // 0: unknown
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
    GbkText netease = "https://music.163.com";
    GbkText qq = "https://c.y.qq.com";
    GbkText source = "all";  // id of the chosen source, or kAllSources
    FetchLimits limits;
};

class LyricSource {
  public:
    virtual ~LyricSource() = default;
    virtual FetchRequest searchRequest(const GbkText& text) const = 0;
    /// The request for a query; by default the search for its text and artist together.
    virtual FetchRequest queryRequest(const SearchQuery& query) const;
    virtual HitList readHits(std::string_view body) const = 0;
    /// What a fetched search answer holds: nullopt when the fetch failed or the server refused
    /// (a failed source), else readHits of the body.
    virtual std::optional<HitList> readAnswer(const FetchOutcome& outcome) const;
    virtual FetchRequest lyricRequest(const GbkText& link) const = 0;
    /// The LRC file in a fetched lyric body, byte for byte; nullopt when the body holds none.
    virtual std::optional<std::string> lyricBytes(std::string_view body) const = 0;
};

/// A source a search asks: its id (SourceEntry::id) and the source itself.
struct ActiveSource {
    std::string_view id;
    std::shared_ptr<const LyricSource> source;
};

/// One entry of the source list: its id in cantorel.ini, its label in 来源, its maker.
struct SourceEntry {
    std::string_view id;
    std::string_view label;
    /// The source over `settings`, or null when the settings leave it off.
    std::unique_ptr<LyricSource> (*make)(const NetworkSettings& settings);
};

/// The choice that asks every source at once (来源 "全部", listed first and the default).
inline constexpr std::string_view kAllSources = "all";
inline constexpr std::string_view kAllSourcesLabel = "\xC8\xAB\xB2\xBF";  // 全部

/// Every source, in the order 来源 lists them after "全部" (and ties rank).
std::span<const SourceEntry> lyricSources();

/// The entry with `id`, or null (also for kAllSources).
const SourceEntry* findSource(std::string_view id);

/// True when `id` is a choice of 来源: kAllSources or a source's id.
bool isSourceChoice(std::string_view id);

/// The label of the source `id` ("全部" for kAllSources); `id` itself when unknown.
std::string_view sourceLabel(std::string_view id);
