#include "app/core/Settings.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <tovcore/clsTovcore.h>

#include "platform/paths.h"
#include "platform/text.h"

namespace quillet {

std::optional<std::int32_t> ParseWholeNumber(const std::string& text) {
    const std::string trimmed(platform::Trim(text));
    if (trimmed.empty()) return std::nullopt;
    // Decimal digits with an optional sign and fraction only: no hex, no exponent, no "inf".
    std::size_t i = (trimmed[0] == '-' || trimmed[0] == '+') ? 1 : 0;
    bool digits = false, point = false;
    for (; i < trimmed.size(); ++i) {
        const char c = trimmed[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    errno = 0;
    const double value = std::strtod(trimmed.c_str(), nullptr);
    if (errno == ERANGE) return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<bool> ParseBoolean(const std::string& text) {
    const std::string trimmed(platform::Trim(text));
    if (platform::IEquals(trimmed, "True")) return true;
    if (platform::IEquals(trimmed, "False")) return false;
    if (const auto n = ParseWholeNumber(trimmed)) return *n != 0;
    return std::nullopt;
}

IniSectionReader::IniSectionReader(const std::string& iniFile, const std::string& section) {
    if (!platform::IsRegularFile(iniFile)) return;
    std::string body;
    found_ = tovcore::Global().GetIniSection(section, body, iniFile);
    std::size_t start = 0;
    while (found_ && start <= body.size()) {
        std::size_t end = body.find("\r\n", start);
        if (end == std::string::npos) end = body.size();
        lines_.push_back(body.substr(start, end - start));
        start = end + 2;
    }
}

std::optional<std::string> IniSectionReader::Value(const std::string& key) const {
    const std::string pattern = key + "=";
    for (const std::string& line : lines_) {
        const std::size_t at = platform::IFindUtf8(line, pattern);
        if (at != std::string::npos) return std::string(platform::Trim(std::string_view(line).substr(at + pattern.size())));
    }
    return std::nullopt;
}

std::string ReadIniText(const std::string& section, const std::string& key, const std::string& def,
                        const std::string& iniFile) {
    const std::optional<std::string> held = IniSectionReader(iniFile, section).Value(key);
    if (held && !held->empty()) return *held;
    if (def.empty()) return "";
    return tovcore::Global().GetIniString(section, key, def, iniFile);
}

std::int32_t ReadIniNumber(const std::string& section, const std::string& key, std::int32_t def,
                           const std::string& iniFile) {
    return ParseWholeNumber(ReadIniText(section, key, std::to_string(def), iniFile)).value_or(def);
}

bool ReadIniBool(const std::string& section, const std::string& key, bool def, const std::string& iniFile) {
    return ParseBoolean(ReadIniText(section, key, def ? "True" : "False", iniFile)).value_or(def);
}

void WriteIniText(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& iniFile) {
    const IniSectionReader held(iniFile, section);
    const std::optional<std::string> now = held.Value(key);
    if (held.Found() && (now ? *now == value : value.empty())) return;
    tovcore::Global().WriteIniString(section, key, value, iniFile);
}

void WriteIniBool(const std::string& section, const std::string& key, bool value, const std::string& iniFile) {
    WriteIniText(section, key, value ? "True" : "False", iniFile);
}

void WriteIniNumber(const std::string& section, const std::string& key, std::int64_t value, const std::string& iniFile) {
    WriteIniText(section, key, std::to_string(value), iniFile);
}

}  // namespace quillet
