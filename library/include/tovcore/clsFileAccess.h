// clsFileAccess: one open file handle with byte reads and writes, seeks, size and file times.
// Problems are written to the library's error log and never raised; the object stays usable.
#pragma once

#include <tovcore/Export.h>

#include <cstdint>
#include <string>
#include <vector>

#include <tovcore/Types.h>

namespace tovcore {

class TOVCORE_EXPORT clsFileAccess {
public:
    clsFileAccess() = default;
    ~clsFileAccess();  // closes a file that is still open
    clsFileAccess(const clsFileAccess&) = delete;
    clsFileAccess& operator=(const clsFileAccess&) = delete;

    std::int32_t FileHandle() const { return handle_; }
    std::string Filename() const { return fileName_; }
    bool IsOpen() const { return handle_ != -1; }
    bool AutoFlush() const { return autoFlush_; }
    void AutoFlush(bool value) { autoFlush_ = value; }

    // Opens or creates the file for reading and writing; the handle (-1 on failure).
    std::int16_t OpenFile(std::string sFileName);
    // Opens an existing file for reading: 0, or -1 on failure.
    std::int16_t OpenFileReadOnly(std::string sFileName);
    void CloseFile();
    double FileSize();
    // ByteCount bytes from the current position; bytes past the end of the file are 0.
    std::vector<std::uint8_t> ReadBytes(std::int32_t ByteCount);
    void WriteBytes(const std::vector<std::uint8_t>& DataBytes);
    void Flush();
    void SeekAbsolute(std::int32_t HighPos, std::int32_t LowPos);
    void SeekRelative(std::int32_t Offset);
    // Non-zero on success.
    std::int32_t ChangeFileTime(const FileDateTimeInfo& FileInfo);
    std::int32_t ReturnFileTime(FileDateTimeInfo& FileInfo);

private:
    void LogFileError(std::int32_t number, const std::string& detail = "", int systemError = 0);
    void CheckOpen();

    std::int32_t handle_ = -1;
    std::string fileName_;
    bool autoFlush_ = false;
};

}  // namespace tovcore
