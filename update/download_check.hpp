#pragma once
// What decides whether an update may go ahead: the information page before the download, the
// downloaded bytes after it. Every refusal comes with the text the update window shows.

#include <optional>
#include <string>

#include "platform/web_fetch.hpp"
#include "update/update_pages.hpp"

/// An information page that passed, or why it did not.
struct InfoVerdict {
    std::optional<UpdateInfo> info;  // set when the download may start
    GbkText reason;                  // "更新失败：..." otherwise
};

/// The information page as fetched: it must have arrived whole, name an address, a safe
/// program name and a SHA-256.
InfoVerdict checkUpdateInfo(const FetchOutcome& page);

/// Why the downloaded program is refused ("更新失败：..."), or nullopt when it is the one the
/// page announced: complete, with a 2xx status, and with the expected SHA-256. `digest` hashes
/// the body (the platform's SHA-256; a test may pass its own).
std::optional<GbkText> refuseDownload(const FetchOutcome& download,
                                      const std::string& expectedSha256,
                                      std::optional<std::string> (*digest)(std::string_view bytes));

/// The text shown when the user closed the window during the update.
GbkText cancelledReason();

/// The text shown when the new program could not be put in place.
GbkText saveFailedReason();

/// The text shown when the new program was in place but did not start.
GbkText startFailedReason();
