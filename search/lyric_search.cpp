#include "search/lyric_search.hpp"

#include <string>
#include <utility>

#include "search/keyword_encoding.hpp"
#include "search/lyric_fetch.hpp"

LyricSearch::LyricSearch(MainUnits& units, WebFetcher& fetcher, MessageBoxes& boxes,
                         SourcePicker currentSource)
    : units_(units), fetcher_(fetcher), boxes_(boxes), currentSource_(std::move(currentSource)) {}

std::string LyricSearch::encodeKeyword(const GbkText& text) { return ::encodeKeyword(text); }

void LyricSearch::startSearch() {
    const GbkText text = units_.欲搜索内容.text();
    // Counting first drops the answer of any search still running, even when this one cannot
    // start: the user asked for something newer.
    const std::uint64_t epoch = ++epoch_;
    std::shared_ptr<const LyricSource> source = currentSource_ ? currentSource_() : nullptr;
    if (!source) {
        units_.状态条1.setPart(StatusBar::kMessage, "搜索失败：未设置歌词网站");
        return;
    }
    FetchRequest request = source->searchRequest(text);
    searchUrl_ = request.url;
    units_.状态条1.setPart(StatusBar::kMessage, "正在搜索歌曲名为:" + text + "的歌曲歌词");
    fetcher_.start(std::move(request), [this, epoch, source](FetchOutcome outcome) {
        if (epoch != epoch_) return;
        showSearchResult(outcome, source);
    });
}

void LyricSearch::showSearchResult(const FetchOutcome& outcome,
                                   const std::shared_ptr<const LyricSource>& source) {
    // A failure keeps the rows and their links: an empty list would read as "nothing found".
    if (searchFailed(outcome)) {
        const GbkText words = connectionProblem(outcome);
        units_.状态条1.setPart(
            StatusBar::kMessage,
            "搜索失败：" + (words.empty() ? GbkText("无法连接歌词网站") : words));
        return;
    }
    HitList list = source->readHits(outcome.body);
    if (!list.readable) {
        units_.状态条1.setPart(StatusBar::kMessage, "搜索失败：歌词网站的回答无法读取");
        return;
    }
    if (list.noResult) {
        const std::uint64_t epoch = epoch_;
        boxes_.show("搜索失败！没有相关歌词,查看歌名是否正确！", "信息：",
                    mb::kOk | mb::kTaskModal);
        // A search started while the box was up owns the status bar now.
        if (epoch == epoch_) showCount();
        return;
    }
    ListView& rows = units_.欲下载列表;
    rows.clear();
    hitLinks_.clear();
    for (SearchHit& hit : list.hits) {
        const int row = rows.addRow(hit.song, 0);
        rows.setCell(row, 1, hit.artist);
        hitLinks_.push_back(std::move(hit.link));
    }
    rowsSource_ = source;
    showCount();
}

void LyricSearch::showCount() {
    units_.状态条1.setPart(
        1, "当前已搜索到:" + std::to_string(units_.欲下载列表.rowCount()) + "首歌曲");
}

std::optional<ChosenHit> LyricSearch::hitAt(int row) const {
    if (row < 0 || row >= units_.欲下载列表.rowCount() ||
        row >= static_cast<int>(hitLinks_.size())) {
        return std::nullopt;
    }
    return ChosenHit{units_.欲下载列表.cell(row, 0), hitLinks_[row], rowsSource_};
}
