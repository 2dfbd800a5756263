#include "win32/gui/main_window.hpp"

#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/folder_check.hpp"
#include "app/more_settings.hpp"
#include "app/panel_toggles.hpp"
#include "app/settings_panel.hpp"
#include "app/startup.hpp"
#include "platform/files.hpp"
#include "ui/main_layout.hpp"
#include "win32/gui/dpi_win32.hpp"
#include "win32/gui/draw_panel.hpp"
#include "win32/gui/hand_over.hpp"
#include "win32/gui/more_settings_dialog.hpp"
#include "win32/gui/top_window.hpp"
#include "win32/message_loop.hpp"
#include "win32/timer_win32.hpp"
#include "win32/wide_path.hpp"

namespace {

constexpr wchar_t kMainClass[] = L"CantorelMainWindow";
// The timer that holds back the preview of a clicked hit until the click cannot be the first
// half of a double-click any more.
constexpr UINT_PTR kPreviewTimer = 1;
// Posted at creation: the program folder is checked once the window is on screen.
constexpr UINT kCheckFolder = WM_APP + 0x60;

// Themes for the controls and the frame of every window of the program, including windows
// created later. uxtheme is looked up at run time so the program still starts where it is
// missing (it then simply looks classic).
void useThemedStyle() {
    HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
    if (!uxtheme) return;
    using SetProperties = void(WINAPI*)(DWORD);
    auto set = reinterpret_cast<SetProperties>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetThemeAppProperties")));
    constexpr DWORD kNonClient = 1, kControls = 2, kWebContent = 4;
    if (set) set(kNonClient | kControls | kWebContent);
}

bool isPushButton(HWND hwnd) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (lstrcmpiW(name, WC_BUTTONW) != 0) return false;
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    const LONG_PTR type = style & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || (style & BS_PUSHLIKE) != 0;
}

}  // namespace

MainWindow::MainWindow(MainWindowOptions options) : options_(std::move(options)) {}

MainWindow::~MainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    // Whatever the window left, capture goes before the units it draws into.
    capture_.reset();
    if (font_) DeleteObject(font_);
}

bool MainWindow::create() {
    if (!gui::registerTopWindowClass(kMainClass, proc)) return false;
    // A fixed frame: the window's size is part of what the user arranges next to the client.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, gui::wide(layout::mainCaption()).c_str(),
                    style, layout::kLeft, layout::kTop, layout::kWidth, layout::kHeight, nullptr,
                    nullptr, GetModuleHandleW(nullptr), this);
    return hwnd_ != nullptr && main_ != nullptr;
}

LRESULT CALLBACK MainWindow::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return onCreate() ? 0 : -1;
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            onNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return 0;
        case WM_HOTKEY:
            onHotkey(wParam);
            return 0;
        case kSessionsMessage:
            onSessionsChanged();
            return 0;
        case WM_SIZE:
            // The status bar keeps itself at the bottom edge when told the size changed.
            if (auto* bar = units_ ? units_->control("状态条1") : nullptr) {
                SendMessageW(bar->hwnd(), WM_SIZE, 0, 0);
            }
            return 0;
        case kCheckFolder:
            // Named once, here: a save that fails later does not ask again.
            if (main_ && folder_check::tellAtStart(options_.programFolder,
                                                   files::canWriteIn(options_.programFolder),
                                                   *main_, boxes_))
                saveFailureShown_ = true;
            return 0;
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ACTIVATE:
            if (capture_) capture_->paintPanel();
            // As in a dialog, the keyboard goes on where it was when the user comes back.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
            } else if (!HIWORD(wParam) && lastFocus_ && IsChild(hwnd_, lastFocus_)) {
                SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_TIMER:
            if (wParam == kHotkeyRetryTimer) {
                registerHotkeysAtStart();
                return 0;
            }
            if (wParam == kPreviewTimer) {
                KillTimer(hwnd_, kPreviewTimer);
                if (search_) search_->hitSelected();
                return 0;
            }
            break;
        case WM_CLOSE:
            // The close is never refused.
            saveSettings();
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            // A fetch that hangs must not keep the program: every transfer is told to stop and
            // no answer reaches the panel any more; the workers end on their own.
            if (fetcher_) fetcher_->cancelAll();
            if (sessions_) sessions_->stop();
            KillTimer(hwnd_, kPreviewTimer);
            saveSettings();
            // Capture holds hooks and an overlay tied to this window: release them first.
            capture_.reset();
            KillTimer(hwnd_, kHotkeyRetryTimer);
            hand_over::remove(handOver_);
            hotkeys_.reset();  // the chords go back to the system
            if (options_.quitOnDestroy) PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool MainWindow::onCreate() {
    // The units are laid out for the screen the window opens on; the frame follows them.
    const int dpi = gui::windowDpi(hwnd_);
    font_ = gui::createMessageFont(dpi);
    units_ = std::make_unique<gui::Win32Units>(hwnd_, font_, dpi);
    if (!units_->complete()) return false;
    units_->addTimer("时钟_歌词播放", std::make_unique<Win32Timer>());
    main_ = std::make_unique<MainUnits>(*units_);
    MainUnits& u = *main_;
    settings_ = std::make_unique<SettingsStore>(u, options_.programFolder);
    transform_ = std::make_unique<LineTransform>(u, static_cast<std::uint32_t>(clock_.nowMicros()));
    delivery_ = std::make_unique<Delivery>(windows_, wait_, boxes_, state_, u);
    delivery_->setRestartAsAdministrator([this] { restartAsAdministrator(); });
    engine_ = std::make_unique<PlaybackEngine>(u, state_, boxes_, clock_, *transform_, *delivery_);
    engine_->setPaceKeeper(&pace_);
    listener_ = std::make_unique<Win32AudioListener>();
    // The setting as the 更多设置 dialog last left it.
    arming_ = std::make_unique<AudioArming>(*engine_, *listener_, u,
                                            [this] { return more_.startWithAudio; });
    lyricFiles_ = std::make_unique<LyricFiles>(u, state_.lyrics, boxes_, *engine_, more_.shape);
    capture_ = std::make_unique<Win32Capture>(hwnd_, units_->control("画板_捕获器")->hwnd(), u,
                                              state_, windows_);
    fetcher_ = std::make_unique<Win32WebFetcher>(std::shared_ptr<HttpClient>(makeHttpClient()));
    search_ = std::make_unique<SearchPanel>(
        u, *fetcher_, boxes_, [this] { lyricFiles_->refreshFileList(); }, options_.programFolder);
    wireHandlers();
    runCreationSteps();
    search_->load();
    PostMessageW(hwnd_, kCheckFolder, 0, 0);
    return true;
}

// Moved to a screen of another density: the units, the font and the frame are made again for
// it, at the place the system suggests.
void MainWindow::onDpiChanged(int dpi, const RECT& suggested) {
    if (!units_ || dpi == units_->dpi()) return;
    HFONT font = gui::createMessageFont(dpi);
    units_->relayout(font, dpi);
    if (font_) DeleteObject(font_);
    font_ = font;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (capture_) capture_->paintPanel();
}

void MainWindow::runCreationSteps() {
    CreationSteps steps;
    steps.loadSettings = [this] { settings_->load(); };
    steps.useThemedStyle = useThemedStyle;
    steps.checkForUpdate = [this] {
        updates_ = std::make_unique<UpdateService>(hwnd_, options_.programFolder,
                                                   [this] { saveSettings(); });
        updates_->start();
    };
    steps.loadLists = [this] { settings_->loadLists(); };
    ::runCreationSteps(*main_, options_.programFolder, steps);
}

void MainWindow::saveSettings() {
    // The store checks 退出前自动保存所有配置 itself; a failed save keeps the old files and is
    // told once (the close and the destroy both save).
    if (!settings_) return;
    if (saveFailureShown_) {
        settings_->save();
    } else {
        saveFailureShown_ = !settings_panel::saveAtClose(*settings_, boxes_);
    }
}

void MainWindow::restartAsAdministrator() {
    // Asked for by the user: the settings are kept whatever 退出前自动保存所有配置 says.
    if (settings_) settings_->save();
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring folder = gui::wide(options_.programFolder);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC;
    info.hwnd = hwnd_;
    info.lpVerb = L"runas";  // the consent prompt; a refusal comes back as a failure
    info.lpFile = path;
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (length == 0 || length >= MAX_PATH || !ShellExecuteExW(&info)) {
        main_->状态条1.setPart(StatusBar::kMessage, "没有以管理员身份重新启动 Cantorel");
        return;
    }
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindow::wireHandlers() {
    MainUnits& u = *main_;
    onCommand("设置", BN_CLICKED, [&u] { panels::onSettingsToggle(u); });
    onCommand("歌词下载", BN_CLICKED, [&u] { panels::onSearchToggle(u); });
    onCommand("按钮2", BN_CLICKED, [this] { chooseFolder(); });

    // A press in the file list brings the lyric list back over the preview and re-reads the
    // folder before the list box selects what was clicked.
    gui::onLeftButtonDown(*units_->control("文件框1"), [this, &u] {
        u.歌词预览.setVisible(false);
        u.超级列表框_歌词.setVisible(true);
        lyricFiles_->refreshFileList();
    });
    // A double-click on a file not yet selected loads twice (selection change first); the
    // second load of the same file changes nothing the user sees.
    onCommand("文件框1", LBN_SELCHANGE, [this] { loadSelectedFile(); });
    onCommand("文件框1", LBN_DBLCLK, [this] { loadSelectedFile(); });

    onCommand("开始字幕", BN_CLICKED, [this] { startStopClicked(); });
    onNotify("超级列表框_歌词", NM_DBLCLK, [this] { engine_->jumpTo(); });
    onCommand("公屏字幕", BN_CLICKED,
              [this] { delivery_->onModeButtonClicked(DeliveryMode::PublicScreen); });
    onCommand("昵称字幕", BN_CLICKED,
              [this] { delivery_->onModeButtonClicked(DeliveryMode::NicknameCard); });

    onCommand("前缀_添加", BN_CLICKED, [&u] { settings_panel::onAddPrefix(u); });
    onCommand("前缀_删除", BN_CLICKED, [&u] { settings_panel::onDeletePrefix(u); });
    onCommand("后缀_添加", BN_CLICKED, [&u] { settings_panel::onAddSuffix(u); });
    onCommand("后缀_删除", BN_CLICKED, [&u] { settings_panel::onDeleteSuffix(u); });
    onCommand("开启倒序模式", BN_CLICKED, [&u] { settings_panel::onReverseClicked(u); });
    onCommand("开启正反序模式", BN_CLICKED, [&u] { settings_panel::onMirrorClicked(u); });
    onCommand("退出前自动保存所有配置", BN_CLICKED,
              [this, &u] { settings_panel::onAutoSaveClicked(u, *settings_); });
    wireMoreSettings();
    wireFollow();

    auto* panel = dynamic_cast<gui::DrawPanelControl*>(units_->control("画板_捕获器"));
    panel->setPaintHandler([this] {
        if (capture_) capture_->paintPanel();
    });
    panel->setButtonDownHandler([this] {
        if (capture_) capture_->onPanelButtonDown();
    });
    wireSearchPanel();
}

void MainWindow::wireSearchPanel() {
    onCommand("搜索歌词", BN_CLICKED, [this] { search_->searchClicked(); });
    onCommand("来源", CBN_SELCHANGE, [this] { search_->sourceChanged(); });
    // The current row changes when a row gains the selection (a click, or the arrow keys).
    onNotify("欲下载列表", LVN_ITEMCHANGED, [this](const NMHDR& header) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.iItem < 0 || !(change.uChanged & LVIF_STATE) ||
            !(change.uNewState & LVIS_SELECTED) || (change.uOldState & LVIS_SELECTED)) {
            return;
        }
        // A click may be the first half of a double-click, which saves without asking: its
        // preview waits for the double-click time, so no question box swallows the second
        // click. The keyboard previews at once.
        KillTimer(hwnd_, kPreviewTimer);
        if (GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0) {
            SetTimer(hwnd_, kPreviewTimer, GetDoubleClickTime(), nullptr);
        } else {
            search_->hitSelected();
        }
    });
    onNotify("欲下载列表", NM_DBLCLK, [this] {
        KillTimer(hwnd_, kPreviewTimer);
        search_->hitDoubleClicked();
    });
    // 来源 offers a fixed list: its edit field takes no typing.
    COMBOBOXINFO combo{};
    combo.cbSize = sizeof combo;
    if (GetComboBoxInfo(units_->control("来源")->hwnd(), &combo) && combo.hwndItem) {
        SendMessageW(combo.hwndItem, EM_SETREADONLY, TRUE, 0);
    }
}

void MainWindow::loadSelectedFile() {
    // The lyric list comes back over the preview and gets painted, and whatever the click left
    // queued runs, before a long file keeps the thread busy.
    main_->歌词预览.setVisible(false);
    main_->超级列表框_歌词.setVisible(true);
    message_loop::pumpPending();
    // What ran may have closed the window: then there is no list left to fill.
    if (!hwnd_ || message_loop::quitPending()) return;
    lyricFiles_->loadSelectedFile();
}

bool MainWindow::translateMessage(MSG& message) {
    if (!hwnd_) return false;
    // The window is no dialog, so the dialog manager knows no default button and Enter would
    // press nothing: Enter on a focused push button clicks it, as Space does.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
        IsChild(hwnd_, message.hwnd) && isPushButton(message.hwnd)) {
        SendMessageW(message.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    // Enter in the song name searches, as a search box does.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && units_ &&
        message.hwnd == units_->control("欲搜索内容")->hwnd()) {
        SendMessageW(units_->control("搜索歌词")->hwnd(), BM_CLICK, 0, 0);
        return true;
    }
    // Tab, Shift+Tab and the arrow keys move between the units.
    return IsDialogMessageW(hwnd_, &message) != 0;
}

void MainWindow::chooseFolder() {
    const std::wstring title = gui::wide("选择歌词目录");
    BROWSEINFOW info{};
    info.hwndOwner = hwnd_;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_EDITBOX | BIF_BROWSEINCLUDEFILES;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) return;
    wchar_t path[MAX_PATH] = {};
    const bool got = SHGetPathFromIDListW(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    if (!got || path[0] == L'\0') return;
    const GbkText folder = win32::pathText(path);
    main_->文件框1.setFolder(folder);
    main_->编辑框1.setText(folder);
}

void MainWindow::onCommand(int id, int code) {
    if (!units_) return;
    auto it = commands_.find(Key(std::string(units_->nameOf(id)), code));
    if (it != commands_.end()) it->second();
}

void MainWindow::onNotify(const NMHDR& header) {
    if (!units_) return;
    auto it = notifications_.find(
        Key(std::string(units_->nameOf(static_cast<int>(header.idFrom))), header.code));
    if (it != notifications_.end()) it->second(header);
}

void MainWindow::onCommand(std::string_view name, int code, std::function<void()> handler) {
    commands_.insert_or_assign(Key(std::string(name), code), std::move(handler));
}

void MainWindow::onNotify(std::string_view name, int code, std::function<void()> handler) {
    onNotify(name, code, [handler = std::move(handler)](const NMHDR&) { handler(); });
}

void MainWindow::onNotify(std::string_view name, int code,
                          std::function<void(const NMHDR&)> handler) {
    notifications_.insert_or_assign(Key(std::string(name), code), std::move(handler));
}

// The 更多设置 button, its dialog and the global hotkeys.

namespace {

bool sameShape(const LyricShape& a, const LyricShape& b) {
    return a.bilingual == b.bilingual && a.applyOffset == b.applyOffset;
}

}  // namespace

void MainWindow::wireMoreSettings() {
    more_ = loadMoreSettings(options_.programFolder);
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
    applyFollowSettings();
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
    const auto action = hotkeys_->actionOf(id);
    if (!action) return;
    // While following, start/stop and the nudges belong to the following.
    if (*action == HotkeyAction::StartStop) return startStopClicked();
    if (follow_ && follow_->following() &&
        (*action == HotkeyAction::NudgeLater || *action == HotkeyAction::NudgeEarlier))
        return follow_->nudge(*action == HotkeyAction::NudgeLater ? 100 : -100);
    runHotkey(*action, *engine_);
}
