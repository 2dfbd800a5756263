// QQ Music answers as any server might send them: a search answer gives hits whose links carry a
// song mid of letters and digits only, and a lyric answer (escaped, base64 or neither) gives a
// lyric or nothing, never an exception or a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "search/qq_source.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const GbkText base = "http://127.0.0.1:9";
    const HitList list = parseQqSearch(body, base);
    if (!list.readable && !list.hits.empty()) std::abort();
    if (list.readable && list.noResult != list.hits.empty()) std::abort();
    const GbkText prefix = base + "/lyric/fcgi-bin/fcg_query_lyric_new.fcg?songmid=";
    const std::string_view suffix = "&format=json&nobase64=1";
    for (const SearchHit& hit : list.hits) {
        if (hit.link.compare(0, prefix.size(), prefix) != 0 || hit.durationMs < 0) std::abort();
        if (hit.link.size() < prefix.size() + suffix.size() + 1) std::abort();
        const std::string_view mid(hit.link.data() + prefix.size(),
                                   hit.link.size() - prefix.size() - suffix.size());
        for (char c : mid) {
            const bool ok =
                (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            if (!ok) std::abort();
        }
    }
    (void)parseQqLyric(body);
    // Unescaping never grows a text by more than its bytes (entities shrink, base64 shrinks).
    if (unescapeQqText(body).size() > size) std::abort();
    return 0;
}
