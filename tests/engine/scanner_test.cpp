#include <gtest/gtest.h>

#include <map>

#include "engine/scanner.h"
#include "tests/engine/scan_fixture.h"

using namespace engine;
using enginetest::ScannedFile;
using testsupport::CrLf;

namespace {

struct Bounds {
    std::string name;
    LineIndex start, headerEnd, end;
    bool operator==(const Bounds&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Bounds& b) {
    return o << b.name << " " << b.start << ".." << b.headerEnd << ".." << b.end;
}

std::vector<Bounds> BoundsOf(const ProcedureList& procs) {
    std::vector<Bounds> out;
    for (const auto& p : procs) {
        EXPECT_EQ(p.pEnd, p.pFuncLineEnd) << p.pName;
        out.push_back({p.pName, p.pStart, p.pFuncLineStart, p.pFuncLineEnd});
    }
    return out;
}

TEST(Scanner, ListOrderNodeKeysAndTexts) {
    ScannedFile f("m.bas", CrLf({
                               "Attribute VB_Name = \"m\"",            // 0
                               "Option Explicit",                      // 1
                               "Private Sub First()",                  // 2
                               "End Sub",                              // 3
                               "Public Function Second() As Long",     // 4
                               "End Function",                         // 5
                               "",                                     // 6
                               "",                                     // 7
                               "",                                     // 8
                               "",                                     // 9
                               "Private Sub Foo()",                    // 10
                               "End Sub",                              // 11
                               "Public Property Get Value(a, _",       // 12
                               "    b, _",                             // 13
                               "    c) As Long",                       // 14
                               "End Property",                         // 15
                           }));
    EXPECT_EQ(BoundsOf(f.procs), (std::vector<Bounds>{{"Value", 12, 14, 15},
                                                      {"Foo", 10, 10, 11},
                                                      {"Second", 4, 4, 5},
                                                      {"First", 2, 2, 3}}));
    EXPECT_FALSE(f.dataOnly);
    const Tree& t = f.state.treProject;
    const NodeId foo = t.Find(f.key + "_Foo_Sub_10");
    ASSERT_NE(foo, kNoNode);
    EXPECT_EQ(t.Node(foo).text, "Foo" + std::string(37, ' ') + "Sub" + std::string(12, ' ') + " - Line    10");
    EXPECT_EQ(t.Node(foo).image, "routine");
    EXPECT_TRUE(t.Node(foo).checked);
    EXPECT_EQ(t.Node(foo).openLine, 10);
    const NodeId value = t.Find(f.key + "_Value_Property_12");
    ASSERT_NE(value, kNoNode);
    EXPECT_TRUE(t.Node(value).text.ends_with(" - Line    14"));
    // Nodes are added in list order: last procedure first.
    const auto& children = t.Children(t.Find(f.key));
    ASSERT_EQ(children.size(), 4u);
    EXPECT_EQ(children.front(), value);
    for (const auto& p : f.procs) {
        EXPECT_EQ(p.pFilename(), "m.bas");
        EXPECT_EQ(p.pOffset(), 1);
        EXPECT_EQ(p.pProject(), "P.vbp");
        EXPECT_EQ(p.pAppFldr(), f.dir.path());
        EXPECT_TRUE(p.pChecked);
    }
    EXPECT_EQ(ProcedureNodeText(std::string(45, 'n'), "Function", 123456),
              std::string(40, 'n') + "Function" + std::string(7, ' ') + " - Line 123456");
}

TEST(Scanner, StringsCommentsAndLongerWordsLeaveTheBoundsAlone) {
    ScannedFile f("m.bas", CrLf({
                               "Attribute VB_Name = \"m\"",                                  // 0
                               "Private Sub Foo(ByVal bDim As Long) ' Exit Sub when done",  // 1
                               "    Debug.Print \"End Sub\"",                               // 2
                               "    MsgBox \"Function failed\"",                            // 3
                               "    bSub = bVal",                                           // 4
                               "    SetTextProperty a, b",                                  // 5
                               "    Rem End Sub",                                           // 6
                               "    x = 1 ' End Function",                                  // 7
                               "    If x Then Exit Sub",                                    // 8
                               "End Sub",                                                   // 9
                               "Private Function Bar(s As String) As String",               // 10
                               "    Bar = \"Private Sub Baz()\"",                           // 11
                               "End Function",                                              // 12
                           }));
    EXPECT_EQ(BoundsOf(f.procs), (std::vector<Bounds>{{"Bar", 10, 10, 12}, {"Foo", 1, 1, 9}}));
}

// Property, Sub and Function used as names inside a body open no procedure, and keep the real
// header's name and kind; an End Sub after ":" closes its procedure.
TEST(Scanner, KeywordsUsedAsNamesLeaveTheBoundsAlone) {
    ScannedFile f("m.bas", CrLf({
                               "Attribute VB_Name = \"m\"",                                                     // 0
                               "Private Sub DrawCheck(ByRef ImageControl As Image, ByVal Property As Boolean)",  // 1
                               "    ImageControl.Picture = IIf(Property = True, PicCheckBoxEnabled, picCheckBoxDisabled)",
                               "End Sub",                                                                      // 3
                               "Public Function Join(ByVal c As String) As String",                            // 4
                               "    Dim Property As String",                                                   // 5
                               "    Property = Property & c",                                                  // 6
                               "    Call Sub1",                                                                // 7
                               "    x.Property = Property",                                                    // 8
                               "    Join = Property",                                                          // 9
                               "End Function",                                                                 // 10
                               "Sub Two()",                                                                    // 11
                               "    Debug.Print 1: End Sub",                                                   // 12
                           }));
    EXPECT_EQ(BoundsOf(f.procs), (std::vector<Bounds>{{"Two", 11, 11, 12}, {"Join", 4, 4, 10}, {"DrawCheck", 1, 1, 3}}));
    const Tree& t = f.state.treProject;
    EXPECT_NE(t.Find(f.key + "_DrawCheck_Sub_1"), kNoNode);
    EXPECT_NE(t.Find(f.key + "_Join_Function_4"), kNoNode);
    ASSERT_NE(f.Def("Property"), nullptr);
    EXPECT_EQ(f.Def("Property")->ProcName, "Join");
}

TEST(Scanner, EveryRecordRunsFromItsHeaderToItsEndLine) {
    ScannedFile f("m.bas", CrLf({
                               "Attribute VB_Name = \"m\"",        // 0
                               "Private WithEvents mForm As Form",  // 1: header-like, no record open
                               "Private Sub A()",                   // 2
                               "    x = 1",                         // 3
                               "End Sub",                           // 4
                               "End Sub",                           // 5: an End line whose header never comes
                               "Private WithEvents mOther As Form",  // 6
                               "Private Sub B(): End Sub",          // 7: header and End on one line
                               "Private Sub C()",                   // 8
                               "End Sub",                           // 9
                           }));
    EXPECT_EQ(BoundsOf(f.procs), (std::vector<Bounds>{{"C", 8, 8, 9}, {"A", 2, 2, 4}}));
}

TEST(Scanner, LineZeroAndTheStartUpProcedure) {
    ScannedFile f("nohead.bas", CrLf({"Public Sub main()", "End Sub"}));
    ASSERT_EQ(f.procs.size(), 1u);
    EXPECT_EQ(f.procs[0].pStart, 0);
    EXPECT_TRUE(f.procs[0].pStartupProc);
    EXPECT_TRUE(f.result.holdsMain);
}

TEST(Scanner, TraceModuleProceduresAreBlueAndUnchecked) {
    ScannedFile f("Common\\modTrace.bas", CrLf({"Attribute VB_Name = \"modTrace\"", "Sub T()", "End Sub"}));
    const NodeId n = f.state.treProject.Find(f.key + "_T_Sub_1");
    ASSERT_NE(n, kNoNode);
    EXPECT_EQ(f.state.treProject.Node(n).foreColor, kColorBlue);
    EXPECT_FALSE(f.state.treProject.Node(n).checked);
}

TEST(Scanner, DataOnlyFilesAndDefinitionLabels) {
    ScannedFile data("d.bas", CrLf({"Attribute VB_Name = \"d\"", "Public Const A = 1", "Dim b As Long"}));
    EXPECT_TRUE(data.dataOnly);
    EXPECT_TRUE(data.procs.empty());
    ASSERT_EQ(data.defs.size(), 2u);
    for (const auto& d : data.defs) EXPECT_EQ(d.ProcName, "_None_");

    // Above the first procedure, between two and below the last (alternatives under #If/#Else):
    // the module's; inside a procedure: the procedure's.
    ScannedFile code("m.bas", CrLf({"Attribute VB_Name = \"m\"", "Private mTop As Long", "#If A Then", "Sub One()",
                                    "    Dim x As Long", "End Sub", "Private mBetween As Long", "Sub Two()",
                                    "    Dim y As Long", "End Sub", "#Else", "Private mBelow As Long", "#End If"}));
    std::map<std::string, std::string> owners;
    for (const auto& d : code.defs) owners[d.Variable] = d.ProcName;
    const std::map<std::string, std::string> expected = {
        {"mTop", "_None_"}, {"x", "One"}, {"mBetween", "_None_"}, {"y", "Two"}, {"mBelow", "_None_"}};
    EXPECT_EQ(owners, expected);
}

// A Cancel that arrives while the event loop is served stops the walk: every record that leaves
// the scanner runs from its header to its End line, and the definitions not reached have no owner.
TEST(Scanner, CancelKeepsCompleteRecordsOnly) {
    std::string bytes = "Attribute VB_Name = \"m\"\r\n";
    for (int p = 0; p < 200; ++p) {
        bytes += "Sub P" + std::to_string(p) + "()\r\n    Dim v" + std::to_string(p) + " As Long\r\n";
        for (int i = 0; i < 20; ++i) bytes += "    x = x + 1\r\n";
        bytes += "End Sub\r\n";
    }
    // Every reading of the clock moves it by ten milliseconds; the first service of the event loop
    // brings the Cancel.
    ScannedFile f("m.bas", bytes, [](enginetest::FakeHost& h) {
        h.clockStep = 0.01;
        h.cancelOnEvents = true;
    });
    EXPECT_FALSE(f.result.complete);
    ASSERT_FALSE(f.procs.empty());
    EXPECT_LT(f.procs.size(), 200u);
    for (const clsProcedures& p : f.procs) {
        EXPECT_LT(p.pStart, p.pFuncLineEnd);
        EXPECT_EQ(p.pFuncLineEnd - p.pStart, 22) << p.pName;
    }
    std::size_t owned = 0;
    for (const clsDefinitions& d : f.defs) owned += !d.ProcName.empty();
    EXPECT_EQ(owned, f.procs.size());            // the locals of the complete procedures
    EXPECT_LE(f.defs.size() - owned, 1u);        // a local met after the last header has no owner
}

TEST(Scanner, LongFilesServeTheEventLoop) {
    std::string bytes = CrLf({"Attribute VB_Name = \"m\"", "Sub A()"});
    for (int i = 0; i < 5000; ++i) bytes += "    x = x + 1\r\n";
    bytes += "End Sub\r\n";
    // Every reading of the clock moves it by ten milliseconds.
    ScannedFile f("m.bas", bytes, [](enginetest::FakeHost& h) { h.clockStep = 0.01; });
    EXPECT_EQ(f.procs.size(), 1u);
    EXPECT_GT(f.host.events, 0);
}

}  // namespace
