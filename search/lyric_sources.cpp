// The source list. A new source is one file with its maker, plus its line here.
#include <array>

#include "search/lrclib_source.hpp"
#include "search/lyric_source.hpp"
#include "search/site_source.hpp"

namespace {

constexpr std::array kSources = {
    SourceEntry{"lrclib", "LRCLIB", makeLrclibSource},
    SourceEntry{"site", "歌词网站", makeSiteSource},
};

}  // namespace

std::span<const SourceEntry> lyricSources() { return kSources; }

const SourceEntry* findSource(std::string_view id) {
    for (const SourceEntry& entry : kSources) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}
