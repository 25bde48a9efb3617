#include "engine/lexer.h"

#include <algorithm>

#include "platform/text.h"

namespace engine {
namespace {

bool IsFoldedChar(char c, char lower) { return c == lower || c == lower - ('a' - 'A'); }

// The end of the word run that starts at `i`.
std::size_t WordEnd(std::string_view s, std::size_t i) {
    while (i < s.size() && IsWordChar(s[i])) ++i;
    return i;
}

// A type character at `i` that belongs to the name or number before it: one that no word
// character follows ("a&b" is an operator between two names, "rs!Field" a member access).
std::size_t WithTypeChar(std::string_view s, std::size_t i) {
    if (i < s.size() && IsTypeChar(s[i]) && (i + 1 == s.size() || !IsWordChar(s[i + 1]))) return i + 1;
    return i;
}

std::size_t NumberEnd(std::string_view s, std::size_t i) {
    std::size_t j = WordEnd(s, i);
    if (j + 1 < s.size() && s[j] == '.' && IsDigitChar(s[j + 1])) j = WordEnd(s, j + 1);
    const char last = s[j - 1];
    if ((IsFoldedChar(last, 'e') || IsFoldedChar(last, 'd')) && j + 1 < s.size() && (s[j] == '+' || s[j] == '-') &&
        IsDigitChar(s[j + 1]))
        j = WordEnd(s, j + 1);
    return WithTypeChar(s, j);
}

// A "_" that stands alone after a blank with nothing but blanks after it.
bool IsContinuationAt(std::string_view s, std::size_t i) {
    if (s[i] != '_' || (i > 0 && !IsBlankChar(s[i - 1]))) return false;
    for (std::size_t j = i + 1; j < s.size(); ++j)
        if (!IsBlankChar(s[j])) return false;
    return true;
}

}  // namespace

bool Lexer::Next(Token& token) {
    const std::string_view s = text_;
    const std::size_t n = s.size();
    while (pos_ < n && IsBlankChar(s[pos_])) ++pos_;
    if (pos_ >= n) return false;
    const std::size_t start = pos_;
    const char c = s[start];
    TokenKind kind = TokenKind::Operator;
    std::size_t end = start + 1;

    if (c == '"') {
        kind = TokenKind::String;
        while (end < n) {
            if (s[end] == '"') {
                if (end + 1 < n && s[end + 1] == '"') {
                    end += 2;
                    continue;
                }
                ++end;
                break;
            }
            ++end;
        }
    } else if (c == '\'') {
        kind = TokenKind::Comment;
        end = n;
    } else if (c == ':') {
        if (end < n && s[end] == '=') ++end;  // ":=" names an argument
        else kind = TokenKind::Separator;
    } else if (c == '[') {
        // A bracketed name runs to the first "]"; a quote or an apostrophe before it means the
        // "[" is no bracket.
        std::size_t j = start + 1;
        while (j < n && s[j] != ']' && s[j] != '"' && s[j] != '\'') ++j;
        if (j < n && s[j] == ']') {
            kind = TokenKind::Bracketed;
            end = j + 1;
        }
    } else if (IsDigitChar(c)) {
        kind = TokenKind::Number;
        end = NumberEnd(s, start);
    } else if (c == '&' && end + 1 < n && (IsFoldedChar(s[end], 'h') || IsFoldedChar(s[end], 'o')) &&
               IsWordChar(s[end + 1])) {
        kind = TokenKind::Number;
        end = WithTypeChar(s, WordEnd(s, end + 1));
    } else if (IsContinuationAt(s, start)) {
        kind = TokenKind::Continuation;
    } else if (IsWordChar(c)) {
        kind = TokenKind::Word;
        end = WithTypeChar(s, WordEnd(s, start));
        if (options_.rem && statementStart_ && end - start == 3 && platform::IEquals(s.substr(start, 3), "rem") &&
            (end == n || IsBlankChar(s[end]))) {
            kind = TokenKind::Rem;
            end = n;
        }
    } else if ((c == '<' || c == '>') && end < n && (s[end] == '=' || (c == '<' && s[end] == '>'))) {
        ++end;
    }
    token = Token{kind, s.substr(start, end - start)};
    pos_ = end;
    // A line number in front of a statement leaves its start where it was ("10 Rem note").
    const bool lineNumber = kind == TokenKind::Number && !started_ && end < n && IsBlankChar(s[end]) &&
                            std::all_of(token.text.begin(), token.text.end(), IsDigitChar);
    statementStart_ = kind == TokenKind::Separator || lineNumber;
    started_ = true;
    return true;
}

std::string_view WordName(std::string_view word) {
    if (!word.empty() && IsTypeChar(word.back())) word.remove_suffix(1);
    return word;
}

bool IsWord(const Token& token, std::string_view word) {
    return token.kind == TokenKind::Word && platform::IEquals(token.text, word);
}

std::vector<std::string_view> SplitStatements(std::string_view code) {
    std::vector<std::string_view> pieces;
    Lexer lexer(code);
    std::size_t start = 0, end = code.size();
    for (Token t; lexer.Next(t);) {
        if (t.kind == TokenKind::Comment || t.kind == TokenKind::Rem) {
            end = lexer.Offset(t);
            break;
        }
        if (t.kind != TokenKind::Separator) continue;
        pieces.push_back(platform::Trim(code.substr(start, lexer.Offset(t) - start)));
        start = lexer.Offset(t) + 1;
    }
    pieces.push_back(platform::Trim(code.substr(start, end - start)));
    return pieces;
}

std::string_view BeforeComment(std::string_view statement) {
    Lexer lexer(statement, Lexer::Options{false});
    for (Token t; lexer.Next(t);)
        if (t.kind == TokenKind::Comment) return platform::Trim(statement.substr(0, lexer.Offset(t)));
    return platform::Trim(statement);
}

bool IsContinuedLine(std::string_view line) {
    const std::string_view t = platform::Trim(line);
    return t.size() >= 2 && t.substr(t.size() - 2) == " _";
}

}  // namespace engine
