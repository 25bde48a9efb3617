#include "platform/fileio.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/testsupport.h"

namespace {

using namespace platform;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

TEST(LineArray, SplitsAndJoinsBackExactly) {
    struct Case {
        std::string data;
        std::vector<std::string> lines;
        std::string eol;
        bool finalEol;
    };
    const Case cases[] = {
        {"", {}, "\r\n", false},
        {"a", {"a"}, "\r\n", false},
        {"a\r\nb\r\n", {"a", "b"}, "\r\n", true},
        {"a\r\nb", {"a", "b"}, "\r\n", false},
        {"a\r\n\r\n", {"a", ""}, "\r\n", true},
        {"\r\n", {""}, "\r\n", true},
        {"a\nb\n", {"a", "b"}, "\n", true},
        {"a\nb", {"a", "b"}, "\n", false},
        {"a\r\nb\nc\r\n", {"a", "b\nc"}, "\r\n", true},  // CR LF file: a lone LF stays in its line
        {"a\rb\r\n", {"a\rb"}, "\r\n", true},
    };
    for (const auto& c : cases) {
        const LineArray t = SplitLines(c.data);
        EXPECT_EQ(t.lines, c.lines) << testing::PrintToString(c.data);
        EXPECT_EQ(t.eol, c.eol) << testing::PrintToString(c.data);
        EXPECT_EQ(t.finalEol, c.finalEol) << testing::PrintToString(c.data);
        EXPECT_EQ(JoinLines(t), c.data);
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
