#include "update/update_install.hpp"

#include "platform/files.hpp"
#include "text/gbk_text.hpp"
#include "update/download_check.hpp"

namespace {

constexpr std::string_view kOld = ".old";

GbkText oldOf(const GbkText& target) { return target + GbkText(kOld); }

}  // namespace

InstallResult putInPlace(const GbkText& download, const GbkText& target) {
    InstallResult result;
    const GbkText old = oldOf(target);
    // Windows lets a running program's file be renamed though not replaced: it steps aside and
    // the new one takes its name. Another program of that name is kept the same way.
    if (files::exists(target)) {
        if (!files::rename(target, old, true)) {
            files::remove(download);
            result.reason = saveFailedReason();
            return result;
        }
        result.movedAside = true;
    }
    if (!files::rename(download, target, false)) {
        files::remove(download);
        result.reason = saveFailedReason();
        if (result.movedAside && !files::rename(old, target, false)) {
            result.reason = undoFailedReason(old);
            result.undoFailed = true;
        }
        result.movedAside = false;
        return result;
    }
    result.ok = true;
    return result;
}

std::optional<GbkText> undoInstall(const GbkText& target, bool movedAside) {
    if (!movedAside) return std::nullopt;
    const GbkText old = oldOf(target);
    if (files::rename(old, target, true)) return std::nullopt;
    return undoFailedReason(old);
}

bool isLeftoverDownload(std::string_view name) {
    const std::string_view suffix = kDownloadSuffix;
    if (!gbk::endsWithIgnoringCase(name, suffix)) return false;
    name.remove_suffix(suffix.size());
    if (name.size() < 17 || name[name.size() - 17] != '.') return false;
    const std::string_view digits = name.substr(name.size() - 16);
    if (digits.find_first_not_of("0123456789abcdef") != std::string_view::npos) return false;
    name.remove_suffix(17);
    return name.size() > 4 && gbk::endsWithIgnoringCase(name, ".exe");
}

int repairInterruptedUpdate(const GbkText& folder, const GbkText& runningName) {
    int touched = 0;
    for (const GbkText& name : files::listFiles(folder, ".exe.old")) {
        const GbkText old = files::join(folder, name);
        const GbkText programName = name.substr(0, name.size() - kOld.size());
        const GbkText program = files::join(folder, programName);
        bool done = false;
        if (!files::exists(program)) {
            // A crash between the two renames left no program of that name: the old one returns.
            done = files::rename(old, program, false);
        } else if (gbk::equalsIgnoringCase(programName, runningName)) {
            // Our own earlier copy that stepped aside; its process has ended.
            done = files::remove(old);
        }
        if (done) ++touched;
    }
    for (const GbkText& name : files::listFiles(folder, kDownloadSuffix)) {
        if (isLeftoverDownload(name) && files::remove(files::join(folder, name))) ++touched;
    }
    return touched;
}
