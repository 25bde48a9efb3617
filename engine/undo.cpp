// Undo of the last change and the recovery of a change that was cut short (commit.h): each file the
// change replaced gets its old version back, while it still holds what the change wrote; what the
// change put in the backup folder is taken back. A change cut short is completed or rolled back as
// the user decides. The commit itself is in commit.cpp; the file steps both use in changefiles.cpp.
#include "engine/commit.h"

#include <algorithm>
#include <set>

#include "engine/changefiles.h"
#include "engine/loader.h"
#include "platform/fileio.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace engine {

using detail::AddProblem;
using detail::BackupFolderFor;
using detail::BackupFolderOf;
using detail::FlushFolders;
using detail::Holds;
using detail::MakeBackup;
using detail::OlderContent;
using detail::OlderNotReplaced;
using detail::RemoveMarkedPendingCopies;
using detail::SameFile;
using detail::ShownPath;
using platform::WithoutSlash;

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
    const std::string projectFolder = platform::FolderOf(projectPath);
    for (const JournalEntry& e : j.entries) {
        std::string why = JournalEntryProblem(files, listed, j.backupFolder, e);
        // A journal that came with a moved or copied folder touches nothing outside that folder,
        // also not through a linked folder in it.
        if (why.empty() && !j.movedFrom.empty() && platform::AbsolutePath(e.path).rfind(projectFolder, 0) != 0)
            why = "lies outside the project folder, which was moved or copied since the change";
        if (why.empty()) c.accepted.push_back(e);
        else c.refused.push_back(ShownName(e.path) + ": " + why + "; left alone");
    }
    return c;
}

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

// What the change put in the backup folder besides the backups that went back to their files: the
// copies of files it left as they were (while they hold what it copied) and the folders it made
// (those left empty; the others keep what is in them). Called once the journal is gone.
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

// The journal once nothing of its change is left to undo, or only `entries` are: written with them
// (the copies of files it left as they were stay with them); without any, it goes, unless older
// backups of ours are left in the backup folder, which the next change may still replace (a
// journal with nothing to undo keeps them). False when it could not be written or removed.
bool SettleJournal(FileOps& files, RecordProofs& proofs, ChangeJournal j, const std::vector<JournalEntry>& entries) {
    const std::vector<OlderBackup> older = OlderNotReplaced(j);
    j.state = ChangeJournal::State::Committed;
    j.older = older;
    if (!entries.empty()) {
        std::vector<JournalEntry> kept = entries;
        for (const JournalEntry& e : j.entries)
            if (!e.replace) kept.push_back(e);
        j.entries = std::move(kept);
        return WriteJournal(files, proofs, j);
    }
    if (older.empty()) return RemoveJournal(files, proofs, j.backupFolder);
    j.entries.clear();
    j.madeFolders.clear();
    return WriteJournal(files, proofs, j);
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
// for each of the others too. `left` gets the entries that can still be undone later: the file
// holds what the commit wrote and its backup its old version, but it could not take it back now.
UndoCount UndoEntries(FileOps& files, const std::vector<JournalEntry>& entries, const std::string& projectFolder,
                      std::vector<std::string>& lines, bool sayRestored, std::vector<JournalEntry>& left) {
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
        // Tried again by the next undo: the file still holds what the commit wrote, and its backup
        // its old version.
        const auto later = [&](const std::string& what) {
            left.push_back(e);
            return what + ", so it keeps its new content; its old version is kept in " +
                   ShownPath(projectFolder, e.backupPath) + ", and Undo can be run again to restore it";
        };
        if (!files.Stat(e.path, st)) why = "is missing; its backup stays in the backup folder";
        else if (!st.regular) why = platform::EntryKindText(e.path) + "; its backup stays in the backup folder";
        else if (!Holds(files, e.path, e.after)) why = "has changed since the last change; left as it is";
        else if (!Holds(files, e.backupPath, e.before)) why = "its backup is missing or has changed; left as it is";
        else if (!(st.mode & 0200)) why = later("is read-only (make it writable first)");
        else if (!RestoreBackup(files, e)) why = later("could not be given its old version back now");
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
bool CompleteCommit(FileOps& files, const ChangeJournal& j, std::vector<JournalEntry>& entries,
                    const std::string& projectFolder, const std::string& backupFolder, std::vector<std::string>& lines,
                    std::string& blocker) {
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
            MakeBackup(files, e.path, e.backupPath, e.backupTemp, e.before, OlderContent(j, e.backupPath))) {
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
            std::vector<JournalEntry> left;
            restored = UndoEntries(files, j->entries, state.ProjectFolder, problems, false, left).restored;
            if (restored == 0) first = "Nothing was undone:";
            if (!SettleJournal(files, proofs, *j, left))
                AddProblem(problems, "Backup",
                           left.empty() ? "the change journal could not be removed"
                                        : "the change journal could not be brought up to date; the next load asks "
                                          "whether to complete the undo");
            else if (left.empty())
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
    const RecordKind kinds[] = {RecordKind::Journal, RecordKind::Marker};
    std::vector<FoundRecord> found;
    for (RecordKind kind : kinds) found.push_back(FindRecord(files, proofs, backupFolder, kind));
    // (Known once the proofs were looked at.)
    if (const std::string& why = proofs.StoreProblem(); !why.empty()) {
        // Said once while the program runs: no proof can be kept of having said it.
        static std::set<std::string> told;
        if (!told.insert(proofs.DataFolder() + '\n' + why).second) return;
        const std::string text =
            "Quillet trusts none of its records of changes for now: " + why +
            ".\r\nUntil then no change journal or pending-copy marker is trusted, in any project: Undo and the "
            "recovery of an interrupted change are not offered, and no change is made.";
        host.WriteLog(text);
        host.MyMsgBox(text, msgbox::kOKOnly, "", align::kCenter);
        return;
    }
    std::vector<std::string> lines;
    for (std::size_t k = 0; k < found.size(); ++k) {
        const RecordKind kind = kinds[k];
        const FoundRecord& record = found[k];
        if (record.trust == RecordTrust::Own && !record.writtenIn.empty())
            host.WriteLog(ShownPath(projectFolder, record.path) + " was written when the backup folder was " +
                          ShownName(record.writtenIn) + "; the project folder was moved, renamed or copied since");
        if (record.trust != RecordTrust::Foreign) continue;
        const std::string identity =
            std::string(RecordName(kind)) + '\n' + (record.what.empty() ? record.text : record.what);
        if (proofs.Told(backupFolder, identity)) continue;
        const std::string why =
            record.what.empty() ? "Quillet did not write it for you (it may have come with the project from someone else)"
                                : record.what;
        AddProblem(lines, ShownPath(projectFolder, record.path),
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
        question += j->movedFrom.empty()
                        ? "\r\n\r\nThe change journal also names files that this project does not list; they are left "
                          "alone."
                        : "\r\n\r\nThe change journal also names files that this project does not list, or that lie "
                          "outside its folder, which was moved or copied since the change; they are left alone.";
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
        if (!SettleJournal(files, proofs, *j, kept))
            AddProblem(lines, "Backup", "the change journal could not be brought up to date");
        else if (kept.empty()) {
            TakeBackTheRest(files, backupFolder, checked.accepted, j->madeFolders);
            emptied = j->madeFolders;
        }
    };
    if (undoing) {
        std::vector<JournalEntry> left;
        const bool all = UndoEntries(files, checked.accepted, projectFolder, lines, true, left).failed == 0;
        first = all ? "The interrupted " + what + " has now been completed:"
                    : "The interrupted " + what + " was completed only in part:";
        j->entries = checked.accepted;
        if (!SettleJournal(files, proofs, *j, left))
            AddProblem(lines, "Backup", "the change journal could not be brought up to date");
        else if (left.empty())
            TakeBackTheRest(files, backupFolder, checked.accepted, j->madeFolders);
    } else if (complete) {
        std::string blocker;
        if (CompleteCommit(files, *j, checked.accepted, projectFolder, backupFolder, lines, blocker)) {
            first = "The interrupted " + what + " has now been completed:";
            j->entries = checked.accepted;
            j->state = ChangeJournal::State::Committed;
            j->older = OlderNotReplaced(*j);
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


}  // namespace engine
