#pragma once
// The lyric folder's file list and the loading of a chosen file into the lyric table and the
// lyric list.

#include "lyrics/lyric_shaping.hpp"
#include "lyrics/lyric_table.hpp"
#include "lyrics/playback_seam.hpp"
#include "platform/message_box.hpp"
#include "text/gbk_text.hpp"
#include "ui/main_units.hpp"

struct LoadedLyric {
    bool readable = false;  // false when the file is missing or could not be read
    bool parsed = false;    // false when the reader rejected the text
    bool tooLarge = false;  // rejected because its entries would not fit in memory
    LyricTable table;       // empty when not parsed
    int untypable = 0;      // characters GBK lacks (shown as '?'), which cannot be typed
};

/// Reads the file at `path` (missing or unreadable: no bytes), decodes it, parses it, reshapes
/// it by `shape` and gives every entry with empty text `fillText`. The one load routine of the
/// program and the CLI.
LoadedLyric loadLyricFile(const GbkText& path, const GbkText& fillText,
                          const LyricShape& shape = {});

/// Replaces the empty texts of `table` with `fillText`.
void fillEmptyTexts(LyricTable& table, const GbkText& fillText);

class LyricFiles {
  public:
    /// `shape` is read at every load, so a changed setting applies from the next file chosen.
    LyricFiles(MainUnits& units, LyricTable& lyrics, MessageBoxes& boxes, PlaybackSeam& playback,
               const LyricShape& shape = kPlainShape)
        : units_(units), lyrics_(lyrics), boxes_(boxes), playback_(playback), shape_(shape) {}

    /// The file list's selection changed or a file was double-clicked: while playback runs this
    /// only pauses it; otherwise the selected file replaces the lyric table and the lyric list,
    /// and its name goes to 透明标签1. A file that cannot be read or holds no timed line says so
    /// in status part 1 at once, instead of leaving an empty list to be found at the start.
    void loadSelectedFile();

    /// Points the file list at the folder typed in 编辑框1 and writes that text back.
    void refreshFileList();

  private:
    MainUnits& units_;
    LyricTable& lyrics_;  // the loaded lyric, shared with playback
    MessageBoxes& boxes_;
    PlaybackSeam& playback_;
    const LyricShape& shape_;
    static constexpr LyricShape kPlainShape{};
};
