// Preparing and committing a change: the change set of a rewrite, its pending copies, the backups
// and the journal, and the renames that put the rewritten files in place (commit.h). Undo and the
// recovery of an interrupted change are in undo.cpp; the file steps both use in changefiles.cpp.
#include "engine/commit.h"

#include <algorithm>
#include <map>
#include <set>

#include "engine/changefiles.h"
#include "engine/loader.h"
#include "platform/fileio.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace engine {

using detail::AddProblem;
using detail::BackupFolderOf;
using detail::FlushFolders;
using detail::Holds;
using detail::MakeBackup;
using detail::RemoveMarkedPendingCopies;
using detail::SameFile;
using platform::WithoutSlash;

namespace {

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

// Room kept in a backup's name for " (n)" and the ".qlt" of its temporary name.
constexpr std::size_t kNameRoom = 16;
constexpr std::size_t kLongestName = 255;

// `name` (relative to the backup folder) whose last component, with " (n)" and ".qlt" added, would
// be longer than the system allows for a name (a file far outside the project folder has a long
// escaped name): its middle gives way to "~" and 16 hexadecimal digits of its hash, its extension
// stays.
std::string FittingName(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
    const std::string last = name.substr(folder.size());
    if (last.size() + kNameRoom <= kLongestName) return name;
    std::string hash(1, '~');
    hash += HexOf(Sha256(last)).substr(0, 16);
    const std::size_t dot = last.rfind('.');
    const std::string extension = dot != std::string::npos && dot > 0 && last.size() - dot <= 16 ? last.substr(dot) : "";
    const std::size_t keep = kLongestName - kNameRoom - hash.size() - extension.size();
    return folder + last.substr(0, keep) + hash + extension;
}

// `name` made unique among `taken` and the names that `onDisk` finds in the backup folder (compared
// without regard to case, so that a backup folder copied to a disk that ignores case still holds
// every file): " (2)", " (3)", ... before the extension of its last component. A name on disk is
// free only where `ours` says that it is an older backup of ours, which may be replaced (one
// generation of backups is kept); `ours` then gives what it holds.
template <class OnDisk, class Ours>
std::string UniqueName(const std::string& wanted, std::set<std::string, platform::ILess>& taken, OnDisk onDisk,
                       Ours ours, Fingerprint& replaces) {
    const std::string name = FittingName(wanted);
    std::string candidate = name;
    const std::size_t slash = name.rfind('/');
    const std::size_t dot = name.rfind('.');
    const std::size_t cut =
        (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) ? dot : name.size();
    const auto free = [&](const std::string& c) {
        replaces = Fingerprint{};
        if (taken.count(c) || taken.count(PendingPathOf(c)) || onDisk(PendingPathOf(c))) return false;
        return !onDisk(c) || ours(c, replaces);
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
    j.older = cs.older;
    if (state == ChangeJournal::State::Committed) j.older = detail::OlderNotReplaced(j);
    return j;
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
// Why the proof of a record could not be kept ("" when it was not the proof that failed).
std::string ProofProblem(RecordProofs& proofs) {
    if (const std::string& why = proofs.StoreProblem(); !why.empty())
        return "Quillet cannot keep the proof of its change journal safely: " + why;
    if (proofs.SaveFailed())
        return "the proof of the change journal cannot be kept in the per-user data folder " + proofs.DataFolder();
    return {};
}

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
    if (!cs.proofs.Ready()) {
        const std::string why = ProofProblem(cs.proofs);
        return refuse(!why.empty() ? why
                                   : "the proof of the change journal cannot be kept in the per-user data folder " +
                                         cs.proofs.DataFolder());
    }
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
    if (!WritePendingMarker(files, cs.proofs, backupFolder, marker)) {
        const std::string why = ProofProblem(cs.proofs);
        return refuse(!why.empty() ? why : "the backup folder " + backupFolder + " cannot be written");
    }
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
    const auto refuse = [&](const std::string& why) {
        cs.Problem(name, why);
        cs.refused.insert(path);
        drop();
        return false;
    };
    if (cs.listed.count(pending))
        return refuse("its pending copy " + platform::NameOf(pending) + " would be a file this project lists; left as it is");
    // The loader would refuse the result: the project could not be opened again.
    if (content.size() > kMaxFileBytes)
        return refuse("its rewritten version would be larger than " + MaxFileSizeText() +
                      ", the largest file Quillet reads, so the project could not be loaded again; left as it is");
    if (platform::NameTooLong(pending))
        return refuse("the name of its rewritten copy, " + ShownName(platform::NameOf(pending)) +
                      ", would be longer than the system allows (" + platform::NameLimitsText() + "); left as it is");
    if (after == (existing ? existing->before : read.before)) {
        // Nothing changes: no pending copy.
        if (existing) {
            cs.files.Remove(pending);
            drop();
        }
        return true;
    }
    // The same file listed under two names (through a linked folder, say) has one pending copy: it
    // is rewritten once, under the name met first.
    const std::string realPending = platform::AbsolutePath(pending);
    for (const PendingChange& c : cs.changes)
        if (c.path != path && c.replace && c.realPending == realPending)
            return refuse("is the same file as " + ShownName(c.name) +
                          ", which the project also lists; it was rewritten once, as " + ShownName(c.name) +
                          ", and left as it is under this name");
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
            return refuse(platform::NameOf(pending) + ", which Quillet did not write, stands where the rewritten copy " +
                          "goes" + (what == "is a regular file" ? std::string() : " (it " + what + ")") +
                          "; left as it is. Move or rename " + platform::NameOf(pending) + " to change it");
        }
        if (!cs.files.Remove(pending))
            return refuse("its pending copy " + platform::NameOf(pending) + " cannot be replaced; left as it is");
    }
    // Flushed to disk with all the others before the commit (CreateBackups), which also reads each
    // one back.
    if (!cs.files.Write(pending, content, read.mode)) {
        cs.files.Remove(pending);
        return refuse("its rewritten copy could not be written; left as it is");
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
    c.realPending = realPending;
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

// The backups that our own earlier change put in the backup folder and that are still as it left
// them (relative name -> content): the backups of the last change, which this one supersedes, and
// the older ones its journal carried. The next backup of the same name replaces such a file; no
// other file in the backup folder is ever replaced. They go into the journal of this change too, so
// that a later change still knows them.
std::map<std::string, Fingerprint> OurEarlierBackups(ChangeSet& cs, const std::string& backupFolder) {
    std::map<std::string, Fingerprint> ours;
    const std::optional<ChangeJournal> earlier = ReadJournal(cs.files, cs.proofs, backupFolder);
    if (!earlier || earlier->state != ChangeJournal::State::Committed) return ours;
    std::vector<OlderBackup> all = earlier->older;
    for (const JournalEntry& e : earlier->entries) all.push_back(OlderBackup{e.backupPath, e.before});
    for (const OlderBackup& o : all) {
        FileStat st;
        if (!BackupPathProblem(cs.files, cs.listed, backupFolder, o.path).empty() || !cs.files.Stat(o.path, st) ||
            !st.regular || st.size != o.content.size)
            continue;
        ours[o.path.substr(backupFolder.size())] = o.content;
        cs.older.push_back(o);
    }
    return ours;
}

// Everything is checked before anything is touched: each file still holds what the run read, its
// pending copy what the run wrote; each gets a backup name that is unique and no file the project
// lists (a module kept in a sub-folder named "Backup" stays what it is), and its folder. A file
// that fails a check is left out. The folders to flush once the backups are made are noted.
void CheckAndNameBackups(ChangeSet& cs, const std::string& backupFolder, std::set<std::string>& flushFolders) {
    FileOps& files = cs.files;
    const std::map<std::string, Fingerprint> earlier = OurEarlierBackups(cs, backupFolder);
    // (Its content is checked once more just before it is replaced: MakeBackup.)
    const auto ours = [&](const std::string& relative, Fingerprint& content) {
        const auto it = earlier.find(relative);
        if (it == earlier.end()) return false;
        content = it->second;
        return true;
    };
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
            c.backupPath =
                backupFolder + UniqueName(BackupName(cs.state.ProjectFolder, c.path), taken, onDisk, ours, c.replaces);
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
    journal.older = cs.older;
    if (WriteJournal(cs.files, cs.proofs, journal)) return true;
    const std::string proof = ProofProblem(cs.proofs);
    RemoveJournal(cs.files, cs.proofs, backupFolder);
    cs.Problem("Backup", (proof.empty() ? "the change journal cannot be written" : proof) + "; nothing was changed");
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
        if (MakeBackup(cs.files, c.path, c.backupPath, c.backupTemp, c.before, c.replaces)) {
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

}  // namespace engine
