// Whole-file reads, atomic whole-file writes and the line array of a user's file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Why a whole-file read gave nothing.
enum class ReadStatus {
    Ok,
    Missing,     // nothing at the path
    NotRegular,  // a folder, a FIFO, a device, a socket: never opened for reading, never waited on
    TooLarge,    // larger than the limit asked for
    Denied,      // permission denied
    Failed,      // any other error
};

// Reads the whole file as bytes, when it is a regular file of at most `limit` bytes. The file is
// opened without blocking (a FIFO in its place answers NotRegular at once). `out` is empty unless
// the answer is Ok.
ReadStatus ReadFileBytes(const std::string& path, std::string& out, std::uint64_t limit);
// The same without a limit: true for Ok.
bool ReadFileBytes(const std::string& path, std::string& out);

// What a read of `path` would meet, from the entry alone (nothing is opened): Missing, NotRegular,
// Denied (a folder on the way may not be entered) or Ok.
ReadStatus ProbeFile(const std::string& path);

// A short text for a status other than Ok ("is not a regular file", ...).
const char* ReadStatusText(ReadStatus status);

// What stands at `path`, said as it is, to follow a name in a message: "is a symbolic link" (with
// what it leads to when that is no regular file: "is a symbolic link to a FIFO", "is a symbolic
// link that leads nowhere"), "is a FIFO", "is a folder", "is a device", "is a socket", "is a
// regular file", "does not exist". With `followLinks` the entry a link leads to is described.
std::string EntryKindText(const std::string& path, bool followLinks = false);

// Replaces `path` by `data` so that the old file is never seen half-written: the bytes go to a
// temporary file in the same folder, are flushed to disk, and the temporary file is renamed over
// `path`. On failure the old file is left as it was, the temporary file is removed and the answer
// is false (with a short reason in *why when given).
bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* why = nullptr);

// Writes all of `data` to an open file descriptor (retrying short writes). False on an error.
bool WriteAll(int fd, std::string_view data);

// Flushes a folder's entry list to disk (after a rename or a new file in it). Best effort.
void SyncFolder(const std::string& folder);

// How a line of a user's file ends: at CR LF, at LF, at CR, or not at all (only the last line).
enum class LineEnd : std::uint8_t { None, Lf, Cr, CrLf };

std::string_view LineEndText(LineEnd end);

// A user's file as an array of lines, each with its own ending, so that a file with mixed endings
// (code pasted from a Linux editor into a Windows file) joins back to the exact bytes. A UTF-8
// byte-order mark at the start is kept aside, not read as text.
struct LineArray {
    std::vector<std::string> lines;
    std::vector<LineEnd> ends;  // ends[i] ends lines[i]; only the last line may have none
    bool bom = false;           // the file starts with EF BB BF

    std::size_t size() const { return lines.size(); }
    // Appends a line with its own ending.
    void Append(std::string line, LineEnd end);
    // Inserts `line` before line `at`; it ends as the line it follows does. Inserted after a last
    // line that has no ending, that line gets the ending of the lines before it (CR LF when it
    // stands alone) and the new line becomes the last, without one: no rewrite adds a line end at
    // the end of a file.
    void Insert(std::size_t at, std::string line);
    // The ending that a line inserted after line `i` would get (for line breaks inside inserted
    // text); line -1 (npos) stands for "before the first line".
    LineEnd EndAfter(std::size_t i) const;
};

// Splits at every CR LF, LF and CR.
LineArray SplitLines(std::string_view data);

// A user's file as read: one buffer, and where each line starts. A line is a view of the buffer
// without its ending; the ending stays in the buffer (a file is never copied line by line). A
// UTF-8 byte-order mark at the start is kept aside, not read as text. Lines end as SplitLines
// finds them.
class TextLines {
public:
    TextLines() = default;
    explicit TextLines(std::string bytes);

    std::size_t size() const { return starts_.empty() ? 0 : starts_.size() - 1; }
    bool empty() const { return size() == 0; }
    // Line i without its ending.
    std::string_view operator[](std::size_t i) const;
    LineEnd End(std::size_t i) const;
    // Lines [first, last) as the file holds them, endings included.
    std::string_view Bytes(std::size_t first, std::size_t last) const;
    // The whole file, byte-order mark included.
    const std::string& bytes() const { return bytes_; }
    bool bom() const { return bom_; }
    // A copy of the lines to edit.
    LineArray ToLineArray() const;

private:
    std::string bytes_;
    std::vector<std::uint32_t> starts_;  // starts_[i]: the first byte of line i; the last: the end
    bool bom_ = false;
};

// A read-only view of a file's lines, of a TextLines or of an array of strings: what the readers of
// Visual Basic text take.
class LineView {
public:
    LineView(const TextLines& text) : text_(&text), size_(text.size()) {}
    LineView(const std::vector<std::string>& lines) : strings_(lines.data()), size_(lines.size()) {}
    LineView(const LineArray& text) : LineView(text.lines) {}

    std::size_t size() const { return size_; }
    std::string_view operator[](std::size_t i) const { return strings_ ? std::string_view(strings_[i]) : (*text_)[i]; }

    class iterator {
    public:
        iterator(const LineView* v, std::size_t i) : v_(v), i_(i) {}
        std::string_view operator*() const { return (*v_)[i_]; }
        iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator!=(const iterator& o) const { return i_ != o.i_; }

    private:
        const LineView* v_;
        std::size_t i_;
    };
    iterator begin() const { return iterator(this, 0); }
    iterator end() const { return iterator(this, size_); }

private:
    const TextLines* text_ = nullptr;
    const std::string* strings_ = nullptr;
    std::size_t size_ = 0;
};
std::string JoinLines(const LineArray& text);

// The UTF-8 byte-order mark.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The bytes look like UTF-16 text: a UTF-16 byte-order mark, or ASCII text with a zero byte beside
// every character.
bool LooksLikeUtf16(std::string_view data);

// Folder part of a native path including its final "/" ("" when there is none).
std::string FolderOf(std::string_view path);

// The file that a chain of symbolic links starting at `path` ends at (a relative link is read from
// the link's own folder); `path` itself when it is no link. "" for a chain that does not end (a
// loop, or more than 40 links).
std::string LinkTarget(const std::string& path);
// Name part of a native path.
std::string NameOf(std::string_view path);

}  // namespace platform
