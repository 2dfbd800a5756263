#include "search/lrclib_source.hpp"

#include <nlohmann/json.hpp>

#include "search/keyword_encoding.hpp"
#include "search/service_json.hpp"
#include "search/title_match.hpp"
#include "text/codepage.hpp"

namespace {

using nlohmann::json;

std::string stringField(const json& record, const char* key) {
    const auto it = record.find(key);
    return it != record.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// LRCLIB asks every client to name itself and its version.
const std::string kUserAgent = service_json::userAgent();

class LrclibSource : public LyricSource {
  public:
    LrclibSource(GbkText base, FetchLimits limits) : base_(std::move(base)), limits_(limits) {}

    FetchRequest searchRequest(const GbkText& text) const override {
        return {base_ + "/api/search?q=" + encodeKeyword(text), kUserAgent, limits_};
    }

    FetchRequest queryRequest(const SearchQuery& query) const override {
        // With title, artist and length LRCLIB finds the one record itself.
        if (query.artist.empty() || query.durationMs <= 0) return LyricSource::queryRequest(query);
        return {base_ + "/api/get?track_name=" + encodeKeyword(query.text) +
                    "&artist_name=" + encodeKeyword(query.artist) +
                    "&duration=" + std::to_string((query.durationMs + 500) / 1000),
                kUserAgent, limits_};
    }

    std::optional<HitList> readAnswer(const FetchOutcome& outcome) const override {
        // /api/get says "not found" with 404 and its own JSON: no result, not a failure.
        if (outcome.failure == FetchFailure::None && outcome.status == 404) {
            const auto answer = service_json::parse(outcome.body);
            if (answer && service_json::text(*answer, "name") == "TrackNotFound") {
                HitList none;
                none.noResult = true;
                return none;
            }
        }
        return LyricSource::readAnswer(outcome);
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
            if (lrc.empty() || saysNoLyric(lrc)) return std::nullopt;
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
    // /api/get answers the one record itself.
    if (records.is_object() && records.contains("id")) records = json::array({std::move(records)});
    if (!records.is_array()) {
        list.readable = false;
        return list;
    }
    for (const json& record : records) {
        if (!record.is_object()) continue;
        const auto id = record.find("id");
        if (id == record.end() || !id->is_number_integer()) continue;
        // Only synced lyrics carry the times playback needs; an instrumental has none to show.
        const std::string synced = stringField(record, "syncedLyrics");
        if (synced.empty() || saysNoLyric(synced)) continue;
        const auto instrumental = record.find("instrumental");
        if (instrumental != record.end() && instrumental->is_boolean() && instrumental->get<bool>())
            continue;
        SearchHit hit{codepage::utf8ToGbk(stringField(record, "trackName")),
                      codepage::utf8ToGbk(stringField(record, "artistName")),
                      // The id as the server wrote it: a huge one must not wrap around.
                      base + "/api/get/" + id->dump()};
        hit.durationMs = static_cast<int>(service_json::count(record, "duration", 86400) * 1000);
        list.hits.push_back(std::move(hit));
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
