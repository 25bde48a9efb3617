// Fuzz target: any bytes as a module of a project. The line array must give back the exact bytes,
// also after a line is inserted; the load must hold, with every procedure record inside the file;
// Add Code must keep every line of the file as it was (only its own lines added); numbering then
// removal must give back the file without numbers; numbering must keep the code compiling (no
// number on a line that continues a statement, none between a Select Case and its first Case nor
// on that Case, no number twice in a procedure, none that the author's line holds); and a numbered
// file, loaded again, must number to the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/addcode.h"
#include "engine/classify.h"
#include "engine/commit.h"
#include "engine/linenumbers.h"
#include "engine/loader.h"
#include "platform/fileio.h"
#include "tests/fuzz/fuzz_support.h"

using namespace engine;
using fuzz::Check;

namespace {

const std::string kPre = "\x01PRE\x01";
const std::string kPost = "\x01POST\x01";

void CheckLineArray(std::string_view bytes) {
    const LineArray t = platform::SplitLines(bytes);
    Check(platform::JoinLines(t) == bytes, "the line array joins back to the exact bytes");
    Check(t.lines.size() == t.ends.size(), "every line has its ending");
    for (std::size_t i = 0; i < t.lines.size(); ++i) {
        Check(t.lines[i].find_first_of("\r\n") == std::string::npos, "no line holds a line break");
        Check(t.ends[i] != platform::LineEnd::None || i + 1 == t.lines.size(), "only the last line may end without");
    }
    // A line inserted anywhere: the text splits back into the same lines, and taking the line out
    // again gives the lines there were.
    const std::size_t at = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % (t.lines.size() + 1);
    LineArray u = t;
    u.Insert(at, "INSERTED");
    const LineArray v = platform::SplitLines(platform::JoinLines(u));
    Check(v.lines == u.lines && v.ends == u.ends && v.bom == u.bom, "an inserted line splits back as it was");
    u.lines.erase(u.lines.begin() + static_cast<std::ptrdiff_t>(at));
    Check(u.lines == t.lines, "taking the inserted line out gives the lines there were");
}

struct Project {
    std::string folder = fuzz::ScratchFolder() + "source/";
    ToolState st;
    fuzz::FuzzHost host;
    const clsFileInfo* file = nullptr;
    const ProcedureList* procs = nullptr;

    bool Load(std::string_view module) {
        fuzz::EmptyFolder(folder);
        fuzz::WriteFile(folder + "App.vbp", "Type=Exe\r\nModule=m; m.bas\r\nStartup=\"(None)\"\r\n");
        fuzz::WriteFile(folder + "m.bas", module);
        fuzz::WriteFile(folder + "data/PreCode/P.PreCode", kPre);
        fuzz::WriteFile(folder + "data/PostCode/P.PostCode", kPost);
        return Reload();
    }
    bool Reload() {
        st = ToolState{};
        st.txtProject = folder + "App.vbp";
        st.ApplicationDataFolderLocal = folder + "data/";
        if (!LoadProject(st, host, host, false)) return false;
        Check(st.model.ModuleFiles().size() == 1, "the one module is listed");
        file = &st.model.ModuleFiles()[0];
        procs = st.model.ModuleProcedures().Find(file->fKey);
        return true;
    }
};

void CheckRecords(const ProcedureList& procs, std::size_t lineCount) {
    for (const clsProcedures& p : procs) {
        Check(p.pStart >= 0 && p.pStart <= p.pFuncLineStart, "a header starts where it ends or above");
        Check(p.pFuncLineStart < p.pFuncLineEnd, "the End line comes after the header");
        Check(static_cast<std::size_t>(p.pFuncLineEnd) < lineCount, "the End line is a line of the file");
    }
}

void CheckAddCode(Project& project, std::string_view bytes) {
    const LineArray original = platform::SplitLines(bytes);
    for (const std::string& line : original.lines)
        if (line == kPre || line == kPost) return;  // the file holds the inserted texts itself
    ChangeSet cs(project.st, project.host, SystemFileOps());
    AddCodeToFile(cs, *project.file, *project.procs, kPre, kPost);
    const PendingChange* change = cs.Find(project.file->fPath);
    if (change) {
        LineArray rewritten = platform::SplitLines(change->content);
        Check(rewritten.bom == original.bom, "the byte-order mark is kept");
        LineArray kept;
        kept.bom = rewritten.bom;
        std::size_t inserted = 0;
        for (std::size_t i = 0; i < rewritten.lines.size(); ++i) {
            if (rewritten.lines[i] == kPre || rewritten.lines[i] == kPost) {
                ++inserted;
                continue;
            }
            kept.Append(rewritten.lines[i], rewritten.ends[i]);
        }
        Check(platform::JoinLines(kept) == bytes, "Add Code keeps every line of the file with its own ending");
        Check(inserted <= 2 * project.procs->size(),
              "Add Code adds two lines per procedure at most");
    }
    DiscardPendingCopies(cs);
}

// The number numbering put in front of `numbered` (the line `plain` once numbered), or -1.
std::int64_t OurNumber(std::string_view plain, std::string_view numbered) {
    if (numbered.size() != plain.size() + 7 || numbered.substr(7) != plain || numbered[6] != ' ') return -1;
    std::int64_t v = 0;
    for (char c : numbered.substr(0, 6)) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// The number the author wrote in front of the statement that starts with `line`, or -1.
std::int64_t AuthorsNumber(std::string_view line) {
    const std::string_view t = platform::TrimWhite(line);
    if (t.empty() || t.front() < '0' || t.front() > '9' || WithoutLineLabel(t) == t) return -1;
    std::int64_t v = 0;
    for (std::size_t i = 0; i < t.size() && t[i] >= '0' && t[i] <= '9' && v < 1'000'000'000'000; ++i)
        v = v * 10 + (t[i] - '0');
    return v;
}

// The last statement of the code above body line j (blank lines, comments and directives passed
// over) is a Select Case: line j lies in the Select's head.
bool InSelectHead(const LineArray& plain, LineIndex begin, LineIndex j) {
    for (LineIndex k = j - 1; k >= begin;) {
        LineIndex first = k;
        const std::string statement = GetLogicalLine(plain, k, first, -1);
        if (statement.empty()) {
            k = first;
            continue;
        }
        if (first < begin) return false;
        const std::string code = StatementCode(statement);
        if (code.empty() || code.front() == '#') {
            k = first - 1;
            continue;
        }
        std::string_view last;
        for (std::string_view piece : SplitStatements(code))
            if (!piece.empty()) last = piece;
        Lexer lexer(WithoutLineLabel(last));
        Token select, kase;
        return lexer.Next(select) && IsWord(select, "Select") && lexer.Next(kase) && IsWord(kase, "Case");
    }
    return false;
}

// What numbering must never do to a procedure for the code to keep compiling.
void CheckCompiles(const ProcedureList& procs, const LineArray& plain, const LineArray& numbered) {
    for (const clsProcedures& p : procs) {
        if (p.pFuncLineEnd >= static_cast<LineIndex>(plain.lines.size())) continue;
        const LineIndex begin = HeaderEndLine(plain, p.pFuncLineStart, p.pFuncLineEnd) + 1;
        std::set<std::int64_t> authors;
        std::vector<std::int64_t> ours;
        for (LineIndex j = begin; j < p.pFuncLineEnd; ++j) {
            const auto at = static_cast<std::size_t>(j);
            const bool continues = j > begin && IsContinuedLine(plain.lines[at - 1]);
            if (!continues)
                if (const std::int64_t own = AuthorsNumber(plain.lines[at]); own >= 0) authors.insert(own);
            const std::int64_t number = OurNumber(plain.lines[at], numbered.lines[at]);
            if (number < 0) continue;
            ours.push_back(number);
            Check(!continues, "a line that continues a statement carries no number");
            Check(!InSelectHead(plain, begin, j), "no number between a Select Case and its first Case, nor on that Case");
        }
        for (std::int64_t n : ours) Check(!authors.count(n), "no number of ours is one the author's line holds");
        std::sort(ours.begin(), ours.end());
        Check(std::adjacent_find(ours.begin(), ours.end()) == ours.end(), "no number is given twice in a procedure");
    }
}

void CheckNumbering(Project& project, std::string_view bytes) {
    const DeclarationLines declarations(project.st.model.ModuleDefinitions());
    // The file without numbers: removal as often as it finds any (a line of its own may look like a
    // numbered one once the number in front of it is gone).
    LineArray plain = platform::SplitLines(bytes);
    const auto* fileDeclarations = declarations.For(*project.file);
    for (int pass = 0; pass < 8 && StripLineNumbers(*project.procs, plain, fileDeclarations); ++pass) {
    }
    if (StripLineNumbers(*project.procs, plain, fileDeclarations)) return;
    LineArray numbered = plain;
    std::int64_t counter = 10;
    AddLineNumbersToFile(*project.procs, numbered, declarations.For(*project.file), counter, 10, 2);
    Check(numbered.lines.size() == plain.lines.size() && numbered.ends == plain.ends,
          "numbering changes no line count and no line end");
    CheckCompiles(*project.procs, plain, numbered);
    LineArray again = numbered;
    StripLineNumbers(*project.procs, again, fileDeclarations);
    Check(platform::JoinLines(again) == platform::JoinLines(plain), "removal takes away what numbering put there");

    // Loaded again, the numbered file numbers to the same bytes.
    const std::string numberedBytes = platform::JoinLines(numbered);
    fuzz::WriteFile(project.folder + "m.bas", numberedBytes);
    if (!project.Reload() || !project.procs) return;
    const DeclarationLines declarations2(project.st.model.ModuleDefinitions());
    LineArray renumbered = platform::SplitLines(numberedBytes);
    counter = 10;
    AddLineNumbersToFile(*project.procs, renumbered, declarations2.For(*project.file), counter, 10, 2);
    Check(platform::JoinLines(renumbered) == numberedBytes, "numbering a numbered file again gives the same bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckLineArray(bytes);

    Project project;
    if (!project.Load(bytes)) return 0;  // refused with a message (UTF-16, ...): nothing more to see
    if (!project.procs) return 0;        // no procedure: nothing to rewrite
    CheckRecords(*project.procs, platform::SplitLines(bytes).lines.size());
    CheckAddCode(project, bytes);
    CheckNumbering(project, bytes);
    return 0;
}
