#pragma once
// The search panel on top of the search and the download: the 来源 choice (remembered in
// cantorel.ini), and the handlers the window calls for the panel's units.

#include <functional>
#include <memory>
#include <vector>

#include "platform/message_box.hpp"
#include "platform/web_fetch.hpp"
#include "search/lrc_downloader.hpp"
#include "search/lyric_search.hpp"
#include "ui/main_units.hpp"

class SearchPanel {
  public:
    /// `settingsFolder` holds cantorel.ini (the program folder in the program).
    SearchPanel(MainUnits& units, WebFetcher& fetcher, MessageBoxes& boxes,
                std::function<void()> refreshFileList, GbkText settingsFolder);

    /// Reads cantorel.ini, fills 来源 with "全部" and the sources and selects the saved one.
    void load();

    void searchClicked() { search_.startSearch(); }   // 搜索歌词 clicked
    void hitSelected() { downloader_.previewHit(); }  // the current row of 欲下载列表 changed
    void hitDoubleClicked() { downloader_.downloadHit(); }  // double-click on 欲下载列表
    /// 来源 changed: the next search uses the chosen source; the choice goes to cantorel.ini.
    void sourceChanged();

    const NetworkSettings& settings() const { return settings_; }
    LyricSearch& search() { return search_; }
    LrcDownloader& downloader() { return downloader_; }

  private:
    void useSelectedSource();

    MainUnits& units_;
    GbkText settingsFolder_;
    NetworkSettings settings_;
    std::vector<ActiveSource> sources_;  // the sources 来源 chooses; none when it is off
    LyricSearch search_;
    LrcDownloader downloader_;
};
