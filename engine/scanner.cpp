#include "engine/scanner.h"

#include <algorithm>

#include "engine/classify.h"
#include "engine/definitions.h"
#include "engine/source.h"
#include "platform/text.h"

namespace engine {

std::string ListedFileName(std::string_view listed) {
    const std::size_t sep = listed.find_last_of("\\/");
    return std::string(sep == std::string_view::npos ? listed : listed.substr(sep + 1));
}

std::string ProcedureNodeText(const std::string& name, const std::string& kindWord, std::int32_t shownLine) {
    std::string text = name.substr(0, 40);
    text.resize(40, ' ');
    std::string kind = kindWord.substr(0, 15);
    kind.resize(15, ' ');
    text += kind;
    text += " - Line ";
    const std::string number = std::to_string(shownLine);
    if (number.size() < 5) text.append(5 - number.size(), ' ');
    text += number;  // a number wider than the field is shown whole
    return text;
}

namespace {

// The name of a procedure from its header statement.
std::string ProcedureName(const std::string& statement) {
    const std::string code = StatementCode(statement);
    const ProcedureHeader header = ProcedureHeaderOf(code);  // views of `code`
    if (header.kind != 0) return std::string(header.name);
    const std::string stripped = StripProcedureKeywords(statement);
    const std::string word = stripped.substr(0, stripped.find(' '));
    return word.substr(0, word.find('('));
}

// One walk over a file: the records it opens and completes.
class Scan {
public:
    Scan(const SourceText& source, const clsFileInfo& file) : source_(source), file_(file) {}

    ScanResult Run(Pacer& pacer, const std::function<bool()>& cancelled) {
        const platform::TextLines& lines = source_.lines();
        const LineIndex offset = source_.codeStart();
        for (LineIndex i = static_cast<LineIndex>(lines.size()) - 1; i >= offset && i >= 0; --i) {
            if (cancelled && cancelled()) return Finish(false);
            Step(i);
            pacer.Tick();
        }
        return Finish(true);
    }

private:
    // The statement that ends at line i; `i` moves to its first physical line.
    void Step(LineIndex& i) {
        ProcedureList& procs = result_.procedures;
        DefinitionList& defs = result_.definitions;
        const std::size_t before = procs.size();
        const std::int32_t m = ClassifyLine(procs, source_.lines(), i, record_, statement_, classifier_);
        if (procs.size() != before) open_.push_back(Open{false, defs.size()});
        if (m == 0) return;
        if (m & mask::kEndProcedure) {
            procs[static_cast<std::size_t>(record_)].pEnd = i;
            // Header and End on one line: no body to hold code, so no record; the End line it
            // holds is matched already.
            if (mask::IsHeader(m)) classifier_.InProcedure = false;
        } else if (m & (mask::kEndType | mask::kEndEnum)) {
            GetTypeEnumDefinitions(defs, file_, i, source_.lines(), m);
        } else if (m & mask::kDeclare) {
            std::int32_t kind = m;
            GetDefinitions(defs, file_, i, statement_, kind, "");
            classifier_.InProcedure = false;
        } else if (m & mask::kDefinition) {
            std::int32_t kind = m;
            GetDefinitions(defs, file_, i, statement_, kind, "");
        } else if (m & mask::kHeader) {
            // A header completes the record that its End line opened; a header-like line with no
            // record open (a module-level WithEvents, a stray line) completes nothing.
            if (mask::IsHeader(m) && classifier_.InProcedure && record_ >= 0 &&
                static_cast<std::size_t>(record_) < procs.size() && !open_[static_cast<std::size_t>(record_)].completed)
                Complete(procs[static_cast<std::size_t>(record_)], i, m);
            classifier_.InProcedure = false;
        }
    }

    // The header of record `p` starts at line i: its name, its locals, the start-up procedure.
    void Complete(clsProcedures& p, LineIndex i, std::int32_t m) {
        Open& o = open_[static_cast<std::size_t>(record_)];
        p.file = &file_;
        p.pName = ProcedureName(statement_);
        p.pStart = i;
        p.pChecked = true;
        // The definitions met since the End line are the procedure's locals.
        if (!(m & (mask::kEndProcedure | mask::kDeclare)))
            SetDefinitionProcName(result_.definitions, p.pName, o.firstDefinition);
        if (platform::IEquals(p.pName, "Main")) {
            p.pStartupProc = true;
            result_.holdsMain = true;
        }
        o.completed = true;
        result_.dataOnly = false;
    }

    ScanResult Finish(bool complete) {
        // What no procedure owns is the module's: above the first procedure, below the last, and
        // between two (alternatives under #If/#Else declare their names there).
        if (complete)
            for (clsDefinitions& d : result_.definitions)
                if (d.ProcName.empty()) d.ProcName = std::string(kModuleLevel);
        result_.complete = complete;
        // Only complete procedures leave the scanner.
        ProcedureList& procs = result_.procedures;
        std::size_t kept = 0;
        for (std::size_t r = 0; r < procs.size(); ++r)
            if (open_[r].completed) {
                if (kept != r) procs[kept] = std::move(procs[r]);
                ++kept;
            }
        procs.resize(kept);
        return std::move(result_);
    }

    // Per record: whether its header was met, and where its definitions start.
    struct Open {
        bool completed = false;
        std::size_t firstDefinition = 0;
    };

    const SourceText& source_;
    const clsFileInfo& file_;
    ScanResult result_;
    std::vector<Open> open_;
    ClassifierState classifier_;
    std::int32_t record_ = 0;
    std::string statement_;
};

}  // namespace

ScanResult ScanSourceFile(const SourceText& source, const clsFileInfo& file, Pacer& pacer,
                          const std::function<bool()>& cancelled) {
    return Scan(source, file).Run(pacer, cancelled);
}

std::string ProcedureNodeKey(const clsProcedures& p) {
    return p.file->fKey + "_" + p.pName + "_" + GetProcedureType(p.pProcType) + "_" + std::to_string(p.pStart);
}

NodeId AddProcedureNode(Tree& tree, NodeId fileNode, const clsProcedures& p, const std::string& filePath) {
    const std::int32_t shown = p.pFuncLineStart - p.pOffset() + 1;
    const NodeId id = tree.Add(fileNode, ProcedureNodeKey(p),
                               ProcedureNodeText(p.pName, GetProcedureType(p.pProcType), shown), kProcedureImage);
    TreeNode& node = tree.Node(id);
    node.openPath = filePath;
    node.openLine = shown;
    if (!(p.pProcType & mask::kDeclare)) node.checked = true;
    if (platform::IEquals(ListedFileName(p.pFilename()), kTraceModuleName)) {
        node.foreColor = kColorBlue;
        node.checked = false;
    }
    return id;
}

}  // namespace engine
