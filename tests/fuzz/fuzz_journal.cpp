// Fuzz target: any bytes as the change journal or the pending-copy marker, the two files of ours
// that lie in the project's backup folder and so come from whoever sent the project. Parsing must
// hold, and what parses must write back to itself; an entry that the check accepts names a listed
// file and keeps its backups inside the backup folder, and a folder the journal says its commit made
// lies in the backup folder. The readers are reached below the proof that a record is our own
// (ParseJournal, ParsePendingMarker), so the fuzzer sees every parse; the proof itself is checked
// on what parses: a record written by someone else is foreign, it is ours once its digest is kept,
// and it stops being ours once another text replaces it. A record of ours met in another backup
// folder (the project folder moved) is ours only when it names the folder its proof was kept for,
// and its names are taken over to where it is now. An input that starts with "!" gets its check
// line made for it, so the fuzzer reaches past the check.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "engine/journal.h"
#include "tests/fuzz/fuzz_support.h"

using namespace engine;
using fuzz::Check;

namespace {

// A disk on which nothing exists: the check must judge the names alone.
class NoFiles : public FileOps {
public:
    bool Exists(const std::string&) override { return false; }
    bool Stat(const std::string&, FileStat&) override { return false; }
    bool Read(const std::string&, std::string&) override { return false; }
    bool Write(const std::string&, std::string_view, std::uint32_t) override { return false; }
    bool Flush(const std::string&) override { return false; }
    bool LinkOrCopy(const std::string&, const std::string&) override { return false; }
    bool Rename(const std::string&, const std::string&) override { return false; }
    bool Remove(const std::string&) override { return false; }
    bool MakeFolder(const std::string&) override { return false; }
    bool SetMode(const std::string&, std::uint32_t) override { return false; }
};

const std::string kBackup = "/p/Backup/";
const std::set<std::string> kListed = {"/p/App.vbp", "/p/a.bas", "/p/Sub/b.bas", "/q/c.bas", "/p/Backup/d.bas"};

// `path` lies below `folder` with no empty, "." or ".." component on the way.
bool Below(const std::string& folder, const std::string& path) {
    if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) return false;
    const std::string rest = path.substr(folder.size()) + "/";
    for (std::size_t pos = 0, slash; (slash = rest.find('/', pos)) != std::string::npos; pos = slash + 1) {
        const std::string part = rest.substr(pos, slash - pos);
        if (part.empty() || part == "." || part == "..") return false;
    }
    return true;
}

// The proof of a record `text` in a backup folder of the scratch folder, with a data folder of its own.
void CheckProof(RecordKind kind, const std::string& text) {
    static const std::string scratch = fuzz::ScratchFolder();
    const std::string data = scratch + "data/", backup = scratch + "p/Backup/";
    FileOps& files = SystemFileOps();
    RecordProofs proofs(files, data);
    fuzz::WriteFile(backup + RecordName(kind), text);
    proofs.Settle(backup, kind, nullptr);  // whatever an earlier input left
    Check(FindRecord(files, proofs, backup, kind).trust == RecordTrust::Foreign, "a record we did not write is foreign");
    Check(proofs.Expect(backup, kind, text), "a proof can be kept");
    Check(FindRecord(files, proofs, backup, kind).trust == RecordTrust::Own, "a record with its proof is ours");
    const std::string other = text + "x";
    proofs.Settle(backup, kind, &other);
    Check(FindRecord(files, proofs, backup, kind).trust == RecordTrust::Foreign, "a replaced record is ours no more");
    RecordProofs anotherUser(files, scratch + "other/");
    Check(FindRecord(files, anotherUser, backup, kind).trust == RecordTrust::Foreign,
          "a record of ours is foreign to another user");
    // The same text, proven, in another backup folder.
    proofs.Settle(backup, kind, &text);
    const std::string moved = scratch + "q/Backup/";
    fuzz::WriteFile(moved + RecordName(kind), text);
    const FoundRecord there = FindRecord(files, proofs, moved, kind);
    Check(there.trust == RecordTrust::Foreign || there.writtenIn == backup,
          "a record met in another folder is ours only as the record of the folder it was proven for");
}

// A journal of ours written in `from` (the scratch backup folder), read from another backup folder:
// its names below the old project folder are taken over, the others stay as they were.
void CheckMovedJournal(ChangeJournal j) {
    static const std::string scratch = fuzz::ScratchFolder();
    const std::string from = scratch + "p/Backup/", to = scratch + "q/Backup/";
    FileOps& files = SystemFileOps();
    RecordProofs proofs(files, scratch + "data/");
    j.backupFolder = from;
    const std::string text = JournalText(j);
    Check(proofs.Expect(from, RecordKind::Journal, text), "a proof can be kept");
    fuzz::WriteFile(to + kJournalName, text);
    const std::optional<ChangeJournal> read = ReadJournal(files, proofs, to);
    Check(read.has_value(), "a proven journal of a moved folder is read");
    Check(read->backupFolder == to && read->movedFrom == from, "a moved journal names its new backup folder");
    Check(read->entries.size() == j.entries.size() && read->older.size() == j.older.size(),
          "a moved journal keeps every entry");
    const std::string oldProject = scratch + "p/", newProject = scratch + "q/";
    const auto taken = [&](const std::string& before, const std::string& after) {
        if (before.compare(0, oldProject.size(), oldProject) == 0)
            return after == newProject + before.substr(oldProject.size());
        return after == before;
    };
    for (std::size_t i = 0; i < j.entries.size(); ++i)
        Check(taken(j.entries[i].path, read->entries[i].path) && taken(j.entries[i].backupPath, read->entries[i].backupPath),
              "a moved journal's names are taken over below the project folder only");
    proofs.Settle(from, RecordKind::Journal, nullptr);
}

void CheckJournal(const std::string& text) {
    const std::optional<ChangeJournal> j = ParseJournal(text);
    if (!j) return;
    CheckProof(RecordKind::Journal, text);
    for (const std::string& folder : j->madeFolders)
        if (IsMadeFolderOf(kBackup, folder))
            Check(folder == "/p/Backup" || Below(kBackup, folder), "a made folder taken lies in the backup folder");
    CheckMovedJournal(*j);
    const std::string written = JournalText(*j);
    const std::optional<ChangeJournal> back = ParseJournal(written);
    Check(back.has_value(), "a parsed journal, written again, parses");
    Check(JournalText(*back) == written, "a journal written again is the same text");
    NoFiles files;
    for (const JournalEntry& e : j->entries) {
        if (!JournalEntryProblem(files, kListed, kBackup, e).empty()) continue;
        Check(kListed.count(e.path) == 1, "an accepted entry names a listed file");
        Check(e.pendingPath == e.path + ".qlt" && kListed.count(e.pendingPath) == 0,
              "an accepted entry's pending copy is its own and no listed file");
        Check(Below(kBackup, e.backupPath) && Below(kBackup, e.backupTemp), "an accepted entry's backups lie in the backup folder");
        Check(kListed.count(e.backupPath) == 0 && kListed.count(e.backupTemp) == 0, "no backup is a listed file");
    }
    for (const OlderBackup& o : j->older)
        if (BackupPathProblem(files, kListed, kBackup, o.path).empty())
            Check(Below(kBackup, o.path) && kListed.count(o.path) == 0,
                  "an older backup that may be replaced lies in the backup folder and is no listed file");
}

void CheckMarker(const std::string& text) {
    const std::optional<PendingMarker> m = ParsePendingMarker(text);
    if (!m) return;
    CheckProof(RecordKind::Marker, text);
    const std::string written = PendingMarkerText(*m);
    const std::optional<PendingMarker> back = ParsePendingMarker(written);
    Check(back.has_value(), "a parsed marker, written again, parses");
    Check(PendingMarkerText(*back) == written, "a marker written again is the same text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!text.empty() && text[0] == '!') {
        text.erase(0, 1);
        if (text.empty() || text.back() != '\n') text += '\n';
        text += "check\t" + FingerprintText(FingerprintOf(text)) + "\n";
    }
    CheckJournal(text);
    CheckMarker(text);
    return 0;
}
