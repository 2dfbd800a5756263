#pragma once
// Preview and saving of a hit's LRC file. A click on a row of 欲下载列表 fetches its lyric,
// shows it in 歌词预览 and asks whether to save it; a double-click saves without asking. What
// gets saved are the bytes fetched, whole, into the folder the file list shows; a failed, empty
// or refused answer never touches the disk, and a different lyric of the same name is replaced
// only when the user says so (otherwise the new one is saved as "name (2).lrc").

#include <cstdint>
#include <functional>
#include <string>

#include "platform/message_box.hpp"
#include "platform/web_fetch.hpp"
#include "search/lyric_search.hpp"
#include "ui/main_units.hpp"

class LrcDownloader {
  public:
    LrcDownloader(MainUnits& units, WebFetcher& fetcher, MessageBoxes& boxes,
                  const LyricSearch& search, std::function<void()> refreshFileList);

    /// The current row of 欲下载列表 changed: fetch, preview, then ask whether to save.
    void previewHit();
    /// A double-click on 欲下载列表: fetch, preview and save without asking.
    void downloadHit();
    /// Rebuilds 歌词预览 from the pending lyric bytes, one row per lyric line; false (and no
    /// rows) when the lyric is too large to load.
    bool fillPreview();

    const std::string& pendingBytes() const { return pending_; }

  private:
    void fetchHit(bool ask);
    void finish(const FetchOutcome& outcome, const ChosenHit& hit, bool ask);

    MainUnits& units_;
    WebFetcher& fetcher_;
    MessageBoxes& boxes_;
    const LyricSearch& search_;
    std::function<void()> refreshFileList_;
    std::string pending_;      // the last lyric fetched, byte for byte
    std::uint64_t epoch_ = 0;  // the latest fetch; older answers are dropped
};
