#include "engine/commit.h"

#include <algorithm>
#include <map>
#include <set>

#include "engine/loader.h"
#include "platform/fileio.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace engine {
namespace {

// The file at `path` is a regular file that holds exactly `f`.
bool Holds(FileOps& files, const std::string& path, const Fingerprint& f) {
    FileStat st;
    std::string bytes;
    if (!files.Stat(path, st) || !st.regular || st.size != f.size || !files.Read(path, bytes)) return false;
    return FingerprintOf(bytes) == f;
}

std::string WithoutSlash(const std::string& folder) {
    return folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
}

// The backup folder of the project file at `projectPath`.
std::string BackupFolderFor(const std::string& projectPath) { return BackupFolderIn(platform::FolderOf(projectPath)); }

std::string BackupFolderOf(const ToolState& state) {
    if (!state.model.BackupFolder.empty()) return state.model.BackupFolder;
    return BackupFolderFor(state.ProjectPath);
}

bool SameFile(const std::string& a, const std::string& b) {
    return platform::NormalizePath(a) == platform::NormalizePath(b);
}

// Flushes each folder once; false when one of them could not be flushed.
bool FlushFolders(FileOps& files, const std::set<std::string>& folders) {
    bool ok = true;
    for (const std::string& f : folders) ok = files.Flush(f.empty() ? std::string(".") : WithoutSlash(f)) && ok;
    return ok;
}

// Puts the old version of `path`, which holds `before`, at `backupPath`: linked (or copied) to a
// temporary name first and checked, then renamed into place. The caller flushes the backup folder
// before it relies on the backup.
bool MakeBackup(FileOps& files, const std::string& path, const std::string& backupPath, const std::string& backupTemp,
                const Fingerprint& before) {
    if (files.Exists(backupTemp) && !files.Remove(backupTemp)) return false;
    if (!files.LinkOrCopy(path, backupTemp)) return false;
    if (!Holds(files, backupTemp, before) || !files.Rename(backupTemp, backupPath)) {
        files.Remove(backupTemp);
        return false;
    }
    // Where the old backup was a second name of this very file (a copy an earlier commit linked and
    // nothing has replaced since), the rename does nothing and the temporary name stays.
    if (files.Exists(backupTemp)) files.Remove(backupTemp);
    return true;
}

// Moves the backup of an entry back over its file; where it cannot be moved (another disk), copies
// it beside the file and renames the copy over it (not where a file of that name, which this
// program did not write, stands beside it).
bool RestoreBackup(FileOps& files, const JournalEntry& e) {
    if (files.Rename(e.backupPath, e.path)) return true;
    if (files.Exists(e.pendingPath)) return false;
    if (!files.LinkOrCopy(e.backupPath, e.pendingPath) || !Holds(files, e.pendingPath, e.before) ||
        !files.Rename(e.pendingPath, e.path)) {
        files.Remove(e.pendingPath);
        return false;
    }
    files.Remove(e.backupPath);
    return true;
}

std::string EscapedName(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') out += "%25";
        else if (c == '/' || c == '\\') out += "%5C";
        else if (c == '.' && i == 0) out += "%2E";
        else out += c;
    }
    return out;
}

// `name` made unique among `taken` and the names that `onDisk` finds in the backup folder (compared
// without regard to case, so that a backup folder copied to a disk that ignores case still holds
// every file): " (2)", " (3)", ... before the extension of its last component.
template <class OnDisk>
std::string UniqueName(const std::string& name, std::set<std::string, platform::ILess>& taken, OnDisk onDisk) {
    std::string candidate = name;
    const std::size_t slash = name.rfind('/');
    const std::size_t dot = name.rfind('.');
    const std::size_t cut =
        (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) ? dot : name.size();
    const auto free = [&](const std::string& c) {
        return !taken.count(c) && !taken.count(PendingPathOf(c)) && !onDisk(c) && !onDisk(PendingPathOf(c));
    };
    for (int n = 2; !free(candidate); ++n)
        candidate = name.substr(0, cut) + " (" + std::to_string(n) + ")" + name.substr(cut);
    taken.insert(candidate);
    taken.insert(PendingPathOf(candidate));
    return candidate;
}

JournalEntry EntryOf(const PendingChange& c) {
    JournalEntry e;
    e.path = c.path;
    e.pendingPath = c.pendingPath;
    e.backupPath = c.backupPath;
    e.backupTemp = c.backupTemp;
    e.name = c.name;
    e.before = c.before;
    e.after = c.after;
    e.replace = c.replace;
    e.done = c.status == ChangeStatus::Replaced;
    return e;
}

ChangeJournal JournalOf(const ChangeSet& cs, const std::string& backupFolder, ChangeJournal::State state) {
    ChangeJournal j;
    j.project = cs.state.ProjectPath;
    j.backupFolder = backupFolder;
    j.state = state;
    for (const PendingChange& c : cs.changes)
        if (c.status != ChangeStatus::Refused && c.status != ChangeStatus::Pending) j.entries.push_back(EntryOf(c));
    j.madeFolders = cs.madeFolders;
    return j;
}

void AddProblem(std::vector<std::string>& problems, const std::string& name, const std::string& what) {
    problems.push_back(name + ": " + what);
}

}  // namespace

std::string OutcomeMessage(const std::string& first, const std::vector<std::string>& problems) {
    std::string text = first;
    for (const std::string& p : problems) text += "\r\n" + p;
    return text;
}

std::string OutcomeFirstLine(const ChangeSet& cs, const std::string& done) {
    return cs.Replaced() > 0 || cs.problems.empty() ? done : "Nothing was changed:";
}

// ---- the change set ---------------------------------------------------------------------------

ChangeSet::ChangeSet(ToolState& state, Host& host, FileOps& files)
    : state(state), host(host), files(files), proofs(files, state.ApplicationDataFolderLocal), pacer(host) {
    if (!state.ProjectPath.empty()) listed.insert(state.ProjectPath);
    for (const ProjectInfo& p : state.model.Projects) listed.insert(p.path);
    for (FileKind kind : kAllKinds)
        for (const clsFileInfo& f : state.model.Files(kind)) listed.insert(f.fPath);
}

void ChangeSet::Problem(const std::string& name, const std::string& what) { AddProblem(problems, name, what); }

namespace {
ReadOutcome Refuse(ChangeSet& cs, const std::string& path, const std::string& name, const std::string& what) {
    cs.Problem(name, what);
    cs.refused.insert(path);
    return ReadOutcome::Refused;
}
}  // namespace

PendingChange* ChangeSet::Find(const std::string& path) {
    for (PendingChange& c : changes)
        if (c.path == path) return &c;
    return nullptr;
}

std::size_t ChangeSet::Replaced() const {
    return static_cast<std::size_t>(std::count_if(
        changes.begin(), changes.end(), [](const PendingChange& c) { return c.status == ChangeStatus::Replaced; }));
}

ReadOutcome ReadFileToRewrite(ChangeSet& cs, const std::string& path, const std::string& name,
                              const Fingerprint& loaded, SourceRead& out) {
    if (cs.refused.count(path)) return ReadOutcome::Refused;
    FileStat st;
    if (!cs.files.Stat(path, st)) {
        cs.refused.insert(path);
        return ReadOutcome::Missing;
    }
    if (!st.regular) return Refuse(cs, path, name, platform::EntryKindText(path) + "; left as it is");
    if (!(st.mode & 0200)) return Refuse(cs, path, name, "is read-only; left as it is");
    if (st.size > kMaxFileBytes)
        return Refuse(cs, path, name, "is larger than " + MaxFileSizeText() + "; left as it is");
    std::string bytes;
    if (!cs.files.Read(path, bytes)) return Refuse(cs, path, name, "cannot be read; left as it is");
    out.before = FingerprintOf(bytes);
    if (loaded.known && out.before != loaded)
        return Refuse(cs, path, name, "has changed on disk since the project was loaded; left as it is (reload first)");
    out.mode = st.mode;
    out.lines = platform::TextLines(std::move(bytes));
    out.text = LineArray{};
    cs.stats.filesRead += 1;
    cs.stats.linesRead += out.lines.size();
    return ReadOutcome::Read;
}

namespace {

std::string BackupFolderProblem(FileOps& files, const std::string& backupFolder, bool& there);

// Before the first pending copy of a run: the backup folder is there (made when missing), no
// interrupted change waits for a decision (its pending copies are the same files), and the run's
// marker names every file whose pending copy it may write. False (once, with a line) when the run
// may not write.
bool RemoveMarkedPendingCopies(FileOps& files, const PendingMarker& marker, const std::set<std::string>& listed,
                               std::string* removed = nullptr);

bool PrepareWrites(ChangeSet& cs) {
    if (cs.prepared) return true;
    if (cs.blocked) return false;
    cs.blocked = true;
    FileOps& files = cs.files;
    const std::string backupFolder = BackupFolderOf(cs.state);
    bool there = false;
    if (const std::string why = BackupFolderProblem(files, backupFolder, there); !why.empty()) {
        cs.Problem("Backup", why + "; nothing was changed");
        return false;
    }
    // A refusal from here on leaves no folder behind that this run made.
    const auto refuse = [&](const std::string& why) {
        cs.Problem("Backup", why + "; nothing was changed");
        if (!there) files.Remove(WithoutSlash(backupFolder));
        return false;
    };
    if (!cs.proofs.Usable())
        return refuse("the per-user data folder, where the proof of the change journal is kept, is not known");
    if (!cs.proofs.Ready())
        return refuse("the proof of the change journal cannot be kept in the per-user data folder " +
                      cs.proofs.DataFolder());
    if (const std::optional<ChangeJournal> old = ReadJournal(files, cs.proofs, backupFolder);
        old && old->state != ChangeJournal::State::Committed)
        return refuse("the last change to " + ShownName(platform::NameOf(old->project)) +
                      " was interrupted and is neither completed nor rolled back; open that project again to decide, "
                      "then make this change");
    cs.madeBackupFolder = !there;
    // The pending copies that an earlier run of ours could not remove go first: this run's marker
    // replaces the one that names them.
    if (const std::optional<PendingMarker> left = ReadPendingMarker(files, cs.proofs, backupFolder);
        left && SameFile(left->project, cs.state.ProjectPath) &&
        !RemoveMarkedPendingCopies(files, *left, cs.listed))
        return refuse("pending copies that an earlier run left cannot be removed");
    PendingMarker marker;
    marker.project = cs.state.ProjectPath;
    for (const std::string& path : cs.listed) {
        PendingMarker::File f{path, {}};
        FileStat st;
        std::string bytes;
        if (files.Stat(PendingPathOf(path), st) && st.regular && files.Read(PendingPathOf(path), bytes))
            f.before = FingerprintOf(bytes);
        marker.files.push_back(std::move(f));
    }
    cs.marker = marker;
    if (!WritePendingMarker(files, cs.proofs, backupFolder, marker))
        return refuse(cs.proofs.SaveFailed() ? "the proof of the change journal cannot be kept in the per-user data "
                                               "folder " + cs.proofs.DataFolder()
                                             : "the backup folder " + backupFolder + " cannot be written");
    cs.blocked = false;
    cs.prepared = true;
    return true;
}

}  // namespace

bool WriteLinesToFile(ChangeSet& cs, const std::string& path, const std::string& name, const LineArray& text,
                      const SourceRead& read, const std::string& project) {
    return WriteContentToFile(cs, path, name, platform::JoinLines(text), read, project);
}

bool WriteContentToFile(ChangeSet& cs, const std::string& path, const std::string& name, std::string content,
                        const SourceRead& read, const std::string& project) {
    const Fingerprint after = FingerprintOf(content);
    PendingChange* existing = cs.Find(path);
    const std::string pending = PendingPathOf(path);
    const auto drop = [&] {
        if (existing) cs.changes.erase(cs.changes.begin() + (existing - cs.changes.data()));
    };
    if (cs.listed.count(pending)) {
        cs.Problem(name, "its pending copy " + platform::NameOf(pending) +
                             " would be a file this project lists; left as it is");
        cs.refused.insert(path);
        drop();
        return false;
    }
    if (after == (existing ? existing->before : read.before)) {
        // Nothing changes: no pending copy.
        if (existing) {
            cs.files.Remove(pending);
            drop();
        }
        return true;
    }
    if (!PrepareWrites(cs)) {
        cs.refused.insert(path);
        drop();
        return false;
    }
    if (cs.files.Exists(pending)) {
        // Only a pending copy that this run wrote is replaced; anything else at that name (the
        // user's notes, a FIFO, a copy another program made) is not ours to remove.
        if (!existing || !Holds(cs.files, pending, existing->after)) {
            const std::string what = platform::EntryKindText(pending);
            cs.Problem(name, platform::NameOf(pending) + ", which Quillet did not write, stands where the rewritten copy " +
                                 "goes" + (what == "is a regular file" ? std::string() : " (it " + what + ")") +
                                 "; left as it is. Move or rename " + platform::NameOf(pending) + " to change it");
            cs.refused.insert(path);
            drop();
            return false;
        }
        if (!cs.files.Remove(pending)) {
            cs.Problem(name, "its pending copy " + platform::NameOf(pending) + " cannot be replaced; left as it is");
            cs.refused.insert(path);
            drop();
            return false;
        }
    }
    // Flushed to disk with all the others before the commit (CreateBackups), which also reads each
    // one back.
    if (!cs.files.Write(pending, content, read.mode)) {
        cs.files.Remove(pending);
        cs.Problem(name, "its rewritten copy could not be written; left as it is");
        cs.refused.insert(path);
        drop();
        return false;
    }
    cs.stats.pendingWritten += 1;
    if (existing) {
        existing->after = after;
        existing->content = std::move(content);
        return true;
    }
    PendingChange c;
    c.path = path;
    c.name = name;
    c.pendingPath = pending;
    c.before = read.before;
    c.after = after;
    c.content = std::move(content);
    c.mode = read.mode;
    c.project = project;
    cs.changes.push_back(std::move(c));
    return true;
}

// ---- backup names -----------------------------------------------------------------------------

std::string BackupName(const std::string& projectFolder, const std::string& path) {
    const std::string base = projectFolder.empty() ? std::string() : platform::NormalizePath(projectFolder);
    const std::string file = platform::NormalizePath(path);
    const bool inside = base.empty() ? (file.front() != '/' && file.rfind("../", 0) != 0 && file != "..")
                                     : (file.size() > base.size() && file.compare(0, base.size(), base) == 0);
    if (inside) {
        std::string rest = base.empty() ? file : file.substr(base.size());
        if (rest.rfind("./", 0) == 0) rest = rest.substr(2);
        return rest;
    }
    // Outside the project folder: the way there from the project folder, as one escaped name.
    std::string relative = file;
    if (!base.empty() && base.front() == '/' && file.front() == '/') {
        const std::vector<std::string> a = platform::SplitComponents(base), b = platform::SplitComponents(file);
        std::size_t k = 0;
        while (k < a.size() && k < b.size() && a[k] == b[k]) ++k;
        relative.clear();
        for (std::size_t i = k; i < a.size(); ++i) relative += "../";
        for (std::size_t i = k; i < b.size(); ++i) relative += (i > k ? "/" : "") + b[i];
    }
    return EscapedName(relative);
}

// ---- the commit -------------------------------------------------------------------------------

namespace {

// Why the backup folder cannot take backups ("" when it can; `there`: it exists already). It is
// made when it is missing; a symbolic link is never followed.
std::string BackupFolderProblem(FileOps& files, const std::string& backupFolder, bool& there) {
    const std::string folder = WithoutSlash(backupFolder);
    FileStat st;
    there = files.Stat(folder, st) && st.directory;
    if (there) return {};
    if (files.Stat(folder, st)) {
        if (st.symlink) return "the backup folder " + backupFolder + " is a symbolic link, which is not followed";
        return "the backup folder " + backupFolder + " cannot be made: a file of that name is in the way";
    }
    if (files.MakeFolder(folder)) return {};
    if (files.Stat(folder, st) && st.directory) return {};
    return "the backup folder " + backupFolder +
           " cannot be made: the project folder is read-only or may not be written";
}

}  // namespace

namespace {

// The pending copies of the run reach the disk in one step before anything relies on them; a copy
// that cannot be flushed is left out of the commit.
void FlushPendingCopies(ChangeSet& cs) {
    std::vector<std::string> paths;
    for (const PendingChange& c : cs.changes)
        if (c.status == ChangeStatus::Pending && c.replace) paths.push_back(c.pendingPath);
    if (paths.empty() || cs.files.FlushAll(paths)) return;
    for (PendingChange& c : cs.changes) {
        if (c.status != ChangeStatus::Pending || !c.replace || cs.files.Flush(c.pendingPath)) continue;
        cs.files.Remove(c.pendingPath);
        c.status = ChangeStatus::Refused;
        cs.Problem(c.name, "its rewritten copy could not be written; left as it is");
    }
}

}  // namespace

namespace {

bool AnyToReplace(const ChangeSet& cs) {
    return std::any_of(cs.changes.begin(), cs.changes.end(),
                       [](const PendingChange& c) { return c.status == ChangeStatus::Pending && c.replace; });
}

void RefuseAll(ChangeSet& cs) {
    for (PendingChange& c : cs.changes)
        if (c.status == ChangeStatus::Pending) c.status = ChangeStatus::Refused;
}

// The opened project or group file goes into the backup folder too, changed or not.
void KeepProjectFile(ChangeSet& cs) {
    const ToolState& st = cs.state;
    if (st.ProjectPath.empty() || cs.Find(st.ProjectPath)) return;
    FileStat ps;
    std::string bytes;
    if (!cs.files.Stat(st.ProjectPath, ps) || !ps.regular || !cs.files.Read(st.ProjectPath, bytes)) {
        cs.Problem(st.ProjectFileTitle, "cannot be read, so no copy of it went into the backup folder");
        return;
    }
    PendingChange c;
    c.path = st.ProjectPath;
    c.name = st.ProjectFileTitle;
    c.pendingPath = PendingPathOf(c.path);
    c.before = FingerprintOf(bytes);
    c.mode = ps.mode;
    c.replace = false;
    cs.changes.push_back(std::move(c));
}

// Everything is checked before anything is touched: each file still holds what the run read, its
// pending copy what the run wrote; each gets a backup name that is unique and no file the project
// lists (a module kept in a sub-folder named "Backup" stays what it is), and its folder. A file
// that fails a check is left out. The folders to flush once the backups are made are noted.
void CheckAndNameBackups(ChangeSet& cs, const std::string& backupFolder, std::set<std::string>& flushFolders) {
    FileOps& files = cs.files;
    std::set<std::string, platform::ILess> taken = {kJournalName, std::string(kJournalName) + ".tmp",
                                                    kPendingMarkerName, std::string(kPendingMarkerName) + ".tmp"};
    for (const std::string& listed : cs.listed)
        if (listed.size() > backupFolder.size() && listed.compare(0, backupFolder.size(), backupFolder) == 0)
            taken.insert(listed.substr(backupFolder.size()));
    // What the backup folder holds already, folder by folder (each listed once).
    std::map<std::string, std::set<std::string, platform::ILess>> there;
    const auto onDisk = [&](const std::string& relative) {
        const std::string folder = backupFolder + platform::FolderOf(relative);
        auto it = there.find(folder);
        if (it == there.end()) {
            std::vector<std::string> names;
            files.List(WithoutSlash(folder), names);
            it = there.emplace(folder, std::set<std::string, platform::ILess>(names.begin(), names.end())).first;
        }
        return it->second.count(platform::NameOf(relative)) > 0;
    };
    std::set<std::string> made;
    if (cs.madeBackupFolder) {
        cs.madeFolders.push_back(WithoutSlash(backupFolder));
        made.insert(WithoutSlash(backupFolder));
    }
    for (PendingChange& c : cs.changes) {
        if (c.status != ChangeStatus::Pending) continue;
        FileStat fs;
        const char* why = nullptr;
        if (!files.Stat(c.path, fs) || !fs.regular) why = "is no longer a regular file; left as it is";
        else if (c.replace && !(fs.mode & 0200)) why = "is read-only; left as it is";
        else if (!Holds(files, c.path, c.before))
            why = "has changed on disk since it was read; left as it is (reload first)";
        else if (c.replace && !Holds(files, c.pendingPath, c.after))
            why = "its pending copy has changed; left as it is";
        if (!why) {
            c.backupPath = backupFolder + UniqueName(BackupName(cs.state.ProjectFolder, c.path), taken, onDisk);
            c.backupTemp = PendingPathOf(c.backupPath);
            const std::string folder = platform::FolderOf(c.backupPath);
            // The folders on the way that are not there yet are made after the journal names them.
            for (std::size_t slash = folder.find('/', backupFolder.size()); slash != std::string::npos;
                 slash = folder.find('/', slash + 1)) {
                const std::string step = folder.substr(0, slash);
                FileStat st;
                if (made.count(step) || (files.Stat(step, st) && st.directory)) continue;
                made.insert(step);
                cs.madeFolders.push_back(step);
            }
            for (std::string f = folder; f.size() > backupFolder.size(); f = platform::FolderOf(WithoutSlash(f)))
                flushFolders.insert(platform::FolderOf(WithoutSlash(f)));
            flushFolders.insert(folder);
        }
        if (why) {
            c.status = ChangeStatus::Refused;
            cs.Problem(c.name, why);
        }
    }
}

// The journal comes before the first backup: it replaces the journal of the commit before, whose
// backups this one may replace.
bool WriteCommitJournal(ChangeSet& cs, const std::string& backupFolder) {
    ChangeJournal journal;
    journal.project = cs.state.ProjectPath;
    journal.backupFolder = backupFolder;
    for (const PendingChange& c : cs.changes)
        if (c.status == ChangeStatus::Pending) journal.entries.push_back(EntryOf(c));
    journal.madeFolders = cs.madeFolders;
    if (WriteJournal(cs.files, cs.proofs, journal)) return true;
    const bool proof = cs.proofs.SaveFailed();
    RemoveJournal(cs.files, cs.proofs, backupFolder);
    cs.Problem("Backup", proof ? "the proof of the change journal cannot be kept in the per-user data folder " +
                                     cs.proofs.DataFolder() + "; nothing was changed"
                               : "the change journal cannot be written; nothing was changed");
    return false;
}

// Each old version into the backup folder (the folders on the way made first), and the folders
// flushed.
void MakeBackups(ChangeSet& cs, const std::string& backupFolder, const std::set<std::string>& flushFolders) {
    for (PendingChange& c : cs.changes) {
        if (c.status != ChangeStatus::Pending) continue;
        if (!MakeFolders(cs.files, backupFolder, WithoutSlash(platform::FolderOf(c.backupPath)))) {
            c.status = ChangeStatus::Failed;
            cs.Problem(c.name, c.replace ? "its backup folder cannot be made; left as it is"
                                         : "its copy could not be made in the backup folder");
            continue;
        }
        if (MakeBackup(cs.files, c.path, c.backupPath, c.backupTemp, c.before)) {
            c.status = ChangeStatus::BackedUp;
        } else {
            c.status = ChangeStatus::Failed;
            cs.Problem(c.name, c.replace ? "its backup could not be made; left as it is"
                                         : "its copy could not be made in the backup folder");
        }
    }
    if (FlushFolders(cs.files, flushFolders)) return;
    for (PendingChange& c : cs.changes)
        if (c.status == ChangeStatus::BackedUp) {
            c.status = ChangeStatus::Failed;
            if (c.replace) cs.Problem(c.name, "its backup could not be flushed to disk; left as it is");
        }
}

}  // namespace

bool CreateBackups(ChangeSet& cs) {
    cs.host.WriteLog("Creating Backups");
    FlushPendingCopies(cs);
    if (!AnyToReplace(cs)) {
        RefuseAll(cs);
        return false;
    }
    KeepProjectFile(cs);

    const std::string backupFolder = BackupFolderOf(cs.state);
    bool folderThere = false;
    if (const std::string why = BackupFolderProblem(cs.files, backupFolder, folderThere); !why.empty()) {
        cs.Problem("Backup", why + "; nothing was changed");
        RefuseAll(cs);
        return false;
    }
    std::set<std::string> flushFolders;
    if (!folderThere) flushFolders.insert(platform::FolderOf(WithoutSlash(backupFolder)));
    // (A change that was interrupted and waits for a decision keeps its journal: PrepareWrites let
    // no pending copy of this run be written then.)
    CheckAndNameBackups(cs, backupFolder, flushFolders);
    if (!AnyToReplace(cs) || !WriteCommitJournal(cs, backupFolder)) {
        RefuseAll(cs);
        return false;
    }
    MakeBackups(cs, backupFolder, flushFolders);
    return std::any_of(cs.changes.begin(), cs.changes.end(),
                       [](const PendingChange& c) { return c.status == ChangeStatus::BackedUp && c.replace; });
}

namespace {

// Puts the pending copy of `c` in the place of its file. The file is checked just before (it still
// holds what the run read) and swapped with its pending copy in one step, so that what stood there
// at that very moment is checked again: a version another program saved in between is put back and
// reported, never replaced. Where the disk cannot swap, the pending copy is renamed over the file.
void ReplaceFile(ChangeSet& cs, PendingChange& c) {
    FileOps& files = cs.files;
    const auto keepTheirs = [&](const char* what) {
        c.status = ChangeStatus::Failed;
        cs.Problem(c.name, what);
        if (Holds(files, c.pendingPath, c.after)) files.Remove(c.pendingPath);
    };
    if (!Holds(files, c.path, c.before)) {
        keepTheirs("was saved by another program during the change; it keeps that version and was not rewritten");
        return;
    }
    if (files.Exchange(c.pendingPath, c.path)) {
        if (Holds(files, c.pendingPath, c.before)) {
            c.status = ChangeStatus::Replaced;
            files.Remove(c.pendingPath);  // the old version, which its backup holds
        } else if (files.Exchange(c.pendingPath, c.path)) {
            keepTheirs("was saved by another program during the change; it keeps that version and was not rewritten");
        } else {
            c.status = ChangeStatus::Replaced;
            cs.Problem(c.name, "was saved by another program during the change; that version is in " +
                                   platform::NameOf(c.pendingPath) + " beside it");
        }
        return;
    }
    if (files.Rename(c.pendingPath, c.path)) {
        c.status = ChangeStatus::Replaced;
    } else {
        c.status = ChangeStatus::Failed;
        cs.Problem(c.name, "could not be replaced by its rewritten copy; left as it is");
    }
}

}  // namespace

std::size_t RenameFiles(ChangeSet& cs) {
    FileOps& files = cs.files;
    cs.host.WriteLog("Renaming Files");
    std::set<std::string> folders;
    bool any = false;
    for (PendingChange& c : cs.changes) {
        if (c.status != ChangeStatus::BackedUp || !c.replace) continue;
        any = true;
        ReplaceFile(cs, c);
        if (c.status == ChangeStatus::Replaced) folders.insert(platform::FolderOf(c.path));
    }
    if (!any) return 0;
    // Once more after the last rename: a program that saved a file in place while it was being
    // replaced wrote into its backup (a second name of the old file) or into the new file.
    for (const PendingChange& c : cs.changes) {
        if (c.status != ChangeStatus::Replaced) continue;
        if (!Holds(files, c.backupPath, c.before))
            cs.Problem(c.name, "was saved by another program while it was being replaced; that version is in " +
                                   c.backupPath + ", and the file holds the rewritten version");
        else if (!Holds(files, c.path, c.after))
            cs.Problem(c.name, "was saved by another program just after it was rewritten; it holds that version");
    }
    const std::size_t replaced = cs.Replaced();
    if (!FlushFolders(files, folders))
        cs.Problem("Backup", "the replaced files could not be flushed to disk; the next load checks them");
    const std::string backupFolder = BackupFolderOf(cs.state);
    if (!WriteJournal(files, cs.proofs, JournalOf(cs, backupFolder, ChangeJournal::State::Committed)))
        cs.Problem("Backup", "the change journal could not be completed; the next load completes it");
    cs.stats.filesReplaced += replaced;
    cs.state.UndoAvailable = ChangeCanBeUndone(cs.state, cs.files);
    return replaced;
}

std::size_t CommitChanges(ChangeSet& cs) {
    const double t0 = cs.host.Seconds();
    std::size_t replaced = 0;
    if (CreateBackups(cs)) replaced = RenameFiles(cs);
    DiscardPendingCopies(cs);
    cs.stats.commitSeconds += cs.host.Seconds() - t0;
    return replaced;
}

namespace {

// Removes the pending copies that `marker` says a run may have written (each one that was not there
// before the run); `removed` gets a line for each. False when one could not be removed.
bool RemoveMarkedPendingCopies(FileOps& files, const PendingMarker& marker, const std::set<std::string>& listed,
                               std::string* removed) {
    bool all = true;
    for (const PendingMarker::File& f : marker.files) {
        const std::string pending = PendingPathOf(f.path);
        if (!listed.count(f.path) || listed.count(pending)) continue;
        FileStat st;
        if (!files.Stat(pending, st) || !st.regular) continue;
        if (f.before.known && Holds(files, pending, f.before)) continue;  // there before the run
        if (!files.Remove(pending)) all = false;
        else if (removed) *removed += "\r\n    " + ShownName(pending);
    }
    return all;
}

}  // namespace

void DiscardPendingCopies(ChangeSet& cs) {
    if (!cs.prepared) return;
    const std::string backupFolder = BackupFolderOf(cs.state);
    // Every pending copy of the run goes (committed ones are in place already); the marker stays
    // for the next load while one could not be removed.
    if (RemoveMarkedPendingCopies(cs.files, cs.marker, cs.listed)) RemovePendingMarker(cs.files, cs.proofs, backupFolder);
    // A folder this run made and left empty goes again (it fails to go when anything is in it).
    if (cs.madeBackupFolder && cs.Replaced() == 0) cs.files.Remove(WithoutSlash(backupFolder));
    cs.prepared = false;
    cs.madeBackupFolder = false;
}

void RemoveLeftPendingCopies(const std::string& projectPath, const std::string& dataFolder, Host& host,
                             FileOps& files) {
    const std::string backupFolder = BackupFolderFor(projectPath);
    RecordProofs proofs(files, dataFolder);
    const std::optional<PendingMarker> marker = ReadPendingMarker(files, proofs, backupFolder);
    if (!marker || !SameFile(marker->project, projectPath)) return;
    // An interrupted change that waits for a decision needs its pending copies.
    if (const std::optional<ChangeJournal> j = ReadJournal(files, proofs, backupFolder);
        j && j->state != ChangeJournal::State::Committed)
        return;
    std::string removed;
    if (RemoveMarkedPendingCopies(files, *marker, ListedPaths(projectPath), &removed))
        RemovePendingMarker(files, proofs, backupFolder);
    if (!removed.empty()) host.WriteLog("Pending copies left by an interrupted run were removed:" + removed);
}

// ---- undo and recovery ------------------------------------------------------------------------

namespace {

// The journal's entries that may be acted on (JournalEntryProblem), and one line for each of the
// others, naming its file.
struct CheckedJournal {
    std::vector<JournalEntry> accepted;
    std::vector<std::string> refused;
};

CheckedJournal CheckJournal(FileOps& files, const ChangeJournal& j, const std::string& projectPath) {
    CheckedJournal c;
    const std::set<std::string> listed = ListedPaths(projectPath);
    for (const JournalEntry& e : j.entries) {
        const std::string why = JournalEntryProblem(files, listed, j.backupFolder, e);
        if (why.empty()) c.accepted.push_back(e);
        else c.refused.push_back(ShownName(e.path) + ": " + why + "; left alone");
    }
    return c;
}

// A file of an entry for messages: its path below the project folder, or the whole path (the
// journal's own name for it is not trusted).
std::string ShownPath(const std::string& projectFolder, const std::string& path) {
    if (!projectFolder.empty() && path.compare(0, projectFolder.size(), projectFolder) == 0)
        return ShownName(path.substr(projectFolder.size()));
    return ShownName(path);
}

// What the change put in the backup folder besides the backups that went back to their files: the
// copies of files it left as they were (while they hold what it copied) and the folders it made
// (those left empty; the others keep what is in them). Called once the journal is gone.
// Removes the folders of `folders` (made by a change that is gone) that are empty, the deepest
// first; `flush` (when given) gets the folders whose entries changed.
void RemoveEmptyFolders(FileOps& files, const std::string& backupFolder, const std::vector<std::string>& folders,
                        std::set<std::string>* flush = nullptr) {
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        FileStat st;
        if (!IsMadeFolderOf(backupFolder, *it) || !files.Stat(*it, st) || !st.directory || !files.Remove(*it)) continue;
        if (flush) {
            flush->erase(*it + "/");
            flush->insert(platform::FolderOf(*it));
        }
    }
}

void TakeBackTheRest(FileOps& files, const std::string& backupFolder, const std::vector<JournalEntry>& entries,
                     const std::vector<std::string>& madeFolders) {
    std::set<std::string> flush;
    for (const JournalEntry& e : entries)
        if (!e.replace && Holds(files, e.backupPath, e.before) && files.Remove(e.backupPath))
            flush.insert(platform::FolderOf(e.backupPath));
    RemoveEmptyFolders(files, backupFolder, madeFolders, &flush);
    for (const std::string& f : flush)
        if (files.Exists(WithoutSlash(f))) files.Flush(WithoutSlash(f));
}

}  // namespace

bool ChangeCanBeUndone(const ToolState& state, FileOps& files) {
    if (state.ProjectPath.empty()) return false;
    RecordProofs proofs(files, state.ApplicationDataFolderLocal);
    const std::optional<ChangeJournal> j = ReadJournal(files, proofs, BackupFolderOf(state));
    if (!j || j->state != ChangeJournal::State::Committed || !SameFile(j->project, state.ProjectPath)) return false;
    const CheckedJournal c = CheckJournal(files, *j, state.ProjectPath);
    return std::any_of(c.accepted.begin(), c.accepted.end(), [](const JournalEntry& e) { return e.replace && e.done; });
}

namespace {

struct UndoCount {
    std::size_t restored = 0;
    std::size_t failed = 0;
};

// Restores every file of `entries` that the journal's commit replaced while it still holds what the
// commit wrote. `lines` gets a line per file that could not be restored, and with `sayRestored` one
// for each of the others too.
UndoCount UndoEntries(FileOps& files, const std::vector<JournalEntry>& entries, const std::string& projectFolder,
                      std::vector<std::string>& lines, bool sayRestored) {
    std::set<std::string> folders;
    UndoCount count;
    for (const JournalEntry& e : entries) {
        if (!e.replace || !e.done) continue;
        const std::string name = ShownPath(projectFolder, e.path);
        FileStat st;
        std::string why;
        if (Holds(files, e.path, e.before)) {
            if (sayRestored) AddProblem(lines, name, "had its old content already");
            continue;
        }
        if (!files.Stat(e.path, st)) why = "is missing; its backup stays in the backup folder";
        else if (!st.regular) why = platform::EntryKindText(e.path) + "; its backup stays in the backup folder";
        else if (!(st.mode & 0200)) why = "is read-only; left as it is";
        else if (!Holds(files, e.path, e.after)) why = "has changed since the last change; left as it is";
        else if (!Holds(files, e.backupPath, e.before)) why = "its backup is missing or has changed; left as it is";
        else if (!RestoreBackup(files, e)) why = "could not be restored; left as it is";
        if (!why.empty()) {
            AddProblem(lines, name, why);
            ++count.failed;
            continue;
        }
        ++count.restored;
        if (sayRestored) AddProblem(lines, name, "got its old content back");
        folders.insert(platform::FolderOf(e.path));
        folders.insert(platform::FolderOf(e.backupPath));
    }
    if (!FlushFolders(files, folders)) {
        AddProblem(lines, "Backup", "the restored files could not be flushed to disk");
        ++count.failed;
    }
    return count;
}

// A backup that got only as far as its temporary name is put in place; the temporary name goes.
void SettleBackup(FileOps& files, const JournalEntry& e, std::set<std::string>& folders) {
    if (!Holds(files, e.backupPath, e.before) && Holds(files, e.backupTemp, e.before) &&
        files.Rename(e.backupTemp, e.backupPath))
        folders.insert(platform::FolderOf(e.backupPath));
    if (files.Exists(e.backupTemp)) files.Remove(e.backupTemp);
}

// A pending copy that this program wrote is removed: one that holds the new content the journal
// names, or the old content (left by a swap cut short) while the file or the backup holds it too.
void RemoveOwnPendingCopy(FileOps& files, const JournalEntry& e) {
    if (!e.replace) return;
    if (Holds(files, e.pendingPath, e.after) ||
        (Holds(files, e.pendingPath, e.before) &&
         (Holds(files, e.path, e.before) || Holds(files, e.backupPath, e.before))))
        files.Remove(e.pendingPath);
}

// Completes an interrupted commit as a whole: every file takes its new content, its backup made
// first where the interruption left none (a crash while the backups were being made). It first
// makes sure that every file can: where one cannot (it changed since, its new content is missing,
// its backup cannot be made), nothing is renamed, `blocker` says why, and the answer is false (the
// caller rolls the change back). `lines` gets a line per file.
bool CompleteCommit(FileOps& files, std::vector<JournalEntry>& entries, const std::string& projectFolder,
                    const std::string& backupFolder, std::vector<std::string>& lines, std::string& blocker) {
    std::set<std::string> folders;
    for (JournalEntry& e : entries) SettleBackup(files, e, folders);
    for (const JournalEntry& e : entries) {
        if (!e.replace || Holds(files, e.path, e.after)) continue;
        const std::string name = ShownPath(projectFolder, e.path);
        if (!Holds(files, e.path, e.before)) {
            blocker = name + ": has changed since the interrupted change";
            return false;
        }
        if (!Holds(files, e.pendingPath, e.after)) {
            blocker = name + ": its new content is missing";
            return false;
        }
    }
    // The backups the interruption left unmade (of the files still to replace, and the copy of a
    // project file the change leaves as it is).
    for (const JournalEntry& e : entries) {
        if ((e.replace && Holds(files, e.path, e.after)) || Holds(files, e.backupPath, e.before)) continue;
        if (MakeFolders(files, backupFolder, WithoutSlash(platform::FolderOf(e.backupPath))) &&
            MakeBackup(files, e.path, e.backupPath, e.backupTemp, e.before)) {
            folders.insert(platform::FolderOf(e.backupPath));
            continue;
        }
        const std::string name = ShownPath(projectFolder, e.path);
        if (!e.replace) {
            AddProblem(lines, name, "no copy of it could be made in the backup folder");
            continue;
        }
        blocker = name + ": its backup could not be made";
        return false;
    }
    if (!FlushFolders(files, folders)) {
        blocker = "Backup: the backups could not be flushed to disk";
        return false;
    }
    folders.clear();
    for (JournalEntry& e : entries) {
        if (!e.replace) continue;
        const std::string name = ShownPath(projectFolder, e.path);
        e.done = false;
        if (Holds(files, e.path, e.after)) {
            e.done = true;
            AddProblem(lines, name, "had its new content already");
        } else if (files.Rename(e.pendingPath, e.path)) {
            e.done = true;
            folders.insert(platform::FolderOf(e.path));
            AddProblem(lines, name, "took its new content");
        } else {
            blocker = name + ": could not take its new content";
            return false;
        }
    }
    for (const JournalEntry& e : entries) RemoveOwnPendingCopy(files, e);
    if (!FlushFolders(files, folders))
        AddProblem(lines, "Backup", "the completed files could not be flushed to disk; the next load checks them");
    return true;
}

// Rolls an interrupted commit back: each file that took its new content gets its backup back, and
// the backups of files that had not been changed yet go (they hold what their files hold).
// `kept` receives the entries that could not be rolled back and still hold what the commit wrote
// (they stay undoable). Answers whether every file now holds its old content.
bool RollBackCommit(FileOps& files, const std::vector<JournalEntry>& entries, const std::string& projectFolder,
                    std::vector<std::string>& lines, std::vector<JournalEntry>& kept) {
    std::set<std::string> folders;
    bool all = true;
    for (const JournalEntry& e : entries) {
        SettleBackup(files, e, folders);
        if (!e.replace) continue;
        const std::string name = ShownPath(projectFolder, e.path);
        if (Holds(files, e.path, e.before)) {
            AddProblem(lines, name, "had not been changed yet; it keeps its old content");
            if (Holds(files, e.backupPath, e.before) && files.Remove(e.backupPath))
                folders.insert(platform::FolderOf(e.backupPath));
        } else if (Holds(files, e.path, e.after) && Holds(files, e.backupPath, e.before) && RestoreBackup(files, e)) {
            folders.insert(platform::FolderOf(e.path));
            folders.insert(platform::FolderOf(e.backupPath));
            AddProblem(lines, name, "got its old content back");
        } else {
            all = false;
            if (Holds(files, e.path, e.after) && Holds(files, e.backupPath, e.before)) {
                JournalEntry k = e;
                k.done = true;
                kept.push_back(k);
                AddProblem(lines, name,
                           "could not be rolled back; it keeps its new content, and Undo can take it back");
            } else {
                AddProblem(lines, name,
                           "has changed since the interrupted change, or its backup is missing; left as it is");
            }
        }
        RemoveOwnPendingCopy(files, e);
    }
    if (!FlushFolders(files, folders)) {
        AddProblem(lines, "Backup", "the restored files could not be flushed to disk");
        all = false;
    }
    return all;
}

}  // namespace

void UndoLastChange(ToolState& state, Host& host, FileOps& files, RewriteStats* stats) {
    const HeldLogs held(host);
    host.WriteLog("Undoing Last Change");
    host.HourGlassOn();
    const std::string backupFolder = BackupFolderOf(state);
    RecordProofs proofs(files, state.ApplicationDataFolderLocal);
    std::optional<ChangeJournal> j =
        ChangeCanBeUndone(state, files) ? ReadJournal(files, proofs, backupFolder) : std::nullopt;
    std::vector<std::string> problems;
    std::string first = "Last Changes Undone";
    std::size_t restored = 0;
    const double start = host.Seconds();
    if (!j) {
        first = "There is no change to undo";
    } else {
        const CheckedJournal checked = CheckJournal(files, *j, state.ProjectPath);
        problems = checked.refused;
        j->state = ChangeJournal::State::Undoing;
        j->entries = checked.accepted;
        if (!WriteJournal(files, proofs, *j)) {
            first = "The change journal cannot be written; nothing was undone";
        } else {
            restored = UndoEntries(files, j->entries, state.ProjectFolder, problems, false).restored;
            if (restored == 0) first = "Nothing was undone:";
            if (!RemoveJournal(files, proofs, backupFolder))
                AddProblem(problems, "Backup", "the change journal could not be removed");
            else
                TakeBackTheRest(files, backupFolder, j->entries, j->madeFolders);
        }
    }
    state.UndoAvailable = false;
    const double t0 = host.Seconds();
    if (j) host.LoadProject(true);
    if (stats) {
        stats->commitSeconds += t0 - start;
        stats->reloadSeconds += host.Seconds() - t0;
        stats->filesReplaced += restored;
    }
    state.UndoAvailable = ChangeCanBeUndone(state, files);
    host.Beep();
    host.HourGlassOff();
    host.MyMsgBox(OutcomeMessage(first, problems), msgbox::kOKOnly, "", align::kCenter);
}

namespace {

bool RecoverFromJournal(const std::string& projectPath, RecordProofs& proofs, Host& host, FileOps& files,
                        std::vector<std::string>& emptied);

// A journal or a marker in the backup folder that this program did not write for this user is left
// as it is; the user is told once which file was ignored and why.
void TellForeignRecords(const std::string& projectPath, RecordProofs& proofs, Host& host, FileOps& files) {
    const std::string backupFolder = BackupFolderFor(projectPath);
    const std::string projectFolder = platform::FolderOf(projectPath);
    std::vector<std::string> lines;
    for (RecordKind kind : {RecordKind::Journal, RecordKind::Marker}) {
        const FoundRecord found = FindRecord(files, proofs, backupFolder, kind);
        if (found.trust != RecordTrust::Foreign) continue;
        const std::string identity = std::string(RecordName(kind)) + '\n' + (found.what.empty() ? found.text : found.what);
        if (proofs.Told(backupFolder, identity)) continue;
        const std::string why =
            found.what.empty() ? "Quillet did not write it for you (it may have come with the project from someone else)"
                               : found.what;
        AddProblem(lines, ShownPath(projectFolder, found.path),
                   why + "; it was ignored: " +
                       (kind == RecordKind::Journal
                            ? "no file was restored, renamed or deleted because of it, and Undo does not offer it"
                            : "no pending copy was deleted because of it"));
        proofs.MarkTold(backupFolder, identity);
    }
    if (lines.empty()) return;
    const std::string text =
        OutcomeMessage("Quillet ignored a record in the backup folder of " + platform::NameOf(projectPath) +
                           " that it did not write for you:",
                       lines);
    host.WriteLog(text);
    host.MyMsgBox(text, msgbox::kOKOnly, "", align::kCenter);
}

}  // namespace

bool RecoverInterruptedChange(const std::string& projectPath, const std::string& dataFolder, Host& host,
                              FileOps& files) {
    RecordProofs proofs(files, dataFolder);
    const std::string backupFolder = BackupFolderFor(projectPath);
    const std::vector<std::string> temps = RemoveStaleRecordTemps(files, proofs, backupFolder, ListedPaths(projectPath));
    for (const std::string& t : temps) host.WriteLog("A temporary file that an interrupted write left was removed: " + t);
    TellForeignRecords(projectPath, proofs, host, files);
    std::vector<std::string> emptied;
    const bool recovered = RecoverFromJournal(projectPath, proofs, host, files, emptied);
    RemoveLeftPendingCopies(projectPath, dataFolder, host, files);
    // A change rolled back takes back the folders it made, once its marker is gone too.
    RemoveEmptyFolders(files, backupFolder, emptied);
    return recovered;
}

namespace {

bool RecoverFromJournal(const std::string& projectPath, RecordProofs& proofs, Host& host, FileOps& files,
                        std::vector<std::string>& emptied) {
    const std::string backupFolder = BackupFolderFor(projectPath);
    std::optional<ChangeJournal> j = ReadJournal(files, proofs, backupFolder);
    if (!j || j->state == ChangeJournal::State::Committed) return false;
    const std::string title = platform::NameOf(projectPath);
    const std::string projectFolder = platform::FolderOf(projectPath);
    const auto tell = [&](const std::string& text) {
        host.WriteLog(text);
        host.MyMsgBox(text, msgbox::kOKOnly, "", align::kCenter);
    };
    if (!SameFile(j->project, projectPath)) {
        tell("The last change to " + ShownName(j->project) +
             " was interrupted before it was complete. Open that project to complete the change or to roll it back; "
             "until then no change can be made to " +
             title + ".");
        return false;
    }

    const bool undoing = j->state == ChangeJournal::State::Undoing;
    const std::string what = undoing ? "undo of " + title : "change to " + title;
    CheckedJournal checked = CheckJournal(files, *j, projectPath);
    if (std::none_of(checked.accepted.begin(), checked.accepted.end(),
                     [](const JournalEntry& e) { return e.replace; })) {
        tell(OutcomeMessage(
            "The change journal of an interrupted " + what + " names no file this project lists; nothing was done.",
            checked.refused));
        return false;
    }

    // The user decides; nothing is changed without an answer.
    std::string question = "The last " + what + " was interrupted before it was complete. It concerns:";
    for (const JournalEntry& e : checked.accepted)
        if (e.replace && (!undoing || e.done)) question += "\r\n    " + ShownPath(projectFolder, e.path);
    if (undoing)
        question +=
            "\r\n\r\nYes: complete the undo (these files get back the content they had before the change)."
            "\r\nNo: leave everything as it is now; you are asked again when the project is next opened.";
    else
        question +=
            "\r\n\r\nYes: complete the change (these files take their new content)."
            "\r\nNo: roll the change back (these files get back the content they had before it)."
            "\r\nCancel: leave everything as it is now; you are asked again when the project is next opened.";
    if (!checked.refused.empty())
        question += "\r\n\r\nThe change journal also names files that this project does not list; they are left alone.";
    const int answer = host.MyMsgBox(question, (undoing ? msgbox::kYesNo : msgbox::kYesNoCancel) | msgbox::kQuestion,
                                     "", align::kCenter);
    const bool complete = answer == msgbox::kYes, rollBack = !undoing && answer == msgbox::kNo;
    if (!complete && !rollBack) {
        host.WriteLog("The interrupted " + what + " was left as it is");
        return false;
    }

    std::vector<std::string> lines;
    std::string first;
    // Rolls the change back; `why` (when given) says why it could not be completed instead.
    const auto rollBackAll = [&](const std::string& why) {
        std::vector<JournalEntry> kept;
        const bool all = RollBackCommit(files, checked.accepted, projectFolder, lines, kept);
        if (why.empty())
            first = all ? "The interrupted " + what + " has now been rolled back:"
                        : "The interrupted " + what + " was rolled back only in part:";
        else
            first = "The interrupted " + what + " could not be completed (" + why + "), so it was rolled back" +
                    (all ? ":" : " only in part:");
        j->entries = kept;
        j->state = ChangeJournal::State::Committed;
        if (kept.empty() ? !RemoveJournal(files, proofs, backupFolder) : !WriteJournal(files, proofs, *j))
            AddProblem(lines, "Backup", "the change journal could not be brought up to date");
        else if (kept.empty()) {
            TakeBackTheRest(files, backupFolder, checked.accepted, j->madeFolders);
            emptied = j->madeFolders;
        }
    };
    if (undoing) {
        const bool all = UndoEntries(files, checked.accepted, projectFolder, lines, true).failed == 0;
        first = all ? "The interrupted " + what + " has now been completed:"
                    : "The interrupted " + what + " was completed only in part:";
        if (!RemoveJournal(files, proofs, backupFolder))
            AddProblem(lines, "Backup", "the change journal could not be removed");
        else
            TakeBackTheRest(files, backupFolder, checked.accepted, j->madeFolders);
    } else if (complete) {
        std::string blocker;
        if (CompleteCommit(files, checked.accepted, projectFolder, backupFolder, lines, blocker)) {
            first = "The interrupted " + what + " has now been completed:";
            j->entries = checked.accepted;
            j->state = ChangeJournal::State::Committed;
            if (!WriteJournal(files, proofs, *j))
                AddProblem(lines, "Backup", "the change journal could not be brought up to date");
        } else {
            lines.clear();
            rollBackAll(blocker);
        }
    } else {
        rollBackAll("");
    }
    lines.insert(lines.end(), checked.refused.begin(), checked.refused.end());
    tell(OutcomeMessage(first, lines));
    return true;
}

}  // namespace

}  // namespace engine
