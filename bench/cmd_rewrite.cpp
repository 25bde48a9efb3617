#include "bench/cmd_rewrite.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "engine/addcode.h"
#include "engine/commit.h"
#include "bench/bench_host.h"
#include "engine/host.h"
#include "engine/linenumbers.h"
#include "engine/loader.h"
#include "engine/state.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace bench {
namespace {

int Usage() {
    PrintRewriteUsage(std::cerr);
    return 2;
}

// A snippet file given by path becomes the one selected snippet of its kind, in the bench's data
// folder.
bool UseSnippet(const std::string& file, const std::string& dataFolder, const char* kind,
                std::vector<std::string>& selected) {
    std::string bytes;
    if (!platform::ReadFileBytes(file, bytes)) {
        std::cerr << "cannot read " << file << "\n";
        return false;
    }
    std::filesystem::create_directories(dataFolder + kind);
    std::string why;
    if (!platform::WriteFileAtomic(dataFolder + kind + "/bench." + kind, bytes, &why)) {
        std::cerr << why << "\n";
        return false;
    }
    selected = {"bench"};
    return true;
}

// A whole number from `low` to `high`, written as nothing else; the option it belongs to is refused
// (with a message) rather than narrowed to what the setting can hold.
bool WholeNumber(const std::string& option, const std::string& text, long low, long high, long& value) {
    const char* end = text.c_str() + text.size();
    const auto r = std::from_chars(text.c_str(), end, value);
    if (r.ec == std::errc() && r.ptr == end && value >= low && value <= high) return true;
    std::cerr << "quillet-bench: " << option << " takes a whole number from " << low << " to " << high << ", not \""
              << text << "\"\n";
    return false;
}

// The bench's per-user data folder: it keeps the proofs of the change journals it writes, so that
// "undo" takes back what an "addcode" or "number" of an earlier run committed. QUILLET_BENCH_DATA,
// or ~/.local/share/quillet-bench/.
std::string BenchDataFolder() {
    const char* set = std::getenv("QUILLET_BENCH_DATA");
    std::string folder = set && *set ? set : std::string(std::getenv("HOME") ? std::getenv("HOME") : "/tmp") +
                                                 "/.local/share/quillet-bench";
    if (folder.back() != '/') folder += '/';
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

int Run(const std::string& command, const std::vector<std::string>& args) {
    std::string project, pre, post;
    long increment = 10, scope = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool more = i + 1 < args.size();
        if (command == "addcode" && a == "--pre" && more) pre = args[++i];
        else if (command == "addcode" && a == "--post" && more) post = args[++i];
        else if (command == "number" && a == "--increment" && more) {
            if (!WholeNumber(a, args[++i], 1, INT16_MAX, increment)) return 2;
        } else if (command == "number" && a == "--scope" && more) {
            if (!WholeNumber(a, args[++i], 0, 2, scope)) return 2;
        } else if (project.empty() && a.rfind("--", 0) != 0) project = a;
        else return Usage();
    }
    if (project.empty() || (command == "addcode" && pre.empty() && post.empty())) return Usage();

    engine::ToolState st;
    BenchHost host(st);
    const std::string dataFolder = BenchDataFolder();
    st.ApplicationDataFolderLocal = dataFolder;
    if (command == "addcode") {
        if ((!pre.empty() && !UseSnippet(pre, dataFolder, "PreCode", st.SelectedPreCode)) ||
            (!post.empty() && !UseSnippet(post, dataFolder, "PostCode", st.SelectedPostCode)))
            return 1;
    }
    st.txtProject = project;
    const double t0 = host.Seconds();
    const bool loaded = engine::LoadProject(st, host, host, false);
    std::printf("load        %8.3f s\n", host.Seconds() - t0);
    std::fflush(stdout);
    if (!loaded) {
        std::cerr << "not loaded: " << project << "\n";
        return 1;
    }
    engine::RewriteStats stats;
    if (command == "addcode") {
        engine::cmdAddCode_Click(st, host, host.Files(), &stats);
    } else if (command == "number") {
        st.LineIncrement = static_cast<std::int16_t>(increment);
        st.ResequenceIndex = static_cast<std::int16_t>(scope);
        engine::rtnAddLineNumbers(st, host, host.Files(), &stats);
    } else if (command == "unnumber") {
        engine::rtnRemoveLineNumbers(st, host, host.Files(), &stats);
    } else {
        engine::UndoLastChange(st, host, host.Files(), &stats);
    }
    std::printf("rewrite     %8.3f s\n", stats.rewriteSeconds);
    std::printf("commit      %8.3f s\n", stats.commitSeconds);
    std::printf("both        %8.3f s\n", stats.rewriteSeconds + stats.commitSeconds);
    std::printf("reload      %8.3f s\n", stats.reloadSeconds);
    std::printf("files read  %zu\n", stats.filesRead);
    std::printf("lines read  %zu\n", stats.linesRead);
    std::printf("pending     %zu\n", stats.pendingWritten);
    std::printf("%-11s %zu\n", command == "undo" ? "restored" : "replaced", stats.filesReplaced);
    std::printf("undoable    %s\n", st.UndoAvailable ? "yes" : "no");
    // What the backup folder holds now: with one generation of backups it does not grow from run
    // to run.
    std::size_t files = 0;
    std::uintmax_t bytes = 0;
    std::error_code ec;
    if (std::filesystem::is_directory(st.model.BackupFolder, ec))
        for (const auto& e : std::filesystem::recursive_directory_iterator(st.model.BackupFolder, ec))
            if (e.is_regular_file(ec)) {
                ++files;
                bytes += e.file_size(ec);
            }
    std::printf("backup      %zu files, %.1f MB\n", files, static_cast<double>(bytes) / (1 << 20));
    return 0;
}

}  // namespace

void PrintRewriteUsage(std::ostream& out) {
    out << "       quillet-bench addcode PROJECT --pre FILE --post FILE\n"
           "       quillet-bench number PROJECT --increment N --scope 0|1|2\n"
           "       quillet-bench unnumber PROJECT\n"
           "       quillet-bench undo PROJECT\n"
           "       (the proofs of the change journals are kept in QUILLET_BENCH_DATA or ~/.local/share/quillet-bench/)\n";
}

bool RunRewriteCommand(const std::string& command, const std::vector<std::string>& args, int& rc) {
    if (command != "addcode" && command != "number" && command != "unnumber" && command != "undo") return false;
    rc = Run(command, args);
    return true;
}

}  // namespace bench
