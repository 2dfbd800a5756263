#include "search/netease_source.hpp"

#include "search/keyword_encoding.hpp"
#include "search/service_json.hpp"
#include "search/title_match.hpp"
#include "search/translation_merge.hpp"
#include "text/codepage.hpp"

namespace {

using service_json::json;

// Longer than any song: a larger "duration" is noise, not a length.
constexpr long long kMaxLengthMs = 24LL * 3600 * 1000;

class NeteaseSource : public LyricSource {
  public:
    NeteaseSource(GbkText base, FetchLimits limits) : base_(std::move(base)), limits_(limits) {}

    FetchRequest searchRequest(const GbkText& text) const override {
        return {
            base_ + "/api/search/get/web?s=" + encodeKeyword(text) + "&type=1&offset=0&limit=30",
            service_json::userAgent(), limits_};
    }

    HitList readHits(std::string_view body) const override {
        return parseNeteaseSearch(body, base_);
    }

    FetchRequest lyricRequest(const GbkText& link) const override {
        return {link, service_json::userAgent(), limits_};
    }

    std::optional<std::string> lyricBytes(std::string_view body) const override {
        return parseNeteaseLyric(body);
    }

  private:
    GbkText base_;
    FetchLimits limits_;
};

}  // namespace

HitList parseNeteaseSearch(std::string_view body, const GbkText& base) {
    HitList list;
    const std::optional<json> answer = service_json::parse(body);
    // An object with code 200 is an answer; anything else (a refusal, a captcha page) is not.
    if (!answer || !answer->is_object() || service_json::count(*answer, "code", 1000) != 200) {
        list.readable = false;
        return list;
    }
    const json* result = service_json::member(*answer, "result");
    const json* songs = result ? service_json::member(*result, "songs") : nullptr;
    if (songs && songs->is_array()) {
        for (const json& song : *songs) {
            const std::string id = service_json::idText(song, "id");
            const std::string name = service_json::text(song, "name");
            if (id.empty() || name.empty()) continue;
            SearchHit hit;
            hit.song = codepage::utf8ToGbk(name);
            const json* artists = service_json::member(song, "artists");
            if (!artists) artists = service_json::member(song, "ar");
            hit.artist = codepage::utf8ToGbk(service_json::names(artists));
            hit.link = base + "/api/song/lyric?id=" + id + "&lv=1&tv=-1";
            long long ms = service_json::count(song, "duration", kMaxLengthMs);
            if (ms == 0) ms = service_json::count(song, "dt", kMaxLengthMs);
            hit.durationMs = static_cast<int>(ms);
            list.hits.push_back(std::move(hit));
        }
    }
    list.noResult = list.hits.empty();
    return list;
}

std::optional<std::string> parseNeteaseLyric(std::string_view body) {
    const std::optional<json> answer = service_json::parse(body);
    if (!answer || !answer->is_object()) return std::nullopt;
    const json* nolyric = service_json::member(*answer, "nolyric");
    if (nolyric && nolyric->is_boolean() && nolyric->get<bool>()) return std::nullopt;
    const json* lrc = service_json::member(*answer, "lrc");
    const std::string lyric = lrc ? service_json::text(*lrc, "lyric") : std::string();
    if (saysNoLyric(lyric)) return std::nullopt;
    const json* tlyric = service_json::member(*answer, "tlyric");
    const std::string translation = tlyric ? service_json::text(*tlyric, "lyric") : std::string();
    return mergeTranslation(lyric, translation);
}

std::unique_ptr<LyricSource> makeNeteaseSource(const NetworkSettings& settings) {
    GbkText base = gbk::trimBlanks(settings.netease);
    while (!base.empty() && base.back() == '/') base.pop_back();
    if (base.empty()) return nullptr;
    return std::make_unique<NeteaseSource>(std::move(base), settings.limits);
}
