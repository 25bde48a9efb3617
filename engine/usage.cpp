#include "engine/usage.h"

#include <algorithm>

#include "engine/classify.h"
#include "engine/lexer.h"
#include "platform/text.h"

namespace engine {
namespace {

constexpr PairTable kUsagePairs(UsagePrefixes, UsageSuffixes);

}  // namespace

bool StatementUsesName(std::string_view statement, std::string_view name) {
    std::string line;
    line.reserve(statement.size() + 2);
    line += '@';
    line += statement;
    line += '@';
    std::string pattern;
    for (std::size_t i = 0; i < UsagePrefixes.size(); ++i) {
        pattern.assign(UsagePrefixes[i]);
        pattern += name;
        pattern += UsageSuffixes[i];
        if (line.find(pattern) != std::string::npos) return true;
    }
    return false;
}

bool FileUsageIndex::IsIndexableName(std::string_view name) {
    if (name.empty()) return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return IsWordChar(c); });
}

FileUsageIndex::FileUsageIndex(const std::vector<std::string>& lines) {
    std::string x;
    const auto n = static_cast<LineIndex>(lines.size());
    LineIndex next = 0;
    for (LineIndex k = 0; k < n; k = next) {
        // Each statement once, under its first line, as the literal search reads it.
        std::string_view s;
        std::string joined;
        next = k + 1;
        if (IsContinuedLine(lines[k])) {
            LineIndex last = k;
            joined = GetLogicalLine(lines, k, last, 1);
            next = last + 1;
            s = joined;
        } else {
            s = platform::Trim(lines[k]);
        }
        if (s.empty() || s.front() == '\'') continue;
        x.assign(1, '@');
        x += s;
        x += '@';
        ForEachWordRun(x, [&](std::size_t i, std::size_t j) {
            if (!kUsagePairs.Allows(x[i - 1], x[j])) return;
            const std::string_view word(x.data() + i, j - i);
            auto it = hits_.find(word);
            if (it == hits_.end()) it = hits_.emplace(std::string(word), std::vector<LineIndex>{}).first;
            if (it->second.empty() || it->second.back() != k) it->second.push_back(k);
        });
    }
}

const std::vector<LineIndex>* FileUsageIndex::Hits(std::string_view name) const {
    const auto it = hits_.find(name);
    return it == hits_.end() ? nullptr : &it->second;
}

const FileUsageIndex& SourceText::Index() const {
    if (!index_) index_ = std::make_unique<FileUsageIndex>(lines_);
    return *index_;
}

void FindDefinitionUsage(clsDefinitions& d, const clsProcedures& p, const std::vector<LineIndex>& declarationLines,
                         const SourceText& source, UsageSearch search) {
    if (d.Used) return;
    const std::string name = DefinitionSearchName(d);
    const auto& lines = source.lines();
    const LineIndex from = p.pFuncLineStart + 1;
    const LineIndex to = std::min<LineIndex>(p.pFuncLineEnd - 1, static_cast<LineIndex>(lines.size()) - 1);
    auto declared = [&](LineIndex k) {
        return std::binary_search(declarationLines.begin(), declarationLines.end(), k);
    };

    if (search == UsageSearch::Indexed && FileUsageIndex::IsIndexableName(name)) {
        const std::vector<LineIndex>* hits = source.Index().Hits(name);
        if (!hits) return;
        for (auto it = std::lower_bound(hits->begin(), hits->end(), from); it != hits->end() && *it <= to; ++it) {
            if (declared(*it)) continue;
            d.Used = true;
            return;
        }
        return;
    }
    LineIndex next = 0;
    for (LineIndex k = std::max<LineIndex>(from, 0); k <= to; k = next) {
        // Statement by statement: a statement continued over many lines is read once.
        next = k + 1;
        if (declared(k)) continue;
        LineIndex last = k;
        const std::string s = GetLogicalLine(lines, k, last, 1);
        if (s.empty()) continue;
        next = std::max(last, k) + 1;
        if (s.front() == '\'') continue;
        if (StatementUsesName(s, name)) {
            d.Used = true;
            return;
        }
    }
}

std::string DeclaredApiName(std::string_view statement) {
    // The name follows "Sub" or "Function", before the first "(", string or comment.
    Lexer lexer(statement);
    std::string_view previous;
    for (Token t; lexer.Next(t);) {
        if (t.kind == TokenKind::String || t.kind == TokenKind::Comment || t.text == "(") break;
        if (previous == "Sub" || previous == "Function") return std::string(t.text);
        previous = t.text;
    }
    return {};
}

std::string DefinitionSearchName(const clsDefinitions& d) {
    if (d.DefType & mask::kDeclare) return DeclaredApiName(d.Line);
    std::string_view n = d.Variable;
    // A member of a Type or Enum block is used under its own name (".X", or the bare Enum name).
    if ((d.DefType & (mask::kEndType | mask::kEndEnum)) && d.Defined != "Type" && d.Defined != "Enum") {
        const std::size_t dot = n.find('.');
        if (dot != std::string_view::npos) n = n.substr(dot + 1);
    }
    // An array is used with any index: search the name before its bounds.
    const std::size_t paren = n.find('(');
    if (paren != std::string_view::npos) n = n.substr(0, paren);
    return std::string(platform::Trim(n));
}

}  // namespace engine
