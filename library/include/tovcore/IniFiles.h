// What the INI engine makes of a file before it reads or writes it, for the programs that must
// tell their user why a settings, project or language file is not used.
//
// The engine reads a file of at most kIniFileSizeLimit bytes. Anything larger is not one of the
// small configuration files the engine serves (those are a few kilobytes): the engine neither reads
// nor writes it, so it costs no time and memory and is left exactly as it is. A file that may not
// be written (read-only, or reached through a link to a read-only file), or that lies in a folder
// where no new file may be made (every rewrite writes a temporary file beside it), is read but
// never written; one that cannot be read as text (a folder, a device, permission denied, UTF-16
// text) is neither read nor written. A write that does not happen returns false and is said in the
// library's error log.
#pragma once

#include <tovcore/Export.h>

#include <cstdint>
#include <string>

namespace tovcore {

inline constexpr std::uint64_t kIniFileSizeLimit = 4u * 1024u * 1024u;

enum class IniFileState {
    Missing,         // nothing at the path: reads give their defaults, a write creates the file
    Usable,          // read and written
    ReadOnly,        // read; every write is dropped
    FolderReadOnly,  // read (when there); every write is dropped: no file may be made in its folder
    TooLarge,        // larger than kIniFileSizeLimit: neither read nor written
    Unreadable,      // not a regular file, not readable, or not 8-bit text: neither read nor written
};

TOVCORE_EXPORT IniFileState CheckIniFile(const std::string& IniFile);

// A short text for the user: "is larger than 4 MB", "is read-only", ... ("" for Missing and Usable).
TOVCORE_EXPORT std::string IniFileStateText(IniFileState state);

}  // namespace tovcore
