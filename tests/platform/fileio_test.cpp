#include "platform/fileio.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/testsupport.h"

namespace {

using namespace platform;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

// Each line keeps its own ending, so every file joins back to its exact bytes.
TEST(LineArray, SplitsAndJoinsBackExactly) {
    using E = LineEnd;
    struct Case {
        const char* name;
        std::string data;
        std::vector<std::string> lines;
        std::vector<LineEnd> ends;
        bool bom;
    };
    const Case cases[] = {
        {"empty", "", {}, {}, false},
        {"one line without an ending", "a", {"a"}, {E::None}, false},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}, {E::CrLf, E::CrLf}, false},
        {"CR LF without a final ending", "a\r\nb", {"a", "b"}, {E::CrLf, E::None}, false},
        {"empty last line", "a\r\n\r\n", {"a", ""}, {E::CrLf, E::CrLf}, false},
        {"only a line end", "\r\n", {""}, {E::CrLf}, false},
        {"LF", "a\nb\n", {"a", "b"}, {E::Lf, E::Lf}, false},
        {"CR only", "a\rb\r", {"a", "b"}, {E::Cr, E::Cr}, false},
        {"mixed", "a\r\nb\nc\rd\r\n", {"a", "b", "c", "d"}, {E::CrLf, E::Lf, E::Cr, E::CrLf}, false},
        {"LF CR is two endings", "a\n\rb", {"a", "", "b"}, {E::Lf, E::Cr, E::None}, false},
        {"byte-order mark", "\xEF\xBB\xBFModule=a\r\n", {"Module=a"}, {E::CrLf}, true},
        {"byte-order mark alone", "\xEF\xBB\xBF", {}, {}, true},
        {"half a mark is text", "\xEF\xBBx", {"\xEF\xBBx"}, {E::None}, false},
        {"CR CR LF", "a\r\r\nb", {"a", "", "b"}, {E::Cr, E::CrLf, E::None}, false},
        {"CR lines before an LF line", "a\rb\rc\nd", {"a", "b", "c", "d"}, {E::Cr, E::Cr, E::Lf, E::None}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LineArray t = SplitLines(c.data);
        EXPECT_EQ(t.lines, c.lines);
        EXPECT_EQ(t.ends, c.ends);
        EXPECT_EQ(t.bom, c.bom);
        EXPECT_EQ(JoinLines(t), c.data);
        // The one-buffer form reads the same lines and gives back the same bytes.
        const platform::TextLines buffer{std::string(c.data)};
        ASSERT_EQ(buffer.size(), c.lines.size());
        std::string joined = buffer.bom() ? std::string(platform::kUtf8Bom) : std::string();
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            EXPECT_EQ(buffer[i], c.lines[i]);
            EXPECT_EQ(buffer.End(i), c.ends[i]);
            joined += buffer.Bytes(i, i + 1);
        }
        EXPECT_EQ(joined, c.data);
        EXPECT_EQ(buffer.bom(), c.bom);
        const LineArray copy = buffer.ToLineArray();
        EXPECT_EQ(copy.lines, c.lines);
        EXPECT_EQ(JoinLines(copy), c.data);
    }
}

// An inserted line ends as the line it follows; after a last line without an ending, that line gets
// the ending of the lines before it and the file still ends without one.
TEST(LineArray, InsertedLinesTakeTheEndingOfTheLineTheyFollow) {
    struct Case {
        const char* name;
        std::string data;
        std::size_t at;
        std::string want;
    } cases[] = {
        {"after a CR LF line in a mixed file", "a\r\nb\nc\n", 1, "a\r\nX\r\nb\nc\n"},
        {"after an LF line in a mixed file", "a\r\nb\nc\r\n", 2, "a\r\nb\nX\nc\r\n"},
        {"after a CR line", "a\rb\r", 1, "a\rX\rb\r"},
        {"before the first line", "a\nb\r\n", 0, "X\na\nb\r\n"},
        {"after the last line, which has an ending", "a\r\n", 1, "a\r\nX\r\n"},
        {"after a last line without an ending", "a\nb", 2, "a\nb\nX"},
        {"after the only line, without an ending", "a", 1, "a\r\nX"},
        {"into an empty file", "", 0, "X"},
        {"after the mark", "\xEF\xBB\xBF" "a\r\n", 0, "\xEF\xBB\xBF" "X\r\na\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LineArray t = SplitLines(c.data);
        t.Insert(c.at, "X");
        EXPECT_EQ(JoinLines(t), c.want);
        EXPECT_EQ(t.lines.size(), t.ends.size());
    }
}

TEST(LineArray, Utf16IsRecognised) {
    struct Case {
        const char* name;
        std::string data;
        bool utf16;
    } cases[] = {
        {"little-endian mark", std::string("\xFF\xFEM\0o\0", 6), true},
        {"big-endian mark", std::string("\xFE\xFF\0M\0o", 6), true},
        {"little-endian without a mark", std::string("M\0o\0d\0u\0l\0e\0=\0", 14), true},
        {"big-endian without a mark", std::string("\0M\0o\0d\0u", 8), true},
        {"ANSI text", "Module=a; a.bas\r\n", false},
        {"UTF-8 mark", "\xEF\xBB\xBFModule=a", false},
        {"a stray zero byte", std::string("Mod\0ule=a", 10), false},
        {"too short to tell", std::string("M\0", 2), false},
    };
    for (const Case& c : cases) EXPECT_EQ(LooksLikeUtf16(c.data), c.utf16) << c.name;
}

// A FIFO is never opened for reading (the read would wait for a writer for ever); a file over the
// limit is not read into memory.
TEST(ReadFile, OnlyRegularFilesWithinTheLimit) {
    TempDir dir;
    WriteBytes(dir.file("a.bas"), "0123456789");
    ASSERT_EQ(::mkfifo((dir.path() + "fifo.bas").c_str(), 0644), 0);
    testsupport::MakeFolders(dir.path() + "folder.bas");
    struct Case {
        const char* name;
        std::string path;
        std::uint64_t limit;
        ReadStatus status;
        std::string bytes;
    } cases[] = {
        {"regular", dir.path() + "a.bas", 10, ReadStatus::Ok, "0123456789"},
        {"over the limit", dir.path() + "a.bas", 9, ReadStatus::TooLarge, ""},
        {"FIFO", dir.path() + "fifo.bas", 100, ReadStatus::NotRegular, ""},
        {"folder", dir.path() + "folder.bas", 100, ReadStatus::NotRegular, ""},
        {"missing", dir.path() + "none.bas", 100, ReadStatus::Missing, ""},
        {"below a file", dir.path() + "a.bas/x", 100, ReadStatus::Missing, ""},
    };
    for (const Case& c : cases) {
        std::string out = "old";
        EXPECT_EQ(ReadFileBytes(c.path, out, c.limit), c.status) << c.name;
        EXPECT_EQ(out, c.bytes) << c.name;
    }
}

TEST(AtomicWrite, ReplacesTheFileAndKeepsItsMode) {
    TempDir dir;
    const std::string p = dir.file("a.ini");
    WriteBytes(p, "old");
    ::chmod(p.c_str(), 0600);
    ASSERT_TRUE(WriteFileAtomic(p, "new\r\n\xE9"));
    EXPECT_EQ(ReadBytes(p), "new\r\n\xE9");
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(AtomicWrite, FailureLeavesTheOldFile) {
    TempDir dir;
    // A target that is a folder cannot be replaced by a file: the rename fails.
    testsupport::MakeFolders(dir.path() + "target");
    std::string why;
    EXPECT_FALSE(WriteFileAtomic(dir.path() + "target", "x", &why));
    EXPECT_FALSE(why.empty());
    // A missing folder: nothing is created.
    EXPECT_FALSE(WriteFileAtomic(dir.path() + "missing/a.ini", "x"));
    EXPECT_FALSE(testsupport::PathExists(dir.path() + "missing"));
}

TEST(ReadFile, MissingFileAndFolder) {
    TempDir dir;
    std::string out = "x";
    EXPECT_FALSE(ReadFileBytes(dir.path() + "nope", out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(ReadFileBytes(dir.path(), out));
}

TEST(PathParts, FolderAndName) {
    EXPECT_EQ(FolderOf("/a/b/c.bas"), "/a/b/");
    EXPECT_EQ(NameOf("/a/b/c.bas"), "c.bas");
    EXPECT_EQ(FolderOf("c.bas"), "");
    EXPECT_EQ(NameOf("c.bas"), "c.bas");
}

}  // namespace
