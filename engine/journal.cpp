#include "engine/journal.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string_view>

#include "platform/fileio.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace engine {
namespace {

using platform::WithoutSlash;

constexpr std::string_view kHeader = "Quillet change journal 1";

// Fields are tab-separated; bytes that could break a line or a field are written as %XX.
std::string Escape(std::string_view s) { return platform::PercentEscape(s); }
bool Unescape(std::string_view s, std::string& out) { return platform::PercentUnescape(s, out); }

std::vector<std::string_view> Fields(std::string_view line) { return platform::Split(line, "\t"); }

const char* StateWord(ChangeJournal::State s) {
    switch (s) {
        case ChangeJournal::State::Committing: return "committing";
        case ChangeJournal::State::Committed: return "committed";
        case ChangeJournal::State::Undoing: break;
    }
    return "undoing";
}

// `path` names something below `folder`: it starts with the folder and the rest has no empty,
// "." or ".." component.
bool Inside(const std::string& folder, const std::string& path) {
    if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) return false;
    for (std::string_view part : platform::Split(std::string_view(path).substr(folder.size()), "/"))
        if (part.empty() || part == "." || part == "..") return false;
    return true;
}

// `body` followed by its own check line.
std::string WithCheck(std::string body) {
    body += "check\t" + FingerprintText(FingerprintOf(body)) + '\n';
    return body;
}

// The body of a text that ends in a check line that matches it; nothing for anything else.
std::optional<std::string_view> CheckedBody(const std::string& text) {
    const std::size_t checkAt = text.rfind("check\t");
    if (checkAt == std::string::npos || text.empty() || text.back() != '\n') return std::nullopt;
    if (checkAt != 0 && text[checkAt - 1] != '\n') return std::nullopt;
    const std::string_view body = std::string_view(text).substr(0, checkAt);
    const std::string_view checkField = std::string_view(text).substr(checkAt + 6, text.size() - 1 - (checkAt + 6));
    if (checkField != FingerprintText(FingerprintOf(body))) return std::nullopt;
    return body;
}

// Calls f with the fields of each line of `body` after its first, which must be `header`; false when
// it is not, or when f refuses a line.
template <class F>
bool ForEachRecord(std::string_view body, std::string_view header, F&& f) {
    bool first = true;
    for (std::size_t pos = 0; pos < body.size();) {
        const std::size_t nl = body.find('\n', pos);
        const std::string_view line = body.substr(pos, nl - pos);
        pos = nl + 1;
        if (first) {
            if (line != header) return false;
            first = false;
        } else if (!f(Fields(line))) {
            return false;
        }
    }
    return !first;
}

constexpr std::string_view kMarkerHeader = "Quillet pending copies 1";

std::string RecordPath(const std::string& backupFolder, RecordKind kind) { return backupFolder + RecordName(kind); }

// Writes `text` as `path` in one atomic step: a temporary file beside it (one in the way is removed
// only when it is a regular file), flushed, renamed over `path`, and the folder flushed.
bool WriteAtomically(FileOps& files, const std::string& path, const std::string& text, std::uint32_t mode) {
    const std::string temp = path + ".tmp";
    FileStat st;
    if (files.Stat(temp, st) && (!st.regular || !files.Remove(temp))) return false;
    if (!files.Write(temp, text, mode) || !files.Flush(temp) || !files.Rename(temp, path)) {
        files.Remove(temp);
        return false;
    }
    return files.Flush(WithoutSlash(platform::FolderOf(path)));
}

// Writes `text` as the record `kind`, its proof first.
bool WriteRecord(FileOps& files, RecordProofs& proofs, const std::string& folder, RecordKind kind,
                 const std::string& text) {
    if (!proofs.Expect(folder, kind, text) || !WriteAtomically(files, RecordPath(folder, kind), text, 0644))
        return false;
    proofs.Settle(folder, kind, &text);
    return true;
}

bool RemoveRecord(FileOps& files, RecordProofs& proofs, const std::string& folder, RecordKind kind) {
    const std::string path = RecordPath(folder, kind);
    if (files.Exists(path) && !files.Remove(path)) return false;
    if (!files.Flush(WithoutSlash(folder))) return false;
    proofs.Settle(folder, kind, nullptr);
    return true;
}

constexpr std::string_view kProofHeader = "Quillet record proofs 1";

// A path for a shell command in a message: quoted when it holds anything but plain characters.
std::string ShellWord(const std::string& path) {
    if (path.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/._-+") ==
        std::string::npos)
        return path;
    return "'" + platform::ReplaceAll(path, "'", "'\\''") + "'";
}

std::string ModeText(std::uint32_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Takes the names of a record written in the backup folder `from` over into `to`: names in the
// old backup folder go to the new one, names below the old project folder (the backup folder's
// parent) below the new one; others (outside the project folder) stay as they are.
class Relocation {
public:
    Relocation(const std::string& from, const std::string& to)
        : from_(from), to_(to), oldProject_(platform::FolderOf(WithoutSlash(from))),
          newProject_(platform::FolderOf(WithoutSlash(to))) {}
    void operator()(std::string& path) const {
        if (path.compare(0, from_.size(), from_) == 0) path = to_ + path.substr(from_.size());
        else if (path == WithoutSlash(from_)) path = WithoutSlash(to_);
        else if (!oldProject_.empty() && path.compare(0, oldProject_.size(), oldProject_) == 0)
            path = newProject_ + path.substr(oldProject_.size());
    }

private:
    std::string from_, to_, oldProject_, newProject_;
};

// The backup folder that a record says it was written in: the journal's own; for the marker, the
// folder of its project with the backup folder's name (a folder moves with the name it has).
std::optional<std::string> WrittenIn(RecordKind kind, const std::string& text, const std::string& backupFolder);

}  // namespace

// ---- the proofs ------------------------------------------------------------------------------

RecordProofs::RecordProofs(FileOps& files, std::string dataFolder) : files_(files), dataFolder_(std::move(dataFolder)) {
    if (!dataFolder_.empty() && dataFolder_.back() != '/') dataFolder_ += '/';
}

bool RecordProofs::Safe(const std::string& path, const FileStat& st, bool folder) {
    const std::string away = "; move it out of the way (for example: mv " + ShellWord(path) + " " +
                             ShellWord(path + ".old") +
                             ") and Quillet makes a new one (the changes recorded in the old one can then no longer be "
                             "undone)";
    if (folder ? !st.directory : !st.regular)
        problem_ = path + (st.symlink ? " is a symbolic link" : folder ? " is not a folder" : " is not a regular file") +
                   away;
    else if (st.owner != CurrentUser())
        problem_ = path + " belongs to another user" + away;
    else if (st.mode & 022)
        problem_ = path + " can be written by other users (its permissions are " + ModeText(st.mode) +
                   "); let only yourself write it: chmod " + (folder ? "700 " : "600 ") + ShellWord(path);
    if (!problem_.empty()) return false;
    // Ours and written by no one else: read by no one else either, as ssh and gpg keep theirs.
    if (st.mode & 077) files_.SetMode(path, folder ? 0700 : 0600);
    return true;
}

const std::string& RecordProofs::StoreProblem() {
    if (key_.empty() && problem_.empty()) Key(false);
    return problem_;
}

bool RecordProofs::Key(bool make) {
    if (!key_.empty()) return problem_.empty();
    if (dataFolder_.empty() || !problem_.empty()) return false;
    const std::string folder = dataFolder_ + "Changes";
    const std::string path = folder + "/key";
    FileStat st;
    if (files_.Stat(folder, st)) {
        if (!Safe(folder, st, true)) return false;
    } else {
        if (!make) return false;
        // The data folder itself is made when it is missing (its parent must be there); what is
        // made here is this user's alone, whatever the umask.
        const std::string data = WithoutSlash(dataFolder_);
        const bool madeData = !files_.Stat(data, st);
        const std::string dataParent = platform::FolderOf(data);
        if (!MakeFolders(files_, dataParent.empty() ? dataFolder_ : dataParent, folder)) return false;
        if (madeData) files_.SetMode(data, 0700);
        if (!files_.SetMode(folder, 0700) || !files_.Stat(folder, st) || !Safe(folder, st, true)) return false;
    }
    std::string hex;
    if (files_.Stat(path, st)) {
        if (!Safe(path, st, false)) return false;
        if (files_.Read(path, hex) && hex.size() == 64 &&
            hex.find_first_not_of("0123456789abcdef") == std::string::npos) {
            for (std::size_t i = 0; i < 64; i += 2)
                key_ += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
            return true;
        }
    }
    if (!make) return false;
    std::random_device random;
    std::string key;
    while (key.size() < 32) {
        const unsigned v = random();
        for (int b = 0; b < 4 && key.size() < 32; ++b) key += static_cast<char>((v >> (8 * b)) & 0xFF);
    }
    if (!WriteAtomically(files_, path, HexOf(key), 0600)) return false;
    key_ = key;
    return true;
}

std::string RecordProofs::Digest(const std::string& backupFolder, std::string_view what, std::string_view text) const {
    std::string message(what);
    message += '\n';
    message += backupFolder;
    message += '\n';
    message += text;
    return HexOf(HmacSha256(key_, message));
}

std::string RecordProofs::PathFor(const std::string& backupFolder) const {
    return dataFolder_ + "Changes/" + HexOf(Sha256(backupFolder)).substr(0, 32) + ".proof";
}

RecordProofs::Proof RecordProofs::Load(const std::string& backupFolder) {
    Proof proof;
    std::string text;
    FileStat st;
    const std::string path = PathFor(backupFolder);
    if (!files_.Stat(path, st) || !Safe(path, st, false) || !files_.Read(path, text)) return proof;
    bool first = true, ours = false;
    for (std::string_view line : platform::Split(text, "\n")) {
        if (first) {
            if (line != kProofHeader) return {};
            first = false;
            continue;
        }
        const std::vector<std::string_view> f = Fields(line);
        if (f.size() != 2) continue;
        std::string folder;
        if (f[0] == "folder") ours = Unescape(f[1], folder) && folder == backupFolder;
        else if (f[0] == "journal") proof.journal.emplace_back(f[1]);
        else if (f[0] == "marker") proof.marker.emplace_back(f[1]);
        else if (f[0] == "told") proof.told.emplace_back(f[1]);
    }
    return ours ? proof : Proof{};
}

bool RecordProofs::Save(const std::string& backupFolder, const Proof& proof) {
    std::string text(kProofHeader);
    text += "\nfolder\t" + Escape(backupFolder) + '\n';
    for (const std::string& d : proof.journal) text += "journal\t" + d + '\n';
    for (const std::string& d : proof.marker) text += "marker\t" + d + '\n';
    for (const std::string& d : proof.told) text += "told\t" + d + '\n';
    saveFailed_ = !WriteAtomically(files_, PathFor(backupFolder), text, 0600);
    return !saveFailed_;
}

bool RecordProofs::Expect(const std::string& backupFolder, RecordKind kind, const std::string& text) {
    if (!Key(true)) return false;
    Proof proof = Load(backupFolder);
    if (!problem_.empty()) return false;
    std::vector<std::string>& digests = proof.Of(kind);
    const std::string d = Digest(backupFolder, RecordName(kind), text);
    if (std::find(digests.begin(), digests.end(), d) != digests.end()) return true;
    // The record on disk now (while it is ours) stays trusted until the new one is written; older
    // digests go.
    std::string now;
    FileStat st;
    const std::string path = RecordPath(backupFolder, kind);
    std::vector<std::string> kept;
    if (files_.Stat(path, st) && st.regular && files_.Read(path, now)) {
        const std::string current = Digest(backupFolder, RecordName(kind), now);
        if (std::find(digests.begin(), digests.end(), current) != digests.end()) kept.push_back(current);
    }
    kept.push_back(d);
    digests = std::move(kept);
    return Save(backupFolder, proof);
}

bool RecordProofs::Settle(const std::string& backupFolder, RecordKind kind, const std::string* text) {
    if (!Key(false)) return false;
    Proof proof = Load(backupFolder);
    if (!problem_.empty()) return false;
    std::vector<std::string>& digests = proof.Of(kind);
    std::vector<std::string> kept;
    if (text) kept.push_back(Digest(backupFolder, RecordName(kind), *text));
    if (digests == kept) return true;
    digests = std::move(kept);
    return Save(backupFolder, proof);
}

bool RecordProofs::IsOwn(const std::string& backupFolder, RecordKind kind, const std::string& text) {
    if (!Key(false)) return false;
    const Proof proof = Load(backupFolder);
    const std::vector<std::string>& digests = kind == RecordKind::Journal ? proof.journal : proof.marker;
    return std::find(digests.begin(), digests.end(), Digest(backupFolder, RecordName(kind), text)) != digests.end();
}

bool RecordProofs::Told(const std::string& backupFolder, const std::string& what) {
    if (!Key(false)) return false;
    const Proof proof = Load(backupFolder);
    return std::find(proof.told.begin(), proof.told.end(), Digest(backupFolder, "told", what)) != proof.told.end();
}

void RecordProofs::MarkTold(const std::string& backupFolder, const std::string& what) {
    if (!Key(true)) return;
    Proof proof = Load(backupFolder);
    if (!problem_.empty()) return;
    proof.told.push_back(Digest(backupFolder, "told", what));
    // The last few are enough: each names one foreign record met in this backup folder.
    if (proof.told.size() > 16) proof.told.erase(proof.told.begin(), proof.told.end() - 16);
    Save(backupFolder, proof);
}

// ---- finding our records ----------------------------------------------------------------------

const char* RecordName(RecordKind kind) { return kind == RecordKind::Journal ? kJournalName : kPendingMarkerName; }

FoundRecord FindRecord(FileOps& files, RecordProofs& proofs, const std::string& backupFolder, RecordKind kind) {
    FoundRecord found;
    found.path = RecordPath(backupFolder, kind);
    FileStat st;
    if (!files.Stat(WithoutSlash(backupFolder), st) || !st.directory) return found;
    if (!files.Stat(found.path, st)) return found;
    found.trust = RecordTrust::Foreign;
    if (!st.regular) {
        found.what = platform::EntryKindText(found.path);
        return found;
    }
    if (!files.Read(found.path, found.text)) {
        found.what = "cannot be read";
        return found;
    }
    if (proofs.IsOwn(backupFolder, kind, found.text)) {
        found.trust = RecordTrust::Own;
    } else if (const std::optional<std::string> at = WrittenIn(kind, found.text, backupFolder);
               at && *at != backupFolder && proofs.IsOwn(*at, kind, found.text)) {
        // Ours, written before the project folder was moved, renamed or copied to where it is now.
        found.trust = RecordTrust::Own;
        found.writtenIn = *at;
    }
    return found;
}

namespace {

std::optional<std::string> WrittenIn(RecordKind kind, const std::string& text, const std::string& backupFolder) {
    if (kind == RecordKind::Journal) {
        const std::optional<ChangeJournal> j = ParseJournal(text);
        if (!j) return std::nullopt;
        return j->backupFolder;
    }
    const std::optional<PendingMarker> m = ParsePendingMarker(text);
    if (!m) return std::nullopt;
    return platform::FolderOf(m->project) + platform::NameOf(WithoutSlash(backupFolder)) + "/";
}

}  // namespace

std::vector<std::string> RemoveStaleRecordTemps(FileOps& files, RecordProofs& proofs, const std::string& backupFolder,
                                                const std::set<std::string>& listed) {
    std::vector<std::string> removed;
    FileStat st;
    if (!files.Stat(WithoutSlash(backupFolder), st) || !st.directory) return removed;
    for (RecordKind kind : {RecordKind::Journal, RecordKind::Marker}) {
        const std::string temp = RecordPath(backupFolder, kind) + ".tmp";
        std::string text;
        if (!files.Stat(temp, st) || !st.regular || !files.Read(temp, text)) continue;
        // A listed file is the user's, however the project names it (a listed folder may be a link).
        const std::string real = platform::AbsolutePath(temp);
        if (std::any_of(listed.begin(), listed.end(),
                        [&](const std::string& l) { return l == temp || platform::AbsolutePath(l) == real; }))
            continue;
        const std::string_view header = kind == RecordKind::Journal ? kHeader : kMarkerHeader;
        const bool ours = text.empty() || proofs.IsOwn(backupFolder, kind, text) ||
                          text.compare(0, std::min(text.size(), header.size()), header, 0,
                                       std::min(text.size(), header.size())) == 0;
        if (ours && files.Remove(temp)) removed.push_back(platform::NameOf(temp));
    }
    if (!removed.empty()) files.Flush(WithoutSlash(backupFolder));
    return removed;
}

bool IsMadeFolderOf(const std::string& backupFolder, const std::string& folder) {
    return folder == WithoutSlash(backupFolder) || Inside(backupFolder, folder);
}

std::string PendingMarkerText(const PendingMarker& m) {
    std::string body;
    body += kMarkerHeader;
    body += '\n';
    body += "project\t" + Escape(m.project) + '\n';
    for (const PendingMarker::File& f : m.files)
        body +=
            "file\t" + Escape(f.path) + '\t' + (f.before.known ? FingerprintText(f.before) : std::string("-")) + '\n';
    return WithCheck(std::move(body));
}

std::optional<PendingMarker> ParsePendingMarker(const std::string& text) {
    const std::optional<std::string_view> body = CheckedBody(text);
    if (!body) return std::nullopt;
    PendingMarker m;
    bool haveProject = false;
    const bool read = ForEachRecord(*body, kMarkerHeader, [&](const std::vector<std::string_view>& f) {
        if (f[0] == "project" && f.size() == 2 && !haveProject) return haveProject = Unescape(f[1], m.project);
        if (f[0] != "file" || f.size() != 3) return false;
        PendingMarker::File file;
        if (!Unescape(f[1], file.path) || file.path.empty() || !ParseFingerprint(f[2], file.before)) return false;
        m.files.push_back(std::move(file));
        return true;
    });
    if (!read || !haveProject) return std::nullopt;
    return m;
}

bool WritePendingMarker(FileOps& files, RecordProofs& proofs, const std::string& backupFolder,
                        const PendingMarker& marker) {
    return WriteRecord(files, proofs, backupFolder, RecordKind::Marker, PendingMarkerText(marker));
}

std::optional<PendingMarker> ReadPendingMarker(FileOps& files, RecordProofs& proofs, const std::string& backupFolder) {
    const FoundRecord found = FindRecord(files, proofs, backupFolder, RecordKind::Marker);
    if (found.trust != RecordTrust::Own) return std::nullopt;
    std::optional<PendingMarker> m = ParsePendingMarker(found.text);
    if (m && !found.writtenIn.empty()) {
        const Relocation move(found.writtenIn, backupFolder);
        move(m->project);
        for (PendingMarker::File& f : m->files) move(f.path);
        m->movedFrom = found.writtenIn;
    }
    return m;
}

bool RemovePendingMarker(FileOps& files, RecordProofs& proofs, const std::string& backupFolder) {
    return RemoveRecord(files, proofs, backupFolder, RecordKind::Marker);
}

std::string JournalText(const ChangeJournal& j) {
    std::string body;
    body += kHeader;
    body += '\n';
    body += "project\t" + Escape(j.project) + '\n';
    body += "backup\t" + Escape(j.backupFolder) + '\n';
    body += std::string("state\t") + StateWord(j.state) + '\n';
    for (const JournalEntry& e : j.entries) {
        body += "file\t";
        body += e.replace ? "replace\t" : "keep\t";
        body += e.done ? "done\t" : "open\t";
        body += Escape(e.path) + '\t' + Escape(e.pendingPath) + '\t' + Escape(e.backupPath) + '\t' +
                Escape(e.backupTemp) + '\t' + FingerprintText(e.before) + '\t' + FingerprintText(e.after) + '\t' +
                Escape(e.name) + '\n';
    }
    for (const std::string& folder : j.madeFolders) body += "folder\t" + Escape(folder) + '\n';
    for (const OlderBackup& o : j.older) body += "older\t" + Escape(o.path) + '\t' + FingerprintText(o.content) + '\n';
    return WithCheck(std::move(body));
}

std::optional<ChangeJournal> ParseJournal(const std::string& text) {
    const std::optional<std::string_view> checked = CheckedBody(text);
    if (!checked) return std::nullopt;
    const std::string_view body = *checked;

    ChangeJournal j;
    bool haveState = false, haveProject = false, haveBackup = false;
    const bool read = ForEachRecord(body, kHeader, [&](const std::vector<std::string_view>& f) {
        if (f[0] == "project" && f.size() == 2) return haveProject = Unescape(f[1], j.project);
        if (f[0] == "backup" && f.size() == 2)
            return haveBackup =
                       Unescape(f[1], j.backupFolder) && !j.backupFolder.empty() && j.backupFolder.back() == '/';
        if (f[0] == "state" && f.size() == 2) {
            if (f[1] == "committing") j.state = ChangeJournal::State::Committing;
            else if (f[1] == "committed") j.state = ChangeJournal::State::Committed;
            else if (f[1] == "undoing") j.state = ChangeJournal::State::Undoing;
            else return false;
            return haveState = true;
        }
        if (f[0] == "older" && f.size() == 3 && haveBackup) {
            OlderBackup o;
            if (!Unescape(f[1], o.path) || o.path.empty() || !ParseFingerprint(f[2], o.content) || !o.content.known)
                return false;
            j.older.push_back(std::move(o));
            return true;
        }
        if (f[0] == "folder" && f.size() == 2 && haveBackup) {
            std::string folder;
            if (!Unescape(f[1], folder) || folder.empty()) return false;
            j.madeFolders.push_back(std::move(folder));
            return true;
        }
        if (f[0] != "file" || f.size() != 10 || !haveBackup) return false;
        JournalEntry e;
        if ((f[1] != "replace" && f[1] != "keep") || (f[2] != "done" && f[2] != "open")) return false;
        e.replace = f[1] == "replace";
        e.done = f[2] == "done";
        if (!Unescape(f[3], e.path) || !Unescape(f[4], e.pendingPath) || !Unescape(f[5], e.backupPath) ||
            !Unescape(f[6], e.backupTemp) || !ParseFingerprint(f[7], e.before) || !ParseFingerprint(f[8], e.after) ||
            !Unescape(f[9], e.name))
            return false;
        // Where the names lead is checked before anything is done (JournalEntryProblem).
        if (e.path.empty() || !e.before.known || (e.replace && !e.after.known)) return false;
        j.entries.push_back(std::move(e));
        return true;
    });
    if (!read || !haveState || !haveProject || !haveBackup) return std::nullopt;
    return j;
}

bool WriteJournal(FileOps& files, RecordProofs& proofs, const ChangeJournal& journal) {
    return WriteRecord(files, proofs, journal.backupFolder, RecordKind::Journal, JournalText(journal));
}

std::optional<ChangeJournal> ReadJournal(FileOps& files, RecordProofs& proofs, const std::string& backupFolder) {
    const FoundRecord found = FindRecord(files, proofs, backupFolder, RecordKind::Journal);
    if (found.trust != RecordTrust::Own) return std::nullopt;
    std::optional<ChangeJournal> j = ParseJournal(found.text);
    if (!j || j->backupFolder != (found.writtenIn.empty() ? backupFolder : found.writtenIn)) return std::nullopt;
    if (!found.writtenIn.empty()) {
        const Relocation move(found.writtenIn, backupFolder);
        move(j->project);
        for (JournalEntry& e : j->entries)
            for (std::string* p : {&e.path, &e.pendingPath, &e.backupPath, &e.backupTemp}) move(*p);
        for (std::string& f : j->madeFolders) move(f);
        for (OlderBackup& o : j->older) move(o.path);
        j->backupFolder = backupFolder;
        j->movedFrom = found.writtenIn;
    }
    return j;
}

std::string JournalEntryProblem(FileOps& files, const std::set<std::string>& listed, const std::string& backupFolder,
                                const JournalEntry& e) {
    if (!listed.count(e.path)) return "is not a file this project lists";
    if (e.pendingPath != PendingPathOf(e.path)) return "its pending copy is not the file's own";
    if (listed.count(e.pendingPath)) return "its pending copy would be a file this project lists";
    for (const std::string* backup : {&e.backupPath, &e.backupTemp})
        if (std::string why = BackupPathProblem(files, listed, backupFolder, *backup); !why.empty()) return why;
    return {};
}

std::string BackupPathProblem(FileOps& files, const std::set<std::string>& listed, const std::string& backupFolder,
                              const std::string& backup) {
    if (!Inside(backupFolder, backup)) return "its backup lies outside the backup folder";
    if (listed.count(backup)) return "its backup would be a file this project lists";
    // Every folder on the way must be a real folder of the backup folder, or not yet there.
    for (std::size_t slash = backup.find('/', backupFolder.size()); slash != std::string::npos;
         slash = backup.find('/', slash + 1)) {
        FileStat st;
        if (files.Stat(backup.substr(0, slash), st) && !st.directory)
            return "its backup lies behind a symbolic link or a file in the backup folder";
    }
    return {};
}

bool RemoveJournal(FileOps& files, RecordProofs& proofs, const std::string& backupFolder) {
    return RemoveRecord(files, proofs, backupFolder, RecordKind::Journal);
}

}  // namespace engine
