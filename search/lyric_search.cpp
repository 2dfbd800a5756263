#include "search/lyric_search.hpp"

#include <string>
#include <utility>

#include "platform/fetch_words.hpp"
#include "search/hit_ranking.hpp"
#include "search/keyword_encoding.hpp"

namespace {

// Source labels joined for the status bar.
GbkText labels(const std::vector<std::string_view>& ids) {
    GbkText joined;
    for (std::string_view id : ids) {
        if (!joined.empty()) joined += "、";
        joined += GbkText(sourceLabel(id));
    }
    return joined;
}

}  // namespace

LyricSearch::LyricSearch(MainUnits& units, WebFetcher& fetcher, MessageBoxes& boxes,
                         SourcePicker currentSources)
    : units_(units), fetcher_(fetcher), boxes_(boxes), currentSources_(std::move(currentSources)) {}

std::string LyricSearch::encodeKeyword(const GbkText& text) { return ::encodeKeyword(text); }

void LyricSearch::startSearch() {
    const GbkText text = units_.欲搜索内容.text();
    // Counting first drops the answers of any search still running, even when this one cannot
    // start: the user asked for something newer.
    const std::uint64_t epoch = ++epoch_;
    sources_ = currentSources_ ? currentSources_() : std::vector<ActiveSource>{};
    if (sources_.empty()) {
        units_.状态条1.setPart(StatusBar::kMessage, "搜索失败：未设置歌词网站");
        return;
    }
    query_ = SearchQuery{};
    query_.text = text;
    answers_.assign(sources_.size(), std::nullopt);
    collected_.clear();
    lastProblem_.clear();
    std::vector<FetchRequest> requests;
    for (const ActiveSource& active : sources_)
        requests.push_back(active.source->queryRequest(query_));
    searchUrl_ = requests.front().url;
    units_.状态条1.setPart(StatusBar::kMessage, "正在搜索歌曲名为:" + text + "的歌曲歌词");
    // All requests go out before any answer is read (a fetcher may answer inside start).
    for (std::size_t i = 0; i < requests.size(); ++i) {
        fetcher_.start(std::move(requests[i]), [this, epoch, i](FetchOutcome outcome) {
            if (epoch != epoch_) return;
            arrived(i, outcome);
        });
    }
}

void LyricSearch::arrived(std::size_t index, const FetchOutcome& outcome) {
    if (index >= answers_.size() || answers_[index]) return;
    const ActiveSource& active = sources_[index];
    std::optional<HitList> list = active.source->readAnswer(outcome);
    if (!list) {
        answers_[index] = Answer::Unreachable;
        lastProblem_ = connectionProblem(outcome);
    } else if (!list->readable) {
        answers_[index] = Answer::Unreadable;
    } else if (list->noResult) {
        answers_[index] = Answer::NoResult;
    } else if (list->hits.empty()) {
        answers_[index] = Answer::Empty;
    } else {
        answers_[index] = Answer::Hits;
        for (SearchHit& hit : list->hits) {
            hit.source = active.id;
            collected_.push_back(std::move(hit));
        }
        // The rows are replaced only once a hit is there: until then the last rows stay.
        showRows();
    }
    std::vector<std::string_view> waiting;
    for (std::size_t i = 0; i < answers_.size(); ++i) {
        if (!answers_[i]) waiting.push_back(sources_[i].id);
    }
    if (waiting.empty()) {
        finish();
    } else if (!collected_.empty()) {
        showCount("，仍在搜索：" + labels(waiting));
    }
}

void LyricSearch::showRows() {
    ListView& rows = units_.欲下载列表;
    rows.clear();
    hitLinks_.clear();
    rowSources_.clear();
    rowHits_ = rankHits(query_, collected_);
    for (const SearchHit& hit : rowHits_) {
        const int row = rows.addRow(hit.song, 0);
        rows.setCell(row, 1, hit.artist);
        rows.setCell(row, 2, GbkText(sourceLabel(hit.source)));
        hitLinks_.push_back(hit.link);
        std::shared_ptr<const LyricSource> source;
        for (const ActiveSource& active : sources_) {
            if (active.id == hit.source) source = active.source;
        }
        rowSources_.push_back(std::move(source));
    }
}

void LyricSearch::finish() {
    std::vector<std::string_view> failed;
    bool noResult = false;
    bool empty = false;
    for (std::size_t i = 0; i < answers_.size(); ++i) {
        if (answers_[i] == Answer::Unreachable || answers_[i] == Answer::Unreadable) {
            failed.push_back(sources_[i].id);
        }
        if (answers_[i] == Answer::NoResult) noResult = true;
        if (answers_[i] == Answer::Empty) empty = true;
    }
    if (!collected_.empty()) {
        showCount(failed.empty() ? GbkText() : "；未能搜索：" + labels(failed));
        return;
    }

    const GbkText failures = failed.empty() ? GbkText() : "；未能搜索：" + labels(failed);
    if (empty && !noResult) {
        // A result page without hits is a result: it replaces the rows.
        showRows();
        showCount(failures);
        return;
    }
    // A failure keeps the rows and their links: an empty list would read as "nothing found".
    if (!noResult) {
        if (sources_.size() > 1) {
            units_.状态条1.setPart(StatusBar::kMessage, "搜索失败：" + labels(failed) + "均无回答");
        } else if (answers_[0] == Answer::Unreadable) {
            units_.状态条1.setPart(StatusBar::kMessage, "搜索失败：歌词网站的回答无法读取");
        } else {
            units_.状态条1.setPart(
                StatusBar::kMessage,
                "搜索失败：" + (lastProblem_.empty() ? GbkText("无法连接歌词网站") : lastProblem_));
        }
        return;
    }
    const std::uint64_t epoch = epoch_;
    boxes_.show("搜索失败！没有相关歌词,查看歌名是否正确！", "信息：", mb::kOk | mb::kTaskModal);
    // A search started while the box was up owns the status bar now.
    if (epoch == epoch_) showCount(failures);
}

void LyricSearch::showCount(const GbkText& tail) {
    units_.状态条1.setPart(
        1, "当前已搜索到:" + std::to_string(units_.欲下载列表.rowCount()) + "首歌曲" + tail);
}

std::optional<ChosenHit> LyricSearch::hitAt(int row) const {
    if (row < 0 || row >= units_.欲下载列表.rowCount() ||
        row >= static_cast<int>(hitLinks_.size())) {
        return std::nullopt;
    }
    return ChosenHit{units_.欲下载列表.cell(row, 0), hitLinks_[row], rowSources_[row]};
}

std::vector<std::string_view> LyricSearch::rowSources() const {
    std::vector<std::string_view> ids;
    for (const SearchHit& hit : rowHits_) ids.push_back(hit.source);
    return ids;
}
