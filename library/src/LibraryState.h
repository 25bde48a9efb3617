// LibraryState: all module data of the library, one copy per thread, shared by every instance of
// the library's classes on that thread. It lives until the thread ends. Fields are grouped by the
// routines that own them; nothing outside the library sees this header.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <tovcore/AppObject.h>
#include <tovcore/clsSpecialFolders.h>

#include "platform/fileio.h"
#include "platform/text.h"

namespace tovcore::detail {

// ---- the client program and the one-time set-up --------------------------------------------
struct ClientState {
    bool initStarted = false;  // InitializeDll is running (its re-entry from InitTraceLog returns at once)
    bool initDone = false;     // the one-time set-up has succeeded
    bool hasClient = false;    // `app` holds the caller's application object
    AppObject app;
    std::string exeName;       // app.EXEName, kept apart as the settings section of the logs
    std::string settingsFile;  // ApplicationDataFolderLocal & EXEName & ".ini"
    clsSpecialFolders folders;
    std::int16_t versionType = 0;   // an AppVersion value
    std::string versionTypeString;  // set by GetVersion; "" until then
};

// ---- the remembered skin: what the last SkinIt call was given --------------------------------
struct SkinState {
    std::int32_t ButtonTabColor = 0;
    std::int32_t ButtonTabTextColor = 0;
    std::int32_t ButtonTabColorGradient = 0;
    std::int32_t BackGroundColor = 0;
};

// ---- control-state snapshots of DisableSaveControls / RestoreSavedControls -------------------
// One entry per window, keyed by the window's name (followed by its index where it has one),
// compared without regard to case; each element holds one control (a guarded reference that the
// window routines make, so a state goes back to the control it was read from) and its state.
struct SavedControlCollection {
    struct SavedControl {
        std::shared_ptr<void> control;
        bool enabled = false;
    };
    std::map<std::string, std::vector<SavedControl>, platform::ILess> snapshots;
};

// ---- window routines -----------------------------------------------------------------------
// Shows a message on behalf of the library (ShellAndWait, CheckScreenSize) and returns the answer
// value of the button pressed (1 = OK).
using MessageHandler =
    std::function<std::int32_t(const std::string& prompt, std::int32_t style, const std::string& title)>;

struct WindowState {
    // The thread's message-box window, made on first use by the window routines (type-erased so
    // this header needs no widgets).
    std::shared_ptr<void> messageBox;
    // Replaces the library's message box on this thread when set (tests script their answers).
    MessageHandler messageHandler;
};

// ---- registry store ------------------------------------------------------------------------
struct RegistryState {
    std::shared_ptr<void> store;  // owned by the registry routines (the open keys of this thread)
    // Whether the caller may write values and change the machine hives; IsAdmin when not set.
    std::function<bool()> isAdmin;
};

// ---- run, debug and error logs, trace log --------------------------------------------------
struct LogChannel {
    bool on = false;   // switched on by its initialiser from the settings file
    std::string path;  // full path, set when the log was started
    // While a command holds the log open (HoldLogsOpen): the open file and the lines not yet
    // written to it.
    int fd = -1;
    std::string pending;
};

struct LogState {
    int held = 0;  // commands that hold the logs open (they nest)
    LogChannel run;       // key "Log", ".log"
    LogChannel debug;     // key "Debug", ".dbg"
    LogChannel error;     // key "Error", ".err"
    LogChannel appError;  // never switched on
};

struct TraceEntry {
    std::string Name;        // procedure name given at Start
    std::int32_t Level = 0;  // trace level at the moment of the Start
};

struct TraceState {
    bool on = false;     // the settings file's "Trace" key
    bool ready = false;  // InitTraceLog has completed with the switch on
    std::string path;
    std::vector<TraceEntry> open;  // Starts without their End yet, most recent last
    std::int32_t level = 1;        // current indentation in tabs
};

// ---- INI engine ----------------------------------------------------------------------------
// Scratch storage of the current operation: the file's lines as they are on disk (bytes, without
// their endings), the same lines as text (each decoded on its own: UTF-8, or Windows-1252 where a
// line is not UTF-8), and how each line ended.
struct IniState {
    std::vector<std::string> lines;
    std::vector<std::string> text;
    std::vector<platform::LineEnd> ends;
    bool bom = false;      // the file starts with a UTF-8 byte-order mark
    bool writable = true;  // the file may be rewritten (it was read whole, or there is none yet)
    std::set<std::string> failedWrites;  // files whose failed write the error log holds
};

// ---- screen --------------------------------------------------------------------------------
struct DisplayMode {
    std::int32_t width = 0;   // pixels
    std::int32_t height = 0;  // pixels
    std::int32_t depth = 0;   // bits per pixel
    bool operator==(const DisplayMode&) const = default;
};

struct ScreenState {
    bool known = false;  // a display answered
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string text;  // width & "x" & height
    DisplayMode current;
    DisplayMode kept;
};

// ---- clock ---------------------------------------------------------------------------------
struct ClockState {
    // Current date and time of the log lines and time stamps; tests replace it.
    std::function<std::chrono::system_clock::time_point()> now = [] { return std::chrono::system_clock::now(); };
};

struct LibraryState {
    ClientState client;
    SkinState skin;
    SavedControlCollection savedControls;
    WindowState window;
    RegistryState registry;
    LogState logs;
    TraceState trace;
    IniState ini;
    ScreenState screen;
    ClockState clock;
    bool cancel = false;  // AppCancel: stops FindFilesAPI and DoesExist
};

// The calling thread's state.
LibraryState& State();

}  // namespace tovcore::detail
