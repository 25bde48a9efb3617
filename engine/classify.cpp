#include "engine/classify.h"

#include <algorithm>
#include <array>

#include "engine/lexer.h"
#include "platform/text.h"

namespace engine {
namespace {

using platform::Trim;

// A keyword preceded by one of these is part of something else: a longer name, a member after
// ".", a compiler directive after "#".
bool BlocksWordStart(char c) { return IsWordChar(c) || c == '.' || c == '#'; }

// Whether `kw` found at `pos` of `s` stands as a whole word.
bool WholeWordAt(std::string_view s, std::size_t pos, std::string_view kw) {
    if (kw.front() != ' ' && pos > 0 && BlocksWordStart(s[pos - 1])) return false;
    const std::size_t end = pos + kw.size();
    if (kw.back() != ' ' && end < s.size() && IsWordChar(s[end])) return false;
    return true;
}

// Removes every occurrence of `kw` (exact case), left to right as Visual Basic's Replace does; with
// `words` only the occurrences that stand as whole words.
void RemoveAll(std::string& s, std::string_view kw, bool words) {
    std::size_t pos = s.find(kw);
    if (pos == std::string::npos) return;
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    while (pos != std::string::npos) {
        if (!words || WholeWordAt(s, pos, kw)) {
            out.append(s, from, pos - from);
            from = pos + kw.size();
            pos = s.find(kw, from);
        } else {
            pos = s.find(kw, pos + 1);
        }
    }
    out.append(s, from, std::string::npos);
    s.swap(out);
}

// Case-insensitive containment on a folded copy; with `words` only as a whole word.
bool ContainsFolded(std::string_view folded, std::string_view kwFolded, bool words) {
    std::size_t pos = folded.find(kwFolded);
    while (pos != std::string_view::npos) {
        if (!words || WholeWordAt(folded, pos, kwFolded)) return true;
        pos = folded.find(kwFolded, pos + 1);
    }
    return false;
}

void TrimInPlace(std::string& s) {
    const std::string_view t = Trim(s);
    if (t.size() != s.size()) s = std::string(t);
}

constexpr std::array<std::string_view, 4> kExitWords = {"exit function", "exit sub", "exit property", "redim "};
constexpr std::array<std::string_view, 16> kInterestWords = {
    "private ",  "public ", "sub ",         "function ",    "declare ", "dim ",     "const ",      "static ",
    "property ", "end sub", "end property", "end function", "end type", "end enum", "withevents ", "global "};

std::int32_t LineType(std::string& s, bool words) {
    const std::string folded = platform::Fold(s);
    for (auto kw : kExitWords)
        if (ContainsFolded(folded, kw, words)) return 0;
    bool interest = false;
    for (auto kw : kInterestWords)
        if (ContainsFolded(folded, kw, words)) {
            interest = true;
            break;
        }
    if (!interest) return 0;

    std::int32_t m = 0;
    std::size_t len = s.size();
    // Each step: remove the keyword, trim when the step says so, apply its bits when the length
    // changed (a change by the trim alone counts too).
    auto step = [&](std::string_view kw, bool trim) {
        RemoveAll(s, kw, words);
        if (trim) TrimInPlace(s);
        if (s.size() == len) return false;
        len = s.size();
        return true;
    };

    RemoveAll(s, "End Sub", words);
    RemoveAll(s, "End Function", words);
    RemoveAll(s, "End Property", words);
    m = mask::kPrivate;
    if (s.size() != len) {
        m = mask::kEndProcedure | mask::kPrivate;
        len = s.size();
    }
    if (step("Private ", false)) m |= mask::kPrivate;
    if (step("Public ", false)) m = (m & ~mask::kPrivate) | mask::kPublic;
    if (step("Global ", false)) m = (m & ~mask::kPrivate) | mask::kPublic;
    if (step("Sub ", false)) m |= mask::kSub;
    if (step("Function ", true)) m |= mask::kFunction;
    if (step("Declare ", true)) m |= mask::kDeclareBits;
    if (step("Dim ", true)) m |= mask::kDefinition | mask::kDim;
    if (step("Const ", true)) m |= mask::kDefinition | mask::kConst;
    if (step("Property ", true)) m |= mask::kProperty;
    if (step(" Let ", true)) m |= mask::kLet;
    if (step(" Get ", true)) m |= mask::kGet;
    if (step(" Get ", true)) m |= mask::kGet;
    if (step("WithEvents ", true)) m |= mask::kWithEvents | mask::kSub;
    if (step("End Enum", true)) m |= mask::kEndEnum | mask::kDefinition;
    if (step("End Type", true)) m |= mask::kEndType | mask::kDefinition;
    return m;
}

// Quick test on the words of a code text: could any keyword of interest stand in it? Most body
// lines hold none, and are answered without the keyword steps.
bool MayHoldKeyword(std::string_view code) {
    static constexpr std::array<std::string_view, 12> kWords = {"private",  "public", "sub",        "function",
                                                                "declare",  "dim",    "const",      "static",
                                                                "property", "end",    "withevents", "global"};
    bool found = false;
    ForEachWordRun(code, [&](std::size_t i, std::size_t j) {
        const std::size_t len = j - i;
        if (found || len < 3 || len > 10) return;
        char buf[10];
        for (std::size_t k = 0; k < len; ++k) buf[k] = static_cast<char>(platform::FoldByte(code[i + k]));
        const std::string_view w(buf, len);
        for (auto kw : kWords)
            if (kw == w) found = true;
    });
    return found;
}

// At module level, "Private x As Long", "Public x As Long" and "Global x As Long" declare
// variables just as "Dim x As Long" does (but not "Private Type", "Public Enum", "Public Event").
bool IsScopeVariableDeclaration(std::string_view code) {
    Lexer lexer(code);
    Token scope, word;
    if (!lexer.Next(scope) || !lexer.Next(word) || word.kind != TokenKind::Word) return false;
    if (scope.text != "Private" && scope.text != "Public" && scope.text != "Global") return false;
    static constexpr std::array<std::string_view, 6> kNotVariables = {"Type",       "Enum",   "Event",
                                                                      "Implements", "Friend", "Static"};
    for (auto w : kNotVariables)
        if (w == word.text) return false;
    return true;
}

}  // namespace

namespace {

// The statements of a code text, one after another (the lexer's ":" separators), each without
// the line number or label in front of it; `f` answers true to stop.
template <class F>
void ForEachStatement(std::string_view code, F f) {
    for (std::string_view piece : SplitStatements(code))
        if (f(platform::LTrimWhite(WithoutLineLabel(platform::LTrimWhite(piece))))) return;
}

bool ReadHeader(std::string_view s, ProcedureHeader& out) {
    Lexer lexer(s);
    Token t;
    const auto next = [&] { return lexer.Next(t) ? t : Token{TokenKind::Operator, {}}; };
    Token word = next();
    std::string_view scope;
    for (std::string_view w : {"Public", "Private", "Friend", "Global"})
        if (IsWord(word, w)) {
            scope = word.text;
            word = next();
            break;
        }
    if (IsWord(word, "Static")) word = next();
    std::int32_t kind = 0;
    if (IsWord(word, "Sub")) {
        kind = mask::kSub;
    } else if (IsWord(word, "Function")) {
        kind = mask::kFunction;
    } else if (IsWord(word, "Property")) {
        const Token accessor = next();
        if (!IsWord(accessor, "Get") && !IsWord(accessor, "Let") && !IsWord(accessor, "Set")) return false;
        kind = mask::kProperty;
    } else {
        return false;
    }
    // The name, with its type sign ("Calc$").
    const Token name = next();
    if (name.kind != TokenKind::Word) return false;
    out = ProcedureHeader{kind, scope, name.text};
    return true;
}

}  // namespace

ProcedureHeader ProcedureHeaderOf(std::string_view code) {
    ProcedureHeader header;
    ForEachStatement(code, [&](std::string_view statement) { return ReadHeader(statement, header); });
    return header;
}

bool EndsProcedure(std::string_view code) {
    bool ends = false;
    ForEachStatement(code, [&](std::string_view statement) {
        Lexer lexer(statement);
        Token end, kind;
        if (!lexer.Next(end) || !IsWord(end, "End") || !lexer.Next(kind)) return false;
        ends = IsWord(kind, "Sub") || IsWord(kind, "Function") || IsWord(kind, "Property");
        return ends;
    });
    return ends;
}

std::int32_t GetLineType(std::string& statement) { return LineType(statement, false); }

std::int32_t GetCodeLineType(std::string code) {
    if (!MayHoldKeyword(code)) return 0;
    const std::string text = code;
    std::int32_t m = LineType(code, true);
    // A header, and the End of a procedure, only where their words open a statement: "Property"
    // as a parameter, a variable or a member is no header. (A Declare or WithEvents statement
    // keeps its own bits.)
    if ((m & mask::kHeader) && !(m & (mask::kDeclareBits | mask::kWithEvents))) {
        const std::int32_t kind = ProcedureHeaderOf(text).kind;
        m &= ~(mask::kHeader | (kind == mask::kProperty ? 0 : mask::kLet | mask::kGet));
        m |= kind;
    }
    if ((m & mask::kEndProcedure) && !EndsProcedure(text)) m &= ~mask::kEndProcedure;
    return m;
}

std::string StatementCode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    Lexer lexer(s);
    std::size_t copied = 0;  // the text before this has been copied
    for (Token t; lexer.Next(t);) {
        if (t.kind == TokenKind::Comment || t.kind == TokenKind::Rem) break;
        const std::size_t at = lexer.Offset(t);
        out.append(s, copied, at - copied);
        if (t.kind == TokenKind::String) out += "\"\"";
        else out += t.text;
        copied = at + t.text.size();
    }
    return std::string(Trim(out));
}

std::string_view WithoutLineLabel(std::string_view statement) {
    const std::string_view t = platform::LTrimWhite(statement);
    Lexer lexer(t);
    Token first, next;
    if (!lexer.Next(first)) return t;
    const std::size_t firstEnd = first.text.size();
    const bool hasNext = lexer.Next(next);
    const bool colonNext = hasNext && next.kind == TokenKind::Separator && lexer.Offset(next) == firstEnd;
    const bool number = first.kind == TokenKind::Number &&
                        std::all_of(first.text.begin(), first.text.end(), [](char c) { return IsDigitChar(c); });
    // A label is a name with ":" right after it; a line number may stand without one.
    const bool label = first.kind == TokenKind::Word && first.text.front() != '_' && !IsDigitChar(first.text.front()) &&
                       !IsTypeChar(first.text.back()) && colonNext;
    if (!number && !label) return t;
    if (number && !colonNext && hasNext && lexer.Offset(next) == firstEnd) return t;
    if (!hasNext) return number || label ? t.substr(t.size()) : t;
    std::size_t rest = colonNext ? lexer.Offset(next) + 1 : lexer.Offset(next);
    while (rest < t.size() && IsBlankChar(t[rest])) ++rest;
    return t.substr(rest);
}

namespace {
std::string_view PieceOf(std::string_view line) {
    std::string_view t = Trim(line);
    if (t.size() >= 2 && t.substr(t.size() - 2) == " _") t = platform::RTrim(t.substr(0, t.size() - 2));
    return t;
}
}  // namespace

std::string GetLogicalLine(platform::LineView lines, LineIndex index, LineIndex& first, int direction) {
    first = index;
    const auto n = static_cast<LineIndex>(lines.size());
    if (index < 0 || index >= n) return {};
    if (Trim(lines[index]).empty()) {
        first = index + direction;
        return {};
    }
    LineIndex from = index, to = index;
    if (direction < 0) {
        while (from > 0 && IsContinuedLine(lines[from - 1])) --from;
        first = from;
    } else {
        while (to + 1 < n && IsContinuedLine(lines[to])) ++to;
        first = to;
    }
    if (from == to) return std::string(PieceOf(lines[index]));
    std::string c;
    for (LineIndex k = from; k <= to; ++k) {
        const std::string_view piece = PieceOf(lines[k]);
        if (piece.empty()) continue;
        if (!c.empty()) c += ' ';
        c += piece;
    }
    return c;
}

std::int32_t ClassifyLine(ProcedureList& procs, platform::LineView lines, LineIndex& index, std::int32_t& record,
                          std::string& statement, ClassifierState& state) {
    if (index < 0 || static_cast<std::size_t>(index) >= lines.size()) return 0;
    const std::string_view t = Trim(lines[index]);
    if (t.empty() || t.front() == '\'') return 0;

    // Most statements hold no keyword of interest in any of their lines: nothing to join or read.
    LineIndex from = index;
    while (from > 0 && IsContinuedLine(lines[static_cast<std::size_t>(from - 1)])) --from;
    bool mayHold = false;
    for (LineIndex k = from; k <= index && !mayHold; ++k) mayHold = MayHoldKeyword(lines[static_cast<std::size_t>(k)]);
    if (!mayHold) {
        statement.clear();
        index = from;
        return 0;
    }

    LineIndex first = index;
    statement = GetLogicalLine(lines, index, first, -1);
    const std::string code = StatementCode(statement);
    std::int32_t m = GetCodeLineType(code);
    if (!state.InProcedure && (m & ~(mask::kPrivate | mask::kPublic)) == 0 && m != 0 &&
        IsScopeVariableDeclaration(code))
        m |= mask::kDefinition | mask::kDim;
    const bool checkable = (m & mask::kDeclareBits) == 0;

    if (m & mask::kEndProcedure) {
        record = static_cast<std::int32_t>(procs.size());
        procs.emplace_back();
        state.InProcedure = true;
        procs[record].pFuncLineEnd = index;
        procs[record].pProcType = m;
    }
    if (state.InProcedure && mask::IsHeader(m) && record >= 0 && static_cast<std::size_t>(record) < procs.size()) {
        clsProcedures& p = procs[record];
        p.pProcType = m;
        p.pChecked = checkable;
        p.pStart = index;
        if (!(m & mask::kDefinition) && !(m & mask::kEndProcedure)) p.pFuncLineStart = index;
        if (m & mask::kEndProcedure) p.pFuncLineEnd = index;
    }
    index = first;
    return m;
}

std::string StripProcedureKeywords(std::string_view header) {
    static constexpr std::array<std::string_view, 11> kKeywords = {"Public ", "Private ",  "Friend ",  "Static ",
                                                                   "Sub ",    "Function ", "Declare ", "Property ",
                                                                   "Let ",    "Get ",      "Set "};
    std::string s(header);
    for (auto kw : kKeywords) RemoveAll(s, kw, true);
    return std::string(Trim(s));
}

std::string GetProcedureType(std::int32_t m) {
    if (m & mask::kFunction) return "Function";
    if (m & mask::kSub) return "Sub";
    if (m & mask::kProperty) return "Property";
    return {};
}

}  // namespace engine
