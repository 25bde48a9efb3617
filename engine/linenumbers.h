// Line numbering: every body line of every procedure of the loaded project that has a line to
// number gets a seven-column prefix, a six-digit number and a blank on a line that can carry a
// number, seven blanks on the others (a procedure with no such line is left as it is); prefixes
// that an earlier run wrote are removed first, so the command also renumbers. The removal command
// takes the prefixes away again. Both commit through the change set (commit.h); neither reloads
// the project (no line is added or removed, so the records stay right).
//
// A line gets no number when it is a local declaration, empty, a comment, a compiler directive
// ("#"), a label ("Retry:", "Cleanup: x = 1", or a line ending in ":"), when it starts with a line
// number of its own ("10 x = 1"), when it continues the statement above it (of any kind), or when
// it lies after a Select Case statement up to and including its first Case line (with the lines
// that continue it; not past the procedure's End line), wherever that statement stands: numbered
// or not, after a label or an author's number, after another statement and ":", on the first Case
// line of an outer Select (the compiler takes no statement or label there). Blanks and tabs in
// front of the line do not count. The Attribute lines that follow a header are never touched.
//
// Numbers are labels, so within a procedure none is given twice: where the next number is one the
// author wrote in front of a line of the procedure, the next free one at the increment is taken.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "engine/commit.h"
#include "engine/host.h"
#include "engine/model.h"
#include "engine/state.h"

namespace engine {

inline constexpr std::int64_t kHighestLineNumber = 999999;

// The local declaration lines of each file, from a definitions list: line indexes by project and
// file name (compared without regard to case).
class DeclarationLines {
public:
    explicit DeclarationLines(const DefinitionList& definitions);
    // The declaration lines of one file; nullptr when it has none.
    const std::unordered_set<LineIndex>* For(const clsFileInfo& file) const;

private:
    std::unordered_map<std::string, std::unordered_set<LineIndex>> lines_;
};

// The command: numbers every file of the project with state.LineIncrement and the scope
// state.ResequenceIndex (0 whole project, 1 each module/form/class, 2 each Sub/Function). A run
// whose numbers would pass 999999 is refused before anything is written. Sets RunMode 1.
void rtnAddLineNumbers(ToolState& state, Host& host, FileOps& files, RewriteStats* stats = nullptr);

// Removes the prefixes from every file of the project and commits with RunMode 2.
void rtnRemoveLineNumbers(ToolState& state, Host& host, FileOps& files, RewriteStats* stats = nullptr);

// Numbers one file in memory: strips its old prefixes, then prefixes every body line. `counter`
// is the next number (set to `increment` per file or per procedure by the scope); the answer is
// the highest number given (0 when none).
std::int64_t AddLineNumbersToFile(const ProcedureList& procedures, LineArray& text,
                                  const std::unordered_set<LineIndex>* declarations, std::int64_t& counter,
                                  std::int64_t increment, int scope);

// Removes the prefixes that line numbering wrote, from every procedure that carries them: the
// number, or the seven blanks, at the start of each body line. A procedure carries them when its
// prefixes are those numbering writes (a number only on a line that can carry one, seven blanks on
// the others, on most of its lines); a procedure with a line the author numbered by hand, and a line
// without a prefix (added since), are left as they are, so removal on a file that was never
// numbered changes nothing. `declarations`: the file's local declaration lines (DeclarationLines),
// when known. True when it removed any.
bool StripLineNumbers(const ProcedureList& procedures, LineArray& text,
                      const std::unordered_set<LineIndex>* declarations = nullptr);

}  // namespace engine
