// Text helpers shared by the library, the engine and the reports.
//
// A user's Visual Basic files are raw bytes (Windows-1252 in practice) and are never transcoded
// on their way through the engine; they are decoded only to be shown or written into one of our
// own UTF-8 files. "Trim" is Visual Basic's Trim: spaces only, tabs stay.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// ---- encodings ---------------------------------------------------------------------------

// Decodes Windows-1252 bytes to UTF-8. Every byte has a meaning (the five bytes that Windows-1252
// leaves undefined map to the C1 control of the same number), so decoding never fails.
std::string Cp1252ToUtf8(std::string_view bytes);

// Encodes UTF-8 text to Windows-1252. A character that Windows-1252 cannot hold, or a byte that
// is not valid UTF-8, becomes '?' and clears *lossless when given.
std::string Utf8ToCp1252(std::string_view text, bool* lossless = nullptr);

bool IsValidUtf8(std::string_view bytes);

// Text of one of our own files as read from disk: UTF-8 when it is valid UTF-8, otherwise taken
// as Windows-1252 (files brought over from Windows still read).
std::string DecodeOwnText(std::string_view bytes);

// ---- letter case -------------------------------------------------------------------------
// Both folds cover ASCII and the letters of Windows-1252 (A-Z, À-Þ except ×, Š, Œ, Ž, Ÿ) and
// keep the length of the text in bytes, so a position found in the folded text is a position
// in the original.

// The lower-case fold of every Windows-1252 byte, built at compile time.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c) t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
    t[0x8A] = 0x9A;  // Š
    t[0x8C] = 0x9C;  // Œ
    t[0x8E] = 0x9E;  // Ž
    t[0x9F] = 0xFF;  // Ÿ
    return t;
}
inline constexpr std::array<unsigned char, 256> kFoldTable = MakeFoldTable();

// Lower-case fold of one Windows-1252 byte.
inline unsigned char FoldByte(unsigned char c) { return kFoldTable[c]; }
// Folded copy of Windows-1252 bytes.
std::string Fold(std::string_view bytes);
// Folded copy of UTF-8 text.
std::string FoldUtf8(std::string_view text);

// Upper / lower case of Windows-1252 bytes, as Visual Basic's UCase / LCase.
std::string UCase(std::string_view bytes);
std::string LCase(std::string_view bytes);

// Case-insensitive comparison of Windows-1252 bytes.
inline bool IEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (kFoldTable[static_cast<unsigned char>(a[i])] != kFoldTable[static_cast<unsigned char>(b[i])]) return false;
    return true;
}
int ICompare(std::string_view a, std::string_view b);  // <0, 0, >0
bool IStartsWith(std::string_view text, std::string_view prefix);
bool IEndsWith(std::string_view text, std::string_view suffix);
// Position of needle in text at or after `from`, or npos. An empty needle is found at `from`.
std::size_t IFind(std::string_view text, std::string_view needle, std::size_t from = 0);

// The same for UTF-8 text (our own files, names shown on screen).
bool IEqualsUtf8(std::string_view a, std::string_view b);
int ICompareUtf8(std::string_view a, std::string_view b);
std::size_t IFindUtf8(std::string_view text, std::string_view needle, std::size_t from = 0);

// Strict-weak "less" for maps and sorts keyed without regard to case (Windows-1252 bytes).
struct ILess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return ICompare(a, b) < 0; }
};

// ---- trimming ------------------------------------------------------------------------------

std::string_view Trim(std::string_view s);
std::string_view LTrim(std::string_view s);
std::string_view RTrim(std::string_view s);
// Blanks and tabs (the white space inside a line of code) removed at the start / at both ends.
std::string_view LTrimWhite(std::string_view s);
std::string_view TrimWhite(std::string_view s);

// ---- small conveniences -----------------------------------------------------------------------

bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
// Percent-escaping for one field of our own line-based files: "%", control bytes, the blank, DEL
// and every byte of `also` become "%XX" (upper-case hex); every other byte stays.
std::string PercentEscape(std::string_view text, std::string_view also = {});
// A command line split into words at blanks and tabs; double quotes group a word that holds blanks
// (the quotes themselves are dropped). No shell rules beyond that.
std::vector<std::string> SplitCommandLine(std::string_view line);
// Value of a hex digit (either case), or -1.
int HexDigitValue(char c);
// The reverse of PercentEscape; false (and `out` undefined) on a "%" not followed by two hex digits.
bool PercentUnescape(std::string_view text, std::string& out);

// The pieces of `text` between the occurrences of `separator` (exact), empty pieces kept: ""
// gives one empty piece, "a," at "," gives "a" and "".
std::vector<std::string_view> Split(std::string_view text, std::string_view separator);

// A 64-bit hash of text folded to lower case (Windows-1252 letters): equal without regard to case,
// equal hash.
inline std::uint64_t FoldedHash(std::string_view text) {
    std::uint64_t h = 1469598103934665603ull;
    for (char c : text) {
        h ^= kFoldTable[static_cast<unsigned char>(c)];
        h *= 1099511628211ull;
    }
    return h;
}

// "hh:mm:ss" of a number of seconds: 24 hours or more show all their hours ("25:00:00"); a negative
// count shows as "00:00:00".
std::string ClockText(long long seconds);

// Replaces every occurrence of `what` (exact, non-overlapping, left to right).
std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with);
// The same with `what` matched without regard to case (Windows-1252 letters).
std::string IReplaceAll(std::string_view text, std::string_view what, std::string_view with);

}  // namespace platform
