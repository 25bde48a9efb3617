#include "engine/journal.h"

#include <cstdio>
#include <string_view>

#include "platform/text.h"

namespace engine {
namespace {

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

std::string JournalPath(const std::string& backupFolder) { return backupFolder + kJournalName; }

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

// Writes `text` as `path` in one atomic step and flushes its folder.
bool WriteAtomically(FileOps& files, const std::string& folder, const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp";
    if (files.Exists(temp) && !files.Remove(temp)) return false;
    if (!files.Write(temp, text, 0644) || !files.Flush(temp) || !files.Rename(temp, path)) {
        files.Remove(temp);
        return false;
    }
    return files.Flush(folder);
}

// The text of one of our files in the backup folder; nothing when the folder is not a real folder.
std::optional<std::string> ReadOwnFile(FileOps& files, const std::string& backupFolder, const std::string& path) {
    std::string text;
    FileStat st;
    const std::string folder = backupFolder.size() > 1 ? backupFolder.substr(0, backupFolder.size() - 1) : backupFolder;
    if (!files.Stat(folder, st) || !st.directory) return std::nullopt;
    if (!files.Stat(path, st) || !st.regular || !files.Read(path, text)) return std::nullopt;
    return text;
}

constexpr std::string_view kMarkerHeader = "Quillet pending copies 1";

}  // namespace

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

bool WritePendingMarker(FileOps& files, const std::string& backupFolder, const PendingMarker& marker) {
    return WriteAtomically(files, backupFolder, backupFolder + kPendingMarkerName, PendingMarkerText(marker));
}

std::optional<PendingMarker> ReadPendingMarker(FileOps& files, const std::string& backupFolder) {
    const std::optional<std::string> text = ReadOwnFile(files, backupFolder, backupFolder + kPendingMarkerName);
    return text ? ParsePendingMarker(*text) : std::nullopt;
}

bool RemovePendingMarker(FileOps& files, const std::string& backupFolder) {
    const std::string path = backupFolder + kPendingMarkerName;
    if (files.Exists(path) && !files.Remove(path)) return false;
    return files.Flush(backupFolder);
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

bool WriteJournal(FileOps& files, const ChangeJournal& journal) {
    return WriteAtomically(files, journal.backupFolder, JournalPath(journal.backupFolder), JournalText(journal));
}

std::optional<ChangeJournal> ReadJournal(FileOps& files, const std::string& backupFolder) {
    const std::optional<std::string> text = ReadOwnFile(files, backupFolder, JournalPath(backupFolder));
    if (!text) return std::nullopt;
    std::optional<ChangeJournal> j = ParseJournal(*text);
    if (j && j->backupFolder != backupFolder) return std::nullopt;
    return j;
}

std::string JournalEntryProblem(FileOps& files, const std::set<std::string>& listed, const std::string& backupFolder,
                                const JournalEntry& e) {
    if (!listed.count(e.path)) return "is not a file this project lists";
    if (e.pendingPath != PendingPathOf(e.path)) return "its pending copy is not the file's own";
    if (listed.count(e.pendingPath)) return "its pending copy would be a file this project lists";
    for (const std::string* backup : {&e.backupPath, &e.backupTemp}) {
        if (!Inside(backupFolder, *backup)) return "its backup lies outside the backup folder";
        if (listed.count(*backup)) return "its backup would be a file this project lists";
        // Every folder on the way must be a real folder of the backup folder, or not yet there.
        for (std::size_t slash = backup->find('/', backupFolder.size()); slash != std::string::npos;
             slash = backup->find('/', slash + 1)) {
            FileStat st;
            if (files.Stat(backup->substr(0, slash), st) && !st.directory)
                return "its backup lies behind a symbolic link or a file in the backup folder";
        }
    }
    return {};
}

bool RemoveJournal(FileOps& files, const std::string& backupFolder) {
    const std::string path = JournalPath(backupFolder);
    if (files.Exists(path) && !files.Remove(path)) return false;
    return files.Flush(backupFolder);
}

}  // namespace engine
