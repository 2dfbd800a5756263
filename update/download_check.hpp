#pragma once
// What decides whether an update may go ahead: the information page before the download, the
// downloaded bytes after it. Every refusal comes with the text the update window shows.

#include <optional>
#include <string>
#include <vector>

#include "platform/web_fetch.hpp"
#include "update/update_pages.hpp"

/// An information page that passed, or why it did not.
struct InfoVerdict {
    std::optional<UpdateInfo> info;  // set when the download may start
    GbkText reason;                  // "更新失败：..." otherwise
};

/// What an information page is judged against.
struct UpdateTrust {
    std::vector<std::string> keys;  // P-256 points the page may be signed with (updateKeys)
    GbkText runningVersion;         // the running program's version
    /// The signature check (the platform's; a test may pass its own).
    bool (*verify)(std::string_view point, std::string_view message, std::string_view signature);
};

/// The information page as fetched: it must have arrived whole and be signed with one of the
/// trusted keys, before anything it says counts; then name an https address (http only to a
/// loopback host), a safe program name, a SHA-256 and a version newer than the running one.
InfoVerdict checkUpdateInfo(const FetchOutcome& page, const UpdateTrust& trust);

/// Why the downloaded program is refused ("更新失败：..."), or nullopt when it is the one the
/// page announced: complete, with a 2xx status, and with the expected SHA-256. `actualSha256` is
/// the digest of the bytes written (nullopt when it could not be taken).
std::optional<GbkText> refuseDownload(const FetchOutcome& download,
                                      const std::string& expectedSha256,
                                      const std::optional<std::string>& actualSha256);

/// The text shown when the user closed the window during the update.
GbkText cancelledReason();

/// The text shown when the new program could not be put in place.
GbkText saveFailedReason();

/// The text shown when putting the old program back failed too: it says where it is now.
GbkText undoFailedReason(const GbkText& whereNow);

/// The text shown when the new program was in place but did not start.
GbkText startFailedReason();
