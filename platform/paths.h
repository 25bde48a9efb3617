// The one resolver that turns a path as a Visual Basic file lists it ("Modules\a.bas",
// "..\Common\x.bas", "Sub\App.vbp") into a native path. The Windows file system ignores letter
// case, so each component is matched against the disk without regard to case; the listed text
// itself is kept by the callers for keys, tree texts and reports.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ResolvedPath {
    std::string path;     // native path: the names found on disk, the listed rest where not found
    bool exists = false;  // the whole path exists on disk
};

// `base` is a native folder ending in "/" (it may be ""); `listed` is the listed name, any
// separators, any case. "." and ".." are taken lexically, as Windows does. A listed name that is
// absolute in Windows form (a drive letter, a UNC name or a leading separator) is not joined to
// `base`: it exists only when it exists exactly as given.
ResolvedPath ResolveListedPath(std::string_view base, std::string_view listed);

// "\" to "/".
std::string ToNativeSeparators(std::string_view listed);

// Drive letter ("C:..."), UNC name ("\\server\...") or a leading separator.
bool IsAbsoluteListedPath(std::string_view listed);

// The components of a native path between its "/" separators, empty ones left out.
std::vector<std::string> SplitComponents(std::string_view path);

// Lexical clean-up of a native path: repeated separators, "." and ".." removed where they can be.
std::string NormalizePath(std::string_view path);

// Name of an entry of `folder` that equals `name` without regard to case (an exact match first;
// otherwise the first of the sorted matches). Empty when there is none. `name` may be
// Windows-1252 bytes or UTF-8; disk names are compared in both readings.
std::string FindEntryIgnoringCase(const std::string& folder, std::string_view name);

// The absolute, normalised form of a native path however it was typed ("App.vbp", "./x/../App.vbp",
// "/p//App.vbp"): relative to the working folder, its folder resolved on disk (symbolic links and
// "..", as the system reads them) where that folder exists, lexically otherwise; the last name as
// given.
std::string AbsolutePath(std::string_view path);

// The first folder on the way to `path` that exists but may not be entered (permission denied), as
// a native path ending in "/"; "" when there is none. Tells a file that cannot be reached from one
// that is missing.
std::string FolderNotEntered(const std::string& path);

// The path holds a name longer than the system allows for one entry (255 bytes), or is longer as
// a whole than it allows for a path (4,095 bytes): nothing can stand at it.
bool NameTooLong(std::string_view path);
// "255 bytes for one name, 4,095 for a whole path": the limits, for messages.
std::string NameLimitsText();

// A folder without the "/" at its end ("/" itself stays).
std::string WithoutSlash(const std::string& folder);

// Both paths lead to one file or folder on disk (links followed): false when either is missing.
bool SameEntry(const std::string& a, const std::string& b);

bool IsRegularFile(const std::string& path);
bool IsDirectory(const std::string& path);

}  // namespace platform
