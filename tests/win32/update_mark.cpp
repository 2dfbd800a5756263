// A stand-in for a new program version in the update tests: when it starts it writes its own
// path and command line to mark.txt beside itself, then ends.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
    std::wstring path(self, n);
    const std::wstring mark = path.substr(0, path.find_last_of(L'\\') + 1) + L"mark.txt";
    const std::wstring text = path + L"\n" + GetCommandLineW() + L"\n";
    HANDLE file = CreateFileW(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD wrote = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &wrote,
              nullptr);
    CloseHandle(file);
    return 0;
}
