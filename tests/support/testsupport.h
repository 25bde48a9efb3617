// Helpers for the tests: a temporary folder per test, byte-exact file writes and reads.
#pragma once

#include <string>
#include <string_view>

namespace testsupport {

// A fresh folder under the test run's temporary root, removed with everything in it when the
// object goes. path() ends in "/".
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() & relative, with the folders on the way created.
    std::string file(std::string_view relative) const;

private:
    std::string path_;
};

// Writes the exact bytes (folders on the way created). Throws on failure.
void WriteBytes(const std::string& path, std::string_view bytes);
// Reads the exact bytes. Throws when the file cannot be read.
std::string ReadBytes(const std::string& path);
bool PathExists(const std::string& path);
void RemoveTree(const std::string& path);
void MakeFolders(const std::string& path);

// The folder of this test run (ends in "/"); removed when the run ends.
const std::string& RunRoot();

// The home folder that the test run points HOME and the XDG variables at (ends in "/").
const std::string& TestHome();

// Joins lines with CR LF after each one (the usual form of a Visual Basic file).
std::string CrLf(std::initializer_list<std::string_view> lines);
// Joins lines with LF after each one.
std::string Lf(std::initializer_list<std::string_view> lines);

}  // namespace testsupport
