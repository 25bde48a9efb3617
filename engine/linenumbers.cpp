#include "engine/linenumbers.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "engine/classify.h"
#include "engine/source.h"
#include "platform/text.h"

namespace engine {
namespace {

constexpr std::size_t kPrefix = 7;

std::string FileKeyOf(std::string_view project, std::string_view fileName) {
    std::string key = platform::Fold(project);
    key += '\0';
    key += platform::Fold(fileName);
    return key;
}

// The records of a file that fit its lines (they do unless the file changed since the load).
bool Fits(const clsProcedures& p, std::size_t lineCount) {
    return p.pFuncLineStart >= 0 && p.pFuncLineEnd > p.pFuncLineStart &&
           static_cast<std::size_t>(p.pFuncLineEnd) < lineCount;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "000010 " ... "999999 ": the prefix of a numbered line.
bool HasNumberPrefix(std::string_view line) {
    if (line.size() < kPrefix || line[6] != ' ') return false;
    bool nonZero = false;
    for (std::size_t i = 0; i < 6; ++i) {
        if (!IsDigit(line[i])) return false;
        nonZero = nonZero || line[i] != '0';
    }
    return nonZero;
}

bool HasBlankPrefix(std::string_view line) { return line.size() >= kPrefix && line.substr(0, kPrefix) == "       "; }

// A label at the start of the statement: a name followed by ":" (not ":=", a named argument).
bool StartsWithLabel(std::string_view t) {
    Lexer lexer(t);
    Token name, colon;
    return lexer.Next(name) && name.kind == TokenKind::Word && !IsDigit(name.text.front()) &&
           name.text.front() != '_' && !IsTypeChar(name.text.back()) && lexer.Next(colon) &&
           colon.kind == TokenKind::Separator && lexer.Offset(colon) == lexer.Offset(name) + name.text.size();
}

// What numbering does to one line: how many characters it takes off the front (an old prefix),
// and what it puts there (-1 nothing, 0 seven blanks, a number and a blank).
struct LineEdit {
    std::uint8_t strip = 0;
    std::int64_t prefix = -1;
};
using LineEdits = std::vector<LineEdit>;

void AppendPrefix(std::string& out, std::int64_t number) {
    if (number > 0) {
        char buf[32];
        const int n = std::snprintf(buf, sizeof buf, "%06lld ", static_cast<long long>(number));
        out.append(buf, static_cast<std::size_t>(n));
    } else if (number == 0) {
        out.append(kPrefix, ' ');
    }
}

void Apply(LineArray& text, const LineEdits& edits) {
    for (std::size_t i = 0; i < edits.size() && i < text.lines.size(); ++i) {
        const LineEdit& e = edits[i];
        if (e.strip == 0 && e.prefix < 0) continue;
        std::string line;
        AppendPrefix(line, e.prefix);
        line.append(std::string_view(text.lines[i]).substr(e.strip));
        text.lines[i] = std::move(line);
    }
}

// The bytes of the file with the edits made: every line keeps its own ending.
std::string Rewritten(const platform::TextLines& text, const LineEdits& edits) {
    std::string out;
    out.reserve(text.bytes().size() + text.size() * kPrefix / 2);
    if (text.bom()) out += platform::kUtf8Bom;
    std::size_t run = 0;  // the first line of the run of unedited lines not yet copied
    for (std::size_t i = 0; i < text.size(); ++i) {
        const LineEdit& e = edits[i];
        if (e.strip == 0 && e.prefix < 0) continue;
        out.append(text.Bytes(run, i));
        AppendPrefix(out, e.prefix);
        out.append(text.Bytes(i, i + 1).substr(e.strip));
        run = i + 1;
    }
    out.append(text.Bytes(run, text.size()));
    return out;
}

bool PlanStrip(const ProcedureList& procedures, platform::LineView lines, LineEdits& edits,
               const std::unordered_set<LineIndex>* declarations);
std::int64_t PlanNumbers(const ProcedureList& procedures, platform::LineView lines, LineEdits& edits,
                         const std::unordered_set<LineIndex>* declarations, std::int64_t& counter,
                         std::int64_t increment, int scope);

void NumberFiles(ToolState& state, Host& host, FileOps& files, RewriteStats* stats, bool remove) {
    const HeldLogs held(host);
    host.HourGlassOn();
    const auto refuse = [&](const std::string& text) {
        host.HourGlassOff();
        host.MyMsgBox(text, msgbox::kOKOnly, "", align::kCenter);
    };
    if (!state.model.Loaded) {
        refuse(std::string("The project is not completely loaded; load it again before ") +
               (remove ? "removing line numbers" : "numbering lines"));
        return;
    }
    const std::int64_t increment = state.LineIncrement;
    const int scope = state.ResequenceIndex;
    if (!remove && (increment <= 0 || scope < 0 || scope > 2)) {
        refuse("The line-number increment or scope is not valid; nothing was changed");
        return;
    }

    ChangeSet cs(state, host, files);
    const double t0 = host.Seconds();
    struct Planned {
        const clsFileInfo* file;
        SourceRead read;
        LineEdits edits;
    };
    std::vector<Planned> planned;
    std::int64_t counter = increment, highest = 0;
    for (FileKind kind : kAllKinds) {
        const DeclarationLines declarations(state.model.Definitions(kind));
        for (const clsFileInfo& file : state.model.Files(kind)) {
            const ProcedureList* procs = state.model.Procedures(kind).Find(file.fKey);
            if (!procs || procs->empty() || !file.fExists) continue;
            Planned p{&file, {}, {}};
            const ReadOutcome outcome = ReadFileToRewrite(cs, file.fPath, file.fFilename, file.fLoaded, p.read);
            if (outcome == ReadOutcome::Missing) cs.Problem(file.fFilename, "no longer exists; left out");
            if (outcome != ReadOutcome::Read) continue;
            p.edits.assign(p.read.lines.size(), LineEdit{});
            PlanStrip(*procs, p.read.lines, p.edits, declarations.For(file));
            if (!remove)
                highest = std::max(highest, PlanNumbers(*procs, p.read.lines, p.edits, declarations.For(file), counter,
                                                        increment, scope));
            planned.push_back(std::move(p));
        }
    }
    if (highest > kHighestLineNumber) {
        cs.stats.rewriteSeconds += host.Seconds() - t0;
        if (stats) *stats = cs.stats;
        refuse("Line numbers would pass " + std::to_string(kHighestLineNumber) + " (the last would be " +
               std::to_string(highest) +
               "); nothing was changed. Choose a smaller increment, or number each module or each procedure.");
        return;
    }
    for (Planned& p : planned)
        WriteContentToFile(cs, p.file->fPath, p.file->fFilename, Rewritten(p.read.lines, p.edits), p.read,
                           p.file->fProject);
    planned.clear();
    cs.stats.rewriteSeconds += host.Seconds() - t0;

    state.RunMode = remove ? 2 : 1;
    CommitChanges(cs);
    // No line was added or removed, so the records still fit; only the fingerprints move on.
    for (const PendingChange& c : cs.changes) {
        if (c.status != ChangeStatus::Replaced) continue;
        for (FileKind kind : kAllKinds)
            for (clsFileInfo& f : state.model.Files(kind))
                if (f.fPath == c.path) f.fLoaded = c.after;
    }
    state.UndoAvailable = ChangeCanBeUndone(state, files);
    if (stats) *stats = cs.stats;
    host.HourGlassOff();
    host.MyMsgBox(OutcomeMessage(OutcomeFirstLine(cs, remove ? "Line Numbers Removed" : "Line Numbers Added / Renumbered"),
                                 cs.problems),
                  msgbox::kOKOnly, "", align::kCenter);
}

}  // namespace

DeclarationLines::DeclarationLines(const DefinitionList& definitions) {
    for (const clsDefinitions& d : definitions) lines_[FileKeyOf(d.Project(), d.Filename())].insert(d.LineNo);
}

const std::unordered_set<LineIndex>* DeclarationLines::For(const clsFileInfo& file) const {
    const auto it = lines_.find(FileKeyOf(file.fProject, file.fFilename));
    return it == lines_.end() ? nullptr : &it->second;
}

namespace {

// Whether `line` may name Select, in any letter case.
bool MayNameSelect(std::string_view line) { return platform::IFind(line, "select") != std::string_view::npos; }

// Follows the heads of Select Case statements through the statements of one logical line, the
// physical lines [first, last] of `body`: a "Select Case" statement opens a head, which lasts up
// to the first "Case" (or an "End Select") statement, wherever the statements stand: after a
// label, after a line number, after another statement and ":", or on the first Case line of an
// outer Select. `open`: whether a head is open where the line starts; on return, where it ends.
template <typename At>
void FollowSelectHeads(At body, std::size_t first, std::size_t last, bool& open) {
    enum class After : std::uint8_t { Nothing, Select, End };
    After after = After::Nothing;
    bool start = true;  // at the start of a statement
    // Only the first statement can matter when there is no other (one physical line without ":"),
    // or when no Select is named (only its first words can close the head, as a "Case").
    bool single = first == last && body(first).find(':') == std::string_view::npos;
    if (!single) {
        single = true;
        for (std::size_t k = first; k <= last && single; ++k) single = !MayNameSelect(body(k));
    }
    for (std::size_t k = first; k <= last; ++k) {
        Lexer lexer(body(k));
        for (Token t; lexer.Next(t);) {
            if (t.kind == TokenKind::Comment || t.kind == TokenKind::Rem) return;  // the rest is comment
            if (t.kind == TokenKind::Continuation) continue;
            if (t.kind == TokenKind::Separator) {
                start = true;
                after = After::Nothing;
                continue;
            }
            if (after != After::Nothing) {
                if (after == After::Select && IsWord(t, "Case")) open = true;
                else if (after == After::End && IsWord(t, "Select")) open = false;
                after = After::Nothing;
                if (single) return;
                continue;
            }
            if (!start) continue;
            if (t.kind == TokenKind::Number) continue;  // a line number in front of the statement
            start = false;
            if (IsWord(t, "Select")) after = After::Select;
            else if (IsWord(t, "End")) after = After::End;
            else if (IsWord(t, "Case")) open = false;
            if (single && after == After::Nothing) return;
        }
    }
}

// Whether the logical line of the physical lines [first, last] of `body` may open the head of a
// Select Case, `t` being its first line trimmed: a statement starts the line (after a line number
// or a label, which has a ":") or follows a ":". A quick test that most lines fail, so that only
// the few that pass are lexed.
template <typename At>
bool MayOpenHead(At body, std::size_t first, std::size_t last, std::string_view firstLine, std::string_view t) {
    if (t.empty() || t.front() == '\'') return false;
    if (platform::IStartsWith(t, "select") || IsDigit(t.front())) return true;
    for (std::size_t j = first; j <= last; ++j) {
        const std::string_view line = j == first ? firstLine : body(j);
        if (line.find(':') != std::string_view::npos && MayNameSelect(line)) return true;
    }
    return false;
}

// The number an author wrote in front of a statement ("20  x = 3", "20: x = 3"), or -1. A number
// too long to be one of ours is kept at a value none of ours reaches.
std::int64_t AuthorsNumber(std::string_view t) {
    constexpr std::int64_t kBeyond = 1'000'000'000'000;
    std::size_t i = 0;
    std::int64_t v = 0;
    for (; i < t.size() && IsDigit(t[i]); ++i) v = v >= kBeyond ? kBeyond : v * 10 + (t[i] - '0');
    if (i == 0 || (i < t.size() && t[i] != ' ' && t[i] != '\t' && t[i] != ':')) return -1;
    return v;
}

// Which lines of a body without prefixes get a number: `body` holds the `count` lines that start
// at line index `begin`. `taken`, when given, receives the numbers the author wrote in front of
// statements of the body (ours must not repeat them).
template <typename At>
std::vector<char> LinesToNumber(At body, std::size_t count, LineIndex begin,
                                const std::unordered_set<LineIndex>* declarations,
                                std::vector<std::int64_t>* taken = nullptr) {
    std::vector<char> number(count, 0);
    bool head = false;  // between a Select Case and its first Case: nothing there may carry a number
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t first = k;
        const std::string_view line = body(first);
        // The lines that continue a statement carry no number, whatever the statement.
        if (k + 1 < count && IsContinuedLine(line))
            for (++k; k + 1 < count && IsContinuedLine(body(k));) ++k;
        const std::string_view t = platform::TrimWhite(line);
        if (taken && !t.empty() && IsDigit(t.front()))
            if (const std::int64_t own = AuthorsNumber(t); own >= 0) taken->push_back(own);
        // A line of a lone "_" would become a continued line behind a number (" _" at its end).
        number[first] = !head && !(declarations && declarations->count(begin + static_cast<LineIndex>(first))) &&
                        !t.empty() && t.front() != '\'' && t.front() != '#' && t.back() != ':' && !IsDigit(t.front()) &&
                        !StartsWithLabel(t) && t != "_";
        if (head || MayOpenHead(body, first, k, line, t)) FollowSelectHeads(body, first, k, head);
    }
    return number;
}

}  // namespace

namespace {

// A statement that may declare a local (its line carries no number when the definitions list it).
bool MayDeclare(std::string_view t) {
    for (std::string_view word : {"Dim", "Static", "Const", "ReDim", "Private", "Public", "Global"})
        if (platform::IStartsWith(t, word) && (t.size() == word.size() || t[word.size()] == ' ' || t[word.size()] == '\t'))
            return true;
    return false;
}

// Whether the body lines [begin, end) carry the prefixes of our numbering, and not numbers the
// author wrote: numbering puts a prefix on every body line, a number only on a line that can carry
// one and seven blanks on every other. So the body has a numbered line; at least half of its lines
// that hold anything carry a prefix (lines added since carry none); and the lines with seven blanks
// in front that numbering would have numbered (an author's indentation of seven blanks or more, or
// a line added since under one with seven blanks) are fewer than half the numbered lines. A
// procedure with one line numbered by hand and deeper indentation is thus the author's: the number
// and the blanks in front of every other line stay as they are.
bool CarriesOurNumbers(platform::LineView lines, LineIndex begin, LineIndex end,
                       const std::unordered_set<LineIndex>* declarations) {
    std::size_t numbers = 0, prefixed = 0, filled = 0;
    for (LineIndex j = begin; j < end; ++j) {
        const std::string_view line = lines[static_cast<std::size_t>(j)];
        const bool number = HasNumberPrefix(line), blank = HasBlankPrefix(line);
        numbers += number;
        if (!platform::TrimWhite(line).empty()) {
            ++filled;
            prefixed += number || blank;
        }
    }
    if (numbers == 0 || prefixed * 2 < filled) return false;
    const auto stripped = [&](std::size_t k) {
        const std::string_view line = lines[static_cast<std::size_t>(begin) + k];
        return HasNumberPrefix(line) || HasBlankPrefix(line) ? line.substr(kPrefix) : line;
    };
    const auto count = static_cast<std::size_t>(end - begin);
    const std::vector<char> number = LinesToNumber(stripped, count, begin, declarations);
    std::size_t unlike = 0;
    for (std::size_t k = 0; k < count; ++k) {
        if (!number[k] || !HasBlankPrefix(lines[static_cast<std::size_t>(begin) + k])) continue;
        // Without the definitions a declaration cannot be told; it is given the benefit of the doubt.
        if (!declarations && MayDeclare(platform::TrimWhite(stripped(k)))) continue;
        ++unlike;
    }
    return unlike * 2 < numbers;
}

// The prefixes of earlier numbering to take off, from the procedures that carry them
// (CarriesOurNumbers); a procedure that does not holds nothing of ours. True when there is any.
bool PlanStrip(const ProcedureList& procedures, platform::LineView lines, LineEdits& edits,
               const std::unordered_set<LineIndex>* declarations) {
    bool removed = false;
    for (const clsProcedures& p : procedures) {
        if (!Fits(p, lines.size())) continue;
        const LineIndex begin = HeaderEndLine(lines, p.pFuncLineStart, p.pFuncLineEnd) + 1;
        const LineIndex end = p.pFuncLineEnd;
        if (!CarriesOurNumbers(lines, begin, end, declarations)) continue;
        for (LineIndex j = begin; j < end; ++j) {
            const std::string_view line = lines[static_cast<std::size_t>(j)];
            if (HasNumberPrefix(line) || HasBlankPrefix(line)) {
                edits[static_cast<std::size_t>(j)].strip = kPrefix;
                removed = true;
            }
        }
    }
    return removed;
}

// The new prefixes, on the lines as they are once the old prefixes are off. Returns the highest
// number given.
std::int64_t PlanNumbers(const ProcedureList& procedures, platform::LineView lines, LineEdits& edits,
                         const std::unordered_set<LineIndex>* declarations, std::int64_t& counter,
                         std::int64_t increment, int scope) {
    if (scope == 1) counter = increment;
    std::int64_t highest = 0;
    for (std::size_t r = procedures.size(); r-- > 0;) {
        const clsProcedures& p = procedures[r];
        if (!Fits(p, lines.size())) continue;
        if (scope == 2) counter = increment;
        const LineIndex begin = HeaderEndLine(lines, p.pFuncLineStart, p.pFuncLineEnd) + 1;
        const auto stripped = [&](std::size_t k) {
            const std::size_t j = static_cast<std::size_t>(begin) + k;
            return lines[j].substr(edits[j].strip);
        };
        std::vector<std::int64_t> taken;
        const std::vector<char> number =
            LinesToNumber(stripped, static_cast<std::size_t>(p.pFuncLineEnd - begin), begin, declarations, &taken);
        // A body with no line to number (comments, blanks, declarations only) stays as it is: its
        // blanks could not be told from the author's when the numbers are removed.
        if (std::find(number.begin(), number.end(), 1) == number.end()) continue;
        std::sort(taken.begin(), taken.end());
        for (LineIndex j = begin; j < p.pFuncLineEnd; ++j) {
            LineEdit& e = edits[static_cast<std::size_t>(j)];
            if (number[static_cast<std::size_t>(j - begin)]) {
                // A number is a label: where the author's line holds this one, the next free one.
                while (std::binary_search(taken.begin(), taken.end(), counter)) counter += increment;
                e.prefix = counter;
                highest = std::max(highest, counter);
                counter += increment;
            } else {
                e.prefix = 0;
            }
        }
    }
    return highest;
}

}  // namespace

bool StripLineNumbers(const ProcedureList& procedures, LineArray& text,
                      const std::unordered_set<LineIndex>* declarations) {
    LineEdits edits(text.lines.size());
    const bool removed = PlanStrip(procedures, text, edits, declarations);
    Apply(text, edits);
    return removed;
}

std::int64_t AddLineNumbersToFile(const ProcedureList& procedures, LineArray& text,
                                  const std::unordered_set<LineIndex>* declarations, std::int64_t& counter,
                                  std::int64_t increment, int scope) {
    LineEdits edits(text.lines.size());
    PlanStrip(procedures, text, edits, declarations);
    const std::int64_t highest = PlanNumbers(procedures, text, edits, declarations, counter, increment, scope);
    Apply(text, edits);
    return highest;
}

void rtnAddLineNumbers(ToolState& state, Host& host, FileOps& files, RewriteStats* stats) {
    NumberFiles(state, host, files, stats, false);
}

void rtnRemoveLineNumbers(ToolState& state, Host& host, FileOps& files, RewriteStats* stats) {
    NumberFiles(state, host, files, stats, true);
}

}  // namespace engine
