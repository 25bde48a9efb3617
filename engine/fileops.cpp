#include "engine/fileops.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "platform/fileio.h"

namespace engine {
namespace {

bool WriteFile(const std::string& path, std::string_view data, std::uint32_t mode, bool exclusive, bool flush = false) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (exclusive ? O_EXCL : O_TRUNC);
    const int fd = ::open(path.c_str(), flags, static_cast<mode_t>(mode & 07777));
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && platform::WriteAll(fd, data);
    // An existing file keeps its own bits through O_TRUNC; give it the ones asked for.
    if (ok && (st.st_mode & 07777) != (mode & 07777)) ok = ::fchmod(fd, static_cast<mode_t>(mode & 07777)) == 0;
    if (ok && flush) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    return ok;
}

class SystemOps : public FileOps {
public:
    bool Exists(const std::string& path) override {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0;
    }
    bool Stat(const std::string& path, FileStat& out) override {
        struct stat st {};
        out = FileStat{};
        if (::lstat(path.c_str(), &st) != 0) return false;
        out.regular = S_ISREG(st.st_mode);
        out.directory = S_ISDIR(st.st_mode);
        out.symlink = S_ISLNK(st.st_mode);
        out.mode = st.st_mode & 07777;
        out.size = static_cast<std::uint64_t>(st.st_size);
        out.owner = static_cast<std::uint32_t>(st.st_uid);
        return true;
    }
    bool Read(const std::string& path, std::string& out) override { return platform::ReadFileBytes(path, out); }
    bool Write(const std::string& path, std::string_view data, std::uint32_t mode) override {
        return WriteFile(path, data, mode, false);
    }
    bool Flush(const std::string& path) override {
        const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool ok = ::fsync(fd) == 0;
        return ::close(fd) == 0 && ok;
    }
    bool FlushAll(const std::vector<std::string>& paths) override {
        // One syncfs per disk flushes everything written to it: far quicker than one fsync per
        // file when a rewrite wrote hundreds of them.
        std::set<dev_t> done;
        for (const std::string& p : paths) {
            const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
            if (fd < 0) return false;
            struct stat st {};
            bool ok = ::fstat(fd, &st) == 0;
            if (ok && done.insert(st.st_dev).second) ok = ::syncfs(fd) == 0;
            ::close(fd);
            if (!ok) return false;
        }
        return true;
    }
    bool LinkOrCopy(const std::string& from, const std::string& to) override {
        if (::link(from.c_str(), to.c_str()) == 0) return true;
        if (errno == EEXIST) return false;
        struct stat st {};
        std::string data;
        if (::lstat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !platform::ReadFileBytes(from, data))
            return false;
        if (WriteFile(to, data, st.st_mode & 07777, true, true)) return true;
        ::unlink(to.c_str());
        return false;
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0;
    }
    bool Exchange(const std::string& a, const std::string& b) override {
        return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
    }
    bool Remove(const std::string& path) override { return ::remove(path.c_str()) == 0; }
    bool MakeFolder(const std::string& path) override {
        if (::mkdir(path.c_str(), 0777) == 0) return true;
        struct stat st {};
        return errno == EEXIST && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    bool SetMode(const std::string& path, std::uint32_t mode) override {
        return ::fchmodat(AT_FDCWD, path.c_str(), static_cast<mode_t>(mode & 07777), AT_SYMLINK_NOFOLLOW) == 0;
    }
};

}  // namespace

bool FileOps::List(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return false;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
    return true;
}

std::uint32_t CurrentUser() { return static_cast<std::uint32_t>(::geteuid()); }

FileOps& SystemFileOps() {
    static SystemOps ops;
    return ops;
}

bool MakeFolders(FileOps& files, const std::string& base, const std::string& folder) {
    std::string f = folder;
    if (!f.empty() && f.back() != '/') f += '/';
    if (f.size() < base.size() || f.compare(0, base.size(), base) != 0) return false;
    for (std::size_t pos = base.size(); pos < f.size();) {
        const std::size_t slash = f.find('/', pos);
        const std::string step = f.substr(0, slash);
        FileStat st;
        if (!(files.Stat(step, st) && st.directory) && !files.MakeFolder(step)) return false;
        pos = slash + 1;
    }
    return true;
}

}  // namespace engine
