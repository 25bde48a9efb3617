#include <tovcore/TypeLibrary.h>

#include <gtest/gtest.h>

#include <tovcore/clsFileAccess.h>
#include <tovcore/clsSpecialFolders.h>
#include <tovcore/clsTovcore.h>
#include <tovcore/clsVersionInfo.h>

namespace {

using namespace tovcore;

TEST(TypeLibrary, IdentityAndClassTable) {
    EXPECT_EQ(LIBID_Tovcore, "{51F6A938-EA06-44FF-8AEA-74A2A4BF8543}");
    EXPECT_EQ(kTypeLibraryMajor, 5);
    EXPECT_EQ(kTypeLibraryMinor, 0);
    EXPECT_EQ(kTypeLibraryLocale, 0x409u);
    EXPECT_EQ(kTypeLibraryHelpString, "Tv General Routines");
    ASSERT_EQ(ClassTable().size(), 5u);
    for (const auto& c : ClassTable()) {
        EXPECT_EQ(c.progId, "Tovcore." + std::string(c.name));
        EXPECT_EQ(c.interfaceName, "_" + std::string(c.name));
        EXPECT_EQ(FindClassByCLSID(c.clsid), &c);
        EXPECT_EQ(FindClassByProgID(c.progId), &c);
    }
    EXPECT_EQ(ClassTable()[0].instancing, Instancing::GlobalMultiUse);
}

TEST(TypeLibrary, CreatesEachClassByProgIdOrClsidIgnoringCase) {
    EXPECT_NE(CreateObjectAs<clsTovcore>("Tovcore.clsTovcore"), nullptr);
    EXPECT_NE(CreateObjectAs<clsFileAccess>("tovcore.CLSFILEACCESS"), nullptr);
    EXPECT_NE(CreateObjectAs<clsSpecialFolders>(CLSID_clsSpecialFolders), nullptr);
    EXPECT_NE(CreateObjectAs<clsVersionInfo>("{f5dc8e5c-4014-433e-ac0f-0de68e49891c}"), nullptr);
    // Wrong class, unknown name.
    EXPECT_EQ(CreateObjectAs<clsTovcore>("Tovcore.clsFileAccess"), nullptr);
    EXPECT_FALSE(CreateObject("Tovcore.clsNothing").has_value());
}

TEST(TypeLibrary, RegisteredFactoryIsUsed) {
    struct Fake {};
    EXPECT_FALSE(RegisterClassFactory("{00000000-0000-0000-0000-000000000000}", [] { return std::any(1); }));
    ASSERT_TRUE(RegisterClassFactory(CLSID_clsTvResizeForm, [] { return std::any(std::make_shared<Fake>()); }));
    EXPECT_NE(CreateObjectAs<Fake>("Tovcore.clsTvResizeForm"), nullptr);
}

}  // namespace
