#include "platform/paths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unistd.h>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

#include "platform/text.h"

namespace platform {

std::vector<std::string> SplitComponents(std::string_view path) {
    std::vector<std::string> parts;
    for (std::string_view part : Split(path, "/"))
        if (!part.empty()) parts.emplace_back(part);
    return parts;
}

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// Both readings of a name: as it stands (UTF-8 or Windows-1252 bytes) and decoded from Windows-1252.
bool SameNameIgnoringCase(std::string_view disk, std::string_view name) {
    if (IEquals(disk, name)) return true;
    if (IsValidUtf8(disk)) {
        const std::string decoded = IsValidUtf8(name) ? std::string(name) : Cp1252ToUtf8(name);
        if (IEqualsUtf8(disk, decoded)) return true;
    }
    return false;
}

}  // namespace

std::string ToNativeSeparators(std::string_view listed) {
    std::string out(listed);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

bool IsAbsoluteListedPath(std::string_view listed) {
    if (listed.empty()) return false;
    if (listed[0] == '\\' || listed[0] == '/') return true;
    return listed.size() >= 2 && listed[1] == ':' &&
           ((listed[0] >= 'A' && listed[0] <= 'Z') || (listed[0] >= 'a' && listed[0] <= 'z'));
}

std::string NormalizePath(std::string_view path) {
    const bool absolute = !path.empty() && path[0] == '/';
    const bool trailing = !path.empty() && path.back() == '/';
    std::vector<std::string> out;
    for (auto& part : SplitComponents(path)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!out.empty() && out.back() != "..") {
                out.pop_back();
                continue;
            }
            if (absolute) continue;  // "/.." is "/"
        }
        out.push_back(part);
    }
    std::string result = absolute ? "/" : "";
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i) result += '/';
        result += out[i];
    }
    if (trailing && !out.empty()) result += '/';
    if (result.empty()) result = absolute ? "/" : (trailing ? "./" : ".");
    return result;
}

std::string FindEntryIgnoringCase(const std::string& folder, std::string_view name) {
    const std::string dir = folder.empty() ? "." : folder;
    if (Exists((folder.empty() ? "" : folder) + std::string(name))) return std::string(name);
    DIR* d = ::opendir(dir.c_str());
    if (!d) return {};
    std::vector<std::string> hits;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view entry = e->d_name;
        if (entry == "." || entry == "..") continue;
        if (SameNameIgnoringCase(entry, name)) hits.emplace_back(entry);
    }
    ::closedir(d);
    if (hits.empty()) return {};
    std::sort(hits.begin(), hits.end());
    return hits.front();
}

ResolvedPath ResolveListedPath(std::string_view base, std::string_view listed) {
    ResolvedPath r;
    const std::string native = ToNativeSeparators(listed);
    if (IsAbsoluteListedPath(listed)) {
        // Only a name that exists exactly as given is taken; a drive letter or a server name has
        // no counterpart here.
        r.path = native;
        r.exists = Exists(std::string(listed)) || (native[0] == '/' && Exists(native));
        if (r.exists && !Exists(native)) r.path = std::string(listed);
        return r;
    }
    std::string current = NormalizePath(std::string(base) + "./");
    if (current == "./") current.clear();
    if (!current.empty() && current.back() != '/') current += '/';

    const auto parts = SplitComponents(native);
    bool found = true;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        const bool last = i + 1 == parts.size();
        std::string next;
        if (part == ".") {
            continue;
        } else if (part == "..") {
            current = NormalizePath(current + "../");
            if (current == "./") current.clear();
            continue;
        } else if (found) {
            const std::string hit = FindEntryIgnoringCase(current, part);
            if (hit.empty()) {
                found = false;
                next = part;
            } else {
                next = hit;
            }
        } else {
            next = part;
        }
        current += next;
        if (!last) current += '/';
    }
    r.path = current;
    r.exists = found && !parts.empty() && Exists(current);
    return r;
}

std::string AbsolutePath(std::string_view path) {
    std::string full(path);
    if (full.empty() || full[0] != '/') {
        char* cwd = ::getcwd(nullptr, 0);
        full = (cwd ? std::string(cwd) : std::string()) + "/" + full;
        std::free(cwd);
    }
    const bool folderOnly = full.back() == '/';
    const std::size_t slash = full.find_last_of('/', folderOnly ? full.size() - 2 : std::string::npos);
    std::string folder = full.substr(0, slash + 1);
    std::string name = full.substr(slash + 1);
    if (name == "." || name == "..") {
        folder = full + "/";
        name.clear();
    }
    if (char* real = ::realpath(folder.c_str(), nullptr)) {
        folder = real;
        std::free(real);
        if (folder.back() != '/') folder += '/';
    } else {
        folder = NormalizePath(folder);
        if (folder.back() != '/') folder += '/';
    }
    return folder + name;
}

std::string FolderNotEntered(const std::string& path) {
    std::string folder = !path.empty() && path[0] == '/' ? "/" : "";
    const std::vector<std::string> parts = SplitComponents(path);
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        folder += parts[i] + "/";
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0) return {};  // missing (or itself behind a closed folder)
        if (S_ISDIR(st.st_mode) && ::access(folder.c_str(), X_OK) != 0 && errno == EACCES) return folder;
    }
    return {};
}

bool NameTooLong(std::string_view path) {
    if (path.size() >= PATH_MAX) return true;
    for (const std::string& part : SplitComponents(path))
        if (part.size() > NAME_MAX) return true;
    return false;
}

std::string NameLimitsText() {
    return std::to_string(NAME_MAX) + " bytes for one name, " + std::to_string(PATH_MAX - 1) + " for a whole path";
}

std::string WithoutSlash(const std::string& folder) {
    return folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
}

bool SameEntry(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform
