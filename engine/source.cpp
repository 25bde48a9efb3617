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

void CodeOffset(const std::vector<std::string>& lines, std::int32_t& offset) {
    bool begun = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view t = platform::Trim(lines[i]);
        const std::string_view word = t.substr(0, t.find(' '));
        if (word == "Attribute") {
            begun = true;
        } else if (begun) {
            offset = static_cast<std::int32_t>(i);
            return;
        }
    }
}

std::optional<LineArray> ReadSourceFile(const std::string& path, std::int32_t& offset) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes)) throw EngineError("Cannot read the file " + path);
    LineArray text = platform::SplitLines(bytes);
    if (HasAttributeHeaderName(path)) CodeOffset(text.lines, offset);
    return text;
}

}  // namespace engine
