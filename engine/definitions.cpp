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

// The number at the start of a literal text, as Visual Basic's Val reads it: "&H" hexadecimal, "&O"
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

// Splits `text` at `separator`, as Visual Basic's Split does (empty pieces kept).
std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
    const std::vector<std::string_view> pieces = platform::Split(text, separator);
    return std::vector<std::string>(pieces.begin(), pieces.end());
}

}  // namespace

void AddDefinition(DefinitionList& defs, const clsFileInfo& file, const std::vector<std::string>& parts, LineIndex line,
                   std::int32_t m, std::string_view statement, std::string_view qualifier) {
    clsDefinitions& d = defs.emplace_back();
    d.file = &file;
    d.LineNo = line;
    if (m & mask::kDeclare) {
        d.Line = std::string(statement);
    } else {
        d.Variable = std::string(qualifier);
        if (!parts.empty()) d.Variable += Trim(parts[0]);
        if (parts.size() > 1) d.Defined = std::string(Trim(parts[1]));
    }
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
        "Integer", "Integer()", "Long",    "Long()",    "String", "String()", "Byte",     "Byte()",
        "Variant", "Variant()", "Boolean", "Boolean()", "Double", "Double()", "Currency", "Currency()",
        "Date",    "Date()",    "Decimal", "Decimal()", "Object", "Object()", "Single",   "Single()"};
    if (!parts.empty())
        for (auto type : kTypes)
            if (parts[0].find(type) != std::string::npos) {
                d.Defined = std::string(type);
                break;
            }
}

namespace {

void DeclarationItems(DefinitionList& defs, const clsFileInfo& file, LineIndex line, const std::string& s,
                      std::int32_t& m, std::string_view qualifier);

// The declarations among the statements of a line ("Dim d As Double: d = 0" declares d alone), each
// with its kind bits; the line's text alone when it is one statement (a member of a Type or Enum).
std::vector<std::pair<std::string, std::int32_t>> DeclarationStatements(const std::string& s, std::int32_t m) {
    const std::vector<std::string_view> pieces = SplitStatements(s);
    if (pieces.size() < 2) return {{s, m}};
    std::vector<std::pair<std::string, std::int32_t>> out;
    constexpr std::int32_t kKindBits = mask::kDefinition | mask::kDim | mask::kConst;
    for (std::string_view piece : pieces) {
        piece = WithoutLineLabel(piece);
        std::string_view rest = piece;
        while (StartsWithWord(rest, "Public") || StartsWithWord(rest, "Private") || StartsWithWord(rest, "Global"))
            rest = platform::LTrim(rest.substr(rest.find(' ')));
        if (StartsWithWord(rest, "Const"))
            out.emplace_back(std::string(piece), (m & ~kKindBits) | mask::kDefinition | mask::kConst);
        else if (StartsWithWord(rest, "Dim") || rest.size() != piece.size())
            out.emplace_back(std::string(piece), (m & ~kKindBits) | mask::kDefinition | mask::kDim);
    }
    return out;
}

}  // namespace

void GetDefinitions(DefinitionList& defs, const clsFileInfo& file, LineIndex line, std::string_view statement,
                    std::int32_t& m, std::string_view qualifier) {
    // A line number or label in front of a declaration is no part of it ("000010 Dim s" declares s).
    const std::string text(WithoutLineLabel(BeforeComment(statement)));
    if (m & mask::kDeclare) {
        AddDefinition(defs, file, {}, line, m, text, qualifier);
        return;
    }
    for (auto& [s, kind] : DeclarationStatements(text, m)) {
        m = kind;
        DeclarationItems(defs, file, line, s, m, qualifier);
    }
}

namespace {

// The items of one declaration statement.
void DeclarationItems(DefinitionList& defs, const clsFileInfo& file, LineIndex line, const std::string& s,
                      std::int32_t& m, std::string_view qualifier) {
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
            AddDefinition(defs, file, parts, line, m, s, qualifier);
        }
        m &= ~mask::kArrayItem;
    }
}

}  // namespace

void GetTypeEnumDefinitions(DefinitionList& defs, const clsFileInfo& file, LineIndex endLine, platform::LineView lines,
                            std::int32_t m) {
    // The block header: the nearest line above that reads "Type X" (without " As ") or "Enum X"
    // (without " = ") once its scope words are gone.
    LineIndex header = -1;
    std::string headerText;
    for (LineIndex k = endLine - 1; k >= 0; --k) {
        std::string t(lines[static_cast<std::size_t>(k)]);
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
                // The next value; past the largest Long (which no compiler takes) it wraps round.
                value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) + 1u);
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
        GetDefinitions(defs, file, it->line, it->text, mm, qualifier);
    }
    std::int32_t mm = m;
    GetDefinitions(defs, file, header, blockText, mm, "");
}

void SetDefinitionProcName(DefinitionList& defs, std::string_view procName, std::size_t from) {
    for (std::size_t i = defs.size(); i > from; --i) {
        clsDefinitions& d = defs[i - 1];
        if (!d.ProcName.empty()) break;
        d.ProcName = std::string(procName);
    }
}

}  // namespace engine
