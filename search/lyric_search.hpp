#pragma once
// The search panel's search: 搜索歌词 sends the text of 欲搜索内容 to the chosen sources at once
// and fills 欲下载列表 with one ranked list of their hits, re-ranked as each answer arrives, so a
// slow source holds nobody back. Each row keeps its link and source. The fetches run through a
// WebFetcher, so the window keeps answering while they run; the newest search wins.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/message_box.hpp"
#include "platform/web_fetch.hpp"
#include "search/lyric_source.hpp"
#include "ui/main_units.hpp"

/// The hit behind one row of 欲下载列表, with the source it came from.
struct ChosenHit {
    GbkText song;  // the row's column 0
    GbkText link;
    std::shared_ptr<const LyricSource> source;
};

class LyricSearch {
  public:
    /// The sources chosen now, in 来源's order (none when the chosen one is off).
    using SourcePicker = std::function<std::vector<ActiveSource>()>;

    LyricSearch(MainUnits& units, WebFetcher& fetcher, MessageBoxes& boxes,
                SourcePicker currentSources);

    /// Percent-encodes the UTF-8 form of `text`: letters, digits and * , - . / @ _ stay, every
    /// other byte becomes %XX (upper-case hex).
    static std::string encodeKeyword(const GbkText& text);

    /// The click of 搜索歌词: starts the search for the text of 欲搜索内容.
    void startSearch();

    /// Row `row` of 欲下载列表 with its link and source; nullopt when there is no such row.
    std::optional<ChosenHit> hitAt(int row) const;

    const std::vector<GbkText>& hitLinks() const { return hitLinks_; }
    /// The source ids of the rows, row by row.
    std::vector<std::string_view> rowSources() const;
    const GbkText& searchUrl() const { return searchUrl_; }

  private:
    enum class Answer { Hits, NoResult, Empty, Unreachable, Unreadable };

    void arrived(std::size_t index, const FetchOutcome& outcome);
    void showRows();
    void finish();
    void showCount(const GbkText& tail = "");

    MainUnits& units_;
    WebFetcher& fetcher_;
    MessageBoxes& boxes_;
    SourcePicker currentSources_;
    GbkText searchUrl_;
    std::vector<GbkText> hitLinks_;
    std::vector<SearchHit> rowHits_;  // the rows' hits, row by row
    std::vector<std::shared_ptr<const LyricSource>> rowSources_;

    // The search running now.
    std::uint64_t epoch_ = 0;  // the latest search; older answers are dropped
    SearchQuery query_;
    std::vector<ActiveSource> sources_;
    std::vector<std::optional<Answer>> answers_;  // per source; nullopt while it runs
    std::vector<SearchHit> collected_;            // every hit that arrived, in arrival order
    GbkText lastProblem_;  // in words, why the last source that gave no answer gave none
};
