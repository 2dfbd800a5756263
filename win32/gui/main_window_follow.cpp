// The main window's 跟随播放器: the media-session reader on its thread, the follower on a timer
// of its own, and 开始字幕 following the playing song while the setting is on.
#include "app/follow_settings.hpp"
#include "app/network_settings.hpp"
#include "follow/source_finder.hpp"
#include "lyrics/lyric_files.hpp"
#include "win32/gui/main_window.hpp"

void MainWindow::wireFollow() {
    MainUnits& u = *main_;
    followTimer_ = std::make_unique<Win32Timer>();
    followScreen_ = std::make_unique<FollowScreen>(u, state_, *transform_, *delivery_);
    // The lyric folder the file list shows, each file read as choosing it would; then every
    // source cantorel.ini leaves on, the lyric saved into that folder.
    auto load = [this, &u](const GbkText& path) -> std::optional<LyricTable> {
        LoadedLyric loaded = loadLyricFile(path, u.填充.text(), more_.shape);
        if (!loaded.parsed) return std::nullopt;
        return std::move(loaded.table);
    };
    auto folder = [&u] { return u.文件框1.folder(); };
    followFinder_ = std::make_unique<FolderLyricFinder>(folder, load);
    followSources_ = std::make_unique<SourceLyricFinder>(
        *fetcher_,
        [this] {
            const NetworkSettings settings = loadNetworkSettings(options_.programFolder);
            std::vector<std::shared_ptr<const LyricSource>> sources;
            for (const SourceEntry& entry : lyricSources()) sources.push_back(entry.make(settings));
            return sources;
        },
        folder, load);
    followLookup_ = std::make_unique<ChainedLyricFinder>(*followFinder_, *followSources_);
    followOffsets_ = std::make_unique<IniPlayerOffsets>(options_.programFolder);
    follower_ = std::make_unique<Follower>(clock_, *followLookup_, *followScreen_, *followOffsets_);
    // The same listener as the start with the accompaniment: the two never listen at once,
    // since a following start never reaches the engine.
    follow_ =
        std::make_unique<FollowController>(u, *follower_, *followTimer_, clock_, listener_.get());
    applyFollowSettings();
}

void MainWindow::applyFollowSettings() {
    if (!follower_) return;
    follower_->pin(more_.follow.pinnedPlayer);
    follower_->setWaitForMusic(more_.startWithAudio);
    if (!more_.follow.enabled) {
        if (follow_->following()) follow_->startStop();
        return;
    }
    // The reader starts with the first use of the setting and runs until the window goes.
    if (!sessions_) {
        sessions_ = options_.sessionReader ? options_.sessionReader(clock_)
                                           : makeMediaSessionReader(clock_);
        HWND window = hwnd_;
        sessions_->start([window] { PostMessageW(window, kSessionsMessage, 0, 0); });
    }
}

void MainWindow::onSessionsChanged() {
    if (sessions_ && follow_) follow_->sessions(sessions_->latest());
}

void MainWindow::startStopClicked() {
    // A song that plays or waits from the file list is stopped as before, whatever the setting.
    const bool following = follow_ && follow_->following();
    if (!following && (engine_->playing() || !more_.follow.enabled)) return engine_->startStop();
    if (!following) {
        if (sessions_) follow_->sessions(sessions_->latest());
        // Without media sessions there is nothing to follow: said before anything is asked.
        if (!follow_->available()) return follow_->startStop();
        // As a start from the file list: a subtitle type and a target first.
        if (readDeliveryMode(*main_) == DeliveryMode::None) {
            boxes_.show("请选择字幕类型", "温馨提示", mb::kOk | mb::kTaskModal);
            return;
        }
        if (!delivery_->hasTarget()) {
            boxes_.show("请选取要发送的程序位置！", "没有目标",
                        mb::kIconInformation | mb::kTaskModal);
            return;
        }
    }
    follow_->startStop();
}
