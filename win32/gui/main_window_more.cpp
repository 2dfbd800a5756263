// The main window's 更多设置 button, its dialog and the global hotkeys.
#include "win32/gui/main_window.hpp"
#include "win32/gui/more_settings_dialog.hpp"

namespace {

bool sameShape(const LyricShape& a, const LyricShape& b) {
    return a.bilingual == b.bilingual && a.applyOffset == b.applyOffset;
}

}  // namespace

void MainWindow::wireMoreSettings() {
    more_ = loadMoreSettings(options_.programFolder);
    hotkeys_ = std::make_unique<Win32Hotkeys>(hwnd_);
    // Said once, at the start: the keys that were had work regardless.
    const GbkText problems = hotkeys_->registerAll(more_.hotkeys);
    if (!problems.empty()) main_->状态条1.setPart(StatusBar::kMessage, problems);
    onCommand("更多设置", BN_CLICKED, [this] { openMoreSettings(); });
}

void MainWindow::openMoreSettings() {
    MoreSettings edited = more_;
    if (!more_settings_dialog::run(hwnd_, font_, edited, boxes_)) return;
    // The dialog's loop may have seen the window closed.
    if (!hwnd_ || !hotkeys_) return;
    const bool reshaped = !sameShape(edited.shape, more_.shape);
    more_ = edited;
    applyFollowSettings();
    const bool saved = saveMoreSettings(options_.programFolder, more_);
    GbkText status = hotkeys_->registerAll(more_.hotkeys);
    if (!saved) {
        status +=
            GbkText(status.empty() ? "" : "；") + "更多设置无法写入 cantorel.ini，只在本次运行有效";
    }
    main_->状态条1.setPart(StatusBar::kMessage,
                           status.empty() ? GbkText("更多设置已保存") : status);

    // The lyric on show is read again in its new shape, unless it is playing: rows that come
    // and go under a running song would throw its position off. A paused song starts over.
    MainUnits& u = *main_;
    const GbkText loaded = u.透明标签1.text();
    if (reshaped && !engine_->playing() && !loaded.empty() && u.文件框1.selectedName() == loaded)
        loadSelectedFile();
}

void MainWindow::onHotkey(WPARAM id) {
    if (!engine_ || !hotkeys_) return;
    const auto action = hotkeys_->actionOf(id);
    if (!action) return;
    // While following, start/stop and the nudges belong to the following.
    if (*action == HotkeyAction::StartStop) return startStopClicked();
    if (follow_ && follow_->following() &&
        (*action == HotkeyAction::NudgeLater || *action == HotkeyAction::NudgeEarlier))
        return follow_->nudge(*action == HotkeyAction::NudgeLater ? 100 : -100);
    runHotkey(*action, *engine_);
}
