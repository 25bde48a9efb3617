#include "platform/fileio.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
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

ReadStatus ReadFileBytes(const std::string& path, std::string& out, std::uint64_t limit) {
    out.clear();
    const auto failure = [](int e) {
        if (e == ENOENT || e == ENOTDIR) return ReadStatus::Missing;
        if (e == EACCES || e == EPERM) return ReadStatus::Denied;
        return ReadStatus::Failed;
    };
    // Only a regular file is opened at all; the open does not wait (a FIFO put in its place since
    // is seen by the fstat below, before anything is read).
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return failure(errno);
    if (!S_ISREG(st.st_mode)) return ReadStatus::NotRegular;
    if (static_cast<std::uint64_t>(st.st_size) > limit) return ReadStatus::TooLarge;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return failure(errno);
    ReadStatus status = ReadStatus::Ok;
    if (::fstat(fd, &st) != 0) status = ReadStatus::Failed;
    else if (!S_ISREG(st.st_mode)) status = ReadStatus::NotRegular;
    else if (static_cast<std::uint64_t>(st.st_size) > limit) status = ReadStatus::TooLarge;
    if (status == ReadStatus::Ok) {
        out.reserve(static_cast<std::size_t>(st.st_size));
        char buf[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0) {
                if (errno == EINTR) continue;
                status = failure(errno);
                break;
            }
            if (n == 0) break;
            if (out.size() + static_cast<std::size_t>(n) > limit) {  // it grew while being read
                status = ReadStatus::TooLarge;
                break;
            }
            out.append(buf, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    if (status != ReadStatus::Ok) out.clear();
    return status;
}

ReadStatus ProbeFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == EACCES || errno == EPERM) return ReadStatus::Denied;
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
    }
    return S_ISREG(st.st_mode) ? ReadStatus::Ok : ReadStatus::NotRegular;
}

bool ReadFileBytes(const std::string& path, std::string& out) {
    return ReadFileBytes(path, out, UINT64_MAX) == ReadStatus::Ok;
}

const char* ReadStatusText(ReadStatus status) {
    switch (status) {
        case ReadStatus::Ok: return "was read";
        case ReadStatus::Missing: return "does not exist";
        case ReadStatus::NotRegular: return "is not a regular file";
        case ReadStatus::TooLarge: return "is too large";
        case ReadStatus::Denied: return "cannot be read (permission denied)";
        case ReadStatus::Failed: break;
    }
    return "cannot be read";
}

namespace {

const char* KindOf(mode_t m) {
    if (S_ISREG(m)) return "a regular file";
    if (S_ISDIR(m)) return "a folder";
    if (S_ISFIFO(m)) return "a FIFO";
    if (S_ISCHR(m) || S_ISBLK(m)) return "a device";
    if (S_ISSOCK(m)) return "a socket";
    if (S_ISLNK(m)) return "a symbolic link";
    return "not a regular file";
}

}  // namespace

std::string EntryKindText(const std::string& path, bool followLinks) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno == ENAMETOOLONG) return "has a name longer than the system allows";
        return errno == EACCES || errno == EPERM ? "cannot be reached (permission denied)" : "does not exist";
    }
    if (!S_ISLNK(st.st_mode)) return std::string("is ") + KindOf(st.st_mode);
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) return "is a symbolic link that leads nowhere";
    if (followLinks) return std::string("is ") + KindOf(target.st_mode);
    if (S_ISREG(target.st_mode)) return "is a symbolic link";
    return std::string("is a symbolic link to ") + KindOf(target.st_mode);
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
    const std::string temp =
        folder + "." + NameOf(path) + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
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

std::string LinkTarget(const std::string& path) {
    std::string at = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(at.c_str(), buf, sizeof buf);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf) return "";
        std::string target(buf, static_cast<std::size_t>(n));
        if (target[0] != '/') target = FolderOf(at) + target;
        at = std::move(target);
    }
    return "";
}

std::string_view LineEndText(LineEnd end) {
    switch (end) {
        case LineEnd::Lf: return "\n";
        case LineEnd::Cr: return "\r";
        case LineEnd::CrLf: return "\r\n";
        case LineEnd::None: break;
    }
    return {};
}

void LineArray::Append(std::string line, LineEnd end) {
    lines.push_back(std::move(line));
    ends.push_back(end);
}

LineEnd LineArray::EndAfter(std::size_t i) const {
    // The line's own ending; for a last line without one, or before the first line, the nearest
    // ending there is; CR LF in a file without any.
    if (i != static_cast<std::size_t>(-1)) {
        if (i < ends.size() && ends[i] != LineEnd::None) return ends[i];
        for (std::size_t k = std::min(i, ends.size()); k-- > 0;)
            if (ends[k] != LineEnd::None) return ends[k];
    }
    for (LineEnd e : ends)
        if (e != LineEnd::None) return e;
    return LineEnd::CrLf;
}

void LineArray::Insert(std::size_t at, std::string line) {
    at = std::min(at, lines.size());
    LineEnd end;
    if (at == 0) {
        end = lines.empty() ? LineEnd::None : EndAfter(static_cast<std::size_t>(-1));
    } else if (ends[at - 1] == LineEnd::None) {
        // After the last line, which has no ending: it gets one, the new line is the last.
        ends[at - 1] = EndAfter(at - 1);
        end = LineEnd::None;
    } else {
        end = ends[at - 1];
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    ends.insert(ends.begin() + static_cast<std::ptrdiff_t>(at), end);
}

LineArray SplitLines(std::string_view data) {
    LineArray text;
    if (data.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.bom = true;
        data.remove_prefix(kUtf8Bom.size());
    }
    std::size_t pos = 0;
    const std::size_t n = data.size();
    while (pos < n) {
        std::size_t hit = pos;
        while (hit < n && data[hit] != '\r' && data[hit] != '\n') ++hit;
        if (hit == n) {
            text.Append(std::string(data.substr(pos)), LineEnd::None);
            break;
        }
        LineEnd end = data[hit] == '\n' ? LineEnd::Lf : LineEnd::Cr;
        std::size_t next = hit + 1;
        if (end == LineEnd::Cr && next < n && data[next] == '\n') {
            end = LineEnd::CrLf;
            ++next;
        }
        text.Append(std::string(data.substr(pos, hit - pos)), end);
        pos = next;
    }
    return text;
}

TextLines::TextLines(std::string bytes) : bytes_(std::move(bytes)) {
    std::size_t pos = 0;
    const std::size_t n = bytes_.size();
    if (std::string_view(bytes_).substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bom_ = true;
        pos = kUtf8Bom.size();
    }
    if (pos == n) return;
    starts_.reserve(n / 32 + 2);
    const char* data = bytes_.data();
    std::size_t lf = 0;  // the next LF at or after pos (n: none)
    bool lfKnown = false;
    while (pos < n) {
        starts_.push_back(static_cast<std::uint32_t>(pos));
        if (!lfKnown || lf < pos) {
            const void* hit = std::memchr(data + pos, '\n', n - pos);
            lf = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : n;
            lfKnown = true;
        }
        // A CR before that LF ends the line (a CR right before the LF belongs to it).
        const void* cr = std::memchr(data + pos, '\r', lf - pos);
        if (cr) {
            const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
            pos = at + 1 < n && data[at + 1] == '\n' ? at + 2 : at + 1;
        } else {
            pos = lf < n ? lf + 1 : n;
        }
    }
    starts_.push_back(static_cast<std::uint32_t>(n));
}

std::string_view TextLines::operator[](std::size_t i) const {
    std::size_t b = starts_[i], e = starts_[i + 1];
    // The text of a line holds no CR or LF: what ends it is its ending.
    if (e > b && bytes_[e - 1] == '\n') --e;
    if (e > b && bytes_[e - 1] == '\r') --e;
    return std::string_view(bytes_).substr(b, e - b);
}

LineEnd TextLines::End(std::size_t i) const {
    const std::size_t b = starts_[i], e = starts_[i + 1];
    if (e > b && bytes_[e - 1] == '\n') return e - 1 > b && bytes_[e - 2] == '\r' ? LineEnd::CrLf : LineEnd::Lf;
    if (e > b && bytes_[e - 1] == '\r') return LineEnd::Cr;
    return LineEnd::None;
}

std::string_view TextLines::Bytes(std::size_t first, std::size_t last) const {
    if (first >= last) return {};
    return std::string_view(bytes_).substr(starts_[first], starts_[last] - starts_[first]);
}

LineArray TextLines::ToLineArray() const {
    LineArray text;
    text.bom = bom_;
    text.lines.reserve(size());
    text.ends.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) text.Append(std::string((*this)[i]), End(i));
    return text;
}

std::string JoinLines(const LineArray& text) {
    std::size_t size = text.bom ? kUtf8Bom.size() : 0;
    for (std::size_t i = 0; i < text.lines.size(); ++i) size += text.lines[i].size() + 2;
    std::string out;
    out.reserve(size);
    if (text.bom) out += kUtf8Bom;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        out += text.lines[i];
        if (i < text.ends.size()) out += LineEndText(text.ends[i]);
    }
    return out;
}

bool LooksLikeUtf16(std::string_view data) {
    if (data.size() >= 2 && ((data[0] == '\xFF' && data[1] == '\xFE') || (data[0] == '\xFE' && data[1] == '\xFF')))
        return true;
    // Without a mark: the first characters are ASCII with a zero byte beside each (either order).
    const std::size_t n = std::min<std::size_t>(data.size() & ~std::size_t{1}, 64);
    if (n < 4) return false;
    bool le = true, be = true;
    for (std::size_t i = 0; i < n; i += 2) {
        const bool lowZero = data[i] == '\0', highZero = data[i + 1] == '\0';
        le = le && !lowZero && highZero;
        be = be && lowZero && !highZero;
    }
    return le || be;
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
