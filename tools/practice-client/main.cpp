// practice-client.exe: a stand-in for the QT语音 chat client, so Cantorel's whole road can be run
// and tested without it. It shows a practice room (class TXGuiFoundation) with a public chat
// and a nickname card, and logs every message it receives.
//
//   practice-client.exe [--log PATH] [--title TITLE] [--nickname NAME]
//                       [--x X] [--y Y] [--width W] [--height H]
//
// Log (appended, one JSON object a line, "t_us" = performance counter in microseconds):
//   every input message:  {"t_us":..,"window":"main"|"card","msg":"lbuttondown","id":513,
//                          "wparam":1,"lparam":..,"x":585,"y":643}
//                         characters add "gbk_hex" (the GBK bytes of the character received)
//                         and "char" (the character itself, UTF-8)
//   events:  ready (pid, main_hwnd, client size), focus, card_opened, card_closed,
//            public (nickname_hex/nickname, text_hex/text), send_ignored,
//            nickname (text_hex/text, changed: every confirm, also when nothing changed), closed
//
// Messages are not passed through TranslateMessage: a posted WM_KEYDOWN would then come back
// as an extra WM_CHAR, one Backspace would delete twice, and the log would show characters
// nobody posted.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "tools/practice-client/card_dialog.hpp"
#include "tools/practice-client/client_log.hpp"
#include "tools/practice-client/room_window.hpp"

namespace {

struct Options {
    std::wstring log;
    std::wstring title = L"QT语音 练习房间";
    std::wstring nickname = L"练习者";
    int x = 40, y = 40, width = 1000, height = 700;
};

Options parse(int argc, wchar_t** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring key = argv[i];
        const wchar_t* value = argv[i + 1];
        if (key == L"--log")
            o.log = value;
        else if (key == L"--title")
            o.title = value;
        else if (key == L"--nickname")
            o.nickname = value;
        else if (key == L"--x")
            o.x = _wtoi(value);
        else if (key == L"--y")
            o.y = _wtoi(value);
        else if (key == L"--width")
            o.width = _wtoi(value);
        else if (key == L"--height")
            o.height = _wtoi(value);
    }
    return o;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const Options options = parse(argc, argv);
    LocalFree(argv);

    ClientLog log;
    if (!options.log.empty() && !log.open(options.log)) {
        MessageBoxW(nullptr, (L"无法写入日志文件：" + options.log).c_str(), L"练习客户端",
                    MB_ICONERROR);
        return 2;
    }
    RoomWindow room(log, options.nickname);
    if (!room.open(options.title, options.x, options.y, options.width, options.height)) return 1;
    RECT client{};
    GetClientRect(room.handle(), &client);
    log.event("ready", "\"pid\":" + std::to_string(GetCurrentProcessId()) + ",\"main_hwnd\":" +
                           std::to_string(reinterpret_cast<std::uintptr_t>(room.handle())) +
                           ",\"client_width\":" + std::to_string(client.right) +
                           ",\"client_height\":" + std::to_string(client.bottom));
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
    return static_cast<int>(m.wParam);
}
