#pragma once
// Runs practice-client.exe for a Windows test: starts it with a log file and a title of its own,
// finds its room window, and reads its log back after it has closed.
// The program is looked for in $CANTOREL_BUILD_DIR/tools/practice-client (a Linux path, which
// Wine shows as drive Z:).

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "text/codepage.hpp"
#include "win32/window_system_win32.hpp"

namespace practice {

inline std::wstring widen(const std::string& utf8) {
    const std::u16string w = codepage::utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}

/// The client's path as Windows sees it, or empty when the build folder is not given.
inline std::wstring clientPath() {
    const char* build = std::getenv("CANTOREL_BUILD_DIR");
    if (!build || !*build) return {};
    std::string path = build;
    if (path[0] == '/') {
        path = "Z:" + path;
        for (char& c : path)
            if (c == '/') c = '\\';
    }
    return widen(path) + L"\\tools\\practice-client\\practice-client.exe";
}

/// One line of the log; fields read by name.
struct LogLine {
    std::string json;
    /// The raw value after "key": (string without quotes, number as written), or nullopt.
    std::optional<std::string> field(const std::string& key) const {
        const std::string marker = "\"" + key + "\":";
        const size_t at = json.find(marker);
        if (at == std::string::npos) return std::nullopt;
        size_t start = at + marker.size();
        if (json[start] == '"') {
            const size_t end = json.find('"', start + 1);
            return json.substr(start + 1, end - start - 1);
        }
        size_t end = json.find_first_of(",}", start);
        return json.substr(start, end - start);
    }
    std::string get(const std::string& key) const { return field(key).value_or(""); }
    bool is(const std::string& key, const std::string& value) const { return field(key) == value; }
};

class Client {
  public:
    /// `tag` makes the title and the log file unique to the test.
    explicit Client(const std::string& tag) {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        logPath_ = std::wstring(folder) + L"practice-" + widen(tag) + L"-" +
                   std::to_wstring(GetCurrentProcessId()) + L".jsonl";
        DeleteFileW(logPath_.c_str());
        // A Chinese (GBK) title, as the real client has.
        title_ = "练习房间 " + tag;
    }
    ~Client() { stop(); }

    const GbkText& title() const { return title_; }
    HANDLE process() const { return info_.hProcess; }
    DWORD processId() const { return info_.dwProcessId; }

    /// Starts the client and waits for its room window; false when it cannot be found.
    bool start(WindowSystem& windows) {
        const std::wstring exe = clientPath();
        if (exe.empty()) return false;
        const std::u16string title16 = codepage::gbkToUtf16(title_);
        std::wstring command = L"\"" + exe + L"\" --log \"" + logPath_ + L"\" --title \"" +
                               std::wstring(title16.begin(), title16.end()) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info_))
            return false;
        started_ = true;
        for (int i = 0; i < 300; ++i) {
            main_ = windows.findTopLevel("TXGuiFoundation", title_);
            if (main_ != 0) return true;
            if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) return false;
        }
        return false;
    }

    WindowHandle mainWindow() const { return main_; }

    /// Closes the room (a posted WM_CLOSE, handled after everything posted before it) and waits
    /// for the process to end; true when it ended by itself.
    bool stop() {
        if (!started_) return true;
        started_ = false;
        if (main_) PostMessageW(reinterpret_cast<HWND>(main_), WM_CLOSE, 0, 0);
        bool ended = WaitForSingleObject(info_.hProcess, 15000) == WAIT_OBJECT_0;
        if (!ended) TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
        return ended;
    }

    std::vector<LogLine> readLog() const {
        std::vector<LogLine> lines;
        FILE* file = _wfopen(logPath_.c_str(), L"rb");
        if (!file) return lines;
        std::string all;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) all.append(buffer, n);
        std::fclose(file);
        std::istringstream in(all);
        for (std::string line; std::getline(in, line);)
            if (!line.empty()) lines.push_back(LogLine{line});
        DeleteFileW(logPath_.c_str());
        return lines;
    }

  private:
    std::wstring logPath_;
    GbkText title_;
    PROCESS_INFORMATION info_{};
    bool started_ = false;
    WindowHandle main_ = 0;
};

/// Lower-case hex of GBK bytes, as the log writes them.
inline std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

}  // namespace practice
