#include "win32/gui/single_copy.hpp"

#include <cwctype>

namespace {

// The main window's class (main_window.cpp).
constexpr wchar_t kRunningClass[] = L"CantorelMainWindow";

// "Local\Cantorel-" and a hash of the folder, case folded as Windows compares paths: a lock
// name may not hold a backslash and is limited in length, a path is not.
std::wstring lockName(const std::wstring& folder) {
    unsigned long long hash = 14695981039346656037ull;
    for (wchar_t c : folder) {
        if (c == L'/') c = L'\\';
        hash = (hash ^ static_cast<unsigned long long>(std::towlower(c))) * 1099511628211ull;
    }
    wchar_t text[17];
    swprintf(text, 17, L"%016llx", hash);
    return std::wstring(L"Local\\Cantorel-") + text;
}

std::wstring folderOf(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return {};
    wchar_t path[MAX_PATH * 4];
    DWORD size = MAX_PATH * 4;
    const bool got = QueryFullProcessImageNameW(process, 0, path, &size) != FALSE;
    CloseHandle(process);
    if (!got) return {};
    std::wstring text(path, size);
    const std::size_t slash = text.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : text.substr(0, slash);
}

// The visible main window of another copy started from `folder`, or null.
HWND runningWindow(const std::wstring& folder) {
    for (HWND window = FindWindowExW(nullptr, nullptr, kRunningClass, nullptr); window;
         window = FindWindowExW(nullptr, window, kRunningClass, nullptr)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (processId == GetCurrentProcessId() || !IsWindowVisible(window)) continue;
        if (lstrcmpiW(folderOf(processId).c_str(), folder.c_str()) == 0) return window;
    }
    return nullptr;
}

}  // namespace

SingleCopy::SingleCopy(const std::wstring& folder, DWORD waitMilliseconds) {
    mutex_ = CreateMutexW(nullptr, FALSE, lockName(folder).c_str());
    // Without a lock (no rights to make one) the program runs as it always did.
    if (!mutex_) {
        held_ = true;
        return;
    }
    // A copy that shows its window is running: this start only brings it forward. One that
    // shows none yet is starting, or ending (an update hands over to its new program): wait.
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD got = WaitForSingleObject(mutex_, 100);
        if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) {
            held_ = true;
            return;
        }
        if (runningWindow(folder) || GetTickCount() - start >= waitMilliseconds) return;
    }
}

SingleCopy::~SingleCopy() {
    release();
    if (mutex_) CloseHandle(mutex_);
}

void SingleCopy::release() {
    if (mutex_ && held_) ReleaseMutex(mutex_);
    if (mutex_) held_ = false;
}

void SingleCopy::retake() {
    if (!mutex_ || held_) return;
    const DWORD got = WaitForSingleObject(mutex_, 0);
    held_ = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
}

bool SingleCopy::showRunningCopy(const std::wstring& folder, DWORD waitMilliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = runningWindow(folder)) {
            if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
            // This start came from the user, so it may hand the foreground on.
            SetForegroundWindow(window);
            return true;
        }
        if (GetTickCount() - start >= waitMilliseconds) return false;
        Sleep(100);
    }
}
