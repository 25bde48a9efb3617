#include <gtest/gtest.h>

#include "engine/classify.h"
#include "engine/error.h"
#include "engine/source.h"
#include "tests/support/testsupport.h"

using namespace engine;

namespace {

struct MaskCase {
    const char* statement;
    std::int32_t mask;
};

// The masks of the classifier's table, computed as the original does (keywords anywhere).
TEST(GetLineType, MasksOfSingleStatements) {
    const MaskCase cases[] = {
        {"End Sub", 0x2100},
        {"End Function", 0x2100},
        {"Private Sub Foo()", 0x101},
        {"Public Function Foo() As Long", 0x202},
        {"Friend Function Foo()", 0x102},
        {"Private Property Get X() As Long", 0x108},
        {"Public Property Get Name() As String", 0x208},
        {"Private Declare Function F Lib \"k\" () As Long", 0x1112},
        {"Dim x As Long", 0x124},
        {"Public Const X = 1", 0x244},
        {"Global Const X = 1", 0x244},
        {"End Type", 0x8104},
        {"End Enum", 0x10104},
        {"Private WithEvents m As T", 0x4101},
        {"Static n As Long", 0x100},
        {"Exit Sub", 0},
        {"exit sub", 0},
        {"ReDim Preserve a(10)", 0},
        {"private sub foo()", 0x100},
        {"x = 1 ' calls Sub here", 0x101},
        {"Debug.Print \"End Sub\"", 0x2100},
        {"y = x + 1", 0},
    };
    for (const auto& c : cases) {
        std::string s = c.statement;
        EXPECT_EQ(GetLineType(s), c.mask) << c.statement;
    }
}

// The scanner's classification counts only the code of a statement and whole keywords.
TEST(GetCodeLineType, KeywordsInStringsCommentsAndLongerWordsDoNotCount) {
    const MaskCase cases[] = {
        {"Debug.Print \"End Sub\"", 0},
        {"MsgBox \"Function failed\"", 0},
        {"bSub = bVal", 0},
        {"SetTextProperty a, b", 0},
        {"x = 1 ' End Sub", 0},
        {"Rem End Function", 0},
        {"x = 1: Rem Sub Foo()", 0},
        {"obj.Property = 1", 0},
        {"#Const DEBUG_MODE = 1", 0},
        {"Call Subtotal(a)", 0},
        {"Private Sub Foo(ByVal bDim As Long)", 0x101},
        {"Private Sub Foo() ' Exit Sub when done", 0x101},
        {"Public Function F(ByVal s As String) As String ' Dim", 0x202},
        {"End Sub ' Function", 0x2100},
        {"Private Sub Foo()", 0x101},
        {"Dim sDim As String", 0x124},
        {"Exit Sub", 0},
        {"If a Then Exit Function", 0},
        {"Public Property Get Name() As String", 0x208},
        {"Private Declare Function F Lib \"kernel32\" () As Long", 0x1112},
        {"End Type", 0x8104},
    };
    for (const auto& c : cases) EXPECT_EQ(GetCodeLineType(StatementCode(c.statement)), c.mask) << c.statement;
}

// A header is a statement that starts with the header words, and End Sub/Function/Property
// closes one only at the start of a statement; the same words anywhere else open nothing.
TEST(GetCodeLineType, HeadersAndEndsOnlyAtTheStartOfAStatement) {
    const MaskCase cases[] = {
        // Headers, with keywords as names inside them.
        {"Private Sub DrawCheck(ByRef ImageControl As Image, ByVal Property As Boolean)", 0x101},
        {"Public Function F(ByVal Property As Long) As Long", 0x202},
        {"Friend Property Let Value(ByVal Property As Long)", 0x508},
        {"Private Static Sub Counter()", 0x101},
        {"Static Function Once() As Long", 0x102},
        {"Sub Main()", 0x101},
        {"\tPrivate Sub Indented()", 0x101},
        {"Public Property Set Item(ByVal v As Object)", 0x208},
        // A header after ":", or after a line number or label.
        {"x = 1: Private Sub Foo()", 0x101},
        {"10 Sub Foo()", 0x101},
        // Property, Sub and Function as names: a parameter use, locals, members, a call.
        {"ImageControl.Picture = IIf(Property = True, PicCheckBoxEnabled, picCheckBoxDisabled)", 0x100},
        {"Property = Property & c", 0x100},
        {"Dim Property As Boolean", 0x124},
        {"Dim Sub As Long", 0x124},
        {"Dim Function As Long", 0x124},
        {"x.Property = 1", 0},
        {"Set x.Property = Nothing", 0},
        {"Call Sub1", 0},
        {"Call Property(1)", 0},
        {"Public Property As Long", 0x200},  // a module-level variable named Property
        {"Public Sub", 0x200},               // no name: no header
        {"Public Property Get", 0x200},
        // End lines: at the start of a statement, also after ":" or a label.
        {"End Sub", 0x2100},
        {"\tEnd Sub", 0x2100},
        {"x = 1:\tEnd Sub", 0x2100},
        {"Done: End Function", 0x2100},
        {"Private Sub Foo(): End Sub", 0x2101},
        {"If Property Then x = End Property", 0x100},
        {"x = Sub End Sub", 0x100},
        // Declarations keep their own bits.
        {"Private Declare Function F Lib \"k\" () As Long", 0x1112},
        {"Private WithEvents Property As Form", 0x4109},
    };
    for (const auto& c : cases) EXPECT_EQ(GetCodeLineType(StatementCode(c.statement)), c.mask) << c.statement;
    const ProcedureHeader h = ProcedureHeaderOf("a = 1: Private Static Function Calc$(ByVal Sub1 As Long)");
    EXPECT_EQ(h.kind, mask::kFunction);
    EXPECT_EQ(h.scope, "Private");
    EXPECT_EQ(h.name, "Calc$");
}

TEST(StatementCode, StringsBecomeEmptyAndCommentsGo) {
    const std::pair<const char*, const char*> cases[] = {
        {"x = \"a 'b\" ' note", "x = \"\""},
        {"s = \"say \"\"End Sub\"\"\" & t", "s = \"\" & t"},
        {"  Rem all of this", ""},
        {"rem lower case too", ""},
        {"Remark = 1", "Remark = 1"},
        {"a = 1: Rem b", "a = 1:"},
        {"x = \"unterminated", "x = \"\""},
        {"' whole line", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(StatementCode(in), out) << in;
}

TEST(GetLogicalLine, JoinsContinuedLinesWithOneBlank) {
    const std::vector<std::string> lines = {
        "Private Sub Foo(ByVal a As Long, _",  // 0
        "     ByVal b As Long, _",             // 1
        "     ByVal c As Long)",               // 2
        "  x = \"a _b\"",                      // 3: " _" inside a string does not continue
        "Dim a As Long, _",                    // 4
        "  b As Long",                         // 5
        "",                                    // 6
        "y = 1 _",                             // 7: last line, continued: the walk stops at the end
    };
    LineIndex first = -1;
    EXPECT_EQ(GetLogicalLine(lines, 2, first, -1), "Private Sub Foo(ByVal a As Long, ByVal b As Long, ByVal c As Long)");
    EXPECT_EQ(first, 0);
    EXPECT_EQ(GetLogicalLine(lines, 0, first, 1), "Private Sub Foo(ByVal a As Long, ByVal b As Long, ByVal c As Long)");
    EXPECT_EQ(first, 2);
    EXPECT_EQ(GetLogicalLine(lines, 3, first, -1), "x = \"a _b\"");
    EXPECT_EQ(first, 3);
    EXPECT_EQ(GetLogicalLine(lines, 5, first, -1), "Dim a As Long, b As Long");
    EXPECT_EQ(first, 4);
    EXPECT_EQ(GetLogicalLine(lines, 6, first, 1), "");
    EXPECT_EQ(first, 7);
    EXPECT_EQ(GetLogicalLine(lines, 7, first, 1), "y = 1");
    EXPECT_EQ(first, 7);
    // The first line of the array, continued from nowhere.
    EXPECT_EQ(GetLogicalLine(lines, 0, first, -1), "Private Sub Foo(ByVal a As Long,");
    EXPECT_EQ(first, 0);
}

TEST(ClassifyLine, ContinuedHeaderMovesTheIndexAndFillsTheOpenRecord) {
    const std::vector<std::string> lines = {
        "Attribute VB_Name = \"m\"",  // 0
        "Private Sub Foo(a, _",       // 1
        "   b, _",                    // 2
        "   c)",                      // 3
        "  x = 1",                    // 4
        "End Sub",                    // 5
    };
    ProcedureList procs;
    ClassifierState state;
    std::int32_t record = 0;
    std::string statement;
    LineIndex i = 5;
    EXPECT_EQ(ClassifyLine(procs, lines, i, record, statement, state), 0x2100);
    ASSERT_EQ(procs.size(), 1u);
    EXPECT_TRUE(state.InProcedure);
    EXPECT_EQ(procs[0].pFuncLineEnd, 5);
    i = 4;
    EXPECT_EQ(ClassifyLine(procs, lines, i, record, statement, state), 0);
    i = 3;
    EXPECT_EQ(ClassifyLine(procs, lines, i, record, statement, state), 0x101);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(statement, "Private Sub Foo(a, b, c)");
    EXPECT_EQ(procs[0].pStart, 3);
    EXPECT_EQ(procs[0].pFuncLineStart, 3);
    EXPECT_EQ(procs[0].pProcType, 0x101);
    EXPECT_TRUE(procs[0].pChecked);
    // Line 0 is classified like every other line; comment and empty lines give 0.
    std::vector<std::string> top = {"Sub A()", "' c", ""};
    ClassifierState s2;
    i = 0;
    EXPECT_EQ(ClassifyLine(procs, top, i, record, statement, s2), 0x101);
    i = 1;
    EXPECT_EQ(ClassifyLine(procs, top, i, record, statement, s2), 0);
    i = 2;
    EXPECT_EQ(ClassifyLine(procs, top, i, record, statement, s2), 0);
}

TEST(ClassifyLine, ModuleLevelScopeDeclarationsAreDefinitions) {
    const std::vector<std::string> lines = {"Private m As Long", "Public g As String", "Private Type Pt",
                                            "Public Event Changed()", "Global c As Integer"};
    const std::int32_t expected[] = {0x124, 0x224, 0x100, 0x200, 0x224};
    for (LineIndex k = 0; k < 5; ++k) {
        ProcedureList procs;
        ClassifierState state;
        std::int32_t record = 0;
        std::string statement;
        LineIndex i = k;
        EXPECT_EQ(ClassifyLine(procs, lines, i, record, statement, state), expected[k]) << lines[k];
    }
}

TEST(StripProcedureKeywords, LeavesTheNameFirst) {
    const std::pair<const char*, const char*> cases[] = {
        {"Friend Function Foo() As Long", "Foo() As Long"},
        {"Public Property Set Item(ByVal v As Object)", "Item(ByVal v As Object)"},
        {"Private Static Sub Counter()", "Counter()"},
        {"Public Property Let Value(ByVal v As Long)", "Value(ByVal v As Long)"},
        {"Private Sub GetSubData(ByVal sGet As String)", "GetSubData(ByVal sGet As String)"},
        {"Sub Main()", "Main()"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(StripProcedureKeywords(in), out) << in;
    EXPECT_EQ(GetProcedureType(0x202), "Function");
    EXPECT_EQ(GetProcedureType(0x101), "Sub");
    EXPECT_EQ(GetProcedureType(0x208), "Property");
    EXPECT_EQ(GetProcedureType(0x4), "");
}

TEST(CodeOffset, FirstLineAfterTheAttributeRun) {
    std::int32_t o = 0;
    CodeOffset(std::vector<std::string>{"Attribute VB_Name = \"m\"", "Option Explicit"}, o);
    EXPECT_EQ(o, 1);
    o = 0;
    CodeOffset(std::vector<std::string>{"VERSION 5.00", "Begin VB.Form f", "End", "Attribute VB_Name = \"f\"", "Attribute VB_Exposed = False",
                "", "Option Explicit"},
               o);
    EXPECT_EQ(o, 5);
    o = 7;
    CodeOffset(std::vector<std::string>{"Option Explicit", "Sub A()"}, o);
    EXPECT_EQ(o, 7);
    o = 3;
    CodeOffset(std::vector<std::string>{"Attribute VB_Name = \"m\""}, o);
    EXPECT_EQ(o, 3);
}

TEST(ReadSourceFile, LineArraysAndCodeOffsets) {
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.file("a.bas"), testsupport::CrLf({"Attribute VB_Name = \"a\"", "Sub A()", "End Sub"}));
    testsupport::WriteBytes(dir.file("b.bas"), testsupport::Lf({"Attribute VB_Name = \"b\"", "Sub B()", "End Sub"}));
    testsupport::WriteBytes(dir.file("MOD1.BAS"), testsupport::CrLf({"Attribute VB_Name = \"m\"", "Sub M()"}));
    testsupport::WriteBytes(dir.file("e.bas"), "");
    testsupport::MakeFolders(dir.path() + "dir.bas");

    std::int32_t o = 0;
    auto a = ReadSourceFile(dir.path() + "a.bas", o);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->lines, (std::vector<std::string>{"Attribute VB_Name = \"a\"", "Sub A()", "End Sub"}));
    EXPECT_EQ(a->ends, std::vector<platform::LineEnd>(3, platform::LineEnd::CrLf));
    EXPECT_EQ(o, 1);
    o = 0;
    auto b = ReadSourceFile(dir.path() + "b.bas", o);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->lines.size(), 3u);
    EXPECT_EQ(b->ends, std::vector<platform::LineEnd>(3, platform::LineEnd::Lf));
    EXPECT_EQ(o, 1);
    o = 0;
    ASSERT_TRUE(ReadSourceFile(dir.path() + "MOD1.BAS", o));
    EXPECT_EQ(o, 1);  // the extension in any letter case
    o = 0;
    ASSERT_TRUE(ReadSourceFile(dir.path() + "MOD1.BAS", o, nullptr, "Notes\\mod1.txt"));
    EXPECT_EQ(o, 0);  // the listed name decides
    auto e = ReadSourceFile(dir.path() + "e.bas", o);
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->lines.empty());
    EXPECT_FALSE(ReadSourceFile(dir.path() + "missing.bas", o));
    EXPECT_THROW(ReadSourceFile(dir.path() + "dir.bas", o), EngineError);
}

TEST(WithoutLineLabel, NumbersAndLabelsInFront) {
    const std::pair<const char*, const char*> cases[] = {
        {"000010 Dim s As String", "Dim s As String"},
        {"10: x = 1", "x = 1"},
        {"Retry: Dim s", "Dim s"},
        {"\tRetry:\tx = 1", "x = 1"},
        {"Retry:", ""},
        {"10", ""},
        {"Retry : x = 1", "Retry : x = 1"},   // a blank before the ":": no label
        {"Foo a:=1", "Foo a:=1"},             // a named argument
        {"x = 1", "x = 1"},
        {"1.5 x", "1.5 x"},                   // no line number
        {"10x = 1", "10x = 1"},
        {"_x: y", "_x: y"},
        {"Calc$: y", "Calc$: y"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(WithoutLineLabel(in), out) << in;
}

TEST(SourceLines, AttributeLinesAndTheVbName) {
    EXPECT_TRUE(IsAttributeLine("Attribute VB_Name = \"m\""));
    EXPECT_TRUE(IsAttributeLine("  Attribute Foo.VB_UserMemId = 0"));
    EXPECT_FALSE(IsAttributeLine("Attributes = 1"));
    EXPECT_FALSE(IsAttributeLine("' Attribute"));
    EXPECT_EQ(VbName(std::vector<std::string>{"VERSION 5.00", "Attribute VB_Name = \"frmMain\"", "x"}), "frmMain");
    EXPECT_EQ(VbName(std::vector<std::string>{"Attribute VB_Exposed = False", "Attribute VB_Name = Plain"}), "Plain");
    EXPECT_EQ(VbName(std::vector<std::string>{"Attribute VB_Namex = \"no\""}), "");
}

}  // namespace
