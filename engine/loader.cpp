#include "engine/loader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <unordered_map>

#include "engine/definitions.h"
#include "engine/usage.h"
#include "engine/error.h"
#include "engine/scanner.h"
#include "engine/source.h"
#include "platform/fileio.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace engine {
namespace {

using platform::IEquals;
using platform::Trim;

struct Cancelled {};

std::string Unquoted(std::string_view s) {
    std::string v(Trim(s));
    v = platform::ReplaceAll(v, "\"", "");
    return std::string(Trim(v));
}

bool KindOfKey(std::string_view key, FileKind& kind) {
    if (IEquals(key, "Module=")) kind = FileKind::Module;
    else if (IEquals(key, "Form=")) kind = FileKind::Form;
    else if (IEquals(key, "Class=")) kind = FileKind::Class;
    else return false;
    return true;
}

// One load, from the project path to the usage checks.
class ProjectLoader {
public:
    ProjectLoader(LoadContext& ctx) : ctx_(ctx), st_(ctx.state), model_(ctx.state.model), host_(ctx.host) {}

    void Run() {
        // However the path was typed, the project is known by one absolute path (the change
        // journal and undo compare it).
        st_.ProjectPath = platform::AbsolutePath(st_.txtProject);
        const std::size_t dot = st_.ProjectPath.rfind('.');
        const std::string extension = dot == std::string::npos ? std::string() : st_.ProjectPath.substr(dot + 1);
        st_.ProjectFolder = platform::FolderOf(st_.ProjectPath);
        st_.ProjectFileTitle = platform::NameOf(st_.ProjectPath);

        Tree& tree = st_.treProject;
        tree.Clear();
        tree.visible = false;
        model_.Clear();
        model_.BackupFolder = BackupFolderIn(st_.ProjectFolder);
        st_.ProjectNodes.clear();
        st_.folderNodes = {};
        st_.FileNodes.clear();

        host_.WriteLog("Processing " + st_.ProjectFileTitle);
        const NodeId root = tree.Add(kNoNode, st_.ProjectFileTitle, st_.ProjectFileTitle, "project");
        st_.ProjectNodes.push_back(root);
        tree.Node(root).expanded = true;
        tree.Node(root).checked = true;
        tree.SetSorted(root, true);

        st_.ProjectSubFolder.clear();
        // The projects to read: name -> listed sub-folder; names compared without regard to case.
        std::map<std::string, std::string, platform::ILess> projects;
        std::vector<GroupMember> order;
        std::size_t firstProject = 0;
        if (IEquals(extension, "vbp")) {
            projects.emplace(st_.ProjectFileTitle, "");
            order.push_back(GroupMember{"", st_.ProjectFileTitle, true});
        } else if (IEquals(extension, "vbg")) {
            const std::vector<std::string> lines = ReadLines(st_.ProjectPath, st_.ProjectFileTitle);
            for (GroupMember& member : ReadGroupMembers(lines)) {
                const std::string listed = member.subFolder + member.projectFile;
                const std::string why = ListedNameProblem(member.projectFile.empty() ? "" : listed);
                if (!why.empty())
                    throw EngineError(st_.ProjectFileTitle + ", line " + std::to_string(member.line) + ": " + why +
                                      "; the group was not loaded");
                // Also through a linked folder, or a second name of the group file.
                const std::string memberPath = platform::ResolveListedPath(st_.ProjectFolder, listed).path;
                if (memberPath == st_.ProjectPath || platform::AbsolutePath(memberPath) == st_.ProjectPath ||
                    platform::SameEntry(memberPath, st_.ProjectPath))
                    throw EngineError("The group " + st_.ProjectFileTitle + " lists itself as a member project (line " +
                                      std::to_string(member.line) + "); the group was not loaded");
                if (IEquals(member.projectFile, st_.ProjectFileTitle))
                    throw EngineError("The group " + st_.ProjectFileTitle + " lists a member project of its own name, " +
                                      ShownName(listed) + " (line " + std::to_string(member.line) +
                                      "); the projects of a group are told apart by their file names, so the group was "
                                      "not loaded. Rename one of them.");
                if (const auto [earlier, fresh] = projects.emplace(member.projectFile, member.subFolder); !fresh) {
                    const std::string first = earlier->second + earlier->first;
                    if (platform::ResolveListedPath(st_.ProjectFolder, first).path ==
                        platform::ResolveListedPath(st_.ProjectFolder, listed).path)
                        throw EngineError("The group " + st_.ProjectFileTitle + " lists the project " +
                                          member.projectFile + " twice.");
                    throw EngineError("The group " + st_.ProjectFileTitle + " lists two different projects named " +
                                      member.projectFile + " (" + ShownName(first) + " and " + ShownName(listed) +
                                      "); the projects of a group are told apart by their file names, so the group "
                                      "was not loaded. Rename one of them.");
                }
                const NodeId node = tree.Add(root, member.projectFile, member.projectFile, "project");
                tree.SetSorted(node, true);
                tree.Node(node).checked = true;
                tree.Node(node).expanded = false;
                st_.ProjectNodes.push_back(node);
                order.push_back(std::move(member));
            }
            if (order.empty()) throw EngineError("The group " + st_.ProjectFileTitle + " lists no project.");
            firstProject = 1;
        } else {
            throw EngineError("Not a Visual Basic project or group file (.vbp, .vbg): " + st_.ProjectPath);
        }
        for (FileKind kind : kAllKinds) st_.FolderNodes(kind).assign(st_.ProjectNodes.size(), kNoNode);

        for (std::size_t n = 0; n < order.size(); ++n) ReadProject(firstProject + n, order[n]);

        FinishUsage();
        if (host_.CancelRequested()) throw Cancelled{};
        tree.visible = true;
    }

private:
    // The public names, once every file is read.
    void FinishUsage() {
        const double t0 = host_.Seconds();
        host_.WriteLog("Checking for Definition Usage");
        usage_.Finish(model_, [&] {
            ctx_.pacer.Point();
            return host_.CancelRequested();
        });
        ctx_.stats.usageSeconds += host_.Seconds() - t0;
    }

    // A listed file that cannot be reached because a folder on its way may not be entered is no
    // missing file: the load stops and says so.
    static void NotEntered(const std::string& listed, const std::string& path) {
        const std::string folder = platform::FolderNotEntered(path);
        if (!folder.empty())
            throw EngineError(ShownName(listed) + " cannot be read: the folder " + folder +
                              " may not be entered (permission denied)");
    }

    // A name that the system cannot hold names no file that could be read here: the load says so,
    // rather than show it as missing.
    static void TooLong(const std::string& lister, const std::string& listed, const std::string& path) {
        if (!platform::NameTooLong(path)) return;
        throw EngineError(lister + " lists " + ShownName(listed) + ", a name longer than the system allows (" +
                          platform::NameLimitsText() + "), so it cannot be read here; the project was not loaded");
    }

    // A listed file inside the backup folder would be taken for a backup, or for the change journal
    // or the marker, by the next change: the load refuses it. The folders on the way are read as
    // the system resolves them (a listed sub-folder may be a link to the backup folder).
    void InBackupFolder(const std::string& lister, const std::string& listed, const std::string& path) const {
        const std::string& backup = model_.BackupFolder;
        const std::string realBackup = platform::AbsolutePath(backup.substr(0, backup.size() - 1)) + "/";
        if (!platform::IStartsWith(path, backup) && !platform::IStartsWith(platform::AbsolutePath(path), realBackup))
            return;
        throw EngineError(lister + " lists " + ShownName(listed) + ", which lies in the backup folder " +
                          platform::NameOf(backup.substr(0, backup.size() - 1)) +
                          ", where Quillet keeps the old versions of the files it changes and its change journal; the "
                          "project was not loaded. Move the file out of that folder and list it there.");
    }

    // The lines of a project or group file; an empty one is refused (there is nothing to load).
    std::vector<std::string> ReadLines(const std::string& path, const std::string& name) {
        const double t0 = host_.Seconds();
        std::int32_t offset = 0;
        std::optional<LineArray> text = ReadSourceFile(path, offset, nullptr, name);
        ctx_.stats.readSeconds += host_.Seconds() - t0;
        if (!text) throw EngineError("The file does not exist: " + path);
        if (std::all_of(text->lines.begin(), text->lines.end(), [](const std::string& l) { return Trim(l).empty(); }))
            throw EngineError(name + " is empty; there is nothing to load");
        return std::move(text->lines);
    }

    void ReadProject(std::size_t j, const GroupMember& member) {
        if (host_.CancelRequested()) throw Cancelled{};
        Tree& tree = st_.treProject;
        const NodeId projectNode = st_.ProjectNodes[j];
        const std::string name = tree.Node(projectNode).text;
        st_.ProjectSubFolder = member.subFolder;

        for (FileKind kind : kAllKinds) {
            const NodeId folder =
                tree.Add(projectNode, name + "_" + KindFolderText(kind), KindFolderText(kind), KindImage(kind));
            tree.Node(folder).checked = true;
            tree.SetSorted(folder, true);
            st_.FolderNodes(kind)[j] = folder;
        }

        const platform::ResolvedPath projectFile =
            platform::ResolveListedPath(st_.ProjectFolder, member.subFolder + member.projectFile);
        ProjectInfo info;
        info.name = name;
        info.subFolder = member.subFolder;
        info.path = projectFile.path;
        info.folder = platform::FolderOf(projectFile.path);
        info.exists = projectFile.exists && platform::IsRegularFile(projectFile.path);
        info.startupProject = member.startup;
        model_.Projects.push_back(info);
        InBackupFolder(st_.ProjectFileTitle, "the project " + member.subFolder + member.projectFile, projectFile.path);
        if (!info.exists) {
            NotEntered(member.subFolder + member.projectFile, projectFile.path);
            TooLong(st_.ProjectFileTitle, member.subFolder + member.projectFile, projectFile.path);
            // Something that is there but no regular file (a FIFO, a folder, a link that leads
            // nowhere) is said as it is; only a missing file is passed over.
            if (const std::string kind = platform::EntryKindText(projectFile.path); kind != "does not exist")
                throw EngineError(ShownName(member.subFolder + member.projectFile) + " " + kind +
                                  "; it cannot be read as a project, so the group was not loaded");
            host_.WriteErrorLog("Invalid folder structure or file does not exist - " + projectFile.path);
            return;
        }

        const std::vector<std::string> lines = ReadLines(projectFile.path, member.subFolder + member.projectFile);
        const std::string message = "Scanning " + name;
        host_.WriteLog(message);
        host_.DisplayMessage(message, true, align::kLeft);

        const std::size_t firstForm = model_.FormFiles().size();
        // The model keeps the start-up file of the last project that names one; each project also
        // keeps its own (a group's trace start-up call goes into its start-up project's file).
        const std::size_t projectIndex = model_.Projects.size() - 1;
        const std::string earlierFile = model_.StartupFile, earlierFolder = model_.StartupFileFolder;
        model_.StartupFile.clear();
        model_.StartupFileFolder.clear();
        std::string key, value, startupValue;
        bool startupLine = false;
        for (std::size_t n = 0; n < lines.size(); ++n) {
            if (host_.CancelRequested()) throw Cancelled{};
            if (!SplitProjectLine(lines[n], key, value)) continue;
            FileKind kind;
            if (IEquals(key, "Startup=")) {
                startupLine = true;
                startupValue = value;
                model_.StartupObject = IEquals(value, "Sub Main") ? value : value + ".frm";
            } else if (KindOfKey(key, kind)) {
                const std::string why = ListedNameProblem(value);
                if (!why.empty())
                    throw EngineError(member.subFolder + member.projectFile + ", line " + std::to_string(n + 1) + " (" +
                                      ShownName(key) + "): " + why + "; the project was not loaded");
                AddFile(j, kind, name, info.folder, value);
            }
        }

        // The start-up file is always one this project lists: the form that "Startup=" names (by
        // its file name or by its VB_Name), or the file that holds Sub Main.
        ProjectInfo& project = model_.Projects[projectIndex];
        if (startupLine && !IEquals(startupValue, "Sub Main")) {
            model_.StartupFile.clear();
            model_.StartupFileFolder.clear();
            if (const clsFileInfo* form = StartupForm(firstForm, startupValue)) {
                model_.StartupFile = form->fFilename;
                model_.StartupFileFolder = form->fAppFldr;
            } else if (startupValue == "(None)" || startupValue.empty()) {
                project.StartupNote = "it has no start-up object";
            } else {
                project.StartupNote = "its start-up form " + ShownName(startupValue) + " is not a form it lists";
            }
        } else if (model_.StartupFile.empty()) {
            project.StartupNote = startupLine ? "none of its files holds Sub Main" : "it names no start-up object";
        }
        project.StartupFile = model_.StartupFile;
        project.StartupFileFolder = model_.StartupFileFolder;
        if (model_.StartupFile.empty()) {
            model_.StartupFile = earlierFile;
            model_.StartupFileFolder = earlierFolder;
        }
    }

    // The form of this project (its forms from `first` on) that `name` names: by file name
    // (name & ".frm") or by the VB_Name in its attribute header.
    const clsFileInfo* StartupForm(std::size_t first, const std::string& name) {
        const FileList& forms = model_.FormFiles();
        for (std::size_t i = first; i < forms.size(); ++i)
            if (IEquals(ListedFileName(forms[i].fFilename), name + ".frm")) return &forms[i];
        for (std::size_t i = first; i < forms.size(); ++i) {
            const auto it = formNames_.find(&forms[i]);
            if (it != formNames_.end() && IEquals(it->second, name)) return &forms[i];
        }
        return nullptr;
    }

    void AddFile(std::size_t j, FileKind kind, const std::string& projectName, const std::string& folder,
                 const std::string& value) {
        Tree& tree = st_.treProject;
        const std::string key = FileKey(projectName, value);
        if (tree.Contains(key))
            throw EngineError("The project " + projectName + " lists the file " + value + " twice.");
        clsFileInfo& file = model_.Files(kind).emplace_back();
        file.fFilename = value;
        file.fProject = projectName;
        file.fAppFldr = folder;
        file.fKey = key;
        file.FDataOnly = false;
        file.fStartUpProc = IEquals(ListedFileName(value), model_.StartupObject);
        file.fLoadFolder = st_.ProjectFolder;
        const platform::ResolvedPath resolved = platform::ResolveListedPath(folder, value);
        file.fPath = resolved.path;
        file.fExists = resolved.exists;
        InBackupFolder(projectName, value, file.fPath);
        if (!file.fExists) {
            NotEntered(value, file.fPath);
            TooLong(projectName, value, file.fPath);
        }

        const NodeId node = tree.Add(st_.FolderNodes(kind)[j], file.fKey, value, KindImage(kind));
        st_.FileNodes.push_back(node);
        tree.SetSorted(node, true);
        tree.Node(node).openPath = file.fPath;
        host_.WriteLog("\r\n\r\n\t\tProcessing - " + value + "\r\n");

        ProcedureList procedures;
        if (file.fExists) {
            tree.Node(node).checked = true;
            ScanResult result = Scan(kind, file);
            for (const clsProcedures& p : result.procedures) AddProcedureNode(tree, node, p, file.fPath);
            file.FDataOnly = result.dataOnly;
            if (result.dataOnly) {
                tree.Node(node).checked = false;
                tree.SetText(node, tree.Node(node).text + " (Data Only)");
            }
            if (result.holdsMain) {
                model_.StartupFile = file.fFilename;
                model_.StartupFileFolder = folder;
            }
            DefinitionList& defs = model_.Definitions(kind);
            for (clsDefinitions& d : result.definitions) defs.push_back(std::move(d));
            procedures = std::move(result.procedures);
        } else {
            TreeNode& n = tree.Node(node);
            n.backColor = kColorRed;
            n.bold = true;
            tree.Node(st_.FolderNodes(kind)[j]).expanded = true;
            tree.Node(st_.ProjectNodes[j]).expanded = true;
            tree.SetSorted(st_.ProjectNodes[j], true);
        }
        if (!file.FDataOnly) {
            if (model_.Procedures(kind).Contains(file.fKey))
                throw EngineError("The project " + projectName + " lists the file " + value + " twice.");
            model_.Procedures(kind).Add(file.fKey, std::move(procedures));
        }
    }

    // Reads and scans one existing file, and checks the names that only it can use.
    ScanResult Scan(FileKind kind, clsFileInfo& file) {
        if (host_.CancelRequested()) return ScanResult{};
        LoadStats& stats = ctx_.stats;
        const double t0 = host_.Seconds();
        std::optional<SourceText> text = ReadSource(file.fPath, file.fFilename, &file.fLoaded);
        const double t1 = host_.Seconds();
        stats.readSeconds += t1 - t0;
        if (!text) return ScanResult{};
        auto source = std::make_shared<const SourceText>(std::move(*text));
        file.fOffset = source->codeStart();
        stats.files += 1;
        stats.lines += source->lines().size();
        host_.DisplayMessage("Scanning " + file.fFilename, true, align::kLeft);
        ScanResult result = ScanSourceFile(*source, file, ctx_.pacer, [&] { return host_.CancelRequested(); });
        if (kind == FileKind::Form) formNames_[&file] = VbName(source->lines());
        const double t2 = host_.Seconds();
        stats.scanSeconds += t2 - t1;
        if (result.complete) {
            CheckingDefinitions(kind, file);
            usage_.File(file, &result.procedures, result.definitions, std::move(source));
        }
        stats.usageSeconds += host_.Seconds() - t2;
        return result;
    }

    // The module-level private names (and the locals) are checked file by file, as each is read:
    // the run log says so once for each kind of file, and the status panel names the file being
    // checked, at most once in kStatusSeconds (a project of hundreds of files is not slowed down by
    // its status lines).
    void CheckingDefinitions(FileKind kind, const clsFileInfo& file) {
        bool& logged = privateCheckLogged_[static_cast<std::size_t>(kind)];
        if (!logged) {
            host_.WriteLog("Checking for Module Private Definition Usage");
            logged = true;
        }
        const double now = host_.Seconds();
        if (lastCheckingStatus_ >= 0 && now - lastCheckingStatus_ < kStatusSeconds) return;
        lastCheckingStatus_ = now;
        host_.DisplayMessage("Checking Definitions for " + file.fFilename, false, align::kLeft);
    }

    static constexpr double kStatusSeconds = 0.1;  // least time between two "Checking Definitions" lines

    LoadContext& ctx_;
    ToolState& st_;
    ProjectModel& model_;
    Host& host_;
    UsageCheck usage_{ctx_.search};
    std::array<bool, 3> privateCheckLogged_{};  // per kind: the run log names the private check
    double lastCheckingStatus_ = -1;            // when a "Checking Definitions" line was last shown
    std::unordered_map<const clsFileInfo*, std::string> formNames_;  // the VB_Name of each form read
};

}  // namespace

std::string ListedNameProblem(std::string_view name) {
    if (Trim(name).empty()) return "the line names no file (the name is empty)";
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F')
            return "the name \"" + ShownName(name) + "\" holds a control character, which no file name may hold";
    return {};
}

std::string ShownName(std::string_view name) {
    std::string out;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::set<std::string> ListedPaths(const std::string& projectPath) {
    std::set<std::string> paths = {projectPath};
    const std::string folder = platform::FolderOf(projectPath);
    const auto readLines = [](const std::string& path, std::vector<std::string>& lines) {
        std::int32_t offset = 0;
        try {
            std::optional<LineArray> text = ReadSourceFile(path, offset);
            if (!text) return false;
            lines = std::move(text->lines);
            return true;
        } catch (const EngineError&) {
            return false;
        }
    };
    std::vector<std::string> projects;
    if (platform::IEndsWith(projectPath, ".vbg")) {
        std::vector<std::string> lines;
        if (!readLines(projectPath, lines)) return paths;
        for (const GroupMember& m : ReadGroupMembers(lines)) {
            if (m.projectFile.empty() || !ListedNameProblem(m.subFolder + m.projectFile).empty()) continue;
            const std::string path = platform::ResolveListedPath(folder, m.subFolder + m.projectFile).path;
            if (paths.insert(path).second) projects.push_back(path);
        }
    } else {
        projects.push_back(projectPath);
    }
    std::string key, value;
    for (const std::string& project : projects) {
        std::vector<std::string> lines;
        if (!readLines(project, lines)) continue;
        FileKind kind;
        for (const std::string& line : lines)
            if (SplitProjectLine(line, key, value) && KindOfKey(key, kind) && ListedNameProblem(value).empty())
                paths.insert(platform::ResolveListedPath(platform::FolderOf(project), value).path);
    }
    return paths;
}

bool SplitProjectLine(std::string_view line, std::string& key, std::string& value) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key.assign(line.substr(0, eq + 1));
    std::string_view rest = line.substr(eq + 1);
    const std::size_t semi = rest.find(';');
    if (semi != std::string_view::npos) rest = rest.substr(semi + 1);
    value = Unquoted(rest);
    return true;
}

std::vector<GroupMember> ReadGroupMembers(const std::vector<std::string>& lines) {
    std::vector<GroupMember> members;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string_view key = std::string_view(line).substr(0, eq + 1);
        const bool startup = IEquals(key, "StartupProject=");
        if (!startup && !IEquals(key, "Project=")) continue;
        const std::string_view value = std::string_view(line).substr(eq + 1);
        const std::size_t sep = value.find_last_of("\\/");
        GroupMember m;
        if (sep != std::string_view::npos) {
            m.subFolder = std::string(value.substr(0, sep + 1));
            m.projectFile = std::string(value.substr(sep + 1));
        } else {
            m.projectFile = std::string(value);
        }
        m.startup = startup;
        m.line = n + 1;
        members.push_back(std::move(m));
    }
    return members;
}

void SplitPath(std::string& path, std::string& folder, std::string& fileName, bool folderFlag) {
    if (folderFlag) {
        if (!path.empty() && path.back() != '/') path += '/';
        folder = path;
        return;
    }
    if (path.empty()) return;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return;
    folder = path.substr(0, slash + 1);
    fileName = path.substr(slash + 1);
}

std::string ElapsedTimeText(double seconds) { return platform::ClockText(std::llround(seconds)); }

void LoadProjectTree(ToolState& state, Host& host, bool& Loaded, const LoadOptions& options) {
    Loaded = false;
    state.model.Loaded = false;
    LoadContext ctx(state, host, options.search);
    host.HourGlassOn();
    try {
        ProjectLoader(ctx).Run();
        Loaded = true;
        state.model.Loaded = true;
        host.DisplayMessage("", false, align::kCenter);
    } catch (const Cancelled&) {
        // The model and the tree stay as far as they were built; the tree stays hidden.
    } catch (const std::exception& e) {
        host.WriteErrorLog(e.what());
        host.MyMsgBox(e.what(), msgbox::kOKOnly, "", align::kCenter);
    }
    host.HourGlassOff();
    if (options.stats) *options.stats = ctx.stats;
}

bool LoadProject(ToolState& state, Host& host, ChangeRecovery& recovery, bool ShowElapsedTime,
                 const LoadOptions& options) {
    if (state.LoadBusy) return false;
    state.LoadBusy = true;
    const HeldLogs held(host);
    const double start = host.Seconds();
    host.DisplayMessage("", false, align::kCenter);
    host.SetCancelRequested(false);
    state.RoutinesMatched = false;
    bool loaded = false, read = false;
    if (!Trim(state.txtProject).empty()) {
        const platform::ReadStatus status = platform::ProbeFile(state.txtProject);
        if (status == platform::ReadStatus::Ok) {
            // A commit or an undo cut short is completed or rolled back (as the user decides)
            // before the files are read.
            recovery.FinishInterruptedChange(platform::AbsolutePath(state.txtProject), state.ApplicationDataFolderLocal);
            LoadProjectTree(state, host, loaded, options);
            read = true;
            if (host.CancelRequested()) state.ProjectChanged = false;
        } else if (status == platform::ReadStatus::Missing &&
                   platform::EntryKindText(state.txtProject) == "does not exist") {
            host.MyMsgBox("Project does not exist - " + state.txtProject, msgbox::kOKOnly, "", align::kCenter);
        } else {
            // Said as it is: a FIFO, a folder, a symbolic link that leads nowhere.
            const bool kind = status == platform::ReadStatus::NotRegular || status == platform::ReadStatus::Missing ||
                              platform::NameTooLong(state.txtProject);
            host.MyMsgBox(state.txtProject + " " +
                              (kind ? platform::EntryKindText(state.txtProject)
                                    : std::string(platform::ReadStatusText(status))) +
                              "; it cannot be opened as a project",
                          msgbox::kOKOnly, "", align::kCenter);
        }
    }
    // Also after a load that failed: the change that made the project unreadable can be undone.
    state.UndoAvailable = read && recovery.ChangeCanBeUndone(state);
    if (loaded && ShowElapsedTime)
        host.MyMsgBox("Reports Creation Elapsed Time - " + ElapsedTimeText(host.Seconds() - start), msgbox::kOKOnly, "",
                      align::kCenter);
    host.ClearMessage();
    host.HourGlassOff();
    state.LoadBusy = false;
    return loaded;
}

}  // namespace engine
