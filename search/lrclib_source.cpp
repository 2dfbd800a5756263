#include "search/lrclib_source.hpp"

#include <nlohmann/json.hpp>

#include "search/keyword_encoding.hpp"
#include "text/codepage.hpp"

namespace {

using nlohmann::json;

std::string stringField(const json& record, const char* key) {
    const auto it = record.find(key);
    return it != record.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// LRCLIB asks every client to name itself and its version.
const std::string kUserAgent =
    std::string("Cantorel/") + CANTOREL_VERSION + " (lyric subtitles for voice-chat rooms)";

class LrclibSource : public LyricSource {
  public:
    LrclibSource(GbkText base, FetchLimits limits) : base_(std::move(base)), limits_(limits) {}

    FetchRequest searchRequest(const GbkText& text) const override {
        return {base_ + "/api/search?q=" + encodeKeyword(text), kUserAgent, limits_};
    }

    HitList readHits(std::string_view body) const override {
        return parseLrclibSearch(body, base_);
    }

    FetchRequest lyricRequest(const GbkText& link) const override {
        return {link, kUserAgent, limits_};
    }

    std::optional<std::string> lyricBytes(std::string_view body) const override {
        // The JSON parser throws on anything malformed; nothing of it leaves this function.
        try {
            const json record = json::parse(body);
            if (!record.is_object()) return std::nullopt;
            std::string lrc = stringField(record, "syncedLyrics");
            if (lrc.empty()) return std::nullopt;
            return lrc;
        } catch (const json::exception&) {
            return std::nullopt;
        }
    }

  private:
    GbkText base_;
    FetchLimits limits_;
};

}  // namespace

HitList parseLrclibSearch(std::string_view body, const GbkText& base) {
    HitList list;
    json records;
    try {
        records = json::parse(body);
    } catch (const json::exception&) {
        list.readable = false;
        return list;
    }
    if (!records.is_array()) {
        list.readable = false;
        return list;
    }
    for (const json& record : records) {
        if (!record.is_object()) continue;
        const auto id = record.find("id");
        if (id == record.end() || !id->is_number_integer()) continue;
        // Only synced lyrics carry the times playback needs.
        if (stringField(record, "syncedLyrics").empty()) continue;
        list.hits.push_back({codepage::utf8ToGbk(stringField(record, "trackName")),
                             codepage::utf8ToGbk(stringField(record, "artistName")),
                             // The id as the server wrote it: a huge one must not wrap around.
                             base + "/api/get/" + id->dump()});
    }
    list.noResult = list.hits.empty();
    return list;
}

std::unique_ptr<LyricSource> makeLrclibSource(const NetworkSettings& settings) {
    GbkText base = gbk::trimBlanks(settings.lrclib);
    while (!base.empty() && base.back() == '/') base.pop_back();
    if (base.empty()) return nullptr;
    return std::make_unique<LrclibSource>(std::move(base), settings.limits);
}
