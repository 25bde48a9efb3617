// The journal of the last commit: which files it replaces, where their old versions went in the
// backup folder, and the fingerprints of the content each file held before and of the content the
// commit wrote. It is written before the first file is replaced and completed at the end, so that a
// commit cut short (a crash, a power cut) is finished at the next load, and so that undo knows
// exactly what the last commit changed. It lives in the backup folder as "Quillet.journal".
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/fileops.h"
#include "engine/fingerprint.h"

namespace engine {

inline constexpr const char* kJournalName = "Quillet.journal";

// A rewrite of file F is written beside it as F & ".qlt", its pending copy, until the commit.
inline constexpr std::string_view kPendingSuffix = ".qlt";
inline std::string PendingPathOf(std::string_view path) { return std::string(path) + std::string(kPendingSuffix); }

struct JournalEntry {
    std::string path;         // native path of the file
    std::string pendingPath;  // its pending copy (path & ".qlt")
    std::string backupPath;   // its old version, inside the backup folder
    std::string backupTemp;   // where the old version is linked first, before it takes its backup name
    std::string name;         // the name shown in messages
    Fingerprint before;       // the content the commit replaces
    Fingerprint after;        // the content the commit writes
    bool replace = true;      // false: the commit only keeps a copy in the backup folder
    bool done = false;        // the file holds `after` (set when the commit completes)
};

// A backup that an earlier change of ours put in the backup folder and that no later change has
// replaced or taken back: it is no longer undone, but the next change may replace it (one
// generation of backups is kept), while it still holds what it held.
struct OlderBackup {
    std::string path;  // inside the backup folder
    Fingerprint content;
};

struct ChangeJournal {
    enum class State { Committing, Committed, Undoing };
    std::string project;       // the project or group file the change was made on
    std::string backupFolder;  // ends in "/"
    State state = State::Committing;
    std::vector<JournalEntry> entries;
    // The folders the commit made in the backup folder (the backup folder itself among them when
    // the commit made it), each before the folders in it: undo removes those it leaves empty.
    std::vector<std::string> madeFolders;
    std::vector<OlderBackup> older;
    // Not written: the backup folder the journal was written in, when it was read from another one
    // (the project folder was moved, renamed or copied since); its names were taken over into
    // this one (ReadJournal). Only files inside the project folder are acted on then.
    std::string movedFrom;
};

// Our two records in a backup folder.
enum class RecordKind { Journal, Marker };

// The proof that a journal or a marker in a backup folder is this program's own, written for this
// user. Everything in a project folder may come from someone else, the backup folder too, and our
// record formats are no secret: a record is trusted only while its text matches a digest kept here,
// outside every project folder, in the per-user data folder ("Changes/"). The digests are keyed
// (HMAC-SHA-256 with a random key of this user's data folder) and bound to the backup folder, so a
// record that came with a project, or that another user's program wrote, or that was copied from
// another backup folder, matches none. A record's digest is added before its text is written and
// the digests of the text it replaces are dropped once it is written (or removed).
class RecordProofs {
public:
    // `dataFolder`: the per-user data folder, ending in "/"; "" keeps and finds no proof.
    RecordProofs(FileOps& files, std::string dataFolder);

    bool Usable() const { return !dataFolder_.empty(); }
    // The proofs can be kept: the user's key is there (made on first use, "Changes/" with mode
    // 0700, the key and the proofs 0600, whatever the umask). False when the data folder cannot
    // be written, or when the proofs are not safe (StoreProblem).
    bool Ready() { return Key(true); }
    // Why no proof can be trusted now, and what to do ("" while they can be): "Changes/", the key
    // or a proof is not a real folder or file of this user's own, or someone else may write it.
    // Then every journal and marker is foreign and no proof is kept.
    const std::string& StoreProblem();
    const std::string& DataFolder() const { return dataFolder_; }
    // The last proof could not be written (the data folder is full or read-only).
    bool SaveFailed() const { return saveFailed_; }
    // Before `text` is written as the record: its digest joins those of the record. False when the
    // proof could not be kept (then the record must not be written).
    bool Expect(const std::string& backupFolder, RecordKind kind, const std::string& text);
    // After the record was written (`text`) or removed (nullptr): only that text's digest stays.
    bool Settle(const std::string& backupFolder, RecordKind kind, const std::string* text);
    bool IsOwn(const std::string& backupFolder, RecordKind kind, const std::string& text);
    // Foreign records the user has been told about (by a text that tells one from another).
    bool Told(const std::string& backupFolder, const std::string& what);
    void MarkTold(const std::string& backupFolder, const std::string& what);

private:
    struct Proof {
        std::vector<std::string> journal, marker, told;  // hexadecimal digests
        std::vector<std::string>& Of(RecordKind kind) { return kind == RecordKind::Journal ? journal : marker; }
    };
    bool Key(bool make);
    // Whether the entry at `path` (a folder or a file) is safe to trust; otherwise notes why.
    bool Safe(const std::string& path, const FileStat& st, bool folder);
    std::string Digest(const std::string& backupFolder, std::string_view what, std::string_view text) const;
    std::string PathFor(const std::string& backupFolder) const;
    Proof Load(const std::string& backupFolder);
    bool Save(const std::string& backupFolder, const Proof& proof);

    FileOps& files_;
    std::string dataFolder_;
    std::string key_;
    std::string problem_;
    bool saveFailed_ = false;
};

// What stands at a record's name in a backup folder.
enum class RecordTrust { None, Own, Foreign };
struct FoundRecord {
    RecordTrust trust = RecordTrust::None;
    std::string path;  // the record's path
    std::string text;  // its bytes (a regular file's)
    std::string what;  // for a foreign record that is no regular file: what it is ("is a FIFO")
    // For our own record that was written in another backup folder (the project folder was moved,
    // renamed or copied since, and the record with it): that folder.
    std::string writtenIn;
};
// Nothing is found (None) where the backup folder is not a real folder (a symbolic link is not
// followed) or nothing stands at the name.
FoundRecord FindRecord(FileOps& files, RecordProofs& proofs, const std::string& backupFolder, RecordKind kind);
// The name of a record in the backup folder ("Quillet.journal", "Quillet.pending").
const char* RecordName(RecordKind kind);

// Removes the temporary files of our records ("Quillet.journal.tmp", "Quillet.pending.tmp") that a
// write cut short left: one whose text we wrote (proven), or an empty one, or one that holds the
// start of one of our records; never one of `listed` (the files the project lists). Answers the
// names removed.
std::vector<std::string> RemoveStaleRecordTemps(FileOps& files, RecordProofs& proofs, const std::string& backupFolder,
                                                const std::set<std::string>& listed);

// The marker of a rewrite under way: written into the backup folder before the first pending copy
// of a run, removed when the run is over. It names the files whose pending copies (file & ".qlt")
// the run may write, each with the fingerprint of the pending copy that was there before (unknown
// when there was none), so that a load after a run cut short removes the copies this program wrote
// and no other.
inline constexpr const char* kPendingMarkerName = "Quillet.pending";

struct PendingMarker {
    std::string project;  // the project or group file of the run
    struct File {
        std::string path;    // native path of the file (its pending copy is path & ".qlt")
        Fingerprint before;  // the pending copy there before the run; unknown: there was none
    };
    std::vector<File> files;
    // Not written: as ChangeJournal::movedFrom.
    std::string movedFrom;
};

std::string PendingMarkerText(const PendingMarker& marker);
std::optional<PendingMarker> ParsePendingMarker(const std::string& text);
// Written in one atomic step, like the journal, with its proof.
bool WritePendingMarker(FileOps& files, RecordProofs& proofs, const std::string& backupFolder,
                        const PendingMarker& marker);
// Our own marker: nothing when there is none, it is foreign (FindRecord) or cannot be parsed. A
// marker written in another backup folder (the project folder was moved since) names the files at
// their new place; one that names files outside its project folder is not acted on then.
std::optional<PendingMarker> ReadPendingMarker(FileOps& files, RecordProofs& proofs, const std::string& backupFolder);
bool RemovePendingMarker(FileOps& files, RecordProofs& proofs, const std::string& backupFolder);

// The journal's text, and back. Parsing fails (nothing) for a damaged or foreign file; where its
// names lead is for JournalEntryProblem to judge.
std::string JournalText(const ChangeJournal& journal);
std::optional<ChangeJournal> ParseJournal(const std::string& text);

// The journal names files and backups; it comes from the project folder and is not trusted. An
// entry is acted on only when its file is one that the project lists (`listed`: ListedPaths), its
// pending copy and backup names are none of those, and its backup lies in the real backup folder
// (no symbolic link or file on the way). Answers "" for such an entry, otherwise why not.
std::string JournalEntryProblem(FileOps& files, const std::set<std::string>& listed, const std::string& backupFolder,
                                const JournalEntry& entry);
// The same for one backup name alone (an older backup, OlderBackup).
std::string BackupPathProblem(FileOps& files, const std::set<std::string>& listed, const std::string& backupFolder,
                              const std::string& backup);

// Writes the journal in one atomic step (its proof kept first; temporary file, flushed, renamed,
// folder flushed).
bool WriteJournal(FileOps& files, RecordProofs& proofs, const ChangeJournal& journal);
// Our own journal: nothing when there is none, it is foreign (FindRecord), it cannot be parsed, or
// it names another backup folder than the one it was written in. One written in another backup
// folder (the project folder was moved, renamed or copied since) comes with the names below its
// old project folder taken over into this one, and `movedFrom` set.
std::optional<ChangeJournal> ReadJournal(FileOps& files, RecordProofs& proofs, const std::string& backupFolder);
bool RemoveJournal(FileOps& files, RecordProofs& proofs, const std::string& backupFolder);

// A folder the journal says its commit made: the backup folder itself or a folder inside it.
bool IsMadeFolderOf(const std::string& backupFolder, const std::string& folder);

}  // namespace engine
