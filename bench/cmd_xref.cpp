// quillet-bench xref PROJECT [--out DIR] [--tree FILE] [--literal] [--log]
//
// Loads the project, builds the cross reference and the four definition reports, and prints the
// time of each phase with the counts of routine nodes, call sites and used procedures. --out DIR
// writes the six tabs' saved texts into DIR under their default file names (the API report as
// "<base> API Definitions.txt"); --literal searches call sites literally (the reference); --log
// builds the run-log lines of every search as a switched-on run log would get them. --tree FILE
// writes every node of the call-site tree in display order with all its fields, one per line, to
// compare two builds.
#include "bench/cmd_xref.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "bench/bench_host.h"
#include "engine/host.h"
#include "engine/loader.h"
#include "engine/state.h"
#include "platform/text.h"
#include "reports/definition_reports.h"
#include "reports/output.h"
#include "reports/xref.h"

namespace bench {
namespace {

int XrefUsage() {
    std::cerr << "usage: quillet-bench xref PROJECT [--out DIR] [--tree FILE] [--literal] [--log]\n";
    return 2;
}

void DumpTree(const engine::Tree& tree, engine::NodeId id, int depth, std::ostream& out) {
    const engine::TreeNode& n = tree.Node(id);
    out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << n.key << '|' << n.text << '|' << n.image << '|'
        << n.tag << '|' << n.openPath << '|' << n.openLine << '|' << n.sorted << '\n';
    for (engine::NodeId child : tree.Children(id)) DumpTree(tree, child, depth + 1, out);
}

}  // namespace

int Xref(const std::vector<std::string>& args) {
    std::string project, out, treeFile;
    bool literal = false, log = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--out" && i + 1 < args.size()) out = args[++i];
        else if (a == "--tree" && i + 1 < args.size()) treeFile = args[++i];
        else if (a == "--literal") literal = true;
        else if (a == "--log") log = true;
        else if (project.empty() && a.rfind("--", 0) != 0) project = a;
        else return XrefUsage();
    }
    if (project.empty()) return XrefUsage();

    BenchHost host;
    engine::ToolState st;
    st.txtProject = project;
    double t0 = host.Seconds();
    if (!engine::LoadProject(st, host, host, false)) {
        std::cerr << "not loaded: " << project << "\n";
        return 1;
    }
    const double load = host.Seconds() - t0;

    reports::XrefStats stats;
    reports::XrefOptions options;
    options.search = literal ? engine::UsageSearch::Literal : engine::UsageSearch::Indexed;
    options.logSearches = log;
    options.stats = &stats;
    t0 = host.Seconds();
    reports::MatchProcedures(st, host, options);
    const double xref = host.Seconds() - t0;

    const reports::ReportStamp stamp = reports::CurrentReportStamp("Version 1.0  Build 0  Freeware");
    reports::DefinitionReports boxes;
    t0 = host.Seconds();
    reports::CreateDefinitionReports(st.model, boxes, host, stamp);
    const double definitionReports = host.Seconds() - t0;

    std::printf("load            %8.3f s\n", load);
    std::printf("xref read       %8.3f s\n", stats.readSeconds);
    std::printf("xref search     %8.3f s\n", stats.searchSeconds);
    std::printf("xref tree       %8.3f s\n", stats.treeSeconds);
    std::printf("xref total      %8.3f s\n", xref);
    std::printf("reports         %8.3f s\n", definitionReports);
    std::printf("lines           %zu\n", stats.lines);
    std::printf("routine nodes   %zu\n", stats.routineNodes);
    std::printf("call sites      %zu\n", stats.callSites);
    std::printf("used procedures %zu\n", stats.usedProcedures);
    std::printf("report chars    %zu %zu %zu %zu\n", boxes.rtfModules.text.size(), boxes.rtfForms.text.size(),
                boxes.rtfClasses.text.size(), boxes.rtfAPIs.text.size());

    if (!treeFile.empty()) {
        std::ofstream dump(treeFile, std::ios::binary);
        for (engine::NodeId root : st.treRoutines.Roots()) DumpTree(st.treRoutines, root, 0, dump);
        if (!dump.flush()) {
            std::cerr << "cannot write " << treeFile << "\n";
            return 1;
        }
    }
    if (!out.empty()) {
        std::filesystem::create_directories(out);
        std::string folder = out;
        if (folder.back() != '/') folder += '/';
        for (int tab = reports::kTabProject; tab <= reports::kTabAPIs; ++tab) {
            std::string name = reports::DefaultReportFileName(st.ProjectFileTitle, tab);
            if (name.empty()) name = platform::ReplaceAll(st.ProjectFileTitle, ".", " ") + " API Definitions.txt";
            std::string why;
            if (!reports::SaveReportText(folder + name, reports::TabSaveText(st, boxes, tab, stamp), &why)) {
                std::cerr << "cannot write " << folder << name << ": " << why << "\n";
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace bench
