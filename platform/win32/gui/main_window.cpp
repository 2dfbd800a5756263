#include "platform/win32/gui/main_window.hpp"

#include <windows.h>
// The common-control headers need what windows.h declares.
#include <commctrl.h>
#include <shlobj.h>

#include "app/main_layout.hpp"
#include "app/panel_toggles.hpp"
#include "app/startup.hpp"
#include "platform/win32/gui/draw_panel.hpp"
#include "platform/win32/timer_win32.hpp"

namespace {

constexpr wchar_t kMainClass[] = L"CantorelMainWindow";

HFONT createMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return nullptr;
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

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

}  // namespace

MainWindow::MainWindow(MainWindowOptions options) : options_(std::move(options)) {}

MainWindow::~MainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (font_) DeleteObject(font_);
}

bool MainWindow::create() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hIcon = LoadIconW(module, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    font_ = createMessageFont();
    // A fixed frame: the window's size is part of what the user arranges next to the client.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, gui::wide(layout::mainCaption()).c_str(),
                    style, layout::kLeft, layout::kTop, layout::kWidth, layout::kHeight, nullptr,
                    nullptr, module, this);
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
        case WM_SIZE:
            // The status bar keeps itself at the bottom edge when told the size changed.
            if (auto* bar = units_ ? units_->control("状态条1") : nullptr) {
                SendMessageW(bar->hwnd(), WM_SIZE, 0, 0);
            }
            return 0;
        case WM_ACTIVATE:
            // TODO(capture): capture_->drawRestingPicture() once platform/win32/capture_win32.cpp
            // lands.
            break;
        case WM_CLOSE:
            // The close is never refused.
            saveSettings();
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            saveSettings();
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
    units_ = std::make_unique<gui::Win32Units>(hwnd_, font_);
    if (!units_->complete()) return false;
    units_->addTimer("时钟_歌词播放", std::make_unique<Win32Timer>());
    main_ = std::make_unique<MainUnits>(*units_);
    // TODO(settings): SettingsStore over *main_ and options_.programFolder.
    // TODO(lyrics): LyricFiles over *main_, state_.lyrics, boxes_ and the engine's seam.
    // TODO(playback): PlaybackEngine (it sets the 时钟_歌词播放 handler) and Delivery.
    // TODO(capture): Win32Capture(hwnd_, panel, *main_, state_, windows_).
    wireHandlers();
    runCreationSteps();
    return true;
}

void MainWindow::runCreationSteps() {
    CreationSteps steps;
    // TODO(settings): steps.loadSettings = SettingsStore::load;
    steps.useThemedStyle = useThemedStyle;
    steps.checkForUpdate = [this] { updates_.run(); };
    // TODO(settings): steps.loadLists = SettingsStore::loadLists;
    ::runCreationSteps(*main_, options_.programFolder, steps);
}

void MainWindow::saveSettings() {
    if (!main_) return;
    // TODO(settings): SettingsStore::save (it checks 退出前自动保存所有配置 itself).
}

void MainWindow::wireHandlers() {
    MainUnits& u = *main_;
    onCommand("设置", BN_CLICKED, [&u] { panels::onSettingsToggle(u); });
    onCommand("歌词下载", BN_CLICKED, [&u] { panels::onSearchToggle(u); });
    onCommand("按钮2", BN_CLICKED, [this] { chooseFolder(); });

    // A press in the file list brings the lyric list back over the preview and re-reads the
    // folder before the list box selects what was clicked.
    gui::onLeftButtonDown(*units_->control("文件框1"), [&u] {
        u.歌词预览.setVisible(false);
        u.超级列表框_歌词.setVisible(true);
        // TODO(lyrics): lyricFiles_->refreshFileList();
    });
    // TODO(lyrics): 文件框1 LBN_SELCHANGE and LBN_DBLCLK -> lyricFiles_->loadSelectedFile().
    // TODO(playback): 超级列表框_歌词 NM_DBLCLK -> engine_->jumpTo(row);
    //                 开始字幕 BN_CLICKED -> engine_->startStop().
    // TODO(delivery): 公屏字幕 / 昵称字幕 BN_CLICKED -> delivery's radio handlers.
    // TODO(settings): 前缀_添加, 前缀_删除, 后缀_添加, 后缀_删除, 开启倒序模式, 开启正反序模式,
    //                 是否开启广告过滤模式, 退出前自动保存所有配置 -> settings panel handlers.
    // TODO(capture): draw panel paint / button-down -> capture_.
    // The search panel's units exist; their handlers come with lyric search.
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
    const GbkText folder = gui::narrow(path);
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
    if (it != notifications_.end()) it->second();
}

void MainWindow::onCommand(std::string_view name, int code, std::function<void()> handler) {
    commands_.insert_or_assign(Key(std::string(name), code), std::move(handler));
}

void MainWindow::onNotify(std::string_view name, int code, std::function<void()> handler) {
    notifications_.insert_or_assign(Key(std::string(name), code), std::move(handler));
}
