#include "app/toolwindow/SnippetStore.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include <tovcore/clsTovcore.h>

#include "app/core/Settings.h"
#include "engine/addcode.h"
#include "platform/fileio.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace quillet::toolwindow {

namespace {

constexpr SnippetSide kSides[] = {
    {"PreCode/", ".PreCode", "PreCode", "Retrieving Pre-Code Names", " already exists in PreCode"},
    {"PostCode/", ".PostCode", "PostCode", "Retrieving Post-Code Names", " already exists in PostCode"},
};

constexpr std::string_view kKey = "CodeType";

// CodeType<n>=<value> lines of a section body, by n. The key must open the line (blanks before it
// allowed), so a name that happens to hold "CodeType2=" cannot stand in for the second entry.
std::map<int, std::string> CodeTypeValues(const std::vector<std::string>& lines) {
    std::map<int, std::string> values;
    for (const std::string& raw : lines) {
        const std::string_view line = platform::Trim(raw);
        if (!platform::IStartsWith(line, kKey)) continue;
        std::size_t i = kKey.size();
        int n = 0;
        const std::size_t digits = i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9' && n < 100000) n = n * 10 + (line[i++] - '0');
        if (i == digits || i >= line.size() || line[i] != '=') continue;
        values.emplace(n, std::string(platform::Trim(line.substr(i + 1))));  // the first line of a key wins
    }
    return values;
}

// The list of names up to the first missing or empty entry.
std::vector<std::string> ListedNames(const std::string& iniFile, SnippetKind kind, bool* exists) {
    const IniSectionReader section(iniFile, Side(kind).section);
    *exists = section.Found();
    const auto values = CodeTypeValues(section.Lines());
    std::vector<std::string> names;
    for (int n = 1;; ++n) {
        const auto it = values.find(n);
        if (it == values.end() || it->second.empty()) break;
        names.push_back(it->second);
    }
    return names;
}

}  // namespace

const SnippetSide& Side(SnippetKind kind) { return kSides[static_cast<int>(kind)]; }

bool IsAcceptableSnippetName(std::string_view name) {
    if (!engine::IsSnippetName(name)) return false;
    if (name.front() == ' ' || name.back() == ' ') return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        if (std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos) return false;
    }
    return true;
}

std::string SnippetFolder(const std::string& dataFolder, SnippetKind kind) { return dataFolder + Side(kind).folder; }

std::string SnippetPath(const std::string& dataFolder, SnippetKind kind, const std::string& name) {
    return engine::SnippetFilePath(engine::SystemFileOps(), SnippetFolder(dataFolder, kind), name, Side(kind).extension);
}

std::vector<std::string> AvailableSnippets(const std::string& dataFolder, SnippetKind kind) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    const std::string_view ext = Side(kind).extension;
    std::error_code ec;
    for (fs::directory_iterator it(SnippetFolder(dataFolder, kind), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string file = it->path().filename().string();
        if (file.size() <= ext.size() || !platform::IEndsWith(file, ext)) continue;
        std::string name = file.substr(0, file.size() - ext.size());
        if (IsAcceptableSnippetName(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int c = platform::ICompareUtf8(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    // "Mine.PreCode" and "Mine.precode" are one name (the first is its file).
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::vector<std::string> ReadSelection(const std::string& iniFile, SnippetKind kind) {
    bool exists = false;
    std::vector<std::string> names;
    for (std::string& name : ListedNames(iniFile, kind, &exists)) {
        if (!IsAcceptableSnippetName(name)) continue;
        const bool repeat = std::any_of(names.begin(), names.end(),
                                        [&](const std::string& n) { return platform::IEqualsUtf8(n, name); });
        if (!repeat) names.push_back(std::move(name));
    }
    return names;
}

void WriteSelection(const std::string& iniFile, SnippetKind kind, const std::vector<std::string>& names) {
    std::string body;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) body += "\r\n";
        body += std::string(kKey) + std::to_string(i + 1) + "=" + names[i];
    }
    tovcore::Global().WriteIniSection(Side(kind).section, body, iniFile);
}

int MoveLegacySnippets(engine::Host& host, engine::Settings& settings, const std::string& iniFile, const std::string& dataFolder,
                       SnippetKind kind, bool settingsFile) {
    if (iniFile.empty() || !platform::IsRegularFile(iniFile)) return 0;
    bool exists = false;
    const std::vector<std::string> names = ListedNames(iniFile, kind, &exists);
    if (!exists) return 0;
    const SnippetSide& side = Side(kind);
    const std::string folder = SnippetFolder(dataFolder, kind);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    int written = 0;
    bool allDone = true;
    for (const std::string& name : names) {
        if (!IsAcceptableSnippetName(name)) {
            host.WriteErrorLog("Snippet name refused: " + name);
            continue;
        }
        const std::string kept = kind == SnippetKind::Pre ? engine::GetIniPreCode(settings, name, iniFile)
                                                          : engine::GetIniPostCode(settings, name, iniFile);
        if (platform::Trim(kept).empty()) continue;
        // Our INI files are UTF-8 (or Windows-1252 from Windows); snippets are Windows-1252 bytes.
        // A section's body ends with a line end or not depending only on whether another section
        // follows it; the INI layout cannot hold a snippet's final line end, so none is taken.
        std::string text = platform::Utf8ToCp1252(platform::DecodeOwnText(kept));
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        const std::string path = SnippetPath(dataFolder, kind, name);
        const std::string legacySection = name + " " + side.section;
        if (std::filesystem::exists(path, ec)) {
            std::string current;
            if (platform::ReadFileBytes(path, current) && current == text)
                tovcore::Global().WriteIniSection(legacySection, "", iniFile);
            continue;
        }
        std::string why;
        if (!platform::WriteFileAtomic(path, text, &why)) {
            host.WriteErrorLog("Snippet " + path + " could not be written: " + why);
            allDone = false;
            continue;
        }
        ++written;
        tovcore::Global().WriteIniSection(legacySection, "", iniFile);
    }
    if (settingsFile && allDone) tovcore::Global().WriteIniSection(side.section, "", iniFile);
    return written;
}

}  // namespace quillet::toolwindow
