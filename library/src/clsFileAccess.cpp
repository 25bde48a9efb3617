// clsFileAccess over a POSIX file descriptor. Problems go to the library's error log (when it is
// on) and the member returns; nothing throws.
#include <tovcore/clsFileAccess.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "library/src/modLog.h"

namespace tovcore {
namespace {

constexpr std::int64_t kUnixEpochAsFileTime = 116444736000000000LL;  // 1970-01-01 in 100 ns since 1601
// A read may ask for more than the file still holds (the rest comes back as 0), but not for more
// than this beyond it: larger counts are refused rather than allocated.
constexpr std::int64_t kMaxReadPastEnd = 1 << 20;

FILETIME ToFileTime(std::int64_t seconds, long nanoseconds) {
    const std::uint64_t ticks =
        static_cast<std::uint64_t>(kUnixEpochAsFileTime + seconds * 10000000LL + nanoseconds / 100);
    return FILETIME{static_cast<std::uint32_t>(ticks & 0xFFFFFFFFu), static_cast<std::uint32_t>(ticks >> 32)};
}

// A zero file time leaves that time as it is.
timespec ToTimespec(const FILETIME& ft) {
    const std::uint64_t ticks = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    timespec ts{};
    if (ticks == 0) {
        ts.tv_nsec = UTIME_OMIT;
        return ts;
    }
    const std::int64_t sinceEpoch = static_cast<std::int64_t>(ticks) - kUnixEpochAsFileTime;
    std::int64_t secs = sinceEpoch / 10000000LL;
    std::int64_t rest = sinceEpoch % 10000000LL;
    if (rest < 0) {
        rest += 10000000LL;
        --secs;
    }
    ts.tv_sec = static_cast<time_t>(secs);
    ts.tv_nsec = static_cast<long>(rest * 100);
    return ts;
}

std::string SystemErrorText(int code) {
    const char* text = std::strerror(code);
    return text && *text ? text : "Unknown Error.";
}

}  // namespace

clsFileAccess::~clsFileAccess() {
    if (handle_ != -1) ::close(handle_);
}

void clsFileAccess::LogFileError(std::int32_t number, const std::string& detail, int systemError) {
    const std::string system =
        systemError != 0 ? " - Error " + std::to_string(systemError) + " - " + SystemErrorText(systemError) : "";
    std::string text;
    switch (number) {
        case W32F_FILE_ALREADY_OPEN:
            text = "The file '" + detail + "' is already open." + system;
            break;
        case W32F_PROBLEM_OPENING_FILE:
            text = "Error opening '" + detail + "'." + system;
            break;
        case W32F_FILE_ALREADY_CLOSED:
            return;
        case W32F_FILE_NOT_OPEN:
            text = "Size can not be gotten on a closed file - " + detail;
            break;
        case W32F_Problem_seeking:
            text = "Seek Error. - " + detail;
            break;
        default:
            text = "Unknown error." + (detail.empty() ? std::string() : " - " + detail) + system;
            break;
    }
    detail::WriteErrorLog(text);
}

void clsFileAccess::CheckOpen() {
    if (handle_ == -1) LogFileError(W32F_FILE_ALREADY_CLOSED);
}

// A handle that is still open is closed when the new one replaces it (it could never be reached
// again).
std::int16_t clsFileAccess::OpenFile(std::string sFileName) {
    const int previous = handle_;
    if (previous != -1) LogFileError(W32F_FILE_ALREADY_OPEN, fileName_);
    handle_ = ::open(sFileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (handle_ == -1) LogFileError(W32F_PROBLEM_OPENING_FILE, sFileName, errno);
    if (previous != -1) ::close(previous);
    fileName_ = sFileName;
    return static_cast<std::int16_t>(std::min(handle_, 32767));
}

std::int16_t clsFileAccess::OpenFileReadOnly(std::string sFileName) {
    const int previous = handle_;
    if (previous != -1) LogFileError(W32F_FILE_ALREADY_OPEN, fileName_);
    handle_ = ::open(sFileName.c_str(), O_RDONLY | O_CLOEXEC);
    const int err = errno;
    if (handle_ != -1) {
        struct stat st {};
        if (::fstat(handle_, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(handle_);
            handle_ = -1;
        }
    }
    if (previous != -1) ::close(previous);
    fileName_ = sFileName;
    if (handle_ == -1) {
        LogFileError(W32F_PROBLEM_OPENING_FILE, sFileName, err == 0 ? EISDIR : err);
        return -1;
    }
    return 0;
}

void clsFileAccess::CloseFile() {
    CheckOpen();
    if (handle_ != -1) ::close(handle_);
    fileName_.clear();
    autoFlush_ = false;
    handle_ = -1;
}

double clsFileAccess::FileSize() {
    if (handle_ == -1) LogFileError(W32F_FILE_NOT_OPEN, fileName_);
    struct stat st {};
    if (::fstat(handle_, &st) != 0) return 0;
    return static_cast<double>(st.st_size);
}

std::vector<std::uint8_t> clsFileAccess::ReadBytes(std::int32_t ByteCount) {
    CheckOpen();
    std::int64_t remaining = 0;
    struct stat st {};
    const off_t pos = ::lseek(handle_, 0, SEEK_CUR);
    if (::fstat(handle_, &st) == 0 && pos >= 0) remaining = std::max<std::int64_t>(st.st_size - pos, 0);
    if (ByteCount < 0 || (ByteCount > remaining && ByteCount > kMaxReadPastEnd)) {
        LogFileError(W32F_UNKNOWN_ERROR, "Read of " + std::to_string(ByteCount) + " bytes from '" + fileName_ +
                                             "' refused.");
        return {};
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(ByteCount), 0);
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(handle_, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return data;
}

void clsFileAccess::WriteBytes(const std::vector<std::uint8_t>& DataBytes) {
    CheckOpen();
    std::size_t done = 0;
    while (done < DataBytes.size()) {
        const ssize_t n = ::write(handle_, DataBytes.data() + done, DataBytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (handle_ != -1) LogFileError(W32F_UNKNOWN_ERROR, "Error writing '" + fileName_ + "'.", errno);
            return;
        }
        done += static_cast<std::size_t>(n);
    }
    if (autoFlush_) Flush();
}

void clsFileAccess::Flush() {
    CheckOpen();
    if (::fsync(handle_) != 0 && handle_ != -1 && errno != EINVAL)
        LogFileError(W32F_UNKNOWN_ERROR, "Error writing '" + fileName_ + "'.", errno);
}

void clsFileAccess::SeekAbsolute(std::int32_t HighPos, std::int32_t LowPos) {
    CheckOpen();
    const std::uint64_t pos = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(HighPos)) << 32) |
                              static_cast<std::uint32_t>(LowPos);
    if (::lseek(handle_, static_cast<off_t>(pos), SEEK_SET) == -1 && handle_ != -1) {
        const int n = errno;
        LogFileError(W32F_Problem_seeking, "Error " + std::to_string(n) + ".\r\n" + std::to_string(n));
    }
}

void clsFileAccess::SeekRelative(std::int32_t Offset) {
    CheckOpen();
    if (::lseek(handle_, Offset, SEEK_CUR) == -1) {
        const int n = errno;
        if (n != 0) LogFileError(W32F_Problem_seeking, "Error " + std::to_string(n) + ".\r\n" + std::to_string(n));
    }
}

// The creation time cannot be changed here; the access and write times are set (a zero time
// leaves that time as it is).
std::int32_t clsFileAccess::ChangeFileTime(const FileDateTimeInfo& FileInfo) {
    const timespec times[2] = {ToTimespec(FileInfo.atime), ToTimespec(FileInfo.wtime)};
    return ::futimens(handle_, times) == 0 ? 1 : 0;
}

// The creation time is the file's birth time where the file system keeps one, else its last
// status change.
std::int32_t clsFileAccess::ReturnFileTime(FileDateTimeInfo& FileInfo) {
    struct statx sx {};
    if (::statx(handle_, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return 0;
    const auto conv = [](const statx_timestamp& t) { return ToFileTime(t.tv_sec, static_cast<long>(t.tv_nsec)); };
    FileInfo.ctime = (sx.stx_mask & STATX_BTIME) ? conv(sx.stx_btime) : conv(sx.stx_ctime);
    FileInfo.atime = conv(sx.stx_atime);
    FileInfo.wtime = conv(sx.stx_mtime);
    return 1;
}

}  // namespace tovcore
