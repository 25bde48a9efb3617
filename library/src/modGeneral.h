// General file, path, process and date routines (standard library only).
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <tovcore/Types.h>
#include <tovcore/clsVersionInfo.h>

namespace tovcore::detail {

// ---- date and time ---------------------------------------------------------------------------
// Date and time as the library writes it everywhere: "YYYY-MM-DD hh:mm:ss", local time.
std::string FormatDateTime(std::chrono::system_clock::time_point t);
// The thread clock's current time in that form.
std::string NowText();
// Reads that form back; false when the text is not a date and time.
bool ParseDateTime(std::string_view text, std::chrono::system_clock::time_point& t);

std::string StartTime();
std::string StopTime();
std::string GetElapsedTime(const std::string& sStartTime, const std::string& sStopTime);
std::string ConvertSecondsToHHMMSS(std::int32_t lSeconds);
void WaitSeconds(std::int32_t lSeconds);
void WaitRandomTime();

// ---- characters and paths --------------------------------------------------------------------
bool IsAscii(std::uint8_t bchar);
std::string FixPath(const std::string& Fldr);
std::string GetParentPath(const std::string& path);
std::string StripNulls(const std::string& text);
// Matches a name against a pattern with "*" and "?", without regard to letter case.
bool WildcardMatch(std::string_view pattern, std::string_view name);
bool HasWildcards(std::string_view name);

bool FileExists(const std::string& Filename);
std::string GetShortName(const std::string& stLongPath);
std::string GetLongName(const std::string& sFileName);
std::string GetAbsolutePath(const std::string& RelPathName);
std::int32_t GetUNCPath(const std::string& strDriveLetter, std::string& strUNCPath);
std::vector<std::string> GetNetworkDrives();
void GetDisplayVerInfo(clsVersionInfo& V);

// ---- searches --------------------------------------------------------------------------------
std::string FindFilesAPI(const std::string& Path, const std::string& SearchStr);
std::int16_t DoesExist(const std::string& Path);

// ---- processes and file times ----------------------------------------------------------------
void ShellAndWait(const std::string& program_name, std::int32_t window_style);
// Splits a command line into words: blanks separate, double quotes group.
std::vector<std::string> SplitCommandLine(std::string_view line);

FileDateTimeInfo GetFileDateTime(const std::string& sFileName);
void SetFileDateTime(const std::string& sFileName, const FileDateTimeInfo& FileInfo);

}  // namespace tovcore::detail
