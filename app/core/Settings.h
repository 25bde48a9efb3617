// Reading and writing the program's settings through the library's INI engine. Reads are lenient
// about hand-edited files: a value that is not a number (or not a boolean) takes the key's default.
// As every read of the engine does, a read of a missing key writes its default into the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

// The parsing rules on their own: nothing when the text is not such a value.
std::optional<std::int32_t> ParseWholeNumber(const std::string& text);
std::optional<bool> ParseBoolean(const std::string& text);

}  // namespace quillet
