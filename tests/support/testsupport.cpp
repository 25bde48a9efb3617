#include "tests/support/testsupport.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {
namespace {

std::string MakeRunRoot() {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = (tmp && *tmp == '/') ? tmp : "/tmp";
    if (base.back() != '/') base += '/';
    std::string templ = base + "quillet-test-XXXXXX";
    if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    return templ + "/";
}

}  // namespace

const std::string& RunRoot() {
    static const std::string root = MakeRunRoot();
    return root;
}

const std::string& TestHome() {
    static const std::string home = [] {
        std::string h = RunRoot() + "home/";
        fs::create_directories(h);
        return h;
    }();
    return home;
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    path_ = RunRoot() + "t" + std::to_string(counter.fetch_add(1)) + "/";
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only files or folders behind; make them removable first.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

std::string TempDir::file(std::string_view relative) const {
    std::string p = path_ + std::string(relative);
    fs::create_directories(fs::path(p).parent_path());
    return p;
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool PathExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
}

void MakeFolders(const std::string& path) { fs::create_directories(path); }

std::string CrLf(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (auto l : lines) (out += l) += "\r\n";
    return out;
}

std::string Lf(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (auto l : lines) (out += l) += "\n";
    return out;
}

}  // namespace testsupport
