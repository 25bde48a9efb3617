// The file steps that the commit (commit.cpp) and undo with the recovery of an interrupted change
// (undo.cpp) share. For the write side only: callers use commit.h.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "engine/fileops.h"
#include "engine/fingerprint.h"
#include "engine/journal.h"
#include "engine/state.h"

namespace engine::detail {

// The file at `path` is a regular file that holds exactly `f`.
bool Holds(FileOps& files, const std::string& path, const Fingerprint& f);

// The backup folder of the project file at `projectPath`, and of the loaded project.
std::string BackupFolderFor(const std::string& projectPath);
std::string BackupFolderOf(const ToolState& state);

// The two paths name one file, however they were written.
bool SameFile(const std::string& a, const std::string& b);

// Flushes each folder once; false when one of them could not be flushed.
bool FlushFolders(FileOps& files, const std::set<std::string>& folders);

// Puts the old version of `path`, which holds `before`, at `backupPath`: linked (or copied) to
// the temporary name `backupTemp` first and checked, then renamed into place. What stands at
// `backupPath` is replaced only when it is the older backup that `replaces` says (one of ours that
// holds just that); with `replaces` unknown the name must be free. The caller flushes the backup
// folder before it relies on the backup.
bool MakeBackup(FileOps& files, const std::string& path, const std::string& backupPath, const std::string& backupTemp,
                const Fingerprint& before, const Fingerprint& replaces = {});

// The content that the older backup at `path` of `journal` holds (unknown when it names none).
Fingerprint OlderContent(const ChangeJournal& journal, const std::string& path);
// The older backups of `journal` less those that its entries now use (they hold this change's
// backups, or will).
std::vector<OlderBackup> OlderNotReplaced(const ChangeJournal& journal);

// Adds "name: what" to `problems`.
void AddProblem(std::vector<std::string>& problems, const std::string& name, const std::string& what);

// A file of an entry for messages: its path below the project folder, or the whole path (the
// journal's own name for it is not trusted).
std::string ShownPath(const std::string& projectFolder, const std::string& path);

// Removes the pending copies that `marker` says a run may have written (each one that was not there
// before the run, of a file the project lists, inside the project folder when the marker came from
// another place); `removed` gets a line for each. False when one could not be removed.
bool RemoveMarkedPendingCopies(FileOps& files, const PendingMarker& marker, const std::set<std::string>& listed,
                               std::string* removed = nullptr);

}  // namespace engine::detail
