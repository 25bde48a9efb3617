// Pending copies, the commit that turns them into the project's files, the one level of undo, and
// the recovery of a commit or an undo cut short. commit.cpp prepares and commits a change; undo.cpp
// undoes it and recovers one that was interrupted; changefiles.h holds the file steps they share.
//
// A rewrite (Add Code, line numbering, line-number removal) collects its work in a ChangeSet: for
// each file it changes, the file is read and checked (a regular file, writable, unchanged since the
// load), rewritten in memory and written beside it as a pending copy, file & ".qlt", which is
// flushed to disk and read back. Only the pending copies that this run wrote are committed; a
// ".qlt" left by an earlier, cancelled run is never taken.
//
// The commit is CreateBackups followed by RenameFiles:
//   CreateBackups  checks everything before touching anything (the backup folder exists or can be
//                  made; each file still holds what the run read, its pending copy what the run
//                  wrote; each backup name is unique and inside the backup folder), writes the
//                  journal, then links or copies each file's old version into the backup folder
//                  and flushes it. A file whose backup could not be made keeps its old content and
//                  its pending copy, and is reported.
//   RenameFiles    renames each backed-up file's pending copy over it, in one atomic step, flushes
//                  the folders and completes the journal.
// So a file never disappears and always holds either its old or its new content in full, and its
// old content is always in the file or in the backup folder.
//
// Backup names: a file inside the project folder keeps its path below it ("Backup/a.bas",
// "Backup/Sub/b.bas" for a group member or a listed sub-folder); a file outside it (a listed "..",
// an absolute name) gets one escaped name inside "Backup". A name that is taken, by another backup
// of the run or by anything already in the backup folder (compared without regard to case), gets
// " (2)", " (3)", ... before the extension: no file that was in the backup folder before a commit is
// overwritten, moved or removed by it or by its undo, which takes back exactly what the commit put
// there (its backups, the copy of a project file it left as it was, the folders it made). The one
// exception keeps the folder from growing without end: a backup that our own earlier change put
// there (recorded in our journal, and still holding what it recorded) is replaced by the next
// backup of the same name, as one level of undo needs one generation of backups. A name too long
// for the system is shortened (its middle gives way to a hash).
//
// A failed undo stays undoable: the journal keeps the entries it could not take back, and a second
// undo restores them. A project folder that was moved, renamed or copied keeps its journal: names
// are taken over to the new place, and only files inside the project folder that hold what the
// journal recorded are touched.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/fileops.h"
#include "engine/fingerprint.h"
#include "engine/host.h"
#include "engine/journal.h"
#include "engine/loader.h"
#include "engine/model.h"
#include "engine/source.h"
#include "engine/state.h"

namespace engine {

// Time of each phase of a rewrite and what it did (the bench prints these).
struct RewriteStats {
    double rewriteSeconds = 0;  // reading, rewriting, writing and checking the pending copies
    double commitSeconds = 0;   // CreateBackups and RenameFiles (undo: restoring the files)
    double reloadSeconds = 0;   // the reload after the commit (Add Code, undo)
    std::size_t filesRead = 0;
    std::size_t linesRead = 0;
    std::size_t pendingWritten = 0;  // pending copies written and checked
    std::size_t filesReplaced = 0;   // files the commit replaced (or undo restored)
};

enum class ChangeStatus {
    Pending,   // the pending copy is written and checked
    Refused,   // left out by the checks before the commit
    BackedUp,  // its old version is in the backup folder
    Replaced,  // the pending copy took its place
    Failed,    // the backup or the rename failed; the file keeps its old content
};

struct PendingChange {
    std::string path;         // native path of the file
    std::string name;         // name for messages (as listed)
    std::string pendingPath;  // path & ".qlt"
    std::string realPending;  // the pending copy's path with the links of its folders resolved
    std::string backupPath;   // set by CreateBackups
    std::string backupTemp;
    Fingerprint before;   // what the run read
    Fingerprint after;    // what the pending copy holds
    std::string content;  // the pending copy's bytes
    std::uint32_t mode = 0644;
    bool replace = true;  // false: only a copy goes into the backup folder (the project file
                          // that the run leaves as it is)
    std::string project;  // the project that lists the file (its node text); "" for the opened file
    Fingerprint replaces;  // the older backup of ours that its backup replaces; unknown: a free name
    ChangeStatus status = ChangeStatus::Pending;
};

// What one rewrite run has written and what it had to leave alone.
class ChangeSet {
public:
    ChangeSet(ToolState& state, Host& host, FileOps& files);

    ToolState& state;
    Host& host;
    FileOps& files;
    RecordProofs proofs;  // of the journal and the marker, in the per-user data folder
    Pacer pacer;
    std::vector<PendingChange> changes;
    // Files that were refused or failed in this run; later steps of the run leave them alone too.
    std::set<std::string> refused;
    // The native paths of every file the loaded project lists (sources, project and group files):
    // none of them is ever a pending copy or a backup.
    std::set<std::string> listed;
    // The backup folder and the marker of the run are ready (before the first pending copy), or
    // could not be made ready (then nothing is written).
    bool prepared = false;
    bool blocked = false;
    bool madeBackupFolder = false;  // the run made the backup folder (removed again when left empty)
    // The folders the commit makes in the backup folder (the backup folder first when the run
    // made it), parents before the folders in them: recorded in the journal, so that undo removes
    // those it leaves empty.
    std::vector<std::string> madeFolders;
    PendingMarker marker;           // the run's marker, as written
    // The backups of our earlier changes that this one supersedes (the next backup of the same
    // name may replace them): carried in its journal.
    std::vector<OlderBackup> older;
    // One line per file that was skipped or failed ("modA.bas: ..."), in the order met.
    std::vector<std::string> problems;
    RewriteStats stats;

    void Problem(const std::string& name, const std::string& what);
    PendingChange* Find(const std::string& path);
    // Files that the commit replaced.
    std::size_t Replaced() const;
};

// A file read for a rewrite, with what the commit needs to know of it.
struct SourceRead {
    platform::TextLines lines;  // the file as read: one buffer with its lines
    LineArray text;             // a copy to edit, made by the caller that needs one (Lines())
    Fingerprint before;
    std::uint32_t mode = 0644;
    LineArray& Lines() {
        if (text.lines.empty() && !lines.empty()) text = lines.ToLineArray();
        return text;
    }
};

enum class ReadOutcome { Read, Missing, Refused };

// ---- preparing and committing a change (commit.cpp) -------------------------------------------

// Reads a file that a rewrite is about to change. Missing: nothing is there (the caller decides
// whether that is worth a line; later steps of the run leave the file alone). Refused, with a line
// in `changes.problems`: not a regular file, read-only (by its owner's write bit), unreadable, or,
// when `loaded` is known, no longer what the load read ("reload first").
ReadOutcome ReadFileToRewrite(ChangeSet& changes, const std::string& path, const std::string& name,
                              const Fingerprint& loaded, SourceRead& out);

// Writes `text` as the pending copy of `path` (path & ".qlt"): written, flushed to disk and read
// back. False, with a line in `changes.problems`, when that failed (no pending copy is left), or
// when the rewrite is refused before anything is written: it would be larger than the loader reads
// (kMaxFileBytes), the pending copy's name would be longer than the system allows, or the file is
// one that this run rewrote already under another name. Text that equals what was read writes
// nothing and is no change. A second write for the same path replaces the first (the start-up
// call added to a file that Add Code rewrote).
bool WriteLinesToFile(ChangeSet& changes, const std::string& path, const std::string& name, const LineArray& text,
                      const SourceRead& read, const std::string& project);
// The same for a rewrite given as its bytes.
bool WriteContentToFile(ChangeSet& changes, const std::string& path, const std::string& name, std::string content,
                        const SourceRead& read, const std::string& project);

// The two halves of the commit (see the top of this file). CreateBackups returns false when it
// refused the whole commit (nothing was touched); RenameFiles returns the number of files replaced
// and sets state.UndoAvailable. A run with nothing to replace commits nothing (an earlier commit
// stays undoable).
bool CreateBackups(ChangeSet& changes);
std::size_t RenameFiles(ChangeSet& changes);
// CreateBackups then RenameFiles, timed into changes.stats.
std::size_t CommitChanges(ChangeSet& changes);

// Removes the pending copies of this run that were not committed (a cancelled or refused run, a file
// left out) and the run's marker. CommitChanges does it at its end.
void DiscardPendingCopies(ChangeSet& changes);

// `first` followed by one line per problem (the text of the closing message of a command).
std::string OutcomeMessage(const std::string& first, const std::vector<std::string>& problems);
// The first line of a command's closing message: `done`, unless the run changed no file and has
// lines to say why: then "Nothing was changed:" (the lines under it say why), so that a run that
// changed nothing never reads as done.
std::string OutcomeFirstLine(const ChangeSet& changes, const std::string& done);

// The backup name of a file, relative to the backup folder (see the top of this file).
std::string BackupName(const std::string& projectFolder, const std::string& path);

// ---- undo and the recovery of an interrupted change (undo.cpp) -----------------------------------

// Removes the pending copies that a run cut short left beside the files of the project at
// `projectPath`, as its marker names them (only those the run wrote, and only when the marker is
// our own: `dataFolder` holds the proofs), unless an interrupted change still needs them.
// RecoverInterruptedChange ends with it.
void RemoveLeftPendingCopies(const std::string& projectPath, const std::string& dataFolder, Host& host,
                             FileOps& files);

// Undoes the last commit of the loaded project: each file it replaced gets its old version back,
// but only while it still holds what the commit wrote (a file changed since is left alone and
// listed); the backups are moved back, the project reloaded, and "Last Changes Undone" shown with
// what was left alone. A file that still holds what the commit wrote but cannot take its old
// version now (read-only, a folder that may not be written) stays in the journal with its backup:
// the message names it, where its old version is, and that Undo can be run again. The journal goes
// once nothing of the change is left to undo.
void UndoLastChange(ToolState& state, Host& host, FileOps& files, RewriteStats* stats = nullptr);

// Whether the loaded project has a committed change that undo can take back.
bool ChangeCanBeUndone(const ToolState& state, FileOps& files);

// A commit or an undo that was cut short, from the journal in the backup folder beside
// `projectPath`. Only a journal this program wrote for this user is acted on (its proof is kept in
// `dataFolder`, the per-user data folder); a foreign journal or marker is left as it is, and the
// user is told once which file was ignored and why. Even our own journal is checked: only entries
// of files the project lists, with backups in the real backup folder, are acted on; the others are
// named and left alone. The host asks first: a commit is completed (Yes: every file takes its new
// content, its backup made where the interruption left none; where one file cannot, the whole
// change is rolled back), rolled back (No) or left as it is (Cancel, asked again at the next load);
// an undo is completed (Yes) or left. The closing message says for each file what was done. When
// no proof can be trusted (RecordProofs::StoreProblem) every record is foreign; the user is told
// once why and what to set right. Then
// the temporary files of our records and the pending copies that a run cut short left are removed
// (RemoveLeftPendingCopies). True when something was completed or rolled back.
bool RecoverInterruptedChange(const std::string& projectPath, const std::string& dataFolder, Host& host,
                              FileOps& files);

}  // namespace engine
