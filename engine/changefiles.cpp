#include "engine/changefiles.h"

#include <algorithm>

#include "engine/loader.h"
#include "engine/model.h"
#include "platform/fileio.h"
#include "platform/paths.h"

namespace engine::detail {

bool Holds(FileOps& files, const std::string& path, const Fingerprint& f) {
    FileStat st;
    std::string bytes;
    if (!files.Stat(path, st) || !st.regular || st.size != f.size || !files.Read(path, bytes)) return false;
    return FingerprintOf(bytes) == f;
}

std::string BackupFolderFor(const std::string& projectPath) { return BackupFolderIn(platform::FolderOf(projectPath)); }

std::string BackupFolderOf(const ToolState& state) {
    if (!state.model.BackupFolder.empty()) return state.model.BackupFolder;
    return BackupFolderFor(state.ProjectPath);
}

bool SameFile(const std::string& a, const std::string& b) {
    return platform::NormalizePath(a) == platform::NormalizePath(b);
}

bool FlushFolders(FileOps& files, const std::set<std::string>& folders) {
    bool ok = true;
    for (const std::string& f : folders) ok = files.Flush(f.empty() ? std::string(".") : platform::WithoutSlash(f)) && ok;
    return ok;
}

bool MakeBackup(FileOps& files, const std::string& path, const std::string& backupPath, const std::string& backupTemp,
                const Fingerprint& before, const Fingerprint& replaces) {
    if (files.Exists(backupTemp) && !files.Remove(backupTemp)) return false;
    if (!files.LinkOrCopy(path, backupTemp)) return false;
    // Just before the rename, once more: only our own older backup is replaced, never a file that
    // came into the backup folder meanwhile.
    const bool free = replaces.known ? Holds(files, backupPath, replaces) || !files.Exists(backupPath)
                                     : !files.Exists(backupPath);
    if (!free || !Holds(files, backupTemp, before) || !files.Rename(backupTemp, backupPath)) {
        files.Remove(backupTemp);
        return false;
    }
    // Where the old backup was a second name of this very file (a copy an earlier commit linked and
    // nothing has replaced since), the rename does nothing and the temporary name stays.
    if (files.Exists(backupTemp)) files.Remove(backupTemp);
    return true;
}

Fingerprint OlderContent(const ChangeJournal& journal, const std::string& path) {
    for (const OlderBackup& o : journal.older)
        if (o.path == path) return o.content;
    return {};
}

std::vector<OlderBackup> OlderNotReplaced(const ChangeJournal& journal) {
    std::vector<OlderBackup> out;
    for (const OlderBackup& o : journal.older)
        if (std::none_of(journal.entries.begin(), journal.entries.end(), [&](const JournalEntry& e) {
                return e.backupPath == o.path || e.backupTemp == o.path;
            }))
            out.push_back(o);
    return out;
}

void AddProblem(std::vector<std::string>& problems, const std::string& name, const std::string& what) {
    problems.push_back(name + ": " + what);
}

std::string ShownPath(const std::string& projectFolder, const std::string& path) {
    if (!projectFolder.empty() && path.compare(0, projectFolder.size(), projectFolder) == 0)
        return ShownName(path.substr(projectFolder.size()));
    return ShownName(path);
}

bool RemoveMarkedPendingCopies(FileOps& files, const PendingMarker& marker, const std::set<std::string>& listed,
                               std::string* removed) {
    bool all = true;
    const std::string projectFolder = platform::FolderOf(marker.project);
    for (const PendingMarker::File& f : marker.files) {
        const std::string pending = PendingPathOf(f.path);
        if (!listed.count(f.path) || listed.count(pending)) continue;
        // A marker that came with a moved or copied folder touches nothing outside it.
        if (!marker.movedFrom.empty() && platform::AbsolutePath(pending).rfind(projectFolder, 0) != 0) continue;
        FileStat st;
        if (!files.Stat(pending, st) || !st.regular) continue;
        if (f.before.known && Holds(files, pending, f.before)) continue;  // there before the run
        if (!files.Remove(pending)) all = false;
        else if (removed) *removed += "\r\n    " + ShownName(pending);
    }
    return all;
}

}  // namespace engine::detail
