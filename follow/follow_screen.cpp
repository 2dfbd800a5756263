#include "follow/follow_screen.hpp"

#include <string>

#include "follow/track_match.hpp"
#include "platform/files.hpp"

namespace {

GbkText reasonFor(LineOutcome outcome) { return whyNotDelivered(outcome) + "，跟随已停止"; }

}  // namespace

void FollowScreen::showLyric(const FoundLyric& lyric) {
    state_.lyrics = lyric.table;
    units_.歌词预览.setVisible(false);
    ListView& list = units_.超级列表框_歌词;
    list.setVisible(true);
    list.clear();
    list.setSelection(-1);
    const auto& lines = state_.lyrics.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int row = list.addRow(std::to_string(lines[i].time), static_cast<int>(i) + 1);
        list.setCell(row, 1, lines[i].text);
    }
    units_.透明标签1.setText(lyric.name);
    // A lyric just saved into the folder shows up in the list, selected.
    units_.文件框1.setFolder(units_.文件框1.folder());
    units_.文件框1.setSelectedName(lyric.name);
}

bool FollowScreen::typeLine(const LyricTable& table, int index) {
    ListView& list = units_.超级列表框_歌词;
    if (index < list.rowCount()) {
        list.setSelection(index);
        list.ensureVisible(index);
    }
    const DeliveryMode mode = readDeliveryMode(units_);
    if (mode == DeliveryMode::None) return true;  // the line is skipped, the song goes on
    const GbkText text = transform_.apply(table.lines[static_cast<std::size_t>(index)].text);
    const LineOutcome outcome = delivery_.deliverLine(mode, text);
    if (outcome == LineOutcome::Delivered) return true;
    showStatus(reasonFor(outcome));
    return false;
}

void FollowScreen::showStatus(const GbkText& text) {
    units_.状态条1.setPart(StatusBar::kMessage, text);
}

void FolderLyricFinder::find(const SessionSnapshot& track, Done done) {
    const GbkText folder = folder_();
    const std::vector<GbkText> names = files::listFiles(folder, ".lrc");
    const auto best = bestLyricFile(track.title, track.artist, names);
    if (!best) return done(std::nullopt);
    auto table = load_(files::join(folder, names[*best]));
    if (!table || table->lines.empty()) return done(std::nullopt);
    done(FoundLyric{std::move(*table), names[*best]});
}

void ChainedLyricFinder::find(const SessionSnapshot& track, Done done) {
    first_.find(track, [this, track, done = std::move(done)](std::optional<FoundLyric> found) {
        if (found) return done(std::move(found));
        second_.find(track, done);
    });
}
