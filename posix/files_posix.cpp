// Files on Linux: paths arrive as GBK and are UTF-8 on disk.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/files.hpp"
#include "text/codepage.hpp"

namespace files {
namespace {

std::string native(const GbkText& path) { return codepage::gbkToUtf8(path); }

// True when `name` is `base` + ".tmp" + one or more digits: the name writeAtomically gives the
// temporary file of `base`.
bool isTemporaryOf(std::string_view name, std::string_view base) {
    const std::string prefix = std::string(base) + ".tmp";
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return false;
    const std::string_view digits = name.substr(prefix.size());
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<std::string> readAll(const GbkText& path) {
    // A folder opens like a file here but cannot be read: only regular files count.
    const int fd = ::open(native(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        bytes.emplace();
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) bytes.reset();
            if (got <= 0) break;
            bytes->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return bytes;
}

bool writeAtomically(const GbkText& path, std::string_view bytes) {
    const std::string target = native(path);
    // A rename would replace a file the user made read-only; Windows refuses that, and so do
    // we, so a write-protected settings file stays as it is on both.
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    std::random_device random;
    const std::string temp = target + ".tmp" + std::to_string(random() % 1000000);
    // O_EXCL: a file that happens to carry the temporary name is someone else's, not ours to
    // truncate or to delete.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) return false;
    FILE* out = ::fdopen(fd, "wb");
    if (!out) {
        ::close(fd);
        std::remove(temp.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool flushed = std::fflush(out) == 0 && fsync(fileno(out)) == 0;
    const bool closed = std::fclose(out) == 0;
    if (!written || !flushed || !closed || std::rename(temp.c_str(), target.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

int removeLeftoverTemporaries(const GbkText& path) {
    const std::string target = native(path);
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "./" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(dir)) {
        if (isTemporaryOf(entry->d_name, base)) leftovers.push_back(entry->d_name);
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& name : leftovers) {
        const std::string full = folder + name;
        struct stat info {};
        if (::lstat(full.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            std::remove(full.c_str()) == 0)
            ++removed;
    }
    return removed;
}

namespace {

class PosixNewFile : public NewFile {
  public:
    explicit PosixNewFile(int fd) : fd_(fd) {}
    ~PosixNewFile() override {
        if (fd_ >= 0) ::close(fd_);
    }
    bool write(std::string_view bytes) override {
        while (fd_ >= 0 && !bytes.empty()) {
            const ssize_t wrote = ::write(fd_, bytes.data(), bytes.size());
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(wrote));
        }
        return fd_ >= 0;
    }
    bool close() override {
        if (fd_ < 0) return false;
        const bool synced = ::fsync(fd_) == 0;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return synced && closed;
    }

  private:
    int fd_;
};

// The folder's own entry on the disk too, so a rename survives a power loss.
void syncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::unique_ptr<NewFile> createUnique(const GbkText& folder, const GbkText& prefix,
                                      const GbkText& suffix, GbkText& path) {
    std::random_device random;
    for (int attempt = 0; attempt < 8; ++attempt) {
        char digits[17];
        std::snprintf(digits, sizeof digits, "%08x%08x", random(), random());
        const GbkText candidate = join(folder, prefix + digits + suffix);
        // O_EXCL with O_CREAT also refuses a symbolic link of that name.
        const int fd =
            ::open(native(candidate).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0755);
        if (fd >= 0) {
            path = candidate;
            return std::make_unique<PosixNewFile>(fd);
        }
        if (errno != EEXIST) break;
    }
    return nullptr;
}

bool rename(const GbkText& from, const GbkText& to, bool replace) {
    const std::string source = native(from);
    const std::string target = native(to);
    const bool moved = replace ? std::rename(source.c_str(), target.c_str()) == 0
                               : ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(),
                                             RENAME_NOREPLACE) == 0;
    if (moved) syncFolderOf(target);
    return moved;
}

bool remove(const GbkText& path) { return std::remove(native(path).c_str()) == 0; }

bool exists(const GbkText& path) {
    struct stat info {};
    return ::stat(native(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isFolder(const GbkText& path) {
    struct stat info {};
    return !path.empty() && ::stat(native(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool canWriteIn(const GbkText& folder) {
    const std::string probe =
        native(join(folder, ".cantorel-write-test" + std::to_string(::getpid())));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

GbkText programFolder() {
    std::string exe(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    if (n <= 0) return ".";
    exe.resize(static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    return codepage::utf8ToGbk(slash == 0 ? "/" : exe.substr(0, slash));
}

GbkText join(const GbkText& folder, const GbkText& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::vector<GbkText> listFiles(const GbkText& folder, const GbkText& suffix) {
    std::vector<GbkText> names;
    const std::string nativeFolder = native(folder.empty() ? GbkText(".") : folder);
    DIR* dir = ::opendir(nativeFolder.c_str());
    if (!dir) return names;
    const std::string nativeSuffix = native(suffix);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!gbk::endsWithIgnoringCase(name, nativeSuffix)) continue;
        struct stat info {};
        if (::stat((nativeFolder + "/" + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        names.push_back(codepage::utf8ToGbk(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace files
