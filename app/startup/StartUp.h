// The program's start-up routine Main and its decisions. Main sets the library up, reads the
// language and the update switch, honours the command line, and then either hands over to the
// updater (when one is installed and may run) or prepares the per-user data and shows the frame.
#pragma once

#include <string>
#include <vector>

#include <tovcore/AppObject.h>
#include <tovcore/clsSpecialFolders.h>

namespace quillet {

struct Program;
class frmBackGround;

// Whether the command line turns the updater off: the line is split at "/" and a piece whose
// trimmed text is "noupdate" or "--noupdate" (any letter case) does it.
bool NoUpdateRequested(const std::string& commandLine);

// The updater program: <common files folder>"Tovell Systems/Kestrup".
std::string UpdaterProgram(const tovcore::clsSpecialFolders& folders);
// The updater's one argument: EXEName, edition text, major.minor.revision (revision with at least
// two digits), the program folder, the updater's folder and the per-user data folder, joined by ",".
std::string UpdaterArgument(const tovcore::AppObject& app, const std::string& versionTypeString,
                            const std::string& programFolder, const tovcore::clsSpecialFolders& folders);

enum class UpdaterState { Missing, NotExecutable, Ready };
// Ready only for an absolute path to an existing regular file that may be executed.
UpdaterState CheckUpdater(const std::string& path);

// Copies the shipped snippets into the per-user folders: for "PreCode/" (files "*.precode" in any
// letter case) and "PostCode/" ("*.postcode"), a per-user folder that is missing or holds no such
// file gets every such file of the program's folder of the same name. A file the user already has
// is never overwritten.
void SeedSnippets(const std::string& programFolder, const std::string& dataFolder);

// The message for a settings set-up that failed: the settings folder may not be written (every
// write of the settings needs a new file there), the settings file is read-only (and what to do
// about either), is not a file, cannot be written, or the settings folder cannot be made.
std::string SettingsSetUpFailure(const std::string& dataFolder, const std::string& settingsName);
// The message for one of the program's own INI files that the library will not read (too large,
// not text): "The <what> <path> is larger than 4 MB, so ... <instead> and leaves the file as it
// is."; "" when the file is read.
std::string UnusedFileWarning(const std::string& what, const std::string& path, const std::string& instead);

// The folder of the files shipped beside the program, ending in "/": <executable folder>
// "../share/quillet/" when the program is installed, else the executable's folder (build tree).
std::string ShippedFolder();

enum class StartOutcome {
    UpdaterStarted,  // the updater runs; the program ends without a window
    FrameShown,      // the frame is shown; the program runs until it closes
    Failed,          // the library could not be set up (a message said why)
};

struct StartResult {
    StartOutcome outcome = StartOutcome::Failed;
    frmBackGround* frame = nullptr;  // the frame when shown; it deletes itself when it closes
};

struct StartOptions {
    std::string commandLine;    // the program's arguments joined by blanks
    std::string programFolder;  // the folder of the shipped files
    std::string updater;        // the updater program; "" for the installed one (UpdaterProgram)
};

// Main. Uses the program's services for the updater and messages.
StartResult Main(Program& program, const tovcore::AppObject& app, const StartOptions& options);

}  // namespace quillet
