// Reading and writing the program's settings through the library's INI engine. Reads are lenient
// about hand-edited files: a value that is not a number (or not a boolean) takes the key's default.
// As every read of the engine does, a read of a missing key writes its default into the file; but
// the file is only written when that changes it: a key that holds a value is read without a
// write, a missing key read with an empty default writes nothing, and a write of the value a key
// already holds is skipped. (Every write replaces the whole file and waits for the disk: the
// start-up reads and writes some sixty keys.)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

std::string ReadIniText(const std::string& section, const std::string& key, const std::string& def,
                        const std::string& iniFile);
// A whole number ("12", " 12 ", "12.5" rounds half to even, "-3"); the default for anything else
// or for a value outside 32 bits.
std::int32_t ReadIniNumber(const std::string& section, const std::string& key, std::int32_t def,
                           const std::string& iniFile);
// "True"/"False" in any letter case, or a number (not 0 is true); the default for anything else.
bool ReadIniBool(const std::string& section, const std::string& key, bool def, const std::string& iniFile);

void WriteIniText(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& iniFile);
void WriteIniBool(const std::string& section, const std::string& key, bool value, const std::string& iniFile);
void WriteIniNumber(const std::string& section, const std::string& key, std::int64_t value, const std::string& iniFile);

// One section of an INI-dialect file, read once and never written. A key is found as the engine
// finds it: the first line of the section that holds key & "=" (letter case ignored); its value is
// the trimmed text after that.
class IniSectionReader {
public:
    IniSectionReader(const std::string& iniFile, const std::string& section);
    bool Found() const { return found_; }
    // The section's lines as the library gives them (whatever ended them in the file); none when it
    // was not found.
    const std::vector<std::string>& Lines() const { return lines_; }
    // The key's value, or nothing when no line holds the key.
    std::optional<std::string> Value(const std::string& key) const;

private:
    bool found_ = false;
    std::vector<std::string> lines_;
};

// The parsing rules on their own: nothing when the text is not such a value.
std::optional<std::int32_t> ParseWholeNumber(const std::string& text);
std::optional<bool> ParseBoolean(const std::string& text);

}  // namespace quillet
