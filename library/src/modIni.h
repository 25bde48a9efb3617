// The INI engine: every configuration file of the system is read and written here. No cache:
// each call reads the whole file into the thread's line array, works on it and, when it changes
// something, writes the whole file anew (atomically, through a symbolic link), with every line it
// did not change as it was. A read of a missing or empty key writes the caller's default into the
// file. Files beyond kIniFileSizeLimit (tovcore/IniFiles.h) are neither read nor written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tovcore::detail {

// One lookup of a section (and a key in it) in the thread's line array.
struct IniLookup {
    std::int32_t HeaderLine = 0;
    std::int32_t LastLine = 0;
    bool Found = false;
    std::string SectionText;  // what the writers put in place of the section's body (CR LF between lines)
    std::string KeyValue;
    std::int32_t KeyLine = 0;  // 0: no key line found
};

// File to line array (split at CR LF, LF and CR; each line decoded on its own). True when the
// array has a line.
bool LoadIniFile(const std::string& IniFile);
std::vector<std::string> ReadIniLines(const std::string& IniFile);
bool FindIniSection(IniLookup& rec, const std::string& Section, bool fallback);
void FindIniKey(IniLookup& rec, const std::string& Key);
std::string GetIniValue(IniLookup& rec, const std::string& Section, const std::string& Key,
                        const std::string& Default, const std::string& IniFile, bool fallback);
// False when the file was not written (said once in the error log).
bool SaveIniFile(IniLookup& rec, const std::string& IniFile);

// Whether the engine may replace the file at `target` (an existing file only when it may be
// written), whether new files may be made in `folder` (every rewrite makes its temporary file
// beside the file), both of them (MayReplace), and whether it may rewrite an INI file (its symbolic
// links followed). The super-user counts a file or folder without any write permission as
// read-only too.
bool MayReplaceFile(const std::string& target);
bool FolderTakesNewFiles(const std::string& folder);
bool MayReplace(const std::string& target);
bool MayRewriteIniFile(const std::string& IniFile);

// The writers' result: the section existed before the call and the file was written.
bool WriteIniSection(const std::string& Section, const std::string& iniStr, const std::string& IniFile);
bool GetIniSection(const std::string& Section, std::string& iniStr, const std::string& IniFile);
bool WriteIniString(const std::string& Section, const std::string& iniKey, const std::string& iniStr,
                    const std::string& IniFile);
std::string GetIniString(const std::string& Section, const std::string& iniKey, const std::string& iniStr,
                         const std::string& IniFile);
void GetSection(const std::string& Section, const std::string& Filename, std::vector<std::string>& SectionLines);

}  // namespace tovcore::detail
