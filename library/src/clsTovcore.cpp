// The members of clsTovcore: each forwards to the library routine of the same name.
#include <tovcore/clsTovcore.h>

#include "library/src/LibraryState.h"
#include "library/src/modGeneral.h"
#include "library/src/modIni.h"
#include "library/src/modInit.h"
#include "library/src/modLog.h"
#include "library/src/modScreen.h"
#include "library/src/modSpecialFolders.h"

namespace tovcore {

using namespace detail;

clsTovcore::clsTovcore() { State().savedControls.snapshots.clear(); }
clsTovcore::~clsTovcore() = default;

clsTovcore& Global() {
    thread_local clsTovcore instance;
    return instance;
}

std::string clsTovcore::InitializeDll(const AppObject& AppData, std::int16_t AppVerType) {
    return detail::InitializeDll(AppData, AppVerType);
}
std::string clsTovcore::StartTime() { return detail::StartTime(); }
std::string clsTovcore::StopTime() { return detail::StopTime(); }
std::string clsTovcore::GetElapsedTime(const std::string& sStartTime, const std::string& sStopTime) {
    return detail::GetElapsedTime(sStartTime, sStopTime);
}
std::string clsTovcore::ConvertSecondsToHHMMSS(std::int32_t lSeconds) { return detail::ConvertSecondsToHHMMSS(lSeconds); }
void clsTovcore::WaitSeconds(std::int32_t lSeconds) { detail::WaitSeconds(lSeconds); }
void clsTovcore::WaitRandomTime() { detail::WaitRandomTime(); }
bool clsTovcore::IsAscii(std::uint8_t bchar) { return detail::IsAscii(bchar); }
std::string clsTovcore::FixPath(const std::string& Fldr) { return detail::FixPath(Fldr); }

bool clsTovcore::WriteIniSection(const std::string& Section, const std::string& iniStr, const std::string& IniFile) {
    return detail::WriteIniSection(Section, iniStr, IniFile);
}
bool clsTovcore::GetIniSection(const std::string& Section, std::string& iniStr, const std::string& IniFile) {
    return detail::GetIniSection(Section, iniStr, IniFile);
}
bool clsTovcore::WriteIniString(const std::string& Section, const std::string& iniKey, const std::string& iniStr,
                                const std::string& IniFile) {
    return detail::WriteIniString(Section, iniKey, iniStr, IniFile);
}
std::string clsTovcore::GetIniString(const std::string& Section, const std::string& iniKey, const std::string& iniStr,
                                     const std::string& IniFile) {
    return detail::GetIniString(Section, iniKey, iniStr, IniFile);
}

bool clsTovcore::FileExists(const std::string& Filename) { return detail::FileExists(Filename); }
std::string clsTovcore::GetVersion() { return detail::GetVersion(); }

std::string clsTovcore::InitLog(const std::string& LogFile) { return detail::InitLog(LogFile); }
void clsTovcore::HoldLogsOpen(bool hold) { detail::HoldLogsOpen(hold); }

void clsTovcore::WriteLog(const std::string& Msg) {
    if (State().logs.run.on) detail::WriteLog(Msg);
}
std::string clsTovcore::InitDebugLog(const std::string& DebugFile) { return detail::InitDebugLog(DebugFile); }
void clsTovcore::WriteDebugLog(const std::string& Msg) {
    if (State().logs.debug.on) detail::WriteDebugLog(Msg);
}
std::string clsTovcore::InitErrorLog(const std::string& ErrorFile) { return detail::InitErrorLog(ErrorFile); }
void clsTovcore::WriteErrorLog(const std::string& Msg) {
    if (State().logs.error.on) detail::WriteErrorLog(Msg);
}
void clsTovcore::WriteAppErrorLog(const std::string& Msg) {
    if (State().logs.appError.on) detail::WriteAppErrorLog(Msg);
}

void clsTovcore::VersionType(std::int16_t Vtype) { State().client.versionType = Vtype; }
std::int16_t clsTovcore::VersionType() { return State().client.versionType; }
std::string clsTovcore::VersionTypeString() { return State().client.versionTypeString; }

void clsTovcore::CenterObject(QObject* obj) { detail::CenterObject(obj); }
void clsTovcore::CenterInControl(QObject* obj, QObject* ctl) { detail::CenterInControl(obj, ctl); }
void clsTovcore::CenterInForm(QObject* obj, QObject* frm) { detail::CenterInForm(obj, frm); }

std::string clsTovcore::GetShortName(std::string stLongPath) { return detail::GetShortName(stLongPath); }
std::string clsTovcore::GetLongName(std::string sFileName) { return detail::GetLongName(sFileName); }
void clsTovcore::GetSection(const std::string& Section, const std::string& Filename,
                            std::vector<std::string>& SectionLines) {
    detail::GetSection(Section, Filename, SectionLines);
}
void clsTovcore::GetDisplayVerInfo(clsVersionInfo& V) { detail::GetDisplayVerInfo(V); }
std::int32_t clsTovcore::GetUNCPath(std::string strDriveLetter, std::string& strUNCPath) {
    return detail::GetUNCPath(strDriveLetter, strUNCPath);
}
std::string clsTovcore::GetAbsolutePath(const std::string& RelPathName) { return detail::GetAbsolutePath(RelPathName); }
void clsTovcore::ShellAndWait(std::string program_name, std::int32_t window_style) {
    detail::ShellAndWait(program_name, window_style);
}
std::string clsTovcore::FindFilesAPI(const std::string& Path, const std::string& SearchStr) {
    return detail::FindFilesAPI(Path, SearchStr);
}
std::int16_t clsTovcore::DoesExist(const std::string& Path) { return detail::DoesExist(Path); }
bool clsTovcore::CheckScreenSize(std::int16_t iWidth, std::int16_t iHeight) {
    return detail::CheckScreenSize(iWidth, iHeight);
}
bool clsTovcore::CheckIfResolutionChanged() { return detail::CheckIfResolutionChanged(); }
void clsTovcore::HourGlassOff(QObject* MDI) { detail::HourGlassOff(MDI); }
void clsTovcore::HourGlassOn(QObject* MDI) { detail::HourGlassOn(MDI); }

FileDateTimeInfo clsTovcore::GetFileDateTime(std::string sFileName) { return detail::GetFileDateTime(sFileName); }
void clsTovcore::SetFileDateTime(std::string sFileName, const FileDateTimeInfo& FileInfo) {
    detail::SetFileDateTime(sFileName, FileInfo);
}
std::vector<std::string> clsTovcore::GetNetworkDrives() { return detail::GetNetworkDrives(); }

void clsTovcore::InitTraceLog(const AppObject& ApplInf) { detail::InitTraceLog(ApplInf); }
void clsTovcore::WriteTraceLog(const std::string& RtnName, std::int16_t MsgType) {
    if (State().trace.on) detail::WriteTraceLog(RtnName, MsgType);
}

void clsTovcore::AppCancel(bool CancelFlag) { State().cancel = CancelFlag; }
bool clsTovcore::AppCancel() { return State().cancel; }

std::string clsTovcore::GetOSVersion() { return detail::GetOSVersion(); }
void clsTovcore::CreateFolders(const std::string& PathName) { detail::CreateFolders(PathName); }
bool clsTovcore::IsAdmin() { return detail::IsAdmin(); }
clsSpecialFolders clsTovcore::GetSpecialFolders() { return detail::GetSpecialFolders(); }
std::string clsTovcore::StripTerminator(const std::string& Buffer) { return detail::StripTerminator(Buffer); }

}  // namespace tovcore
