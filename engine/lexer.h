// The one lexer of Visual Basic text. Every reader of a statement asks it instead of walking the
// characters itself, so that words, strings, comments, "Rem", the ":" separator and the line
// continuation mean the same everywhere.
//
// Three levels, each over views of the caller's text (nothing is copied):
//   - character classes, one table for the whole engine (IsWordChar, IsBlankChar, ...);
//   - word runs: the maximal runs of word characters of a text, whatever stands around them
//     (the searches that look for a name between delimiters, also inside strings and comments,
//     walk these);
//   - tokens: words (with an attached type character), bracketed names, numbers, strings,
//     operators, the ":" separator, comments, Rem and the line continuation.
// Delimiter-pair tables (a name between a prefix and a suffix character) are made from the pairs
// written once as data (PairTable).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace engine {

// ---- character classes -------------------------------------------------------------------------

namespace chars {
constexpr std::uint8_t kWord = 0x01;      // letters, digits, "_", bytes above 0x7F
constexpr std::uint8_t kDigit = 0x02;     // 0-9
constexpr std::uint8_t kBlank = 0x04;     // space, tab
constexpr std::uint8_t kTypeChar = 0x08;  // % & ! # @ $: a type character after a name or number
}  // namespace chars

constexpr std::array<std::uint8_t, 256> MakeCharClasses() {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        std::uint8_t v = 0;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80) v |= chars::kWord;
        if (c >= '0' && c <= '9') v |= chars::kWord | chars::kDigit;
        if (c == ' ' || c == '\t') v |= chars::kBlank;
        if (c == '%' || c == '&' || c == '!' || c == '#' || c == '@' || c == '$') v |= chars::kTypeChar;
        t[static_cast<std::size_t>(c)] = v;
    }
    return t;
}
inline constexpr std::array<std::uint8_t, 256> kCharClasses = MakeCharClasses();

constexpr bool IsWordChar(unsigned char c) { return (kCharClasses[c] & chars::kWord) != 0; }
constexpr bool IsWordChar(char c) { return IsWordChar(static_cast<unsigned char>(c)); }
constexpr bool IsDigitChar(char c) { return (kCharClasses[static_cast<unsigned char>(c)] & chars::kDigit) != 0; }
constexpr bool IsBlankChar(char c) { return (kCharClasses[static_cast<unsigned char>(c)] & chars::kBlank) != 0; }
constexpr bool IsTypeChar(char c) { return (kCharClasses[static_cast<unsigned char>(c)] & chars::kTypeChar) != 0; }

// ---- word runs ---------------------------------------------------------------------------------

// Calls f(begin, end) for every maximal run [begin, end) of word characters of `text`, in order.
template <typename F>
void ForEachWordRun(std::string_view text, F&& f) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        if (!IsWordChar(text[i])) {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < n && IsWordChar(text[j])) ++j;
        f(i, j);
        i = j;
    }
}

// Which characters may stand before and after a name for the name to count: a table of
// (prefix, suffix) pairs made from pairs written as data, one character each, where "@" stands
// for the start and the end of the text searched (the searches put "@" around it).
class PairTable {
public:
    template <std::size_t N>
    constexpr PairTable(const std::array<std::string_view, N>& prefixes,
                        const std::array<std::string_view, N>& suffixes)
        : bits_{} {
        for (std::size_t k = 0; k < N; ++k) Set(prefixes[k][0], suffixes[k][0]);
    }
    constexpr bool Allows(char before, char after) const {
        const int b = Slot(before), a = Slot(after);
        return b >= 0 && a >= 0 && (bits_[static_cast<std::size_t>(b)] & (1u << a)) != 0;
    }

private:
    // The characters that pairs use get a slot each.
    static constexpr std::string_view kSlots = "@ ().,";
    static constexpr int Slot(char c) {
        for (std::size_t k = 0; k < kSlots.size(); ++k)
            if (kSlots[k] == c) return static_cast<int>(k);
        return -1;
    }
    constexpr void Set(char before, char after) {
        bits_[static_cast<std::size_t>(Slot(before))] |= static_cast<std::uint8_t>(1u << Slot(after));
    }
    std::array<std::uint8_t, kSlots.size()> bits_;
};

// ---- tokens ------------------------------------------------------------------------------------

enum class TokenKind : std::uint8_t {
    Word,          // a name or keyword; a type character written right after it is part of it
    Bracketed,     // [any name]: a name written in brackets
    Number,        // 12, 1.5, 1E3, &H1F, &O17, with a type character
    String,        // "text", with "" standing for one quote; an unclosed string runs to the end
    Operator,      // any other character that is not blank: ( ) . , = + - * / \ ^ & < > # ! ...
    Separator,     // ":" between two statements
    Comment,       // from "'" to the end
    Rem,           // a Rem statement, to the end
    Continuation,  // " _" at the end of a physical line
};

struct Token {
    TokenKind kind;
    std::string_view text;  // a view of the text being lexed
};

// The tokens of one statement or physical line, in order. Blanks between tokens belong to no
// token; Offset gives a token's place in the text.
class Lexer {
public:
    struct Options {
        bool rem = true;  // a Rem statement ends the code; off: "Rem" is a word like any other
    };
    explicit Lexer(std::string_view text) : text_(text) {}
    Lexer(std::string_view text, Options options) : text_(text), options_(options) {}

    // The next token; false at the end.
    bool Next(Token& token);
    // Where a token of this text starts.
    std::size_t Offset(const Token& token) const { return static_cast<std::size_t>(token.text.data() - text_.data()); }
    std::string_view text() const { return text_; }

private:
    std::string_view text_;
    Options options_{};
    std::size_t pos_ = 0;
    bool statementStart_ = true;  // at the start of the text, after ":" or after a line number
    bool started_ = false;        // a token was read
};

// The name part of a word: without the type character written after it.
std::string_view WordName(std::string_view word);

// A word, compared without regard to case, as the language compares keywords.
bool IsWord(const Token& token, std::string_view word);

// The statements of a line of code: the pieces between ":" separators (not ":=", not inside
// strings), trimmed; a comment or Rem ends the last one. Empty pieces are kept.
std::vector<std::string_view> SplitStatements(std::string_view code);

// The text before the first comment (an apostrophe outside strings), trimmed.
std::string_view BeforeComment(std::string_view statement);

// The physical line is continued on the next one: its trimmed text ends with " _".
bool IsContinuedLine(std::string_view line);

}  // namespace engine
