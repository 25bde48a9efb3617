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

struct ChangeJournal {
    enum class State { Committing, Committed, Undoing };
    std::string project;       // the project or group file the change was made on
    std::string backupFolder;  // ends in "/"
    State state = State::Committing;
    std::vector<JournalEntry> entries;
};

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
};

std::string PendingMarkerText(const PendingMarker& marker);
std::optional<PendingMarker> ParsePendingMarker(const std::string& text);
// Written in one atomic step, like the journal.
bool WritePendingMarker(FileOps& files, const std::string& backupFolder, const PendingMarker& marker);
// Nothing when there is none, it cannot be parsed, or the backup folder is not a real folder.
std::optional<PendingMarker> ReadPendingMarker(FileOps& files, const std::string& backupFolder);
bool RemovePendingMarker(FileOps& files, const std::string& backupFolder);

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

// Writes the journal in one atomic step (temporary file, flushed, renamed, folder flushed).
bool WriteJournal(FileOps& files, const ChangeJournal& journal);
// Nothing when there is no journal, it cannot be read or parsed, or the backup folder is not a real
// folder (a symbolic link is not followed).
std::optional<ChangeJournal> ReadJournal(FileOps& files, const std::string& backupFolder);
bool RemoveJournal(FileOps& files, const std::string& backupFolder);

}  // namespace engine
