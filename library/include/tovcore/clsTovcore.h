// clsTovcore: the library's main class. It holds no data of its own: every member forwards to the
// library routine of the same name, and all state lives in one per-thread LibraryState shared by
// every instance on the thread. Global() gives the thread's default instance, so callers can write
// the members like free functions: tovcore::Global().GetIniString(...).
//
// Members are declared in the order of the class's member table. No member throws.
#pragma once

#include <tovcore/Export.h>

#include <cstdint>
#include <string>
#include <vector>

#include <tovcore/AppObject.h>
#include <tovcore/Types.h>
#include <tovcore/clsSpecialFolders.h>
#include <tovcore/clsVersionInfo.h>

class QObject;

namespace tovcore {

class TOVCORE_EXPORT clsTovcore {
public:
    // Creating an instance gives the thread a new, empty saved-control collection.
    clsTovcore();
    ~clsTovcore();
    clsTovcore(const clsTovcore&) = delete;
    clsTovcore& operator=(const clsTovcore&) = delete;

    // One-time set-up of the library for the calling program; returns the settings file path.
    std::string InitializeDll(const AppObject& AppData, std::int16_t AppVerType);
    // Times, waits, characters and folders.
    std::string StartTime();
    std::string StopTime();
    std::string GetElapsedTime(const std::string& sStartTime, const std::string& sStopTime);
    std::string ConvertSecondsToHHMMSS(std::int32_t lSeconds);
    void WaitSeconds(std::int32_t lSeconds);
    void WaitRandomTime();
    bool IsAscii(std::uint8_t bchar);
    std::string FixPath(const std::string& Fldr);
    // Settings files. The writers return whether the section existed before the call and the
    // file was written: a write that cannot happen (a read-only file or folder, a file too large
    // or not text) returns false and is said once in the error log (see tovcore/IniFiles.h).
    bool WriteIniSection(const std::string& Section, const std::string& iniStr, const std::string& IniFile);
    bool GetIniSection(const std::string& Section, std::string& iniStr, const std::string& IniFile);
    bool WriteIniString(const std::string& Section, const std::string& iniKey, const std::string& iniStr,
                        const std::string& IniFile);
    std::string GetIniString(const std::string& Section, const std::string& iniKey, const std::string& iniStr,
                             const std::string& IniFile);
    // Manifest. InitXPStyles does nothing here (no manifest has a meaning on this system);
    // CreateManifestFile writes PathName & ExeName & ".exe.manifest" and returns its path, or ""
    // when it could not be written.
    void InitXPStyles(std::int16_t XMLStyle);
    std::string CreateManifestFile(const std::string& ExeName, const std::string& PathName, std::int16_t Id);
    // Files and the version text.
    bool FileExists(const std::string& Filename);
    std::string GetVersion();
    // Run, debug and error logs.
    std::string InitLog(const std::string& LogFile = "");
    void WriteLog(const std::string& Msg);
    std::string InitDebugLog(const std::string& DebugFile = "");
    void WriteDebugLog(const std::string& Msg);
    std::string InitErrorLog(const std::string& ErrorFile = "");
    void WriteErrorLog(const std::string& Msg);
    void WriteAppErrorLog(const std::string& Msg);
    // While a long command runs, its program can hold the three logs open: one open file each
    // (and the writers no longer serve the message loop; the command does); the run log's lines
    // are gathered and written in large pieces, the error and debug logs' lines written as they
    // come, so a crash loses none of them. HoldLogsOpen(false) writes everything held and lets the
    // files go. Holds nest.
    void HoldLogsOpen(bool hold);
    // Edition.
    void VersionType(std::int16_t Vtype);
    std::int16_t VersionType();
    std::string VersionTypeString();
    // Every control of a window enabled or disabled; DisableSaveControls first records each
    // control's state, RestoreSavedControls gives it back.
    void EnableAllControls(QObject* obj);
    void DisableAllControls(QObject* obj);
    void RestoreSavedControls(QObject* obj);
    void DisableSaveControls(QObject* obj);
    // Centring window objects (measures in twips).
    void CenterObject(QObject* obj);
    void CenterInControl(QObject* obj, QObject* ctl);
    void CenterInForm(QObject* obj, QObject* frm);
    // Paths, searches, processes, screen and mouse pointer.
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
    // The registry store. Creating keys and writing values need IsAdmin; so does every
    // change of a machine hive. No routine fails by an exception.
    Variant RegQueryStringValue(std::int32_t hKey, std::string strValueName);
    std::string GetString(std::int32_t hKey, const std::string& strPath, const std::string& strValue);
    bool CreateNewKey(std::int32_t lPredefinedKey, const std::string& sNewKeyName);
    void SetKeyValue(std::int32_t lPredefinedKey, const std::string& sKeyName, const std::string& sValueName,
                     const Variant& vValueSetting, std::int32_t lValueType);
    std::int32_t SetValueEx(std::int32_t hKey, const std::string& sValueName, std::int32_t lType, const Variant& vValue);
    bool KeyExists(std::int32_t lPredefinedKey, const std::string& sNewKeyName);
    Variant GetValue(std::int32_t lPredefinedKey, const std::string& sKeyLoc, const Variant& sKeyName,
                     const Variant& sDefault);
    bool DeleteKey(std::int32_t lPredefinedKey, const std::string& sNewKeyName);
    bool DeleteValue(std::int32_t lPredefinedKey, const std::string& sNewKeyName, const std::string& sValue);
    void GetRegistryInfo(WindowsRegistryInfo& wri);
    // File times and network drives.
    FileDateTimeInfo GetFileDateTime(std::string sFileName);
    void SetFileDateTime(std::string sFileName, const FileDateTimeInfo& FileInfo);
    std::vector<std::string> GetNetworkDrives();
    // Trace log.
    void InitTraceLog(const AppObject& ApplInf);
    void WriteTraceLog(const std::string& RtnName, std::int16_t MsgType);
    // Cancel flag of the long searches.
    void AppCancel(bool CancelFlag);
    bool AppCancel();
    // System information and folders.
    std::string GetOSVersion();
    void CreateFolders(const std::string& PathName);
    bool IsAdmin();
    clsSpecialFolders GetSpecialFolders();
    std::string StripTerminator(const std::string& Buffer);
    // Skinning. SkinIt remembers the first four colours (for the message box), then paints
    // the window; it answers false, painting nothing, when obj is not a window. -999 leaves an
    // optional colour out.
    bool SkinIt(QObject* obj, std::int32_t ButtonTabColor, std::int32_t ButtonTabTextColor,
                std::int32_t ButtonTabColorGradient, std::int32_t BackGroundColor = -999,
                std::int32_t BackColorToGradient = -999, std::int32_t RTFColor = -999,
                std::int32_t lDirection = cVertical);
    void ShowButtonTabColor(QObject* Cntrl, std::int32_t NewColor);
    void ShowButtonTabTextColor(QObject* Cntrl, std::int32_t NewColor);
    void ShowFormColor(QObject* objForm, std::int32_t NewColor);
    void ShowDisplayColor(QObject* obj, std::int32_t NewColor);
    void SetListViewBackColor(QObject* Cntrl, std::int32_t BackColor);
    void SetTreeViewBackColor(QObject* Cntrl, std::int32_t BackColor);
    // The library's message box: the answer of the button pressed (1 OK, 2 Cancel, 3 Abort,
    // 4 Retry, 5 Ignore, 6 Yes, 7 No).
    std::int32_t MyMsgBox(const std::string& Prompt, std::int32_t MsgBoxStyle = 0, const std::string& Title = "",
                          std::int32_t Align = 2);
    // The folder the user chose in a folder-browse dialog owned by frm, or "".
    std::string BrowseFolder(const std::string& StartFolder, QObject* frm);
};

// The thread's default instance, made on first use and kept until the thread ends.
TOVCORE_EXPORT clsTovcore& Global();

}  // namespace tovcore
