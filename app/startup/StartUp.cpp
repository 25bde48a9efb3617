#include "app/startup/StartUp.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <tovcore/IniFiles.h>
#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/core/Settings.h"
#include "app/core/ToolWindowFactory.h"
#include "app/frame/frmBackGround.h"
#include "app/language/Language.h"
#include "app/startup/AppIdentity.h"
#include "app/toolwindow/SnippetStore.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace quillet {

namespace {
tovcore::clsTovcore& Lib() { return tovcore::Global(); }
}  // namespace

bool NoUpdateRequested(const std::string& commandLine) {
    const std::string line(platform::Trim(commandLine));
    if (line.empty()) return false;
    for (const std::string_view raw : platform::Split(line, "/")) {
        const std::string piece = platform::LCase(platform::Trim(raw));
        if (piece == "noupdate" || piece == "--noupdate") return true;
    }
    return false;
}

std::string UpdaterProgram(const tovcore::clsSpecialFolders& folders) {
    return folders.CommonFilesFolder + "Tovell Systems/Kestrup";
}

std::string UpdaterArgument(const tovcore::AppObject& app, const std::string& versionTypeString,
                            const std::string& programFolder, const tovcore::clsSpecialFolders& folders) {
    char revision[16];
    std::snprintf(revision, sizeof revision, "%02d", app.Revision);
    const std::string updaterFolder = folders.CommonFilesFolder + "Tovell Systems/";
    return app.EXEName + "," + versionTypeString + "," + std::to_string(app.Major) + "." + std::to_string(app.Minor) +
           "." + revision + "," + Lib().FixPath(programFolder) + "," + updaterFolder + "," +
           folders.ApplicationDataFolderLocal;
}

UpdaterState CheckUpdater(const std::string& path) {
    if (path.empty() || path[0] != '/') return UpdaterState::Missing;
    if (!platform::IsRegularFile(path)) return UpdaterState::Missing;
    return ::access(path.c_str(), X_OK) == 0 ? UpdaterState::Ready : UpdaterState::NotExecutable;
}

void SeedSnippets(const std::string& programFolder, const std::string& dataFolder) {
    for (const toolwindow::SnippetKind kind : {toolwindow::SnippetKind::Pre, toolwindow::SnippetKind::Post}) {
        const toolwindow::SnippetSide& side = toolwindow::Side(kind);
        std::error_code ec;
        const fs::path target = toolwindow::SnippetFolder(dataFolder, kind);
        auto matches = [&side](const fs::directory_entry& e) {
            std::error_code ignored;
            return e.is_regular_file(ignored) && platform::IEndsWith(e.path().filename().string(), side.extension);
        };
        bool hasSnippet = false;
        if (fs::is_directory(target, ec))
            for (const auto& e : fs::directory_iterator(target, ec))
                if (matches(e)) {
                    hasSnippet = true;
                    break;
                }
        if (hasSnippet) continue;
        Lib().CreateFolders(target.string() + "/");
        std::vector<fs::path> shipped;
        for (const auto& e : fs::directory_iterator(toolwindow::SnippetFolder(programFolder, kind), ec))
            if (matches(e)) shipped.push_back(e.path());
        std::sort(shipped.begin(), shipped.end());
        for (const fs::path& from : shipped) {
            const fs::path to = target / from.filename();
            // Whatever is at that name stays (a file, a folder, a link).
            if (fs::exists(fs::symlink_status(to, ec))) continue;
            fs::copy_file(from, to, fs::copy_options::skip_existing, ec);
        }
    }
}

std::string ShippedFolder() {
    const std::string exe = ExecutableFolder();
    std::error_code ec;
    const std::string installed = exe + "../share/quillet/";
    if (fs::is_directory(installed, ec)) return fs::weakly_canonical(installed, ec).string() + "/";
    return exe;
}

std::string SettingsSetUpFailure(const std::string& dataFolder, const std::string& settingsName) {
    const std::string file = dataFolder + settingsName;
    struct stat st {};
    const bool there = !dataFolder.empty() && ::stat(file.c_str(), &st) == 0;
    // Read-only as the library sees it (it never writes such a file, whoever runs the program).
    const tovcore::IniFileState state = dataFolder.empty() ? tovcore::IniFileState::Missing : tovcore::CheckIniFile(file);
    if (state == tovcore::IniFileState::FolderReadOnly)
        return "Quillet cannot start: its settings folder " + dataFolder +
               " may not be written, and Quillet keeps its settings there" +
               (there ? " (every change of a setting writes the settings file " + file + " anew, beside the old one)"
                      : "") +
               ".\n\nMake the folder writable again (for instance with: chmod u+w \"" + dataFolder +
               "\"), then start Quillet again.";
    if (there && state == tovcore::IniFileState::ReadOnly)
        return "Quillet cannot start: its settings file " + file +
               " is read-only, and Quillet keeps its settings there.\n\nMake the file writable again (for instance "
               "with: chmod u+w \"" +
               file + "\"), or move it away to start with new settings, then start Quillet again.";
    if (there && !S_ISREG(st.st_mode))
        return "Quillet cannot start: its settings file " + file +
               " is not a file.\n\nMove it away, then start Quillet again.";
    if (there)
        return "Quillet cannot start: its settings file " + file +
               " cannot be written.\n\nCheck its owner and permissions, then start Quillet again.";
    return "Quillet cannot start: its settings folder " + dataFolder +
           " could not be set up.\n\nCheck that the folder can be made and written, then start Quillet again.";
}

std::string UnusedFileWarning(const std::string& what, const std::string& path, const std::string& instead) {
    const tovcore::IniFileState state = tovcore::CheckIniFile(path);
    if (state != tovcore::IniFileState::TooLarge && state != tovcore::IniFileState::Unreadable) return "";
    return "The " + what + " " + path + " " + tovcore::IniFileStateText(state) + ", so Quillet does not use it.\n\n" +
           instead + " and leaves the file as it is.";
}

namespace {

void WriteDiagnostics(const ProgramState& s) {
    const tovcore::clsSpecialFolders& f = s.objSpecialFolders;
    const std::string& ini = s.IniFileName;
    WriteIniText("Diagnostic", "ApplicationInstallFolder", Lib().FixPath(s.ProgramFolder), ini);
    WriteIniText("Diagnostic", "AllUsersAppDataFolder", f.AllUsersAppDataFolder, ini);
    WriteIniText("Diagnostic", "ApplicationDataFolderLocal", f.ApplicationDataFolderLocal, ini);
    WriteIniText("Diagnostic", "ApplicationDataFolderRoaming", f.ApplicationDataFolderRoaming, ini);
    WriteIniText("Diagnostic", "CommonFilesFolder", f.CommonFilesFolder, ini);
    WriteIniText("Diagnostic", "ProgramFilesFolder", f.ProgramFilesFolder, ini);
    WriteIniText("Diagnostic", "SystemDrive", f.SystemDrive, ini);
    WriteIniText("Diagnostic", "UserProfileFolder", f.UserProfileFolder, ini);
    WriteIniText("Diagnostic", "UserProfileTempFolder", f.UserProfileTempFolder, ini);
    WriteIniBool("Diagnostic", "UsingAppData", f.UsingAppData, ini);
    WriteIniText("Diagnostic", "WindowsFolder", f.WindowsFolder, ini);
    WriteIniText("Diagnostic", "WindowsSystemFolder", f.WindowsSystemFolder, ini);
}

// The logs the library started at its set-up, each as its switch says.
void FindStartedLogs(ProgramState& s, const std::string& exeName) {
    const std::string folder = s.objSpecialFolders.ApplicationDataFolderLocal + "Log/";
    struct Log {
        const char* key;
        const char* extension;
        std::string ProgramState::*path;
    };
    for (const Log& log : {Log{"Log", ".log", &ProgramState::LogFile}, Log{"Debug", ".dbg", &ProgramState::DebugLogFile},
                           Log{"Error", ".err", &ProgramState::ErrorLogFile}}) {
        const std::string path = folder + exeName + log.extension;
        const bool on = ReadIniBool(exeName, log.key, true, s.IniFileName);
        s.*log.path = on && Lib().FileExists(path) ? path : "";
    }
}

}  // namespace

StartResult Main(Program& program, const tovcore::AppObject& app, const StartOptions& options) {
    ProgramState& s = program.state;
    StartResult result;
    s.IniFileName = Lib().InitializeDll(app, tovcore::Freeware);
    s.objSpecialFolders = Lib().GetSpecialFolders();
    if (s.IniFileName.empty()) {
        const std::string why =
            SettingsSetUpFailure(s.objSpecialFolders.ApplicationDataFolderLocal, app.EXEName + ".ini");
        std::fprintf(stderr, "%s\n", why.c_str());
        program.services.messageBox->Show(why, vbOKOnly | vbCritical, "", 2);
        return result;
    }
    const std::string& ini = s.IniFileName;
    // A settings file that the library will not read is said once; the program goes on with its
    // defaults and leaves that file alone.
    if (const std::string why = UnusedFileWarning("settings file", ini, "Quillet starts with its default settings");
        !why.empty())
        program.services.messageBox->Show(why, vbOKOnly | vbExclamation, "", 2);
    s.ProgramFolder = Lib().FixPath(options.programFolder);
    s.LanguagesFolder = s.objSpecialFolders.ApplicationDataFolderLocal + "Languages/";
    s.LanguageFile = LanguageFilePath(s.LanguagesFolder, ReadIniText("Quillet", "Language", "Default", ini));
    s.CheckForUpdates = ReadIniBool("Quillet", "CheckForUpdates", true, ini);

    if (s.CheckForUpdates && !NoUpdateRequested(options.commandLine)) {
        // The edition text is set by GetVersion: ask for it before the argument is built.
        Lib().GetVersion();
        const std::string updater = options.updater.empty() ? UpdaterProgram(s.objSpecialFolders) : options.updater;
        const UpdaterState state = CheckUpdater(updater);
        if (state == UpdaterState::Ready &&
            program.services.launcher->StartDetached(
                updater, {UpdaterArgument(app, Lib().VersionTypeString(), s.ProgramFolder, s.objSpecialFolders)})) {
            result.outcome = StartOutcome::UpdaterStarted;
            return result;
        }
        Lib().WriteLog("Updater not started: " + updater +
                       (state == UpdaterState::Missing         ? " is not installed"
                        : state == UpdaterState::NotExecutable ? " may not be executed"
                                                               : " could not be started"));
    }

    SeedSnippets(s.ProgramFolder, s.objSpecialFolders.ApplicationDataFolderLocal);
    WriteDiagnostics(s);
    s.LanguageFileExists = Lib().FileExists(s.LanguageFile);
    if (s.LanguageFileExists) {
        const std::string why = UnusedFileWarning("language file", s.LanguageFile, "Quillet shows its own texts");
        if (!why.empty()) {
            s.LanguageFileExists = false;
            program.services.messageBox->Show(why, vbOKOnly | vbExclamation, "", 2);
        }
    }
    FindStartedLogs(s, app.EXEName);
    if (!program.makeToolWindow) program.makeToolWindow = DefaultToolWindowFactory();

    auto* frame = new frmBackGround(program);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->Load();
    result.outcome = StartOutcome::FrameShown;
    result.frame = frame;
    return result;
}

}  // namespace quillet
