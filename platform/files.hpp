#pragma once
// Files, picked at build time (posix or win32). Paths are GbkText as the
// user sees them; each platform converts them at the edge.

#include <optional>
#include <string>
#include <vector>

#include "text/gbk_text.hpp"

namespace files {

/// The whole file, or nullopt when it is missing or could not be read to its end.
std::optional<std::string> readAll(const GbkText& path);

/// Writes `bytes` to a temporary file in the same folder and renames it over `path`, so a
/// failed save leaves the previous file intact and no temporary file behind. A read-only target
/// is not replaced. Returns false on any failure.
bool writeAtomically(const GbkText& path, std::string_view bytes);

/// Deletes what saves of `path` that never finished (the process was killed or the machine
/// lost power) left in its folder: files named like `path` plus ".tmp" and digits, which is the
/// temporary name `writeAtomically` uses. Other files stay. Returns how many it deleted.
int removeLeftoverTemporaries(const GbkText& path);

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
