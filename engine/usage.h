// Finding uses of declared names: the usage delimiters, the literal search of the original tool,
// and the per-file word index that answers the same question without walking every line for every
// name.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/model.h"

namespace engine {

// The fourteen (prefix, suffix) pairs: a name N is used in a statement S when "@" & S & "@"
// contains prefix & N & suffix for one of them ("@" stands for the start and the end of S).
inline constexpr std::array<std::string_view, 14> UsagePrefixes = {"(", " ", "@", " ", "(", " ", " ",
                                                                   "(", ".", ".", ".", ".", " ", " "};
inline constexpr std::array<std::string_view, 14> UsageSuffixes = {")", " ", " ", "@", ",", ",", ".",
                                                                   ".", ")", ",", "@", " ", "(", ")"};

// The literal test, case-sensitive, pairs tried in table order.
bool StatementUsesName(std::string_view statement, std::string_view name);

// How the usage checks search: through the per-file word index (the answers of the literal search,
// faster), or literally line by line (the reference).
enum class UsageSearch { Indexed, Literal };

// Each statement of a file once (GetLogicalLine, direction 1, from its first line; a continued
// statement is one statement; empty statements and comments left out), and the index of its
// words: for every word that stands in a statement between one of the delimiter pairs, the first
// lines of the statements where it does.
class FileUsageIndex {
public:
    explicit FileUsageIndex(const std::vector<std::string>& lines);

    // Names the index answers: one or more word characters (letters, digits, "_", bytes above
    // 0x7F). Any other name goes to the literal search.
    static bool IsIndexableName(std::string_view name);

    // Ascending line indexes whose statement uses `name`; nullptr when there is none.
    const std::vector<LineIndex>* Hits(std::string_view name) const;

    // Every indexed word with its lines (no particular order).
    template <typename F>
    void ForEachWord(F&& f) const {
        for (const auto& [word, lines] : hits_) f(std::string_view(word), lines);
    }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, std::vector<LineIndex>, Hash, std::equal_to<>> hits_;
};

// The lines of one source file as the load read them, with its word index made on first use.
class SourceText {
public:
    explicit SourceText(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    const std::vector<std::string>& lines() const { return lines_; }
    const FileUsageIndex& Index() const;

private:
    std::vector<std::string> lines_;
    mutable std::unique_ptr<FileUsageIndex> index_;
};

// Whether definition `d` is used in the body of procedure `p` (lines strictly between its header
// and its End line, without the lines in `declarationLines`, which must be sorted): sets d.Used.
void FindDefinitionUsage(clsDefinitions& d, const clsProcedures& p, const std::vector<LineIndex>& declarationLines,
                         const SourceText& source, UsageSearch search);

// The name that the usage search looks for: the declared name without a type suffix; for an array
// the name before its bounds; for a member of a Type or Enum the member name after the block name;
// for an API declaration the declared procedure name.
std::string DefinitionSearchName(const clsDefinitions& d);

// The name declared by a Declare statement: the word after "Sub" or "Function".
std::string DeclaredApiName(std::string_view declareStatement);

}  // namespace engine
