#include "win32/gui/more_settings_dialog.hpp"

// The common-control headers need what windows.h declares.
#include <commctrl.h>

#include <iterator>
#include <vector>

#include "app/more_settings_form.hpp"
#include "ui/dpi_scale.hpp"
#include "win32/audio_listener_win32.hpp"
#include "win32/gui/dpi_win32.hpp"
#include "win32/gui/gui_text.hpp"

namespace more_settings_dialog {
namespace {

constexpr int kClientWidth = 300;
constexpr int kClientHeight = 416;
// Everything below the device row sits this much lower than the row's height would leave it.
constexpr int kDeviceRow = 28;
constexpr int kHotkeyTop = 170 + kDeviceRow;
constexpr int kHotkeyStep = 28;
constexpr Bilingual kModes[] = {Bilingual::Lines, Bilingual::Original, Bilingual::Translation,
                                Bilingual::Joined};

struct State {
    HFONT font;
    MoreSettings& settings;
    MessageBoxes& boxes;
    std::vector<RenderDevice> devices;  // the list's rows after the default's, in order
};

// A dialog template with no items: the controls are made in WM_INITDIALOG in pixels, like the
// main window's, so both use the same font and measures.
struct alignas(DWORD) EmptyTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};

// Places are given at 96 pixels per inch and made at the dialog's density.
HWND add(HWND dialog, HFONT font, int dpi, const wchar_t* kind, const GbkText& text, DWORD style,
         int x, int y, int width, int height, int id, DWORD exStyle = 0) {
    const dpi::Box at = dpi::scale(dpi::Box{x, y, width, height}, dpi);
    HWND control = CreateWindowExW(exStyle, kind, gui::wide(text).c_str(),
                                   WS_CHILD | WS_VISIBLE | style, at.x, at.y, at.width, at.height,
                                   dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void build(HWND dialog, State& state) {
    const HFONT font = state.font;
    const int dpi = gui::windowDpi(dialog);
    const MoreSettings& settings = state.settings;
    add(dialog, font, dpi, L"Static", "双语歌词", SS_LEFT, 12, 15, 70, 20, -1);
    HWND modes =
        add(dialog, font, dpi, WC_COMBOBOXW, "",
            CBS_DROPDOWNLIST | WS_TABSTOP | WS_GROUP | WS_VSCROLL, 88, 12, 120, 160, kBilingual);
    for (Bilingual mode : kModes) {
        SendMessageW(modes, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(gui::wide(GbkText(bilingualCaption(mode))).c_str()));
        if (mode == settings.shape.bilingual)
            SendMessageW(modes, CB_SETCURSEL, SendMessageW(modes, CB_GETCOUNT, 0, 0) - 1, 0);
    }
    add(dialog, font, dpi, L"Button", "应用歌词偏移（按文件的 [offset:] 标签移动各行）",
        BS_AUTOCHECKBOX | WS_TABSTOP, 12, 44, 280, 20, kApplyOffset);
    CheckDlgButton(dialog, kApplyOffset, settings.shape.applyOffset ? BST_CHECKED : BST_UNCHECKED);
    add(dialog, font, dpi, L"Button", "伴奏开始时自动开始", BS_AUTOCHECKBOX | WS_TABSTOP, 12, 68,
        280, 20, kStartWithAudio);
    CheckDlgButton(dialog, kStartWithAudio, settings.startWithAudio ? BST_CHECKED : BST_UNCHECKED);
    add(dialog, font, dpi, L"Button", "跟随播放器（开始字幕后跟随正在播放的歌曲）",
        BS_AUTOCHECKBOX | WS_TABSTOP, 12, 92 + kDeviceRow, 280, 20, kFollowPlayer);
    CheckDlgButton(dialog, kFollowPlayer, settings.follow.enabled ? BST_CHECKED : BST_UNCHECKED);
    add(dialog, font, dpi, L"Static", "只跟随播放器", SS_LEFT, 30, 121 + kDeviceRow, 100, 20, -1);
    add(dialog, font, dpi, L"Edit", settings.follow.pinnedPlayer, ES_AUTOHSCROLL | WS_TABSTOP, 136,
        118 + kDeviceRow, 144, 22, kPinnedPlayer, WS_EX_CLIENTEDGE);

    // The device the music start listens to: the system's default unless one is chosen.
    add(dialog, font, dpi, L"Static", "伴奏设备", SS_LEFT, 12, 95, 70, 20, -1);
    HWND device = add(dialog, font, dpi, WC_COMBOBOXW, "",
                      CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 88, 92, 204, 200, kAudioDevice);
    SendMessageW(device, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(gui::wide("系统默认设备（随系统切换）").c_str()));
    SendMessageW(device, CB_SETCURSEL, 0, 0);
    const std::wstring saved = gui::wide(settings.audioDevice);
    bool savedListed = saved.empty();
    for (const RenderDevice& entry : state.devices) {
        const LRESULT row =
            SendMessageW(device, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
        if (entry.id == saved) {
            SendMessageW(device, CB_SETCURSEL, row, 0);
            savedListed = true;
        }
    }
    // A chosen device that is unplugged now stays chosen until the user picks another.
    if (!savedListed) {
        state.devices.push_back({saved, gui::wide("已选的设备（现在未连接）")});
        const LRESULT row = SendMessageW(
            device, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(state.devices.back().name.c_str()));
        SendMessageW(device, CB_SETCURSEL, row, 0);
    }

    add(dialog, font, dpi, L"Button", "全局热键（留空则不用）", BS_GROUPBOX, 8, 148 + kDeviceRow,
        284, 172, -1);
    for (int i = 0; i < kHotkeyActions; ++i) {
        const int y = kHotkeyTop + i * kHotkeyStep;
        const auto action = static_cast<HotkeyAction>(i);
        add(dialog, font, dpi, L"Static", GbkText(hotkeyCaption(action)), SS_LEFT, 20, y + 3, 110,
            20, -1);
        add(dialog, font, dpi, L"Edit", settings.hotkeys[static_cast<std::size_t>(i)].text,
            ES_AUTOHSCROLL | WS_TABSTOP, 136, y, 144, 22, kFirstHotkey + i, WS_EX_CLIENTEDGE);
    }
    add(dialog, font, dpi, L"Static", "写法如 Ctrl+Alt+S、Ctrl+Shift+F5、Alt+PageDown", SS_LEFT, 12,
        326 + kDeviceRow, 280, 20, -1);
    add(dialog, font, dpi, L"Button", "确定", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 128,
        352 + kDeviceRow, 76, 26, IDOK);
    add(dialog, font, dpi, L"Button", "取消", BS_PUSHBUTTON | WS_TABSTOP, 214, 352 + kDeviceRow, 76,
        26, IDCANCEL);

    // The outer size that gives the client area its measure, centred on the owner.
    const SIZE frame =
        gui::frameSize(dialog, dpi::scale(kClientWidth, dpi), dpi::scale(kClientHeight, dpi), dpi);
    const int width = frame.cx, height = frame.cy;
    RECT owner{};
    HWND parent = GetWindow(dialog, GW_OWNER);
    if (!parent || !GetWindowRect(parent, &owner))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
    SetWindowPos(dialog, nullptr, owner.left + (owner.right - owner.left - width) / 2,
                 owner.top + (owner.bottom - owner.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    gui::setWindowText(dialog, "更多设置");
}

// True when the dialog may close: every hotkey text was good, and `settings` holds the choices.
bool take(HWND dialog, State& state) {
    HotkeyTexts texts;
    for (int i = 0; i < kHotkeyActions; ++i)
        texts[static_cast<std::size_t>(i)] = gui::windowText(GetDlgItem(dialog, kFirstHotkey + i));
    MoreSettings edited = state.settings;
    const HotkeyCheck check = takeHotkeyTexts(texts, edited);
    if (check.field >= 0) {
        state.boxes.show(check.message, "温馨提示", mb::kIconInformation | mb::kTaskModal);
        HWND field = GetDlgItem(dialog, kFirstHotkey + check.field);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
        SendMessageW(field, EM_SETSEL, 0, -1);
        return false;
    }
    const LRESULT mode = SendDlgItemMessageW(dialog, kBilingual, CB_GETCURSEL, 0, 0);
    if (mode >= 0 && mode < static_cast<LRESULT>(std::size(kModes)))
        edited.shape.bilingual = kModes[mode];
    edited.shape.applyOffset = IsDlgButtonChecked(dialog, kApplyOffset) == BST_CHECKED;
    edited.startWithAudio = IsDlgButtonChecked(dialog, kStartWithAudio) == BST_CHECKED;
    edited.follow.enabled = IsDlgButtonChecked(dialog, kFollowPlayer) == BST_CHECKED;
    edited.follow.pinnedPlayer = gui::windowText(GetDlgItem(dialog, kPinnedPlayer));
    const LRESULT device = SendDlgItemMessageW(dialog, kAudioDevice, CB_GETCURSEL, 0, 0);
    if (device == 0) edited.audioDevice.clear();
    if (device > 0 && device <= static_cast<LRESULT>(state.devices.size()))
        edited.audioDevice = gui::narrow(state.devices[static_cast<std::size_t>(device - 1)].id);
    state.settings = edited;
    return true;
}

INT_PTR CALLBACK proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            build(dialog, *reinterpret_cast<State*>(lParam));
            return TRUE;  // the focus goes to the first control that takes it
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK && state) {
                if (take(dialog, *state)) EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

bool run(HWND owner, HFONT font, MoreSettings& settings, MessageBoxes& boxes) {
    EmptyTemplate form{};
    form.dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    State state{font, settings, boxes, renderDevices()};
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &form.dialog, owner,
                                                   proc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK;
}

}  // namespace more_settings_dialog
