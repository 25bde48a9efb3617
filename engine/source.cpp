#include "engine/source.h"

#include <sys/stat.h>

#include "engine/error.h"
#include "platform/text.h"

namespace engine {

bool HasAttributeHeaderName(const std::string& path) {
    if (path.size() < 4) return false;
    const std::string_view ext = std::string_view(path).substr(path.size() - 4);
    return ext == ".frm" || ext == ".cls" || ext == ".bas";
}

bool IsAttributeLine(std::string_view line) {
    const std::string_view t = platform::Trim(line);
    return t.substr(0, t.find(' ')) == "Attribute";
}

std::int32_t HeaderEndLine(const std::vector<std::string>& lines, std::int32_t funcLineStart, std::int32_t funcLineEnd) {
    std::int32_t j = funcLineStart;
    const auto n = static_cast<std::int32_t>(lines.size());
    while (j + 1 < funcLineEnd && j + 1 < n && IsAttributeLine(lines[static_cast<std::size_t>(j + 1)])) ++j;
    return j;
}

void CodeOffset(const std::vector<std::string>& lines, std::int32_t& offset) {
    bool begun = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsAttributeLine(lines[i])) {
            begun = true;
        } else if (begun) {
            offset = static_cast<std::int32_t>(i);
            return;
        }
    }
}

std::optional<LineArray> ReadSourceFile(const std::string& path, std::int32_t& offset, Fingerprint* fingerprint) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes)) throw EngineError("Cannot read the file " + path);
    if (fingerprint) *fingerprint = FingerprintOf(bytes);
    LineArray text = platform::SplitLines(bytes);
    if (HasAttributeHeaderName(path)) CodeOffset(text.lines, offset);
    return text;
}

}  // namespace engine
