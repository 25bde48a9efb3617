#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "bench/generator.h"
#include "engine/loader.h"
#include "engine/source.h"
#include "engine/usage.h"
#include "tests/engine/fake_host.h"
#include "tests/support/testsupport.h"

using namespace engine;
using enginetest::FakeHost;
using testsupport::CrLf;

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Statements and the names they use: "uses" must be among them, "not" must not ("." marks a use
// after a dot); "parameters" are the parameters the statement declares, in order.
TEST(NamesUsedIn, StatementsAndTheNamesTheyUse) {
    struct Case {
        const char* name;
        const char* code;
        std::vector<std::string> uses, not_, parameters = {};
    } cases[] = {
        {"the name at the start, then a dot", "cTransform.ApplyTranslation x, y",
         {"cTransform", ".ApplyTranslation", "x", "y"}, {}},
        {"in parentheses after an opening parenthesis", "p = VarPtr(exporterGUID(0))", {"p", "VarPtr", "exporterGUID"}, {}},
        {"after a parenthesis, before a blank", "If (okToLoad And bReady) Then", {"okToLoad", "bReady"}, {}},
        {"the initialiser of another declaration", "Const QS_INPUT = (QS_MOUSE Or QS_KEY)", {"QS_MOUSE", "QS_KEY"},
         {"QS_INPUT"}},
        {"after a statement separator", "Dim d As Double:    d = (tmpTime - startTime)",
         {"Double", "d", "tmpTime", "startTime"}, {}},
        {"alone on its line", "fields.Add2", {"fields", ".Add2"}, {}},
        {"next to operators without blanks", "x=a+b*c&d", {"x", "a", "b", "c", "d"}, {}},
        {"a string is no use", "MsgBox \"total \" & nTotal", {"MsgBox", "nTotal"}, {"total"}},
        {"a comment is no use", "x = 1 ' counter", {"x"}, {"counter"}},
        {"Rem is no use", "x = 1: Rem counter", {"x"}, {"counter"}},
        {"ReDim uses its array", "ReDim Preserve arr(n)", {"arr", "n"}, {}},
        {"With uses its object, the members follow a dot", "With pt: .X = lTotal: End With", {"pt", ".X", "lTotal"}, {}},
        {"array bounds and the type after As", "Dim grid(1 To ROWS, COLS) As PtType", {"ROWS", "COLS", "PtType"},
         {"grid"}},
        {"a default value, not the parameters", "Private Sub F(Optional ByVal n As Long = DEFAULT_N, ByRef b() As Byte)",
         {"DEFAULT_N"}, {"F", "n", "b"}, {"n", "b"}},
        {"a default value named like its parameter", "Sub F(Optional ByVal n& = n)", {"n"}, {"F"}, {"n"}},
        {"ParamArray and type characters", "Function F$(s$, ParamArray rest())", {}, {"F", "s", "rest"}, {"s", "rest"}},
        {"every item of a declaration", "Private mA As Long, mB(LIMIT) As Long, WithEvents mC As Form1",
         {"LIMIT", "Form1"}, {"mA", "mB", "mC"}},
        {"bracketed names and type characters", "For i = Kinds.[_First] To [_Count] - 1: s$ = Padded$(n%): Next",
         {"i", "Kinds", "._First", "_Count", "s", "Padded", "n"}, {}},
        {"a label and a line number declare nothing", "Retry: x = 1", {"x"}, {"Retry"}},
        {"a line number", "000010 x = y", {"x", "y"}, {}},
        {"an API declaration, whose parameters belong to no body",
         "Private Declare Function GetTickCount Lib \"kernel32\" (ByVal ms As Long) As Long", {},
         {"GetTickCount", "ms", "kernel32"}},
        {"an event", "Public Event Changed(ByVal v As Long)", {}, {"Changed", "v"}},
        {"a procedure header", "Public Function Total(ByVal a As Long) As Currency", {"Currency"}, {"Total", "a"}, {"a"}},
        {"a property header", "Property Let Value(ByVal vNew As Variant)", {}, {"Value", "vNew"}, {"vNew"}},
        {"a Property Set header", "Friend Property Set Target(ByRef [obj] As Object)", {"Object"}, {"Target", "obj"},
         {"obj"}},
        {"a name after a dot, or a bang", "rs!Field = obj.Count", {"rs", ".Field", "obj", ".Count"}, {"Field", "Count"}},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> names = UseReader::NamesUsedIn(c.code);
        for (const std::string& n : c.uses) EXPECT_TRUE(Contains(names, n)) << c.name << ": " << n;
        for (const std::string& n : c.not_) EXPECT_FALSE(Contains(names, n)) << c.name << ": " << n;
        std::vector<std::string> parameters;
        UseReader::Read(std::vector<std::string>{c.code}, 0, [&](const NameUse& u) {
            if (u.parameter) parameters.emplace_back(u.name);
        });
        EXPECT_EQ(parameters, c.parameters) << c.name;
    }
}

// Statements over several lines: continued declarations, Type and Enum blocks, a comment continued.
TEST(UseReader, BlocksContinuationsAndLineNumbers) {
    const std::vector<std::string> lines = {
        "Private Type Pt",                       // 0
        "    X As Long",                         // 1
        "    Tag As String * TAG_LEN",           // 2
        "End Type",                              // 3
        "Public Enum Colors",                    // 4
        "    Red",                               // 5
        "    Pink = Red + 1",                    // 6
        "End Enum",                              // 7
        "Dim first As Long, _",                  // 8
        "    second(LIMIT) As Long",             // 9
        "x = 1 ' a comment _",                   // 10
        "    that goes on",                      // 11
        "y = first",                             // 12
    };
    std::vector<std::string> names;
    std::vector<LineIndex> at;
    UseReader::Read(lines, 0, [&](const NameUse& u) {
        names.push_back((u.member ? "." : "") + std::string(u.name));
        at.push_back(u.line);
    });
    for (const char* n : {"TAG_LEN", "Red", "LIMIT", "x", "y", "first"}) EXPECT_TRUE(Contains(names, n)) << n;
    for (const char* n : {"Pt", "X", "Tag", "Colors", "Pink", "second", "that", "goes", "comment"})
        EXPECT_FALSE(Contains(names, n)) << n;
    EXPECT_EQ(std::count(names.begin(), names.end(), "Red"), 1);  // its declaration is no use
    EXPECT_EQ(at[static_cast<std::size_t>(std::find(names.begin(), names.end(), "LIMIT") - names.begin())], 9);
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
                    used[n][d.Filename() + ":" + (d.Variable.empty() ? DefinitionSearchName(d) : d.Variable)] = d.Used;
            ++n;
        }
        EXPECT_EQ(used[0], used[1]);
    }
    bool Used(const std::string& key) {
        EXPECT_TRUE(used[0].count(key)) << key;
        return used[0][key];
    }
};

TEST(LocalUsage, InItsOwnProcedureOnlyAndNotInItsDeclaration) {
    UsageProject p;
    testsupport::WriteBytes(p.dir.file("P.vbp"), CrLf({"Type=Exe", "Module=a; a.bas"}));
    testsupport::WriteBytes(p.dir.file("a.bas"),
                            CrLf({
                                "Attribute VB_Name = \"a\"",
                                "Private Sub One()",
                                "    Dim onlyDeclared As Long, usedAtStart As Long",
                                "    Dim inString As Long, inOther As Long, inComment As Long",
                                "    usedAtStart = 1",
                                "    MsgBox \"a inString b\" ' inComment",
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
                                "    Dim bound As Long, arr(bound) As Long",
                                "    Dim d As Double:    d = 2",
                                "End Sub",
                            }));
    p.Load();
    EXPECT_FALSE(p.Used("a.bas:onlyDeclared"));
    EXPECT_TRUE(p.Used("a.bas:usedAtStart"));
    EXPECT_FALSE(p.Used("a.bas:inString"));   // strings are no uses
    EXPECT_FALSE(p.Used("a.bas:inComment"));  // nor are comments
    EXPECT_FALSE(p.Used("a.bas:inOther"));    // a use in another procedure does not count
    // Two accessors of one name: each one's locals are checked in its own body only.
    EXPECT_FALSE(p.Used("a.bas:w"));
    EXPECT_FALSE(p.Used("a.bas:v"));
    EXPECT_TRUE(p.Used("a.bas:v2"));
    // The continuation lines of a declaration are part of it, not uses of its names.
    EXPECT_TRUE(p.Used("a.bas:first"));
    EXPECT_FALSE(p.Used("a.bas:second"));
    EXPECT_TRUE(p.Used("a.bas:third"));
    // Array bounds in another item of the same declaration are uses; a use after ":" counts.
    EXPECT_TRUE(p.Used("a.bas:bound"));
    EXPECT_FALSE(p.Used("a.bas:arr(bound)"));
    EXPECT_TRUE(p.Used("a.bas:d"));
}

// A procedure's parameters take the bare uses of their names in it, as its locals do: a module-level
// or public name of the same name is not used by them. Each row is a module of its own; `name` is
// the outer definition asked about.
TEST(ModuleAndPublicUsage, ParametersTakeTheUsesOfTheirNames) {
    struct Case {
        const char* row;
        std::vector<std::string> module;
        const char* name;
        bool used;
    } cases[] = {
        {"ByVal", {"Private mName As Long", "Sub F(ByVal mName As Long)", "    x = mName", "End Sub"}, "mName", false},
        {"ByRef with a type character",
         {"Private mText As String", "Sub F(ByRef mText$)", "    Debug.Print mText$", "End Sub"}, "mText", false},
        {"an array", {"Private mBuf() As Byte", "Sub F(mBuf() As Byte)", "    mBuf(0) = 1", "End Sub"}, "mBuf()", false},
        {"ParamArray",
         {"Private mArgs As Variant", "Sub F(ParamArray mArgs())", "    x = UBound(mArgs)", "End Sub"}, "mArgs", false},
        {"Optional",
         {"Private mLimit As Long", "Function F(Optional mLimit As Long = 3) As Long", "    F = mLimit", "End Function"},
         "mLimit", false},
        {"a public name",
         {"Public gName As Long", "Sub F(ByVal gName As Long)", "    x = gName", "End Sub"}, "gName", false},
        {"a continued header",
         {"Private mName As Long", "Sub F(ByVal a As Long, _", "      ByVal mName As Long)", "    x = mName", "End Sub"},
         "mName", false},
        {"Property Let",
         {"Private mValue As Long", "Property Let Value(ByVal mValue As Long)", "    y = mValue", "End Property"},
         "mValue", false},
        {"Property Set",
         {"Private mTarget As Object", "Property Set Target(ByVal mTarget As Object)", "    Set y = mTarget",
          "End Property"},
         "mTarget", false},
        {"a default value names the outer name",
         {"Private Const DEFAULT_LIMIT = 5", "Sub F(Optional ByVal DEFAULT_LIMIT As Long = DEFAULT_LIMIT)",
          "    x = DEFAULT_LIMIT", "End Sub"},
         "DEFAULT_LIMIT", true},
        {"a use after a dot is no parameter's",
         {"Private mName As Long", "Sub F(ByVal mName As Long)", "    x = obj.mName", "End Sub"}, "mName", true},
        {"another procedure has no such parameter",
         {"Private mName As Long", "Sub F(ByVal mName As Long)", "    x = mName", "End Sub", "Sub G()",
          "    x = mName", "End Sub"},
         "mName", true},
        {"an API declaration's parameter takes nothing",
         {"Private hWnd As Long", "Private Declare Sub Beep Lib \"k\" (ByVal hWnd As Long)", "Sub G()",
          "    Beep hWnd", "End Sub"},
         "hWnd", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        UsageProject p;
        std::string text = "Attribute VB_Name = \"a\"\r\n";
        for (const std::string& line : c.module) text += line + "\r\n";
        testsupport::WriteBytes(p.dir.file("P.vbp"), CrLf({"Type=Exe", "Module=a; a.bas"}));
        testsupport::WriteBytes(p.dir.file("a.bas"), text);
        p.Load();
        EXPECT_EQ(p.Used(std::string("a.bas:") + c.name), c.used);
    }
}

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
    EXPECT_TRUE(p.Used("a.bas:Pt"));  // the type of a declaration
    EXPECT_TRUE(p.Used("a.bas:GetTickCount"));
    EXPECT_FALSE(p.Used("a.bas:Unused"));
    EXPECT_TRUE(p.Used("a.bas:Sleep"));
}

// Alternative versions of procedures under #If/#Else may declare module-level names between two
// procedures: those belong to the module ("_None_"), as the names above the first procedure do,
// and are checked as such: private ones within their file, public ones in every file. Both
// searches agree, and a name marked unused is unused.
TEST(ModuleAndPublicUsage, NamesDeclaredBetweenProceduresBelongToTheModule) {
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.file("P.vbp"), CrLf({"Type=Exe", "Module=modFind; modFind.bas", "Module=modUse; modUse.bas"}));
    testsupport::WriteBytes(dir.file("modFind.bas"),
                            CrLf({
                                "Attribute VB_Name = \"modFind\"",                                        // 0
                                "Option Explicit",                                                       // 1
                                "Private mTop As Long",                                                  // 2
                                "#If UseApi Then",                                                       // 3
                                "Public Function FindIt(ByVal s As String) As Long",                     // 4
                                "    Dim n As Long",                                                     // 5
                                "    n = Len(s)",                                                        // 6
                                "    FindIt = n",                                                        // 7
                                "End Function",                                                          // 8
                                "#Else",                                                                 // 9
                                "Private sClassFind As String, sTitleFind As String, fCase As Boolean",  // 10
                                "Private sNeverUsed As String",                                          // 11
                                "Public gShared As Long",                                                // 12
                                "Public gNobody As Long",                                                // 13
                                "Private Type tFound",                                                   // 14
                                "    hWnd As Long",                                                      // 15
                                "End Type",                                                              // 16
                                "Private Enum eMode",                                                    // 17
                                "    emNone",                                                            // 18
                                "End Enum",                                                              // 19
                                "Public Function FindIt(ByVal s As String) As Long",                     // 20
                                "    Dim k As Long",                                                     // 21
                                "    sClassFind = s",                                                    // 22
                                "    k = Len(sTitleFind)",                                               // 23
                                "    FindIt = k",                                                        // 24
                                "End Function",                                                          // 25
                                "#End If",                                                               // 26
                                "Private Sub Helper()",                                                  // 27
                                "    Dim f As tFound",                                                   // 28
                                "    fCase = True",                                                      // 29
                                "    f.hWnd = emNone",                                                   // 30
                                "End Sub",                                                               // 31
                            }));
    testsupport::WriteBytes(dir.file("modUse.bas"),
                            CrLf({"Attribute VB_Name = \"modUse\"", "Private sNeverUsed As String", "Sub UseIt()",
                                  "    gShared = sNeverUsed", "End Sub"}));
    struct Want {
        std::string owner;
        LineIndex line;
        bool used;
        bool operator==(const Want&) const = default;
    };
    const std::map<std::string, Want> expected = {
        {"modFind.bas:mTop", {"_None_", 2, false}},
        {"modFind.bas:n", {"FindIt", 5, true}},
        {"modFind.bas:sClassFind", {"_None_", 10, true}},
        {"modFind.bas:sTitleFind", {"_None_", 10, true}},
        {"modFind.bas:fCase", {"_None_", 10, true}},
        {"modFind.bas:sNeverUsed", {"_None_", 11, false}},  // modUse's own of that name is no use of it
        {"modFind.bas:gShared", {"_None_", 12, true}},      // used in modUse
        {"modFind.bas:gNobody", {"_None_", 13, false}},
        {"modFind.bas:tFound", {"_None_", 14, true}},
        {"modFind.bas:tFound.hWnd", {"_None_", 15, true}},
        {"modFind.bas:eMode", {"_None_", 17, false}},
        {"modFind.bas:eMode.emNone", {"_None_", 18, true}},
        {"modFind.bas:k", {"FindIt", 21, true}},
        {"modFind.bas:f", {"Helper", 28, true}},
        {"modUse.bas:sNeverUsed", {"_None_", 1, true}},
    };
    for (auto search : {UsageSearch::Indexed, UsageSearch::Literal}) {
        SCOPED_TRACE(search == UsageSearch::Indexed ? "indexed" : "literal");
        FakeHost host;
        ToolState st;
        st.txtProject = dir.path() + "P.vbp";
        LoadOptions o;
        o.search = search;
        ASSERT_TRUE(engine::LoadProject(st, host, host, false, o));
        std::map<std::string, Want> got;
        for (const clsDefinitions& d : st.model.ModuleDefinitions())
            got[d.Filename() + ":" + d.Variable] = Want{d.ProcName, d.LineNo, d.Used};
        EXPECT_EQ(got.size(), expected.size());
        for (const auto& [name, want] : expected) {
            ASSERT_TRUE(got.count(name)) << name;
            EXPECT_EQ(got[name].owner, want.owner) << name;
            EXPECT_EQ(got[name].line, want.line) << name;
            EXPECT_EQ(got[name].used, want.used) << name;
        }
    }
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
                    flags[n].emplace_back(d.Filename() + ":" + d.ProcName + ":" + d.Variable + ":" + std::to_string(d.LineNo), d.Used);
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
