#include <gtest/gtest.h>

#include "engine/linenumbers.h"
#include "tests/engine/rewrite_fixture.h"
#include "tests/engine/scan_fixture.h"

using namespace engine;
using enginetest::ProjectFolder;
using enginetest::ScannedFile;
using enginetest::Session;
using testsupport::CrLf;

namespace {

const std::vector<std::string_view> kSource = {
    "Attribute VB_Name = \"modN\"",
    "Option Explicit",
    "Private mCount As Long",
    "Public Function Compute(ByVal n As Long, _",
    "        ByVal m As Long) As Long",
    "Attribute Compute.VB_Description = \"x\"",
    "    Dim i As Long, _",
    "        j As Long",
    "    ' a comment _",
    "      that goes on",
    "    x = a + _",
    "        b",
    "Retry:",
    "Cleanup: x = 1",
    "    10 y = 2",
    "    #If DEBUG Then",
    "    #End If",
    "",
    "    Select Case n",
    "        ' first",
    "        Case 1",
    "            y = 1",
    "        Case Else",
    "            y = 2",
    "    End Select",
    "    Call Go(a:=1)",
    "End Function",
    "Sub Two()",
    "    Select Case n",
    "End Sub",
    "Sub Three()",
    "        z = 1",
    "End Sub",
    "Sub Four()",
    "        Dim k As Long",
    "    ' only a comment",
    "End Sub",
};

std::string Join(const std::vector<std::string_view>& lines) {
    std::string s;
    for (auto l : lines) (s += l) += "\r\n";
    return s;
}

// Numbers the source in memory with the scanner's records and definitions.
struct Numbered {
    ScannedFile scan{"modN.bas", Join(kSource)};
    clsFileInfo file;
    LineArray text;
    Numbered() {
        file.fProject = "P.vbp";
        file.fFilename = "modN.bas";
        text = platform::SplitLines(Join(kSource));
    }
    std::int64_t Number(std::int64_t increment, int scope, std::int64_t counter = 0) {
        if (counter == 0) counter = increment;
        const DeclarationLines decl(scan.defs);
        return AddLineNumbersToFile(scan.procs, text, decl.For(file), counter, increment, scope);
    }
    std::string Bytes() const { return platform::JoinLines(text); }
};

TEST(LineNumbers, WhichLinesGetANumber) {
    Numbered n;
    // 000010 is the author's ("10 y = 2"): in Compute ours start at 000020.
    EXPECT_EQ(n.Number(10, 2), 80);
    EXPECT_EQ(n.Bytes(),
              Join({
                  "Attribute VB_Name = \"modN\"",
                  "Option Explicit",
                  "Private mCount As Long",
                  "Public Function Compute(ByVal n As Long, _",
                  "        ByVal m As Long) As Long",
                  "Attribute Compute.VB_Description = \"x\"",
                  "           Dim i As Long, _",
                  "               j As Long",
                  "           ' a comment _",
                  "             that goes on",
                  "000020     x = a + _",
                  "               b",
                  "       Retry:",
                  "       Cleanup: x = 1",
                  "           10 y = 2",
                  "           #If DEBUG Then",
                  "           #End If",
                  "       ",
                  "000030     Select Case n",
                  "               ' first",
                  "               Case 1",
                  "000040             y = 1",
                  "000050         Case Else",
                  "000060             y = 2",
                  "000070     End Select",
                  "000080     Call Go(a:=1)",
                  "End Function",
                  "Sub Two()",
                  "000010     Select Case n",  // the search for its first Case stops at End Sub
                  "End Sub",
                  "Sub Three()",
                  "000010         z = 1",
                  "End Sub",
                  "Sub Four()",  // nothing to number: left as it is
                  "        Dim k As Long",
                  "    ' only a comment",
                  "End Sub",
              }));
}

TEST(LineNumbers, CounterByScopeAndIncrement) {
    struct Case {
        int scope;
        std::int64_t increment, start;
        std::vector<std::string> firstOfEach;  // the number of the first numbered line of each procedure
        std::int64_t highest;
    } cases[] = {
        {2, 10, 0, {"000020", "000010", "000010"}, 80},  // Compute's 000010 is the author's
        {1, 20, 0, {"000020", "000160", "000180"}, 180},
        {0, 100, 500, {"000500", "001200", "001300"}, 1300},  // the whole-project count goes on from the file before
    };
    for (const Case& c : cases) {
        Numbered n;
        EXPECT_EQ(n.Number(c.increment, c.scope, c.start), c.highest) << c.scope;
        std::vector<std::string> first;
        for (std::size_t line : {10u, 28u, 31u}) first.push_back(n.text.lines[line].substr(0, 6));
        EXPECT_EQ(first, c.firstOfEach) << c.scope;
    }
}

TEST(LineNumbers, RenumberAndRemoveGiveBackTheSameBytes) {
    Numbered n;
    n.Number(10, 0);
    const std::string once = n.Bytes();
    n.Number(10, 0);
    EXPECT_EQ(n.Bytes(), once);  // old prefixes are stripped first
    n.Number(50, 2);
    n.Number(10, 0);
    EXPECT_EQ(n.Bytes(), once);
    EXPECT_TRUE(StripLineNumbers(n.scan.procs, n.text));
    EXPECT_EQ(n.Bytes(), Join(kSource));
    EXPECT_FALSE(StripLineNumbers(n.scan.procs, n.text));
}

TEST(LineNumbers, StripLeavesIndentationAndOwnLabelsOfUnnumberedProcedures) {
    // A procedure that was never numbered keeps every blank, also where a line starts with seven;
    // a line added to a numbered procedure since is left as it is, its neighbours are stripped.
    const std::string source = CrLf({"Attribute VB_Name = \"m\"", "Sub A()", "            x = 1", "    10 y = 2",
                                     "End Sub", "Sub B()", "000010     x = 1", "    added = 1", "000020     z = 3",
                                     "           ' note", "End Sub"});
    ScannedFile scan("m.bas", source);
    LineArray text = platform::SplitLines(source);
    EXPECT_TRUE(StripLineNumbers(scan.procs, text));
    EXPECT_EQ(platform::JoinLines(text),
              CrLf({"Attribute VB_Name = \"m\"", "Sub A()", "            x = 1", "    10 y = 2", "End Sub", "Sub B()",
                    "    x = 1", "    added = 1", "    z = 3", "    ' note", "End Sub"}));
}

TEST(LineNumbers, SelectCaseRule) {
    struct Case {
        const char* name;
        std::vector<std::string_view> body, numbered;
    } cases[] = {
        {"first Case ends the rule",
         {"Select Case n", "' note", "Case 1", "x = 1", "End Select", "y = 2"},
         {"000010 Select Case n", "       ' note", "       Case 1", "000020 x = 1", "000030 End Select", "000040 y = 2"}},
        {"a Select without Case ends at End Select",
         {"Select Case n", "End Select", "y = 2", "z = 3"},
         {"000010 Select Case n", "       End Select", "000020 y = 2", "000030 z = 3"}},
        {"a Select without Case or End stops at the End line",
         {"Select Case n", "y = 2"},
         {"000010 Select Case n", "       y = 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string_view> lines = {"Attribute VB_Name = \"m\"", "Sub A()"};
        lines.insert(lines.end(), c.body.begin(), c.body.end());
        lines.push_back("End Sub");
        ScannedFile scan("m.bas", Join(lines));
        LineArray text = platform::SplitLines(Join(lines));
        std::int64_t counter = 10;
        AddLineNumbersToFile(scan.procs, text, nullptr, counter, 10, 0);
        std::vector<std::string_view> want = {"Attribute VB_Name = \"m\"", "Sub A()"};
        want.insert(want.end(), c.numbered.begin(), c.numbered.end());
        want.push_back("End Sub");
        EXPECT_EQ(platform::JoinLines(text), Join(want));
    }
}

// Removal takes away only what numbering put there: on a body that was never numbered it changes
// nothing, and after numbering it gives back the very bytes, whatever the body and its indentation.
TEST(LineNumbers, RemovalRoundTripsEveryBodyAndIndentation) {
    struct Body {
        const char* name;
        std::vector<std::string> lines;  // before the indentation is put in front
        bool numbered;                   // numbering gives it a number
    } bodies[] = {
        {"code only", {"x = 1", "Call Go(x)"}, true},
        {"comments only", {"' #SECURITY", "' second"}, false},
        {"blank lines only", {"", ""}, false},
        {"empty body", {}, false},
        {"declarations and a comment", {"Dim k As Long", "' note"}, false},
        {"mixed", {"Dim k As Long", "' note", "", "k = 1", "Retry:", "#If A Then", "k = 2 + _", "    3", "#End If"}, true},
        {"tabs", {"\tx = 1", "\t' note", "\t"}, true},
        {"tabs without code", {"\t' note", "\t"}, false},
    };
    for (const Body& body : bodies)
        for (int indent = 0; indent <= 12; ++indent) {
            const std::string row = std::string(body.name) + ", indented by " + std::to_string(indent);
            std::string source = "Attribute VB_Name = \"m\"\r\nPublic Sub B(ByVal e As Long)\r\n";
            for (const std::string& line : body.lines)
                source += (line.empty() ? std::string(indent % 3, ' ') : std::string(indent, ' ') + line) + "\r\n";
            source += "End Sub\r\nSub C()\r\n" + std::string(indent, ' ') + "' after\r\nEnd Sub\r\n";
            ScannedFile scan("m.bas", source);
            ASSERT_EQ(scan.procs.size(), 2u) << row;

            LineArray text = platform::SplitLines(source);
            EXPECT_FALSE(StripLineNumbers(scan.procs, text)) << row;
            EXPECT_EQ(platform::JoinLines(text), source) << row;

            const DeclarationLines decl(scan.defs);
            clsFileInfo file;
            file.fProject = "P.vbp";
            file.fFilename = "m.bas";
            std::int64_t counter = 10;
            AddLineNumbersToFile(scan.procs, text, decl.For(file), counter, 10, 0);
            EXPECT_EQ(platform::JoinLines(text) != source, body.numbered) << row;
            EXPECT_EQ(StripLineNumbers(scan.procs, text), body.numbered) << row;
            EXPECT_EQ(platform::JoinLines(text), source) << row;
        }
}

// No directive line carries a number, however it is indented; the lines between alternative
// headers belong to the header block and are left as they are.
TEST(LineNumbers, DirectivesAndAlternativeHeadersCarryNoNumber) {
    const std::string source =
        CrLf({"Attribute VB_Name = \"m\"", "#If Secure Then", "Public Function F(ByVal a As Long) As Boolean",
              "On Error GoTo Fail", "#Else", "Public Function F() As Boolean", "On Error GoTo Fail", "#End If",
              "    x = 1", "\t#If DEBUG Then", "    # If TRACE Then", "\t\tx = 2", "    #ElseIf B Then", "  #Else",
              "\t#End If", "#End If", "Fail:", "End Function"});
    ScannedFile scan("m.bas", source);
    ASSERT_EQ(scan.procs.size(), 1u);
    LineArray text = platform::SplitLines(source);
    std::int64_t counter = 10;
    AddLineNumbersToFile(scan.procs, text, nullptr, counter, 10, 0);
    EXPECT_EQ(platform::JoinLines(text),
              CrLf({"Attribute VB_Name = \"m\"", "#If Secure Then", "Public Function F(ByVal a As Long) As Boolean",
                    "On Error GoTo Fail", "#Else", "Public Function F() As Boolean", "On Error GoTo Fail", "#End If",
                    "000010     x = 1", "       \t#If DEBUG Then", "           # If TRACE Then", "000020 \t\tx = 2",
                    "           #ElseIf B Then", "         #Else", "       \t#End If", "       #End If", "       Fail:",
                    "End Function"}));
    EXPECT_TRUE(StripLineNumbers(scan.procs, text));
    EXPECT_EQ(platform::JoinLines(text), source);
}

// ---- the commands on a project -----------------------------------------------------------------

void WriteTwoModules(const ProjectFolder& f) {
    f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; modB.bas"}));
    // A declaration of modA stands at the line index of a statement of modB, in procedures of one name.
    f.Write("modA.bas", CrLf({"Attribute VB_Name = \"modA\"", "Sub A()", "    Dim a As Long", "    b = 2", "End Sub"}));
    f.Write("modB.bas", CrLf({"Attribute VB_Name = \"modB\"", "Sub A()", "    c = 3", "End Sub"}));
}

TEST(LineNumbers, WholeProjectCountRunsOnAcrossFiles) {
    ProjectFolder f;
    WriteTwoModules(f);
    Session s(f, "App.vbp");
    s.st.LineIncrement = 20;
    s.st.ResequenceIndex = 0;
    rtnAddLineNumbers(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Line Numbers Added / Renumbered");
    EXPECT_EQ(f.Read("modA.bas"),
              CrLf({"Attribute VB_Name = \"modA\"", "Sub A()", "           Dim a As Long", "000020     b = 2", "End Sub"}));
    EXPECT_EQ(f.Read("modB.bas"), CrLf({"Attribute VB_Name = \"modB\"", "Sub A()", "000040     c = 3", "End Sub"}));
    EXPECT_EQ(s.st.RunMode, 1);
    EXPECT_TRUE(s.st.UndoAvailable);
    EXPECT_EQ(s.host.reloads, 0);  // the records still fit; no reload
    // The model moved on with the files: a second run is no "reload first".
    rtnAddLineNumbers(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Line Numbers Added / Renumbered");

    rtnRemoveLineNumbers(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Line Numbers Removed");
    EXPECT_EQ(s.st.RunMode, 2);
    EXPECT_EQ(f.Read("modB.bas"), CrLf({"Attribute VB_Name = \"modB\"", "Sub A()", "    c = 3", "End Sub"}));
}

// A numbered project, loaded again, numbers to the same bytes: the number in front of a line changes
// nothing of how the line is read.
TEST(LineNumbers, NumberingANumberedProjectAgainGivesTheSameBytes) {
    struct Case {
        const char* name;
        std::vector<std::string_view> body, numbered;
    } cases[] = {
        {"a name declared without a type", {"    Dim str_2383", "    Dim n As Long", "    n = 1"},
         {"000010     Dim str_2383", "           Dim n As Long", "000020     n = 1"}},
        {"own labels and line numbers", {"    10 Dim s", "Retry: Dim t", "    Const k = 2", "    k = 3"},
         {"           10 Dim s", "       Retry: Dim t", "           Const k = 2", "000020     k = 3"}},
        // A lone "_" behind a number would end in " _" and continue on the next line.
        {"a lone underscore", {"_", "Dim y"}, {"       _", "000010 Dim y"}},
        // A Rem comment behind a number is still a comment, not a declaration of "Rem".
        {"a Rem comment", {"Rem Dim s", "x = 1"}, {"000010 Rem Dim s", "000020 x = 1"}},
        {"a Type block header", {"Type 3", "B", "End Enum"}, {"000010 Type 3", "       B", "000020 End Enum"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas"}));
        std::vector<std::string_view> lines = {"Attribute VB_Name = \"modA\"", "Sub A()"};
        lines.insert(lines.end(), c.body.begin(), c.body.end());
        lines.push_back("End Sub");
        f.Write("modA.bas", Join(lines));
        std::string once;
        for (int run = 0; run < 3; ++run) {
            Session s(f, "App.vbp");
            ASSERT_TRUE(s.loaded);
            s.st.LineIncrement = 10;
            rtnAddLineNumbers(s.st, s.host, s.host.Files());
            ASSERT_EQ(s.host.LastBox(), "Line Numbers Added / Renumbered");
            if (run == 0) once = f.Read("modA.bas");
            EXPECT_EQ(f.Read("modA.bas"), once) << "run " << run;
        }
        std::vector<std::string_view> want = {"Attribute VB_Name = \"modA\"", "Sub A()"};
        want.insert(want.end(), c.numbered.begin(), c.numbered.end());
        want.push_back("End Sub");
        EXPECT_EQ(once, Join(want));
    }
}

// A procedure that holds a line the author numbered: numbering leaves that number (and the author's
// indentation) alone, and numbering then removal, numbering then undo, and numbering twice give
// back the bytes exactly.
TEST(LineNumbers, ALineNumberedByTheAuthorSurvivesNumberingRemovalAndUndo) {
    struct Row {
        const char* name;
        std::vector<std::string_view> body;
        std::string_view own;    // the author's numbered line, as it must still stand once numbered
        std::string_view first;  // our first number (never the author's)
    } rows[] = {
        {"six digits, with deep indentation",
         {"100000 On Error GoTo Fail", "    If a Then", "            b = 1", "            If c Then", "                d = 2",
          "            End If", "    End If", "Fail:"},
         "100000 On Error GoTo Fail", "000010"},
        {"six digits among shallow lines", {"    a = 1", "100000 b = 2", "    c = 3"}, "100000 b = 2", "000010"},
        {"a short number, with deep indentation", {"    If a Then", "10          b = 1", "            c = 2", "    End If"},
         "10          b = 1", "000020"},
    };
    enum Back { Remove, Undo, NumberAgain };
    for (const Row& row : rows)
        for (Back back : {Remove, Undo, NumberAgain}) {
            SCOPED_TRACE(std::string(row.name) + (back == Remove ? ", removed" : back == Undo ? ", undone" : ", twice"));
            std::vector<std::string_view> lines = {"Attribute VB_Name = \"modA\"", "Sub A()"};
            lines.insert(lines.end(), row.body.begin(), row.body.end());
            lines.push_back("End Sub");
            const std::string source = Join(lines);
            ProjectFolder f;
            f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas"}));
            f.Write("modA.bas", source);
            Session s(f, "App.vbp");
            ASSERT_TRUE(s.loaded);
            s.st.LineIncrement = 10;
            rtnAddLineNumbers(s.st, s.host, s.host.Files());
            ASSERT_EQ(s.host.LastBox(), "Line Numbers Added / Renumbered");
            const std::string numbered = f.Read("modA.bas");
            EXPECT_NE(numbered.find("\r\n       " + std::string(row.own) + "\r\n"), std::string::npos) << numbered;
            EXPECT_NE(numbered.find("\r\n" + std::string(row.first) + " "), std::string::npos) << numbered;
            if (back == Remove) {
                rtnRemoveLineNumbers(s.st, s.host, s.host.Files());
                EXPECT_EQ(s.host.LastBox(), "Line Numbers Removed");
                EXPECT_EQ(f.Read("modA.bas"), source);
            } else if (back == Undo) {
                UndoLastChange(s.st, s.host, s.host.Files());
                EXPECT_EQ(s.host.LastBox(), "Last Changes Undone");
                EXPECT_EQ(f.Read("modA.bas"), source);
            } else {
                rtnAddLineNumbers(s.st, s.host, s.host.Files());
                EXPECT_EQ(f.Read("modA.bas"), numbered);
            }
        }
}

// What numbering must never do, for the project to compile: put a number between a Select Case
// and its first Case (or on that Case), wherever the Select Case statement stands; put one on a
// line that continues a statement; give a number that the author's line of the same procedure
// holds. Each body is numbered in a project, then taken back by removal, by undo, and numbered
// again: each time byte for byte.
TEST(LineNumbers, NumbersKeepTheProjectCompilingAndRoundTrip) {
    struct Row {
        const char* name;
        std::vector<std::string_view> body, numbered;
    } rows[] = {
        {"a Select Case after a label",
         {"L1: Select Case x", "    ' note", "    Case 1", "        y = 1", "End Select"},
         {"       L1: Select Case x", "           ' note", "           Case 1", "000010         y = 1",
          "000020 End Select"}},
        {"a Select Case after an author's number",
         {"120     Select Case vAction", "", "            Case \"Open\"", "                y = 1",
          "            Case Else", "        End Select"},
         {"       120     Select Case vAction", "       ", "                   Case \"Open\"",
          "000010                 y = 1", "000020             Case Else", "000030         End Select"}},
        {"a Select Case after a colon statement",
         {"    x = 1: Select Case x", "        Case 1", "            y = 1", "    End Select"},
         {"000010     x = 1: Select Case x", "               Case 1", "000020             y = 1",
          "000030     End Select"}},
        {"a Select Case on the first Case line of another, and one inside a later Case",
         {"Select Case a", "    Case 1: Select Case b", "        ' inner", "        Case 2", "            y = 1",
          "    End Select", "    Case 3", "        Select Case c", "            Case 4", "        End Select",
          "End Select"},
         {"000010 Select Case a", "           Case 1: Select Case b", "               ' inner", "               Case 2",
          "000020             y = 1", "000030     End Select", "000040     Case 3", "000050         Select Case c",
          "                   Case 4", "000060         End Select", "000070 End Select"}},
        {"a continued first Case",
         {"Select Case nCmdShow", "    Case SW_HIDE, SW_NORMAL, _", "         SW_SHOWNA, SW_RESTORE", "        y = 1",
          "    Case 12001: Msg = _", "        \"Internet\"", "End Select"},
         {"000010 Select Case nCmdShow", "           Case SW_HIDE, SW_NORMAL, _", "                SW_SHOWNA, SW_RESTORE",
          "000020         y = 1", "000030     Case 12001: Msg = _", "               \"Internet\"", "000040 End Select"}},
        {"a first Case with a statement that goes on",
         {"Select Case e", "    Case 12001: Msg = _", "        \"Internet\"", "    Case Else", "End Select"},
         {"000010 Select Case e", "           Case 12001: Msg = _", "               \"Internet\"", "000020     Case Else",
          "000030 End Select"}},
        {"a continued Select Case", {"Select Case a + _", "    b", "Case 1", "y = 1", "End Select"},
         {"000010 Select Case a + _", "           b", "       Case 1", "000020 y = 1", "000030 End Select"}},
        {"an author's number that is the next of ours",
         {"    a = 1", "20  x = 3", "    b = 2", "    c = 4"},
         {"000010     a = 1", "       20  x = 3", "000030     b = 2", "000040     c = 4"}},
        {"an author's number further on, with a colon and with leading zeros",
         {"    a = 1", "    b = 2", "40: x = 3", "    c = 4", "0050 y = 5", "    d = 6"},
         {"000010     a = 1", "000020     b = 2", "       40: x = 3", "000030     c = 4", "       0050 y = 5",
          "000060     d = 6"}},
        {"an author's number on a Select Case that is the next of ours",
         {"    a = 1", "20  Select Case x", "        Case 1", "    End Select"},
         {"000010     a = 1", "       20  Select Case x", "               Case 1", "000030     End Select"}},
    };
    enum Back { Remove, Undo, NumberAgain };
    for (const Row& row : rows)
        for (Back back : {Remove, Undo, NumberAgain}) {
            SCOPED_TRACE(std::string(row.name) + (back == Remove ? ", removed" : back == Undo ? ", undone" : ", twice"));
            const auto module = [](const std::vector<std::string_view>& body) {
                std::vector<std::string_view> lines = {"Attribute VB_Name = \"modA\"", "Sub A()"};
                lines.insert(lines.end(), body.begin(), body.end());
                lines.push_back("End Sub");
                return Join(lines);
            };
            const std::string source = module(row.body);
            ProjectFolder f;
            f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas"}));
            f.Write("modA.bas", source);
            Session s(f, "App.vbp");
            ASSERT_TRUE(s.loaded);
            s.st.LineIncrement = 10;
            rtnAddLineNumbers(s.st, s.host, s.host.Files());
            ASSERT_EQ(s.host.LastBox(), "Line Numbers Added / Renumbered");
            const std::string numbered = f.Read("modA.bas");
            EXPECT_EQ(numbered, module(row.numbered));
            if (back == Remove) {
                rtnRemoveLineNumbers(s.st, s.host, s.host.Files());
                EXPECT_EQ(s.host.LastBox(), "Line Numbers Removed");
                EXPECT_EQ(f.Read("modA.bas"), source);
            } else if (back == Undo) {
                UndoLastChange(s.st, s.host, s.host.Files());
                EXPECT_EQ(s.host.LastBox(), "Last Changes Undone");
                EXPECT_EQ(f.Read("modA.bas"), source);
            } else {
                // Loaded afresh, as a user renumbers another day.
                Session again(f, "App.vbp");
                ASSERT_TRUE(again.loaded);
                again.st.LineIncrement = 10;
                rtnAddLineNumbers(again.st, again.host, again.host.Files());
                EXPECT_EQ(f.Read("modA.bas"), numbered);
            }
        }
}

// The author's numbers are kept apart from ours within each procedure, by every scope and
// increment; another procedure's number takes nothing from this one.
TEST(LineNumbers, AnAuthorsNumberIsNeverGivenAgainInItsProcedure) {
    const std::string source = CrLf({"Attribute VB_Name = \"m\"", "Sub A()", "    a = 1", "20  b = 2", "    c = 3",
                                     "40  d = 4", "    e = 5", "End Sub", "Sub B()", "    f = 6", "    g = 7", "End Sub"});
    struct Case {
        int scope;
        std::int64_t increment;
        std::vector<std::string> ours;  // our numbers, in file order
    } cases[] = {
        {2, 10, {"000010", "000030", "000050", "000010", "000020"}},
        {2, 20, {"000060", "000080", "000100", "000020", "000040"}},  // 20 and 40 are the author's
        {0, 10, {"000010", "000030", "000050", "000060", "000070"}},
        {1, 30, {"000030", "000060", "000090", "000120", "000150"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("scope " + std::to_string(c.scope) + ", increment " + std::to_string(c.increment));
        ScannedFile scan("m.bas", source);
        LineArray text = platform::SplitLines(source);
        std::int64_t counter = c.increment;
        AddLineNumbersToFile(scan.procs, text, nullptr, counter, c.increment, c.scope);
        std::vector<std::string> ours;
        for (const std::string& line : text.lines)
            if (line.size() > 7 && line[6] == ' ' && line.substr(0, 6).find_first_not_of("0123456789") == std::string::npos)
                ours.push_back(line.substr(0, 6));
        EXPECT_EQ(ours, c.ours);
        EXPECT_EQ(text.lines[3], "       20  b = 2");
        EXPECT_TRUE(StripLineNumbers(scan.procs, text));
        EXPECT_EQ(platform::JoinLines(text), source);
    }
}

TEST(LineNumbers, RunPastTheHighestNumberIsRefusedBeforeAnythingIsWritten) {
    ProjectFolder f;
    WriteTwoModules(f);
    std::string big = "Attribute VB_Name = \"modA\"\r\nSub A()\r\n";
    for (int i = 0; i < 10001; ++i) big += "    a = 1\r\n";
    big += "End Sub\r\n";
    f.Write("modA.bas", big);
    Session s(f, "App.vbp");
    s.st.LineIncrement = 100;
    s.st.ResequenceIndex = 0;
    rtnAddLineNumbers(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(),
              "Line numbers would pass 999999 (the last would be 1000200); nothing was changed. Choose a smaller "
              "increment, or number each module or each procedure.");
    EXPECT_EQ(f.Read("modA.bas"), big);
    EXPECT_TRUE(f.FilesEndingIn(".qlt").empty());
    EXPECT_FALSE(f.Exists("Backup"));
    // Per procedure the same run fits.
    s.st.ResequenceIndex = 2;
    s.st.LineIncrement = 10;
    rtnAddLineNumbers(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Line Numbers Added / Renumbered");
}

TEST(LineNumbers, RefusesAnIncompleteModel) {
    ProjectFolder f;
    WriteTwoModules(f);
    Session s(f, "App.vbp");
    s.st.model.Loaded = false;
    rtnAddLineNumbers(s.st, s.host, s.host.Files());
    EXPECT_NE(s.host.LastBox().find("not completely loaded"), std::string::npos);
    EXPECT_FALSE(f.Exists("Backup"));
}

// An increment or scope the command cannot use is refused before anything is read or written.
TEST(LineNumbers, RefusesAnIncrementOrScopeItCannotUse) {
    const struct {
        const char* name;
        std::int16_t increment, scope;
    } cases[] = {{"no increment", 0, 0}, {"a negative increment", -10, 1}, {"a scope past the last", 10, 3},
                 {"a negative scope", 10, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        WriteTwoModules(f);
        const std::string before = f.Read("modA.bas");
        Session s(f, "App.vbp");
        s.st.LineIncrement = c.increment;
        s.st.ResequenceIndex = c.scope;
        rtnAddLineNumbers(s.st, s.host, s.host.Files());
        EXPECT_EQ(s.host.LastBox(), "The line-number increment or scope is not valid; nothing was changed");
        EXPECT_EQ(f.Read("modA.bas"), before);
        EXPECT_TRUE(f.FilesEndingIn(".qlt").empty());
        EXPECT_FALSE(f.Exists("Backup"));
    }
}

}  // namespace
