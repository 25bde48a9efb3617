// A small project group on disk, loaded as the tool window loads it, with its four definition
// reports built (and, on request, its Called Routines tree):
//   G.vbg
//   App/App.vbp       Main.bas (CR LF), Form1.frm (CR LF, with a form's header)
//   Lib/Sub/Lib.vbp   Util.bas (LF line ends), a group member in a sub-folder
// Main.bas declares gUsed (used) and gUnused (never used); Util.bas' Helper is called from
// Main.bas line 5 and from Util.bas line 5.
#pragma once

#include <string>

#include "engine/state.h"
#include "reports/definition_reports.h"
#include "tests/engine/fake_host.h"
#include "tests/support/testsupport.h"

namespace apptest {

// Writes the group into `folder` (ending in "/"); returns the path of G.vbg.
std::string WriteReportGroup(const std::string& folder);

struct LoadedProject {
    LoadedProject();
    // Builds the Called Routines tree.
    void MatchProcedures();
    std::string Path(const std::string& relative) const { return dir.path() + relative; }

    testsupport::TempDir dir;
    enginetest::FakeHost host;
    engine::ToolState state;
    reports::DefinitionReports reports;
    reports::ReportStamp stamp{"Jan 02, 2025 - 03:04:05 pm", "Version 1.0  Build 0  Freeware"};
};

}  // namespace apptest
