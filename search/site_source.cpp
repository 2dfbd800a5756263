#include "search/site_source.hpp"

#include <string>

#include "search/keyword_encoding.hpp"
#include "text/codepage.hpp"
#include "text/gbk_markers.hpp"
#include "text/web_address.hpp"

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

// One fragment's capture: the artist and song follow its last ">", the LRC address sits between
// the first ">" after the opening byte and the first "</font>". ">" is never the second byte of
// a GBK character, so byte searches are safe here.
SearchHit hitOf(std::string_view capture) {
    SearchHit hit;
    const std::size_t lastGt = capture.rfind('>');
    const std::string_view nameText =
        lastGt == std::string_view::npos ? capture : capture.substr(lastGt + 1);
    const std::vector<GbkText> words = gbk::split(nameText, " ");
    if (words.size() >= 1) hit.artist = words[0];
    if (words.size() >= 2) hit.song = words[1];

    const std::size_t gt = capture.size() > 1 ? capture.find('>', 1) : std::string_view::npos;
    const std::size_t fontEnd = capture.find("</font>");
    if (gt != std::string_view::npos && fontEnd != std::string_view::npos && fontEnd > gt) {
        // A fragment spread over lines has line breaks around its address; they are no part of it.
        std::string_view link = capture.substr(gt + 1, fontEnd - gt - 1);
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
        while (!link.empty() && blank(link.front())) link.remove_prefix(1);
        while (!link.empty() && blank(link.back())) link.remove_suffix(1);
        hit.link = GbkText(link);
    }
    return hit;
}

class SiteSource : public LyricSource {
  public:
    SiteSource(GbkText base, FetchLimits limits) : base_(std::move(base)), limits_(limits) {}

    FetchRequest searchRequest(const GbkText& text) const override {
        // The site takes the browser's User-Agent (the request's default).
        return {base_ + "/?keyword=" + encodeKeyword(text) + "&field=all", "", limits_};
    }

    HitList readHits(std::string_view body) const override { return parseSitePage(body); }

    FetchRequest lyricRequest(const GbkText& link) const override {
        // Pages give whole addresses; a root-relative one is read against the site.
        const GbkText address =
            !link.empty() && link[0] == '/' && !startsWithNoCase(link, "//") ? base_ + link : link;
        // A page is the site's word, not the user's: its links are fetched only from the site
        // itself (never from this machine, the LAN or another host), and never when they hold
        // control characters (CR LF would split the request) or spaces. The empty address
        // fails as an invalid one.
        const std::optional<WebAddress> site = web_address::parse(base_);
        const std::optional<WebAddress> target = web_address::parse(address);
        if (!site || !target || !target->userInfo.empty() ||
            !web_address::sameOrigin(*site, *target))
            return {"", "", limits_};
        return {address, "", limits_};
    }

    std::optional<std::string> lyricBytes(std::string_view body) const override {
        if (body.empty()) return std::nullopt;
        return std::string(body);
    }

  private:
    GbkText base_;
    FetchLimits limits_;
};

}  // namespace

HitList parseSitePage(std::string_view utf8Page) {
    // The page is read as UTF-8 whatever it declares, then handled as GBK like all our text.
    const GbkText page = codepage::utf8ToGbk(utf8Page);
    HitList list;
    if (gbk::contains(page, gbk::marker::kNothingFound)) {
        list.noResult = true;
        return list;
    }
    // The hits are the matches of <font size="-1">(.*?)LRC歌词下载</a> over the page's bytes,
    // "." taking line breaks too. The lazy group ends at the first closing text after its
    // opening, and the next match starts after that closing, so plain searches find the same
    // matches in one pass. (Boost.Regex gave up with an exception on a page of many openings
    // and no closing, after seconds of work.)
    constexpr std::string_view kOpening = "<font size=\"-1\">";
    const std::string closing = std::string(gbk::marker::kLrcDownload) + "</a>";
    const std::string_view text(page);
    for (std::size_t at = text.find(kOpening); at != std::string_view::npos;
         at = text.find(kOpening, at)) {
        const std::size_t start = at + kOpening.size();
        const std::size_t end = text.find(closing, start);
        if (end == std::string_view::npos) break;  // no later opening has a closing either
        list.hits.push_back(hitOf(text.substr(start, end - start)));
        at = end + closing.size();
    }
    return list;
}

GbkText siteBase(const GbkText& hostOrUrl) {
    GbkText base = gbk::trimBlanks(hostOrUrl);
    if (base.empty()) return base;
    if (base.find("://") == GbkText::npos) base = "http://" + base;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base;
}

std::unique_ptr<LyricSource> makeSiteSource(const NetworkSettings& settings) {
    GbkText base = siteBase(settings.lyricSite);
    if (base.empty()) return nullptr;
    return std::make_unique<SiteSource>(std::move(base), settings.limits);
}
