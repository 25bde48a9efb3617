#include "engine/source.h"

#include <sys/stat.h>

#include "engine/classify.h"
#include "engine/error.h"
#include "engine/lexer.h"
#include "platform/text.h"

namespace engine {

namespace {

// True when `name` ends in ".frm", ".cls" or ".bas" in any letter case (a project lists
// "Strings.Bas" as the user typed it): a file with an attribute header and a code offset.
bool HasAttributeHeaderName(std::string_view name) {
    if (name.size() < 4) return false;
    const std::string_view ext = name.substr(name.size() - 4);
    return platform::IEquals(ext, ".frm") || platform::IEquals(ext, ".cls") || platform::IEquals(ext, ".bas");
}

}  // namespace

bool IsAttributeLine(std::string_view line) {
    Lexer lexer(line);
    Token first;
    return lexer.Next(first) && first.text == "Attribute";
}

namespace {

enum class Directive { None, If, Else, EndIf };

// The conditional-compilation directive that a line holds: "#If", "#ElseIf" or "#Else", "#End If".
Directive DirectiveOf(std::string_view line) {
    const std::string_view s = platform::LTrimWhite(line);
    if (s.empty() || s.front() != '#') return Directive::None;
    Lexer lexer(s.substr(1));
    Token word, next;
    if (!lexer.Next(word)) return Directive::None;
    if (IsWord(word, "If")) return Directive::If;
    if (IsWord(word, "Else") || IsWord(word, "ElseIf")) return Directive::Else;
    if (IsWord(word, "EndIf")) return Directive::EndIf;
    if (IsWord(word, "End") && lexer.Next(next) && IsWord(next, "If")) return Directive::EndIf;
    return Directive::None;
}

}  // namespace

std::int32_t HeaderEndLine(platform::LineView lines, std::int32_t funcLineStart, std::int32_t funcLineEnd) {
    std::int32_t j = funcLineStart;
    const auto n = static_cast<std::int32_t>(lines.size());
    while (j + 1 < funcLineEnd && j + 1 < n && IsAttributeLine(lines[static_cast<std::size_t>(j + 1)])) ++j;
    // A header in a branch of "#If ... #Else ... #End If" has alternatives in the other branches;
    // the header block ends at the "#End If" that closes them, so that every branch runs what
    // follows. That "#End If" is the first one below the header that closes a block the header
    // stands in (no "#If" of its own opened below the header).
    int depth = 0;
    for (std::int32_t k = j + 1; k < funcLineEnd && k < n; ++k) {
        const std::string_view line = lines[static_cast<std::size_t>(k)];
        switch (DirectiveOf(line)) {
            case Directive::If: ++depth; break;
            case Directive::EndIf:
                if (depth == 0) return k;
                --depth;
                break;
            case Directive::Else: break;
            case Directive::None:
                // (Most lines hold no "End" at all: they need no reading.)
                if (platform::IFind(line, "end") != std::string_view::npos && EndsProcedure(line)) return j;
                break;
        }
    }
    return j;
}

std::string VbName(platform::LineView lines) {
    for (const std::string_view line : lines) {
        // Attribute VB_Name = "name"
        Lexer lexer(line);
        Token attribute, name, equals, value;
        if (!lexer.Next(attribute) || attribute.text != "Attribute" || !lexer.Next(name) || name.text != "VB_Name" ||
            !lexer.Next(equals) || equals.text != "=")
            continue;
        if (!lexer.Next(value)) return {};
        if (value.kind == TokenKind::String && value.text.size() >= 2 && value.text.back() == '"')
            return std::string(value.text.substr(1, value.text.size() - 2));
        return std::string(platform::Trim(line.substr(lexer.Offset(value))));
    }
    return {};
}

void CodeOffset(platform::LineView lines, std::int32_t& offset) {
    bool begun = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsAttributeLine(lines[i])) {
            begun = true;
        } else if (begun) {
            offset = static_cast<std::int32_t>(i);
            return;
        }
    }
}

std::string MaxFileSizeText() { return std::to_string(kMaxFileBytes >> 20) + " MB"; }

namespace {

// The bytes of a user's file, read with the checks every reader makes; nothing when it is missing.
std::optional<std::string> ReadUserFile(const std::string& path, std::string_view listed) {
    const std::string name(listed);
    std::string bytes;
    switch (platform::ReadFileBytes(path, bytes, kMaxFileBytes)) {
        case platform::ReadStatus::Ok: break;
        case platform::ReadStatus::Missing: return std::nullopt;
        case platform::ReadStatus::NotRegular:
            throw EngineError(name + " " + platform::EntryKindText(path) + "; it cannot be read");
        case platform::ReadStatus::TooLarge:
            throw EngineError(name + " is larger than " + MaxFileSizeText() + ", the largest file this program reads");
        case platform::ReadStatus::Denied: throw EngineError(name + " cannot be read: permission denied");
        case platform::ReadStatus::Failed: throw EngineError(name + " cannot be read");
    }
    if (platform::LooksLikeUtf16(bytes))
        throw EngineError(name +
                          " is UTF-16 (Unicode) text; Visual Basic 6 files are ANSI text. Save it as ANSI to load it");
    return bytes;
}

}  // namespace

std::optional<LineArray> ReadSourceFile(const std::string& path, std::int32_t& offset, Fingerprint* fingerprint,
                                        std::string_view listedName) {
    const std::string_view name = listedName.empty() ? std::string_view(path) : listedName;
    std::optional<std::string> bytes = ReadUserFile(path, name);
    if (!bytes) return std::nullopt;
    if (fingerprint) *fingerprint = FingerprintOf(*bytes);
    LineArray text = platform::SplitLines(*bytes);
    if (HasAttributeHeaderName(name)) CodeOffset(text, offset);
    return text;
}

std::optional<SourceText> ReadSource(const std::string& path, std::string_view listedName, Fingerprint* fingerprint) {
    const std::string_view name = listedName.empty() ? std::string_view(path) : listedName;
    std::optional<std::string> bytes = ReadUserFile(path, name);
    if (!bytes) return std::nullopt;
    if (fingerprint) *fingerprint = FingerprintOf(*bytes);
    platform::TextLines lines(std::move(*bytes));
    std::int32_t offset = 0;
    if (HasAttributeHeaderName(name)) CodeOffset(lines, offset);
    return SourceText(std::move(lines), offset);
}

SourceText::SourceText(const std::vector<std::string>& lines, std::int32_t codeStart) : codeStart_(codeStart) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    lines_ = platform::TextLines(std::move(bytes));
}

}  // namespace engine
