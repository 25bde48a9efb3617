#include "library/src/modGeneral.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <random>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <tovcore/clsFileAccess.h>

#include "library/src/LibraryState.h"
#include "library/src/modScreen.h"
#include "platform/paths.h"
#include "platform/text.h"

extern char** environ;

namespace tovcore::detail {
namespace {

struct Entry {
    std::string name;
    bool isFolder = false;  // a real folder, not a link to one
};

// The entries of a folder other than "." and "..", sorted by name without regard to case so that
// every search gives repeatable results. Empty when the folder cannot be listed.
std::vector<Entry> ListFolder(const std::string& folder) {
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return entries;
    while (dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        Entry e{name, false};
        if (d->d_type == DT_DIR) {
            e.isFolder = true;
        } else if (d->d_type == DT_UNKNOWN) {
            struct stat st {};
            e.isFolder = ::lstat((folder + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        entries.push_back(std::move(e));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int c = platform::ICompareUtf8(a.name, b.name);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return entries;
}

// Splits a path into its folder (with its final "/") and its last name.
void SplitLast(const std::string& path, std::string& folder, std::string& name) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        folder.clear();
        name = path;
    } else {
        folder = path.substr(0, slash + 1);
        name = path.substr(slash + 1);
    }
}

std::size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

bool MatchFolded(std::string_view p, std::string_view n) {
    // Iterative match with one back-tracking point for the last "*".
    std::size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = ni;
        } else if (pi < p.size() && p[pi] == '?') {
            ++pi;
            ni += std::min(Utf8Length(static_cast<unsigned char>(n[ni])), n.size() - ni);
        } else if (pi < p.size() && p[pi] == n[ni]) {
            ++pi;
            ++ni;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            mark += std::min(Utf8Length(static_cast<unsigned char>(n[mark])), n.size() - mark);
            ni = mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

std::string FindFilesIn(const std::string& path, const std::string& searchStr) {
    LibraryState& s = State();
    if (s.cancel) return "";
    DoEventsThrottled();
    const std::vector<Entry> entries = ListFolder(path);
    std::vector<std::string> subfolders;
    for (const auto& e : entries) {
        if (s.cancel) return "";
        if (e.isFolder) subfolders.push_back(e.name);
        DoEventsThrottled();
    }
    for (const auto& e : entries) {
        if (s.cancel) return "";
        if (WildcardMatch(searchStr, e.name)) return path;
    }
    for (const auto& sub : subfolders) {
        if (s.cancel) return "";
        std::string found = FindFilesIn(path + sub + "/", searchStr);
        if (s.cancel) return "";
        if (!found.empty()) return found;
        DoEventsThrottled();
    }
    return "";
}

}  // namespace

// ---- date and time -----------------------------------------------------------------------------

std::string FormatDateTime(std::chrono::system_clock::time_point t) {
    const std::time_t secs = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    ::localtime_r(&secs, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

std::string NowText() { return FormatDateTime(State().clock.now()); }

bool ParseDateTime(std::string_view text, std::chrono::system_clock::time_point& t) {
    const std::string s(platform::Trim(text));
    std::tm tm{};
    int consumed = 0;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                    &tm.tm_min, &tm.tm_sec, &consumed) != 6 ||
        static_cast<std::size_t>(consumed) != s.size())
        return false;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    const std::time_t secs = std::mktime(&tm);
    if (secs == static_cast<std::time_t>(-1)) return false;
    t = std::chrono::system_clock::from_time_t(secs);
    return true;
}

std::string StartTime() { return std::string(platform::Trim(NowText())); }
std::string StopTime() { return std::string(platform::Trim(NowText())); }

std::string GetElapsedTime(const std::string& sStartTime, const std::string& sStopTime) {
    std::chrono::system_clock::time_point start, stop;
    if (!ParseDateTime(sStartTime, start) || !ParseDateTime(sStopTime, stop)) return "";
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(stop - start).count();
    return ConvertSecondsToHHMMSS(static_cast<std::int32_t>(
        std::clamp<long long>(seconds, INT32_MIN, INT32_MAX)));
}

// A count of 24 hours or more shows all its hours ("25:00:00"); a negative count shows as 0.
std::string ConvertSecondsToHHMMSS(std::int32_t lSeconds) { return platform::ClockText(lSeconds); }

// Measured on a steady clock; sleeps a little between serving the message loop.
void WaitSeconds(std::int32_t lSeconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::max(lSeconds, 0));
    for (;;) {
        DoEvents();
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) break;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(end - now,
                                                                                 std::chrono::milliseconds(10)));
    }
}

void WaitRandomTime() {
    std::mt19937 gen(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
    const double r = std::uniform_real_distribution<double>(0.0, 1.0)(gen);
    WaitSeconds(static_cast<std::int32_t>(std::nearbyint(r)));  // halves to even: 0.5 waits 0
}

// ---- characters and paths ----------------------------------------------------------------------

bool IsAscii(std::uint8_t bchar) {
    thread_local const std::string charset =
        std::string("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890_~!@#$%^&*()_+=-`<>?,./:;'{}[]|\\") +
        "\"[]";
    if (bchar == 0) return false;
    const char c = static_cast<char>(bchar);
    return platform::IFind(charset, std::string_view(&c, 1)) != std::string::npos;
}

std::string FixPath(const std::string& Fldr) {
    std::string out(platform::Trim(Fldr));
    if (!out.empty() && out.back() != '/') out += '/';
    return out;
}

std::string GetParentPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string StripNulls(const std::string& text) {
    const std::size_t nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}

bool HasWildcards(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

// "*.*" is every name, as on Windows.
bool WildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") pattern = "*";
    return MatchFolded(platform::FoldUtf8(pattern), platform::FoldUtf8(name));
}

// A regular file (a folder, a pipe or a device is not one). Files here carry no hidden or system attribute (a name beginning
// with "." is an ordinary file: treating it as missing would let a settings write replace it).
// A name with wildcards is true when any such file of its folder matches.
bool FileExists(const std::string& Filename) {
    if (Filename.empty()) return false;
    std::string folder, name;
    SplitLast(Filename, folder, name);
    if (name.empty()) return false;
    if (HasWildcards(name)) {
        for (const auto& e : ListFolder(folder)) {
            if (e.isFolder || !WildcardMatch(name, e.name)) continue;
            struct stat st {};
            if (::stat((folder + e.name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) return true;
        }
        return false;
    }
    struct stat st {};
    return ::stat(Filename.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Short names do not exist here: the path itself when it exists.
std::string GetShortName(const std::string& stLongPath) {
    struct stat st {};
    if (stLongPath.empty() || ::stat(stLongPath.c_str(), &st) != 0) return "";
    return stLongPath;
}

// The absolute path with each existing component spelled as on disk (letter case may differ in
// what was given); components that do not exist are kept as given.
std::string GetLongName(const std::string& sFileName) {
    if (sFileName.empty()) return "";
    std::string base = "/";
    if (sFileName[0] != '/') {
        char cwd[4096];
        if (!::getcwd(cwd, sizeof cwd)) return "";
        base.assign(cwd).push_back('/');
    }
    const std::string full = GetAbsolutePath(base + sFileName);
    const bool trailing = full.size() > 1 && full.back() == '/';
    // The shared resolver walks the components from the root, each matched without regard to case.
    const std::string found = platform::ResolveListedPath("/", std::string_view(full).substr(1)).path;
    if (found.empty()) return "/";
    return trailing && found.back() != '/' ? found + "/" : found;
}

// "." and ".." taken out lexically.
std::string GetAbsolutePath(const std::string& RelPathName) {
    if (RelPathName.empty()) return "";
    return platform::NormalizePath(RelPathName);
}

// Network drive letters do not exist here: answers "not supported" (50), output left as it was.
std::int32_t GetUNCPath(const std::string& /*strDriveLetter*/, std::string& /*strUNCPath*/) {
    DoEvents();
    return 50;
}

// Network drive letters do not exist here: an empty list.
std::vector<std::string> GetNetworkDrives() { return {}; }

// Files here carry no version resource: the record is left as it was.
void GetDisplayVerInfo(clsVersionInfo& /*V*/) {}

// ---- searches ----------------------------------------------------------------------------------

// Depth first, in name order without regard to case; links to folders are not followed.
std::string FindFilesAPI(const std::string& Path, const std::string& SearchStr) {
    if (State().cancel) return "";
    return FindFilesIn(FixPath(Path), SearchStr);
}

// 1: a file or folder named without a final "/" (or a name with wildcards that matches an
// entry); 2: a folder named with a final "/"; 0: nothing, or the root.
std::int16_t DoesExist(const std::string& Path) {
    LibraryState& s = State();
    if (s.cancel || Path.empty()) return 0;
    if (Path.back() != '/') {
        std::string folder, name;
        SplitLast(Path, folder, name);
        if (HasWildcards(name)) {
            for (const auto& e : ListFolder(folder))
                if (WildcardMatch(name, e.name)) return 1;
        } else {
            struct stat st {};
            if (::stat(Path.c_str(), &st) == 0) return 1;
        }
        return 0;
    }
    if (s.cancel) return 0;
    struct stat st {};
    if (Path.find_first_not_of('/') != std::string::npos && ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return 2;
    return 0;
}

// ---- processes ---------------------------------------------------------------------------------

std::vector<std::string> SplitCommandLine(std::string_view line) { return platform::SplitCommandLine(line); }

// Starts the program directly (no shell) and waits for it to end; the window style has no
// meaning here.
void ShellAndWait(const std::string& program_name, std::int32_t /*window_style*/) {
    const std::vector<std::string> words = SplitCommandLine(program_name);
    int err = ENOENT;
    pid_t pid = 0;
    if (!words.empty()) {
        std::vector<char*> argv;
        for (const auto& w : words) argv.push_back(const_cast<char*>(w.c_str()));
        argv.push_back(nullptr);
        err = ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    }
    if (err != 0) {
        ShowLibraryMessage("Error starting task " + program_name + "\r\n" + std::strerror(err), 48, "Error");
        return;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// ---- file times --------------------------------------------------------------------------------

FileDateTimeInfo GetFileDateTime(const std::string& sFileName) {
    FileDateTimeInfo info;
    clsFileAccess file;
    if (file.OpenFileReadOnly(sFileName) == 0) file.ReturnFileTime(info);
    file.CloseFile();
    return info;
}

// Opens the file for reading only: setting the times of a missing file does not create it.
void SetFileDateTime(const std::string& sFileName, const FileDateTimeInfo& FileInfo) {
    clsFileAccess file;
    if (file.OpenFileReadOnly(sFileName) == 0) file.ChangeFileTime(FileInfo);
    file.CloseFile();
}

}  // namespace tovcore::detail
