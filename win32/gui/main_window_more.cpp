// The main window's 更多设置 button, its dialog and the global hotkeys.
#include "win32/gui/hand_over.hpp"
#include "win32/gui/main_window.hpp"
#include "win32/gui/more_settings_dialog.hpp"

namespace {

bool sameShape(const LyricShape& a, const LyricShape& b) {
    return a.bilingual == b.bilingual && a.applyOffset == b.applyOffset;
}

}  // namespace

void MainWindow::wireMoreSettings() {
    more_ = loadMoreSettings(options_.programFolder);
    if (listener_) listener_->setDevice(gui::wide(more_.audioDevice));
    hotkeys_ = std::make_unique<Win32Hotkeys>(hwnd_);
    hotkeyTries_ = kHotkeyTries;
    registerHotkeysAtStart();
    // An update lets the keys go before the new program starts, so it finds them free.
    handOver_ = hand_over::add(
        [this] {
            if (hotkeys_) hotkeys_->unregisterAll();
        },
        [this] {
            if (hotkeys_) hotkeys_->registerAll(more_.hotkeys);
        });
    onCommand("更多设置", BN_CLICKED, [this] { openMoreSettings(); });
}

// Said once, at the start: the keys that were had work regardless. A chord another program
// holds is tried again for a short while first: the copy this one replaces may be letting its
// keys go just now.
void MainWindow::registerHotkeysAtStart() {
    KillTimer(hwnd_, kHotkeyRetryTimer);
    if (!hotkeys_) return;
    const GbkText problems = hotkeys_->registerAll(more_.hotkeys);
    if (hotkeys_->anyTaken() && --hotkeyTries_ > 0) {
        SetTimer(hwnd_, kHotkeyRetryTimer, kHotkeyRetryMilliseconds, nullptr);
        return;
    }
    if (!problems.empty()) main_->状态条1.setPart(StatusBar::kMessage, problems);
}

void MainWindow::openMoreSettings() {
    MoreSettings edited = more_;
    if (!more_settings_dialog::run(hwnd_, font_, edited, boxes_)) return;
    // The dialog's loop may have seen the window closed.
    if (!hwnd_ || !hotkeys_) return;
    const bool reshaped = !sameShape(edited.shape, more_.shape);
    more_ = edited;
    if (listener_) listener_->setDevice(gui::wide(more_.audioDevice));
    const bool saved = saveMoreSettings(options_.programFolder, more_);
    KillTimer(hwnd_, kHotkeyRetryTimer);
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
    if (const auto action = hotkeys_->actionOf(id)) runHotkey(*action, *engine_);
}
