#include "tests/fuzz/fuzz_support.h"

#include <filesystem>
#include <unistd.h>

#include "platform/fileio.h"

namespace fuzz {

namespace {
std::string& Scratch() {
    static std::string folder;
    return folder;
}
}  // namespace

std::string ScratchFolder() {
    std::string& folder = Scratch();
    if (folder.empty()) {
        std::error_code ec;
        const char* base = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
        std::string templ = std::string(base) + "/quillet-fuzz-XXXXXX";
        Check(::mkdtemp(templ.data()) != nullptr, "a scratch folder can be made");
        folder = templ + "/";
        // Gone when the run ends normally; a crash leaves it for a look.
        std::atexit([] {
            std::error_code e;
            std::filesystem::remove_all(Scratch(), e);
        });
    }
    return folder;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::error_code ec;
    std::filesystem::create_directories(platform::FolderOf(path), ec);
    Check(platform::WriteFileAtomic(path, bytes), "a scratch file can be written");
}

void EmptyFolder(const std::string& folder) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        std::filesystem::remove_all(entry.path(), ec);
}

}  // namespace fuzz
