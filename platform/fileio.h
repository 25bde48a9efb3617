// Whole-file reads, atomic whole-file writes and the line array of a user's file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Reads the whole file as bytes. False (and `out` empty) when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& out);

// Replaces `path` by `data` so that the old file is never seen half-written: the bytes go to a
// temporary file in the same folder, are flushed to disk, and the temporary file is renamed over
// `path`. On failure the old file is left as it was, the temporary file is removed and the answer
// is false (with a short reason in *why when given).
bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* why = nullptr);

// Writes all of `data` to an open file descriptor (retrying short writes). False on an error.
bool WriteAll(int fd, std::string_view data);

// Flushes a folder's entry list to disk (after a rename or a new file in it). Best effort.
void SyncFolder(const std::string& folder);

// A user's file as an array of lines. The file is split at CR LF; a file that holds no CR LF but
// holds LF is split at LF. Joining gives back the exact bytes: the ending in use, and a final line
// end only where the file had one (no empty line is added at the end).
struct LineArray {
    std::vector<std::string> lines;
    std::string eol = "\r\n";  // "\r\n" or "\n"
    bool finalEol = true;      // the last line is followed by eol
};

LineArray SplitLines(std::string_view data);
std::string JoinLines(const LineArray& text);

// Folder part of a native path including its final "/" ("" when there is none).
std::string FolderOf(std::string_view path);
// Name part of a native path.
std::string NameOf(std::string_view path);

}  // namespace platform
