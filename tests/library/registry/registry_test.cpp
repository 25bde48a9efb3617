// The registry store and routines: round trips of every value type through the hive files, keys
// and names without regard to case, refused writes, empty key names, corrupt hives, and two
// processes writing at once.
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include <tovcore/clsTovcore.h>
#include <tovcore/registry.h>

#include "library/registry/modRegistry.h"
#include "library/src/LibraryState.h"
#include "tests/library/library_test_util.h"
#include "tests/support/testsupport.h"

namespace {

using namespace tovcore;
namespace reg = tovcore::registry;
using detail::State;

clsTovcore& T() { return Global(); }

std::string S(const Variant& v) { return std::get<std::string>(v); }
std::int32_t N(const Variant& v) { return std::get<std::int32_t>(v); }

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        env.Set("XDG_CONFIG_HOME", dir.path() + "config");
        env.Set("TOVCORE_MACHINE_REGISTRY", dir.path() + "machine");
        State().registry.isAdmin = [this] { return admin; };
    }
    void TearDown() override { State().registry.isAdmin = nullptr; }

    // An open key of HKEY_CURRENT_USER, created.
    std::int32_t UserKey(const std::string& path) {
        std::int32_t key = 0;
        EXPECT_EQ(reg::CreateKey(HKEY_CURRENT_USER, path, key), reg::ERROR_SUCCESS);
        return key;
    }
    std::string UserHive() const { return dir.path() + "config/Tovcore/Registry/HKEY_CURRENT_USER.hive"; }

    testsupport::TempDir dir;
    libtest::EnvGuard env;
    bool admin = true;
};

TEST_F(Registry, HivesLiveInTheConfigurationFolderMachineHivesWhereTheVariableSays) {
    EXPECT_EQ(reg::HiveFile(HKEY_CURRENT_USER), UserHive());
    EXPECT_EQ(reg::HiveFile(HKEY_LOCAL_MACHINE), dir.path() + "machine/HKEY_LOCAL_MACHINE.hive");
    EXPECT_EQ(reg::HiveFile(HKEY_CLASSES_ROOT), dir.path() + "machine/HKEY_CLASSES_ROOT.hive");
    env.Set("TOVCORE_MACHINE_REGISTRY", std::nullopt);
    EXPECT_EQ(reg::HiveFile(HKEY_USERS), dir.path() + "config/Tovcore/Registry/HKEY_USERS.hive");
    EXPECT_EQ(reg::HiveFile(0x80000005), "");
    EXPECT_TRUE(reg::IsMachineHive(HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(reg::IsMachineHive(HKEY_CURRENT_USER));
}

TEST_F(Registry, EveryValueTypeRoundTripsThroughTheFile) {
    ASSERT_TRUE(T().CreateNewKey(HKEY_CURRENT_USER, "Software\\Tovell\\Quillet"));
    const std::int32_t key = UserKey("Software\\Tovell\\Quillet");
    EXPECT_EQ(T().SetValueEx(key, "Text", REG_SZ, std::string("abc")), 0);
    EXPECT_EQ(T().SetValueEx(key, "Bytes", REG_BINARY, std::vector<std::uint8_t>{0, 1, 0xFF}), 0);
    EXPECT_EQ(T().SetValueEx(key, "Number", REG_DWORD, std::int32_t{-2}), 0);
    EXPECT_EQ(T().SetValueEx(key, "NumberText", REG_DWORD, std::string("1234")), 0);
    // Types this routine does not write go to the store directly, with their raw bytes.
    env.Set("QUILLET_TEST_FOLDER", "/data");
    EXPECT_EQ(reg::SetValue(key, "Expand", REG_EXPAND_SZ, std::string("%QUILLET_TEST_FOLDER%/x\0", 24)), 0);
    EXPECT_EQ(reg::SetValue(key, "BigEndian", REG_DWORD_BIG_ENDIAN, "\x12\x34\x56\x78"), 0);
    EXPECT_EQ(reg::SetValue(key, "Multi", REG_MULTI_SZ, std::string("a\0bc\0\0", 6)), 0);
    EXPECT_EQ(reg::SetValue(key, "Raw", 11, std::string("\x01\x00\x02", 3)), 0);
    reg::CloseKey(key);

    // Read back on a fresh thread: nothing but the file carries the values.
    libtest::OnFreshThread([] {
        const std::string k = "Software\\Tovell\\Quillet";
        const Variant none = std::string("default");
        EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, k, std::string("Text"), none)), "abc");
        EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, k, std::string("Bytes"), none)), std::string("\0\1\xFF", 3));
        EXPECT_EQ(N(T().GetValue(HKEY_CURRENT_USER, k, std::string("Number"), none)), -2);
        EXPECT_EQ(N(T().GetValue(HKEY_CURRENT_USER, k, std::string("NumberText"), none)), 1234);
        EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, k, std::string("Expand"), none)), "/data/x");
        EXPECT_EQ(N(T().GetValue(HKEY_CURRENT_USER, k, std::string("BigEndian"), none)), 0x12345678);
        EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, k, std::string("Multi"), none)), std::string("a\0bc\0", 5));
        EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, k, std::string("Raw"), none)), std::string("\x01\x00\x02", 3));
        std::int32_t key = 0, type = 0;
        std::string data;
        ASSERT_EQ(reg::OpenKey(HKEY_CURRENT_USER, k, key), 0);
        EXPECT_EQ(reg::QueryValue(key, "Text", type, data), 0);
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(data, std::string("abc\0", 4));  // stored with its terminating NUL
        EXPECT_EQ(reg::QueryValue(key, "Raw", type, data), 0);
        EXPECT_EQ(type, 11);
        reg::CloseKey(key);
    });
    EXPECT_TRUE(testsupport::PathExists(UserHive()));
}

TEST_F(Registry, ReadsTakeTheStoredSizeExactly) {
    const std::int32_t key = UserKey("Software\\Sizes");
    reg::SetValue(key, "NoNul", REG_SZ, "abc");
    reg::SetValue(key, "Empty", REG_SZ, "");
    reg::SetValue(key, "EmptyBytes", REG_BINARY, "");
    reg::SetValue(key, "Bytes", REG_BINARY, "xyz");
    reg::SetValue(key, "Short", REG_DWORD, "\x05");
    const Variant none = std::int32_t{42};
    EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, "Software\\Sizes", std::string("NoNul"), none)), "abc");
    EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, "Software\\Sizes", std::string("Empty"), none)), "");
    EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, "Software\\Sizes", std::string("EmptyBytes"), none)), "");
    EXPECT_EQ(N(T().GetValue(HKEY_CURRENT_USER, "Software\\Sizes", std::string("Short"), none)), 5);
    EXPECT_EQ(S(T().RegQueryStringValue(key, "NoNul")), "abc");
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(T().RegQueryStringValue(key, "Bytes")),
              (std::vector<std::uint8_t>{'x', 'y', 'z'}));
    EXPECT_TRUE(std::get<std::vector<std::uint8_t>>(T().RegQueryStringValue(key, "EmptyBytes")).empty());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(T().RegQueryStringValue(key, "Short")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(T().RegQueryStringValue(key, "Missing")));
    // A missing value gives the default as it was given, a number too.
    EXPECT_EQ(N(T().GetValue(HKEY_CURRENT_USER, "Software\\Sizes", std::string("Missing"), none)), 42);
    EXPECT_EQ(N(T().GetValue(HKEY_CURRENT_USER, "Software\\Nothing", std::string("Missing"), none)), 42);
    reg::CloseKey(key);
}

TEST_F(Registry, StringRoutinesOnOpenKeys) {
    const std::int32_t key = UserKey("Software\\Strings");
    reg::SetValue(key, "Text", REG_SZ, std::string("abc\0junk", 8));
    reg::SetValue(key, "Bytes", REG_BINARY, "raw");
    EXPECT_EQ(S(T().RegQueryStringValue(key, "Text")), "abc");  // up to the first NUL
    EXPECT_EQ(T().GetString(HKEY_CURRENT_USER, "Software\\Strings", "Text"), "abc");
    EXPECT_EQ(T().GetString(HKEY_CURRENT_USER, "Software\\Strings", "Bytes"), "raw");
    EXPECT_EQ(T().GetString(key, "", "Text"), "abc");  // an open key with an empty path is that key
    EXPECT_EQ(T().GetString(HKEY_CURRENT_USER, "Software\\Missing", "Text"), "");
    reg::CloseKey(key);
    EXPECT_EQ(reg::CloseKey(key), reg::ERROR_INVALID_HANDLE);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(T().RegQueryStringValue(key, "Text")));
}

TEST_F(Registry, KeysAndNamesIgnoreCaseAndKeepTheirSpelling) {
    ASSERT_TRUE(T().CreateNewKey(HKEY_CURRENT_USER, "Software\\Tovell\\Quillet"));
    EXPECT_TRUE(T().KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\tovell\\QUILLET"));
    EXPECT_TRUE(T().CreateNewKey(HKEY_CURRENT_USER, "software\\TOVELL\\quillet\\Sub"));
    T().SetKeyValue(HKEY_CURRENT_USER, "SOFTWARE\\TOVELL\\QUILLET", "Name", std::string("one"), REG_SZ);
    T().SetKeyValue(HKEY_CURRENT_USER, "software\\tovell\\quillet", "NAME", std::string("two"), REG_SZ);
    EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, "Software\\Tovell\\Quillet", std::string("name"), std::string())),
              "two");
    const std::string file = testsupport::ReadBytes(UserHive());
    EXPECT_NE(file.find("K Software\\Tovell\\Quillet\n"), std::string::npos);
    EXPECT_NE(file.find("K Software\\Tovell\\Quillet\\Sub\n"), std::string::npos);
    EXPECT_NE(file.find("V Name 1 "), std::string::npos);
    EXPECT_EQ(file.find("QUILLET"), std::string::npos);
}

TEST_F(Registry, DeletingKeysAndValues) {
    ASSERT_TRUE(T().CreateNewKey(HKEY_CURRENT_USER, "Software\\A\\B"));
    T().SetKeyValue(HKEY_CURRENT_USER, "Software\\A", "V", std::int32_t{1}, REG_DWORD);
    EXPECT_FALSE(T().DeleteKey(HKEY_CURRENT_USER, "Software\\A"));  // it has a sub-key
    EXPECT_TRUE(T().DeleteValue(HKEY_CURRENT_USER, "software\\a", "v"));
    EXPECT_FALSE(T().DeleteValue(HKEY_CURRENT_USER, "Software\\A", "V"));
    EXPECT_TRUE(T().DeleteKey(HKEY_CURRENT_USER, "Software\\A\\B"));
    EXPECT_TRUE(T().DeleteKey(HKEY_CURRENT_USER, "Software\\A"));
    EXPECT_FALSE(T().KeyExists(HKEY_CURRENT_USER, "Software\\A"));
    EXPECT_FALSE(T().DeleteKey(HKEY_CURRENT_USER, "Software\\A"));
    // An open key whose key went away.
    const std::int32_t key = UserKey("Software\\Gone");
    ASSERT_TRUE(T().DeleteKey(HKEY_CURRENT_USER, "Software\\Gone"));
    EXPECT_EQ(reg::SetValue(key, "x", REG_SZ, "y"), reg::ERROR_KEY_DELETED);
    reg::CloseKey(key);
}

TEST_F(Registry, AnEmptyKeyNameNeverAddressesAWholeHive) {
    ASSERT_TRUE(T().CreateNewKey(HKEY_CURRENT_USER, "Software"));
    for (const std::string& name : {std::string(), std::string("\\"), std::string("\\\\")}) {
        EXPECT_FALSE(T().KeyExists(HKEY_CURRENT_USER, name));
        EXPECT_FALSE(T().CreateNewKey(HKEY_CURRENT_USER, name));
        EXPECT_FALSE(T().DeleteKey(HKEY_CURRENT_USER, name));
        EXPECT_FALSE(T().DeleteValue(HKEY_CURRENT_USER, name, "x"));
        EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, name, std::string("x"), std::string("d"))), "d");
        EXPECT_EQ(T().GetString(HKEY_CURRENT_USER, name, "x"), "");
    }
    T().SetKeyValue(HKEY_CURRENT_USER, "", "x", std::string("y"), REG_SZ);
    EXPECT_EQ(reg::SetValue(HKEY_CURRENT_USER, "x", REG_SZ, "y"), reg::ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg::DeleteKey(HKEY_CURRENT_USER, ""), reg::ERROR_ACCESS_DENIED);
    EXPECT_TRUE(T().KeyExists(HKEY_CURRENT_USER, "Software"));
}

TEST_F(Registry, WritesRefusedWithoutAdministratorRights) {
    const std::int32_t key = UserKey("Software\\Tovell");
    admin = false;
    EXPECT_FALSE(T().CreateNewKey(HKEY_CURRENT_USER, "Software\\New"));
    EXPECT_FALSE(T().CreateNewKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tovell"));
    EXPECT_EQ(T().SetValueEx(key, "Name", REG_SZ, std::string("x")), reg::ERROR_ACCESS_DENIED);
    T().SetKeyValue(HKEY_CURRENT_USER, "Software\\Tovell", "Name", std::string("x"), REG_SZ);
    EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, "Software\\Tovell", std::string("Name"), std::string("none"))),
              "none");
    EXPECT_FALSE(T().KeyExists(HKEY_CURRENT_USER, "Software\\New"));
    EXPECT_FALSE(testsupport::PathExists(reg::HiveFile(HKEY_LOCAL_MACHINE)));
    // Deletions do not ask, except in a machine hive.
    EXPECT_TRUE(T().DeleteKey(HKEY_CURRENT_USER, "Software\\Tovell"));
    admin = true;
    ASSERT_TRUE(T().CreateNewKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tovell"));
    admin = false;
    EXPECT_FALSE(T().DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tovell"));
    EXPECT_TRUE(T().KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tovell"));
    reg::CloseKey(key);
}

TEST_F(Registry, RefusedAndUnknownWritesReportTheirCode) {
    const std::int32_t key = UserKey("Software\\Codes");
    EXPECT_EQ(T().SetValueEx(key, "Expand", REG_EXPAND_SZ, std::string("x")), reg::ERROR_INVALID_PARAMETER);
    EXPECT_EQ(T().SetValueEx(key, "Number", REG_DWORD, std::string("twelve")), reg::ERROR_INVALID_PARAMETER);
    EXPECT_EQ(T().SetValueEx(0x1234567, "Name", REG_SZ, std::string("x")), reg::ERROR_INVALID_HANDLE);
    EXPECT_EQ(S(T().GetValue(HKEY_CURRENT_USER, "Software\\Codes", std::string("Expand"), std::string("none"))),
              "none");
    reg::CloseKey(key);
}

TEST_F(Registry, ACorruptHiveIsReportedAndNotOverwritten) {
    for (const std::string& bytes : {std::string("not a hive\n"), std::string("TOVCORE-REGISTRY-HIVE 1\nK Soft"),
                                     std::string("TOVCORE-REGISTRY-HIVE 1\nV x 1 6\n"), std::string()}) {
        testsupport::WriteBytes(UserHive(), bytes);
        EXPECT_FALSE(T().KeyExists(HKEY_CURRENT_USER, "Soft"));
        EXPECT_FALSE(T().CreateNewKey(HKEY_CURRENT_USER, "Software\\New"));
        std::int32_t key = 0;
        EXPECT_EQ(reg::CreateKey(HKEY_CURRENT_USER, "Software", key), reg::ERROR_REGISTRY_CORRUPT);
        EXPECT_EQ(testsupport::ReadBytes(UserHive()), bytes);
    }
    // A hive path taken by a folder cannot be read or written.
    testsupport::RemoveTree(UserHive());
    testsupport::MakeFolders(UserHive() + "/");
    std::int32_t key = 0;
    EXPECT_EQ(reg::CreateKey(HKEY_CURRENT_USER, "Software", key), reg::ERROR_REGISTRY_IO_FAILED);
}

TEST_F(Registry, TwoWritersInTwoProcessesAreBothKept) {
    ASSERT_TRUE(T().CreateNewKey(HKEY_CURRENT_USER, "Software\\Shared"));
    constexpr int kValues = 40;
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kValues; ++i) {
                const std::string name = "w" + std::to_string(writer) + "_" + std::to_string(i);
                T().SetKeyValue(HKEY_CURRENT_USER, "Software\\Shared", name, std::int32_t{i}, REG_DWORD);
                if (!std::holds_alternative<std::int32_t>(
                        T().GetValue(HKEY_CURRENT_USER, "Software\\Shared", name, Variant{})))
                    ++failures;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int writer = 0; writer < 2; ++writer)
        for (int i = 0; i < kValues; ++i) {
            const std::string name = "w" + std::to_string(writer) + "_" + std::to_string(i);
            const Variant v = T().GetValue(HKEY_CURRENT_USER, "Software\\Shared", name, Variant{});
            ASSERT_TRUE(std::holds_alternative<std::int32_t>(v)) << name;
            EXPECT_EQ(N(v), i);
        }
}

TEST_F(Registry, RegistrationInfoIsLeftAloneOffWindows) {
    WindowsRegistryInfo wri{"owner", "company", "product", "id"};
    T().GetRegistryInfo(wri);
    EXPECT_EQ(wri.RegOwner, "owner");
    EXPECT_EQ(wri.ProductId, "id");
}

TEST(RegistryHelpers, SwapEndianAndExpandEnvStr) {
    EXPECT_EQ(detail::SwapEndian(0x78563412), 0x12345678);
    EXPECT_EQ(detail::SwapEndian(static_cast<std::int32_t>(0xFF000000u)), 0xFF);
    libtest::EnvGuard env;
    env.Set("QUILLET_A", "alpha");
    env.Set("QUILLET_UNSET", std::nullopt);
    const std::pair<const char*, const char*> cases[] = {
        {"%QUILLET_A%\\x", "alpha\\x"},
        {"50% of %QUILLET_A%", "50% of alpha"},
        {"%QUILLET_UNSET%%QUILLET_A%", "%QUILLET_UNSET%alpha"},
        {"%%", "%%"},
        {"no reference", "no reference"},
        {"%QUILLET_A", "%QUILLET_A"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(detail::ExpandEnvStr(in), out) << in;
}

}  // namespace
