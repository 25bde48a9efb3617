#include "library/src/modSpecialFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

#include "library/src/LibraryState.h"
#include "library/src/modGeneral.h"
#include "platform/text.h"

#ifndef TOVCORE_INSTALL_PREFIX
#define TOVCORE_INSTALL_PREFIX "/usr/local"
#endif

namespace tovcore::detail {
namespace {

bool IsAbsolute(const char* value) { return value && value[0] == '/'; }

// An XDG folder when its variable is set and absolute, else its default below the home folder.
std::string XdgFolder(const char* variable, const char* defaultBelowHome) {
    const char* value = std::getenv(variable);
    if (IsAbsolute(value)) return FixPath(value);
    return HomeFolder() + defaultBelowHome;
}

// The first absolute folder of a colon-separated list variable, else the default.
std::string FirstListedFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value) {
        std::string list = value;
        std::size_t pos = 0;
        while (pos <= list.size()) {
            std::size_t colon = list.find(':', pos);
            if (colon == std::string::npos) colon = list.size();
            const std::string item = list.substr(pos, colon - pos);
            if (!item.empty() && item[0] == '/') return FixPath(item);
            pos = colon + 1;
        }
    }
    return fallback;
}

}  // namespace

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) return FixPath(home);
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && IsAbsolute(found->pw_dir))
        return FixPath(found->pw_dir);
    return "/";
}

// The folders of this system: the XDG folders where they are set (and absolute), else their
// defaults; the install prefix for program files and common files; no Windows folders.
clsSpecialFolders GetSpecialFolders() {
    const ClientState& client = State().client;
    const std::string company = client.app.CompanyName;
    const std::string exe = client.exeName;
    clsSpecialFolders f;
    f.ApplicationDataFolderLocalReg = XdgFolder("XDG_DATA_HOME", ".local/share/");
    f.ApplicationDataFolderLocal = f.ApplicationDataFolderLocalReg + company + "/" + exe + "/";
    f.ApplicationDataFolderRoamingReg = XdgFolder("XDG_CONFIG_HOME", ".config/");
    f.ApplicationDataFolderRoaming = f.ApplicationDataFolderRoamingReg + company + "/" + exe + "/";
    f.CommonFilesFolder = FixPath(TOVCORE_INSTALL_PREFIX) + "share/";
    f.ProgramFilesFolder = FixPath(TOVCORE_INSTALL_PREFIX);
    if (f.ProgramFilesFolder.empty() && !f.CommonFilesFolder.empty()) {
        // The parent of the common-files folder, with its final "/".
        std::string common = f.CommonFilesFolder;
        common.back() = ' ';
        f.ProgramFilesFolder = common.substr(0, common.rfind('/') + 1);
    }
    f.UserProfileFolder = HomeFolder();
    f.WindowsFolder = "";
    f.WindowsSystemFolder = "";
    const char* tmp = std::getenv("TMPDIR");
    f.UserProfileTempFolder = IsAbsolute(tmp) ? FixPath(tmp) : "/tmp/";
    f.AllUsersAppDataFolder = FirstListedFolder("XDG_DATA_DIRS", "/usr/local/share/");
    f.SystemDrive = f.WindowsFolder.substr(0, 2);
    return f;
}

// The running kernel: name, "major.minor", the third number of the release as the build, and
// the whole release text in brackets.
void GetOSInfo(OSInfoRecord& info) {
    utsname u{};
    if (::uname(&u) != 0) return;
    info.PlatformId = 0;
    info.OSName = u.sysname;
    const std::string release = u.release;
    std::vector<std::string> numbers;
    std::string current;
    for (char c : release) {
        if (c >= '0' && c <= '9') {
            current += c;
        } else {
            numbers.push_back(current);
            current.clear();
            if (c != '.' || numbers.size() >= 3) break;
        }
    }
    if (!current.empty()) numbers.push_back(current);
    const auto part = [&](std::size_t i) { return i < numbers.size() && !numbers[i].empty() ? numbers[i] : "0"; };
    info.Version = part(0) + "." + part(1);
    info.Build = part(2);
    info.ServicePack = release;
}

std::string GetOSVersion() {
    OSInfoRecord info;
    GetOSInfo(info);
    return info.OSName + " " + info.Version + " build " + info.Build + " (" + info.ServicePack + ")";
}

bool IsAdmin() { return ::geteuid() == 0; }

// Creates every folder of the chain; errors (existing folders, no rights) are ignored.
void CreateFolders(const std::string& PathName) {
    std::string prefix = (!PathName.empty() && PathName[0] == '/') ? "/" : "";
    std::size_t pos = 0;
    while (pos <= PathName.size()) {
        std::size_t slash = PathName.find('/', pos);
        if (slash == std::string::npos) slash = PathName.size();
        const std::string part = PathName.substr(pos, slash - pos);
        pos = slash + 1;
        if (!platform::Trim(part).empty()) prefix += part + "/";
        if (!prefix.empty()) ::mkdir(prefix.c_str(), 0777);
    }
}

std::string StripTerminator(const std::string& Buffer) { return StripNulls(Buffer); }

}  // namespace tovcore::detail
