#pragma once
// Putting a verified new program in place so that a crash at any moment leaves a program to
// start: the download is written under a name of its own, an existing program of the target's
// name steps aside as "<name>.old", the download takes the name, and every rename is on the disk
// before the next step. What a crash left half done is put right at the next start.

#include <optional>

#include "text/gbk_text.hpp"

/// The end of the name of a download in progress ("<program>.<16 hex digits>.download").
inline constexpr const char* kDownloadSuffix = ".download";

struct InstallResult {
    bool ok = false;
    bool movedAside = false;  // an earlier file of the target's name is now "<target>.old"
    bool undoFailed = false;  // ...and could not be put back: `reason` says where it is
    GbkText reason;           // "更新失败：..." when not ok
};

/// Moves an existing `target` to "<target>.old" (replacing an older one) and the complete
/// `download` to `target`. On failure the download is deleted and the earlier program put back;
/// when that fails too, the reason says where it is.
InstallResult putInPlace(const GbkText& download, const GbkText& target);

/// Puts back what putInPlace moved aside after the new program failed to start; the reason
/// when that failed (it says where the earlier program is), nullopt otherwise.
std::optional<GbkText> undoInstall(const GbkText& target, bool movedAside);

/// True for the name of a download that never finished: "<name>.exe.<16 hex>.download".
bool isLeftoverDownload(std::string_view fileName);

/// What an update interrupted by a crash left in `folder`: "<name>.exe.old" with no
/// "<name>.exe" beside it is put back, and leftover downloads are deleted. Beside its program,
/// only the running program's own earlier copy ("<runningName>.old", the one that stepped
/// aside) is removed: any other ".old" may be a program an update kept aside, and stays.
/// Returns how many files it touched.
int repairInterruptedUpdate(const GbkText& folder, const GbkText& runningName);
