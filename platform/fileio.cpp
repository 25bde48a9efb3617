#include "platform/fileio.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

void SetWhy(std::string* why, const std::string& what) {
    if (why) *why = what + ": " + std::strerror(errno);
}


}  // namespace

bool WriteAll(int fd, std::string_view data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadFileBytes(const std::string& path, std::string& out) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    out.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            out.clear();
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* why) {
    static std::atomic<unsigned> counter{0};
    const std::string folder = FolderOf(path);
    const std::string temp = folder + "." + NameOf(path) + ".tmp-" + std::to_string(::getpid()) + "-" +
                             std::to_string(counter.fetch_add(1));
    // Keep the permission bits of the file being replaced.
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;

    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        SetWhy(why, "cannot create " + temp);
        return false;
    }
    if (!WriteAll(fd, data) || ::fsync(fd) != 0) {
        SetWhy(why, "cannot write " + temp);
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    if (::close(fd) != 0) {
        SetWhy(why, "cannot close " + temp);
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        SetWhy(why, "cannot rename over " + path);
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

LineArray SplitLines(std::string_view data) {
    LineArray text;
    if (data.empty()) {
        text.finalEol = false;
        return text;
    }
    const bool crlf = data.find("\r\n") != std::string_view::npos;
    if (!crlf && data.find('\n') != std::string_view::npos) text.eol = "\n";
    const std::string_view eol = text.eol;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = data.find(eol, pos);
        if (hit == std::string_view::npos) {
            text.lines.emplace_back(data.substr(pos));
            text.finalEol = false;
            break;
        }
        text.lines.emplace_back(data.substr(pos, hit - pos));
        pos = hit + eol.size();
        if (pos == data.size()) {
            text.finalEol = true;
            break;
        }
    }
    return text;
}

std::string JoinLines(const LineArray& text) {
    std::size_t size = 0;
    for (const auto& l : text.lines) size += l.size() + text.eol.size();
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        out += text.lines[i];
        if (i + 1 < text.lines.size() || text.finalEol) out += text.eol;
    }
    return out;
}

std::string FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(0, slash + 1));
}

std::string NameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace platform
