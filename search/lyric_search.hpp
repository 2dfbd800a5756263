#pragma once
// The search panel's search: 搜索歌词 sends the text of 欲搜索内容 to the chosen source and
// fills 欲下载列表 with the hits, keeping each row's link in hitLinks. The fetch runs through a
// WebFetcher, so the window keeps answering while it runs; the newest search wins.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
    /// `currentSource` gives the source chosen now (null when it is off).
    using SourcePicker = std::function<std::shared_ptr<const LyricSource>()>;

    LyricSearch(MainUnits& units, WebFetcher& fetcher, MessageBoxes& boxes,
                SourcePicker currentSource);

    /// Percent-encodes the UTF-8 form of `text`: letters, digits and * , - . / @ _ stay, every
    /// other byte becomes %XX (upper-case hex).
    static std::string encodeKeyword(const GbkText& text);

    /// The click of 搜索歌词: starts the search for the text of 欲搜索内容.
    void startSearch();

    /// Row `row` of 欲下载列表 with its link and source; nullopt when there is no such row.
    std::optional<ChosenHit> hitAt(int row) const;

    const std::vector<GbkText>& hitLinks() const { return hitLinks_; }
    const GbkText& searchUrl() const { return searchUrl_; }

  private:
    void showSearchResult(const FetchOutcome& outcome,
                          const std::shared_ptr<const LyricSource>& source);
    void showCount();

    MainUnits& units_;
    WebFetcher& fetcher_;
    MessageBoxes& boxes_;
    SourcePicker currentSource_;
    GbkText searchUrl_;
    std::vector<GbkText> hitLinks_;
    std::shared_ptr<const LyricSource> rowsSource_;  // the source the rows came from
    std::uint64_t epoch_ = 0;                        // the latest search; older answers are dropped
};
