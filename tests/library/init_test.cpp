// The one-time set-up per thread, the version text and the per-thread state shared by instances.
#include <string>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <tovcore/clsTovcore.h>

#include "library/src/modInit.h"
#include "tests/library/library_test_util.h"
#include "tests/support/testsupport.h"

namespace {

using libtest::OnFreshThread;
using libtest::TestApp;
using testsupport::PathExists;
using testsupport::ReadBytes;
using tovcore::detail::State;

class LibrarySetUp : public ::testing::Test {
protected:
    void SetUp() override { env.Set("XDG_DATA_HOME", dir.path() + "data"); }
    std::string DataFolder() const { return dir.path() + "data/Acme/Tester/"; }

    testsupport::TempDir dir;
    libtest::EnvGuard env;
};

TEST_F(LibrarySetUp, FirstCallSetsUpLaterCallsReturnTheFirstPath) {
    OnFreshThread([&] {
        tovcore::clsTovcore& t = tovcore::Global();
        const std::string path = t.InitializeDll(TestApp(), tovcore::Freeware);
        EXPECT_EQ(path, DataFolder() + "Tester.ini");
        EXPECT_TRUE(testsupport::PathExists(DataFolder()));
        // The settings file holds the switches the set-up read, each defaulted to True.
        EXPECT_EQ(ReadBytes(path), "\r\n[Tester]\r\n\r\nLog=True\r\nDebug=True\r\nError=True\r\nTrace=True\r\n");
        for (const char* log : {"Log/Tester.log", "Log/Tester.dbg", "Log/Tester.err", "Quillet Log/Tester_Trace.log"})
            EXPECT_TRUE(PathExists(DataFolder() + log)) << log;

        tovcore::AppObject other = TestApp();
        other.EXEName = "Other";
        other.CompanyName = "Elsewhere";
        tovcore::clsTovcore second;
        EXPECT_EQ(second.InitializeDll(other, tovcore::Demo), path);
        EXPECT_EQ(second.VersionType(), tovcore::Freeware);
        EXPECT_EQ(State().client.exeName, "Tester");
        EXPECT_EQ(t.GetVersion(), "Version 2.3  Build 45  Freeware");
        EXPECT_FALSE(PathExists(dir.path() + "data/Elsewhere"));
    });
}

TEST_F(LibrarySetUp, EachThreadHasItsOwnState) {
    std::string first, second;
    OnFreshThread([&] { first = tovcore::Global().InitializeDll(TestApp(), 5); });
    OnFreshThread([&] {
        EXPECT_FALSE(State().client.initDone);
        tovcore::AppObject other = TestApp();
        other.EXEName = "Other";
        second = tovcore::Global().InitializeDll(other, 5);
    });
    EXPECT_EQ(first, DataFolder() + "Tester.ini");
    EXPECT_EQ(second, dir.path() + "data/Acme/Other/Other.ini");
}

TEST_F(LibrarySetUp, EditionZeroBecomesReleaseAndSkinStartsAtItsColours) {
    OnFreshThread([&] {
        tovcore::clsTovcore& t = tovcore::Global();
        t.InitializeDll(TestApp(), 0);
        EXPECT_EQ(t.VersionType(), tovcore::Release);
        EXPECT_EQ(t.GetVersion(), "Version 2.3  Build 45");
        const auto& skin = State().skin;
        EXPECT_EQ(skin.ButtonTabColor, 0x804000);
        EXPECT_EQ(skin.ButtonTabTextColor, 0xFFFFFF);
        EXPECT_EQ(skin.ButtonTabColorGradient, 0xC0C0C0);
        EXPECT_EQ(skin.BackGroundColor, 0xC08000);
    });
}

TEST_F(LibrarySetUp, ASetUpThatCannotReachItsFilesFailsAndIsTriedAgain) {
    enum class Blocker { File, Folder, Fifo };
    struct Case {
        const char* what;
        std::string blocker;  // made where the set-up needs something else
        Blocker kind;
        const char* said;
    } cases[] = {
        {"a file where the data folder goes", dir.path() + "data/Acme", Blocker::File, "the data folder"},
        {"a folder where the settings file goes", DataFolder() + "Tester.ini", Blocker::Folder, "the settings file"},
        // Nothing reads the pipe: a probe that waited for a reader would never return.
        {"a pipe where the settings file goes", DataFolder() + "Tester.ini", Blocker::Fifo, "the settings file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.kind == Blocker::Folder) {
            testsupport::MakeFolders(c.blocker + "/inner");
        } else if (c.kind == Blocker::Fifo) {
            testsupport::MakeFolders(DataFolder());
            ASSERT_EQ(::mkfifo(c.blocker.c_str(), 0600), 0);
        } else {
            testsupport::WriteBytes(c.blocker, "not a folder");
        }
        OnFreshThread([&] {
            tovcore::clsTovcore& t = tovcore::Global();
            ::testing::internal::CaptureStderr();
            EXPECT_EQ(t.InitializeDll(TestApp(), tovcore::Freeware), "");
            const std::string said = ::testing::internal::GetCapturedStderr();
            EXPECT_NE(said.find(c.said), std::string::npos) << said;
            EXPECT_FALSE(State().client.initDone);
            EXPECT_FALSE(State().logs.error.on);
            EXPECT_FALSE(PathExists(DataFolder() + "Log"));

            testsupport::RemoveTree(c.blocker);
            EXPECT_EQ(t.InitializeDll(TestApp(), tovcore::Freeware), DataFolder() + "Tester.ini");
            EXPECT_TRUE(State().client.initDone);
            EXPECT_TRUE(PathExists(DataFolder() + "Log/Tester.err"));
        });
        testsupport::RemoveTree(dir.path() + "data");
    }
}

TEST(LibraryVersion, TextAndTypeStringByEdition) {
    struct Row {
        std::int16_t type;
        const char* text;
        const char* typeString;
    };
    const Row rows[] = {
        {1, "Version 2.3  Build 45  Beta", "Beta"},       {2, "Version 2.3  Build 45  Demo", "Demo"},
        {3, "Version 2.3  Build 45", "Release"},          {4, "Version 2.3  Build 45  Trial", "Release"},
        {5, "Version 2.3  Build 45  Freeware", "Release"}, {6, "Version 2.3  Build 45  Shareware", "Release"},
        {9, "Version 2.3  Build 45", "Release"},  // unknown: the type string stays as it was
    };
    OnFreshThread([&] {
        tovcore::clsTovcore& t = tovcore::Global();
        State().client.app = TestApp();
        EXPECT_EQ(t.VersionTypeString(), "");  // before any GetVersion
        t.VersionType(6);
        t.GetVersion();
        for (const Row& r : rows) {
            t.VersionType(r.type);
            EXPECT_EQ(t.GetVersion(), r.text) << r.type;
            EXPECT_EQ(t.VersionTypeString(), r.typeString) << r.type;
        }
    });
}

TEST(LibraryInstances, CreatingAnInstanceEmptiesTheSavedControlsDestroyingKeepsThem) {
    OnFreshThread([] {
        tovcore::Global();
        State().savedControls.snapshots["frmMain"] = {{nullptr, true}, {nullptr, false}};
        {
            tovcore::clsTovcore second;
            EXPECT_TRUE(State().savedControls.snapshots.empty());
            State().savedControls.snapshots["FRMMAIN"] = {{nullptr, false}};
            EXPECT_EQ(State().savedControls.snapshots.count("frmmain"), 1u);  // keys ignore case
        }
        EXPECT_EQ(State().savedControls.snapshots.size(), 1u);
        EXPECT_EQ(&tovcore::Global(), &tovcore::Global());
    });
}

TEST(LibraryInstances, InstancesShareTheThreadsState) {
    OnFreshThread([] {
        tovcore::clsTovcore a, b;
        a.AppCancel(true);
        EXPECT_TRUE(b.AppCancel());
        b.VersionType(4);
        EXPECT_EQ(tovcore::Global().VersionType(), 4);
    });
}

}  // namespace
