// The line classifier: the line-type mask of a statement, logical lines over continued physical
// lines, the code of a statement without strings and comments, and the per-line step of the
// scanner that opens and fills procedure records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/lexer.h"
#include "engine/model.h"
#include "platform/fileio.h"

namespace engine {

// The line-type mask of a statement, by whole-string keyword removals: keywords count anywhere,
// also inside strings, comments and longer words.
// Consumes its argument: on return it holds what is left after the removals. The cross
// reference, the line numbering and the reports may rely on these masks; the scanner uses
// GetCodeLineType instead.
std::int32_t GetLineType(std::string& statement);

// The same steps on the code of a statement (StatementCode), with keywords counted only where
// they stand as whole words: not inside a longer name (bSub, SetTextProperty), not after "." (a
// member) or "#" (a compiler directive). The header bits (Sub, Function, Property) are those of a
// statement that ProcedureHeaderOf finds, and the End bit needs a statement that starts with End
// Sub, End Function or End Property: "Property" as a parameter, a variable or a member opens
// nothing. Declare and WithEvents statements keep their bits.
std::int32_t GetCodeLineType(std::string code);

// A procedure header at the start of a statement of `code` (the code of a logical line, as
// StatementCode gives it): optional Public, Private, Friend or Global, optional Static, then Sub,
// Function, or Property Get, Let or Set, then the name. Statements are separated by ":", and a
// line number or label in front of one is passed over. Keywords are matched in any letter case.
struct ProcedureHeader {
    std::int32_t kind = 0;   // mask::kSub, kFunction or kProperty; 0 when no statement is a header
    std::string_view scope;  // the scope word as written ("Private"), or empty
    std::string_view name;   // the name as written, with a type sign ("Calc$"); views into `code`
};
ProcedureHeader ProcedureHeaderOf(std::string_view code);

// Some statement of `code` starts with End Sub, End Function or End Property.
bool EndsProcedure(std::string_view code);

// The code of a statement: every string literal becomes "", a comment (from a "'" outside a
// string, or a Rem statement) is removed, and the rest is trimmed.
std::string StatementCode(std::string_view statement);

// The statement without a line number or a line label in front of it ("000010 Dim s", "10: x = 1",
// "Retry: Dim s"): the text from the first character of the statement proper.
std::string_view WithoutLineLabel(std::string_view statement);

// The logical statement at line `index`. Direction -1: the statement ends at `index` and its
// continued lines lie above; `first` receives its first physical line. Direction 1: it starts at
// `index`; `first` receives its last physical line. The pieces are trimmed, lose their " _" and are
// joined with one blank; the walk stops at the ends of the array. An empty line gives "" (and
// `first` = index + direction).
std::string GetLogicalLine(platform::LineView lines, LineIndex index, LineIndex& first, int direction);

// State of one scanner walk shared with ClassifyLine.
struct ClassifierState {
    // The walk (upwards) has met the End line of a procedure and not yet its header.
    bool InProcedure = false;
};

// One step of the upward scanner walk at line `index`. Comment lines and empty lines give 0 and
// change nothing. Otherwise the statement that ends at `index` is joined, returned in `statement`,
// and classified by its code (GetCodeLineType; at module level a Private/Public/Global variable
// declaration also counts as a definition, mask 0x24); an End line appends a new record to `procs`
// (and sets `record` to it), a header inside an open record fills it; `index` moves to the
// statement's first physical line. Returns the mask.
std::int32_t ClassifyLine(ProcedureList& procs, platform::LineView lines, LineIndex& index, std::int32_t& record,
                          std::string& statement, ClassifierState& state);

// A header statement without its keywords ("Public ", "Private ", "Friend ", "Static ", "Sub ",
// "Function ", "Declare ", "Property ", "Let ", "Get ", "Set ", as whole words): the name comes first.
std::string StripProcedureKeywords(std::string_view header);

// "Function", "Sub", "Property" or "" for a mask.
std::string GetProcedureType(std::int32_t mask);

}  // namespace engine
