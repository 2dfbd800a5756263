// NetEase answers as any server might send them: a search answer gives hits whose links all point
// at the lyric endpoint with a numeric id, and a lyric answer gives a lyric or nothing, never an
// exception or a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "search/netease_source.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const GbkText base = "http://127.0.0.1:9";
    const HitList list = parseNeteaseSearch(body, base);
    if (!list.readable && !list.hits.empty()) std::abort();
    if (list.readable && list.noResult != list.hits.empty()) std::abort();
    const GbkText prefix = base + "/api/song/lyric?id=";
    const std::string_view suffix = "&lv=1&tv=-1";
    for (const SearchHit& hit : list.hits) {
        if (hit.link.compare(0, prefix.size(), prefix) != 0 || hit.durationMs < 0) std::abort();
        const std::string_view id(hit.link.data() + prefix.size(),
                                  hit.link.size() - prefix.size() - suffix.size());
        if (id.empty() || hit.link.substr(hit.link.size() - suffix.size()) != suffix) std::abort();
        for (char c : id) {
            if (c < '0' || c > '9') std::abort();
        }
    }
    const auto lyric = parseNeteaseLyric(body);
    if (lyric && lyric->size() > 3 * size + 64) std::abort();
    return 0;
}
