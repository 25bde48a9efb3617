#include "engine/definitions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "engine/classify.h"
#include "engine/lexer.h"
#include "engine/source.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace engine {
namespace {

using platform::Trim;

std::string Hex(std::int32_t v) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    auto u = static_cast<std::uint32_t>(v);
    std::string s;
    do {
        s.insert(s.begin(), kDigits[u & 0xF]);
        u >>= 4;
    } while (u);
    return s;
}

// The number at the start of a literal text, as the original Val reads it: "&H" hexadecimal, "&O"
// octal, or decimal with sign, fraction and exponent; 0 when there is none. Rounded to a 32-bit
// whole number (halves to even), kept within range.
std::int32_t LiteralValue(std::string_view t) {
    t = Trim(t);
    if (t.size() >= 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h' || t[1] == 'O' || t[1] == 'o')) {
        const unsigned base = (t[1] == 'H' || t[1] == 'h') ? 16 : 8;
        std::uint32_t v = 0;
        for (std::size_t i = 2; i < t.size(); ++i) {
            const char c = t[i];
            unsigned d;
            if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
            else if (base == 16 && c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
            else if (base == 16 && c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
            else break;
            if (d >= base) break;
            v = v * base + d;
        }
        return static_cast<std::int32_t>(v);
    }
    std::string digits;
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) digits += t[i++];
    while (i < t.size() && ((t[i] >= '0' && t[i] <= '9') || t[i] == '.' || t[i] == 'E' || t[i] == 'e' ||
                            ((t[i] == '-' || t[i] == '+') && (t[i - 1] == 'E' || t[i - 1] == 'e'))))
        digits += t[i++];
    double v = 0;
    if (!digits.empty()) {
        const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
        if (r.ec != std::errc()) v = 0;
    }
    v = std::nearbyint(v);
    if (v > 2147483647.0) return 2147483647;
    if (v < -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

// The items of a declaration: split at ", " where it stands outside parentheses and strings, so
// "Dim grid(10, 10) As Long, n As Long" gives two items.
std::vector<std::string> SplitItems(std::string_view s) {
    std::vector<std::string> items;
    int depth = 0;
    std::size_t start = 0;
    Lexer lexer(s, Lexer::Options{false});
    for (Token t; lexer.Next(t);) {
        if (t.kind != TokenKind::Operator) continue;
        const std::size_t at = lexer.Offset(t);
        if (t.text == "(") ++depth;
        else if (t.text == ")" && depth > 0) --depth;
        else if (t.text == "," && depth == 0 && at + 1 < s.size() && s[at + 1] == ' ') {
            items.emplace_back(s.substr(start, at - start));
            start = at + 2;
        }
    }
    items.emplace_back(s.substr(start));
    return items;
}

bool StartsWithWord(std::string_view s, std::string_view word) {
    return platform::StartsWith(s, word) && (s.size() == word.size() || s[word.size()] == ' ');
}

}  // namespace

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t hit = text.find(separator, start);
        if (hit == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, hit - start));
        start = hit + separator.size();
    }
}

LineIndex DefinitionLine(const clsDefinitions& d) {
    LineIndex v = -1;
    const auto r = std::from_chars(d.LineNo.data(), d.LineNo.data() + d.LineNo.size(), v);
    return (r.ec == std::errc() && r.ptr == d.LineNo.data() + d.LineNo.size()) ? v : -1;
}

void AddDefinition(DefinitionList& defs, const std::string& fileName, const std::vector<std::string>& parts,
                   LineIndex line, std::int32_t offset, const std::string& projectFolder,
                   const std::string& projectName, std::int32_t m, std::string_view statement,
                   std::string_view qualifier) {
    clsDefinitions& d = defs.emplace_back();
    d.Filename = fileName;
    d.Offset = offset;
    d.LineNo = std::to_string(line);
    if (m & mask::kDeclare) {
        d.Line = std::string(statement);
    } else {
        d.Variable = std::string(qualifier);
        if (!parts.empty()) d.Variable += Trim(parts[0]);
        if (parts.size() > 1) d.Defined = std::string(Trim(parts[1]));
    }
    d.AppFldr = projectFolder;
    d.Project = projectName;
    d.DefType = m;
    if (m & (mask::kEndEnum | mask::kEndType | mask::kDeclare)) return;
    if (!d.Defined.empty()) return;

    // No type written: the type-declaration character of the name, then a type name in the name.
    static constexpr std::array<std::pair<char, const char*>, 3> kSuffixes = {
        {{'%', "Integer"}, {'&', "Long"}, {'$', "String"}}};
    for (const auto& [c, type] : kSuffixes) {
        const std::size_t at = d.Variable.find(c);
        if (at == std::string::npos) continue;
        d.Defined = type;
        d.Variable.erase(at, 1);
        d.Variable = std::string(Trim(d.Variable));
        break;
    }
    static constexpr std::array<std::string_view, 24> kTypes = {
        "Integer", "Integer()", "Long",    "Long()",    "String",   "String()",   "Byte",   "Byte()",
        "Variant", "Variant()", "Boolean", "Boolean()", "Double",   "Double()",   "Currency", "Currency()",
        "Date",    "Date()",    "Decimal", "Decimal()", "Object",   "Object()",   "Single", "Single()"};
    if (!parts.empty())
        for (auto type : kTypes)
            if (parts[0].find(type) != std::string::npos) {
                d.Defined = std::string(type);
                break;
            }
}

void GetDefinitions(DefinitionList& defs, const std::string& fileName, LineIndex line, std::int32_t offset,
                    const std::string& projectFolder, const std::string& projectName, std::string_view statement,
                    std::int32_t& m, std::string_view qualifier) {
    // A line number or label in front of a declaration is no part of it ("000010 Dim s" declares s).
    const std::string s(WithoutLineLabel(BeforeComment(statement)));
    if (m & mask::kDeclare) {
        AddDefinition(defs, fileName, {}, line, offset, projectFolder, projectName, m, s, qualifier);
        return;
    }
    static constexpr std::array<std::string_view, 8> kLeading = {"Public ", "Global ", "Private ", "ReDim Preserve",
                                                                 "Redim ",  "Dim ",    "Const ",   "Declare "};
    static constexpr std::array<std::string_view, 2> kInner = {" New ", " As "};
    for (const std::string& raw : SplitItems(s)) {
        std::string item(Trim(raw));
        bool changed = false;
        // Keywords in front of the name; only where they lead, so names like sDim stay whole.
        for (auto kw : kLeading)
            if (platform::StartsWith(item, kw)) {
                item.erase(0, kw.size());
                changed = true;
            }
        for (auto kw : kInner)
            if (item.find(kw) != std::string::npos) {
                item = platform::ReplaceAll(item, kw, " ");
                changed = true;
            }
        item = std::string(Trim(item));

        std::vector<std::string> parts{item};
        if (changed || (m & mask::kConst) || (m & mask::kEndType)) {
            if (m & mask::kConst) {
                const std::size_t eq = item.find(" = ");
                if (eq == std::string::npos || eq < 1) continue;  // a name must stand before " = "
                parts = SplitText(item, " = ");
                parts[0] = "Const " + parts[0];
            }
            if ((m & (mask::kDim | mask::kEndType)) && item.find('(') != std::string::npos) {
                std::vector<std::string> split = SplitText(parts[0], ") ");
                if (split.size() > 1) {
                    split[0] += ")";
                    parts = std::move(split);
                    m |= mask::kArrayItem;
                }
            }
        }
        if (!(m & mask::kArrayItem)) parts = SplitText(parts[0], " ");
        if (parts.size() > 1) {
            if (m & mask::kConst) std::swap(parts[0], parts[1]);
            AddDefinition(defs, fileName, parts, line, offset, projectFolder, projectName, m, s, qualifier);
        }
        m &= ~mask::kArrayItem;
    }
}

void GetTypeEnumDefinitions(DefinitionList& defs, const std::string& fileName, LineIndex endLine, std::int32_t offset,
                            const std::string& projectFolder, const std::string& projectName,
                            const std::vector<std::string>& lines, std::int32_t m) {
    // The block header: the nearest line above that reads "Type X" (without " As ") or "Enum X"
    // (without " = ") once its scope words are gone.
    LineIndex header = -1;
    std::string headerText;
    for (LineIndex k = endLine - 1; k >= 0; --k) {
        std::string t = lines[k];
        for (auto kw : {"Public ", "Private ", "Global "}) t = platform::ReplaceAll(t, kw, "");
        t = std::string(WithoutLineLabel(BeforeComment(t)));  // a number in front is no part of it
        if ((platform::StartsWith(t, "Type ") && t.find(" As ") == std::string::npos) ||
            (platform::StartsWith(t, "Enum ") && t.find(" = ") == std::string::npos)) {
            header = k;
            headerText = t;
            break;
        }
    }
    if (header < 0) return;
    // The block's scope is written on its header.
    const std::string_view headerLine = Trim(lines[header]);
    if (StartsWithWord(headerLine, "Public") || StartsWithWord(headerLine, "Global"))
        m = (m & ~mask::kPrivate) | mask::kPublic;

    const std::vector<std::string> words = SplitText(headerText, " ");
    const std::string blockName = words.size() > 1 ? words[1] : std::string();
    const std::string blockText = blockName + " " + words[0];
    const std::string qualifier = blockName + ".";

    struct Member {
        std::string text;
        LineIndex line;
    };
    std::vector<Member> members;
    std::int32_t value = -1;
    std::string valueText;
    for (LineIndex j = header + 1; j < endLine; ++j) {
        std::string member(BeforeComment(lines[j]));
        if (member.empty() || member.front() == '#') continue;
        if (m & mask::kEndEnum) {
            const std::vector<std::string> split = SplitText(member, " = ");
            if (split.size() == 1) {
                ++value;
                valueText = platform::StartsWith(valueText, "&H") ? "&H" + Hex(value) : std::to_string(value);
            } else {
                const std::string_view literal = Trim(split[1]);
                value = LiteralValue(literal);
                valueText = platform::StartsWith(literal, "&H") ? "&H" + Hex(value) : std::to_string(value);
            }
            member = std::string(Trim(split[0])) + " " + valueText;
        }
        members.push_back(Member{std::move(member), j});
    }
    // Last member first, as the upward walk records everything.
    for (auto it = members.rbegin(); it != members.rend(); ++it) {
        std::int32_t mm = m;
        GetDefinitions(defs, fileName, it->line, offset, projectFolder, projectName, it->text, mm, qualifier);
    }
    std::int32_t mm = m;
    GetDefinitions(defs, fileName, header, offset, projectFolder, projectName, blockText, mm, "");
}

void SetDefinitionProcName(DefinitionList& defs, std::string_view procName, std::size_t from) {
    for (std::size_t i = defs.size(); i > from; --i) {
        clsDefinitions& d = defs[i - 1];
        if (!d.ProcName.empty()) break;
        d.ProcName = std::string(procName);
    }
}

namespace {

// The procedures of one file with the declaration lines of their locals, and the file's source.
struct FileBodies {
    std::shared_ptr<const SourceText> source;
    struct Body {
        const clsProcedures* p;
        std::vector<LineIndex> declarations;  // sorted
    };
    std::vector<Body> bodies;  // ordered by header line
};

std::string FileIdentity(std::string_view project, std::string_view fileName) {
    std::string k(project);
    k += '\x01';
    k += fileName;
    return k;
}

bool IsLocalOf(const clsDefinitions& d, const clsProcedures& p) {
    if (d.ProcName != p.pName || d.Filename != p.pFilename || d.Project != p.pProject) return false;
    const LineIndex line = DefinitionLine(d);
    return line >= p.pStart && line <= p.pFuncLineEnd;
}

// The declaration lines and the continuation lines of their statements, sorted: a name is not used
// by its own declaration, however many physical lines that takes. Many names share one statement
// (and one line), so each statement is walked once.
void ExpandDeclarationLines(std::vector<LineIndex>& declarations, const std::vector<std::string>& lines) {
    std::sort(declarations.begin(), declarations.end());
    declarations.erase(std::unique(declarations.begin(), declarations.end()), declarations.end());
    const std::size_t first = declarations.size();
    LineIndex reached = -1;  // continuation lines are added up to here already
    for (std::size_t i = 0; i < first; ++i) {
        LineIndex line = std::max(declarations[i], reached);
        while (line >= 0 && static_cast<std::size_t>(line) + 1 < lines.size() && IsContinuedLine(lines[line]))
            declarations.push_back(++line);
        reached = std::max(reached, line);
    }
    std::sort(declarations.begin(), declarations.end());
    declarations.erase(std::unique(declarations.begin(), declarations.end()), declarations.end());
}

// Local definitions by file and procedure name.
using LocalsIndex = std::unordered_map<std::string, std::vector<std::size_t>>;

LocalsIndex IndexLocals(const DefinitionList& defs) {
    LocalsIndex index;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const clsDefinitions& d = defs[i];
        if (d.ProcName.empty() || d.ProcName == "_None_") continue;
        index[FileIdentity(d.Project, d.Filename) + '\x01' + d.ProcName].push_back(i);
    }
    return index;
}

FileBodies MakeBodies(std::shared_ptr<const SourceText> source, const ProcedureList& procs, const DefinitionList& defs,
                      const LocalsIndex& locals) {
    FileBodies f;
    f.source = std::move(source);
    for (const clsProcedures& p : procs) {
        FileBodies::Body b{&p, {}};
        const auto it = locals.find(FileIdentity(p.pProject, p.pFilename) + '\x01' + p.pName);
        if (it != locals.end())
            for (std::size_t i : it->second)
                if (IsLocalOf(defs[i], p) && f.source) b.declarations.push_back(DefinitionLine(defs[i]));
        if (f.source) ExpandDeclarationLines(b.declarations, f.source->lines());
        f.bodies.push_back(std::move(b));
    }
    std::sort(f.bodies.begin(), f.bodies.end(),
              [](const FileBodies::Body& a, const FileBodies::Body& b) { return a.p->pFuncLineStart < b.p->pFuncLineStart; });
    return f;
}

// Whether line k lies in a procedure body of the file and is not one of its declaration lines.
bool IsSearchedLine(const FileBodies& f, LineIndex k) {
    auto it = std::upper_bound(f.bodies.begin(), f.bodies.end(), k,
                               [](LineIndex line, const FileBodies::Body& b) { return line <= b.p->pFuncLineStart; });
    if (it == f.bodies.begin()) return false;
    const FileBodies::Body& b = *(it - 1);
    if (k <= b.p->pFuncLineStart || k >= b.p->pFuncLineEnd) return false;
    return !std::binary_search(b.declarations.begin(), b.declarations.end(), k);
}

// Whether `name` is used in any procedure body of the file.
bool FileUsesName(const FileBodies& f, clsDefinitions& d, UsageSearch search) {
    if (!f.source) return false;
    const std::string name = DefinitionSearchName(d);
    if (search == UsageSearch::Indexed && FileUsageIndex::IsIndexableName(name)) {
        const std::vector<LineIndex>* hits = f.source->Index().Hits(name);
        if (!hits) return false;
        for (LineIndex k : *hits)
            if (IsSearchedLine(f, k)) return true;
        return false;
    }
    for (const FileBodies::Body& b : f.bodies) {
        FindDefinitionUsage(d, *b.p, b.declarations, *f.source, UsageSearch::Literal);
        if (d.Used) return true;
    }
    return false;
}

// The source of a file for the checks after the scan: the one the scan kept, or the file read again
// from its own folder.
std::shared_ptr<const SourceText> SourceOf(LoadContext& ctx, const clsFileInfo& file) {
    if (auto s = ctx.Source(file.fKey)) return s;
    const double t0 = ctx.host.Seconds();
    std::int32_t offset = 0;
    const std::string path =
        file.fPath.empty() ? platform::ResolveListedPath(file.fAppFldr, file.fFilename).path : file.fPath;
    auto text = ReadSourceFile(path, offset);
    ctx.stats.readSeconds += ctx.host.Seconds() - t0;
    if (!text) return nullptr;
    auto source = std::make_shared<const SourceText>(std::move(text->lines));
    ctx.KeepSource(file.fKey, source);
    return source;
}

const clsFileInfo* FindFile(const FileList& files, std::string_view key) {
    for (const clsFileInfo& f : files)
        if (platform::IEquals(f.fKey, key)) return &f;
    return nullptr;
}

}  // namespace

void CheckDefinitionUsage(LoadContext& ctx, const clsProcedures& p, const SourceText& source, DefinitionList& defs,
                          const std::string& fileName) {
    if (defs.empty()) return;
    ctx.host.WriteLog("Checking for Definition Usage");
    const clsDefinitions& last = defs.back();
    if (last.ProcName != p.pName || last.Filename != fileName) return;
    const double t0 = ctx.host.Seconds();
    std::vector<std::size_t> locals;
    std::vector<LineIndex> declarations;
    for (std::size_t i = defs.size(); i > 0; --i) {
        const clsDefinitions& d = defs[i - 1];
        if (d.ProcName != p.pName || d.Filename != fileName) break;
        if (!IsLocalOf(d, p)) continue;
        locals.push_back(i - 1);
        declarations.push_back(DefinitionLine(d));
    }
    ExpandDeclarationLines(declarations, source.lines());
    for (std::size_t i : locals) FindDefinitionUsage(defs[i], p, declarations, source, ctx.search);
    ctx.stats.usageSeconds += ctx.host.Seconds() - t0;
}

void CheckModulePrivateDefinitionUsage(LoadContext& ctx, ProcedureMap& procedures, DefinitionList& defs,
                                       const FileList& files) {
    ctx.host.WriteLog("Checking for Module Private Definition Usage");
    if (defs.empty()) return;
    const double t0 = ctx.host.Seconds();
    // Module-level private definitions by file.
    std::unordered_map<std::string, std::vector<std::size_t>> privates;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const clsDefinitions& d = defs[i];
        if (d.ProcName == "_None_" && (d.DefType & mask::kPrivate) && !d.Used)
            privates[FileIdentity(d.Project, d.Filename)].push_back(i);
    }
    const LocalsIndex locals = IndexLocals(defs);
    for (ProcedureMap::Entry& entry : procedures) {
        if (ctx.host.CancelRequested()) break;
        if (entry.procedures.empty()) continue;
        const clsProcedures& first = entry.procedures.front();
        const auto it = privates.find(FileIdentity(first.pProject, first.pFilename));
        if (it == privates.end()) continue;
        const clsFileInfo* file = FindFile(files, entry.key);
        if (!file) continue;
        ctx.host.DisplayMessage("Checking Definitions for " + file->fFilename, true, align::kLeft);
        const FileBodies bodies = MakeBodies(SourceOf(ctx, *file), entry.procedures, defs, locals);
        for (std::size_t i : it->second) {
            clsDefinitions& d = defs[i];
            if (!d.Used && FileUsesName(bodies, d, ctx.search)) d.Used = true;
        }
        ctx.pacer.Point();
    }
    ctx.stats.usageSeconds += ctx.host.Seconds() - t0;
}

void CheckPublicDefinitionUsage(LoadContext& ctx, ProjectModel& model) {
    ctx.host.WriteLog("Checking for Public Definition Usage");
    const double t0 = ctx.host.Seconds();
    // Public module-level definitions by project.
    struct Wanted {
        clsDefinitions* d;
        std::string name;
    };
    std::unordered_map<std::string, std::vector<Wanted>> byProject;
    for (FileKind kind : kAllKinds)
        for (clsDefinitions& d : model.Definitions(kind))
            if (d.ProcName == "_None_" && (d.DefType & mask::kPublic) && !d.Used)
                byProject[d.Project].push_back(Wanted{&d, DefinitionSearchName(d)});
    if (byProject.empty()) return;


    for (auto& [project, wanted] : byProject) {
        // Every file of the project that has procedures, with its bodies.
        std::vector<FileBodies> files;
        for (FileKind kind : kAllKinds) {
            const LocalsIndex locals = IndexLocals(model.Definitions(kind));
            for (const clsFileInfo& file : model.Files(kind)) {
                if (file.fProject != project) continue;
                const ProcedureList* procs = model.Procedures(kind).Find(file.fKey);
                if (!procs || procs->empty()) continue;
                if (ctx.host.CancelRequested()) return;
                files.push_back(MakeBodies(SourceOf(ctx, file), *procs, model.Definitions(kind), locals));
                ctx.pacer.Point();
            }
        }
        // Names the index answers: one walk over each file's words.
        std::unordered_set<std::string> open, used;
        for (const Wanted& w : wanted)
            if (ctx.search == UsageSearch::Indexed && FileUsageIndex::IsIndexableName(w.name)) open.insert(w.name);
        if (!open.empty()) {
            for (const FileBodies& f : files) {
                if (!f.source) continue;
                f.source->Index().ForEachWord([&](std::string_view word, const std::vector<LineIndex>& lines) {
                    const auto it = open.find(std::string(word));
                    if (it == open.end()) return;
                    for (LineIndex k : lines)
                        if (IsSearchedLine(f, k)) {
                            used.insert(*it);
                            open.erase(it);
                            return;
                        }
                });
                if (open.empty()) break;
            }
        }
        for (const Wanted& w : wanted) {
            if (ctx.search == UsageSearch::Indexed && FileUsageIndex::IsIndexableName(w.name)) {
                if (used.count(w.name)) w.d->Used = true;
                continue;
            }
            for (const FileBodies& f : files)
                if (FileUsesName(f, *w.d, UsageSearch::Literal)) {
                    w.d->Used = true;
                    break;
                }
        }
    }
    ctx.stats.usageSeconds += ctx.host.Seconds() - t0;
}

}  // namespace engine
