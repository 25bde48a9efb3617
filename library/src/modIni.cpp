// The INI dialect of every configuration file.
//
// Line kinds: a section header is a line whose trimmed text begins with "[" and ends with "]";
// the header of section S is "[" & Trim(S) & "]" (letter case ignored, spaces inside the brackets
// significant); a key line for key K is any line that contains K & "=" anywhere (letter case
// ignored), its value the trimmed text after the first occurrence. A section runs from its
// header to the line before the next header, or, for the last section, to the last non-empty
// line of the file. Every rewrite drops lines that are blank after trimming and frames each
// line ending in "]" with one empty line before and after it; stored files rely on these rules.
//
// The files are our own text files, as they come: a line ends at CR LF, at LF or at CR (Linux
// editors and checkouts write LF, files from Windows CR LF, and a file edited in both has both).
// Each line is decoded on its own where its text is used: UTF-8, or Windows-1252 where that line
// is not UTF-8, so one stray byte from Windows never changes how the other lines read. A rewrite
// writes every line it does not change back as it was, bytes and line ending; the lines it adds
// (a new key, a new section, the empty lines that frame a header) end in CR LF, as on Windows. A
// framing empty line that was already there keeps its own ending, so a file in the engine's
// layout is rewritten with only the changed line differing.
//
// A file larger than kIniFileSizeLimit, or one that is not 8-bit text, is neither read nor
// written; a file that may not be written, or that lies in a folder where no new file may be made
// (every rewrite makes its temporary file there), is read but never written. A symbolic link is
// written through: the link stays, the file it leads to is replaced (atomically, keeping its
// permissions). A write that does not happen is the writer's result (false) and a line of the
// error log, once for a file until a write of it succeeds again.
#include "library/src/modIni.h"

#include <sys/stat.h>
#include <unistd.h>

#include <tovcore/IniFiles.h>

#include "library/src/LibraryState.h"
#include "library/src/modLog.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace tovcore::detail {
namespace {

constexpr std::string_view kCrLf = "\r\n";

IniState& Ini() { return State().ini; }

std::string DecodeLine(std::string_view raw) {
    return platform::IsValidUtf8(raw) ? std::string(raw) : platform::Cp1252ToUtf8(raw);
}

std::int32_t LastIndex() { return static_cast<std::int32_t>(Ini().lines.size()) - 1; }

bool IsHeader(std::string_view line) {
    const std::string_view t = platform::Trim(line);
    return platform::StartsWith(t, "[") && platform::EndsWith(t, "]");
}

// What a read of the file gives: its bytes, or why there are none.
platform::ReadStatus ReadIniBytes(const std::string& IniFile, std::string& bytes) {
    const platform::ReadStatus status = platform::ReadFileBytes(IniFile, bytes, kIniFileSizeLimit);
    if (status == platform::ReadStatus::Ok && platform::LooksLikeUtf16(bytes)) {
        bytes.clear();
        return platform::ReadStatus::Failed;
    }
    return status;
}

// Builds the rewritten file. `out` gets every line through Line or Inserted, and empty lines only
// through the framing rule: a line that ends in "]" has one empty line before and one after it.
// The file's own empty lines that the rewrite drops are the pool those framing lines are taken
// from, in order, so each keeps its ending; what the pool lacks ends in CR LF.
class IniWriter {
public:
    explicit IniWriter(bool bom) : bom_(bom) {
        if (bom) out_ += platform::kUtf8Bom;
    }

    // An array line as the line writer prints it: blank lines dropped, "]" lines framed.
    void Line(const std::string& raw, platform::LineEnd end) {
        if (platform::Trim(raw).empty()) {
            Offer(raw, end);
            return;
        }
        const bool frames = raw.back() == ']';
        Gap(framing_ + (frames ? 1 : 0));
        Emit(raw, end);
        framing_ = frames ? 1 : 0;
    }
    // Text the caller gives (a section body, a new key line), printed as it is and ended in CR LF.
    void Inserted(const std::string& text) {
        Gap(framing_);
        Emit(text, platform::LineEnd::CrLf);
        framing_ = 0;
    }
    // A line that is not written (a replaced section body, empty lines at the end): an empty one
    // may still serve as a framing line.
    void Offer(const std::string& raw, platform::LineEnd end) {
        if (raw.empty() && end != platform::LineEnd::None) pool_.push_back(end);
    }
    std::string Finish() {
        Gap(framing_);
        // The empty lines before a line may be dropped; a line that then starts the file must not
        // make it read as something else (its bytes taken for a byte-order mark, or for UTF-16
        // text): it stays after a line end.
        if (!bom_ && (platform::StartsWith(out_, platform::kUtf8Bom) || platform::LooksLikeUtf16(out_)))
            out_.insert(0, kCrLf);
        return std::move(out_);
    }

private:
    void Gap(int blanks) {
        for (int k = 0; k < blanks; ++k) {
            platform::LineEnd end = next_ < pool_.size() ? pool_[next_++] : platform::LineEnd::CrLf;
            // An empty line ended by LF right after a CR would join it into one CR LF.
            if (end == platform::LineEnd::Lf && !out_.empty() && out_.back() == '\r') end = platform::LineEnd::CrLf;
            Emit("", end);
        }
    }
    void Emit(std::string_view text, platform::LineEnd end) {
        // A last line without an ending gets one as soon as anything follows it.
        if (open_) out_ += kCrLf;
        out_ += text;
        out_ += platform::LineEndText(end);
        open_ = end == platform::LineEnd::None;
    }

    std::string out_;
    bool bom_;
    std::vector<platform::LineEnd> pool_;
    std::size_t next_ = 0;  // the first pooled ending not yet used
    int framing_ = 0;       // the last written line ends in "]": an empty line is owed after it
    bool open_ = false;
};

// The super-user may write anything; a file or folder nobody may write is read-only for it too.
bool AnyoneMayWrite(const struct stat& st) {
    return ::geteuid() != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// Says once, in the error log, that a file is not written (and why), until a write of it succeeds.
void ReportWrite(const std::string& IniFile, bool written, const std::string& why) {
    std::set<std::string>& failed = Ini().failedWrites;
    if (written) {
        failed.erase(IniFile);
        return;
    }
    if (!failed.insert(IniFile).second) return;
    WriteErrorLog("INI file not written: " + IniFile + " - " + why);
}

}  // namespace

bool MayReplaceFile(const std::string& target) {
    if (target.empty()) return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return true;  // a new file: its folder decides
    return S_ISREG(st.st_mode) && ::access(target.c_str(), W_OK) == 0 && AnyoneMayWrite(st);
}

bool FolderTakesNewFiles(const std::string& folder) {
    struct stat st {};
    // A folder that is not there: the write finds out and says so.
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return true;
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0 && AnyoneMayWrite(st);
}

bool MayReplace(const std::string& target) {
    return MayReplaceFile(target) && FolderTakesNewFiles(platform::FolderOf(target));
}

bool MayRewriteIniFile(const std::string& IniFile) { return MayReplace(platform::LinkTarget(IniFile)); }

std::vector<std::string> ReadIniLines(const std::string& IniFile) {
    std::string bytes;
    if (ReadIniBytes(IniFile, bytes) != platform::ReadStatus::Ok) return {};
    std::vector<std::string> lines = platform::SplitLines(bytes).lines;
    for (std::string& line : lines) line = DecodeLine(line);
    return lines;
}

bool LoadIniFile(const std::string& IniFile) {
    IniState& ini = Ini();
    ini.lines.clear();
    ini.text.clear();
    ini.ends.clear();
    ini.bom = false;
    ini.writable = true;
    std::string bytes;
    const platform::ReadStatus status = ReadIniBytes(IniFile, bytes);
    if (status != platform::ReadStatus::Ok) {
        // Nothing there yet: a write makes the file. Anything else is left as it is.
        ini.writable = status == platform::ReadStatus::Missing;
        return false;
    }
    platform::LineArray split = platform::SplitLines(bytes);
    ini.lines = std::move(split.lines);
    ini.ends = std::move(split.ends);
    ini.bom = split.bom;
    ini.text.reserve(ini.lines.size());
    for (const std::string& line : ini.lines) ini.text.push_back(DecodeLine(line));
    return !ini.lines.empty();
}

bool FindIniSection(IniLookup& rec, const std::string& Section, bool fallback) {
    const IniState& ini = Ini();
    const std::string trimmed(platform::Trim(Section));
    const std::string wanted = fallback ? "[" + trimmed + " <0009>]" : "[" + trimmed + "]";
    rec.Found = false;
    const std::int32_t last = LastIndex();
    for (std::int32_t i = 0; i <= last; ++i) {
        if (!platform::IEqualsUtf8(platform::Trim(ini.text[i]), wanted)) continue;
        rec.HeaderLine = i;
        rec.Found = true;
        std::int32_t cur = i;
        while (cur < last) {
            rec.LastLine = cur;
            ++cur;
            if (IsHeader(ini.lines[cur])) return true;
        }
        rec.LastLine = last;
        while (rec.LastLine > rec.HeaderLine && ini.lines[rec.LastLine].empty()) --rec.LastLine;
        return true;
    }
    return false;
}

void FindIniKey(IniLookup& rec, const std::string& Key) {
    const IniState& ini = Ini();
    const std::string pattern = Key + "=";
    const std::int32_t end = std::min(rec.LastLine, LastIndex());
    for (std::int32_t i = std::max(rec.HeaderLine, 0); i <= end; ++i) {
        const std::size_t at = platform::IFindUtf8(ini.text[i], pattern);
        if (at == std::string::npos) continue;
        rec.KeyLine = i;
        rec.KeyValue = std::string(platform::Trim(std::string_view(ini.text[i]).substr(at + pattern.size())));
        return;
    }
}

// Writes the whole image at once: a temporary file in the same folder renamed over the old file,
// so a write that fails leaves the old file as it was. A file that could not be read, or may not
// be written, is not written at all. False (and said in the error log) when the file was not
// written.
bool SaveIniFile(IniLookup& rec, const std::string& IniFile) {
    const IniState& ini = Ini();
    if (!ini.writable) {
        ReportWrite(IniFile, false, "it could not be read whole");
        return false;
    }
    const std::string target = platform::LinkTarget(IniFile);
    if (target.empty()) {
        ReportWrite(IniFile, false, "its symbolic links lead round in a circle");
        return false;
    }
    if (!MayReplaceFile(target)) {
        ReportWrite(IniFile, false, "the file may not be written");
        return false;
    }
    if (!FolderTakesNewFiles(platform::FolderOf(target))) {
        ReportWrite(IniFile, false, "its folder " + platform::FolderOf(target) + " may not be written");
        return false;
    }
    const std::int32_t last = LastIndex();
    std::int32_t lastNonEmpty = last;
    if (ini.lines.empty()) {
        rec.HeaderLine = -1;
        rec.LastLine = -1;
    } else {
        while (lastNonEmpty >= 0 && ini.lines[lastNonEmpty].empty()) --lastNonEmpty;
    }
    IniWriter out(ini.bom);
    const std::int32_t head = std::min(rec.HeaderLine, last);
    for (std::int32_t i = 0; i <= head; ++i) out.Line(ini.lines[i], ini.ends[i]);
    const std::int32_t tail = std::max(rec.LastLine + 1, 0);
    for (std::int32_t i = head + 1; i < tail && i <= last; ++i) out.Offer(ini.lines[i], ini.ends[i]);
    if (!platform::Trim(rec.SectionText).empty()) out.Inserted(rec.SectionText);
    for (std::int32_t i = tail; i <= lastNonEmpty; ++i) out.Line(ini.lines[i], ini.ends[i]);
    for (std::int32_t i = std::max({lastNonEmpty + 1, tail, head + 1}); i <= last; ++i)
        out.Offer(ini.lines[i], ini.ends[i]);
    std::string why;
    const bool written = platform::WriteFileAtomic(target, out.Finish(), &why);
    ReportWrite(IniFile, written, why);
    return written;
}

bool WriteIniSection(const std::string& Section, const std::string& iniStr, const std::string& IniFile) {
    IniLookup rec;
    LoadIniFile(IniFile);
    const bool found = FindIniSection(rec, Section, false);
    if (found) {
        rec.SectionText = iniStr;
    } else {
        rec.HeaderLine = rec.LastLine = LastIndex();
        rec.SectionText = "[" + Section + "]" + std::string(kCrLf) + std::string(kCrLf) + iniStr;
    }
    return SaveIniFile(rec, IniFile) && found;
}

bool GetIniSection(const std::string& Section, std::string& iniStr, const std::string& IniFile) {
    IniLookup rec;
    LoadIniFile(IniFile);
    const bool found = FindIniSection(rec, Section, false);
    if (found) {
        const IniState& ini = Ini();
        std::string text;
        for (std::int32_t i = rec.HeaderLine + 1; i <= rec.LastLine; ++i) {
            if (i == rec.HeaderLine + 1 && platform::Trim(ini.lines[i]).empty()) continue;
            (text += ini.text[i]) += kCrLf;
        }
        if (!text.empty()) iniStr = text.substr(0, text.size() - kCrLf.size());
    }
    return found;
}

bool WriteIniString(const std::string& Section, const std::string& iniKey, const std::string& iniStr,
                    const std::string& IniFile) {
    IniLookup rec;
    LoadIniFile(IniFile);
    const bool found = FindIniSection(rec, Section, false);
    const std::string newLine = iniKey + "=" + iniStr;
    if (!found) {
        WriteIniSection(Section, newLine, IniFile);
        return false;
    }
    FindIniKey(rec, iniKey);
    if (rec.KeyLine > 0) {
        // The line changes; it keeps its place and its own ending. A removed line goes with its
        // ending (an empty line without one is nothing).
        IniState& ini = Ini();
        ini.lines[rec.KeyLine] = ini.text[rec.KeyLine] = iniStr.empty() ? "" : newLine;
        if (iniStr.empty()) ini.ends[rec.KeyLine] = platform::LineEnd::None;
        rec.SectionText = "";
    } else {
        rec.SectionText = iniStr.empty() ? "" : newLine;
    }
    rec.HeaderLine = rec.LastLine;
    return SaveIniFile(rec, IniFile);
}

std::string GetIniValue(IniLookup& rec, const std::string& Section, const std::string& Key,
                        const std::string& Default, const std::string& IniFile, bool fallback) {
    if (rec.Found) {
        FindIniKey(rec, Key);
        if (!rec.KeyValue.empty()) return rec.KeyValue;
        WriteIniString(Section, Key, Default, IniFile);
        return Default;
    }
    if (fallback) return "";
    WriteIniString(Section, Key, Default, IniFile);
    return Default;
}

std::string GetIniString(const std::string& Section, const std::string& iniKey, const std::string& iniStr,
                         const std::string& IniFile) {
    IniLookup rec;
    LoadIniFile(IniFile);
    FindIniSection(rec, Section, false);
    std::string result = GetIniValue(rec, Section, iniKey, iniStr, IniFile, false);
    if (result.empty()) {
        FindIniSection(rec, Section, true);
        result = GetIniValue(rec, Section, iniKey, iniStr, IniFile, true);
    }
    return result;
}

// The section's lines, split at CR LF; no lines when the section is missing or empty.
void GetSection(const std::string& Section, const std::string& Filename, std::vector<std::string>& SectionLines) {
    SectionLines.clear();
    std::string body;
    if (!GetIniSection(Section, body, Filename) || body.empty()) return;
    for (const std::string_view piece : platform::Split(body, kCrLf)) SectionLines.emplace_back(piece);
}

}  // namespace tovcore::detail

namespace tovcore {

IniFileState CheckIniFile(const std::string& IniFile) {
    std::string bytes;
    const std::string target = platform::LinkTarget(IniFile);
    const bool folderTakesFiles = !target.empty() && detail::FolderTakesNewFiles(platform::FolderOf(target));
    switch (detail::ReadIniBytes(IniFile, bytes)) {
        case platform::ReadStatus::Ok: break;
        case platform::ReadStatus::Missing: return folderTakesFiles ? IniFileState::Missing : IniFileState::FolderReadOnly;
        case platform::ReadStatus::TooLarge: return IniFileState::TooLarge;
        default: return IniFileState::Unreadable;
    }
    if (!detail::MayReplaceFile(target)) return IniFileState::ReadOnly;
    return folderTakesFiles ? IniFileState::Usable : IniFileState::FolderReadOnly;
}

std::string IniFileStateText(IniFileState state) {
    switch (state) {
        case IniFileState::Missing:
        case IniFileState::Usable: break;
        case IniFileState::ReadOnly: return "is read-only";
        case IniFileState::FolderReadOnly: return "is in a folder where no file may be written";
        case IniFileState::TooLarge:
            return "is larger than " + std::to_string(kIniFileSizeLimit / (1024 * 1024)) + " MB";
        case IniFileState::Unreadable: return "cannot be read as a text file";
    }
    return "";
}

}  // namespace tovcore
