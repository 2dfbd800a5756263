// The source list. A new source is one file with its maker, plus its line here.
#include <array>

#include "search/lrclib_source.hpp"
#include "search/lyric_source.hpp"
#include "search/netease_source.hpp"
#include "search/qq_source.hpp"
#include "search/site_source.hpp"

namespace {

constexpr std::array kSources = {
    SourceEntry{"netease", "网易云音乐", makeNeteaseSource},
    SourceEntry{"qq", "QQ音乐", makeQqSource},
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

bool isSourceChoice(std::string_view id) { return id == kAllSources || findSource(id); }

std::string_view sourceLabel(std::string_view id) {
    if (id == kAllSources) return kAllSourcesLabel;
    const SourceEntry* entry = findSource(id);
    return entry ? entry->label : id;
}
