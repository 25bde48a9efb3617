// Fuzz target: any bytes as a project file, a group file and a module (the input split at its first
// two NUL NUL pairs). The load must hold whatever it is given, write nothing, take no listed name
// with a control character, and list exactly the files that the journal's check (ListedPaths) takes
// for the project's.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "engine/loader.h"
#include "platform/text.h"
#include "tests/fuzz/fuzz_support.h"

using namespace engine;
using fuzz::Check;

namespace {

// Every entry below `folder` with its size and time, to see that the load wrote nothing.
std::map<std::string, std::pair<std::uintmax_t, long long>> Snapshot(const std::string& folder) {
    std::map<std::string, std::pair<std::uintmax_t, long long>> out;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec); it != std::filesystem::end(it);
         it.increment(ec)) {
        const auto& e = *it;
        const std::uintmax_t size = e.is_regular_file(ec) ? e.file_size(ec) : 0;
        out[e.path().string()] = {size, static_cast<long long>(e.last_write_time(ec).time_since_epoch().count())};
    }
    return out;
}

std::string_view Part(std::string_view& rest) {
    const std::size_t cut = rest.find(std::string_view("\0\0", 2));
    const std::string_view part = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 2);
    return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view vbp = Part(rest), vbg = Part(rest), module = rest;

    const std::string folder = fuzz::ScratchFolder() + "project/";
    fuzz::EmptyFolder(folder);
    fuzz::WriteFile(folder + "P/App.vbp", vbp);
    fuzz::WriteFile(folder + "P/m.bas", module);
    fuzz::WriteFile(folder + "P/Sub/s.bas", "Attribute VB_Name = \"s\"\r\nSub S()\r\nEnd Sub\r\n");
    fuzz::WriteFile(folder + "P/Sub/Sub.vbp", "Type=Exe\r\nModule=s; s.bas\r\n");
    fuzz::WriteFile(folder + "Outside/o.bas", "Attribute VB_Name = \"o\"\r\nSub O()\r\nEnd Sub\r\n");
    const bool group = !vbg.empty();
    if (group) fuzz::WriteFile(folder + "P/G.vbg", vbg);
    const auto before = Snapshot(folder);

    ToolState st;
    fuzz::FuzzHost host;
    st.txtProject = folder + (group ? "P/G.vbg" : "P/App.vbp");
    const bool loaded = LoadProject(st, host, host, false);
    Check(Snapshot(folder) == before, "a load writes nothing");

    const std::set<std::string> listed = ListedPaths(st.ProjectPath.empty() ? st.txtProject : st.ProjectPath);
    if (!loaded) return 0;
    std::set<std::string, platform::ILess> keys;
    for (FileKind kind : kAllKinds)
        for (const clsFileInfo& f : st.model.Files(kind)) {
            Check(ListedNameProblem(f.fFilename).empty(), "no listed name is empty or holds a control character");
            Check(keys.insert(f.fKey).second, "no file is listed twice under one key");
            Check(listed.count(f.fPath) == 1, "the journal's check knows every file the load lists");
        }
    for (const ProjectInfo& p : st.model.Projects)
        Check(!p.exists || listed.count(p.path) == 1, "the journal's check knows every project the load read");
    // The start-up file is always one the project lists.
    for (const ProjectInfo& p : st.model.Projects) {
        if (p.StartupFile.empty()) continue;
        bool found = false;
        for (FileKind kind : kAllKinds)
            for (const clsFileInfo& f : st.model.Files(kind))
                found = found || (f.fProject == p.name && f.fFilename == p.StartupFile);
        Check(found, "a start-up file is a file its project lists");
    }
    return 0;
}
