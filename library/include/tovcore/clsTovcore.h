// clsTovcore: the library's main class. It holds no data of its own: every member forwards to the
// library routine of the same name, and all state lives in one per-thread LibraryState shared by
// every instance on the thread. Global() gives the thread's default instance, so callers can write
// the members like free functions: tovcore::Global().GetIniString(...).
//
// Members are declared in the order of the class's member table. No member throws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <tovcore/AppObject.h>
#include <tovcore/Types.h>
#include <tovcore/clsSpecialFolders.h>
#include <tovcore/clsVersionInfo.h>

class QObject;

namespace tovcore {

class clsTovcore {
public:
    // Creating an instance gives the thread a new, empty saved-control collection.
    clsTovcore();
    ~clsTovcore();
    clsTovcore(const clsTovcore&) = delete;
    clsTovcore& operator=(const clsTovcore&) = delete;

    // 1. One-time set-up of the library for the calling program; returns the settings file path.
    std::string InitializeDll(const AppObject& AppData, std::int16_t AppVerType);
    // 2-9. Times, waits, characters and folders.
    std::string StartTime();
    std::string StopTime();
    std::string GetElapsedTime(const std::string& sStartTime, const std::string& sStopTime);
    std::string ConvertSecondsToHHMMSS(std::int32_t lSeconds);
    void WaitSeconds(std::int32_t lSeconds);
    void WaitRandomTime();
    bool IsAscii(std::uint8_t bchar);
    std::string FixPath(const std::string& Fldr);
    // 10-13. Settings files.
    bool WriteIniSection(const std::string& Section, const std::string& iniStr, const std::string& IniFile);
    bool GetIniSection(const std::string& Section, std::string& iniStr, const std::string& IniFile);
    bool WriteIniString(const std::string& Section, const std::string& iniKey, const std::string& iniStr,
                        const std::string& IniFile);
    std::string GetIniString(const std::string& Section, const std::string& iniKey, const std::string& iniStr,
                             const std::string& IniFile);
    // 14-15. InitXPStyles, CreateManifestFile: with the window routines.
    // 16-17.
    bool FileExists(const std::string& Filename);
    std::string GetVersion();
    // 18-24. Run, debug and error logs.
    std::string InitLog(const std::string& LogFile = "");
    void WriteLog(const std::string& Msg);
    std::string InitDebugLog(const std::string& DebugFile = "");
    void WriteDebugLog(const std::string& Msg);
    std::string InitErrorLog(const std::string& ErrorFile = "");
    void WriteErrorLog(const std::string& Msg);
    void WriteAppErrorLog(const std::string& Msg);
    // 25-27. Edition.
    void VersionType(std::int16_t Vtype);
    std::int16_t VersionType();
    std::string VersionTypeString();
    // 28-31. EnableAllControls, DisableAllControls, RestoreSavedControls, DisableSaveControls: with
    // the window routines.
    // 32-34. Centring window objects (measures in twips).
    void CenterObject(QObject* obj);
    void CenterInControl(QObject* obj, QObject* ctl);
    void CenterInForm(QObject* obj, QObject* frm);
    // 35-47. Paths, searches, processes, screen and mouse pointer.
    std::string GetShortName(std::string stLongPath);
    std::string GetLongName(std::string sFileName);
    void GetSection(const std::string& Section, const std::string& Filename, std::vector<std::string>& SectionLines);
    void GetDisplayVerInfo(clsVersionInfo& V);
    std::int32_t GetUNCPath(std::string strDriveLetter, std::string& strUNCPath);
    std::string GetAbsolutePath(const std::string& RelPathName);
    void ShellAndWait(std::string program_name, std::int32_t window_style);
    std::string FindFilesAPI(const std::string& Path, const std::string& SearchStr);
    std::int16_t DoesExist(const std::string& Path);
    bool CheckScreenSize(std::int16_t iWidth, std::int16_t iHeight);
    bool CheckIfResolutionChanged();
    void HourGlassOff(QObject* MDI = nullptr);
    void HourGlassOn(QObject* MDI = nullptr);
    // 48-57. RegQueryStringValue, GetString, CreateNewKey, SetKeyValue, SetValueEx, KeyExists,
    // GetValue, DeleteKey, DeleteValue, GetRegistryInfo: with the registry routines.
    // 58-60. File times and network drives.
    FileDateTimeInfo GetFileDateTime(std::string sFileName);
    void SetFileDateTime(std::string sFileName, const FileDateTimeInfo& FileInfo);
    std::vector<std::string> GetNetworkDrives();
    // 61-62. Trace log.
    void InitTraceLog(const AppObject& ApplInf);
    void WriteTraceLog(const std::string& RtnName, std::int16_t MsgType);
    // 63-64. Cancel flag of the long searches.
    void AppCancel(bool CancelFlag);
    bool AppCancel();
    // 65-69. System information and folders.
    std::string GetOSVersion();
    void CreateFolders(const std::string& PathName);
    bool IsAdmin();
    clsSpecialFolders GetSpecialFolders();
    std::string StripTerminator(const std::string& Buffer);
    // 70-78. SkinIt, ShowButtonTabColor, ShowButtonTabTextColor, ShowFormColor, ShowDisplayColor,
    // SetListViewBackColor, SetTreeViewBackColor, MyMsgBox, BrowseFolder: with the window routines.
};

// The thread's default instance, made on first use and kept until the thread ends.
clsTovcore& Global();

}  // namespace tovcore
