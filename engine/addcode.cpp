#include "engine/addcode.h"

#include <algorithm>
#include <unordered_set>

#include "engine/classify.h"
#include "engine/loader.h"
#include "engine/scanner.h"
#include "engine/source.h"
#include "platform/fileio.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace engine {
namespace {

using platform::IEquals;

// Snippet line breaks in the form of the line they follow: CR LF, lone LF and lone CR become `eol`.
std::string WithLineEnd(std::string_view text, std::string_view eol) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += eol;
            ++i;
        } else if (text[i] == '\n' || text[i] == '\r') {
            out += eol;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The ending of the nearest line before line `next` that has one (CR LF in a file without any):
// what a line inserted before `next` ends with.
platform::LineEnd EndingBefore(const platform::TextLines& lines, std::size_t next) {
    for (std::size_t k = next; k-- > 0;)
        if (lines.End(k) != platform::LineEnd::None) return lines.End(k);
    for (std::size_t k = next; k < lines.size(); ++k)
        if (lines.End(k) != platform::LineEnd::None) return lines.End(k);
    return platform::LineEnd::CrLf;
}

bool GetCodeText(const ToolState& state, FileOps& files, const std::vector<std::string>& names, const char* kind,
                 std::string& text, std::string& why) {
    text.clear();
    if (names.empty()) return true;
    if (state.ApplicationDataFolderLocal.empty()) {
        why = "The snippet folder is not known";
        return false;
    }
    const std::string folder = state.ApplicationDataFolderLocal + kind + "/";
    const std::string extension = std::string(".") + kind;
    for (const std::string& name : names) {
        if (!IsSnippetName(name)) {
            why = "The snippet name \"" + name + "\" is not a file name";
            return false;
        }
        // A chosen snippet is never taken as nothing: without its text the run stops before it
        // writes anything.
        const std::string path = SnippetFilePath(files, folder, name, extension);
        FileStat st;
        if (!files.Stat(path, st)) {
            why = "The " + std::string(kind) + " snippet \"" + name + "\" has no file (" + path +
                  "): write it with Edit, or remove it from the list";
            return false;
        }
        std::string bytes;
        if (!st.regular || !files.Read(path, bytes)) {
            why = "The " + std::string(kind) + " snippet \"" + name + "\" cannot be read (" + path + ")";
            return false;
        }
        text += bytes;
    }
    return true;
}

std::string GetIniCode(Settings& settings, const std::string& Name, const std::string& IniFile, const char* kind) {
    std::string buffer(50000, ' ');
    settings.GetIniSection(Name + " " + kind, buffer, IniFile);
    return platform::ReplaceAll(platform::RTrim(buffer), std::string_view("\0", 1), "\r\n");
}

bool IsTovcoreReference(std::string_view line) {
    const std::string_view t = platform::Trim(line);
    return platform::IStartsWith(t, "Reference=") && platform::IFind(t, kTovcoreLibId) != std::string_view::npos;
}

// The project that starts the run: the group's start-up project, or the one project of a .vbp.
const ProjectInfo* StartupProject(const ToolState& state) {
    const auto& projects = state.model.Projects;
    if (projects.size() == 1) return &projects.front();
    for (const ProjectInfo& p : projects)
        if (p.startupProject) return &p;
    return nullptr;
}

const clsFileInfo* FileAt(const ProjectModel& model, const std::string& path) {
    for (FileKind kind : kAllKinds)
        for (const clsFileInfo& f : model.Files(kind))
            if (f.fPath == path) return &f;
    return nullptr;
}

// The group's member projects that list a file this run changed, in group order.
std::vector<const ProjectInfo*> MembersListingChangedFiles(const ChangeSet& cs) {
    std::unordered_set<std::string> changedPaths, projects;
    for (const PendingChange& c : cs.changes) {
        changedPaths.insert(c.path);
        projects.insert(c.project);
    }
    for (FileKind kind : kAllKinds)
        for (const clsFileInfo& f : cs.state.model.Files(kind))
            if (changedPaths.count(f.fPath)) projects.insert(f.fProject);
    std::vector<const ProjectInfo*> members;
    for (const ProjectInfo& p : cs.state.model.Projects)
        if (p.exists && projects.count(p.name)) members.push_back(&p);
    return members;
}

}  // namespace

std::string DllReferenceLineFor(std::string_view windowsSystemFolder) {
    return platform::IReplaceAll(kDllReferenceTemplate, "{sys}", windowsSystemFolder);
}

bool IsSnippetName(std::string_view name) {
    return !name.empty() && name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos &&
           name.find("..") == std::string_view::npos;
}

std::string SnippetFilePath(FileOps& files, const std::string& folder, const std::string& name,
                            std::string_view extension) {
    const std::string wanted = name + std::string(extension);
    FileStat st;
    if (files.Stat(folder + wanted, st)) return folder + wanted;
    std::vector<std::string> entries;
    if (!files.List(folder, entries)) return folder + wanted;
    std::sort(entries.begin(), entries.end());
    const std::string* best = nullptr;
    for (const std::string& entry : entries) {
        if (!platform::IEqualsUtf8(entry, wanted)) continue;
        // The file the name was listed from: its own name before the extension first.
        if (entry.compare(0, name.size(), name) == 0 && entry.size() == wanted.size()) return folder + entry;
        if (!best) best = &entry;
    }
    return folder + (best ? *best : wanted);
}

bool GetPreCodeText(const ToolState& state, FileOps& files, std::string& text, std::string& why) {
    return GetCodeText(state, files, state.SelectedPreCode, "PreCode", text, why);
}

bool GetPostCodeText(const ToolState& state, FileOps& files, std::string& text, std::string& why) {
    return GetCodeText(state, files, state.SelectedPostCode, "PostCode", text, why);
}

std::string GetIniPreCode(Settings& settings, const std::string& Name, const std::string& IniFile) {
    return GetIniCode(settings, Name, IniFile, "PreCode");
}

std::string GetIniPostCode(Settings& settings, const std::string& Name, const std::string& IniFile) {
    return GetIniCode(settings, Name, IniFile, "PostCode");
}

void AddCodeToFile(ChangeSet& cs, const clsFileInfo& file, const ProcedureList& Procedures, const std::string& PreText,
                   const std::string& PostText) {
    Host& host = cs.host;
    if (host.CancelRequested()) return;
    if (!file.fExists || Procedures.empty()) return;
    SourceRead read;
    const ReadOutcome outcome = ReadFileToRewrite(cs, file.fPath, file.fFilename, file.fLoaded, read);
    if (outcome == ReadOutcome::Missing) cs.Problem(file.fFilename, "no longer exists; left out");
    if (outcome != ReadOutcome::Read) return;

    // The file's bytes are copied in runs of whole lines, each with its own ending; an inserted
    // text takes the ending of the line it follows, its own line breaks too.
    const platform::TextLines& lines = read.lines;
    const auto n = static_cast<LineIndex>(lines.size());
    const Tree& tree = cs.state.treProject;

    std::string out;
    out.reserve(lines.bytes().size() + Procedures.size() * (PreText.size() + PostText.size() + 64));
    if (lines.bom()) out += platform::kUtf8Bom;
    LineIndex next = 0;                         // the first line not yet copied
    const auto copyUpTo = [&](LineIndex end) {  // copies lines [next, end)
        out.append(lines.Bytes(static_cast<std::size_t>(next), static_cast<std::size_t>(end)));
        next = end;
    };
    const auto insert = [&](const std::string& text, const std::string& name, const std::string& kindWord) {
        const std::string filled =
            platform::IReplaceAll(platform::IReplaceAll(text, "~Procedure~", name), "~Sub~", kindWord);
        const std::string_view eol = platform::LineEndText(EndingBefore(lines, static_cast<std::size_t>(next)));
        out += WithLineEnd(filled, std::string(eol));
        out += eol;
    };
    for (std::size_t r = Procedures.size(); r-- > 0;) {
        const clsProcedures& p = Procedures[r];
        if (!IEquals(p.pFilename(), file.fFilename) || IEquals(ListedFileName(p.pFilename()), kTraceModuleName)) break;
        const std::string kindWord = GetProcedureType(p.pProcType);
        const NodeId node = tree.Find(ProcedureNodeKey(p));
        if (node != kNoNode && tree.Node(node).checked) {
            if (p.pFuncLineStart < next || p.pFuncLineEnd <= p.pFuncLineStart || p.pFuncLineEnd >= n) {
                cs.Problem(file.fFilename, "its procedure records do not fit the file; left as it is (reload first)");
                return;
            }
            const LineIndex headerEnd = HeaderEndLine(lines, p.pFuncLineStart, p.pFuncLineEnd);
            copyUpTo(headerEnd + 1);
            insert(PreText, p.pName, kindWord);
            copyUpTo(p.pFuncLineEnd);
            insert(PostText, p.pName, kindWord);
        }
        cs.pacer.Point();
        if (host.CancelRequested()) return;
    }
    copyUpTo(n);
    WriteContentToFile(cs, file.fPath, file.fFilename, std::move(out), read, file.fProject);
}

void AddTraceInitCall(ChangeSet& cs) {
    const char* kNoCall = "no start-up call was added: ";
    const ProjectInfo* project = StartupProject(cs.state);
    if (!project) {
        cs.Problem(cs.state.ProjectFileTitle, std::string(kNoCall) + "the group names no start-up project");
        return;
    }
    if (project->StartupFile.empty()) {
        cs.Problem(project->name, kNoCall + (project->StartupNote.empty() ? std::string("it has no start-up file")
                                                                          : project->StartupNote));
        return;
    }
    // Only a file the project lists is ever edited.
    const platform::ResolvedPath resolved =
        platform::ResolveListedPath(project->StartupFileFolder, project->StartupFile);
    const clsFileInfo* info = FileAt(cs.state.model, resolved.path);
    if (!info) {
        cs.Problem(project->name, kNoCall + ShownName(project->StartupFile) + " is not a file it lists");
        return;
    }
    const std::string& path = resolved.path;
    const std::string& name = info->fFilename;
    if (!resolved.exists) {
        cs.Problem(name, std::string(kNoCall) + "the file does not exist");
        return;
    }

    SourceRead read;
    if (const PendingChange* pending = cs.Find(path)) {
        // This run rewrote the file: the call goes into that rewrite, so both land together.
        read.lines = platform::TextLines(pending->content);
        read.before = pending->before;
        read.mode = pending->mode;
    } else {
        const ReadOutcome outcome = ReadFileToRewrite(cs, path, name, Fingerprint{}, read);
        if (outcome == ReadOutcome::Missing) cs.Problem(name, std::string(kNoCall) + "the file does not exist");
        if (outcome != ReadOutcome::Read) return;
    }
    std::vector<std::string>& lines = read.Lines().lines;
    const auto n = static_cast<LineIndex>(lines.size());
    for (LineIndex i = 0; i < n; ++i) {
        const std::string_view t = platform::Trim(lines[static_cast<std::size_t>(i)]);
        if (!IEquals(t, "Private Sub Form_Initialize()") && !IEquals(t, "Public Sub Main()")) continue;
        const LineIndex at = HeaderEndLine(lines, i, n);
        read.text.Insert(static_cast<std::size_t>(at) + 1, kTraceInitCallLine);
        WriteLinesToFile(cs, path, name, read.text, read, info->fProject);
        return;
    }
    cs.Problem(name,
               std::string(kNoCall) + "it has no \"Private Sub Form_Initialize()\" or \"Public Sub Main()\" line");
}

void AddDllReference(ChangeSet& cs, const std::string& ProjectFile, const std::string& name,
                     const std::string& project) {
    SourceRead read;
    const ReadOutcome outcome = ReadFileToRewrite(cs, ProjectFile, name, Fingerprint{}, read);
    if (outcome == ReadOutcome::Missing) cs.Problem(name, "cannot be found; no reference was added");
    if (outcome != ReadOutcome::Read) return;
    std::vector<std::string>& lines = read.Lines().lines;
    std::size_t insertAfter = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsTovcoreReference(lines[i])) return;
        if (IEquals(platform::Trim(lines[i]), "Type=Exe")) insertAfter = i;
    }
    const std::string reference = cs.state.DllReferenceLine.empty() ? DllReferenceLineFor(kDefaultWindowsSystemFolder)
                                                                    : cs.state.DllReferenceLine;
    read.text.Insert(std::min(insertAfter + 1, lines.size()), reference);
    WriteLinesToFile(cs, ProjectFile, name, read.text, read, project);
}

namespace {

// Whether a procedure of `file` is ticked in the project tree and would take code: the file's own
// node does not decide (it shows what its procedures hold, partly ticked when some are), and the
// trace module never takes any.
bool HasTickedProcedure(const Tree& tree, const clsFileInfo& file, const ProcedureList& procedures) {
    if (!file.fExists || IEquals(ListedFileName(file.fFilename), kTraceModuleName)) return false;
    for (const clsProcedures& p : procedures) {
        const NodeId node = tree.Find(ProcedureNodeKey(p));
        if (node != kNoNode && tree.Node(node).checked) return true;
    }
    return false;
}

bool AnyTickedProcedure(const ToolState& state) {
    for (FileKind kind : kAllKinds)
        for (const clsFileInfo& file : state.model.Files(kind))
            if (const ProcedureList* procs = state.model.Procedures(kind).Find(file.fKey))
                if (HasTickedProcedure(state.treProject, file, *procs)) return true;
    return false;
}

// Why Add Code cannot run now ("" when it can). With nothing ticked the run would only add the
// start-up call and the reference line: it does not start.
std::string AddCodeRefusal(const ToolState& state) {
    constexpr const char* kNothingTicked = "No (Module/Form/Class) items checked to add code to";
    if (state.SelectedPreCode.empty() && state.SelectedPostCode.empty()) return "No Pre or Post Code Selected";
    if (state.treProject.empty()) return kNothingTicked;
    if (!state.model.Loaded) return "The project is not completely loaded; load it again before adding code";
    if (!AnyTickedProcedure(state)) return kNothingTicked;
    return {};
}

// The snippet texts of one file of kind `kind`: its own name in "~Module~", "~Form~" or
// "~Class~", the other two empty.
void FillKindPlaceholders(FileKind kind, const std::string& fileName, std::string& pre, std::string& post) {
    static constexpr const char* kPlaceholders[] = {"~Module~", "~Form~", "~Class~"};
    for (FileKind other : kAllKinds) {
        const std::string& value = other == kind ? fileName : std::string();
        pre = platform::IReplaceAll(pre, kPlaceholders[static_cast<int>(other)], value);
        post = platform::IReplaceAll(post, kPlaceholders[static_cast<int>(other)], value);
    }
}

// The pending copies of every module, form and class with a ticked procedure, in that order. False
// when the run was cancelled.
bool InstrumentCheckedFiles(ChangeSet& cs, const std::string& pre, const std::string& post) {
    static constexpr const char* kProcessing[] = {"Processing Module - ", "Processing Form - ", "Processing Class - "};
    const ToolState& state = cs.state;
    for (FileKind kind : kAllKinds)
        for (const clsFileInfo& file : state.model.Files(kind)) {
            const ProcedureList* procs = state.model.Procedures(kind).Find(file.fKey);
            if (!procs || !HasTickedProcedure(state.treProject, file, *procs)) continue;
            cs.host.DisplayMessage(kProcessing[static_cast<int>(kind)] + file.fFilename, true, align::kLeft);
            std::string filePre = pre, filePost = post;
            FillKindPlaceholders(kind, file.fFilename, filePre, filePost);
            AddCodeToFile(cs, file, *procs, filePre, filePost);
            if (cs.host.CancelRequested()) return false;
        }
    return true;
}

// The library's reference goes into the project file; in a group, into each member project that
// lists a file the run changed (a module shared by several members counts for each of them); the
// group file itself gets none.
void AddReferences(ChangeSet& cs) {
    const ToolState& state = cs.state;
    if (!platform::IEndsWith(state.ProjectPath, ".vbg")) {
        AddDllReference(cs, state.ProjectPath, state.ProjectFileTitle, state.ProjectFileTitle);
        return;
    }
    for (const ProjectInfo* p : MembersListingChangedFiles(cs))
        AddDllReference(cs, p->path, p->subFolder + p->name, p->name);
}

// What every run ends with, cancelled or not: the tool project saved, the project reloaded (so
// tree and reports show the new state), the outcome shown.
void FinishAddCode(ChangeSet& cs, bool cancelled, RewriteStats* stats) {
    Host& host = cs.host;
    ToolState& state = cs.state;
    host.ClearMessage();
    host.HourGlassOff();
    const std::string first = cancelled ? "Code Processing Canceled" : OutcomeFirstLine(cs, "Code Processing Done");
    if (cancelled) host.SetCancelRequested(false);
    host.SaveToolProject();
    const double t1 = host.Seconds();
    host.LoadProject(false);
    cs.stats.reloadSeconds += host.Seconds() - t1;
    host.ProcessEvents();
    state.UndoAvailable = ChangeCanBeUndone(state, cs.files);
    if (stats) *stats = cs.stats;
    host.MyMsgBox(OutcomeMessage(first, cs.problems), msgbox::kInformation, state.AppTitle, align::kCenter);
}

}  // namespace

void cmdAddCode_Click(ToolState& state, Host& host, FileOps& files, RewriteStats* stats) {
    const HeldLogs held(host);
    if (const std::string refusal = AddCodeRefusal(state); !refusal.empty()) {
        host.MyMsgBox(refusal, msgbox::kOKOnly, "", align::kCenter);
        return;
    }
    std::string pre, post, why;
    if (!GetPreCodeText(state, files, pre, why) || !GetPostCodeText(state, files, post, why)) {
        host.MyMsgBox(why + "; no code was added", msgbox::kOKOnly, "", align::kCenter);
        return;
    }
    host.RestartLogs();
    host.HourGlassOn();
    pre = platform::IReplaceAll(pre, "~ProcStart~", "1");
    post = platform::IReplaceAll(post, "~ProcEnd~", "2");

    ChangeSet cs(state, host, files);
    const double t0 = host.Seconds();
    const bool complete = InstrumentCheckedFiles(cs, pre, post);
    if (complete) {
        AddTraceInitCall(cs);
        AddReferences(cs);
    }
    cs.stats.rewriteSeconds += host.Seconds() - t0;
    if (complete) {
        state.RunMode = 0;
        CommitChanges(cs);
    } else {
        DiscardPendingCopies(cs);  // a cancelled run commits nothing and leaves nothing behind
    }
    FinishAddCode(cs, !complete, stats);
}

}  // namespace engine
