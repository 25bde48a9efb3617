// The project loader: a .vbp project or a .vbg group into the project model and the project tree,
// and the reload that every command ends with.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/context.h"
#include "engine/host.h"
#include "engine/state.h"
#include "engine/usage.h"

namespace engine {

// The steps of the write side that a load takes (commit.h implements them with the change journal):
// a change cut short is finished before the project's files are read, and afterwards the load asks
// whether the loaded project has a change that undo can take back.
class ChangeRecovery {
public:
    virtual ~ChangeRecovery() = default;
    // `dataFolder`: the per-user data folder, which holds the proof of the journals and markers
    // this program wrote (ToolState::ApplicationDataFolderLocal).
    virtual void FinishInterruptedChange(const std::string& projectPath, const std::string& dataFolder) = 0;
    virtual bool ChangeCanBeUndone(const ToolState& state) = 0;
};

struct LoadOptions {
    UsageSearch search = UsageSearch::Indexed;
    LoadStats* stats = nullptr;  // receives the time of each phase and the counts, when given
};

// Reads the project or group named in state.txtProject into state.model and state.treProject.
// `Loaded` comes back true only when the whole load ran to its end. A cancel (the host's flag) ends
// the load where it is, the tree hidden and the usage checks not run. An unexpected error (a group
// that lists one project twice, a project that lists one file twice, an unknown extension, a file
// that cannot be read) abandons the load: its message is shown through the host's message box and
// written to the error log, the model is marked not loaded, and the call returns normally.
void LoadProjectTree(ToolState& state, Host& host, bool& Loaded, const LoadOptions& options = {});

// The parts of LoadProject that are not the window's: turns away a second load while one runs,
// clears the cancel flag and RoutinesMatched, checks that the project file exists ("Project does
// not exist - " and the path), has `recovery` finish a commit or an undo that was cut short, runs
// LoadProjectTree, sets UndoAvailable when `recovery` says the project has a change to undo, and
// with `ShowElapsedTime` shows "Reports Creation Elapsed Time - " and hh:mm:ss. The tool window
// wraps it with its control states and the rebuild of the reports. Returns whether the project is
// loaded.
bool LoadProject(ToolState& state, Host& host, ChangeRecovery& recovery, bool ShowElapsedTime,
                 const LoadOptions& options = {});

// A .vbp line split into its key (up to and including the first "=") and its value (after the
// first ";" when there is one, trimmed, without double quotes). False for a line without "=".
bool SplitProjectLine(std::string_view line, std::string& key, std::string& value);

// A member project of a .vbg: "StartupProject=" or "Project=" lines (key without regard to case);
// the value splits at its last "\" into the sub-folder (relative to the group's folder, "" when
// there is none) and the project file name.
struct GroupMember {
    std::string subFolder;
    std::string projectFile;
    bool startup = false;
    std::size_t line = 0;  // its line in the group file, counted from 1
};
std::vector<GroupMember> ReadGroupMembers(const std::vector<std::string>& lines);

// Why a listed name cannot be taken as a file name, or "" when it can: it is empty, or it holds a
// control character (a NUL byte would end the name early wherever the system reads it).
std::string ListedNameProblem(std::string_view name);

// A listed name for a message: control characters shown as "\xNN".
std::string ShownName(std::string_view name);

// The native paths of everything the project or group at `projectPath` (absolute) lists, as a load
// resolves them: the file itself, its member projects, and every module, form and class of each.
// Names that a load refuses are left out; a file that cannot be read lists nothing more.
std::set<std::string> ListedPaths(const std::string& projectPath);

// With `folderFlag` true: appends "/" to a non-empty path that lacks it and sets `folder` to it.
// With it false: splits a non-empty path after its last "/" into `folder` and `fileName`, and
// leaves both alone for a name without "/".
void SplitPath(std::string& path, std::string& folder, std::string& fileName, bool folderFlag);

// "hh:mm:ss" of a number of seconds.
std::string ElapsedTimeText(double seconds);

}  // namespace engine
