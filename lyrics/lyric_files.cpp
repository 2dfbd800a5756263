#include "lyrics/lyric_files.hpp"

#include <optional>
#include <string>
#include <utility>

#include "lyrics/lrc_reader.hpp"
#include "lyrics/lyric_decoding.hpp"
#include "platform/files.hpp"

namespace {
constexpr const char* kUnreadable = "无法读取歌词文件：";
constexpr const char* kNoTimedLine = "歌词文件中没有带时间的歌词：";
constexpr const char* kUntypable = "歌词中有无法输入的字符：";
}  // namespace

void fillEmptyTexts(LyricTable& table, const GbkText& fillText) {
    for (LyricLine& line : table.lines) {
        if (line.text.empty()) line.text = fillText;
    }
}

LoadedLyric loadLyricFile(const GbkText& path, const GbkText& fillText, const LyricShape& shape) {
    const std::optional<std::string> bytes = files::readAll(path);
    LoadedLyric loaded;
    loaded.readable = bytes.has_value();
    const DecodedLyric decoded = decodeLyricBytes(bytes.value_or(""));
    loaded.untypable = decoded.untypable;
    loaded.parsed = LrcReader::parse(decoded.text, loaded.table, &loaded.tooLarge);
    if (!loaded.parsed) {
        loaded.table = LyricTable();
        return loaded;
    }
    // Shaped before the fill: an empty line in a group of equal times is a missing
    // translation, not a line of fill text to join or choose.
    shapeLyric(loaded.table, shape);
    fillEmptyTexts(loaded.table, fillText);
    return loaded;
}

void LyricFiles::loadSelectedFile() {
    // The preview of a downloaded lyric shares the lyric list's place; choosing a file brings
    // the lyric list back.
    units_.歌词预览.setVisible(false);
    units_.超级列表框_歌词.setVisible(true);

    // A file chosen during playback only pauses it, so a slip of the mouse never throws away
    // the running song; choosing again loads.
    if (playback_.pauseIfPlaying()) return;

    const GbkText name = units_.文件框1.selectedName();
    const GbkText path = files::join(units_.文件框1.folder(), name);
    playback_.resetPosition();
    ListView& list = units_.超级列表框_歌词;
    list.clear();
    list.setSelection(-1);

    // The fill text is read now: editing it later changes no loaded row.
    LoadedLyric loaded = loadLyricFile(path, units_.填充.text(), shape_);
    lyrics_ = std::move(loaded.table);
    if (loaded.tooLarge) {
        boxes_.show("歌词文件太大，无法载入：" + name, "信息：",
                    mb::kIconInformation | mb::kTaskModal);
        return;
    }
    if (!loaded.parsed) {
        boxes_.show("解析失败,未知原因！", "信息：", mb::kIconInformation | mb::kTaskModal);
        return;
    }
    StatusBar& status = units_.状态条1;
    if (!loaded.readable) {
        status.setPart(StatusBar::kMessage, kUnreadable + name);
    } else if (lyrics_.lines.empty()) {
        status.setPart(StatusBar::kMessage, kNoTimedLine + name);
    } else if (loaded.untypable > 0) {
        // Said once at the load, not at every line that goes out with a '?' in it.
        status.setPart(StatusBar::kMessage, kUntypable + std::to_string(loaded.untypable) +
                                                " 个（GBK 之外，显示为“?”）");
    } else if (const GbkText shown = status.part(StatusBar::kMessage);
               shown.starts_with(kUnreadable) || shown.starts_with(kNoTimedLine) ||
               shown.starts_with(kUntypable)) {
        status.setPart(StatusBar::kMessage,
                       {});  // a good file ends the complaint about the last one
    }
    const auto& lines = lyrics_.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int row = list.addRow(std::to_string(lines[i].time), static_cast<int>(i) + 1);
        list.setCell(row, 1, lines[i].text);
    }
    units_.透明标签1.setText(name);
}

void LyricFiles::refreshFileList() {
    const GbkText folder = units_.编辑框1.text();
    units_.文件框1.setFolder(folder);
    units_.编辑框1.setText(folder);
}
