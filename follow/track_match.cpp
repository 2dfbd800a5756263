#include "follow/track_match.hpp"

#include <algorithm>
#include <array>

namespace {

// Words that mark a version of a song rather than its name; compared on match keys.
constexpr std::array kDecorations = {"伴奏",     "ktv",    "instrumental", "karaoke", "live",
                                     "remaster", "纯音乐", "offvocal",     "原唱"};

bool decorated(std::string_view part) {
    const GbkText key = matchKey(part);
    for (const char* word : kDecorations) {
        if (gbk::contains(key, word)) return true;
    }
    return false;
}

struct Bracket {
    std::string_view open, close;
};
constexpr std::array kBrackets = {Bracket{"(", ")"}, Bracket{"（", "）"}, Bracket{"[", "]"},
                                  Bracket{"【", "】"}};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    // A full-width blank (A1A1) at the end, as GBK titles sometimes carry.
    while (text.size() >= 2 && text.ends_with("\xA1\xA1")) text.remove_suffix(2);
    return text;
}

// The last occurrence of `needle` at a character start, or npos.
std::size_t findLast(std::string_view text, std::string_view needle) {
    std::size_t found = std::string_view::npos;
    std::size_t from = 0;
    while (const auto at = gbk::find(text, needle, from)) {
        found = *at;
        from = *at + gbk::charLength(text, *at);
        if (from > text.size()) break;
    }
    return found;
}

// One decoration removed from the end of `title`; false when there is none.
bool stripOne(std::string_view& title) {
    for (const Bracket& b : kBrackets) {
        if (!title.ends_with(b.close)) continue;
        const std::size_t open = findLast(title, b.open);
        if (open == std::string_view::npos || open == 0) continue;
        if (!decorated(title.substr(open))) continue;
        title = trimmed(title.substr(0, open));
        return true;
    }
    for (std::string_view dash : {" - ", " -", "- ", "-", "—", "－"}) {
        const std::size_t at = findLast(title, dash);
        if (at == std::string_view::npos || at == 0) continue;
        if (!decorated(title.substr(at + dash.size()))) continue;
        title = trimmed(title.substr(0, at));
        return true;
    }
    for (std::string_view tail : {"KTV版", "ktv版", "伴奏版", "伴奏"}) {
        if (title.size() > tail.size() && title.ends_with(tail) &&
            gbk::find(title, tail, 0).has_value()) {
            // Only where the tail starts at a character boundary.
            const std::size_t at = title.size() - tail.size();
            if (findLast(title, tail) != at) continue;
            title = trimmed(title.substr(0, at));
            return true;
        }
    }
    return false;
}

}  // namespace

GbkText cleanTitle(std::string_view title) {
    title = trimmed(title);
    const std::string_view whole = title;
    while (stripOne(title)) {
    }
    return GbkText(title.empty() ? whole : title);
}

GbkText matchKey(std::string_view text) {
    const GbkText half = gbk::toHalfWidth(text);
    GbkText key;
    for (const std::string_view c : gbk::characters(half)) {
        if (c.size() == 1) {
            const char b = c[0];
            const bool alnum =
                (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
            if (alnum) key += gbk::lowerAscii(b);
        } else if (static_cast<unsigned char>(c[0]) != 0xA1) {
            key += c;  // the A1 row holds GBK's punctuation and symbols
        }
    }
    return key;
}

std::vector<GbkText> artistKeys(std::string_view artist) {
    std::vector<GbkText> keys;
    GbkText pieces(artist);
    for (std::string_view sep : {"/", "&", ",", "、", "，", ";", " feat. ", " ft. ", "；", "＆"})
        pieces = gbk::replaceAll(pieces, sep, "/");
    for (const GbkText& piece : gbk::split(pieces, "/")) {
        GbkText key = matchKey(piece);
        if (!key.empty()) keys.push_back(std::move(key));
    }
    return keys;
}

int trackMatch(std::string_view title, std::string_view trackArtist, std::string_view song,
               std::string_view artist) {
    const GbkText want = matchKey(cleanTitle(title));
    if (want.empty() || matchKey(cleanTitle(song)) != want) return 0;
    const auto wanted = artistKeys(trackArtist);
    const auto offered = artistKeys(artist);
    if (wanted.empty() || offered.empty()) return 1;
    for (const GbkText& a : wanted) {
        for (const GbkText& b : offered) {
            if (a == b) return 2;
        }
    }
    return 0;
}

std::optional<std::size_t> bestLyricFile(std::string_view title, std::string_view artist,
                                         const std::vector<GbkText>& names) {
    std::optional<std::size_t> best;
    int bestScore = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string_view name = names[i];
        if (name.size() > 4 && gbk::endsWithIgnoringCase(name, ".lrc")) name.remove_suffix(4);
        // "song - artist", "artist - song" or the song alone.
        int score = trackMatch(title, artist, name, "");
        for (std::string_view dash : {" - ", "-"}) {
            const auto at = gbk::find(name, dash, 0);
            if (!at) continue;
            const std::string_view left = trimmed(name.substr(0, *at));
            const std::string_view right = trimmed(name.substr(*at + dash.size()));
            score = std::max({score, trackMatch(title, artist, left, right),
                              trackMatch(title, artist, right, left)});
        }
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}
