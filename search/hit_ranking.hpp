#pragma once
// One list out of the hits of every source: duplicates across sources collapse to the best one;
// synced lyrics come before plain text, sung takes before those whose title says "伴奏" or
// "Instrumental" (a singer playing the backing track wants the song's words), then the closest
// title, the closest artist and, when the length is known on both sides, the closest length.
// Equal hits keep their sources' order.

#include <vector>

#include "search/lyric_source.hpp"

/// How well one hit answers the query; a larger tuple is better.
struct HitScore {
    bool synced = false;
    bool sung = false;         // the title names no instrumental take
    int title = 0;             // titleCloseness
    bool bare = false;         // no decoration in the title: a tie goes to the song itself
    int artist = 0;            // artistCloseness
    long long lengthGap = -1;  // ms between the lengths; -1 when either is unknown
};

HitScore scoreHit(const SearchQuery& query, const SearchHit& hit);

/// True when `a` ranks before `b`.
bool ranksBefore(const HitScore& a, const HitScore& b);

/// `hits` (in the order the sources gave them) ranked best first, with duplicates of the same
/// song from different sources collapsed to the best of them.
std::vector<SearchHit> rankHits(const SearchQuery& query, std::vector<SearchHit> hits);
