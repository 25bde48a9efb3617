#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/lexer.h"

using namespace engine;

namespace {

// The tokens of a text as "kind:text" items.
std::vector<std::string> Tokens(std::string_view text) {
    static const char* const kNames[] = {"W", "B", "N", "S", "O", "Sep", "C", "Rem", "Cont"};
    std::vector<std::string> out;
    Lexer lexer(text);
    for (Token t; lexer.Next(t);) out.push_back(std::string(kNames[static_cast<int>(t.kind)]) + ":" + std::string(t.text));
    return out;
}

struct TokenCase {
    const char* name;
    const char* text;
    std::vector<std::string> tokens;
};

TEST(Lexer, TokensOfStatements) {
    const TokenCase cases[] = {
        {"words and operators", "x = a+b", {"W:x", "O:=", "W:a", "O:+", "W:b"}},
        {"member access", "p.X = 1", {"W:p", "O:.", "W:X", "O:=", "N:1"}},
        {"string with doubled quotes", "s = \"say \"\"hi\"\"\" & t", {"W:s", "O:=", "S:\"say \"\"hi\"\"\"", "O:&", "W:t"}},
        {"unclosed string runs to the end", "x = \"abc", {"W:x", "O:=", "S:\"abc"}},
        {"apostrophe in a string is no comment", "x = \"it's\" ' note", {"W:x", "O:=", "S:\"it's\"", "C:' note"}},
        {"comment", "Foo ' calls Bar", {"W:Foo", "C:' calls Bar"}},
        {"Rem at the start", "Rem Dim x", {"Rem:Rem Dim x"}},
        {"Rem after a separator", "a = 1: rem b", {"W:a", "O:=", "N:1", "Sep::", "Rem:rem b"}},
        {"Rem alone", "Rem", {"Rem:Rem"}},
        {"Rem after a line number", "000010 Rem Dim x", {"N:000010", "Rem:Rem Dim x"}},
        {"a number later in a statement does not start one", "x 10 Rem", {"W:x", "N:10", "W:Rem"}},
        {"Rem inside a statement is a word", "x = Rem + 1", {"W:x", "O:=", "W:Rem", "O:+", "N:1"}},
        {"a longer word is not Rem", "Remark = 1", {"W:Remark", "O:=", "N:1"}},
        {"separator", "Dim d As Double: d = 2", {"W:Dim", "W:d", "W:As", "W:Double", "Sep::", "W:d", "O:=", "N:2"}},
        {"named argument is no separator", "Foo a:=1", {"W:Foo", "W:a", "O::=", "N:1"}},
        {"type characters", "s$ = Padded$(n%) & x&", {"W:s$", "O:=", "W:Padded$", "O:(", "W:n%", "O:)", "O:&", "W:x&"}},
        {"an operator between names is no type character", "a&b = rs!Field", {"W:a", "O:&", "W:b", "O:=", "W:rs", "O:!", "W:Field"}},
        {"bracketed names", "For i = K.[_First] To [_Count]", {"W:For", "W:i", "O:=", "W:K", "O:.", "B:[_First]", "W:To", "B:[_Count]"}},
        {"a bracket with a quote is no name", "x = [a\"b]\"", {"W:x", "O:=", "O:[", "W:a", "S:\"b]\""}},
        {"numbers", "x = 1.5E+3 + &HFF& - &O17 + 2#", {"W:x", "O:=", "N:1.5E+3", "O:+", "N:&HFF&", "O:-", "N:&O17", "O:+", "N:2#"}},
        {"comparison operators", "If a <= b Or a <> c Then", {"W:If", "W:a", "O:<=", "W:b", "W:Or", "W:a", "O:<>", "W:c", "W:Then"}},
        {"continuation", "Dim a As Long, _", {"W:Dim", "W:a", "W:As", "W:Long", "O:,", "Cont:_"}},
        {"an underscore in a name is no continuation", "x_ = a _b", {"W:x_", "O:=", "W:a", "W:_b"}},
        {"tabs are blanks", "\tx\t=\t1", {"W:x", "O:=", "N:1"}},
        {"letters above 0x7F", "Dim \xe9t\xe9 As Long", {"W:Dim", "W:\xe9t\xe9", "W:As", "W:Long"}},
        {"empty", "", {}},
    };
    for (const TokenCase& c : cases) EXPECT_EQ(Tokens(c.text), c.tokens) << c.name;
}

TEST(Lexer, OffsetsAndWordNames) {
    const std::string_view text = "  Foo$ \"x\"";
    Lexer lexer(text);
    Token t;
    ASSERT_TRUE(lexer.Next(t));
    EXPECT_EQ(lexer.Offset(t), 2u);
    EXPECT_EQ(WordName(t.text), "Foo");
    ASSERT_TRUE(lexer.Next(t));
    EXPECT_EQ(lexer.Offset(t), 7u);
    EXPECT_FALSE(lexer.Next(t));
    EXPECT_TRUE(IsWord(Token{TokenKind::Word, "SUB"}, "Sub"));
    EXPECT_FALSE(IsWord(Token{TokenKind::String, "Sub"}, "Sub"));
}

TEST(Lexer, RemCanBeSwitchedOff) {
    Lexer lexer("Rem x", Lexer::Options{false});
    Token t;
    ASSERT_TRUE(lexer.Next(t));
    EXPECT_EQ(t.kind, TokenKind::Word);
}

TEST(Lexer, BeforeCommentKeepsStringsWhole) {
    const std::pair<const char*, const char*> cases[] = {
        {"Dim a As Long ' count", "Dim a As Long"},
        {"  Const S = \"it's\" ' note  ", "Const S = \"it's\""},
        {"x = 1: Rem kept", "x = 1: Rem kept"},
        {"' all", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(BeforeComment(in), out) << in;
}

TEST(WordRuns, MaximalRunsOfWordCharacters) {
    std::vector<std::string> runs;
    const std::string_view text = "@x=ab1.c_d(\xe9)@";
    ForEachWordRun(text, [&](std::size_t i, std::size_t j) { runs.emplace_back(text.substr(i, j - i)); });
    EXPECT_EQ(runs, (std::vector<std::string>{"x", "ab1", "c_d", "\xe9"}));
}

TEST(PairTable, AllowsExactlyTheWrittenPairs) {
    static constexpr std::array<std::string_view, 3> kPrefixes = {"(", " ", "@"};
    static constexpr std::array<std::string_view, 3> kSuffixes = {")", ".", " "};
    constexpr PairTable table(kPrefixes, kSuffixes);
    static_assert(table.Allows('(', ')'));
    EXPECT_TRUE(table.Allows(' ', '.'));
    EXPECT_TRUE(table.Allows('@', ' '));
    EXPECT_FALSE(table.Allows('(', '.'));
    EXPECT_FALSE(table.Allows(' ', ' '));
    EXPECT_FALSE(table.Allows('x', ' '));
    EXPECT_FALSE(table.Allows('@', '#'));
}

}  // namespace
