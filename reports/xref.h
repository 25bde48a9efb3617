// The "Called Routines" cross reference: for every procedure of the loaded project, the source
// lines that call it, as the tree treRoutines (root, projects, routines, call sites), and the pUsed
// flag of every procedure for which a call was found.
//
// A line L calls a procedure named N when "@" & Trim(L) & "@" holds prefix & N & suffix for one of
// the eight call-site patterns, compared without regard to case ("@" stands for the start and the
// end of the line); lines that start with "'" are comments. A procedure whose header says Private
// is looked for only in its own file of its own project, every other one in every file. The search
// goes through a per-file index of words, with the literal pattern search kept for names that the
// index cannot answer; both give the same tree and the same flags. A call site is one row under its
// routine per calling file on disk and line: a module that several projects of a group list is
// searched for each of them, but its call sites are not repeated.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/host.h"
#include "engine/model.h"
#include "platform/fileio.h"
#include "engine/state.h"
#include "engine/usage.h"
#include "platform/text.h"

namespace reports {

// The eight (prefix, suffix) pairs, in the order they are tried.
inline constexpr std::array<std::string_view, 8> CallPrefixes = {" ", " ", "@", " ", "@", "@", ".", "."};
inline constexpr std::array<std::string_view, 8> CallSuffixes = {"(", " ", " ", "@", "(", "@", "(", " "};

// The first pattern (0 to 7) by which `line` calls `name`, or -1: the literal test.
int CallPattern(std::string_view line, std::string_view name);

// Whether the index of words can answer for `name`: one or more letters, digits, "_" or bytes
// above 0x7F, and a type character after them ("Calc$"). Other names go to the literal test.
bool IsIndexableCallName(std::string_view name);

// Calls f(foldedWord, line) once for every word that stands between the delimiters of a
// call-site pattern on a line from `codeStart` on (comment lines left out), in line order. An
// indexable name is called on a line exactly when its folded form is reported for that line.
void ForEachCallWord(platform::LineView lines, engine::LineIndex codeStart,
                     const std::function<void(std::string_view, engine::LineIndex)>& f);

// "<file name, 50 columns, cut>" & " - Line " & the line number right-aligned in 5 columns (wider
// when the number needs it).
std::string CallSiteText(std::string_view fileName, std::int32_t shownLine);
std::string LineNumberField(std::int32_t shownLine);

// Key of the root node of treRoutines; kNoNode when the tree is empty.
inline constexpr std::string_view kRoutinesRootKey = "Routines";
engine::NodeId RoutinesRootNode(const engine::Tree& tree);

struct XrefStats {
    double readSeconds = 0;    // reading the source files again
    double searchSeconds = 0;  // finding the call sites
    double treeSeconds = 0;    // turning them into nodes
    std::size_t files = 0, lines = 0;
    std::size_t routineNodes = 0, callSites = 0, usedProcedures = 0;
    std::vector<std::string> unreadable;  // native paths of files that could not be read
};

struct XrefOptions {
    engine::UsageSearch search = engine::UsageSearch::Indexed;
    // The run log is on: each search of a procedure in a file is written to it (twice, as the
    // status line and once more). When it is off the lines are not even built.
    bool logSearches = true;
    XrefStats* stats = nullptr;  // receives the times and counts, when given
};

// Builds treRoutines from state.model and the files on disk, sets pUsed and RoutinesMatched, and
// ends with the message box "Called Routines Elaspsed Time - hh:mm:ss" (naming any file that could
// not be read) or, after a cancel, an empty tree and "Called Routines Canceled - hh:mm:ss". The
// cancel flag itself is left for the caller to clear; ProjectChanged is never touched. The tool
// window disables its controls around the call and enables Cancel.
void MatchProcedures(engine::ToolState& state, engine::Host& host, const XrefOptions& options = {});

// One build of the cross reference; MatchProcedures runs the whole of it. Exposed for the steps'
// own names: MatchModuleProcedures scans one file list, ScanProcedures one file for the
// procedures of one map.
class CrossReference {
public:
    CrossReference(engine::ToolState& state, engine::Host& host, const XrefOptions& options);
    ~CrossReference();

    // Reads every listed file once and works out each procedure's scope from its header.
    void Prepare();
    void MatchModuleProcedures(engine::FileKind kind);
    void ScanProcedures(engine::ProcedureMap& procedures, std::size_t fileNumber, const std::string& kindWord);

    XrefStats& stats() { return stats_; }

private:
    struct FileText;
    struct Record;
    struct Match;

    FileText* Text(engine::FileKind kind, std::size_t index);
    bool Collect(std::size_t map, FileText& ft, std::vector<Match>& matches);  // false: cancelled
    bool Visible(const Record& r, const engine::clsFileInfo& file) const;
    engine::NodeId ProjectNode(const engine::clsProcedures& p);
    engine::NodeId RoutineNode(engine::NodeId project, const engine::clsProcedures& p, const std::string& kindWord);
    void LogSearches(std::size_t map, const FileText& ft);
    void Status(const std::string& fileName, const std::string& procName);  // on a time budget

    engine::ToolState& st_;
    engine::Host& host_;
    XrefOptions options_;
    engine::Pacer pacer_;
    XrefStats stats_;
    std::vector<std::unique_ptr<FileText>> files_;  // every listed file, modules, forms, classes
    std::size_t firstFile_[4] = {0, 0, 0, 0};
    std::vector<Record> records_;                // every procedure, in scan order
    std::size_t firstRecord_[4] = {0, 0, 0, 0};  // per map, and the end
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    // Folded name -> its records, ascending; and the same in one flat table for the word walk.
    std::unordered_map<std::string, std::vector<std::uint32_t>, NameHash, std::equal_to<>> byName_;
    struct NameSlot {
        std::uint64_t hash = 0;
        std::string_view name;
        const std::vector<std::uint32_t>* records = nullptr;
    };
    std::vector<NameSlot> nameSlots_;
    std::size_t SlotOf(std::uint64_t hash) const {
        return static_cast<std::size_t>((hash ^ (hash >> 29)) * 0xBF58476D1CE4E5B9ull >> 20) & (nameSlots_.size() - 1);
    }
    const std::vector<std::uint32_t>* RecordsNamed(std::string_view folded) const;
    std::vector<std::uint32_t> literalRecords_[3];  // per map: records the index cannot answer
    engine::NodeId root_ = engine::kNoNode;
    double lastStatus_ = -1;
};

}  // namespace reports
