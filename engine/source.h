// A source, project or group file as a line array, and the code offset of a source file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fingerprint.h"
#include "platform/fileio.h"

namespace engine {

using LineArray = platform::LineArray;  // lines, each with its own line end, and a UTF-8 mark kept aside

// The largest user file the program reads (a project, group or source file): Visual Basic 6
// files are far smaller; anything larger is refused with a message rather than read into memory.
inline constexpr std::uint64_t kMaxFileBytes = 64ull << 20;

// Reads a file whole into its line array (a line ends at CR LF, LF or CR, each kept; a UTF-8
// byte-order mark is kept aside; a file that is read and written back unchanged is
// byte-identical). Answers nothing when the file does not exist; throws EngineError, with a
// message that names the file, when it exists but is no regular file (a folder, a FIFO: never
// waited on), is larger than kMaxFileBytes, cannot be read, or is UTF-16 text. When the file's name
// (`listedName`, the name as the project lists it, or else the path) ends in ".frm", ".cls" or
// ".bas" in any letter case, `offset` becomes the code offset (see CodeOffset); otherwise it keeps
// the caller's value. `fingerprint`, when given, receives the fingerprint of the bytes read.
std::optional<LineArray> ReadSourceFile(const std::string& path, std::int32_t& offset,
                                        Fingerprint* fingerprint = nullptr, std::string_view listedName = {});

// A source file as the load reads it: one buffer with its lines (each keeps its own ending in the
// buffer) and the first line of its code.
class SourceText {
public:
    SourceText() = default;
    SourceText(platform::TextLines lines, std::int32_t codeStart) : lines_(std::move(lines)), codeStart_(codeStart) {}
    // For tests: lines given as strings, joined with CR LF.
    SourceText(const std::vector<std::string>& lines, std::int32_t codeStart = 0);
    const platform::TextLines& lines() const { return lines_; }
    std::int32_t codeStart() const { return codeStart_; }

private:
    platform::TextLines lines_;
    std::int32_t codeStart_ = 0;
};

// Reads a source file for the load, with the checks and messages of ReadSourceFile; the code
// offset is found as ReadSourceFile finds it (0 when there is none).
std::optional<SourceText> ReadSource(const std::string& path, std::string_view listedName,
                                     Fingerprint* fingerprint = nullptr);

// "64 MB": kMaxFileBytes for messages.
std::string MaxFileSizeText();

// Index of the first line after the file's attribute header: the first line after a run of lines
// whose first word is "Attribute" (a form's or class's VERSION line and Begin...End block before
// the run are passed over). Keeps `offset` when the file has no "Attribute" line, or ends inside
// the run.
void CodeOffset(platform::LineView lines, std::int32_t& offset);

// The name in the file's "Attribute VB_Name = "..."" line (a statement only its attribute header
// holds); "" when there is none.
std::string VbName(platform::LineView lines);

// The line's first word is "Attribute" (as written).
bool IsAttributeLine(std::string_view line);

// The last line of a procedure's header: its last physical header line `funcLineStart` and the
// "Attribute" lines that directly follow it (they belong to the header); for a header in a branch
// of a conditional-compilation block that holds alternative headers ("#If A Then", one header,
// "#Else", another header, "#End If"), the "#End If" that closes that block. The body starts after
// it and ends before `funcLineEnd` (the search also stops at an End Sub/Function/Property line).
std::int32_t HeaderEndLine(platform::LineView lines, std::int32_t funcLineStart, std::int32_t funcLineEnd);


}  // namespace engine
