// quillet-bench: loads, scans and checks a Visual Basic project without windows and prints the
// time of each phase; makes synthetic projects of any size.
//
//   quillet-bench load PROJECT [--dump] [--literal]
//   quillet-bench generate FOLDER [--files N] [--lines N] [--seed N] [--lf] [--copies N]
//   quillet-bench xref PROJECT [--out DIR] [--literal] [--log]
//   quillet-bench addcode | number | unnumber | undo PROJECT ...   (bench/cmd_rewrite.h)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "bench/cmd_rewrite.h"
#include "bench/cmd_xref.h"
#include "bench/generator.h"
#include "engine/classify.h"
#include "bench/bench_host.h"
#include "engine/host.h"
#include "engine/loader.h"
#include "engine/scanner.h"
#include "engine/state.h"
#include "platform/text.h"

namespace {

using bench::BenchHost;

int Usage() {
    std::cerr << "usage: quillet-bench load PROJECT [--dump] [--literal]\n"
                 "       quillet-bench generate FOLDER [--files N] [--lines N] [--seed N] [--lf] [--copies N]\n"
                 "       quillet-bench xref PROJECT [--out DIR] [--literal] [--log]\n";
    bench::PrintRewriteUsage(std::cerr);
    return 2;
}

const char* Bool(bool b) { return b ? "True" : "False"; }

std::string Hex(std::int32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(v));
    return buf;
}

void Dump(const engine::ToolState& st) {
    using namespace engine;
    const ProjectModel& m = st.model;
    for (FileKind kind : kAllKinds)
        for (const clsFileInfo& f : m.Files(kind))
            std::cout << "F\t" << KindWord(kind) << '\t' << f.fKey << '\t' << Bool(f.FDataOnly) << '\t'
                      << Bool(f.fExists) << '\n';
    for (FileKind kind : kAllKinds)
        for (const clsFileInfo& f : m.Files(kind)) {
            const ProcedureList* procs = m.Procedures(kind).Find(f.fKey);
            if (!procs) continue;
            for (const clsProcedures& p : *procs) {
                const std::string kindWord = GetProcedureType(p.pProcType);
                const NodeId node = st.treProject.Find(ProcedureNodeKey(p));
                const bool checked = node != kNoNode && st.treProject.Node(node).checked;
                std::cout << "P\t" << f.fKey << '\t' << p.pName << '\t' << kindWord << '\t' << p.pStart << '\t'
                          << p.pFuncLineStart << '\t' << p.pFuncLineEnd << '\t' << Hex(p.pProcType) << '\t'
                          << Bool(checked) << '\n';
            }
        }
    for (FileKind kind : kAllKinds)
        for (const clsDefinitions& d : m.Definitions(kind))
            std::cout << "D\t" << d.Filename() << '\t' << d.ProcName << '\t' << d.Variable << '\t' << d.Defined << '\t'
                      << d.LineNo << '\t' << Hex(d.DefType) << '\t' << Bool(d.Used) << '\n';
}

int Load(const std::vector<std::string>& args) {
    std::string project;
    bool dump = false, literal = false;
    for (const std::string& a : args) {
        if (a == "--dump") dump = true;
        else if (a == "--literal") literal = true;
        else if (project.empty()) project = a;
        else return Usage();
    }
    if (project.empty()) return Usage();

    BenchHost host;
    engine::ToolState st;
    st.txtProject = project;
    engine::LoadStats stats;
    engine::LoadOptions options;
    options.search = literal ? engine::UsageSearch::Literal : engine::UsageSearch::Indexed;
    options.stats = &stats;
    const double t0 = host.Seconds();
    const bool loaded = engine::LoadProject(st, host, host, false, options);
    const double total = host.Seconds() - t0;
    if (!loaded) {
        std::cerr << "not loaded: " << project << "\n";
        return 1;
    }
    std::size_t procedures = 0, definitions = 0, used = 0;
    for (engine::FileKind kind : engine::kAllKinds) {
        for (const auto& e : st.model.Procedures(kind)) procedures += e.procedures.size();
        for (const auto& d : st.model.Definitions(kind)) {
            ++definitions;
            used += d.Used ? 1 : 0;
        }
    }
    const std::size_t files =
        st.model.ModuleFiles().size() + st.model.FormFiles().size() + st.model.ClassFiles().size();
    std::FILE* out = dump ? stderr : stdout;
    std::fprintf(out, "read        %8.3f s\n", stats.readSeconds);
    std::fprintf(out, "scan        %8.3f s\n", stats.scanSeconds);
    std::fprintf(out, "usage       %8.3f s\n", stats.usageSeconds);
    std::fprintf(out, "total       %8.3f s\n", total);
    std::fprintf(out, "lines       %zu\n", stats.lines);
    std::fprintf(out, "files       %zu\n", files);
    std::fprintf(out, "procedures  %zu\n", procedures);
    std::fprintf(out, "definitions %zu\n", definitions);
    std::fprintf(out, "used        %zu\n", used);
    if (dump) Dump(st);
    return 0;
}

int Generate(const std::vector<std::string>& args) {
    std::string folder;
    bench::GeneratorOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](long& v) {
            if (i + 1 >= args.size()) return false;
            v = std::strtol(args[++i].c_str(), nullptr, 10);
            return true;
        };
        long v = 0;
        if (a == "--files" && value(v)) o.files = static_cast<int>(v);
        else if (a == "--lines" && value(v)) o.lines = v;
        else if (a == "--seed" && value(v)) o.seed = static_cast<std::uint32_t>(v);
        else if (a == "--lf") o.lfOnly = true;
        else if (a == "--copies" && value(v)) o.copies = static_cast<int>(v);
        else if (folder.empty() && a.rfind("--", 0) != 0) folder = a;
        else return Usage();
    }
    if (folder.empty()) return Usage();
    const bench::GeneratedProject p = bench::GenerateProject(folder, o);
    std::printf("%s\n%ld lines, %d files, %d procedures\n", p.projectPath.c_str(), p.lines, p.files, p.procedures);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (command == "load") return Load(args);
        if (command == "generate") return Generate(args);
        if (command == "xref") return bench::Xref(args);
        if (int rc = 0; bench::RunRewriteCommand(command, args, rc)) return rc;
    } catch (const std::exception& e) {
        std::cerr << "quillet-bench: " << e.what() << "\n";
        return 1;
    }
    return Usage();
}
