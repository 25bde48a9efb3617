#include "engine/scanner.h"

#include <algorithm>

#include "engine/classify.h"
#include "engine/definitions.h"
#include "engine/source.h"
#include "platform/paths.h"
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

void SetProcedureInfo(LoadContext& ctx, clsProcedures& p, DefinitionList& defs, const std::string& fileName,
                      const std::string& statement, LineIndex line, std::int32_t offset,
                      const std::string& projectFolder, const std::string& projectName, std::int32_t lineType,
                      std::size_t firstDefinition, const std::string& fileFolder) {
    const std::string code = StatementCode(statement);
    const ProcedureHeader header = ProcedureHeaderOf(code);
    if (header.kind != 0) {
        p.pName = std::string(header.name);
    } else {
        const std::string stripped = StripProcedureKeywords(statement);
        const std::string word = stripped.substr(0, stripped.find(' '));
        p.pName = word.substr(0, word.find('('));
    }
    p.pStart = line;
    p.pChecked = true;
    p.pFilename = fileName;
    p.pOffset = offset;
    p.pProject = projectName;
    p.pAppFldr = projectFolder;
    if (!(lineType & (mask::kEndProcedure | mask::kDeclare))) SetDefinitionProcName(defs, p.pName, firstDefinition);
    if (platform::IEquals(p.pName, "Main")) {
        ctx.state.model.StartupFile = p.pFilename;
        ctx.state.model.StartupFileFolder = fileFolder;
        p.pStartupProc = true;
    }
}

NodeId AddProcedureNode(LoadContext& ctx, const std::string& fileNodeKey, const std::string& fileName,
                        const ProcedureList& procs, std::int32_t record, LineIndex line, const std::string& filePath) {
    const clsProcedures& p = procs.at(static_cast<std::size_t>(record));
    const std::string kind = GetProcedureType(p.pProcType);
    const std::int32_t shown = p.pFuncLineStart - p.pOffset + 1;
    Tree& tree = ctx.state.treProject;
    const NodeId parent = tree.Find(fileNodeKey);
    const NodeId id = tree.Add(parent, fileNodeKey + "_" + p.pName + "_" + kind + "_" + std::to_string(line),
                               ProcedureNodeText(p.pName, kind, shown), "routine");
    TreeNode& node = tree.Node(id);
    node.openPath = filePath;
    node.openLine = shown;
    if (!(p.pProcType & mask::kDeclare)) node.checked = true;
    if (platform::IEquals(ListedFileName(fileName), "modTrace.bas")) {
        node.foreColor = kColorBlue;
        node.checked = false;
    }
    return id;
}

void ScanSourceFile(LoadContext& ctx, const std::string& fileNodeKey, const std::string& folder,
                    const std::string& fileName, ProcedureList& procs, const std::string& kindWord,
                    DefinitionList& defs, const std::string& projectName, bool& dataOnly) {
    (void)kindWord;
    dataOnly = true;
    ctx.scannedFile = Fingerprint{};
    Host& host = ctx.host;
    if (host.CancelRequested()) return;
    ctx.classifier.InProcedure = false;
    const platform::ResolvedPath path = platform::ResolveListedPath(folder, fileName);
    if (!path.exists) return;

    const double t0 = host.Seconds();
    std::optional<SourceText> text = ReadSource(path.path, fileName, &ctx.scannedFile);
    if (!text) return;
    auto source = std::make_shared<SourceText>(std::move(*text));
    const platform::TextLines& lines = source->lines();
    const std::int32_t offset = source->codeStart();
    ctx.stats.files += 1;
    ctx.stats.lines += lines.size();
    const double t1 = host.Seconds();
    ctx.stats.readSeconds += t1 - t0;

    host.DisplayMessage("Scanning " + fileName, true, align::kLeft);

    // Per record: whether its header was met, and where its definitions start in `defs`.
    struct Open {
        bool completed = false;
        std::size_t firstDefinition = 0;
    };
    std::vector<Open> open(procs.size(), Open{true, 0});
    const std::string& projectFolder = ctx.state.ProjectFolder;
    std::int32_t record = 0;
    std::string statement;
    bool cancelled = false;
    for (LineIndex i = static_cast<LineIndex>(lines.size()) - 1; i >= offset && i >= 0; --i) {
        if (host.CancelRequested()) {
            cancelled = true;
            break;
        }
        const std::size_t before = procs.size();
        std::int32_t m = ClassifyLine(procs, lines, i, record, statement, ctx.classifier);
        if (procs.size() != before) open.push_back(Open{false, defs.size()});
        if (m != 0) {
            if (m & mask::kEndProcedure) {
                procs[record].pEnd = i;
                // Header and End on one line: no body to hold code, so no record; the End line
                // it holds is matched already.
                if (mask::IsHeader(m)) ctx.classifier.InProcedure = false;
            } else if (m & (mask::kEndType | mask::kEndEnum)) {
                GetTypeEnumDefinitions(defs, fileName, i, offset, projectFolder, projectName, lines, m);
            } else if (m & mask::kDeclare) {
                GetDefinitions(defs, fileName, i, offset, projectFolder, projectName, statement, m, "");
                ctx.classifier.InProcedure = false;
            } else if (m & mask::kDefinition) {
                GetDefinitions(defs, fileName, i, offset, projectFolder, projectName, statement, m, "");
            } else if (m & mask::kHeader) {
                const bool header = mask::IsHeader(m);
                // A header completes the record that its End line opened; a header-like line with
                // no record open (a module-level WithEvents, a stray line) completes nothing.
                const bool isOpen = header && ctx.classifier.InProcedure && record >= 0 &&
                                    static_cast<std::size_t>(record) < procs.size() && !open[record].completed;
                if (isOpen) {
                    clsProcedures& p = procs[record];
                    SetProcedureInfo(ctx, p, defs, fileName, statement, i, offset, projectFolder, projectName, m,
                                     open[record].firstDefinition, folder);
                    AddProcedureNode(ctx, fileNodeKey, fileName, procs, record, i, path.path);
                    open[record].completed = true;
                    dataOnly = false;
                }
                ctx.classifier.InProcedure = false;
            }
        }
        ctx.pacer.Tick();
    }
    if (!cancelled) SetDefinitionProcName(defs, kModuleLevel);

    // Only complete procedures leave the scanner.
    std::size_t kept = 0;
    for (std::size_t r = 0; r < procs.size(); ++r)
        if (open[r].completed) {
            if (kept != r) procs[kept] = std::move(procs[r]);
            ++kept;
        }
    procs.resize(kept);

    ctx.KeepSource(fileNodeKey, std::move(source));
    ctx.stats.scanSeconds += host.Seconds() - t1;
}

}  // namespace engine
