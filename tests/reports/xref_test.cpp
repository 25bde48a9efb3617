#include <gtest/gtest.h>

#include <algorithm>

#include "bench/generator.h"
#include "engine/loader.h"
#include "engine/scanner.h"
#include "platform/text.h"
#include "reports/xref.h"
#include "tests/engine/fake_host.h"
#include "tests/support/testsupport.h"

using namespace engine;
using enginetest::FakeHost;
using reports::CallPattern;
using reports::MatchProcedures;
using reports::XrefOptions;
using testsupport::CrLf;
using testsupport::WriteBytes;

namespace {

// ---- the patterns ---------------------------------------------------------------------------------

struct PatternCase {
    const char* line;
    int pattern;  // the first pattern that matches "Foo", -1 for none
};

const PatternCase kPatternCases[] = {
    {"x = Foo(1)", 0},             // blank before, "(" after
    {"a Foo b", 1},                // between blanks
    {"Foo 1", 2},                  // line start, blank after: a call without parentheses
    {"If x Then Foo", 3},          // blank before, line end after
    {"Foo(1) = 2", 4},             // line start, "(" after
    {"Foo", 5},                    // the bare name
    {"x = o.Foo(1)", 6},           // member call with parentheses
    {"o.Foo 1", 7},                // member call with an argument
    {"o.Foo", -1},                 // a member at the line end is no pattern
    {"a Foo(b) Foo c", 0},         // several patterns: the first in the table order counts
    {"Call Foo(a) ' Foo", 0},      // a trailing comment does not hide the call
    {"   '   Foo 1", -1},          // a whole-line comment
    {"myFoo 1", -1},               // the tail of a longer word
    {"x = Foobar(1)", -1},         // the head of a longer word
    {"x=Foo(1)", -1},              // "=" is no delimiter
    {"  FOO  ", 5},                // any letter case; blanks trimmed
    {"\tFoo 1", -1},               // tabs are not trimmed
    {"x = Foo (1)", 1},            // a blank before the parenthesis
    {"s = \"say Foo now\"", 1},    // string literals are searched
    {"Rem call Foo here", 1},      // Rem lines are searched
    {"a@Foo b", 2},                // an "@" in the line stands for a line end
    {"Foo@", 5},
    {"", -1},
};

TEST(CallPatterns, LiteralPatternsAndTheWordIndexAgree) {
    EXPECT_EQ(reports::CallPrefixes.size(), 8u);
    for (const PatternCase& c : kPatternCases) {
        EXPECT_EQ(CallPattern(c.line, "Foo"), c.pattern) << c.line;
        EXPECT_EQ(CallPattern(c.line, "fOO"), c.pattern) << c.line;
        bool indexed = false;
        reports::ForEachCallWord(std::vector<std::string>{c.line}, 0, [&](std::string_view word, LineIndex) { indexed |= word == "foo"; });
        EXPECT_EQ(indexed, c.pattern >= 0) << c.line;
    }
}

TEST(CallPatterns, NamesTheIndexCannotAnswer) {
    EXPECT_TRUE(reports::IsIndexableCallName("Form_Load"));
    EXPECT_TRUE(reports::IsIndexableCallName("\xC9t\xE9"));  // Windows-1252 letters
    EXPECT_TRUE(reports::IsIndexableCallName("Calc$"));
    EXPECT_FALSE(reports::IsIndexableCallName("$"));
    EXPECT_FALSE(reports::IsIndexableCallName("a.b"));
    EXPECT_FALSE(reports::IsIndexableCallName(""));
    EXPECT_EQ(CallPattern("", ""), 5);  // an empty name is "@@": the literal search finds empty lines
}

// A name with a type character: the word and its type character between the delimiters, exactly
// where the literal patterns find it.
TEST(CallPatterns, TypeCharactersAsTheLiteralPatternsSeeThem) {
    const std::pair<const char*, int> cases[] = {
        {"x = Calc$(1)", 0}, {"Calc$ 1", 2}, {"Calc$", 5}, {"o.Calc$ 1", 7},
        {"x = Calc(1)", -1}, {"x = Calc$$(1)", -1}, {"Calc$x 1", -1}, {"x=Calc$(1)", -1},
    };
    for (const auto& [line, pattern] : cases) {
        EXPECT_EQ(CallPattern(line, "Calc$"), pattern) << line;
        bool indexed = false;
        reports::ForEachCallWord(std::vector<std::string>{line}, 0, [&](std::string_view word, LineIndex) { indexed |= word == "calc$"; });
        EXPECT_EQ(indexed, pattern >= 0) << line;
    }
}

TEST(CallSiteText, FileNameFieldAndLineNumbers) {
    const struct {
        std::string file;
        std::int32_t line;
        std::string text;
    } cases[] = {
        {"a.bas", 1, "a.bas" + std::string(45, ' ') + " - Line     1"},
        {"a.bas", 1234, "a.bas" + std::string(45, ' ') + " - Line  1234"},
        {"a.bas", 99999, "a.bas" + std::string(45, ' ') + " - Line 99999"},
        {"a.bas", 123456, "a.bas" + std::string(45, ' ') + " - Line 123456"},  // shown whole
        {std::string(50, 'n'), 7, std::string(50, 'n') + " - Line     7"},
        {std::string(60, 'n'), 7, std::string(50, 'n') + " - Line     7"},  // cut to 50
    };
    for (const auto& c : cases) EXPECT_EQ(reports::CallSiteText(c.file, c.line), c.text) << c.line;
}

// ---- whole builds ---------------------------------------------------------------------------------

// Every node of treRoutines in display order, indented, with image, tag and what a click opens
// (paths relative to `base`).
std::string Dump(const Tree& tree, const std::string& base) {
    std::string out;
    auto rel = [&](const std::string& p) { return p.rfind(base, 0) == 0 ? p.substr(base.size()) : p; };
    std::function<void(NodeId, int)> walk = [&](NodeId id, int depth) {
        const TreeNode& n = tree.Node(id);
        // The file-name field of a call site without its padding.
        std::string text(platform::Trim(n.text));
        const std::size_t at = text.find(" - Line ");
        if (at != std::string::npos) text = std::string(platform::Trim(text.substr(0, at))) + text.substr(at);
        out += std::string(2 * depth, ' ') + text;
        out += " [" + n.image + "] tag=" + rel(n.tag);
        if (!n.openPath.empty()) out += " open=" + rel(n.openPath) + ":" + std::to_string(n.openLine);
        out += "\n";
        for (NodeId c : tree.Children(id)) walk(c, depth + 1);
    };
    for (NodeId r : tree.Roots()) walk(r, 0);
    return out;
}

// Every node's key, in display order.
std::vector<std::string> Keys(const Tree& tree) {
    std::vector<std::string> keys;
    std::function<void(NodeId)> walk = [&](NodeId id) {
        keys.push_back(tree.Node(id).key);
        for (NodeId c : tree.Children(id)) walk(c);
    };
    for (NodeId r : tree.Roots()) walk(r);
    return keys;
}

std::vector<std::string> UsedFlags(const ProjectModel& m) {
    std::vector<std::string> out;
    for (FileKind kind : kAllKinds)
        for (const auto& e : m.Procedures(kind))
            for (const clsProcedures& p : e.procedures)
                out.push_back(p.pProject() + "/" + p.pFilename() + "/" + p.pName + (p.pUsed ? " used" : " unused"));
    return out;
}

struct Built {
    FakeHost host;
    ToolState st;
    explicit Built(const std::string& project) {
        st.txtProject = project;
        EXPECT_TRUE(LoadProject(st, host, host, false));
        host.boxes.clear();
        host.runLog.clear();
    }
    void Match(UsageSearch search = UsageSearch::Indexed, bool log = true) {
        XrefOptions o;
        o.search = search;
        o.logSearches = log;
        MatchProcedures(st, host, o);
    }
    long Count(const std::vector<std::string>& v, const std::string& s) const {
        return std::count(v.begin(), v.end(), s);
    }
};

// One project: two modules, a form without procedures, a class, a module without attribute header.
struct SmallProject {
    testsupport::TempDir dir;
    SmallProject() {
        WriteBytes(dir.file("P.vbp"), CrLf({"Type=Exe", "Module=Main; Main.bas", "Module=Util; Util.bas",
                                            "Form=Form1.frm", "Class=Cls1; Cls1.cls", "Module=Bare; Bare.bas",
                                            "Startup=\"Sub Main\""}));
        WriteBytes(dir.file("Main.bas"), CrLf({
                                             "Attribute VB_Name = \"Main\"",
                                             "Option Explicit",             // 1
                                             "Public Sub Main()",            // 2  Main
                                             "    Helper 1",                 // 3  Helper
                                             "    x = Twice(2)",             // 4  Util's Twice is private
                                             "    ' Helper 2",               // 5  a comment
                                             "    Call Util.Helper(3) ' Helper",  // 6  Helper, once
                                             "    myHelper 4",               // 7  a longer word
                                             "    Secret",                   // 8  Main's own Secret
                                             "    Pal",                      // 9  Friend: the whole project
                                             "    obj.Pal 1, Helper",        // 10 Pal and Helper
                                             "    y = Calc$(1)",             // 11 a name with a type sign
                                             "    Lonely",                   // 12 no header in its file
                                             "End Sub",                      // 13
                                             "",                             // 14
                                             "Private Sub Secret()",         // 15 Secret
                                             "    Debug.Print \"call Helper (x)\"",  // 16 strings are searched
                                             "End Sub",
                                         }));
        WriteBytes(dir.file("Util.bas"), CrLf({
                                             "Attribute VB_Name = \"Util\"",
                                             "Sub Helper(n)",                 // 1 no scope word: public
                                             "    Secret",                    // 2 Util's own Secret
                                             "End Sub",                       // 3
                                             "Private Function Twice(a)",     // 4
                                             "    Twice = a * 2",             // 5
                                             "End Function",                  // 6
                                             "Private Sub Secret()",          // 7
                                             "End Sub",                       // 8
                                             "Public Function Calc$(x)",      // 9
                                             "    Calc$ = x",                 // 10
                                             "End Function",
                                         }));
        WriteBytes(dir.file("Form1.frm"), CrLf({"VERSION 5.00", "Begin VB.Form Form1", "End",
                                                "Attribute VB_Name = \"Form1\"", "Option Explicit",
                                                "Dim Helper As Long", "' Pal"}));
        WriteBytes(dir.file("Cls1.cls"), CrLf({"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END",
                                               "Attribute VB_Name = \"Cls1\"", "Attribute VB_Exposed = False",
                                               "Friend Sub Pal()",  // 1
                                               "    HELPER",        // 2
                                               "End Sub"}));
        WriteBytes(dir.file("Bare.bas"), CrLf({"Public Sub Lonely()", "    Helper", "End Sub"}));
    }
    std::string vbp() const { return dir.path() + "P.vbp"; }
};

const char* const kSmallProjectTree =
    "Routines [calledroutines] tag=\n"
    "  P.vbp [project] tag=\n"
    "    Calc$ [module] tag=\n"
    "      Main.bas - Line    11 [module] tag= open=Main.bas:11\n"
    "      Util.bas - Line     9 [module] tag= open=Util.bas:9\n"
    "      Util.bas - Line    10 [module] tag= open=Util.bas:10\n"
    "    Helper [module] tag=\n"
    "      Cls1.cls - Line     2 [class] tag= open=Cls1.cls:2\n"
    "      Form1.frm - Line     2 [form] tag= open=Form1.frm:2\n"
    "      Main.bas - Line     3 [module] tag= open=Main.bas:3\n"
    "      Main.bas - Line     6 [module] tag= open=Main.bas:6\n"
    "      Main.bas - Line    10 [module] tag= open=Main.bas:10\n"
    "      Main.bas - Line    16 [module] tag= open=Main.bas:16\n"
    "      Util.bas - Line     1 [module] tag= open=Util.bas:1\n"
    "    Lonely [module] tag=\n"
    "      Main.bas - Line    12 [module] tag= open=Main.bas:12\n"
    "    Main [module] tag=\n"
    "      Main.bas - Line     2 [module] tag= open=Main.bas:2\n"
    "    Pal [module] tag=\n"
    "      Cls1.cls - Line     1 [class] tag= open=Cls1.cls:1\n"
    "      Main.bas - Line     9 [module] tag= open=Main.bas:9\n"
    "      Main.bas - Line    10 [module] tag= open=Main.bas:10\n"
    "    Secret [module] tag=\n"
    "      Main.bas - Line     8 [module] tag= open=Main.bas:8\n"
    "      Main.bas - Line    15 [module] tag= open=Main.bas:15\n"
    "      Util.bas - Line     2 [module] tag= open=Util.bas:2\n"
    "      Util.bas - Line     7 [module] tag= open=Util.bas:7\n"
    "    Twice [module] tag=\n"
    "      Util.bas - Line     4 [module] tag= open=Util.bas:4\n"
    "      Util.bas - Line     5 [module] tag= open=Util.bas:5\n";

TEST(CrossReference, TreeOfCallSitesScopesAndFlags) {
    SmallProject p;
    for (UsageSearch search : {UsageSearch::Indexed, UsageSearch::Literal}) {
        Built b(p.vbp());
        b.st.ProjectChanged = true;
        b.Match(search);
        const Tree& t = b.st.treRoutines;
        EXPECT_EQ(Dump(t, p.dir.path()), kSmallProjectTree);
        EXPECT_TRUE(t.visible);
        EXPECT_TRUE(b.st.RoutinesMatched);
        EXPECT_TRUE(b.st.ProjectChanged);
        ASSERT_EQ(b.host.boxes.size(), 1u);
        EXPECT_EQ(b.host.boxes[0].text, "Called Routines Elaspsed Time - 00:00:00");
        // The two Secret records share one routine node; both are used. Lonely's own file has no
        // attribute header, so it is not searched and Lonely is found only through Main.
        const std::vector<std::string> used = UsedFlags(b.st.model);
        EXPECT_EQ(b.Count(used, "P.vbp/Main.bas/Secret used"), 1);
        EXPECT_EQ(b.Count(used, "P.vbp/Util.bas/Secret used"), 1);
        EXPECT_EQ(b.Count(used, "P.vbp/Bare.bas/Lonely used"), 1);
        EXPECT_EQ(std::count_if(used.begin(), used.end(), [](const std::string& s) { return s.ends_with("unused"); }),
                  0);
        // Each search of a procedure in a file is logged twice.
        EXPECT_EQ(b.Count(b.host.runLog, "Scanning Main.bas for Procedure: Helper"), 2);
        EXPECT_EQ(b.Count(b.host.runLog, "Scanning Main.bas for Procedure: Twice"), 0);  // not visible there
        EXPECT_EQ(b.Count(b.host.runLog, "Matching Modules"), 3);
    }
}

TEST(CrossReference, AProcedureNotCalledAnywhereStaysUnused) {
    testsupport::TempDir dir;
    WriteBytes(dir.file("P.vbp"), CrLf({"Module=A; A.bas", "Module=B; B.bas"}));
    WriteBytes(dir.file("A.bas"), CrLf({"Attribute VB_Name = \"A\"", "Sub Run()", "    Go", "End Sub"}));
    // B.bas has no attribute header: it is not searched, so Stray's own header is not found.
    WriteBytes(dir.file("B.bas"), CrLf({"Public Sub Go()", "End Sub", "Private Sub Stray()", "End Sub"}));
    Built b(dir.path() + "P.vbp");
    b.Match(UsageSearch::Indexed, false);
    const std::vector<std::string> used = UsedFlags(b.st.model);
    EXPECT_EQ(b.Count(used, "P.vbp/B.bas/Stray unused"), 1);
    EXPECT_EQ(b.Count(used, "P.vbp/B.bas/Go used"), 1);
    EXPECT_EQ(b.st.treRoutines.Find("Stray/P.vbp"), kNoNode);
    // Without the run log no search lines are written: the command's own lines only.
    EXPECT_EQ(b.host.runLog.size(), 5u);
}

// A group whose two projects each hold a Common.bas.
TEST(CrossReference, GroupsWithFilesOfOneName) {
    testsupport::TempDir dir;
    WriteBytes(dir.file("G.vbg"), CrLf({"VBGROUP 5.0", "StartupProject=A\\A.vbp", "Project=B\\B.vbp"}));
    WriteBytes(dir.file("A/A.vbp"), CrLf({"Type=Exe", "Module=Common; Common.bas"}));
    WriteBytes(dir.file("B/B.vbp"), CrLf({"Type=Exe", "Module=Common; Common.bas"}));
    WriteBytes(dir.file("A/Common.bas"), CrLf({"Attribute VB_Name = \"Common\"",
                                               "Public Sub Shout()",   // 1
                                               "End Sub",              // 2
                                               "Private Sub Quiet()",  // 3
                                               "End Sub",              // 4
                                               "Sub Run()",            // 5
                                               "    Shout",            // 6
                                               "    Quiet",            // 7
                                               "End Sub"}));
    WriteBytes(dir.file("B/Common.bas"), CrLf({"Attribute VB_Name = \"Common\"",
                                               "Sub Run()",     // 1
                                               "    ' B",       // 2
                                               "    Quiet",     // 3: A's Quiet is private to A's Common.bas
                                               "    '",         // 4
                                               "    '",         // 5
                                               "    Shout",     // 6: the same file name and line as in A
                                               "    Quiet",     // 7
                                               "End Sub"}));
    Built b(dir.path() + "G.vbg");
    b.Match();
    EXPECT_EQ(Dump(b.st.treRoutines, dir.path()),
              "Routines [calledroutines] tag=\n"
              "  A.vbp [project] tag=\n"
              "    Quiet [module] tag=\n"
              "      Common.bas - Line     3 [module] tag=A/ open=A/Common.bas:3\n"
              "      Common.bas - Line     7 [module] tag=A/ open=A/Common.bas:7\n"
              "    Run [module] tag=\n"
              "      Common.bas - Line     1 [module] tag=B/ open=B/Common.bas:1\n"
              "      Common.bas - Line     5 [module] tag=A/ open=A/Common.bas:5\n"
              "    Shout [module] tag=\n"
              "      Common.bas - Line     1 [module] tag=A/ open=A/Common.bas:1\n"
              "      Common.bas - Line     6 [module] tag=A/ open=A/Common.bas:6\n"
              "      Common.bas - Line     6 [module] tag=B/ open=B/Common.bas:6\n"
              "  B.vbp [project] tag=\n"
              "    Run [module] tag=\n"
              "      Common.bas - Line     1 [module] tag=B/ open=B/Common.bas:1\n"
              "      Common.bas - Line     5 [module] tag=A/ open=A/Common.bas:5\n");
}

// A group whose two projects list one shared module, each in its own spelling: each call site in
// that module is one row under its routine, not one per project that lists the file.
TEST(CrossReference, AModuleSharedByTheProjectsOfAGroupGivesOneRowPerCallSite) {
    testsupport::TempDir dir;
    WriteBytes(dir.file("G.vbg"), CrLf({"VBGROUP 5.0", "StartupProject=A\\A.vbp", "Project=B\\B.vbp"}));
    WriteBytes(dir.file("A/A.vbp"), CrLf({"Type=Exe", "Module=Main; Main.bas", "Module=Debug; ..\\Shared\\Debug.bas"}));
    WriteBytes(dir.file("B/B.vbp"), CrLf({"Type=Exe", "Module=Debug; ..\\shared\\DEBUG.BAS", "Module=Work; Work.bas"}));
    WriteBytes(dir.file("Shared/Debug.bas"), CrLf({"Attribute VB_Name = \"Debug\"",
                                                  "Public Sub BugInit()",  // 1
                                                  "End Sub",               // 2
                                                  "Public Sub Trace()",    // 3
                                                  "    BugInit",           // 4
                                                  "End Sub"}));
    WriteBytes(dir.file("A/Main.bas"), CrLf({"Attribute VB_Name = \"Main\"", "Sub Main()", "    BugInit", "End Sub"}));
    WriteBytes(dir.file("B/Work.bas"), CrLf({"Attribute VB_Name = \"Work\"", "Sub Work()", "    Trace", "End Sub"}));
    for (UsageSearch search : {UsageSearch::Indexed, UsageSearch::Literal}) {
        Built b(dir.path() + "G.vbg");
        b.Match(search);
        EXPECT_EQ(Dump(b.st.treRoutines, dir.path()),
                  "Routines [calledroutines] tag=\n"
                  "  A.vbp [project] tag=\n"
                  "    BugInit [module] tag=\n"
                  "      ..\\Shared\\Debug.bas - Line     1 [module] tag=A/ open=Shared/Debug.bas:1\n"
                  "      ..\\Shared\\Debug.bas - Line     4 [module] tag=A/ open=Shared/Debug.bas:4\n"
                  "      Main.bas - Line     2 [module] tag=A/ open=A/Main.bas:2\n"
                  "    Main [module] tag=\n"
                  "      Main.bas - Line     1 [module] tag=A/ open=A/Main.bas:1\n"
                  "    Trace [module] tag=\n"
                  "      ..\\Shared\\Debug.bas - Line     3 [module] tag=A/ open=Shared/Debug.bas:3\n"
                  "      Work.bas - Line     2 [module] tag=B/ open=B/Work.bas:2\n"
                  "  B.vbp [project] tag=\n"
                  "    BugInit [module] tag=\n"
                  "      ..\\Shared\\Debug.bas - Line     1 [module] tag=A/ open=Shared/Debug.bas:1\n"
                  "      ..\\Shared\\Debug.bas - Line     4 [module] tag=A/ open=Shared/Debug.bas:4\n"
                  "      Main.bas - Line     2 [module] tag=A/ open=A/Main.bas:2\n"
                  "    Trace [module] tag=\n"
                  "      ..\\Shared\\Debug.bas - Line     3 [module] tag=A/ open=Shared/Debug.bas:3\n"
                  "      Work.bas - Line     2 [module] tag=B/ open=B/Work.bas:2\n"
                  "    Work [module] tag=\n"
                  "      Work.bas - Line     1 [module] tag=B/ open=B/Work.bas:1\n");
    }
}

TEST(CrossReference, CallSitesOpenByTheirDataNotTheirText) {
    testsupport::TempDir dir;
    const std::string longName = "Outline line 42 " + std::string(50, 'x') + ".bas";
    WriteBytes(dir.file("P.vbp"), CrLf({"Module=A; " + longName}));
    WriteBytes(dir.file(longName), CrLf({"Attribute VB_Name = \"A\"", "Sub Go()", "    Go", "End Sub"}));
    Built b(dir.path() + "P.vbp");
    b.Match();
    const Tree& t = b.st.treRoutines;
    const NodeId routine = t.Find("Go/P.vbp");
    ASSERT_NE(routine, kNoNode);
    ASSERT_EQ(t.Children(routine).size(), 2u);
    const TreeNode& site = t.Node(t.Children(routine)[1]);
    EXPECT_EQ(site.text, longName.substr(0, 50) + " - Line     2");
    EXPECT_EQ(site.openPath, dir.path() + longName);
    EXPECT_EQ(site.openLine, 2);
}

TEST(CrossReference, CancelLeavesAnEmptyTreeAndTheToolProjectAlone) {
    SmallProject p;
    Built b(p.vbp());
    b.st.ProjectChanged = true;
    b.host.cancelOnLog = "Matching Modules";
    b.Match();
    b.host.cancelOnLog.clear();
    EXPECT_EQ(b.st.treRoutines.Count(), 0u);
    EXPECT_FALSE(b.st.RoutinesMatched);
    EXPECT_TRUE(b.st.ProjectChanged);
    EXPECT_TRUE(b.host.CancelRequested());  // the caller clears it
    ASSERT_EQ(b.host.boxes.size(), 1u);
    EXPECT_EQ(b.host.boxes[0].text, "Called Routines Canceled - 00:00:00");

    // The next build, with the flag cleared, is complete.
    b.host.SetCancelRequested(false);
    b.Match();
    EXPECT_EQ(Dump(b.st.treRoutines, p.dir.path()), kSmallProjectTree);
    EXPECT_TRUE(b.st.RoutinesMatched);
}

TEST(CrossReference, AFileThatCannotBeReadIsSkippedAndNamed) {
    SmallProject p;
    Built b(p.vbp());
    // Util.bas becomes a folder after the load.
    std::remove((p.dir.path() + "Util.bas").c_str());
    testsupport::MakeFolders(p.dir.path() + "Util.bas/");
    b.Match();
    EXPECT_TRUE(b.st.RoutinesMatched);
    ASSERT_EQ(b.host.boxes.size(), 1u);
    EXPECT_EQ(b.host.boxes[0].text,
              "Called Routines Elaspsed Time - 00:00:00\r\n\r\nThese files could not be read and were not "
              "searched:\r\n" +
                  p.dir.path() + "Util.bas");
    EXPECT_EQ(b.host.errorLog.size(), 1u);
    const std::string dump = Dump(b.st.treRoutines, p.dir.path());
    EXPECT_EQ(dump.find("Util.bas - Line"), std::string::npos);
    EXPECT_NE(dump.find("Main.bas - Line     3"), std::string::npos);
}

TEST(CrossReference, IndexedAndLiteralSearchAgreeOnAGeneratedProject) {
    for (bool lf : {false, true}) {
        testsupport::TempDir dir;
        bench::GeneratorOptions o;
        o.files = 12;
        o.lines = 6000;
        o.seed = lf ? 11 : 5;
        o.lfOnly = lf;
        const auto project = bench::GenerateProject(dir.path(), o);
        std::string dumps[2];
        std::vector<std::string> keys[2], used[2];
        int n = 0;
        for (UsageSearch search : {UsageSearch::Indexed, UsageSearch::Literal}) {
            Built b(project.projectPath);
            b.Match(search, false);
            dumps[n] = Dump(b.st.treRoutines, dir.path());
            keys[n] = Keys(b.st.treRoutines);
            used[n] = UsedFlags(b.st.model);
            ++n;
        }
        EXPECT_GT(keys[0].size(), 500u);
        EXPECT_EQ(dumps[0], dumps[1]);
        EXPECT_EQ(keys[0], keys[1]);
        EXPECT_EQ(used[0], used[1]);
    }
}

// ".bas", ".frm", ".cls" in any letter case, as listed and as found on disk: the file gets its code
// offset, its procedures their line numbers counted from the first code line, and the cross
// reference searches it.
TEST(CrossReference, FileKindsByExtensionInAnyLetterCase) {
    const std::vector<std::string_view> code = {"Public Sub Target()", "End Sub", "Public Sub Caller()",
                                                "    Target 1", "End Sub"};
    const struct {
        const char* listed;
        const char* disk;
        const char* key;  // the project file's key for the kind
        std::vector<std::string_view> header;
    } cases[] = {
        {"a.bas", "A.BAS", "Module=X; ", {"Attribute VB_Name = \"X\""}},
        {"A.Bas", "a.bas", "Module=X; ", {"Attribute VB_Name = \"X\""}},
        {"F.FRM", "f.frm", "Form=", {"VERSION 5.00", "Begin VB.Form F", "End", "Attribute VB_Name = \"F\""}},
        {"c.Cls", "c.Cls", "Class=c; ",
         {"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END", "Attribute VB_Name = \"c\"",
          "Attribute VB_Exposed = False"}},
    };
    for (const auto& c : cases) {
        const std::string row = std::string(c.listed) + " on disk as " + c.disk;
        testsupport::TempDir dir;
        WriteBytes(dir.file("P.vbp"), "Type=Exe\r\n" + std::string(c.key) + c.listed + "\r\n");
        std::string source;
        for (auto line : c.header) (source += line) += "\r\n";
        for (auto line : code) (source += line) += "\r\n";
        WriteBytes(dir.file(c.disk), source);
        Built b(dir.path() + "P.vbp");
        const std::string fileKey = std::string("P.vbp_") + c.listed;
        const clsProcedures* target = nullptr;
        for (FileKind kind : kAllKinds)
            if (const ProcedureList* procs = b.st.model.Procedures(kind).Find(fileKey))
                for (const clsProcedures& p : *procs)
                    if (p.pName == "Target") target = &p;
        ASSERT_NE(target, nullptr) << row;
        EXPECT_EQ(target->pOffset(), static_cast<std::int32_t>(c.header.size())) << row;
        const NodeId node = b.st.treProject.Find(fileKey + "_Target_Sub_" + std::to_string(target->pStart));
        ASSERT_NE(node, kNoNode) << row;
        EXPECT_EQ(b.st.treProject.Node(node).text, ProcedureNodeText("Target", "Sub", 1)) << row;
        b.Match();
        const std::vector<std::string> keys = Keys(b.st.treRoutines);
        // The call site is keyed by the file as it is on disk.
        EXPECT_EQ(b.Count(keys, "Target/P.vbp/" + dir.path() + c.disk + "/    4"), 1) << row;
    }
}

}  // namespace
