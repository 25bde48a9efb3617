// Run, debug, error and trace logs, with a fixed clock.
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <tovcore/clsTovcore.h>

#include "tests/library/library_test_util.h"
#include "tests/support/testsupport.h"

namespace {

using libtest::kFixedTimeText;
using libtest::OnFreshThread;
using libtest::TestApp;
using testsupport::PathExists;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

const std::string kNow = kFixedTimeText;
const std::string kHeader = "Acme - Test Program - Version 2.3  Build 45  Freeware - " + kNow + "\r\n\r\n\r\n";
const std::string kTraceHeader = "Acme - Test Program - Version 2.3.45 - Trace  - " + kNow + "\r\n\r\n\r\n";

class Logs : public ::testing::Test {
protected:
    void SetUp() override { env.Set("XDG_DATA_HOME", dir.path() + "data"); }
    std::string Folder() const { return dir.path() + "data/Acme/Tester/"; }
    std::string Settings() const { return Folder() + "Tester.ini"; }
    std::string LogFolder() const { return Folder() + "Log/"; }
    std::string TracePath() const { return Folder() + "Quillet Log/Tester_Trace.log"; }
    // Runs `body` on a fresh library state, set up for the test program with the given settings
    // file (none when empty).
    void Run(const std::string& settings, const std::function<void(tovcore::clsTovcore&)>& body) {
        if (!settings.empty()) WriteBytes(Settings(), settings);
        OnFreshThread([&] {
            libtest::UseUtcAndFixedClock();
            tovcore::clsTovcore& t = tovcore::Global();
            t.InitializeDll(TestApp(), tovcore::Freeware);
            body(t);
        });
    }

    testsupport::TempDir dir;
    libtest::EnvGuard env;
};

// A command that holds the logs open: its lines are all there once it lets them go, in order, and
// a log started again meanwhile gets only what follows; holds nest.
TEST_F(Logs, HeldOpenDuringACommand) {
    Run("", [&](tovcore::clsTovcore& t) {
        const std::string path = t.InitLog();
        t.HoldLogsOpen(true);
        t.HoldLogsOpen(true);
        for (int i = 0; i < 20000; ++i) t.WriteLog("line " + std::to_string(i));
        t.HoldLogsOpen(false);
        t.WriteLog("still held");
        t.HoldLogsOpen(false);
        std::string expected = kHeader;
        for (int i = 0; i < 20000; ++i) expected += kNow + " - line " + std::to_string(i) + "\r\n";
        expected += kNow + " - still held\r\n";
        EXPECT_EQ(ReadBytes(path), expected);

        t.HoldLogsOpen(true);
        t.WriteLog("before the restart");
        EXPECT_EQ(t.InitLog(), path);  // started afresh: what was held before belongs to the old file
        t.WriteLog("after the restart");
        t.HoldLogsOpen(false);
        t.WriteLog("not held");
        EXPECT_EQ(ReadBytes(path), kHeader + kNow + " - after the restart\r\n" + kNow + " - not held\r\n");
    });
}

// While the logs are held, the run log's lines wait in memory, but every error and debug line is
// in its file as soon as it is written: a crash in the middle of the command loses none of them.
TEST_F(Logs, ErrorAndDebugLinesReachTheirFilesAtOnceWhileHeld) {
    Run("", [&](tovcore::clsTovcore& t) {
        const std::string run = t.InitLog();
        const std::string error = t.InitErrorLog();
        const std::string debug = t.InitDebugLog();
        t.HoldLogsOpen(true);
        t.WriteLog("a run line");
        t.WriteErrorLog("first error");
        t.WriteDebugLog("a debug line");
        t.WriteErrorLog("second error");
        EXPECT_EQ(ReadBytes(error), kHeader + kNow + " - first error\r\n" + kNow + " - second error\r\n");
        EXPECT_EQ(ReadBytes(debug), kHeader + kNow + " - a debug line\r\n");
        EXPECT_EQ(ReadBytes(run), kHeader);  // gathered: the run log keeps its speed
        t.HoldLogsOpen(false);
        EXPECT_EQ(ReadBytes(run), kHeader + kNow + " - a run line\r\n");
        EXPECT_EQ(ReadBytes(error), kHeader + kNow + " - first error\r\n" + kNow + " - second error\r\n");
    });
}

// A settings write that cannot happen is said in the error log, once for the file until a write of
// it works again.
TEST_F(Logs, AnIniWriteThatFailsIsSaidOnceInTheErrorLog) {
    namespace fs = std::filesystem;
    Run("", [&](tovcore::clsTovcore& t) {
        const std::string error = t.InitErrorLog();
        const std::string folder = dir.path() + "locked/";
        const std::string file = folder + "Other.ini";
        WriteBytes(file, "[S]\r\nk=1\r\n");
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(t.WriteIniString("S", "k", "2", file));
        EXPECT_FALSE(t.WriteIniString("S", "k", "3", file));
        const std::string said =
            kNow + " - INI file not written: " + file + " - its folder " + folder + " may not be written\r\n";
        EXPECT_EQ(ReadBytes(error), kHeader + said);
        fs::permissions(folder, fs::perms::owner_all);
        EXPECT_TRUE(t.WriteIniString("S", "k", "4", file));
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(t.WriteIniString("S", "k", "5", file));
        EXPECT_EQ(ReadBytes(error), kHeader + said + said);
        fs::permissions(folder, fs::perms::owner_all);
    });
}

TEST_F(Logs, HeaderAndLinesOfEachLog) {
    struct Row {
        std::string (tovcore::clsTovcore::*init)(const std::string&);
        void (tovcore::clsTovcore::*write)(const std::string&);
        const char* file;
    };
    const Row rows[] = {
        {&tovcore::clsTovcore::InitLog, &tovcore::clsTovcore::WriteLog, "Tester.log"},
        {&tovcore::clsTovcore::InitDebugLog, &tovcore::clsTovcore::WriteDebugLog, "Tester.dbg"},
        {&tovcore::clsTovcore::InitErrorLog, &tovcore::clsTovcore::WriteErrorLog, "Tester.err"},
    };
    Run("", [&](tovcore::clsTovcore& t) {
        for (const Row& r : rows) {
            const std::string path = LogFolder() + r.file;
            EXPECT_EQ(ReadBytes(path), kHeader) << r.file;  // started by the set-up
            (t.*r.write)("first");
            (t.*r.write)("second");
            EXPECT_EQ(ReadBytes(path), kHeader + kNow + " - first\r\n" + kNow + " - second\r\n");
            // Starting it again gives an empty log with a new header.
            EXPECT_EQ((t.*r.init)(""), path);
            EXPECT_EQ(ReadBytes(path), kHeader);
        }
    });
}

TEST_F(Logs, SwitchIsTheWordTrueInAnyCase) {
    struct Row {
        const char* value;
        bool on;
    };
    const Row rows[] = {{"True", true}, {"TRUE", true}, {"true", true}, {"", true},
                        {"False", false}, {"Yes", false}, {"True1", false}};
    for (const Row& r : rows) {
        testsupport::RemoveTree(Folder());
        Run("[Tester]\r\nLog=" + std::string(r.value) + "\r\n", [&](tovcore::clsTovcore& t) {
            const std::string path = t.InitLog("");
            EXPECT_EQ(path.empty(), !r.on) << r.value;
            t.WriteLog("line");
            EXPECT_EQ(PathExists(LogFolder() + "Tester.log"), r.on) << r.value;
        });
    }
}

TEST_F(Logs, AbsoluteNamesAreKeptBareNamesGoToTheLogFolder) {
    Run("", [&](tovcore::clsTovcore& t) {
        EXPECT_EQ(t.InitLog("Run.txt"), LogFolder() + "Run.txt");
        const std::string full = dir.path() + "elsewhere.log";
        EXPECT_EQ(t.InitLog(full), full);
        t.WriteLog("x");
        EXPECT_EQ(ReadBytes(full), kHeader + kNow + " - x\r\n");
        // The tool window hands back the full path it received.
        const std::string again = t.InitDebugLog("");
        EXPECT_EQ(t.InitDebugLog(again), again);
    });
}

TEST_F(Logs, LogThatCannotBeStartedIsOffAndDropsLines) {
    Run("", [&](tovcore::clsTovcore& t) {
        const std::string bad = dir.path() + "missing/folder/x.log";
        EXPECT_EQ(t.InitErrorLog(bad), "");
        t.WriteErrorLog("dropped");
        EXPECT_FALSE(PathExists(bad));
        // A log whose file went away drops its lines without a fault.
        const std::string path = t.InitLog("");
        testsupport::RemoveTree(LogFolder());
        testsupport::MakeFolders(path);  // a folder where the file should be
        t.WriteLog("dropped");
        EXPECT_TRUE(t.InitErrorLog("").size() > 0);
    });
}

TEST_F(Logs, NothingIsWrittenBeforeTheSetUpAndAppErrorLogNever) {
    OnFreshThread([&] {
        tovcore::clsTovcore& t = tovcore::Global();
        EXPECT_EQ(t.InitLog(""), "");
        t.WriteLog("x");
        t.WriteTraceLog("A", 1);
        t.InitializeDll(TestApp(), 5);
        t.WriteAppErrorLog("x");
    });
    EXPECT_FALSE(PathExists(dir.path() + "data/Log"));
    EXPECT_FALSE(PathExists(LogFolder() + "Tester.app"));
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(LogFolder())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 3);
}

TEST_F(Logs, TraceIndentsByNesting) {
    struct Step {
        const char* name;
        std::int16_t type;
    };
    struct Row {
        const char* title;
        std::vector<Step> steps;
        std::string lines;
    };
    const std::vector<Row> rows = {
        {"nested",
         {{"A", 1}, {"B", 1}, {"B", 2}, {"A", 2}},
         "\r\n\tStart A\r\n\r\n\t\tStart B\r\n\t\tEnd B\r\n\tEnd A\r\n"},
        {"recursion",
         {{"A", 1}, {"A", 1}, {"A", 2}, {"A", 2}},
         "\r\n\tStart A\r\n\r\n\t\tStart A\r\n\t\tEnd A\r\n\tEnd A\r\n"},
        {"end without start keeps the level",
         {{"A", 1}, {"X", 2}, {"B", 1}},
         "\r\n\tStart A\r\n\t\tEnd X\r\n\r\n\t\tStart B\r\n"},
        {"names ignore case", {{"Alpha", 1}, {"ALPHA", 2}, {"B", 1}}, "\r\n\tStart Alpha\r\n\tEnd ALPHA\r\n\r\n\tStart B\r\n"},
        {"restarted deeper ends deeper",
         {{"X", 1}, {"A", 1}, {"A", 2}, {"B", 1}, {"A", 1}, {"A", 2}},
         "\r\n\tStart X\r\n\r\n\t\tStart A\r\n\t\tEnd A\r\n\r\n\t\tStart B\r\n\r\n\t\t\tStart A\r\n\t\t\tEnd A\r\n"},
        {"an end closes the starts that never ended inside it",
         {{"A", 1}, {"B", 1}, {"A", 2}, {"C", 1}},
         "\r\n\tStart A\r\n\r\n\t\tStart B\r\n\tEnd A\r\n\r\n\tStart C\r\n"},
        {"other kinds write tabs only", {{"A", 1}, {"A", 3}}, "\r\n\tStart A\r\n\t\t\r\n"},
    };
    for (const Row& r : rows) {
        Run("", [&](tovcore::clsTovcore& t) {
            EXPECT_EQ(ReadBytes(TracePath()), kTraceHeader);
            for (const Step& s : r.steps) t.WriteTraceLog(s.name, s.type);
            EXPECT_EQ(ReadBytes(TracePath()), kTraceHeader + r.lines) << r.title;
        });
    }
}

TEST_F(Logs, TraceHasNoSixteenBitLimit) {
    Run("", [&](tovcore::clsTovcore& t) {
        for (int i = 0; i < 33000; ++i) {
            t.WriteTraceLog("P", 1);
            t.WriteTraceLog("P", 2);
        }
        t.InitTraceLog(TestApp());  // starts the trace afresh
        t.WriteTraceLog("Q", 1);
        EXPECT_EQ(ReadBytes(TracePath()), kTraceHeader + "\r\n\tStart Q\r\n");
    });
}

TEST_F(Logs, TraceSwitchedOffWritesNothing) {
    Run("[Tester]\r\nTrace=False\r\n", [&](tovcore::clsTovcore& t) {
        t.WriteTraceLog("A", 1);
        EXPECT_FALSE(PathExists(TracePath()));
    });
}

TEST_F(Logs, TracedProgramSetsUpTheLibraryThroughInitTraceLog) {
    OnFreshThread([&] {
        libtest::UseUtcAndFixedClock();
        tovcore::clsTovcore& t = tovcore::Global();
        t.InitTraceLog(TestApp());
        EXPECT_EQ(t.VersionType(), tovcore::Release);
        t.WriteTraceLog("Main", 1);
    });
    const std::string header = "Acme - Test Program - Version 2.3.45 - Trace  - " + kNow + "\r\n\r\n\r\n";
    EXPECT_EQ(ReadBytes(TracePath()), header + "\r\n\tStart Main\r\n");
    EXPECT_EQ(ReadBytes(LogFolder() + "Tester.log"),
              "Acme - Test Program - Version 2.3  Build 45 - " + kNow + "\r\n\r\n\r\n");
}

}  // namespace
