#include "library/src/modInit.h"

#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

#include "library/src/LibraryState.h"
#include "library/src/modIni.h"
#include "library/src/modLog.h"
#include "library/src/modScreen.h"
#include "library/src/modSpecialFolders.h"
#include "platform/fileio.h"
#include "platform/paths.h"

namespace tovcore::detail {
namespace {

// Whether the settings file can be written as the INI engine writes it: opened for appending when
// it exists (nothing changes), else created and removed again; either way its folder must take
// the new files every rewrite makes. The open never waits: a pipe in its place with nothing
// reading it answers at once (and is no settings file).
bool CanWrite(const std::string& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        // As the INI engine sees it: a read-only file is never written, whoever runs the program.
        return MayRewriteIniFile(path);
    }
    if (errno != ENOENT) return false;
    // The file is made by the first write, beside it: its folder must take new files.
    if (!FolderTakesNewFiles(platform::FolderOf(path))) return false;
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(path.c_str());
    return true;
}

}  // namespace

// The one-time set-up for the calling program, once per thread: special folders, the per-user
// data folder, the settings file path, the three logs, the trace log and the screen state. Every
// later call, by any instance and with any arguments, returns the first settings path. The set-up
// counts as done only once it has gone through; while it runs (InitTraceLog calls back here) a
// call returns at once. It fails when the data folder is not there after creating it or the
// settings file cannot be written: then it says so on the standard error stream, starts no log,
// returns "" and runs again on the next call.
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
        const std::string& dataFolder = c.folders.ApplicationDataFolderLocal;
        CreateFolders(dataFolder);
        const std::string settings = dataFolder + c.exeName + ".ini";
        if (dataFolder.empty() || !platform::IsDirectory(dataFolder)) {
            std::cerr << c.exeName << ": the data folder \"" << dataFolder << "\" could not be created.\n";
            c.initStarted = false;
            return "";
        }
        if (!CanWrite(settings)) {
            std::cerr << c.exeName << ": the settings file \"" << settings << "\" cannot be written.\n";
            c.initStarted = false;
            return "";
        }
        c.settingsFile = settings;
        InitLog("");
        InitDebugLog("");
        InitErrorLog("");
        InitTraceLog(c.app);
        CheckScreenSize(0, 0);
        c.initDone = true;
    } catch (const std::exception& e) {
        std::cerr << c.exeName << ": the set-up failed: " << e.what() << "\n";
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
