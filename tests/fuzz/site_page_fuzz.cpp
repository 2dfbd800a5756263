// The lyric site's result page as any server might send it: every hit it reads is one row with
// a song and an artist cut at blanks and a link without blanks around it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "search/site_source.hpp"

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const HitList list = parseSitePage(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!list.readable) return 0;
    if (list.noResult && !list.hits.empty()) std::abort();
    for (const SearchHit& hit : list.hits) {
        // Words are split at single spaces, so neither cell can hold one.
        if (hit.song.find(' ') != GbkText::npos || hit.artist.find(' ') != GbkText::npos) {
            std::abort();
        }
        if (!hit.link.empty() && (blank(hit.link.front()) || blank(hit.link.back()))) std::abort();
    }
    return 0;
}
