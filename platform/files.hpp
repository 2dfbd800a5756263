#pragma once
// Files, picked at build time (posix or win32). Paths are GbkText as the
// user sees them; each platform converts them at the edge.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/gbk_text.hpp"

namespace files {

/// The whole file, or nullopt when it is missing or could not be read to its end.
std::optional<std::string> readAll(const GbkText& path);

/// Writes `bytes` to a temporary file in the same folder and renames it over `path`, so a
/// failed save leaves the previous file intact and no temporary file behind. A read-only target
/// is not replaced. Returns false on any failure.
bool writeAtomically(const GbkText& path, std::string_view bytes);

/// writeAtomically, unless the file already holds exactly `bytes`: then nothing is written, so a
/// save that changes nothing keeps the file's time stamp and cannot fail. True when the file
/// holds `bytes` afterwards.
inline bool writeIfChanged(const GbkText& path, std::string_view bytes) {
    const std::optional<std::string> current = readAll(path);
    return (current && *current == bytes) || writeAtomically(path, bytes);
}

/// Deletes what saves of `path` that never finished (the process was killed or the machine
/// lost power) left in its folder: files named like `path` plus ".tmp" and digits, which is the
/// temporary name `writeAtomically` uses. Other files stay. Returns how many it deleted.
int removeLeftoverTemporaries(const GbkText& path);

/// A file this process created and alone writes to.
class NewFile {
  public:
    virtual ~NewFile() = default;  // closes the file if close was not called
    /// Appends `bytes`; false on any failure.
    virtual bool write(std::string_view bytes) = 0;
    /// Puts what was written on the disk and closes the file; false on any failure.
    virtual bool close() = 0;
};

/// Creates a file that did not exist before, in `folder`, named `prefix` + 16 random hexadecimal
/// digits + `suffix`: nobody can guess the name in advance, and no existing file (nor a link
/// planted under that name) is ever opened. Sets `path`; nullptr on failure.
std::unique_ptr<NewFile> createUnique(const GbkText& folder, const GbkText& prefix,
                                      const GbkText& suffix, GbkText& path);

/// Renames a file, the new name on the disk before it returns. `replace` lets it replace an
/// existing `to`; without it an existing `to` makes it fail. False on any failure.
bool rename(const GbkText& from, const GbkText& to, bool replace);

/// Deletes a file; false when it was missing or could not be deleted.
bool remove(const GbkText& path);

/// True when a regular file exists at `path`.
bool exists(const GbkText& path);

/// True when a folder exists at `path`.
bool isFolder(const GbkText& path);

/// True when a new file can be made in `folder` (tried with a file that goes again at once).
bool canWriteIn(const GbkText& folder);

/// Folder of the running executable, without a trailing separator.
GbkText programFolder();

/// `folder` + separator + `name`, with the platform's separator.
GbkText join(const GbkText& folder, const GbkText& name);

/// Names (without folder) of the regular files in `folder` whose name ends in `suffix`
/// (compared case-insensitively for ASCII), sorted by name.
std::vector<GbkText> listFiles(const GbkText& folder, const GbkText& suffix);

}  // namespace files
