// main() of every test program: before any test runs, HOME, the XDG folders and TMPDIR point into
// a folder of this run, so no test can touch the real home folder.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/testsupport.h"

namespace {

class RunRootCleanup : public ::testing::Environment {
public:
    void TearDown() override {
        if (!std::getenv("QUILLET_KEEP_TEST_FILES")) testsupport::RemoveTree(testsupport::RunRoot());
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string home = testsupport::TestHome();
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + ".local/share").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + ".config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home + ".cache").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (home + ".local/state").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (home + "run").c_str(), 1);
    std::filesystem::create_directories(home + "run");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new RunRootCleanup);
    return RUN_ALL_TESTS();
}
