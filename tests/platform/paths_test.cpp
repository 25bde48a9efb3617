#include "platform/paths.h"

#include <gtest/gtest.h>

#include "tests/support/testsupport.h"

namespace {

using namespace platform;
using testsupport::TempDir;
using testsupport::WriteBytes;

TEST(ListedPath, ResolvesSeparatorsCaseAndParentFolders) {
    TempDir dir;
    WriteBytes(dir.path() + "proj/Modules/ModMain.bas", "x");
    WriteBytes(dir.path() + "Common/Util.BAS", "x");
    WriteBytes(dir.path() + "proj/Form1.frm", "x");
    const std::string base = dir.path() + "proj/";
    struct Case {
        std::string listed, expected;
        bool exists;
    };
    const Case cases[] = {
        {"Modules\\ModMain.bas", base + "Modules/ModMain.bas", true},
        {"modules\\MODMAIN.BAS", base + "Modules/ModMain.bas", true},
        {"..\\common\\util.bas", dir.path() + "Common/Util.BAS", true},
        {".\\FORM1.FRM", base + "Form1.frm", true},
        {"Modules\\Missing.bas", base + "Modules/Missing.bas", false},
        {"Nowhere\\Sub\\a.bas", base + "Nowhere/Sub/a.bas", false},
    };
    for (const auto& c : cases) {
        const ResolvedPath r = ResolveListedPath(base, c.listed);
        EXPECT_EQ(r.path, c.expected) << c.listed;
        EXPECT_EQ(r.exists, c.exists) << c.listed;
    }
}

TEST(ListedPath, Windows1252NameMatchesUtf8DiskName) {
    TempDir dir;
    WriteBytes(dir.path() + "M\xC3\xB3" "dulo.bas", "x");  // UTF-8 name on disk
    const ResolvedPath r = ResolveListedPath(dir.path(), "M\xD3" "DULO.BAS");  // listed in Windows-1252
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.path, dir.path() + "M\xC3\xB3" "dulo.bas");
}

TEST(ListedPath, AbsoluteWindowsNamesAreMissingUnlessTheyExist) {
    TempDir dir;
    EXPECT_FALSE(ResolveListedPath(dir.path(), "C:\\Code\\a.bas").exists);
    EXPECT_FALSE(ResolveListedPath(dir.path(), "\\\\server\\share\\a.bas").exists);
    WriteBytes(dir.path() + "abs.bas", "x");
    const ResolvedPath r = ResolveListedPath("/elsewhere/", dir.path() + "abs.bas");
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.path, dir.path() + "abs.bas");
    EXPECT_TRUE(IsAbsoluteListedPath("c:x.bas"));
    EXPECT_FALSE(IsAbsoluteListedPath("Sub\\x.bas"));
}

TEST(ListedPath, ExactNameWinsOverOtherCase) {
    TempDir dir;
    WriteBytes(dir.path() + "a.bas", "lower");
    WriteBytes(dir.path() + "A.bas", "upper");
    EXPECT_EQ(ResolveListedPath(dir.path(), "A.bas").path, dir.path() + "A.bas");
    EXPECT_EQ(ResolveListedPath(dir.path(), "a.bas").path, dir.path() + "a.bas");
    EXPECT_EQ(ResolveListedPath(dir.path(), "A.BAS").path, dir.path() + "A.bas");  // first in sorted order
}

TEST(Normalize, Lexical) {
    EXPECT_EQ(NormalizePath("/a/b/../c/./d"), "/a/c/d");
    EXPECT_EQ(NormalizePath("/a//b/"), "/a/b/");
    EXPECT_EQ(NormalizePath("../x"), "../x");
    EXPECT_EQ(NormalizePath("/.."), "/");
    EXPECT_EQ(NormalizePath("a/.."), ".");
}

}  // namespace
