#include "search/lrc_downloader.hpp"

#include <string>
#include <utility>

#include "lyrics/lrc_reader.hpp"
#include "lyrics/lyric_decoding.hpp"
#include "lyrics/lyric_files.hpp"
#include "platform/files.hpp"
#include "search/lyric_fetch.hpp"
#include "search/safe_file_name.hpp"

LrcDownloader::LrcDownloader(MainUnits& units, WebFetcher& fetcher, MessageBoxes& boxes,
                             const LyricSearch& search, std::function<void()> refreshFileList)
    : units_(units),
      fetcher_(fetcher),
      boxes_(boxes),
      search_(search),
      refreshFileList_(std::move(refreshFileList)) {}

void LrcDownloader::previewHit() { fetchHit(true); }

void LrcDownloader::downloadHit() { fetchHit(false); }

void LrcDownloader::fetchHit(bool ask) {
    std::optional<ChosenHit> hit = search_.hitAt(units_.欲下载列表.selection());
    if (!hit) return;
    units_.歌词预览.setVisible(true);
    units_.超级列表框_歌词.setVisible(false);
    // The newest click wins: a double-click drops the answer (and question) of its first click.
    const std::uint64_t epoch = ++epoch_;
    if (hit->link.empty() || !hit->source) {
        finish(FetchOutcome{"", 0, FetchFailure::BadAddress}, *hit, ask);
        return;
    }
    units_.状态条1.setPart(StatusBar::kMessage, "正在下载歌词:" + hit->song);
    FetchRequest request = hit->source->lyricRequest(hit->link);
    fetcher_.start(std::move(request), [this, epoch, hit = *hit, ask](FetchOutcome outcome) {
        if (epoch != epoch_) return;
        finish(outcome, hit, ask);
    });
}

void LrcDownloader::finish(const FetchOutcome& outcome, const ChosenHit& hit, bool ask) {
    LyricBytes lyric =
        hit.source ? takeLyric(*hit.source, outcome) : LyricBytes{"", fetchProblem(outcome)};
    if (!lyric.problem.empty()) {
        // The preview must not go on showing another hit's lyric as this one's.
        pending_.clear();
        units_.预备下载内容.setText("");
        fillPreview();
        units_.状态条1.setPart(StatusBar::kMessage, "歌词下载失败：" + lyric.problem);
        return;
    }
    pending_ = std::move(lyric.bytes);
    // A lyric no one could load is neither shown nor saved.
    if (!fillPreview()) {
        pending_.clear();
        units_.预备下载内容.setText("");
        units_.状态条1.setPart(StatusBar::kMessage, "歌词下载失败：歌词文件太大");
        return;
    }
    units_.预备下载内容.setText(decodeLyricBytes(pending_).text);
    refreshFileList_();
    // The bytes answered for are these, even if another preview arrives while the box is up.
    const std::string bytes = pending_;
    if (ask) {
        units_.状态条1.setPart(StatusBar::kMessage, "歌词预览:" + hit.song);
        const int answer =
            boxes_.show("是否需要下载歌词？", "歌词下载提示！", mb::kYesNo | mb::kTaskModal);
        if (answer != mb::kIdYes) return;
    }
    GbkText path = lyricSavePath(units_.编辑框1.text(), hit.song);
    // A lyric of the same name may be one the user corrected by hand: it is never replaced
    // without a question, and a No keeps it and saves the new one beside it.
    if (files::exists(path)) {
        if (files::readAll(path) == bytes) {
            units_.状态条1.setPart(StatusBar::kMessage, "歌词下载完毕");
            return;
        }
        const int answer =
            boxes_.show("已有同名歌词，是否覆盖？", "歌词下载提示！", mb::kYesNo | mb::kTaskModal);
        if (answer != mb::kIdYes) path = nextFreePath(path);
    }
    if (!files::writeAtomically(path, bytes)) {
        units_.状态条1.setPart(StatusBar::kMessage, "歌词下载失败：无法写入文件");
        return;
    }
    refreshFileList_();
    units_.状态条1.setPart(StatusBar::kMessage, "歌词下载完毕");
}

bool LrcDownloader::fillPreview() {
    ListView& preview = units_.歌词预览;
    preview.clear();
    LyricTable table;
    bool tooLarge = false;
    if (!LrcReader::parse(decodeLyricBytes(pending_).text, table, &tooLarge)) return !tooLarge;
    // The rows the lyric list would show once the file is chosen.
    fillEmptyTexts(table, units_.填充.text());
    for (std::size_t i = 0; i < table.lines.size(); ++i) {
        const int row =
            preview.addRow(std::to_string(table.lines[i].time), static_cast<int>(i) + 1);
        preview.setCell(row, 1, table.lines[i].text);
    }
    return true;
}
