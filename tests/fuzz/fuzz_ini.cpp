// Fuzz target: any bytes as one of our own INI-dialect files. Tool projects and language files come
// with projects from whoever sent them, and settings files are edited by hand. Reading must hold and
// change nothing; a write of one key changes that key alone: every other line that is not blank
// keeps its bytes, in order, and every line that had an ending keeps it; the key then reads back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <tovcore/IniFiles.h>

#include "library/src/modIni.h"
#include "platform/fileio.h"
#include "platform/text.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::Check;

namespace {

// The engine itself, without the rest of the library (this build has no window system).
struct Engine {
    bool GetIniSection(const std::string& s, std::string& body, const std::string& f) {
        return tovcore::detail::GetIniSection(s, body, f);
    }
    std::string GetIniString(const std::string& s, const std::string& k, const std::string& d, const std::string& f) {
        return tovcore::detail::GetIniString(s, k, d, f);
    }
    bool WriteIniString(const std::string& s, const std::string& k, const std::string& v, const std::string& f) {
        return tovcore::detail::WriteIniString(s, k, v, f);
    }
};
Engine& Lib() {
    static Engine engine;
    return engine;
}

std::string ReadBack(const std::string& path) {
    std::string bytes;
    platform::ReadFileBytes(path, bytes);
    return bytes;
}

// The lines that are not blank, with their endings.
std::vector<std::pair<std::string, platform::LineEnd>> Kept(std::string_view bytes) {
    const platform::LineArray text = platform::SplitLines(bytes);
    std::vector<std::pair<std::string, platform::LineEnd>> out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!platform::Trim(text.lines[i]).empty()) out.emplace_back(text.lines[i], text.ends[i]);
    return out;
}

void CheckWrite(const std::string& file, const std::string& input, const std::string& section) {
    fuzz::WriteFile(file, input);
    const tovcore::IniFileState state = tovcore::CheckIniFile(file);
    const bool hadSection = Lib().WriteIniString(section, "Zq9", "v\xC3\xA9", file);
    const std::string written = ReadBack(file);
    if (state != tovcore::IniFileState::Usable) {
        // Not text the engine reads (UTF-16): it is left exactly as it is.
        Check(written == input, "a file the engine does not read is never written");
        return;
    }
    Check(Lib().GetIniString(section, "Zq9", "d", file) == "v\xC3\xA9", "a written key reads back");

    std::vector<std::pair<std::string, platform::LineEnd>> now = Kept(written);
    const std::vector<std::pair<std::string, platform::LineEnd>> before = Kept(input);
    bool removed = false;
    for (std::size_t i = 0; i < now.size() && !removed; ++i) {
        if (now[i].first != "Zq9=v\xC3\xA9") continue;
        Check(now[i].second == platform::LineEnd::CrLf, "an added line ends in CR LF");
        now.erase(now.begin() + static_cast<std::ptrdiff_t>(i));
        removed = true;
    }
    Check(removed, "the written key is in the file");
    if (!hadSection) {
        Check(!now.empty() && now.back().first == "[" + section + "]", "a new section is added at the end");
        now.pop_back();
    }
    Check(now.size() == before.size(), "no line that is not blank comes or goes");
    for (std::size_t i = 0; i < before.size(); ++i) {
        Check(now[i].first == before[i].first, "a line the write does not change keeps its bytes");
        if (before[i].second != platform::LineEnd::None)
            Check(now[i].second == before[i].second, "a line the write does not change keeps its ending");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = fuzz::ScratchFolder();
    const std::string file = folder + "fuzz.ini";
    const std::string input(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile(file, input);

    // Reading a section, and a key that holds a value, write nothing.
    std::string body;
    const bool found = Lib().GetIniSection("Quillet", body, file);
    Check(ReadBack(file) == input, "reading a section changes nothing");
    const std::string language = Lib().GetIniString("Quillet", "Language", "Default", file);
    const std::string after = ReadBack(file);
    if (found && language != "Default") Check(after == input, "reading a key that holds a value changes nothing");

    // A write of a key the file does not hold, into a section that is likely missing and into one
    // that is likely there: it reads back, and the rest keeps its bytes.
    const std::string folded = platform::FoldUtf8(platform::DecodeOwnText(input));
    if (folded.find("zq9=") != std::string::npos) return 0;
    CheckWrite(file, input, "Fz");
    CheckWrite(file, input, "Quillet");
    return 0;
}
