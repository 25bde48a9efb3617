#include "reports/xref.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "engine/classify.h"
#include "engine/lexer.h"
#include "engine/source.h"
#include "platform/paths.h"

namespace reports {

using engine::clsFileInfo;
using engine::clsProcedures;
using engine::FileKind;
using engine::kNoNode;
using engine::LineIndex;
using engine::NodeId;

namespace {

constexpr double kStatusSeconds = 0.1;  // least time between two status lines of the search

constexpr engine::PairTable kCallPairs(CallPrefixes, CallSuffixes);

// The names are folded already: their folded hash is the hash of their bytes.
std::uint64_t BytesHash(std::string_view s) { return platform::FoldedHash(s); }

// "@" & Trim(line) & "@" folded, or false for a comment line.
bool FoldedSearchLine(std::string_view line, std::string& x) {
    const std::string_view t = platform::Trim(line);
    if (!t.empty() && t.front() == '\'') return false;
    x.assign(1, '@');
    for (char c : t) x += static_cast<char>(platform::FoldByte(static_cast<unsigned char>(c)));
    x += '@';
    return true;
}

// The eight folded patterns of one name.
std::array<std::string, 8> FoldedPatterns(std::string_view name) {
    const std::string folded = platform::Fold(name);
    std::array<std::string, 8> p;
    for (std::size_t k = 0; k < p.size(); ++k) {
        p[k].assign(CallPrefixes[k]);
        p[k] += folded;
        p[k] += CallSuffixes[k];
    }
    return p;
}

int FirstPattern(std::string_view foldedLine, const std::array<std::string, 8>& patterns) {
    for (std::size_t k = 0; k < patterns.size(); ++k)
        if (foldedLine.find(patterns[k]) != std::string_view::npos) return static_cast<int>(k);
    return -1;
}

// A procedure is private to its file only when its header says so; a header without a scope word
// is public, and Friend is visible in the whole project. The header is read from the file as it
// stands now; a header that cannot be found there (the file cannot be read, or changed since the
// load) does not say Private.
bool HeaderSaysPrivate(const platform::TextLines* lines, const clsProcedures& p) {
    if (!lines || p.pFuncLineStart < 0 || static_cast<std::size_t>(p.pFuncLineStart) >= lines->size()) return false;
    LineIndex first = p.pFuncLineStart;
    const std::string code = engine::StatementCode(engine::GetLogicalLine(*lines, p.pFuncLineStart, first, -1));
    const engine::ProcedureHeader header = engine::ProcedureHeaderOf(code);
    return header.kind != 0 && platform::IEquals(header.name, p.pName) && platform::IEquals(header.scope, "Private");
}

}  // namespace

// ---- the patterns ------------------------------------------------------------------------------

int CallPattern(std::string_view line, std::string_view name) {
    std::string x;
    if (!FoldedSearchLine(line, x)) return -1;
    return FirstPattern(x, FoldedPatterns(name));
}

bool IsIndexableCallName(std::string_view name) {
    // Word characters, with a type character after them ("Calc$").
    if (!name.empty() && engine::IsTypeChar(name.back())) name.remove_suffix(1);
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return engine::IsWordChar(c); });
}

void ForEachCallWord(platform::LineView lines, LineIndex codeStart,
                     const std::function<void(std::string_view, LineIndex)>& f) {
    std::string x;
    std::vector<std::string_view> seen;  // words reported for the current line
    const auto n = static_cast<LineIndex>(lines.size());
    for (LineIndex k = std::max<LineIndex>(codeStart, 0); k < n; ++k) {
        if (!FoldedSearchLine(lines[k], x)) continue;
        seen.clear();
        const auto report = [&](std::string_view word) {
            if (std::find(seen.begin(), seen.end(), word) == seen.end()) {
                seen.push_back(word);
                f(word, k);
            }
        };
        engine::ForEachWordRun(x, [&](std::size_t i, std::size_t j) {
            if (kCallPairs.Allows(x[i - 1], x[j])) report(std::string_view(x.data() + i, j - i));
            // The word with the type character written after it ("Calc$(").
            if (j + 1 < x.size() && engine::IsTypeChar(x[j]) && kCallPairs.Allows(x[i - 1], x[j + 1]))
                report(std::string_view(x.data() + i, j + 1 - i));
        });
    }
}

// ---- texts and keys ------------------------------------------------------------------------------

std::string LineNumberField(std::int32_t shownLine) {
    const std::string number = std::to_string(shownLine);
    return number.size() < 5 ? std::string(5 - number.size(), ' ') + number : number;
}

std::string CallSiteText(std::string_view fileName, std::int32_t shownLine) {
    std::string text(fileName.substr(0, 50));
    text.resize(50, ' ');
    text += " - Line ";
    text += LineNumberField(shownLine);
    return text;
}

NodeId RoutinesRootNode(const engine::Tree& tree) { return tree.Find(kRoutinesRootKey); }

// ---- one build -------------------------------------------------------------------------------------

struct CrossReference::FileText {
    const clsFileInfo* file = nullptr;
    bool exists = false;   // found on disk
    bool readable = true;  // read without an error
    std::string path;      // where it was found
    engine::SourceText source;
    LineIndex codeStart = 0;
    // The lines where a word that names procedures stands between call delimiters, with the
    // records of that name; made on the file's first scan.
    bool wordsFound = false;
    std::vector<std::pair<const std::vector<std::uint32_t>*, LineIndex>> calls;
};

struct CrossReference::Record {
    clsProcedures* p = nullptr;
    bool isPrivate = false;
    // The node of the routine, found or made at its first call site (kNoNode: its key stands for
    // another node); each later call site goes straight to it.
    bool nodeKnown = false;
    NodeId routine = kNoNode;
};

struct CrossReference::Match {
    std::uint32_t record;
    LineIndex line;
    bool operator<(const Match& o) const { return record != o.record ? record < o.record : line < o.line; }
};

CrossReference::CrossReference(engine::ToolState& state, engine::Host& host, const XrefOptions& options)
    : st_(state), host_(host), options_(options), pacer_(host) {
    engine::Tree& tree = st_.treRoutines;
    root_ = RoutinesRootNode(tree);
    if (root_ == kNoNode) {
        root_ = tree.Add(kNoNode, std::string(kRoutinesRootKey), " Routines", "calledroutines");
        tree.SetSorted(root_, true);
    }
}

CrossReference::~CrossReference() = default;

void CrossReference::Prepare() {
    const double t0 = host_.Seconds();
    engine::ProjectModel& model = st_.model;
    std::unordered_map<std::string, FileText*> byKey;  // folded fKey -> file
    for (FileKind kind : engine::kAllKinds) {
        firstFile_[static_cast<int>(kind)] = files_.size();
        for (const clsFileInfo& f : model.Files(kind)) {
            if (host_.CancelRequested()) break;
            auto ft = std::make_unique<FileText>();
            ft->file = &f;
            const platform::ResolvedPath path = platform::ResolveListedPath(f.fAppFldr, f.fFilename);
            if (path.exists) {
                try {
                    std::optional<engine::SourceText> text = engine::ReadSource(path.path, f.fFilename);
                    if (text) {
                        ft->exists = true;
                        ft->path = path.path;
                        ft->source = std::move(*text);
                        ft->codeStart = ft->source.codeStart();
                        ++stats_.files;
                        stats_.lines += ft->source.lines().size();
                    }
                } catch (const std::exception& e) {
                    ft->exists = true;
                    ft->readable = false;
                    stats_.unreadable.push_back(path.path);
                    host_.WriteErrorLog(e.what());
                }
            }
            byKey.emplace(platform::Fold(f.fKey), ft.get());
            files_.push_back(std::move(ft));
            pacer_.Point();
        }
    }
    firstFile_[3] = files_.size();

    // Every procedure in the order of the scan: map by map, file by file, record by record.
    for (FileKind kind : engine::kAllKinds) {
        const int m = static_cast<int>(kind);
        firstRecord_[m] = records_.size();
        for (auto& entry : model.Procedures(kind)) {
            const auto it = byKey.find(platform::Fold(entry.key));
            const FileText* own = it == byKey.end() ? nullptr : it->second;
            const platform::TextLines* lines = own && own->exists && own->readable ? &own->source.lines() : nullptr;
            for (clsProcedures& p : entry.procedures) {
                const auto index = static_cast<std::uint32_t>(records_.size());
                records_.push_back(Record{&p, HeaderSaysPrivate(lines, p)});
                if (IsIndexableCallName(p.pName)) byName_[platform::Fold(p.pName)].push_back(index);
                else literalRecords_[m].push_back(index);
            }
        }
    }
    firstRecord_[3] = records_.size();
    // The names in one flat table for the word walk.
    std::size_t size = 64;
    while (size < byName_.size() * 2) size *= 2;
    nameSlots_.assign(size, NameSlot{});
    for (const auto& [name, records] : byName_) {
        const std::uint64_t h = BytesHash(name);
        std::size_t i = SlotOf(h);
        while (nameSlots_[i].records) i = (i + 1) & (nameSlots_.size() - 1);
        nameSlots_[i] = NameSlot{h, name, &records};
    }
    stats_.readSeconds += host_.Seconds() - t0;
}

const std::vector<std::uint32_t>* CrossReference::RecordsNamed(std::string_view folded) const {
    const std::uint64_t h = BytesHash(folded);
    for (std::size_t i = SlotOf(h);; i = (i + 1) & (nameSlots_.size() - 1)) {
        const NameSlot& s = nameSlots_[i];
        if (!s.records) return nullptr;
        if (s.hash == h && s.name == folded) return s.records;
    }
}

CrossReference::FileText* CrossReference::Text(FileKind kind, std::size_t index) {
    const int k = static_cast<int>(kind);
    const std::size_t i = firstFile_[k] + index;
    return i < firstFile_[k + 1] ? files_[i].get() : nullptr;
}

void CrossReference::MatchModuleProcedures(FileKind kind) {
    if (host_.CancelRequested()) return;
    st_.RoutinesMatched = true;
    host_.WriteLog("Matching Modules");
    const engine::FileList& list = st_.model.Files(kind);
    const std::string kindWord = engine::KindImage(kind);
    for (std::size_t i = 0; i < list.size() && !host_.CancelRequested(); ++i) {
        FileText* ft = Text(kind, i);
        if (ft && ft->exists && ft->readable && ft->codeStart > 0) {
            const std::size_t number = firstFile_[static_cast<int>(kind)] + i;
            for (FileKind mapKind : engine::kAllKinds) ScanProcedures(st_.model.Procedures(mapKind), number, kindWord);
        }
        if (ft) {
            // Each file is scanned once: its lines are no longer needed.
            ft->source = engine::SourceText{};
            ft->calls = {};
        }
        pacer_.Point();
    }
    st_.RoutinesMatched = !host_.CancelRequested();
}

bool CrossReference::Visible(const Record& r, const clsFileInfo& file) const {
    const clsProcedures& p = *r.p;
    if (p.pFilename().empty()) return false;
    if (r.isPrivate &&
        !(platform::IEquals(p.pFilename(), file.fFilename) && platform::IEquals(p.pProject(), file.fProject)))
        return false;
    return true;
}

void CrossReference::Status(const std::string& fileName, const std::string& procName) {
    const double now = host_.Seconds();
    if (lastStatus_ >= 0 && now - lastStatus_ < kStatusSeconds) return;
    lastStatus_ = now;
    host_.DisplayMessage("Scanning " + fileName + " for Procedure: " + procName, false, engine::align::kLeft);
}

void CrossReference::LogSearches(std::size_t m, const FileText& ft) {
    const clsFileInfo& file = *ft.file;
    std::string line;
    for (std::size_t r = firstRecord_[m]; r < firstRecord_[m + 1]; ++r) {
        if (!Visible(records_[r], file)) continue;
        const std::string& name = records_[r].p->pName;
        line.assign("Scanning ").append(file.fFilename).append(" for Procedure: ").append(name);
        host_.WriteLog(line);
        host_.WriteLog(line);
        Status(file.fFilename, name);
    }
}

bool CrossReference::Collect(std::size_t m, FileText& ft, std::vector<Match>& matches) {
    const clsFileInfo& file = *ft.file;
    const platform::TextLines& lines = ft.source.lines();
    const auto n = static_cast<LineIndex>(lines.size());
    std::string x;

    if (options_.search == engine::UsageSearch::Literal) {
        for (std::size_t r = firstRecord_[m]; r < firstRecord_[m + 1]; ++r) {
            if (host_.CancelRequested()) return false;
            if (!Visible(records_[r], file)) continue;
            const auto patterns = FoldedPatterns(records_[r].p->pName);
            for (LineIndex i = ft.codeStart; i < n; ++i) {
                if (FoldedSearchLine(lines[i], x) && FirstPattern(x, patterns) >= 0)
                    matches.push_back(Match{static_cast<std::uint32_t>(r), i});
                pacer_.Tick();
            }
        }
        return true;
    }

    if (!ft.wordsFound) {
        ForEachCallWord(lines, ft.codeStart, [&](std::string_view word, LineIndex line) {
            if (const std::vector<std::uint32_t>* records = RecordsNamed(word)) ft.calls.emplace_back(records, line);
        });
        ft.wordsFound = true;
    }
    for (const auto& [records, line] : ft.calls) {
        auto it = std::lower_bound(records->begin(), records->end(), firstRecord_[m]);
        for (; it != records->end() && *it < firstRecord_[m + 1]; ++it)
            if (Visible(records_[*it], file)) matches.push_back(Match{*it, line});
    }
    // Names the index cannot answer are searched literally.
    for (std::uint32_t r : literalRecords_[m]) {
        if (!Visible(records_[r], file)) continue;
        const auto patterns = FoldedPatterns(records_[r].p->pName);
        for (LineIndex i = ft.codeStart; i < n; ++i)
            if (FoldedSearchLine(lines[i], x) && FirstPattern(x, patterns) >= 0) matches.push_back(Match{r, i});
    }
    std::sort(matches.begin(), matches.end());
    return !host_.CancelRequested();
}

void CrossReference::ScanProcedures(engine::ProcedureMap& procedures, std::size_t fileNumber,
                                    const std::string& kindWord) {
    if (host_.CancelRequested() || procedures.empty() || fileNumber >= files_.size()) return;
    std::size_t m = 0;
    while (m < 3 && &st_.model.Procedures(engine::kAllKinds[m]) != &procedures) ++m;
    if (m == 3) return;  // not one of the model's maps
    FileText& ft = *files_[fileNumber];
    const clsFileInfo& file = *ft.file;

    const double t0 = host_.Seconds();
    if (options_.logSearches) LogSearches(m, ft);
    else if (firstRecord_[m] < firstRecord_[m + 1]) Status(file.fFilename, records_[firstRecord_[m]].p->pName);
    std::vector<Match> matches;
    const bool complete = Collect(m, ft, matches);
    stats_.searchSeconds += host_.Seconds() - t0;
    if (!complete) return;

    // One node per routine, calling file and line, made once with its project and routine; every
    // record whose name was found is used.
    const double t1 = host_.Seconds();
    engine::Tree& tree = st_.treRoutines;
    std::string key;
    for (const Match& match : matches) {
        Record& record = records_[match.record];
        clsProcedures& p = *record.p;
        p.pUsed = true;
        const std::int32_t shown = match.line - ft.codeStart + 1;
        if (!record.nodeKnown) {
            const NodeId project = ProjectNode(p);
            record.routine = project == kNoNode ? kNoNode : RoutineNode(project, p, kindWord);
            record.nodeKnown = true;
        }
        const NodeId routine = record.routine;
        if (routine == kNoNode) continue;
        // The calling file by its path on disk: a module that several projects of a group list
        // (under one spelling or another) is one file, and its call site one row.
        key.assign(p.pName).append("/").append(p.pProject()).append("/").append(ft.path).append("/");
        key.append(LineNumberField(shown));
        // A call site found before, through a record of the same name or through another project
        // listing the same file, is there already.
        const NodeId id = tree.AddIfNew(routine, key, CallSiteText(file.fFilename, shown), kindWord);
        if (id == kNoNode) continue;
        engine::TreeNode& node = tree.Node(id);
        node.tag = file.fAppFldr;
        node.openPath = ft.path;
        node.openLine = shown;
        ++stats_.callSites;
        pacer_.Tick();
    }
    stats_.treeSeconds += host_.Seconds() - t1;
}

// The node of the called procedure's project, made on first use; kNoNode when its key stands for
// another node.
NodeId CrossReference::ProjectNode(const clsProcedures& p) {
    engine::Tree& tree = st_.treRoutines;
    NodeId id = tree.Find(p.pProject());
    if (id == kNoNode) {
        id = tree.Add(root_, p.pProject(), p.pProject(), "project");
        tree.SetSorted(id, true);
        tree.Node(id).tag = p.pAppFldr();
    }
    return tree.Node(id).parent == root_ ? id : kNoNode;
}

// The node of a routine (name and project) under its project node, made on first use.
NodeId CrossReference::RoutineNode(NodeId project, const clsProcedures& p, const std::string& kindWord) {
    engine::Tree& tree = st_.treRoutines;
    const std::string key = p.pName + "/" + p.pProject();
    NodeId id = tree.Find(key);
    if (id == kNoNode) {
        id = tree.Add(project, key, p.pName, kindWord);
        tree.SetSorted(id, true);
        tree.Node(id).tag = p.pAppFldr();
    }
    return tree.Node(id).parent == project ? id : kNoNode;
}

// ---- the command ---------------------------------------------------------------------------------

void MatchProcedures(engine::ToolState& state, engine::Host& host, const XrefOptions& options) {
    const engine::HeldLogs held(host);
    host.WriteLog("Matching Procedures");
    host.HourGlassOn();
    const double start = host.Seconds();
    engine::Tree& tree = state.treRoutines;
    tree.Clear();
    tree.visible = false;
    host.DisplayMessage("Working... Please wait (may take some time).", true, engine::align::kCenter);

    CrossReference xref(state, host, options);
    xref.Prepare();
    for (FileKind kind : engine::kAllKinds) xref.MatchModuleProcedures(kind);

    XrefStats& stats = xref.stats();
    stats.routineNodes = 0;
    for (NodeId project : tree.Children(RoutinesRootNode(tree))) stats.routineNodes += tree.Children(project).size();
    for (FileKind kind : engine::kAllKinds)
        for (const auto& entry : state.model.Procedures(kind))
            for (const clsProcedures& p : entry.procedures) stats.usedProcedures += p.pUsed ? 1 : 0;

    tree.visible = true;
    const std::string elapsed = platform::ClockText(std::llround(host.Seconds() - start));
    host.ClearMessage();
    if (host.CancelRequested()) {
        tree.Clear();
        host.MyMsgBox("Called Routines Canceled - " + elapsed, engine::msgbox::kOKOnly, "", engine::align::kCenter);
    } else {
        std::string text = "Called Routines Elaspsed Time - " + elapsed;
        if (!stats.unreadable.empty()) {
            text += "\r\n\r\nThese files could not be read and were not searched:";
            for (const std::string& path : stats.unreadable) text += "\r\n" + path;
        }
        host.MyMsgBox(text, engine::msgbox::kOKOnly, "", engine::align::kCenter);
    }
    tree.visible = true;
    host.HourGlassOff();
    if (options.stats) *options.stats = stats;
}

}  // namespace reports
