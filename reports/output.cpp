#include "reports/output.h"

#include "platform/fileio.h"
#include "platform/text.h"
#include "reports/xref.h"

namespace reports {

using engine::kNoNode;
using engine::NodeId;

namespace {

// The first project node of the project tree.
NodeId FirstProjectNode(const engine::ToolState& state) {
    if (!state.ProjectNodes.empty()) return state.ProjectNodes.front();
    return state.treProject.Roots().empty() ? kNoNode : state.treProject.Roots().front();
}

void Enum(const engine::Tree& tree, NodeId node, std::string& text, int level, engine::Host* host,
          engine::Pacer* pacer) {
    if (host && host->CancelRequested()) return;
    if (node == kNoNode) return;
    const std::vector<NodeId>& children = tree.Children(node);
    const std::string indent(static_cast<std::size_t>(level > 0 ? level : 0), '\t');
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (i == 0) text += "\r\n";
        text += indent;
        text += platform::DecodeOwnText(tree.Node(children[i]).text);
        text += "\r\n";
        Enum(tree, children[i], text, level + 1, host, pacer);
        if (pacer) pacer->Tick();
        if (host && host->CancelRequested()) return;
    }
    if (!children.empty()) text += "\r\n";
}

}  // namespace

std::string_view ReportFileEnding(int tab) {
    switch (tab) {
        case kTabProject: return " Project Functions.txt";
        case kTabRoutines: return " Called Routines.txt";
        case kTabModules: return " Module Definitions.txt";
        case kTabForms: return " Form Definitions.txt";
        case kTabClasses: return " Class Definitions.txt";
        default: return "";
    }
}

std::string DefaultReportFileName(std::string_view projectFileTitle, int tab) {
    const std::string_view ending = ReportFileEnding(tab);
    if (ending.empty()) return {};
    return platform::ReplaceAll(projectFileTitle, ".", " ") + std::string(ending);
}

std::string TreeHeader(const engine::ToolState& state, int tab, const ReportStamp& stamp) {
    const NodeId first = FirstProjectNode(state);
    const std::string project = first == kNoNode ? std::string() : state.treProject.Node(first).text;
    return stamp.dateTime + " - Quillet " + stamp.version + "\r\n\r\n" + platform::DecodeOwnText(project) +
           (tab == kTabProject ? " Project Functions" : " Project Called Routines") + "\r\n\r\n";
}

void EnumNodes(const engine::Tree& tree, NodeId node, std::string& text, int level, engine::Host* host) {
    if (host) {
        engine::Pacer pacer(*host);
        Enum(tree, node, text, level, host, &pacer);
    } else {
        Enum(tree, node, text, level, nullptr, nullptr);
    }
}

std::string TabSaveText(const engine::ToolState& state, const DefinitionReports& reports, int tab,
                        const ReportStamp& stamp) {
    if (tab == kTabProject || tab == kTabRoutines) {
        std::string text = TreeHeader(state, tab, stamp);
        const engine::Tree& tree = tab == kTabProject ? state.treProject : state.treRoutines;
        const NodeId start = tab == kTabProject ? FirstProjectNode(state) : RoutinesRootNode(tree);
        EnumNodes(tree, start, text, 0);
        return text;
    }
    const ReportBox* box = reports.Box(tab);
    return box ? box->text : std::string();
}

bool SaveReportText(const std::string& path, std::string_view text, std::string* why) {
    std::string data(text);
    data += "\r\n";
    return platform::WriteFileAtomic(path, data, why);
}

}  // namespace reports
