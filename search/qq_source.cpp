#include "search/qq_source.hpp"

#include "search/keyword_encoding.hpp"
#include "search/service_json.hpp"
#include "search/title_match.hpp"
#include "search/translation_merge.hpp"
#include "text/codepage.hpp"

namespace {

using service_json::json;

constexpr long long kMaxLengthSeconds = 24LL * 3600;
constexpr const char* kPlayerPage = "https://y.qq.com/portal/player.html";

class QqSource : public LyricSource {
  public:
    QqSource(GbkText base, FetchLimits limits) : base_(std::move(base)), limits_(limits) {}

    FetchRequest searchRequest(const GbkText& text) const override {
        return {base_ + "/soso/fcgi-bin/client_search_cp?w=" + encodeKeyword(text) +
                    "&p=1&n=30&format=json",
                service_json::userAgent(), limits_};
    }

    HitList readHits(std::string_view body) const override { return parseQqSearch(body, base_); }

    FetchRequest lyricRequest(const GbkText& link) const override {
        FetchRequest request{link, service_json::userAgent(), limits_};
        request.referer = kPlayerPage;
        return request;
    }

    std::optional<std::string> lyricBytes(std::string_view body) const override {
        return parseQqLyric(body);
    }

  private:
    GbkText base_;
    FetchLimits limits_;
};

// "name(" … ")" around an answer, as the service's JSONP form sends it.
std::string_view withoutCallback(std::string_view body) {
    while (!body.empty() && (body.front() == ' ' || body.front() == '\r' || body.front() == '\n'))
        body.remove_prefix(1);
    if (body.empty() || body.front() == '{') return body;
    const std::size_t open = body.find('(');
    const std::size_t close = body.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return body;
    for (std::size_t i = 0; i < open; ++i) {
        const char c = body[i];
        const bool name = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '_' || c == '$' || c == '.';
        if (!name) return body;
    }
    return body.substr(open + 1, close - open - 1);
}

// A song mid goes into an address: letters and digits only.
bool isMid(std::string_view mid) {
    if (mid.empty() || mid.size() > 64) return false;
    for (char c : mid) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

void appendUtf8(std::string& out, unsigned long code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::optional<std::string> fromBase64(std::string_view text) {
    std::string out;
    unsigned int bits = 0;
    int count = 0;
    for (char c : text) {
        int value;
        if (c >= 'A' && c <= 'Z')
            value = c - 'A';
        else if (c >= 'a' && c <= 'z')
            value = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            value = c - '0' + 52;
        else if (c == '+')
            value = 62;
        else if (c == '/')
            value = 63;
        else if (c == '=' || c == '\r' || c == '\n')
            continue;
        else
            return std::nullopt;
        bits = (bits << 6) | static_cast<unsigned int>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

}  // namespace

std::string unescapeQqText(std::string_view text) {
    if (!text.empty() && text.find('[') == std::string_view::npos &&
        text.find('&') == std::string_view::npos) {
        // Only an LRC inside makes it base64; a plain line of letters stays as it is.
        std::optional<std::string> decoded = fromBase64(text);
        if (decoded && decoded->find('[') != std::string::npos) return *decoded;
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t semi = text.find(';', i);
        if (semi == std::string_view::npos || semi - i > 10) {
            out += '&';
            continue;
        }
        const std::string_view name = text.substr(i + 1, semi - i - 1);
        unsigned long code = 0;
        bool known = true;
        if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string_view digits = name.substr(hex ? 2 : 1);
            known = !digits.empty();
            for (char c : digits) {
                int d;
                if (c >= '0' && c <= '9')
                    d = c - '0';
                else if (hex && c >= 'a' && c <= 'f')
                    d = c - 'a' + 10;
                else if (hex && c >= 'A' && c <= 'F')
                    d = c - 'A' + 10;
                else {
                    known = false;
                    break;
                }
                code = code * (hex ? 16 : 10) + static_cast<unsigned long>(d);
            }
        } else if (name == "amp") {
            code = '&';
        } else if (name == "lt") {
            code = '<';
        } else if (name == "gt") {
            code = '>';
        } else if (name == "quot") {
            code = '"';
        } else if (name == "apos") {
            code = '\'';
        } else {
            known = false;
        }
        if (!known) {
            out += '&';
            continue;
        }
        appendUtf8(out, code);
        i = semi;
    }
    return out;
}

HitList parseQqSearch(std::string_view body, const GbkText& base) {
    HitList list;
    const std::optional<json> answer = service_json::parse(withoutCallback(body));
    if (!answer || !answer->is_object()) {
        list.readable = false;
        return list;
    }
    const json* code = service_json::member(*answer, "code");
    if (!code || !code->is_number_integer() || code->get<long long>() != 0) {
        list.readable = false;
        return list;
    }
    const json* data = service_json::member(*answer, "data");
    const json* song = data ? service_json::member(*data, "song") : nullptr;
    const json* songs = song ? service_json::member(*song, "list") : nullptr;
    if (songs && songs->is_array()) {
        for (const json& entry : *songs) {
            const std::string mid = service_json::text(entry, "songmid");
            const std::string name = service_json::text(entry, "songname");
            if (!isMid(mid) || name.empty()) continue;
            SearchHit hit;
            hit.song = codepage::utf8ToGbk(unescapeQqText(name));
            hit.artist =
                codepage::utf8ToGbk(service_json::names(service_json::member(entry, "singer")));
            hit.link = base + "/lyric/fcgi-bin/fcg_query_lyric_new.fcg?songmid=" + mid +
                       "&format=json&nobase64=1";
            hit.durationMs =
                static_cast<int>(service_json::count(entry, "interval", kMaxLengthSeconds) * 1000);
            list.hits.push_back(std::move(hit));
        }
    }
    list.noResult = list.hits.empty();
    return list;
}

std::optional<std::string> parseQqLyric(std::string_view body) {
    const std::optional<json> answer = service_json::parse(withoutCallback(body));
    if (!answer || !answer->is_object()) return std::nullopt;
    const json* retcode = service_json::member(*answer, "retcode");
    if (retcode && (!retcode->is_number_integer() || retcode->get<long long>() != 0))
        return std::nullopt;
    const std::string lyric = unescapeQqText(service_json::text(*answer, "lyric"));
    if (saysNoLyric(lyric)) return std::nullopt;
    return mergeTranslation(lyric, unescapeQqText(service_json::text(*answer, "trans")));
}

std::unique_ptr<LyricSource> makeQqSource(const NetworkSettings& settings) {
    GbkText base = gbk::trimBlanks(settings.qq);
    while (!base.empty() && base.back() == '/') base.pop_back();
    if (base.empty()) return nullptr;
    return std::make_unique<QqSource>(std::move(base), settings.limits);
}
