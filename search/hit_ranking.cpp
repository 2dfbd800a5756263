#include "search/hit_ranking.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "search/title_match.hpp"

namespace {

// Sources round lengths differently (LRCLIB whole seconds, NetEase milliseconds); a few seconds
// apart is one recording, more is a live take or an edit.
constexpr long long kSameLengthMs = 3000;

struct Split {
    GbkText title;
    GbkText artist;
};

// The typed text read against one hit: "晴天 周杰伦" and "周杰伦 晴天" hold the hit's artist
// beside its title. When the artist is given apart, the text is the title alone.
Split splitFor(const SearchQuery& query, const SearchHit& hit) {
    if (!query.artist.empty()) return {query.text, query.artist};
    const GbkText artistKey = plainKey(hit.artist);
    if (artistKey.empty()) return {query.text, ""};
    const std::vector<GbkText> words = gbk::split(query.text, " ");
    for (std::size_t first = 0; first < words.size(); ++first) {
        GbkText run;
        for (std::size_t last = first; last < words.size(); ++last) {
            run += words[last];
            if (plainKey(run) != artistKey) continue;
            GbkText rest;
            for (std::size_t i = 0; i < words.size(); ++i) {
                if (i >= first && i <= last) continue;
                if (!rest.empty()) rest += ' ';
                rest += words[i];
            }
            if (!plainKey(rest).empty()) return {rest, hit.artist};
        }
    }
    return {query.text, ""};
}

}  // namespace

HitScore scoreHit(const SearchQuery& query, const SearchHit& hit) {
    const Split split = splitFor(query, hit);
    HitScore score;
    score.synced = hit.synced;
    score.sung = !namesInstrumental(hit.song);
    score.title = titleCloseness(split.title, hit.song);
    score.bare = titleKey(hit.song) == plainKey(hit.song);
    score.artist = artistCloseness(split.artist, hit.artist);
    if (query.durationMs > 0 && hit.durationMs > 0) {
        score.lengthGap = std::llabs(static_cast<long long>(query.durationMs) - hit.durationMs);
    }
    return score;
}

bool ranksBefore(const HitScore& a, const HitScore& b) {
    if (a.synced != b.synced) return a.synced;
    if (a.sung != b.sung) return a.sung;
    if (a.title != b.title) return a.title > b.title;
    if (a.bare != b.bare) return a.bare;
    if (a.artist != b.artist) return a.artist > b.artist;
    // A known length beats an unknown one, a closer one a farther one.
    if ((a.lengthGap < 0) != (b.lengthGap < 0)) return a.lengthGap >= 0;
    return a.lengthGap < b.lengthGap;
}

std::vector<SearchHit> rankHits(const SearchQuery& query, std::vector<SearchHit> hits) {
    struct Scored {
        SearchHit hit;
        HitScore score;
    };
    std::vector<Scored> scored;
    scored.reserve(hits.size());
    for (SearchHit& hit : hits) {
        HitScore score = scoreHit(query, hit);
        scored.push_back({std::move(hit), score});
    }
    std::stable_sort(scored.begin(), scored.end(), [](const Scored& a, const Scored& b) {
        return ranksBefore(a.score, b.score);
    });
    std::vector<SearchHit> ranked;
    ranked.reserve(scored.size());
    for (Scored& s : scored) {
        // The same song (title and artist as typed, length alike) from another source is a
        // duplicate of the better one already listed.
        const GbkText title = plainKey(s.hit.song);
        const GbkText artist = plainKey(s.hit.artist);
        const bool duplicate =
            !title.empty() && std::any_of(ranked.begin(), ranked.end(), [&](const SearchHit& kept) {
                if (kept.source == s.hit.source) return false;
                if (plainKey(kept.song) != title || plainKey(kept.artist) != artist) return false;
                return kept.durationMs <= 0 || s.hit.durationMs <= 0 ||
                       std::llabs(static_cast<long long>(kept.durationMs) - s.hit.durationMs) <=
                           kSameLengthMs;
            });
        if (!duplicate) ranked.push_back(std::move(s.hit));
    }
    return ranked;
}
