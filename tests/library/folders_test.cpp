// Special folders under set and unset XDG variables, folder chains, system information.
#include <filesystem>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/utsname.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <tovcore/clsTovcore.h>

#include "library/src/LibraryState.h"
#include "tests/library/library_test_util.h"
#include "tests/support/testsupport.h"

namespace {

using libtest::OnFreshThread;
using testsupport::PathExists;
using tovcore::clsSpecialFolders;

clsSpecialFolders FoldersFor(const std::string& company, const std::string& exe) {
    clsSpecialFolders f;
    OnFreshThread([&] {
        tovcore::detail::State().client.app.CompanyName = company;
        tovcore::detail::State().client.exeName = exe;
        f = tovcore::Global().GetSpecialFolders();
    });
    return f;
}

std::string PasswdHome() {
    passwd* pw = ::getpwuid(::geteuid());
    std::string h = pw && pw->pw_dir ? pw->pw_dir : "/";
    if (h.back() != '/') h += '/';
    return h;
}

TEST(SpecialFolders, FromSetVariables) {
    libtest::EnvGuard env;
    env.Set("HOME", "/h/me");
    env.Set("XDG_DATA_HOME", "/x/data");
    env.Set("XDG_CONFIG_HOME", "/x/config/");
    env.Set("TMPDIR", "/x/tmp");
    env.Set("XDG_DATA_DIRS", "relative/share:/x/shared:/usr/share");
    const clsSpecialFolders f = FoldersFor("Acme", "Tester");
    EXPECT_EQ(f.ApplicationDataFolderLocalReg, "/x/data/");
    EXPECT_EQ(f.ApplicationDataFolderLocal, "/x/data/Acme/Tester/");
    EXPECT_EQ(f.ApplicationDataFolderRoamingReg, "/x/config/");
    EXPECT_EQ(f.ApplicationDataFolderRoaming, "/x/config/Acme/Tester/");
    EXPECT_EQ(f.UserProfileFolder, "/h/me/");
    EXPECT_EQ(f.UserProfileTempFolder, "/x/tmp/");
    EXPECT_EQ(f.AllUsersAppDataFolder, "/x/shared/");
    EXPECT_EQ(f.WindowsFolder, "");
    EXPECT_EQ(f.WindowsSystemFolder, "");
    EXPECT_EQ(f.SystemDrive, "");
    EXPECT_FALSE(f.UsingAppData);
    ASSERT_FALSE(f.ProgramFilesFolder.empty());
    EXPECT_EQ(f.ProgramFilesFolder.front(), '/');
    EXPECT_EQ(f.CommonFilesFolder, f.ProgramFilesFolder + "share/");
}

TEST(SpecialFolders, UnsetOrRelativeVariablesTakeTheDefaults) {
    struct Row {
        const char* title;
        std::optional<std::string> value;
    };
    const Row rows[] = {{"unset", std::nullopt}, {"relative", std::string("rel/dir")}, {"empty", std::string("")}};
    for (const Row& r : rows) {
        libtest::EnvGuard env;
        env.Set("HOME", "/h/me/");
        env.Set("XDG_DATA_HOME", r.value);
        env.Set("XDG_CONFIG_HOME", r.value);
        env.Set("TMPDIR", r.value);
        env.Set("XDG_DATA_DIRS", r.value);
        const clsSpecialFolders f = FoldersFor("Acme", "Tester");
        EXPECT_EQ(f.ApplicationDataFolderLocal, "/h/me/.local/share/Acme/Tester/") << r.title;
        EXPECT_EQ(f.ApplicationDataFolderRoaming, "/h/me/.config/Acme/Tester/") << r.title;
        EXPECT_EQ(f.UserProfileTempFolder, "/tmp/") << r.title;
        EXPECT_EQ(f.AllUsersAppDataFolder, "/usr/local/share/") << r.title;
    }
}

TEST(SpecialFolders, HomeThatIsMissingOrRelativeFallsBackToTheUserDatabase) {
    for (const std::optional<std::string>& home : {std::optional<std::string>(), std::optional<std::string>("here")}) {
        libtest::EnvGuard env;
        env.Set("HOME", home);
        env.Set("XDG_DATA_HOME", std::nullopt);
        const clsSpecialFolders f = FoldersFor("Acme", "Tester");
        EXPECT_EQ(f.UserProfileFolder, PasswdHome());
        EXPECT_EQ(f.ApplicationDataFolderLocal, PasswdHome() + ".local/share/Acme/Tester/");
    }
}

TEST(SpecialFolders, EmptyCompanyGivesADoubledSeparatorAndNoFileIsMade) {
    testsupport::TempDir tmp;
    libtest::EnvGuard env;
    env.Set("TMPDIR", tmp.path());
    env.Set("XDG_DATA_HOME", "/x/data");
    const clsSpecialFolders f = FoldersFor("", "Tester");
    EXPECT_EQ(f.ApplicationDataFolderLocal, "/x/data//Tester/");
    EXPECT_EQ(f.UserProfileTempFolder, tmp.path());
    EXPECT_TRUE(std::filesystem::is_empty(tmp.path()));
}

TEST(Folders, CreateFoldersBuildsTheWholeChain) {
    testsupport::TempDir dir;
    tovcore::clsTovcore& t = tovcore::Global();
    t.CreateFolders(dir.path() + "a//b/c");
    EXPECT_TRUE(testsupport::PathExists(dir.path() + "a/b/c"));
    t.CreateFolders(dir.path() + "a/b/c/");  // existing: nothing happens
    testsupport::WriteBytes(dir.path() + "file", "x");
    t.CreateFolders(dir.path() + "file/sub/");  // a file in the way: ignored
    EXPECT_FALSE(PathExists(dir.path() + "file/sub"));
    t.CreateFolders("");
}

TEST(SystemInformation, TerminatorOsVersionAndAdmin) {
    tovcore::clsTovcore& t = tovcore::Global();
    EXPECT_EQ(t.StripTerminator("abc"), "abc");
    EXPECT_EQ(t.StripTerminator(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(t.StripTerminator(std::string("\0x", 2)), "");

    utsname u{};
    ASSERT_EQ(::uname(&u), 0);
    const std::string os = t.GetOSVersion();
    EXPECT_EQ(os.rfind(std::string(u.sysname) + " ", 0), 0u) << os;
    EXPECT_NE(os.find(" build "), std::string::npos) << os;
    EXPECT_TRUE(os.size() > 2 && os.substr(os.size() - std::string(u.release).size() - 2) ==
                                     "(" + std::string(u.release) + ")")
        << os;
    EXPECT_EQ(t.IsAdmin(), ::geteuid() == 0);
}

}  // namespace
