#include "platform/text.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace platform {
namespace {

// Unicode code points of the Windows-1252 bytes 0x80 to 0x9F. The bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep the C1 control of the same number.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  //
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 when it is not valid UTF-8.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t len = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > text.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

constexpr bool IsUpperLatin1Letter(unsigned char c) { return c >= 0xC0 && c <= 0xDE && c != 0xD7; }
constexpr bool IsLowerLatin1Letter(unsigned char c) { return c >= 0xE0 && c <= 0xFE && c != 0xF7; }

constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (IsLowerLatin1Letter(static_cast<unsigned char>(c))) t[c] = static_cast<unsigned char>(c - 32);
    t[0x9A] = 0x8A;
    t[0x9C] = 0x8C;
    t[0x9E] = 0x8E;
    t[0xFF] = 0x9F;
    return t;
}

// Built at compile time, so that routines running while a library is loaded (before dynamic
// initialisation reaches this file) already fold correctly.
constexpr const std::array<unsigned char, 256>& kFold = kFoldTable;
constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();
static_assert(kFold['A'] == 'a' && kFold[0xC0] == 0xE0 && kUpper[0xFF] == 0x9F);

// Folds a UTF-8 text in place: ASCII letters and the two-byte forms of the Windows-1252 letters.
void FoldUtf8InPlace(std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            s[i] = static_cast<char>(c + 32);
        } else if ((c == 0xC3 || c == 0xC5) && i + 1 < s.size()) {
            auto d = static_cast<unsigned char>(s[i + 1]);
            if (c == 0xC3 && d >= 0x80 && d <= 0x9E && d != 0x97) {
                s[i + 1] = static_cast<char>(d + 0x20);  // À..Þ -> à..þ
            } else if (c == 0xC5) {
                if (d == 0xA0 || d == 0x92 || d == 0xBD) {
                    s[i + 1] = static_cast<char>(d + 1);  // Š Œ Ž
                } else if (d == 0xB8) {                   // Ÿ -> ÿ (U+00FF)
                    s[i] = static_cast<char>(0xC3);
                    s[i + 1] = static_cast<char>(0xBF);
                }
            }
            ++i;
        }
    }
}

int CompareBytes(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) out.push_back(ch);
        else if (c < 0xA0) AppendUtf8(out, kHigh[c - 0x80]);
        else AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text, bool* lossless) {
    std::string out;
    out.reserve(text.size());
    bool ok = true;
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            out.push_back('?');
            ok = false;
            ++i;
            continue;
        }
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        bool found = false;
        for (std::size_t k = 0; k < kHigh.size(); ++k) {
            if (kHigh[k] == cp) {
                out.push_back(static_cast<char>(0x80 + k));
                found = true;
                break;
            }
        }
        if (!found) {
            out.push_back('?');
            ok = false;
        }
    }
    if (lossless) *lossless = ok;
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const std::size_t len = DecodeUtf8(bytes, i, cp);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::string DecodeOwnText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return Cp1252ToUtf8(bytes);
}

std::string Fold(std::string_view bytes) {
    std::string out(bytes);
    for (auto& ch : out) ch = static_cast<char>(kFold[static_cast<unsigned char>(ch)]);
    return out;
}

std::string FoldUtf8(std::string_view text) {
    std::string out(text);
    FoldUtf8InPlace(out);
    return out;
}

std::string UCase(std::string_view bytes) {
    std::string out(bytes);
    for (auto& ch : out) ch = static_cast<char>(kUpper[static_cast<unsigned char>(ch)]);
    return out;
}

std::string LCase(std::string_view bytes) { return Fold(bytes); }

int ICompare(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = kFold[static_cast<unsigned char>(a[i])];
        const auto y = kFold[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool IStartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && IEquals(text.substr(0, prefix.size()), prefix);
}

bool IEndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && IEquals(text.substr(text.size() - suffix.size()), suffix);
}

std::size_t IFind(std::string_view text, std::string_view needle, std::size_t from) {
    if (from > text.size()) return std::string_view::npos;
    if (needle.empty()) return from;
    if (needle.size() > text.size()) return std::string_view::npos;
    const unsigned char first = kFold[static_cast<unsigned char>(needle[0])];
    const std::size_t last = text.size() - needle.size();
    for (std::size_t i = from; i <= last; ++i) {
        if (kFold[static_cast<unsigned char>(text[i])] != first) continue;
        std::size_t k = 1;
        while (k < needle.size() &&
               kFold[static_cast<unsigned char>(text[i + k])] == kFold[static_cast<unsigned char>(needle[k])])
            ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

bool IEqualsUtf8(std::string_view a, std::string_view b) { return a.size() == b.size() && FoldUtf8(a) == FoldUtf8(b); }

int ICompareUtf8(std::string_view a, std::string_view b) { return CompareBytes(FoldUtf8(a), FoldUtf8(b)); }

std::size_t IFindUtf8(std::string_view text, std::string_view needle, std::size_t from) {
    if (from > text.size()) return std::string_view::npos;
    const std::string t = FoldUtf8(text);
    const std::string n = FoldUtf8(needle);
    return t.find(n, from);
}

std::string_view LTrim(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}

std::string_view RTrim(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n);
}

std::string_view Trim(std::string_view s) { return RTrim(LTrim(s)); }

std::string_view LTrimWhite(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : s.substr(first);
}

std::string_view TrimWhite(std::string_view s) {
    s = LTrimWhite(s);
    return s.substr(0, s.find_last_not_of(" \t") + 1);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

namespace {
template <class Find>
std::string ReplaceEach(std::string_view text, std::string_view what, std::string_view with, Find find) {
    if (what.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = find(text, what, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(with);
        pos = hit + what.size();
    }
    out.append(text.substr(pos));
    return out;
}
}  // namespace

std::string PercentEscape(std::string_view text, std::string_view also) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '%' || c <= 0x20 || c == 0x7F || also.find(ch) != std::string_view::npos) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool PercentUnescape(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int hi = HexDigitValue(text[i + 1]), lo = HexDigitValue(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
    return ReplaceEach(text, what, with,
                       [](std::string_view t, std::string_view w, std::size_t from) { return t.find(w, from); });
}

std::string IReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
    return ReplaceEach(text, what, with,
                       [](std::string_view t, std::string_view w, std::size_t from) { return IFind(t, w, from); });
}

std::string ClockText(long long seconds) {
    const long long total = seconds < 0 ? 0 : seconds;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", total / 3600, total % 3600 / 60, total % 60);
    return buf;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

std::vector<std::string_view> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t hit = separator.empty() ? std::string_view::npos : text.find(separator, start);
        if (hit == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, hit - start));
        start = hit + separator.size();
    }
}

}  // namespace platform
