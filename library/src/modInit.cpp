#include "library/src/modInit.h"

#include <exception>

#include "library/src/LibraryState.h"
#include "library/src/modLog.h"
#include "library/src/modScreen.h"
#include "library/src/modSpecialFolders.h"

namespace tovcore::detail {

// The one-time set-up for the calling program, once per thread: special folders, the per-user
// data folder, the settings file path, the three logs, the trace log and the screen state. Every
// later call, by any instance and with any arguments, returns the first settings path. The set-up
// counts as done only once it has gone through; while it runs (InitTraceLog calls back here) a
// call returns at once.
std::string InitializeDll(const AppObject& AppData, std::int16_t AppVerType) {
    LibraryState& s = State();
    ClientState& c = s.client;
    if (c.initDone || c.initStarted) return c.settingsFile;
    try {
        s.skin = SkinState{kStartButtonTabColor, kStartButtonTabTextColor, kStartButtonTabColorGradient,
                           kStartBackGroundColor};
        c.initStarted = true;
        c.versionType = AppVerType == 0 ? static_cast<std::int16_t>(3) : AppVerType;
        c.app = AppData;
        c.hasClient = true;
        c.exeName = AppData.EXEName;
        c.folders = GetSpecialFolders();
        CreateFolders(c.folders.ApplicationDataFolderLocal);
        c.settingsFile = c.folders.ApplicationDataFolderLocal + c.exeName + ".ini";
        InitLog("");
        InitDebugLog("");
        InitErrorLog("");
        InitTraceLog(c.app);
        CheckScreenSize(0, 0);
        c.initDone = true;
    } catch (const std::exception&) {
        c.settingsFile.clear();
    }
    c.initStarted = false;
    return c.settingsFile;
}

std::string GetVersion() {
    struct Edition {
        std::int16_t type;
        const char* typeString;
        const char* suffix;
    };
    static constexpr Edition kEditions[] = {
        {1, "Beta", "  Beta"},     {2, "Demo", "  Demo"},         {3, "Release", ""},
        {4, "Release", "  Trial"}, {5, "Release", "  Freeware"}, {6, "Release", "  Shareware"},
    };
    ClientState& c = State().client;
    std::string text = "Version " + std::to_string(c.app.Major) + "." + std::to_string(c.app.Minor) + "  Build " +
                       std::to_string(c.app.Revision);
    for (const Edition& e : kEditions) {
        if (e.type != c.versionType) continue;
        c.versionTypeString = e.typeString;
        text += e.suffix;
    }
    return text;
}

}  // namespace tovcore::detail
