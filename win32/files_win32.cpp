// Files on Windows: GBK paths become UTF-16 so the W functions find them on every locale.
#include <windows.h>
// bcrypt.h needs what windows.h declares.
#include <bcrypt.h>

#include <algorithm>
#include <string_view>

#include "platform/files.hpp"
#include "text/codepage.hpp"
#include "win32/wide_path.hpp"
#include "win32/wide_text.hpp"

namespace files {
namespace {

using win32::pathText;
using win32::widePath;

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
    void close() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE h_;
};

// True when `name` is `base` + ".tmp" + one or more digits: the name writeAtomically gives the
// temporary file of `base`. Windows names compare without case.
bool isTemporaryOf(std::wstring_view name, std::wstring_view base) {
    const std::wstring prefix = std::wstring(base) + L".tmp";
    if (name.size() <= prefix.size() ||
        CompareStringOrdinal(name.data(), static_cast<int>(prefix.size()), prefix.data(),
                             static_cast<int>(prefix.size()), TRUE) != CSTR_EQUAL)
        return false;
    const std::wstring_view digits = name.substr(prefix.size());
    return std::all_of(digits.begin(), digits.end(),
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// True when the process that named the temporary file `name` (its digits are that process's
// id) still runs: another copy may be in the middle of its save.
bool writerRuns(std::wstring_view name) {
    const std::size_t digits = name.find_last_not_of(L"0123456789") + 1;
    if (digits >= name.size() || name.size() - digits > 9) return false;
    const DWORD id = static_cast<DWORD>(std::stoul(std::wstring(name.substr(digits))));
    if (id == GetCurrentProcessId()) return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process) return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

}  // namespace

std::optional<std::string> readAll(const GbkText& path) {
    Handle file(CreateFileW(widePath(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        // Half a file is no file: the settings store rewrites what it read, and would drop
        // whatever a failed read left out.
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
        if (got == 0) return bytes;
        bytes.append(buffer, got);
    }
}

bool writeAtomically(const GbkText& path, std::string_view bytes) {
    const std::wstring target = widePath(path);
    // Windows refuses to replace a read-only file, but Wine's rename does not: check first, so
    // a write-protected settings file stays as it is everywhere.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    const std::wstring temp = target + L".tmp" + std::to_wstring(GetCurrentProcessId());
    Handle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file.get());
    file.close();
    if (!ok || !MoveFileExW(temp.c_str(), target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

int removeLeftoverTemporaries(const GbkText& path) {
    const std::wstring target = widePath(path);
    const size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    const std::wstring base = slash == std::wstring::npos ? target : target.substr(slash + 1);
    // The pattern also matches 8.3 short names, so each long name is checked again.
    const std::wstring pattern = target + L".tmp*";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    std::vector<std::wstring> leftovers;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        if (isTemporaryOf(found.cFileName, base) && !writerRuns(found.cFileName))
            leftovers.push_back(folder + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    int removed = 0;
    for (const std::wstring& name : leftovers) {
        if (DeleteFileW(name.c_str())) ++removed;
    }
    return removed;
}

namespace {

class Win32NewFile : public NewFile {
  public:
    explicit Win32NewFile(HANDLE file) : file_(file) {}
    bool write(std::string_view bytes) override {
        while (file_.ok() && !bytes.empty()) {
            const DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
            DWORD wrote = 0;
            if (!WriteFile(file_.get(), bytes.data(), part, &wrote, nullptr) || wrote != part)
                return false;
            bytes.remove_prefix(part);
        }
        return file_.ok();
    }
    bool close() override {
        if (!file_.ok()) return false;
        const bool flushed = FlushFileBuffers(file_.get()) != 0;
        file_.close();
        return flushed;
    }

  private:
    Handle file_;
};

}  // namespace

std::unique_ptr<NewFile> createUnique(const GbkText& folder, const GbkText& prefix,
                                      const GbkText& suffix, GbkText& path) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        unsigned char random[8];
        if (BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
            return nullptr;
        static constexpr char kHex[] = "0123456789abcdef";
        std::string digits;
        for (unsigned char byte : random) {
            digits += kHex[byte >> 4];
            digits += kHex[byte & 15];
        }
        const GbkText candidate = join(folder, prefix + digits + suffix);
        // CREATE_NEW never opens what is already there, a planted link included; nobody else
        // may open the file while it is written.
        HANDLE file = CreateFileW(widePath(candidate).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            path = candidate;
            return std::make_unique<Win32NewFile>(file);
        }
        if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return nullptr;
}

bool rename(const GbkText& from, const GbkText& to, bool replace) {
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (replace) flags |= MOVEFILE_REPLACE_EXISTING;
    return MoveFileExW(widePath(from).c_str(), widePath(to).c_str(), flags) != 0;
}

bool remove(const GbkText& path) { return DeleteFileW(widePath(path).c_str()) != 0; }

bool exists(const GbkText& path) {
    const DWORD attributes = GetFileAttributesW(widePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFolder(const GbkText& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(widePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool canWriteIn(const GbkText& folder) {
    const std::wstring probe =
        widePath(join(folder, "cantorel-write-test.tmp" + std::to_string(GetCurrentProcessId())));
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

GbkText programFolder() {
    wchar_t exe[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH * 4);
    if (n == 0) return ".";
    std::wstring path(exe, n);
    const size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) path.resize(slash);
    return pathText(path);
}

GbkText join(const GbkText& folder, const GbkText& name) {
    if (folder.empty()) return name;
    if (gbk::endsWithSeparator(folder)) return folder + name;
    return folder + "\\" + name;
}

std::vector<GbkText> listFiles(const GbkText& folder, const GbkText& suffix) {
    std::vector<GbkText> names;
    // The pattern only narrows the search: Windows also matches it against 8.3 short names and
    // lets "*.lrc" find "song.lrcx", so every name is checked against the suffix itself.
    const std::wstring where = widePath(folder.empty() ? GbkText(".") : folder);
    const std::wstring pattern = where + L"\\*" + widePath(suffix);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        GbkText name = win32::nameText(folder, found.cFileName);
        if (gbk::endsWithIgnoringCase(name, suffix)) names.push_back(std::move(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace files
