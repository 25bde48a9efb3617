#include <gtest/gtest.h>

#include <map>

#include "engine/definitions.h"
#include "tests/engine/scan_fixture.h"

using namespace engine;
using enginetest::ScannedFile;
using testsupport::CrLf;

namespace {

struct Expected {
    std::string variable, defined;
    std::int32_t defType;
};

// The file record that the parsed records point to.
const clsFileInfo& File() {
    static const clsFileInfo file = [] {
        clsFileInfo f;
        f.fFilename = "a.bas";
        f.fProject = "P.vbp";
        f.fOffset = 1;
        f.fLoadFolder = "/p/";
        return f;
    }();
    return file;
}

std::vector<Expected> Parse(const std::string& statement, std::int32_t m) {
    DefinitionList defs;
    GetDefinitions(defs, File(), 7, statement, m, "");
    std::vector<Expected> out;
    for (const auto& d : defs) {
        EXPECT_EQ(d.LineNo, 7);
        EXPECT_EQ(d.Filename(), "a.bas");
        EXPECT_EQ(d.ProcName, "");
        out.push_back({d.Variable, d.Defined, d.DefType});
    }
    return out;
}

bool operator==(const Expected& a, const Expected& b) {
    return a.variable == b.variable && a.defined == b.defined && a.defType == b.defType;
}
std::ostream& operator<<(std::ostream& o, const Expected& e) {
    return o << "{" << e.variable << ", " << e.defined << ", 0x" << std::hex << e.defType << std::dec << "}";
}

TEST(GetDefinitions, StatementKinds) {
    struct Case {
        const char* statement;
        std::int32_t mask;
        std::vector<Expected> records;
    };
    const Case cases[] = {
        {"Dim a As Long, b As String", 0x124, {{"a", "Long", 0x124}, {"b", "String", 0x124}}},
        {"Private Const MAX_BUFFER_SIZE = 1024", 0x144, {{"MAX_BUFFER_SIZE", "Const", 0x144}}},
        {"Const N = 5", 0x144, {{"N", "Const", 0x144}}},
        {"Public Const A = 1, B = \"x, y\"", 0x244, {{"A", "Const", 0x244}, {"B", "Const", 0x244}}},
        {"Dim a(10) As Long", 0x124, {{"a(10)", "Long", 0x20124}}},
        {"Dim grid(10, 10) As Long, n As Integer", 0x124, {{"grid(10, 10)", "Long", 0x20124}, {"n", "Integer", 0x124}}},
        {"Dim x", 0x124, {}},
        {"Dim sDim As String ' a Dim comment, with a comma", 0x124, {{"sDim", "String", 0x124}}},
        {"Dim c As New Collection", 0x124, {{"c", "Collection", 0x124}}},
        {"Private m As Long", 0x124, {{"m", "Long", 0x124}}},
        {"Public g As String", 0x224, {{"g", "String", 0x224}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.statement, c.mask), c.records) << c.statement;
}

TEST(GetDefinitions, ApiDeclarationKeepsItsText) {
    DefinitionList defs;
    std::int32_t m = 0x1112;
    GetDefinitions(defs, File(), 3, "Private Declare Function GetTickCount Lib \"kernel32\" () As Long ' ms", m, "");
    ASSERT_EQ(defs.size(), 1u);
    EXPECT_EQ(defs[0].Variable, "");
    EXPECT_EQ(defs[0].Line, "Private Declare Function GetTickCount Lib \"kernel32\" () As Long");
    EXPECT_EQ(defs[0].DefType, 0x1112);
    EXPECT_EQ(DefinitionSearchName(defs[0]), "GetTickCount");
    EXPECT_EQ(DeclaredApiName("Public Declare Sub Sleep Lib \"kernel32\" (ByVal ms As Long)"), "Sleep");
    // Keywords in any letter case, as the language reads them.
    EXPECT_EQ(DeclaredApiName("Declare function GetTickCount Lib \"kernel32\" () As Long"), "GetTickCount");
}

TEST(DefinitionSearchName, NamesAsTheyAreUsed) {
    clsDefinitions d;
    d.Variable = "a(10)";
    d.DefType = 0x20124;
    EXPECT_EQ(DefinitionSearchName(d), "a");
    d.Variable = "b()";
    EXPECT_EQ(DefinitionSearchName(d), "b");
    d.Variable = "Pt.X";
    d.Defined = "Long";
    d.DefType = 0x8104;
    EXPECT_EQ(DefinitionSearchName(d), "X");
    d.Variable = "Pt";
    d.Defined = "Type";
    EXPECT_EQ(DefinitionSearchName(d), "Pt");
}

TEST(TypeAndEnumBlocks, MembersValuesLinesAndScope) {
    ScannedFile f("a.bas", CrLf({
                               "Attribute VB_Name = \"a\"",  // 0
                               "Option Explicit",            // 1
                               "Private Type Pt",            // 2
                               "    X As Long",              // 3
                               "",                           // 4
                               "    Y As Long ' the Y",      // 5
                               "    Name As String * 10",    // 6
                               "End Type",                   // 7
                               "Public Enum Colors",         // 8
                               "    A",                      // 9
                               "    B = &H10 ' sixteen",     // 10
                               "    C",                      // 11
                               "    D = 7",                  // 12
                               "    E",                      // 13
                               "End Enum",                   // 14
                           }));
    std::vector<std::tuple<std::string, std::string, LineIndex, std::int32_t>> got;
    for (const auto& d : f.defs) got.emplace_back(d.Variable, d.Defined, d.LineNo, d.DefType);
    const std::vector<std::tuple<std::string, std::string, LineIndex, std::int32_t>> expected = {
        {"Colors.E", "8", 13, 0x10204},  {"Colors.D", "7", 12, 0x10204},   {"Colors.C", "&H11", 11, 0x10204},
        {"Colors.B", "&H10", 10, 0x10204}, {"Colors.A", "0", 9, 0x10204},  {"Colors", "Enum", 8, 0x10204},
        {"Pt.Name", "String", 6, 0x8104}, {"Pt.Y", "Long", 5, 0x8104},     {"Pt.X", "Long", 3, 0x8104},
        {"Pt", "Type", 2, 0x8104},
    };
    EXPECT_EQ(got, expected);
    for (const auto& d : f.defs) EXPECT_EQ(d.ProcName, "_None_");
    EXPECT_TRUE(f.dataOnly);
}

// A member after the largest Long (code no compiler takes) gets the next value round the range,
// not an overflow.
TEST(TypeAndEnumBlocks, ValuePastTheLargestLongWrapsRound) {
    ScannedFile f("a.bas", CrLf({"Attribute VB_Name = \"a\"", "Enum E", "    A = 2147483647", "    B",
                                 "    C = &H7FFFFFFF", "    D", "End Enum"}));
    std::map<std::string, std::string> values;
    for (const auto& d : f.defs) values[d.Variable] = d.Defined;
    EXPECT_EQ(values["E.B"], "-2147483648");
    EXPECT_EQ(values["E.D"], "&H80000000");
}

// The value of each Enum member: written in hexadecimal, octal, decimal with a sign, a fraction
// or an exponent, or the one before plus one (in hexadecimal after a hexadecimal value).
TEST(TypeAndEnumBlocks, EnumValuesOfEveryLiteralForm) {
    ScannedFile f("a.bas", CrLf({
                               "Attribute VB_Name = \"a\"",
                               "Enum E",
                               "    Oct = &O17",
                               "    NextOfOct",
                               "    Neg = -1",
                               "    NextOfNeg",
                               "    Half = 2.5",       // halves round to even
                               "    Exp = 1E3",
                               "    AllBits = &HFFFFFFFF",
                               "    NextOfAllBits",
                               "    Garbage = Oct + 1",  // no number: 0
                               "End Enum",
                           }));
    std::map<std::string, std::string> values;
    for (const auto& d : f.defs) values[d.Variable] = d.Defined;
    const std::map<std::string, std::string> expected = {
        {"E", "Enum"},         {"E.Oct", "15"},      {"E.NextOfOct", "16"},    {"E.Neg", "-1"},
        {"E.NextOfNeg", "0"},  {"E.Half", "2"},      {"E.Exp", "1000"},        {"E.AllBits", "&HFFFFFFFF"},
        {"E.NextOfAllBits", "&H0"}, {"E.Garbage", "0"},
    };
    EXPECT_EQ(values, expected);
}

TEST(Definitions, ContinuedStatementsAndOwningProcedures) {
    ScannedFile f("a.bas", CrLf({
                               "Attribute VB_Name = \"a\"",  // 0
                               "Dim a As Long, _",           // 1
                               "    b As Long",              // 2
                               "Private Sub One()",          // 3
                               "    Dim x As Long, _",       // 4
                               "        y As String",        // 5
                               "    x = 1",                  // 6
                               "End Sub",                    // 7
                               "Private Sub Two()",          // 8
                               "    Const K = 2",            // 9
                               "End Sub",                    // 10
                           }));
    ASSERT_TRUE(f.Def("a") && f.Def("b") && f.Def("x") && f.Def("y") && f.Def("K"));
    EXPECT_EQ(f.Def("a")->ProcName, "_None_");
    EXPECT_EQ(f.Def("b")->ProcName, "_None_");
    EXPECT_EQ(f.Def("a")->LineNo, 1);
    EXPECT_EQ(f.Def("x")->ProcName, "One");
    EXPECT_EQ(f.Def("y")->ProcName, "One");
    EXPECT_EQ(f.Def("x")->LineNo, 4);
    EXPECT_EQ(f.Def("K")->ProcName, "Two");
    EXPECT_EQ(f.Def("K")->Offset(), 1);
    EXPECT_EQ(f.Def("K")->AppFldr(), f.dir.path());
    EXPECT_EQ(f.Def("K")->Project(), "P.vbp");
}

TEST(SetDefinitionProcName, LabelsTheTrailingUnlabelledRecords) {
    DefinitionList defs(4);
    defs[1].ProcName = "Earlier";
    SetDefinitionProcName(defs, "Now");
    EXPECT_EQ(defs[0].ProcName, "");
    EXPECT_EQ(defs[1].ProcName, "Earlier");
    EXPECT_EQ(defs[2].ProcName, "Now");
    EXPECT_EQ(defs[3].ProcName, "Now");
    DefinitionList none;
    SetDefinitionProcName(none, "x");
    EXPECT_TRUE(none.empty());
}

}  // namespace
