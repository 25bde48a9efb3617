#include "platform/text.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

TEST(Encoding, EveryWindows1252ByteDecodesAndEncodesBack) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp1252(utf8, &lossless), all);
    EXPECT_TRUE(lossless);
}

TEST(Encoding, KnownCharacters) {
    struct Case {
        std::string bytes, utf8;
    };
    const Case cases[] = {
        {"\x80", "\xE2\x82\xAC"},       // euro sign
        {"\xE9", "\xC3\xA9"},           // e acute
        {"\x8A", "\xC5\xA0"},           // S caron
        {"\x81", "\xC2\x81"},           // undefined byte keeps its C1 control
        {"Caf\xE9 \x93ok\x94", "Caf\xC3\xA9 \xE2\x80\x9Cok\xE2\x80\x9D"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp1252ToUtf8(c.bytes), c.utf8);
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.bytes);
    }
}

TEST(Encoding, UnencodableAndInvalidBecomeQuestionMarks) {
    bool lossless = true;
    EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD" "b", &lossless), "a?b");  // a CJK character
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp1252("a\xFF" "b", &lossless), "a?b");
    EXPECT_FALSE(lossless);
}

TEST(Encoding, OwnTextFallsBackToWindows1252) {
    EXPECT_EQ(DecodeOwnText("na\xC3\xAFve"), "na\xC3\xAFve");  // valid UTF-8 stays
    EXPECT_EQ(DecodeOwnText("na\xEFve"), "na\xC3\xAFve");      // a Windows file is decoded
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));                      // overlong form
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));                  // surrogate
}

TEST(LetterCase, FoldsAsciiAndWindows1252Letters) {
    EXPECT_TRUE(IEquals("ModMain.BAS", "modmain.bas"));
    EXPECT_TRUE(IEquals("\xC9T\xC9", "\xE9t\xE9"));   // ÉTÉ
    EXPECT_TRUE(IEquals("\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"));
    EXPECT_FALSE(IEquals("\xD7", "\xF7"));  // multiplication and division signs are not letters
    EXPECT_EQ(UCase("abc\xE9\xFF"), "ABC\xC9\x9F");
    EXPECT_LT(ICompare("apple", "Banana"), 0);
    EXPECT_EQ(ICompare("ABC", "abc"), 0);
    EXPECT_GT(ICompare("abcd", "ABC"), 0);
}

TEST(LetterCase, Utf8FoldKeepsLengthAndMatchesTheSameLetters) {
    const std::string upper = Cp1252ToUtf8("\xC9T\xC9 \x8A\x8C\x8E\x9F");
    const std::string lower = Cp1252ToUtf8("\xE9t\xE9 \x9A\x9C\x9E\xFF");
    EXPECT_EQ(FoldUtf8(upper), lower);
    EXPECT_EQ(FoldUtf8(upper).size(), upper.size());
    EXPECT_TRUE(IEqualsUtf8(upper, lower));
    EXPECT_EQ(IFindUtf8("Section [\xC3\x89t\xC3\xA9]", "\xC3\xA9T\xC3\x89"), 9u);
}

TEST(LetterCase, Find) {
    struct Case {
        std::string text, needle;
        std::size_t from, expected;
    };
    const Case cases[] = {
        {"ErrorLog=False", "log=", 0, 5},
        {"abc", "", 1, 1},
        {"abc", "ABCD", 0, std::string::npos},
        {"xAbxab", "AB", 2, 4},
        {"abc", "c", 4, std::string::npos},
    };
    for (const auto& c : cases) EXPECT_EQ(IFind(c.text, c.needle, c.from), c.expected) << c.text;
}

TEST(Trimming, SpacesOnly) {
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");
    EXPECT_EQ(LTrim("  a "), "a ");
    EXPECT_EQ(RTrim("  a "), "  a");
    EXPECT_EQ(Trim("    "), "");
    // Blanks and tabs, for the white space inside a line of code.
    EXPECT_EQ(TrimWhite(" \t a\tb \t"), "a\tb");
    EXPECT_EQ(LTrimWhite("\t a "), "a ");
    EXPECT_EQ(TrimWhite(" \t "), "");
    EXPECT_EQ(TrimWhite(""), "");
}

TEST(Replace, AllOccurrencesLeftToRight) {
    EXPECT_EQ(ReplaceAll("~Sub~ ~Sub~", "~Sub~", "Function"), "Function Function");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(IReplaceAll("~sub~ ~SUB~ ~Sub", "~Sub~", "Property"), "Property Property ~Sub");
    EXPECT_EQ(IReplaceAll("\xC9t\xE9", "\xE9", "e"), "ete");  // É and é, Windows-1252
}

}  // namespace

namespace {

TEST(PercentEscaping, RoundTripsEveryByteAndRefusesBrokenEscapes) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string escaped = platform::PercentEscape(all, "\\\t");
    for (unsigned char c : escaped) EXPECT_TRUE(c > 0x20 && c != 0x7F && c != 0x5C) << int(c);
    std::string back;
    ASSERT_TRUE(platform::PercentUnescape(escaped, back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(platform::PercentEscape("a b%\\", "\\"), "a%20b%25%5C");
    EXPECT_FALSE(platform::PercentUnescape("a%2", back));
    EXPECT_FALSE(platform::PercentUnescape("a%zz", back));
}

TEST(ClockText, HoursMinutesSeconds) {
    const std::pair<long long, const char*> cases[] = {
        {0, "00:00:00"}, {59, "00:00:59"}, {3725, "01:02:05"}, {90000, "25:00:00"}, {-5, "00:00:00"}};
    for (const auto& [seconds, text] : cases) EXPECT_EQ(platform::ClockText(seconds), text) << seconds;
}

}  // namespace
