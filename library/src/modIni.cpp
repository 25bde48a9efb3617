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
// The files are our own text files: written in UTF-8, read as UTF-8, or as Windows-1252 when they
// are not valid UTF-8. Lines are separated by CR LF only.
#include "library/src/modIni.h"

#include "library/src/LibraryState.h"
#include "library/src/modGeneral.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace tovcore::detail {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::vector<std::string>& Lines() { return State().ini.lines; }

// Splits at every CR LF: a text that ends in CR LF gives a final empty line.
std::vector<std::string> SplitAtCrLf(const std::string& text) {
    const std::vector<std::string_view> pieces = platform::Split(text, kCrLf);
    return std::vector<std::string>(pieces.begin(), pieces.end());
}

// The file of the current operation exists but could not be read: it must not be rewritten from
// an empty array.
thread_local bool tUnreadable = false;

std::vector<std::string> ReadLines(const std::string& IniFile, bool& unreadable) {
    std::vector<std::string> lines;
    unreadable = false;
    if (!FileExists(IniFile)) return lines;
    std::string bytes;
    if (!platform::ReadFileBytes(IniFile, bytes)) {
        unreadable = true;
        return lines;
    }
    if (bytes.empty()) return lines;
    return SplitAtCrLf(platform::DecodeOwnText(bytes));
}

std::int32_t LastIndex() { return static_cast<std::int32_t>(Lines().size()) - 1; }

bool IsHeader(std::string_view line) {
    const std::string_view t = platform::Trim(line);
    return platform::StartsWith(t, "[") && platform::EndsWith(t, "]");
}

// The line writer: frames a line that ends in "]" with empty lines, drops blank lines.
void WriteIniLine(const std::string& line, std::string& out) {
    bool owed = false;
    if (!line.empty() && line.back() == ']') {
        out += kCrLf;
        owed = true;
    }
    if (!platform::Trim(line).empty()) (out += line) += kCrLf;
    if (owed) out += kCrLf;
}

}  // namespace

std::vector<std::string> ReadIniLines(const std::string& IniFile) {
    bool unreadable = false;
    return ReadLines(IniFile, unreadable);
}

bool LoadIniFile(const std::string& IniFile) {
    Lines() = ReadLines(IniFile, tUnreadable);
    return !Lines().empty();
}

bool FindIniSection(IniLookup& rec, const std::string& Section, bool fallback) {
    const std::vector<std::string>& lines = Lines();
    const std::string wanted =
        fallback ? "[" + std::string(platform::Trim(Section)) + " <0009>]" : "[" + std::string(platform::Trim(Section)) + "]";
    rec.Found = false;
    const std::int32_t last = LastIndex();
    for (std::int32_t i = 0; i <= last; ++i) {
        if (!platform::IEqualsUtf8(platform::Trim(lines[i]), wanted)) continue;
        rec.HeaderLine = i;
        rec.Found = true;
        std::int32_t cur = i;
        while (cur < last) {
            rec.LastLine = cur;
            (rec.SectionText += lines[cur]) += kCrLf;
            ++cur;
            if (IsHeader(lines[cur])) return true;
        }
        rec.LastLine = last;
        while (rec.LastLine > rec.HeaderLine && lines[rec.LastLine].empty()) --rec.LastLine;
        return true;
    }
    return false;
}

void FindIniKey(IniLookup& rec, const std::string& Key) {
    const std::vector<std::string>& lines = Lines();
    const std::string pattern = Key + "=";
    const std::int32_t end = std::min(rec.LastLine, LastIndex());
    for (std::int32_t i = std::max(rec.HeaderLine, 0); i <= end; ++i) {
        const std::size_t at = platform::IFindUtf8(lines[i], pattern);
        if (at == std::string::npos) continue;
        rec.KeyLine = i;
        rec.KeyValue = std::string(platform::Trim(std::string_view(lines[i]).substr(at + pattern.size())));
        return;
    }
}

// Writes the whole image at once: a temporary file in the same folder renamed over the old file,
// so a write that fails leaves the old file as it was. A failed write is dropped silently, and a
// file that could not be read is not written at all.
void SaveIniFile(IniLookup& rec, const std::string& IniFile) {
    if (tUnreadable) return;
    const std::vector<std::string>& lines = Lines();
    const std::int32_t last = LastIndex();
    std::int32_t lastNonEmpty = last;
    if (lines.empty()) {
        rec.HeaderLine = -1;
        rec.LastLine = -1;
    } else {
        while (lastNonEmpty >= 0 && lines[lastNonEmpty].empty()) --lastNonEmpty;
    }
    std::string out;
    for (std::int32_t i = 0; i <= std::min(rec.HeaderLine, last); ++i) WriteIniLine(lines[i], out);
    if (!platform::Trim(rec.SectionText).empty()) (out += rec.SectionText) += kCrLf;
    for (std::int32_t i = std::max(rec.LastLine + 1, 0); i <= lastNonEmpty; ++i) WriteIniLine(lines[i], out);
    platform::WriteFileAtomic(IniFile, out);
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
    SaveIniFile(rec, IniFile);
    return found;
}

bool GetIniSection(const std::string& Section, std::string& iniStr, const std::string& IniFile) {
    IniLookup rec;
    LoadIniFile(IniFile);
    const bool found = FindIniSection(rec, Section, false);
    if (found) {
        const std::vector<std::string>& lines = Lines();
        std::string text;
        for (std::int32_t i = rec.HeaderLine + 1; i <= rec.LastLine; ++i) {
            if (i == rec.HeaderLine + 1 && platform::Trim(lines[i]).empty()) continue;
            (text += lines[i]) += kCrLf;
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
        Lines()[rec.KeyLine] = iniStr.empty() ? "" : newLine;
        rec.SectionText = "";
    } else {
        rec.SectionText = iniStr.empty() ? "" : newLine;
    }
    rec.HeaderLine = rec.LastLine;
    SaveIniFile(rec, IniFile);
    return true;
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
    SectionLines = SplitAtCrLf(body);
}

}  // namespace tovcore::detail
