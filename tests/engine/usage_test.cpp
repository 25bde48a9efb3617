#include <gtest/gtest.h>

#include "bench/generator.h"
#include "engine/loader.h"
#include "engine/source.h"
#include "engine/usage.h"
#include "tests/engine/fake_host.h"
#include "tests/engine/scan_fixture.h"

using namespace engine;
using enginetest::FakeHost;
using enginetest::ScannedFile;
using testsupport::CrLf;

namespace {

TEST(StatementUsesName, EachDelimiterPair) {
    // One statement per pair of the table, in table order.
    const char* used[] = {
        "Call Foo(N)",    // ( )
        "x = N + 1",      // blank blank
        "N = 1",          // @ blank
        "x = N",          // blank @
        "Foo(N, 2)",      // ( ,
        "Foo a, N, b",    // blank ,
        "x = N.Count",    // blank .
        "Foo(N.Count)",   // ( .
        "Foo(a.N)",       // . )
        "Foo a.N, b",     // . ,
        "x = a.N",        // . @
        "a.N = 1",        // . blank
        "x = N(1)",       // blank (
        "Foo (a + N)",    // blank )
    };
    for (const char* s : used) EXPECT_TRUE(StatementUsesName(s, "N")) << s;
    const char* unused[] = {"N", "N.Count = 1", "N(1) = 2", "x=N+1", "xN = 1", "x = Nx", "x = \"N\"", "n = 1"};
    for (const char* s : unused) EXPECT_FALSE(StatementUsesName(s, "N")) << s;
}

TEST(FileUsageIndex, AnswersAsTheLiteralSearch) {
    testsupport::TempDir dir;
    bench::GeneratorOptions o;
    o.files = 3;
    o.lines = 1500;
    const auto project = bench::GenerateProject(dir.path(), o);
    std::int32_t offset = 0;
    auto text = ReadSourceFile(dir.path() + "modGen1.bas", offset);
    ASSERT_TRUE(text);
    text->lines.push_back("x = a(b.c, d) @e@ f _");
    text->lines.push_back("  g.h ' i");
    const FileUsageIndex index(text->lines);
    const char* names[] = {"m_Count0", "lName0", "bSub", "x", "i", "a", "c", "d", "e", "f", "g", "h", "Sub", "N", "zz"};
    for (const char* name : names) {
        // Statement by statement, each under its first line.
        std::vector<LineIndex> literal;
        for (LineIndex k = 0; k < static_cast<LineIndex>(text->lines.size()); ++k) {
            LineIndex last = k;
            const std::string s = GetLogicalLine(text->lines, k, last, 1);
            if (!s.empty() && s.front() != '\'' && StatementUsesName(s, name)) literal.push_back(k);
            if (!s.empty()) k = std::max(k, last);
        }
        const std::vector<LineIndex>* hits = index.Hits(name);
        EXPECT_EQ(hits ? *hits : std::vector<LineIndex>{}, literal) << name;
    }
    EXPECT_FALSE(FileUsageIndex::IsIndexableName("a.b"));
    EXPECT_FALSE(FileUsageIndex::IsIndexableName(""));
    EXPECT_TRUE(FileUsageIndex::IsIndexableName("m_Count0"));
}

TEST(LocalUsage, BodyLinesOnlyAndNotTheDeclaration) {
    for (auto search : {UsageSearch::Indexed, UsageSearch::Literal}) {
        ScannedFile f("a.bas",
                      CrLf({
                          "Attribute VB_Name = \"a\"",
                          "Private Sub One()",
                          "    Dim onlyDeclared As Long, usedAtStart As Long",
                          "    Dim inString As Long, inOther As Long",
                          "    usedAtStart = 1",
                          "    MsgBox \"a inString b\"",
                          "End Sub",
                          "Private Sub Two()",
                          "    inOther = 2",
                          "End Sub",
                          "Public Property Get Value() As Long",
                          "    Dim v As Long",
                          "    Value = w",
                          "End Property",
                          "Public Property Let Value(ByVal x As Long)",
                          "    Dim w As Long",
                          "    Dim v2 As Long",
                          "    v2 = v",
                          "End Property",
                          "Private Sub Three()",
                          "    Dim first As Long, _",
                          "        second As Long, _",
                          "        third As Long",
                          "    first = third",
                          "End Sub",
                      }),
                      search);
        EXPECT_FALSE(f.Def("onlyDeclared")->Used);
        EXPECT_TRUE(f.Def("usedAtStart")->Used);
        EXPECT_TRUE(f.Def("inString")->Used);  // strings are searched, as the original does
        EXPECT_FALSE(f.Def("inOther")->Used);  // a use in another procedure does not count
        // Two accessors of one name: each one's locals are checked in its own body only.
        EXPECT_FALSE(f.Def("w")->Used);
        EXPECT_FALSE(f.Def("v")->Used);
        EXPECT_TRUE(f.Def("v2")->Used);
        // The continuation lines of a declaration are part of it, not uses of its names.
        EXPECT_TRUE(f.Def("first")->Used);
        EXPECT_FALSE(f.Def("second")->Used);
        EXPECT_TRUE(f.Def("third")->Used);
    }
}

// Writes a project, loads it with both searches and answers the Used flags by name.
struct UsageProject {
    testsupport::TempDir dir;
    std::map<std::string, bool> used[2];

    // With `literalToo`, the literal search must give the same answers (it reads every body line
    // for every name: keep such projects small).
    void Load(bool literalToo = true) {
        int n = 0;
        for (auto search : {UsageSearch::Indexed, UsageSearch::Literal}) {
            if (search == UsageSearch::Literal && !literalToo) {
                used[1] = used[0];
                break;
            }
            FakeHost host;
            ToolState st;
            st.txtProject = dir.path() + "P.vbp";
            LoadOptions o;
            o.search = search;
            ASSERT_TRUE(engine::LoadProject(st, host, host, false, o));
            for (FileKind kind : kAllKinds)
                for (const auto& d : st.model.Definitions(kind))
                    used[n][d.Filename + ":" + (d.Variable.empty() ? DefinitionSearchName(d) : d.Variable)] = d.Used;
            ++n;
        }
        EXPECT_EQ(used[0], used[1]);
    }
    bool Used(const std::string& key) {
        EXPECT_TRUE(used[0].count(key)) << key;
        return used[0][key];
    }
};

TEST(ModuleAndPublicUsage, PrivateInOwnFilePublicInEveryFileOfTheProject) {
    UsageProject p;
    testsupport::WriteBytes(p.dir.file("P.vbp"), CrLf({"Type=Exe", "Module=a; a.bas", "Module=b; b.bas", "Class=C; c.cls"}));
    testsupport::WriteBytes(p.dir.file("a.bas"),
                            CrLf({
                                "Attribute VB_Name = \"a\"",
                                "Private mUsed As Long",
                                "Private mUnused As Long",
                                "Private mUsedElsewhere As Long",
                                "Public gUsedInB As Long",
                                "Public gUnused As Long",
                                "Global Const G_USED_IN_CLASS = 1",
                                "Public Enum Colors",
                                "    Red",
                                "    Green",
                                "End Enum",
                                "Private Type Pt",
                                "    X As Long",
                                "    Y As Long",
                                "End Type",
                                "Private Declare Function GetTickCount Lib \"kernel32\" () As Long",
                                "Private Declare Function Unused Lib \"kernel32\" () As Long",
                                "Public Declare Sub Sleep Lib \"kernel32\" (ByVal ms As Long)",
                                "Private Sub One()",
                                "    Dim p As Pt",
                                "    mUsed = GetTickCount()",
                                "    p.X = Red",
                                "End Sub",
                            }));
    testsupport::WriteBytes(p.dir.file("b.bas"),
                            CrLf({
                                "Attribute VB_Name = \"b\"",
                                "Private Sub Two()",
                                "    gUsedInB = mUsedElsewhere",
                                "    Sleep 10",
                                "End Sub",
                            }));
    testsupport::WriteBytes(p.dir.file("c.cls"),
                            CrLf({
                                "VERSION 1.0 CLASS",
                                "BEGIN",
                                "END",
                                "Attribute VB_Name = \"C\"",
                                "Public Function F() As Long",
                                "    F = G_USED_IN_CLASS",
                                "End Function",
                            }));
    p.Load();
    EXPECT_TRUE(p.Used("a.bas:mUsed"));
    EXPECT_FALSE(p.Used("a.bas:mUnused"));
    EXPECT_FALSE(p.Used("a.bas:mUsedElsewhere"));  // private: only its own file counts
    EXPECT_TRUE(p.Used("a.bas:gUsedInB"));
    EXPECT_FALSE(p.Used("a.bas:gUnused"));
    EXPECT_TRUE(p.Used("a.bas:G_USED_IN_CLASS"));
    EXPECT_TRUE(p.Used("a.bas:Colors.Red"));
    EXPECT_FALSE(p.Used("a.bas:Colors.Green"));
    EXPECT_TRUE(p.Used("a.bas:Pt.X"));
    EXPECT_FALSE(p.Used("a.bas:Pt.Y"));
    EXPECT_FALSE(p.Used("a.bas:Pt"));  // used only in a declaration line
    EXPECT_TRUE(p.Used("a.bas:GetTickCount"));
    EXPECT_FALSE(p.Used("a.bas:Unused"));
    EXPECT_TRUE(p.Used("a.bas:Sleep"));
}

// A declaration continued over 20,000 lines is one statement: every check reads it once (it used to
// be read again from each of its lines). Its names are not used by it; a use after it counts.
TEST(ModuleAndPublicUsage, DeclarationContinuedOverManyLines) {
  for (const int kNames : {300, 20000}) {
    SCOPED_TRACE(kNames);
    UsageProject p;
    testsupport::WriteBytes(p.dir.file("P.vbp"), CrLf({"Type=Exe", "Module=a; a.bas"}));
    std::string body = "Attribute VB_Name = \"a\"\r\nPrivate m0 As Long, _\r\n";
    for (int i = 1; i < kNames; ++i) body += "    m" + std::to_string(i) + " As Long, _\r\n";
    body += "    mLast As Long\r\nPrivate Sub One()\r\n    Dim v0 As Long, _\r\n";
    for (int i = 1; i < kNames; ++i) body += "        v" + std::to_string(i) + " As Long, _\r\n";
    body += "        vLast As Long\r\n    v7 = m123 + _\r\n        vLast\r\nEnd Sub\r\n";
    testsupport::WriteBytes(p.dir.file("a.bas"), body);
    p.Load(kNames < 1000);
    EXPECT_EQ(p.used[0].size(), 2u * (kNames + 1));
    EXPECT_TRUE(p.Used("a.bas:v7"));
    EXPECT_TRUE(p.Used("a.bas:vLast"));
    EXPECT_TRUE(p.Used("a.bas:m123"));
    EXPECT_FALSE(p.Used("a.bas:v0"));
    EXPECT_FALSE(p.Used("a.bas:v" + std::to_string(kNames - 1)));
    EXPECT_FALSE(p.Used("a.bas:mLast"));
  }
}

TEST(ModuleAndPublicUsage, IndexedAndLiteralAgreeOnAGeneratedProject) {
    for (bool lf : {false, true}) {
        testsupport::TempDir dir;
        bench::GeneratorOptions o;
        o.files = 12;
        o.lines = 6000;
        o.seed = lf ? 7 : 3;
        o.lfOnly = lf;
        const auto project = bench::GenerateProject(dir.path(), o);
        std::vector<std::pair<std::string, bool>> flags[2];
        std::size_t procedures[2] = {0, 0};
        int n = 0;
        for (auto search : {UsageSearch::Indexed, UsageSearch::Literal}) {
            FakeHost host;
            ToolState st;
            st.txtProject = project.projectPath;
            LoadOptions opt;
            opt.search = search;
            ASSERT_TRUE(engine::LoadProject(st, host, host, false, opt));
            for (FileKind kind : kAllKinds) {
                for (const auto& d : st.model.Definitions(kind))
                    flags[n].emplace_back(d.Filename + ":" + d.ProcName + ":" + d.Variable + ":" + d.LineNo, d.Used);
                for (const auto& e : st.model.Procedures(kind)) procedures[n] += e.procedures.size();
            }
            ++n;
        }
        EXPECT_EQ(procedures[0], static_cast<std::size_t>(project.procedures));
        EXPECT_EQ(flags[0], flags[1]);
        std::size_t used = 0;
        for (const auto& f : flags[0]) used += f.second;
        EXPECT_GT(used, 0u);
        EXPECT_LT(used, flags[0].size());
    }
}

}  // namespace
