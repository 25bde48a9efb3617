#include "tests/app/support/ReportFixture.h"

#include <stdexcept>

#include "engine/loader.h"
#include "reports/xref.h"

namespace apptest {

using testsupport::CrLf;
using testsupport::Lf;
using testsupport::WriteBytes;

std::string WriteReportGroup(const std::string& folder) {
    auto file = [&folder](const std::string& relative) { return folder + relative; };
    WriteBytes(file("G.vbg"), CrLf({"VBGROUP 5.0", "StartupProject=App\\App.vbp", "Project=Lib\\Sub\\Lib.vbp"}));
    WriteBytes(file("App/App.vbp"), CrLf({"Type=Exe", "Module=Main; Main.bas", "Form=Form1.frm"}));
    WriteBytes(file("App/Main.bas"), CrLf({"Attribute VB_Name = \"Main\"",
                                               "Public gUsed As Long",    // 1
                                               "Public gUnused As String",  // 2
                                               "Public Sub Start()",      // 3
                                               "    gUsed = 1",           // 4
                                               "    Helper 2",            // 5
                                               "End Sub"}));              // 6
    WriteBytes(file("App/Form1.frm"), CrLf({"VERSION 5.00",
                                                "Begin VB.Form Form1",
                                                "   Caption         =   \"Form1\"",
                                                "End",
                                                "Attribute VB_Name = \"Form1\"",
                                                "Attribute VB_GlobalNameSpace = False",
                                                "Option Explicit",                // 1
                                                "Private mCount As Integer",      // 2
                                                "Private Sub Form_Load()",        // 3
                                                "    mCount = 0",                 // 4
                                                "    Start",                      // 5
                                                "End Sub"}));                     // 6
    WriteBytes(file("Lib/Sub/Lib.vbp"), CrLf({"Type=Exe", "Module=Util; Util.bas"}));
    WriteBytes(file("Lib/Sub/Util.bas"), Lf({"Attribute VB_Name = \"Util\"",
                                                 "Public Sub Helper(ByVal n As Long)",  // 1
                                                 "    Dim lost As Integer",            // 2
                                                 "End Sub",                            // 3
                                                 "Sub Caller()",                       // 4
                                                 "    Helper 1",                       // 5
                                                 "End Sub"}));                         // 6
    return folder + "G.vbg";
}

LoadedProject::LoadedProject() {
    host.state = &state;
    state.txtProject = WriteReportGroup(dir.path());
    if (!engine::LoadProject(state, host, host, false)) throw std::runtime_error("the fixture project did not load");
    reports::CreateDefinitionReports(state.model, reports, host, stamp);
}

void LoadedProject::MatchProcedures() {
    reports::XrefOptions options;
    options.logSearches = false;
    reports::MatchProcedures(state, host, options);
}

}  // namespace apptest
