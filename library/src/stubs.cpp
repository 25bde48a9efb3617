// Temporary bodies until the routines are written.
#include "library/src/modGeneral.h"
#include "library/src/modIni.h"
#include "library/src/modInit.h"
#include "library/src/modLog.h"
#include "library/src/modScreen.h"
#include "library/src/modSpecialFolders.h"
#include <tovcore/clsFileAccess.h>

namespace tovcore::detail {
bool LoadIniFile(const std::string&) { return false; }
std::vector<std::string> ReadIniLines(const std::string&) { return {}; }
bool FindIniSection(IniLookup&, const std::string&, bool) { return false; }
void FindIniKey(IniLookup&, const std::string&) {}
std::string GetIniValue(IniLookup&, const std::string&, const std::string&, const std::string&, const std::string&, bool) { return {}; }
void SaveIniFile(IniLookup&, const std::string&) {}
bool WriteIniSection(const std::string&, const std::string&, const std::string&) { return false; }
bool GetIniSection(const std::string&, std::string&, const std::string&) { return false; }
bool WriteIniString(const std::string&, const std::string&, const std::string&, const std::string&) { return false; }
std::string GetIniString(const std::string&, const std::string&, const std::string& d, const std::string&) { return d; }
void GetSection(const std::string&, const std::string&, std::vector<std::string>&) {}
std::string InitializeDll(const AppObject&, std::int16_t) { return {}; }
std::string GetVersion() { return {}; }
std::string InitLog(const std::string&) { return {}; }
std::string InitDebugLog(const std::string&) { return {}; }
std::string InitErrorLog(const std::string&) { return {}; }
void WriteLog(const std::string&) {}
void WriteDebugLog(const std::string&) {}
void WriteErrorLog(const std::string&) {}
void WriteAppErrorLog(const std::string&) {}
void InitTraceLog(const AppObject&) {}
void WriteTraceLog(const std::string&, std::int16_t) {}
std::string FormatDateTime(std::chrono::system_clock::time_point) { return {}; }
std::string NowText() { return {}; }
bool ParseDateTime(std::string_view, std::chrono::system_clock::time_point&) { return false; }
std::string StartTime() { return {}; }
std::string StopTime() { return {}; }
std::string GetElapsedTime(const std::string&, const std::string&) { return {}; }
std::string ConvertSecondsToHHMMSS(std::int32_t) { return {}; }
void WaitSeconds(std::int32_t) {}
void WaitRandomTime() {}
bool IsAscii(std::uint8_t) { return false; }
std::string FixPath(const std::string& f) { return f; }
std::string GetParentPath(const std::string&) { return {}; }
std::string StripNulls(const std::string& t) { return t; }
bool WildcardMatch(std::string_view, std::string_view) { return false; }
bool HasWildcards(std::string_view) { return false; }
bool FileExists(const std::string&) { return false; }
std::string GetShortName(const std::string&) { return {}; }
std::string GetLongName(const std::string&) { return {}; }
std::string GetAbsolutePath(const std::string&) { return {}; }
std::int32_t GetUNCPath(const std::string&, std::string&) { return 50; }
std::vector<std::string> GetNetworkDrives() { return {}; }
void GetDisplayVerInfo(clsVersionInfo&) {}
std::string FindFilesAPI(const std::string&, const std::string&) { return {}; }
std::int16_t DoesExist(const std::string&) { return 0; }
void ShellAndWait(const std::string&, std::int32_t) {}
std::vector<std::string> SplitCommandLine(std::string_view) { return {}; }
FileDateTimeInfo GetFileDateTime(const std::string&) { return {}; }
void SetFileDateTime(const std::string&, const FileDateTimeInfo&) {}
void DoEvents() {}
void DoEventsThrottled() {}
bool CheckScreenSize(std::int16_t, std::int16_t) { return true; }
bool CheckIfResolutionChanged() { return false; }
void HourGlassOn(QObject*) {}
void HourGlassOff(QObject*) {}
void CenterObject(QObject*) {}
void CenterInControl(QObject*, QObject*) {}
void CenterInForm(QObject*, QObject*) {}
std::int32_t ShowLibraryMessage(const std::string&, std::int32_t, const std::string&) { return 1; }
void SetDefaultMessageHandler(MessageHandler) {}
clsSpecialFolders GetSpecialFolders() { return {}; }
std::string GetOSVersion() { return {}; }
void GetOSInfo(OSInfoRecord&) {}
bool IsAdmin() { return false; }
void CreateFolders(const std::string&) {}
std::string StripTerminator(const std::string& b) { return b; }
std::string HomeFolder() { return "/"; }
}  // namespace tovcore::detail

namespace tovcore {
clsFileAccess::~clsFileAccess() {}
std::int16_t clsFileAccess::OpenFile(std::string) { return -1; }
std::int16_t clsFileAccess::OpenFileReadOnly(std::string) { return -1; }
void clsFileAccess::CloseFile() {}
double clsFileAccess::FileSize() { return 0; }
std::vector<std::uint8_t> clsFileAccess::ReadBytes(std::int32_t) { return {}; }
void clsFileAccess::WriteBytes(const std::vector<std::uint8_t>&) {}
void clsFileAccess::Flush() {}
void clsFileAccess::SeekAbsolute(std::int32_t, std::int32_t) {}
void clsFileAccess::SeekRelative(std::int32_t) {}
std::int32_t clsFileAccess::ChangeFileTime(const FileDateTimeInfo&) { return 0; }
std::int32_t clsFileAccess::ReturnFileTime(FileDateTimeInfo&) { return 0; }
void clsFileAccess::LogFileError(std::int32_t, const std::string&, int) {}
void clsFileAccess::CheckOpen() {}
}  // namespace tovcore
