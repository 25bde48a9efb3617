// Path, wildcard, search, time and process routines.
#include <filesystem>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tovcore/clsTovcore.h>

#include "library/src/LibraryState.h"
#include "library/src/modGeneral.h"
#include "tests/library/library_test_util.h"
#include "tests/support/testsupport.h"

namespace {

using testsupport::PathExists;
using testsupport::TempDir;
using testsupport::WriteBytes;

tovcore::clsTovcore& T() { return tovcore::Global(); }

TEST(Paths, FixPath) {
    const std::pair<const char*, const char*> rows[] = {
        {"", ""}, {"   ", ""}, {"/a/b ", "/a/b/"}, {"/a/b/", "/a/b/"}, {"  x", "x/"}, {"/", "/"}, {"a\tb", "a\tb/"}};
    for (const auto& [in, out] : rows) EXPECT_EQ(T().FixPath(in), out) << "[" << in << "]";
}

TEST(Paths, WildcardsIgnoreLetterCase) {
    struct Row {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Row rows[] = {
        {"*.precode", "X.PreCode", true},  {"*.PRECODE", "x.precode", true}, {"*.bas", "a.bas.qlt", false},
        {"a?c", "abc", true},              {"a?c", "ac", false},             {"a*c", "ac", true},
        {"*", "anything", true},           {"*.*", "noextension", true},     {"*.txt", "a.txt", true},
        {"?.txt", "\xC3\xA9.txt", true},  // one character, two bytes
        {"\xC3\x89*", "\xC3\xA9t\xC3\xA9", true},  // É and é
        {"exact.ini", "EXACT.INI", true},  {"ab", "abc", false},             {"*b*", "aXbY", true},
    };
    for (const Row& r : rows)
        EXPECT_EQ(tovcore::detail::WildcardMatch(r.pattern, r.name), r.match) << r.pattern << " / " << r.name;
}

class FileTree : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(root + "Quillet.ini", "x");
        WriteBytes(root + ".hidden", "x");
        WriteBytes(root + "PreCode/X.PreCode", "x");
        testsupport::MakeFolders(root + "EmptyFolder");
    }
    TempDir dir;
    std::string root = dir.path();
};

TEST_F(FileTree, FileExists) {
    struct Row {
        std::string path;
        bool exists;
    };
    const Row rows[] = {
        {root + "Quillet.ini", true},    {root + "quillet.ini", false},  // a plain name is taken as it stands
        {root + "*.INI", true},          {root + "PreCode/*.precode", true},
        {root + "Empty*", false},        // only a folder matches
        {root + "PreCode", false},       {root + "missing.ini", false},
        {root + ".hidden", true},        {root + "*hidden", true},
        {"", false},                     {root, false},
    };
    for (const Row& r : rows) EXPECT_EQ(T().FileExists(r.path), r.exists) << r.path;
}

TEST_F(FileTree, DoesExist) {
    struct Row {
        std::string path;
        int result;
    };
    const Row rows[] = {
        {root + "Quillet.ini", 1},        {root + "PreCode", 1},   {root + "PreCode/", 2},
        {root + "PreCode/*.precode", 1},  {root + "PreCode/*.postcode", 0},
        {root + "missing", 0},            {root + "missing/", 0},  {root + "Quillet.ini/", 0},
        {"/", 0},                         {"", 0},
    };
    for (const Row& r : rows) EXPECT_EQ(T().DoesExist(r.path), r.result) << r.path;
    T().AppCancel(true);
    EXPECT_EQ(T().DoesExist(root + "Quillet.ini"), 0);
    T().AppCancel(false);
}

TEST(Search, FindFilesApiSearchesDepthFirstInNameOrder) {
    TempDir dir;
    const std::string root = dir.path() + "root";
    WriteBytes(root + "/b/target.txt", "x");
    WriteBytes(root + "/A/deep/er/Target.TXT", "x");
    WriteBytes(root + "/A/other.txt", "x");
    WriteBytes(root + "/top.bas", "x");
    EXPECT_EQ(T().FindFilesAPI(root, "target.txt"), root + "/A/deep/er/");  // "A" before "b"
    EXPECT_EQ(T().FindFilesAPI(root, "*.bas"), root + "/");                 // the folder itself first
    EXPECT_EQ(T().FindFilesAPI(root + "/", "deep"), root + "/A/");          // a folder matches too
    EXPECT_EQ(T().FindFilesAPI(root, "nothing.*"), "");
    WriteBytes(root + "/A/.hidden", "x");
    EXPECT_EQ(T().FindFilesAPI(root, ".*"), root + "/A/");  // no match here: the search goes on below
    EXPECT_EQ(T().FindFilesAPI(dir.path() + "missing", "*"), "");
    T().AppCancel(true);
    EXPECT_EQ(T().FindFilesAPI(root, "*.bas"), "");
    T().AppCancel(false);
}

TEST(Search, FindFilesApiDoesNotFollowFolderLinks) {
    TempDir dir;
    const std::string root = dir.path() + "root/";
    testsupport::MakeFolders(root + "a");
    std::filesystem::create_directory_symlink(root, root + "a/loop");
    std::filesystem::create_directory_symlink(dir.path() + "outside", root + "link");
    WriteBytes(dir.path() + "outside/found.txt", "x");
    EXPECT_EQ(T().FindFilesAPI(root, "found.txt"), "");
    EXPECT_EQ(T().FindFilesAPI(root, "loop"), root + "a/");  // the link itself is an entry
}

TEST(Paths, LongShortAbsoluteAndNetworkNames) {
    TempDir dir;
    WriteBytes(dir.path() + "Dir/File.txt", "x");
    EXPECT_EQ(T().GetLongName(dir.path() + "dir/../DIR/file.TXT"), dir.path() + "Dir/File.txt");
    EXPECT_EQ(T().GetLongName(dir.path() + "DIR/missing/x"), dir.path() + "Dir/missing/x");
    EXPECT_EQ(T().GetLongName(dir.path() + "dir/"), dir.path() + "Dir/");
    EXPECT_EQ(T().GetLongName(""), "");

    const std::pair<const char*, const char*> absolute[] = {
        {"a/b/../c", "a/c"}, {"/x/./y/", "/x/y/"}, {"/x/../..", "/"}, {"", ""}};
    for (const auto& [in, out] : absolute) EXPECT_EQ(T().GetAbsolutePath(in), out) << in;

    EXPECT_EQ(T().GetShortName(dir.path() + "Dir/File.txt"), dir.path() + "Dir/File.txt");
    EXPECT_EQ(T().GetShortName(dir.path() + "nothing"), "");

    std::string unc = "unchanged";
    EXPECT_EQ(T().GetUNCPath("Z:", unc), 50);
    EXPECT_EQ(unc, "unchanged");
    EXPECT_TRUE(T().GetNetworkDrives().empty());
    tovcore::clsVersionInfo v;
    v.FullFileName = dir.path() + "Dir/File.txt";
    v.FileVer = "kept";
    T().GetDisplayVerInfo(v);
    EXPECT_EQ(v.FileVer, "kept");
}

TEST(Characters, IsAscii) {
    const std::pair<int, bool> rows[] = {{' ', false}, {'[', true}, {']', true}, {'"', true}, {'\\', true},
                                         {'a', true},  {'Z', true}, {'0', true}, {'\t', false}, {0, false},
                                         {0xE9, false}, {0x7F, false}};
    for (const auto& [c, ascii] : rows) EXPECT_EQ(T().IsAscii(static_cast<std::uint8_t>(c)), ascii) << c;
}

TEST(Times, SecondsAsHoursMinutesSeconds) {
    const std::pair<int, const char*> rows[] = {
        {0, "00:00:00"}, {59, "00:00:59"}, {3661, "01:01:01"}, {86399, "23:59:59"}, {90000, "25:00:00"}, {-5, "00:00:00"}};
    for (const auto& [s, text] : rows) EXPECT_EQ(T().ConvertSecondsToHHMMSS(s), text) << s;
}

TEST(Times, StampsAndElapsedTime) {
    libtest::OnFreshThread([] {
        libtest::UseUtcAndFixedClock();
        EXPECT_EQ(T().StartTime(), libtest::kFixedTimeText);
        EXPECT_EQ(T().StopTime(), libtest::kFixedTimeText);
        EXPECT_EQ(T().GetElapsedTime("2024-03-05 23:59:50", "2024-03-06 00:01:00"), "00:01:10");
        EXPECT_EQ(T().GetElapsedTime(" 2024-03-05 10:00:00 ", "2024-03-05 12:30:05"), "02:30:05");
        EXPECT_EQ(T().GetElapsedTime("yesterday", "2024-03-06 00:01:00"), "");
    });
}

TEST(Times, WaitsReturn) {
    const auto start = std::chrono::steady_clock::now();
    T().WaitSeconds(0);
    T().WaitSeconds(-3);
    T().WaitRandomTime();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(Processes, ShellAndWaitRunsWithoutAShellAndWaits) {
    TempDir dir;
    const std::string out = dir.path() + "out file";
    T().ShellAndWait("sh -c \"sleep 0.2; echo done > '" + out + "'\"", 1);
    EXPECT_EQ(testsupport::ReadBytes(out), "done\n");
    EXPECT_EQ(tovcore::detail::SplitCommandLine("a \"b c\"  d\"e f\""),
              (std::vector<std::string>{"a", "b c", "de f"}));
}

TEST(Processes, ShellAndWaitReportsAFailedStartOnStandardErrorInAConsoleProgram) {
    libtest::OnFreshThread([] {
        ::testing::internal::CaptureStderr();
        T().ShellAndWait("/no/such/program arg", 1);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "Error: Error starting task /no/such/program arg\nNo such file or directory\n");
    });
}

TEST(FileTimes, SetAndGetTheTimesOfAFile) {
    TempDir dir;
    const std::string file = dir.path() + "f.txt";
    WriteBytes(file, "x");
    tovcore::FileDateTimeInfo info = T().GetFileDateTime(file);
    EXPECT_NE(info.wtime.dwHighDateTime, 0u);
    // 2001-02-03 04:05:06 UTC in 100 ns since 1601.
    const std::uint64_t ticks = (981173106ULL * 10000000ULL) + 116444736000000000ULL;
    tovcore::FileDateTimeInfo set;
    set.wtime = {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    set.atime = set.wtime;
    T().SetFileDateTime(file, set);
    const tovcore::FileDateTimeInfo back = T().GetFileDateTime(file);
    EXPECT_EQ(back.wtime.dwLowDateTime, set.wtime.dwLowDateTime);
    EXPECT_EQ(back.wtime.dwHighDateTime, set.wtime.dwHighDateTime);
    EXPECT_EQ(back.atime.dwHighDateTime, set.atime.dwHighDateTime);

    const tovcore::FileDateTimeInfo none = T().GetFileDateTime(dir.path() + "missing");
    EXPECT_EQ(none.wtime.dwHighDateTime, 0u);
    T().SetFileDateTime(dir.path() + "missing", set);
    EXPECT_FALSE(PathExists(dir.path() + "missing"));
}

}  // namespace
