// LRCLIB answers as any server might send them: a search answer gives hits whose links all
// point into the API, and a record gives its synced lyrics or nothing, never an exception.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "search/lrclib_source.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const GbkText base = "http://127.0.0.1:9";
    const HitList list = parseLrclibSearch(body, base);
    if (!list.readable && !list.hits.empty()) std::abort();
    if (list.readable && list.noResult != list.hits.empty()) std::abort();
    const GbkText prefix = base + "/api/get/";
    for (const SearchHit& hit : list.hits) {
        if (hit.link.compare(0, prefix.size(), prefix) != 0 || hit.link.size() == prefix.size()) {
            std::abort();
        }
        // The id is a number: nothing after it can turn the link into another address.
        for (std::size_t i = prefix.size(); i < hit.link.size(); ++i) {
            const char c = hit.link[i];
            if (!(c >= '0' && c <= '9') && !(c == '-' && i == prefix.size())) std::abort();
        }
    }

    NetworkSettings settings;
    settings.lrclib = base;
    const auto source = makeLrclibSource(settings);
    const auto lyric = source->lyricBytes(body);
    if (lyric && lyric->empty()) std::abort();
    return 0;
}
