// e2e-probe: tells the end-to-end tests where things are on screen, so xdotool can press
// real mouse buttons on them. Reads only; it never sends input itself.
//   e2e-probe client TITLE          screen x y of the client-area origin of the top-level
//                                   window whose title contains TITLE
//   e2e-probe listitem TITLE TEXT   screen centre x y of the list-box item TEXT in that window
//   e2e-probe rect TITLE            screen rectangle (left top right bottom) of that window
//   e2e-probe childtext TITLE PREFIX  text (UTF-8) of its first child whose text starts with
//                                   PREFIX, hidden children included
//   e2e-probe wait TITLE SECONDS    waits until such a window exists (exit 1 on time-out)
//   e2e-probe hide TITLE            hides that window
//   e2e-probe close TITLE           asks that window to close, as its close box does
//   e2e-probe unit TITLE KEY        screen x y of a point of its first child (at any depth,
//                                   hidden ones included) whose text or class name is KEY:
//                                   16 pixels in from the left edge, halfway down, where a
//                                   check or radio button's box and a list's first column are
//   e2e-probe next TITLE KEY [CLASS]  the same point of the first window after unit KEY among
//                                   its siblings (of class CLASS when given): the edit box
//                                   after its label, the list after the units above it
//   e2e-probe firstrow TITLE KEY    screen x y inside the first row of the first list view
//                                   after unit KEY among its siblings
//   e2e-probe sleeper OUT SECONDS   an ideal sleeper beside a timed run: wakes every 2 ms on
//                                   absolute deadlines (high-resolution waitable timer, as
//                                   Cantorel's timers) and appends "t_us late_us" to OUT for
//                                   every wake more than 1 ms late, t_us on the performance
//                                   counter as in the practice client's log; a machine stall
//                                   shows there as it shows in the lines
// Exit code 1 when nothing matches.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    std::wstring needle;
    bool hiddenToo = false;
    HWND found = nullptr;
};

BOOL CALLBACK matchTitle(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t title[512];
    GetWindowTextW(window, title, 512);
    if ((search->hiddenToo || IsWindowVisible(window)) &&
        std::wstring(title).find(search->needle) != std::wstring::npos) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND findTopLevel(const std::wstring& needle, bool hiddenToo = false) {
    Search search{needle, hiddenToo, nullptr};
    EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct ItemSearch {
    std::wstring text;
    POINT centre{};
    bool found = false;
};

BOOL CALLBACK matchItem(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ItemSearch*>(param);
    wchar_t cls[64];
    GetClassNameW(child, cls, 64);
    if (lstrcmpiW(cls, L"ListBox") != 0) return TRUE;
    const LRESULT index = SendMessageW(child, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(search->text.c_str()));
    if (index == LB_ERR) return TRUE;
    SendMessageW(child, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    RECT item{};
    if (SendMessageW(child, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return TRUE;
    POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(child, &centre);
    search->centre = centre;
    search->found = true;
    return FALSE;
}

struct TextSearch {
    std::wstring prefix;
    std::wstring text;
    bool found = false;
};

BOOL CALLBACK matchText(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    wchar_t text[1024];
    GetWindowTextW(child, text, 1024);
    if (std::wstring(text).rfind(search->prefix, 0) == 0) {
        search->text = text;
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

struct UnitSearch {
    std::wstring key;
    POINT point{};
    bool found = false;
};

BOOL CALLBACK matchUnit(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<UnitSearch*>(param);
    wchar_t text[512] = {};
    wchar_t cls[128] = {};
    GetWindowTextW(child, text, 512);
    GetClassNameW(child, cls, 128);
    if (search->key != text && search->key != cls) return TRUE;
    RECT rect{};
    GetWindowRect(child, &rect);
    search->point = {rect.left + 16, (rect.top + rect.bottom) / 2};
    search->found = true;
    return FALSE;
}

HWND findUnit(HWND window, const std::wstring& key) {
    struct Found {
        std::wstring key;
        HWND hwnd = nullptr;
    } found{key, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            auto* found = reinterpret_cast<Found*>(param);
            wchar_t text[512] = {};
            wchar_t cls[128] = {};
            GetWindowTextW(child, text, 512);
            GetClassNameW(child, cls, 128);
            if (found->key != text && found->key != cls) return TRUE;
            found->hwnd = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.hwnd;
}

// The first sibling after `unit` (siblings are stacked in the order they were created), of
// class `cls` unless that is empty.
HWND nextSibling(HWND unit, const std::wstring& cls) {
    for (HWND at = GetWindow(unit, GW_HWNDNEXT); at; at = GetWindow(at, GW_HWNDNEXT)) {
        wchar_t name[128] = {};
        GetClassNameW(at, name, 128);
        if (cls.empty() || lstrcmpiW(name, cls.c_str()) == 0) return at;
    }
    return nullptr;
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

}  // namespace

namespace {

long long counterMicros() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart / frequency.QuadPart * 1000000 +
           now.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

int sleeper(const wchar_t* out, int seconds) {
    FILE* file = _wfopen(out, L"ab");
    if (!file) return 1;
    HANDLE timer =
        CreateWaitableTimerExW(nullptr, nullptr, 0x2 /* high resolution */, TIMER_ALL_ACCESS);
    if (!timer) timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    constexpr long long kPeriod = 2000;
    const long long start = counterMicros();
    for (long long due = start + kPeriod; due < start + seconds * 1000000LL; due += kPeriod) {
        const long long left = due - counterMicros();
        if (left > 0) {
            LARGE_INTEGER relative;
            relative.QuadPart = -left * 10;
            SetWaitableTimer(timer, &relative, 0, nullptr, nullptr, FALSE);
            WaitForSingleObject(timer, INFINITE);
        }
        const long long now = counterMicros();
        if (now - due > 1000) {
            std::fprintf(file, "%lld %lld\n", now, now - due);
            std::fflush(file);
        }
        // After a stall the grid goes on from now: one stall is one record.
        if (now - due > kPeriod) due = now;
    }
    CloseHandle(timer);
    std::fclose(file);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 4 && std::wstring(argv[1]) == L"sleeper") return sleeper(argv[2], _wtoi(argv[3]));
    if (argc < 3) {
        std::fputs(
            "usage: e2e-probe client|rect|childtext|listitem|unit|next|firstrow|wait|hide|close "
            "TITLE "
            "[TEXT|SECONDS]\n",
            stderr);
        return 2;
    }
    const std::wstring command = argv[1];
    if (command == L"wait" && argc >= 4) {
        const DWORD deadline = GetTickCount() + static_cast<DWORD>(_wtoi(argv[3])) * 1000;
        while (!findTopLevel(argv[2])) {
            if (GetTickCount() > deadline) return 1;
            Sleep(100);
        }
        return 0;
    }
    // A window hidden before its close is still closed.
    HWND window = findTopLevel(argv[2], command == L"close");
    if (!window) return 1;
    if (command == L"client") {
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        std::printf("%ld %ld\n", origin.x, origin.y);
        return 0;
    }
    if (command == L"rect") {
        RECT rect{};
        GetWindowRect(window, &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (command == L"hide") {
        // Off the screen first, so a close that follows is timed without Wine's wait for a
        // window manager (two seconds under a bare X server) when a shown window goes.
        ShowWindow(window, SW_HIDE);
        return 0;
    }
    if (command == L"close") {
        // The way a user closes it: the window gets WM_CLOSE and runs its own shutdown.
        return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"childtext" && argc >= 4) {
        TextSearch search{argv[3], {}, false};
        EnumChildWindows(window, matchText, reinterpret_cast<LPARAM>(&search));
        if (!search.found) return 1;
        std::printf("%s\n", utf8(search.text).c_str());
        return 0;
    }
    if (command == L"unit" && argc >= 4) {
        UnitSearch search{argv[3], {}, false};
        EnumChildWindows(window, matchUnit, reinterpret_cast<LPARAM>(&search));
        if (!search.found) return 1;
        std::printf("%ld %ld\n", search.point.x, search.point.y);
        return 0;
    }
    if (command == L"next" && argc >= 4) {
        HWND unit = findUnit(window, argv[3]);
        HWND next = unit ? nextSibling(unit, argc >= 5 ? argv[4] : L"") : nullptr;
        if (!next) return 1;
        RECT rect{};
        GetWindowRect(next, &rect);
        std::printf("%ld %ld\n", rect.left + 16, (rect.top + rect.bottom) / 2);
        return 0;
    }
    if (command == L"firstrow" && argc >= 4) {
        // List-view messages carry no data across processes; the header's place does. The
        // first row starts right under it and is at least 16 pixels high.
        HWND unit = findUnit(window, argv[3]);
        HWND list = unit ? nextSibling(unit, L"SysListView32") : nullptr;
        if (!list) return 1;
        HWND header = FindWindowExW(list, nullptr, L"SysHeader32", nullptr);
        RECT rect{};
        GetWindowRect(list, &rect);
        RECT top = rect;
        if (header) GetWindowRect(header, &top);
        std::printf("%ld %ld\n", rect.left + 24, top.bottom + 7);
        return 0;
    }
    if (command == L"listitem" && argc >= 4) {
        ItemSearch search{argv[3], {}, false};
        EnumChildWindows(window, matchItem, reinterpret_cast<LPARAM>(&search));
        if (!search.found) return 1;
        std::printf("%ld %ld\n", search.centre.x, search.centre.y);
        return 0;
    }
    return 2;
}
