// The INI engine, as byte images of the file before and after each operation.
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <tovcore/clsTovcore.h>

#include "tests/support/testsupport.h"

namespace {

using testsupport::PathExists;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

tovcore::clsTovcore& T() { return tovcore::Global(); }

std::string B(bool b) { return b ? "true" : "false"; }

struct IniCase {
    const char* name;
    const char* before;  // nullptr: no file
    std::function<std::string(const std::string& file)> op;
    std::string result;
    const char* after;
};

void PrintTo(const IniCase& c, std::ostream* os) { *os << c.name; }

const std::vector<IniCase>& Cases() {
    static const std::vector<IniCase> cases = {
        {"MissingSectionGetsDefaultAppended", "[Other]\r\nx=1\r\n",
         [](const std::string& f) { return T().GetIniString("Settings", "Language", "Default", f); }, "Default",
         "\r\n[Other]\r\n\r\nx=1\r\n[Settings]\r\n\r\nLanguage=Default\r\n"},
        {"PresentValueIsReturnedTrimmedAndNothingWritten", "[S]\r\nk =x\r\nk=  a b  \r\nk=c\r\n",
         [](const std::string& f) { return T().GetIniString("S", "k", "d", f); }, "a b",
         "[S]\r\nk =x\r\nk=  a b  \r\nk=c\r\n"},
        {"HeaderInOtherCaseMatches", "[settings]\r\nLanguage=English\r\n",
         [](const std::string& f) { return T().GetIniString("Settings", "language", "Default", f); }, "English",
         "[settings]\r\nLanguage=English\r\n"},
        {"HeaderWithInnerSpacesDoesNotMatch", "[ Settings ]\r\nLanguage=English\r\n",
         [](const std::string& f) { return T().GetIniString("Settings", "Language", "Default", f); }, "Default",
         "\r\n[ Settings ]\r\n\r\nLanguage=English\r\n[Settings]\r\n\r\nLanguage=Default\r\n"},
        {"EmptyDefaultOnMissingFileAppendsKeyWithoutValue", nullptr,
         [](const std::string& f) { return T().GetIniString("S", "K", "", f); }, "", "[S]\r\n\r\nK=\r\n"},
        {"EmptyDefaultRemovesKeyWithoutValue", "[S]\r\n\r\nK=\r\n",
         [](const std::string& f) { return T().GetIniString("S", "K", "", f); }, "", "\r\n[S]\r\n\r\n"},
        {"EmptyValueIsReplacedByDefault", "[S]\r\nk=\r\n",
         [](const std::string& f) { return T().GetIniString("S", "k", "d", f); }, "d", "\r\n[S]\r\n\r\nk=d\r\n"},
        {"MissingKeyIsInsertedAfterSectionsLastLine", "[S]\r\na=1\r\n\r\n[T]\r\nb=2\r\n",
         [](const std::string& f) { return T().GetIniString("S", "k", "d", f); }, "d",
         "\r\n[S]\r\n\r\na=1\r\nk=d\r\n\r\n[T]\r\n\r\nb=2\r\n"},
        {"FallbackSectionAnswersEmptyValue", "[S <0009>]\r\nk=old\r\n",
         [](const std::string& f) { return T().GetIniString("S", "k", "", f); }, "old",
         "\r\n[S <0009>]\r\n\r\nk=old\r\n[S]\r\n\r\nk=\r\n"},
        {"SectionFollowedDirectlyByAnotherKeepsBoth", "[S]\r\n[T]\r\n",
         [](const std::string& f) { return B(T().WriteIniString("S", "k", "v", f)); }, "true",
         "\r\n[S]\r\n\r\nk=v\r\n\r\n[T]\r\n\r\n"},
        {"KeyMatchIsASubstringMatch", "[App]\r\nErrorLog=False\r\nLog=False\r\n",
         [](const std::string& f) { return B(T().WriteIniString("App", "Log", "True", f)); }, "true",
         "\r\n[App]\r\n\r\nLog=True\r\nLog=False\r\n"},
        {"WriteEmptyValueRemovesKeyLine", "[S]\r\na=1\r\nb=2\r\n",
         [](const std::string& f) { return B(T().WriteIniString("S", "a", "", f)); }, "true",
         "\r\n[S]\r\n\r\nb=2\r\n"},
        {"WriteEmptyValueOfMissingKeyInsertsNothing", "[S]\r\na=1\r\n",
         [](const std::string& f) { return B(T().WriteIniString("S", "z", "", f)); }, "true",
         "\r\n[S]\r\n\r\na=1\r\n"},
        {"WriteToMissingSectionAppendsIt", "[S]\r\na=1\r\n",
         [](const std::string& f) { return B(T().WriteIniString("New", "k", "v", f)); }, "false",
         "\r\n[S]\r\n\r\na=1\r\n[New]\r\n\r\nk=v\r\n"},
        {"WriteSectionEmptyTextKeepsHeaderDropsBody", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n",
         [](const std::string& f) { return B(T().WriteIniSection("A", "", f)); }, "true",
         "\r\n[A]\r\n\r\n\r\n[B]\r\n\r\ny=2\r\n"},
        {"WriteSectionEmptyTextOnMissingSectionAppendsHeader", "x=1\r\n",
         [](const std::string& f) { return B(T().WriteIniSection("N", "", f)); }, "false", "x=1\r\n[N]\r\n\r\n\r\n"},
        {"WriteSectionReplacesBody", "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n",
         [](const std::string& f) { return B(T().WriteIniSection("A", "p=1\r\nq=2", f)); }, "true",
         "\r\n[A]\r\n\r\np=1\r\nq=2\r\n\r\n[B]\r\n\r\nz=3\r\n"},
        {"LfOnlyFileIsOneLine", "[S]\nk=1\n", [](const std::string& f) { return T().GetIniString("S", "k", "d", f); },
         "d", "[S]\nk=1\n\r\n[S]\r\n\r\nk=d\r\n"},
        {"RewriteDropsBlankLinesAndFramesBracketEndings", "a=1\r\n   \r\n\r\n[S]\r\nv=x]\r\n\r\nb=2\r\n",
         [](const std::string& f) { return B(T().WriteIniString("S", "c", "3", f)); }, "true",
         "a=1\r\n\r\n[S]\r\n\r\n\r\nv=x]\r\n\r\nb=2\r\nc=3\r\n"},
        {"TabsAreNotTrimmed", "[S]\r\nk=\tx\r\n", [](const std::string& f) { return T().GetIniString("S", "k", "d", f); },
         "\tx", "[S]\r\nk=\tx\r\n"},
    };
    return cases;
}

class IniEngine : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniEngine, FileBeforeAndAfter) {
    const IniCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.path() + "Settings.ini";
    if (c.before) WriteBytes(file, c.before);
    EXPECT_EQ(c.op(file), c.result);
    ASSERT_TRUE(PathExists(file));
    EXPECT_EQ(ReadBytes(file), c.after);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniEngine, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<IniCase>& info) { return std::string(info.param.name); });

TEST(IniEngineReads, DefaultIsWrittenOnceThenReadBack) {
    TempDir dir;
    const std::string file = dir.path() + "Settings.ini";
    EXPECT_EQ(T().GetIniString("Settings", "Language", "Default", file), "Default");
    const std::string once = ReadBytes(file);
    EXPECT_EQ(once, "[Settings]\r\n\r\nLanguage=Default\r\n");
    EXPECT_EQ(T().GetIniString("Settings", "Language", "Other", file), "Default");
    EXPECT_EQ(ReadBytes(file), once);
}

TEST(IniEngineReads, SectionBodies) {
    TempDir dir;
    const std::string file = dir.path() + "Settings.ini";
    WriteBytes(file, "\r\n[A]\r\n\r\na=1\r\nb=2\r\n\r\n[B]\r\n\r\nc=3\r\n\r\n[E]\r\n\r\n\r\n[L]\r\n\r\n");
    std::string body = "keep";
    EXPECT_TRUE(T().GetIniSection("A", body, file));
    EXPECT_EQ(body, "a=1\r\nb=2\r\n");  // a middle section keeps one CR LF
    body = "keep";
    EXPECT_TRUE(T().GetIniSection("B", body, file));
    EXPECT_EQ(body, "c=3\r\n");
    body = "keep";
    EXPECT_TRUE(T().GetIniSection("E", body, file));
    EXPECT_EQ(body, "");  // an empty middle section
    body = "keep";
    EXPECT_TRUE(T().GetIniSection("L", body, file));
    EXPECT_EQ(body, "keep");  // an empty last section leaves the text alone
    body = "keep";
    EXPECT_FALSE(T().GetIniSection("Missing", body, file));
    EXPECT_EQ(body, "keep");

    std::string last;
    WriteBytes(file, "\r\n[A]\r\n\r\na=1\r\n\r\n[B]\r\n\r\nc=3\r\nd=4\r\n");
    EXPECT_TRUE(T().GetIniSection("B", last, file));
    EXPECT_EQ(last, "c=3\r\nd=4");  // the last section has none

    std::vector<std::string> lines{"old"};
    T().GetSection("B", file, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"c=3", "d=4"}));
    T().GetSection("Missing", file, lines);
    EXPECT_TRUE(lines.empty());
}

TEST(IniEngineFiles, Windows1252TextSurvivesARewrite) {
    TempDir dir;
    const std::string file = dir.path() + "Settings.ini";
    WriteBytes(file, "[S]\r\nName=Caf\xE9\r\n");  // written on Windows, not UTF-8
    EXPECT_EQ(T().GetIniString("S", "Name", "", file), "Caf\xC3\xA9");
    EXPECT_TRUE(T().WriteIniString("S", "Other", "1", file));
    EXPECT_EQ(ReadBytes(file), "\r\n[S]\r\n\r\nName=Caf\xC3\xA9\r\nOther=1\r\n");
    EXPECT_EQ(T().GetIniString("S", "Name", "", file), "Caf\xC3\xA9");
}

TEST(IniEngineFiles, MissingFolderReturnsNormallyAndCreatesNothing) {
    TempDir dir;
    const std::string file = dir.path() + "missing/Settings.ini";
    EXPECT_EQ(T().GetIniString("S", "k", "d", file), "d");
    EXPECT_FALSE(T().WriteIniString("S", "k", "v", file));
    EXPECT_FALSE(T().WriteIniSection("S", "k=v", file));
    EXPECT_FALSE(PathExists(dir.path() + "missing"));
}

TEST(IniEngineFiles, FailedRewriteLeavesOldFileIntact) {
    TempDir dir;
    // The file's name is so long that no temporary file can be made beside it: every rewrite fails
    // before the old file is touched.
    const std::string file = dir.path() + std::string(250, 'n') + ".ini";
    const std::string old = "[S]\r\nk=1\r\n";
    WriteBytes(file, old);
    EXPECT_TRUE(T().WriteIniString("S", "k", "2", file));
    EXPECT_EQ(T().GetIniString("S", "other", "d", file), "d");
    EXPECT_TRUE(T().WriteIniSection("S", "", file));
    EXPECT_EQ(ReadBytes(file), old);
    EXPECT_EQ(T().GetIniString("S", "k", "d", file), "1");
}

TEST(IniEngineFiles, RewriteLeavesNoTemporaryFiles) {
    TempDir dir;
    const std::string file = dir.path() + "Settings.ini";
    for (int i = 0; i < 3; ++i) T().WriteIniString("S", "k" + std::to_string(i), "v", file);
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(IniEngineFiles, LongFilePastSixteenBitLineIndexes) {
    TempDir dir;
    const std::string file = dir.path() + "Long.ini";
    std::string text = "[Head]\r\n";
    for (int i = 0; i < 40000; ++i) text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    text += "[Tail]\r\nlast=yes\r\n";
    WriteBytes(file, text);
    EXPECT_EQ(T().GetIniString("Tail", "last", "no", file), "yes");
    EXPECT_EQ(T().GetIniString("Head", "k39999", "no", file), "39999");
    EXPECT_TRUE(T().WriteIniString("Tail", "added", "1", file));
    EXPECT_EQ(T().GetIniString("Tail", "added", "0", file), "1");
    EXPECT_EQ(T().GetIniString("Head", "k39999", "no", file), "39999");
}

}  // namespace
