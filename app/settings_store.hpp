#pragma once
// Keeps the user's settings between runs: the text of every edit box in kvd.ini (section
// "编辑框", one key per box), the prefix list in qz.zbb and the suffix list in hz.zbb, all in
// the program folder. The store keeps no copy of its own: it reads and writes the units.

#include <array>
#include <string_view>
#include <vector>

#include "text/gbk_text.hpp"
#include "ui/main_units.hpp"

/// One persisted edit box: its key in kvd.ini (the unit name) and the unit.
struct StoredEditBox {
    std::string_view key;
    EditBox& (*unit)(MainUnits&);
};

/// Every edit box of the main window, in the window's unit order, which is the key order of a
/// fresh kvd.ini.
extern const std::array<StoredEditBox, 10> kStoredEditBoxes;

class SettingsStore {
  public:
    /// A store over `units` whose files lie in `folder`.
    SettingsStore(MainUnits& units, GbkText folder);
    /// A store whose files lie in the program folder.
    explicit SettingsStore(MainUnits& units);

    /// Deletes the temporary files a save cut short left beside kvd.ini, qz.zbb and hz.zbb,
    /// then reads kvd.ini into the edit boxes; a missing file, key or empty value leaves the box at
    /// its current (template) text. Stored "><br><" become CR LF.
    void load();

    /// Reads hz.zbb into 后缀, then qz.zbb into 前缀, replacing their items.
    void loadLists();

    /// When 退出前自动保存所有配置 is ticked, writes the edit boxes into kvd.ini (keeping its
    /// other sections and keys), then 前缀 to qz.zbb and 后缀 to hz.zbb, each file replaced
    /// through a temporary file. True when nothing failed (or nothing was due); a failure
    /// leaves that file as it was.
    bool save();
    /// The files the last save could not write (full paths), in the order tried.
    const std::vector<GbkText>& failedFiles() const { return failed_; }

    /// Deletes kvd.ini, hz.zbb and qz.zbb; files that are missing or locked are skipped.
    void erase();

    GbkText iniPath() const;
    GbkText prefixPath() const;
    GbkText suffixPath() const;

  private:
    bool saveIni();

    MainUnits& units_;
    GbkText folder_;
    std::vector<GbkText> failed_;
};
