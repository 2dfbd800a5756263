// The console on Windows. The console's code page decides how bytes show, and it is rarely
// UTF-8 (936 in China, 437 or 1252 in the West): text goes to a console as UTF-16 with
// WriteConsoleW, which shows Chinese under every code page. Redirected output stays UTF-8.
#include <windows.h>
// CommandLineToArgvW.
#include <shellapi.h>

#include "platform/console.hpp"
#include "text/codepage.hpp"

namespace console {

std::vector<std::string> arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        const std::wstring_view arg(wide[i]);
        args.push_back(codepage::utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
    }
    LocalFree(wide);
    return args;
}

void write(std::FILE* stream, std::string_view text) {
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !handle || !GetConsoleMode(handle, &mode)) {
        std::fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    // What the C library still holds goes out first, so the order stays.
    std::fflush(stream);
    const std::u16string utf16 = codepage::utf8ToUtf16(text);
    for (std::size_t done = 0; done < utf16.size();) {
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(utf16.size() - done, 8192));
        DWORD wrote = 0;
        if (!WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(utf16.data() + done), part,
                           &wrote, nullptr) ||
            wrote == 0)
            break;
        done += wrote;
    }
}

}  // namespace console
