// The INI engine, as byte images of the file before and after each operation.
#include <filesystem>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <tovcore/IniFiles.h>
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
         [](const std::string& f) { return B(T().WriteIniString("S", "a", "", f)); }, "true", "\r\n[S]\r\n\r\nb=2\r\n"},
        {"WriteEmptyValueOfMissingKeyInsertsNothing", "[S]\r\na=1\r\n",
         [](const std::string& f) { return B(T().WriteIniString("S", "z", "", f)); }, "true", "\r\n[S]\r\n\r\na=1\r\n"},
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
        {"LfLinesAreLinesToo", "[S]\nk=1\n", [](const std::string& f) { return T().GetIniString("S", "k", "d", f); },
         "1", "[S]\nk=1\n"},
        {"ALineWithoutEndingGetsOneWhenALineFollows", "[S]\nk=1",
         [](const std::string& f) { return B(T().WriteIniString("S", "n", "2", f)); }, "true",
         "\r\n[S]\n\r\nk=1\r\nn=2\r\n"},
        {"AByteOrderMarkIsKeptAndNotReadAsText", "\xEF\xBB\xBF[S]\r\nk=1\r\n",
         [](const std::string& f) { return B(T().WriteIniString("S", "k", "2", f)); }, "true",
         "\xEF\xBB\xBF\r\n[S]\r\n\r\nk=2\r\n"},
        {"RewriteDropsBlankLinesAndFramesBracketEndings", "a=1\r\n   \r\n\r\n[S]\r\nv=x]\r\n\r\nb=2\r\n",
         [](const std::string& f) { return B(T().WriteIniString("S", "c", "3", f)); }, "true",
         "a=1\r\n\r\n[S]\r\n\r\n\r\nv=x]\r\n\r\nb=2\r\nc=3\r\n"},
        {"TabsAreNotTrimmed", "[S]\r\nk=\tx\r\n",
         [](const std::string& f) { return T().GetIniString("S", "k", "d", f); }, "\tx", "[S]\r\nk=\tx\r\n"},
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
    // The line the write did not change keeps its bytes.
    EXPECT_EQ(ReadBytes(file), "\r\n[S]\r\n\r\nName=Caf\xE9\r\nOther=1\r\n");
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
    // The writers say that nothing was written.
    EXPECT_FALSE(T().WriteIniString("S", "k", "2", file));
    EXPECT_EQ(T().GetIniString("S", "other", "d", file), "d");
    EXPECT_FALSE(T().WriteIniSection("S", "", file));
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

// ---- the program's own files as Linux users have them ------------------------------------------
//
// Each file kind crossed with each operation: the value read and the file's bytes afterwards. A
// file is a list of lines, each with its own ending; an operation says how the lines change. Lines
// the operation does not touch keep their bytes and endings; lines it adds end in CR LF.

struct IniLine {
    std::string text;
    std::string end;
};
using IniLines = std::vector<IniLine>;

std::string Join(const IniLines& lines) {
    std::string out;
    for (const IniLine& l : lines) out += l.text + l.end;
    return out;
}

// A settings file in the engine's own layout, every line ended by `end`.
IniLines Layout(const std::string& end, const std::string& folder = "/home/me/src") {
    return {{"", end},
            {"[Quillet]", end},
            {"", end},
            {"Language=Deutsch", end},
            {"LastProjectFolder=" + folder, end},
            {"Error=False", end},
            {"", end},
            {"[Other]", end},
            {"", end},
            {"x=1", end}};
}

struct IniFileKind {
    const char* name;
    IniLines lines;
    bool readable = true;  // false: the engine neither reads nor writes it
    bool link = false;     // the settings file is a symbolic link to a file in another folder
};

std::vector<IniFileKind> FileKinds() {
    std::vector<IniFileKind> kinds;
    kinds.push_back({"CrLf", Layout("\r\n")});
    kinds.push_back({"Lf", Layout("\n")});
    kinds.push_back({"Cr", Layout("\r")});
    // Lines appended by a Linux editor to a file written on Windows.
    IniLines mixed = Layout("\r\n");
    mixed[4].end = "\n";
    mixed[5].end = "\n";
    kinds.push_back({"Mixed", mixed});
    // UTF-8 lines with one line that a Windows program wrote in Windows-1252.
    IniLines stray = Layout("\r\n", "/home/jos\xC3\xA9/src");
    stray.insert(stray.begin() + 6, IniLine{"Note=caf\xE9", "\r\n"});
    kinds.push_back({"StrayWindows1252Byte", stray});
    kinds.push_back({"SymbolicLink", Layout("\n"), true, true});
    // Larger than the limit: a long comment line after the keys.
    IniLines big = Layout("\r\n");
    big.push_back({"; " + std::string(tovcore::kIniFileSizeLimit, 'x'), "\r\n"});
    kinds.push_back({"Oversized", big, false});
    return kinds;
}

std::size_t IndexOf(const IniLines& lines, const std::string& prefix) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].text.rfind(prefix, 0) == 0) return i;
    throw std::runtime_error("no line " + prefix);
}

struct IniOperation {
    const char* name;
    std::function<std::string(const std::string& file)> run;
    std::string value;        // what a readable file answers
    std::string unreadValue;  // what a file the engine does not read answers
    std::function<void(IniLines&)> edit;
};

std::vector<IniOperation> Operations() {
    return {
        {"ReadPresentKey", [](const std::string& f) { return T().GetIniString("Quillet", "Language", "Default", f); },
         "Deutsch", "Default", [](IniLines&) {}},
        {"ReadMissingKey", [](const std::string& f) { return T().GetIniString("Quillet", "Editor", "gedit", f); },
         "gedit", "gedit",
         [](IniLines& l) {
             // After the section's last line, before the empty line that frames the next header.
             l.insert(l.begin() + static_cast<std::ptrdiff_t>(IndexOf(l, "[Other]") - 1),
                      IniLine{"Editor=gedit", "\r\n"});
         }},
        {"WriteKey",
         [](const std::string& f) { return B(T().WriteIniString("Quillet", "Language", "Fran\303\247ais", f)); },
         "true", "false", [](IniLines& l) { l[IndexOf(l, "Language=")].text = "Language=Fran\303\247ais"; }},
        {"WriteSection", [](const std::string& f) { return B(T().WriteIniSection("Other", "y=2\r\nz=3", f)); }, "true",
         "false",
         [](IniLines& l) {
             l.resize(IndexOf(l, "[Other]") + 2);
             l.push_back({"y=2\r\nz=3", "\r\n"});
         }},
        {"RemoveKey", [](const std::string& f) { return B(T().WriteIniString("Quillet", "Error", "", f)); }, "true",
         "false", [](IniLines& l) { l.erase(l.begin() + static_cast<std::ptrdiff_t>(IndexOf(l, "Error="))); }},
    };
}

struct IniFileCase {
    IniFileKind kind;
    IniOperation op;
};

void PrintTo(const IniFileCase& c, std::ostream* os) { *os << c.kind.name << "/" << c.op.name; }

std::vector<IniFileCase> FileCases() {
    std::vector<IniFileCase> cases;
    for (const IniFileKind& kind : FileKinds())
        for (const IniOperation& op : Operations()) cases.push_back({kind, op});
    return cases;
}

class IniOwnFiles : public ::testing::TestWithParam<IniFileCase> {};

TEST_P(IniOwnFiles, ValueReadAndBytesAfterwards) {
    const IniFileCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.path() + "Quillet.ini";
    const std::string target = c.kind.link ? dir.path() + "dotfiles/Quillet.ini" : file;
    const std::string before = Join(c.kind.lines);
    WriteBytes(target, before);
    if (c.kind.link) std::filesystem::create_symlink("dotfiles/Quillet.ini", file);

    EXPECT_EQ(c.op.run(file), c.kind.readable ? c.op.value : c.op.unreadValue);

    IniLines expected = c.kind.lines;
    if (c.kind.readable) c.op.edit(expected);
    const std::string after = ReadBytes(target);
    if (c.kind.readable) {
        EXPECT_EQ(after, Join(expected));
    } else {
        EXPECT_TRUE(after == before) << "the file was changed";
    }
    if (c.kind.link) {
        EXPECT_TRUE(std::filesystem::is_symlink(file)) << "the link was replaced";
        EXPECT_EQ(std::filesystem::read_symlink(file).string(), "dotfiles/Quillet.ini");
    }
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.path() != file;
    EXPECT_EQ(entries, c.kind.link ? 1 : 0) << "a temporary file was left beside the settings file";
}

INSTANTIATE_TEST_SUITE_P(Files, IniOwnFiles, ::testing::ValuesIn(FileCases()),
                         [](const ::testing::TestParamInfo<IniFileCase>& info) {
                             return std::string(info.param.kind.name) + "_" + info.param.op.name;
                         });

TEST(IniOwnFiles, EachLineIsDecodedOnItsOwn) {
    TempDir dir;
    const std::string file = dir.path() + "Quillet.ini";
    WriteBytes(file, "[S]\r\nHome=/home/jos\xC3\xA9\r\nNote=caf\xE9\r\n");
    EXPECT_EQ(T().GetIniString("S", "Home", "", file), "/home/jos\xC3\xA9");
    EXPECT_EQ(T().GetIniString("S", "Note", "", file), "caf\xC3\xA9");
    std::string body;
    EXPECT_TRUE(T().GetIniSection("S", body, file));
    EXPECT_EQ(body, "Home=/home/jos\xC3\xA9\r\nNote=caf\xC3\xA9");
}

TEST(IniOwnFiles, MixedEndingsNeverMergeKeysSoWritingOneKeepsTheOthers) {
    // Keys appended with LF to a CR LF file, as a user adds them with a Linux editor.
    TempDir dir;
    const std::string file = dir.path() + "Quillet.ini";
    WriteBytes(file, "\r\n[Quillet]\r\n\r\nCheckForUpdates=True\r\nError=False\nLanguage=Deutsch\n");
    EXPECT_TRUE(T().WriteIniString("Quillet", "CheckForUpdates", "False", file));
    EXPECT_EQ(T().GetIniString("Quillet", "Error", "True", file), "False");
    EXPECT_EQ(T().GetIniString("Quillet", "Language", "Default", file), "Deutsch");
    EXPECT_EQ(ReadBytes(file), "\r\n[Quillet]\r\n\r\nCheckForUpdates=False\r\nError=False\nLanguage=Deutsch\n");
}

TEST(IniOwnFiles, ALfFileReadsItsSectionAndGetsNoSecondOne) {
    TempDir dir;
    const std::string file = dir.path() + "Project.qlp";
    const std::string lf = "[Quillet]\nProjectName=/home/me/App.vbp\nLineNumberIncrement=1\n";
    WriteBytes(file, lf);
    EXPECT_EQ(T().GetIniString("Quillet", "ProjectName", "", file), "/home/me/App.vbp");
    EXPECT_EQ(T().GetIniString("Quillet", "LineNumberIncrement", "0", file), "1");
    EXPECT_EQ(ReadBytes(file), lf);
    EXPECT_TRUE(T().WriteIniString("Quillet", "ProjectName", "/home/me/Other.vbp", file));
    const std::string after = ReadBytes(file);
    EXPECT_EQ(after, "\r\n[Quillet]\n\r\nProjectName=/home/me/Other.vbp\nLineNumberIncrement=1\n");
}

TEST(IniOwnFiles, FilesTheEngineMustNotWriteAreLeftAsTheyAre) {
    TempDir dir;
    const std::string old = "[S]\r\nk=1\r\n";
    struct Row {
        const char* name;
        std::function<std::string()> make;  // makes the file, returns its path
        std::string readValue;
        tovcore::IniFileState state;
    };
    const Row rows[] = {
        {"read-only",
         [&] {
             const std::string f = dir.path() + "ro.ini";
             WriteBytes(f, old);
             std::filesystem::permissions(f, std::filesystem::perms::owner_read);
             return f;
         },
         "1", tovcore::IniFileState::ReadOnly},
        {"a link to a read-only file",
         [&] {
             const std::string f = dir.path() + "rolink.ini";
             std::filesystem::create_symlink("ro.ini", f);
             return f;
         },
         "1", tovcore::IniFileState::ReadOnly},
        {"UTF-16 text",
         [&] {
             const std::string f = dir.path() + "wide.ini";
             static constexpr char kWide[] = "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\x31\0";
             WriteBytes(f, std::string(kWide, sizeof kWide - 1));
             return f;
         },
         "d", tovcore::IniFileState::Unreadable},
        {"a link that leads round in a circle",
         [&] {
             const std::string f = dir.path() + "loop.ini";
             std::filesystem::create_symlink("loop.ini", f);
             return f;
         },
         "d", tovcore::IniFileState::Unreadable},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string f = r.make();
        std::error_code ec;
        const bool regular = std::filesystem::is_regular_file(f, ec);
        const std::string target = regular ? ReadBytes(f) : "";
        EXPECT_EQ(tovcore::CheckIniFile(f), r.state);
        EXPECT_EQ(T().GetIniString("S", "k", "d", f), r.readValue);
        T().GetIniString("S", "missing", "d", f);
        T().WriteIniString("S", "k", "2", f);
        T().WriteIniSection("New", "a=1", f);
        if (regular) {
            EXPECT_EQ(ReadBytes(f), target);
        }
        EXPECT_EQ(std::filesystem::is_regular_file(f, ec), regular) << "something was written in its place";
    }
    std::filesystem::permissions(dir.path() + "ro.ini", std::filesystem::perms::owner_all);
}

TEST(IniOwnFiles, TheStateOfAFileForItsUser) {
    TempDir dir;
    EXPECT_EQ(tovcore::CheckIniFile(dir.path() + "none.ini"), tovcore::IniFileState::Missing);
    WriteBytes(dir.path() + "ok.ini", "[S]\nk=1\n");
    EXPECT_EQ(tovcore::CheckIniFile(dir.path() + "ok.ini"), tovcore::IniFileState::Usable);
    WriteBytes(dir.path() + "big.ini", std::string(tovcore::kIniFileSizeLimit + 1, '\n'));
    EXPECT_EQ(tovcore::CheckIniFile(dir.path() + "big.ini"), tovcore::IniFileState::TooLarge);
    EXPECT_EQ(tovcore::IniFileStateText(tovcore::IniFileState::TooLarge), "is larger than 4 MB");
    EXPECT_EQ(tovcore::CheckIniFile(dir.path()), tovcore::IniFileState::Unreadable);
}

// Every rewrite makes its temporary file beside the file it replaces: in a folder where no file may
// be made, a writable file is still only read. The writers say so, and nothing changes on disk. (A
// folder without any write permission counts so for the super-user too.)
TEST(IniOwnFiles, AFileInAFolderWhereNoFileMayBeMadeIsReadAndNeverWritten) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string locked = dir.path() + "locked/";
    const std::string open = dir.path() + "open/";
    const std::string old = "[S]\r\nk=1\r\n";
    WriteBytes(locked + "there.ini", old);
    WriteBytes(open + "target.ini", old);
    fs::create_symlink(locked + "there.ini", open + "to-locked.ini");
    fs::create_symlink(open + "target.ini", locked + "to-open.ini");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    struct Row {
        const char* name;
        std::string file;
        tovcore::IniFileState state;
        bool written;
    };
    const Row rows[] = {
        {"a writable file", locked + "there.ini", tovcore::IniFileState::FolderReadOnly, false},
        {"no file yet", locked + "new.ini", tovcore::IniFileState::FolderReadOnly, false},
        {"a link to a file there", open + "to-locked.ini", tovcore::IniFileState::FolderReadOnly, false},
        {"a link from there to a file elsewhere", locked + "to-open.ini", tovcore::IniFileState::Usable, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const bool there = fs::exists(r.file);
        EXPECT_EQ(tovcore::CheckIniFile(r.file), r.state);
        EXPECT_EQ(T().GetIniString("S", "k", "d", r.file), there ? "1" : "d");
        EXPECT_EQ(T().WriteIniString("S", "k", "2", r.file), r.written);
        EXPECT_EQ(T().WriteIniSection("S", "k=3", r.file), r.written);
        if (!r.written) {
            EXPECT_EQ(fs::exists(r.file), there);
            if (there) {
                EXPECT_EQ(ReadBytes(r.file), old);
            }
        } else {
            EXPECT_EQ(T().GetIniString("S", "k", "d", r.file), "3");
        }
    }
    EXPECT_EQ(tovcore::IniFileStateText(tovcore::IniFileState::FolderReadOnly),
              "is in a folder where no file may be written");
    std::size_t entries = 0;
    for (const auto& e : fs::directory_iterator(locked)) entries += e.path().filename().string()[0] == '.';
    EXPECT_EQ(entries, 0u) << "a temporary file was left";
    fs::permissions(locked, fs::perms::owner_all);
}

}  // namespace
