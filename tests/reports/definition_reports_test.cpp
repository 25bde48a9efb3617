#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "reports/definition_reports.h"
#include "engine/loader.h"
#include "engine/state.h"
#include "tests/engine/fake_host.h"
#include "tests/support/testsupport.h"

using namespace engine;
using enginetest::FakeHost;
using reports::CharCount;
using reports::ReportBox;
using reports::ReportFormatRun;

namespace {

const reports::ReportStamp kStamp{"Jan 02, 2025 - 03:04:05 pm", "Version 1.0  Build 7  Freeware"};

std::string S(int n, char c) { return std::string(static_cast<std::size_t>(n), c); }
const std::string kCrLf = "\r\n";

// A file record for test records: each (file name, folder) once, kept for the whole run.
const clsFileInfo* FileRecord(const std::string& name, const std::string& folder = "/p/") {
    static std::deque<clsFileInfo> files;
    for (const clsFileInfo& f : files)
        if (f.fFilename == name && f.fLoadFolder == folder) return &f;
    clsFileInfo& f = files.emplace_back();
    f.fFilename = name;
    f.fProject = "P.vbp";
    f.fOffset = 1;
    f.fLoadFolder = folder;
    return &f;
}

clsDefinitions Def(std::string variable, std::string defined, std::string proc, std::string lineNo, bool used) {
    clsDefinitions d;
    d.file = FileRecord("M.bas");
    d.Variable = std::move(variable);
    d.Defined = std::move(defined);
    d.ProcName = std::move(proc);
    d.LineNo = std::stoi(lineNo);
    d.Used = used;
    d.DefType = mask::kDefinition | mask::kDim;
    return d;
}

// The list as the loader leaves it: the report reads it from the last record to the first.
DefinitionList InReportOrder(DefinitionList l) {
    std::reverse(l.begin(), l.end());
    return l;
}

// Header of a module, form or class report: 469 characters.
const std::string kRule130 = S(130, '=') + kCrLf;
const std::string kDefinitionHeader = "\t\tJan 02, 2025 - 03:04:05 pm - Quillet Version 1.0  Build 7  Freeware\r\n\r\n" +
                                      kRule130 + S(8, ' ') + "Name" + S(66, ' ') + "Definition" + S(29, ' ') +
                                      S(5, ' ') + "Line No " + kCrLf + kRule130;

std::string FileHeading(int lead, const std::string& heading, int trail) {
    const std::string u = S(130, '_');
    return kCrLf + u + "\r\n\r\n" + S(lead, ' ') + heading + S(trail, ' ') + kCrLf + u + "\r\n\r\n";
}

TEST(DefinitionReport, GoldenTextAndRuns) {
    DefinitionList list = InReportOrder({
        Def("Counter", "Long", "_None_", "3", true),
        Def("Pt", "Type", "_None_", "4", true),
        Def("Pt.X", "Long", "_None_", "5", true),     // a member of the Type
        Def("Pt.Y", "", "_None_", "6", false),        // no type: Variant; unused: red
        Def("Total", "Double", "Compute", "10", true),
        Def(S(80, 'N'), S(45, 'T'), "Compute", "12", false),  // cut at both column ends
    });
    FakeHost host;
    ReportBox box;
    box.text = "the previous project's report";
    reports::CreateDefinitionReport(list, box, host, kStamp);

    const std::string expected =
        kDefinitionHeader + FileHeading(56, "/p/M.bas - P.vbp", 58) + "\r\n\t\r\n\r\n" +
        "Counter   " + S(68, '.') + "Long" + S(35, '.') + S(7, '.') + "3     " + kCrLf +
        "Pt   " + S(73, '.') + "Type" + S(35, '.') + S(7, '.') + "4     " + kCrLf +
        "  X   " + S(72, '.') + "Long" + S(35, '.') + S(7, '.') + "5     " + kCrLf +
        "  Y   " + S(72, '.') + "Variant" + S(32, '.') + S(7, '.') + "6     " + kCrLf +
        "\r\n\tCompute\r\n\r\n" +
        "Total   " + S(70, '.') + "Double" + S(33, '.') + S(6, '.') + "10     " + kCrLf +
        S(78, 'N') + S(39, 'T') + S(6, '.') + "12     " + kCrLf;
    EXPECT_EQ(box.text, expected);

    const std::vector<ReportFormatRun> runs = {
        {0, 469, 0, true},       // header and column headings
        {469, 402, 0, true},     // file heading
        {871, 7, 0, true},       // module level: a TAB alone
        {878 + 3 * 132, 132, 255, false},  // Pt.Y
        {1406, 14, 0, true},     // Compute
        {1420 + 132, 132, 255, false},     // the long name
    };
    EXPECT_EQ(box.runs, runs);
    EXPECT_EQ(list[2].Defined, "Variant");  // the record itself now says Variant
    EXPECT_EQ(host.runLog.front(), "Processing Definition Report for ");
    EXPECT_EQ(std::count(host.runLog.begin(), host.runLog.end(), "Formatting Definition Report for M.bas"), 1);
}

TEST(DefinitionReport, FileHeadingsAreCentredOrStartTheLine) {
    const struct {
        int length;  // of the heading
        int lead;    // blanks before it
    } cases[] = {{16, 56}, {17, 55}, {127, 1}, {128, 0}, {129, 0}, {130, 0}, {180, 0}};
    for (const auto& c : cases) {
        clsDefinitions d = Def("x", "Long", "_None_", "2", true);
        d.file = FileRecord("M.bas", "/" + S(c.length - 15, 'f') + "/");  // "/.../" & "M.bas" & " - " & "P.vbp"
        const std::string heading = d.AppFldr() + "M.bas - P.vbp";
        ASSERT_EQ(static_cast<int>(heading.size()), c.length);
        DefinitionList list = {d};
        FakeHost host;
        ReportBox box;
        reports::CreateDefinitionReport(list, box, host, kStamp);
        const std::string line = S(c.lead, ' ') + heading + S(std::max(0, 130 - c.lead - c.length), ' ');
        EXPECT_NE(box.text.find("\r\n\r\n" + line + "\r\n"), std::string::npos) << c.length;
    }
}

TEST(DefinitionReport, NamesFromTheFilesAreDecodedAndCountedInCharacters) {
    DefinitionList list = {Def("Gr\xF6\xDF" "e", "Long", "_None_", "2", false)};  // Windows-1252
    FakeHost host;
    ReportBox box;
    reports::CreateDefinitionReport(list, box, host, kStamp);
    const std::string row = "Gr\xC3\xB6\xC3\x9F" "e   " + S(70, '.') + "Long" + S(35, '.') + S(7, '.') + "2     \r\n";
    ASSERT_TRUE(box.text.ends_with(row));
    EXPECT_EQ(CharCount(row), 132);
    EXPECT_EQ(box.runs.back(), (ReportFormatRun{CharCount(box.text) - 132, 132, 255, false}));
}

TEST(DefinitionReport, EmptyListGivesTheHeaderAlone) {
    DefinitionList list;
    FakeHost host;
    ReportBox box;
    box.text = "the previous project's report";
    box.runs = {{0, 3, 255, false}};
    reports::CreateDefinitionReport(list, box, host, kStamp);
    EXPECT_EQ(box.text, kDefinitionHeader);
    EXPECT_EQ(box.runs, (std::vector<ReportFormatRun>{{0, 469, 0, true}}));
}

TEST(DefinitionReport, CancelEndsTheReportWithALineSayingSo) {
    DefinitionList list = InReportOrder({Def("a", "Long", "_None_", "2", true), Def("b", "Long", "_None_", "3", true),
                                         Def("c", "Long", "_None_", "4", true)});
    FakeHost host;
    // Cancel is pressed on seeing the file's heading made: the first row is the last.
    host.cancelOnLog = "Formatting Definition Report for M.bas";
    ReportBox box;
    reports::CreateDefinitionReport(list, box, host, kStamp);
    const std::string incomplete = "\r\n*** This report is incomplete: it was stopped by Cancel. ***\r\n";
    EXPECT_TRUE(box.text.ends_with("a   " + S(74, '.') + "Long" + S(35, '.') + S(7, '.') + "2     \r\n" + incomplete));
    EXPECT_EQ(box.runs.back(), (ReportFormatRun{CharCount(box.text) - CharCount(incomplete), CharCount(incomplete),
                                                255, true}));

    // With the flag set before it starts, the report is not made and its box is emptied.
    reports::CreateDefinitionReport(list, box, host, kStamp);
    EXPECT_TRUE(box.text.empty());
    EXPECT_TRUE(box.runs.empty());
}

// ---- API report --------------------------------------------------------------------------------

const std::string kRule85 = S(85, '=') + kCrLf;
const std::string kApiHeader = "Jan 02, 2025 - 03:04:05 pm - Quillet Version 1.0  Build 7  Freeware\r\n\r\n" + kRule85 +
                               "\tLine No \t\tDefinition\r\n" + kRule85;

clsDefinitions Declare(std::string line, std::string lineNo, bool used, std::string file = "M.bas") {
    clsDefinitions d = Def("F", "Long", "_None_", std::move(lineNo), used);
    d.DefType = mask::kDeclareBits | mask::kFunction | mask::kPrivate;
    d.Line = std::move(line);
    d.file = FileRecord(file);
    return d;
}

TEST(ApiReport, LongDeclareLinesInPiecesOf200) {
    ProjectModel model;
    const std::string line = S(200, 'a') + S(200, 'b') + S(50, 'c');
    model.ModuleDefinitions() = InReportOrder({
        Declare(line, "14", false),
        Def("NotADeclare", "Long", "_None_", "15", true),
        Declare("", "16", true),  // a Declare record without its text is left out
    });
    model.FormDefinitions() = {Declare("Private Declare Sub Beep Lib \"k\" ()", "9", true, "F.frm")};
    FakeHost host;
    ReportBox box;
    reports::CreateAPIReport(model, box, host, kStamp);

    const std::string u1 = S(16, '_'), u2 = S(16, '_');
    const std::string heading1 = kCrLf + u1 + "\r\n\r\n/p/M.bas - P.vbp\r\n" + u1 + "\r\n\r\n";
    const std::string row1 = "\t14........" + S(200, 'a') + "\r\n\t" + S(10, ' ') + S(200, 'b') + "\r\n\t" +
                             S(10, ' ') + S(50, 'c') + kCrLf;
    const std::string heading2 = kCrLf + u2 + "\r\n\r\n/p/F.frm - P.vbp\r\n" + u2 + "\r\n\r\n";
    const std::string row2 = "\t9.........Private Declare Sub Beep Lib \"k\" ()\r\n";
    EXPECT_EQ(box.text, kApiHeader + heading1 + row1 + heading2 + row2);

    const std::int32_t h = CharCount(kApiHeader), h1 = CharCount(heading1), r1 = CharCount(row1),
                       h2 = CharCount(heading2), r2 = CharCount(row2);
    const std::vector<ReportFormatRun> runs = {
        {0, h, 0, true}, {h, h1, 0, true}, {h + h1, r1, 255, false}, {h + h1 + r1, h2, 0, true},
        {h + h1 + r1 + h2, r2, 0, false},
    };
    EXPECT_EQ(box.runs, runs);
}

TEST(ApiReport, ProjectWithoutDeclaresGivesTheHeaderAlone) {
    ProjectModel model;
    model.ModuleDefinitions() = {Def("x", "Long", "_None_", "2", false)};
    FakeHost host;
    ReportBox box;
    reports::CreateAPIReport(model, box, host, kStamp);
    EXPECT_EQ(box.text, kApiHeader);
    EXPECT_EQ(box.runs, (std::vector<ReportFormatRun>{{0, CharCount(kApiHeader), 0, true}}));
}

TEST(DefinitionReports, AllFourAndACancelledLoad) {
    ProjectModel model;
    model.ModuleDefinitions() = {Def("m", "Long", "_None_", "2", true), Declare("Declare Sub S Lib \"k\" ()", "3", true)};
    model.ClassDefinitions() = {Def("c", "Long", "_None_", "2", true)};
    FakeHost host;
    reports::DefinitionReports boxes;
    reports::CreateDefinitionReports(model, boxes, host, kStamp);
    EXPECT_NE(boxes.rtfModules.text.find("m   ..."), std::string::npos);
    EXPECT_EQ(boxes.rtfForms.text, kDefinitionHeader);
    EXPECT_NE(boxes.rtfClasses.text.find("c   ..."), std::string::npos);
    EXPECT_NE(boxes.rtfAPIs.text.find("\t3.........Declare Sub S"), std::string::npos);

    host.SetCancelRequested(true);
    reports::CreateDefinitionReports(model, boxes, host, kStamp);
    for (int tab = 2; tab <= 5; ++tab) EXPECT_TRUE(boxes.Box(tab)->text.empty()) << tab;
}

// Cancel during the reports of a load: the report it stops and every later one say that they are
// incomplete (a report not begun holds its header and that line); the earlier ones are whole.
TEST(DefinitionReports, ACancelMarksTheReportItStopsAndEveryLaterOne) {
    const std::string incomplete = "\r\n*** This report is incomplete: it was stopped by Cancel. ***\r\n";
    ProjectModel model;
    model.ModuleDefinitions() = {Def("m", "Long", "_None_", "2", true), Declare("Declare Sub S Lib \"k\" ()", "3", true)};
    model.FormDefinitions() = {Def("f", "Long", "_None_", "2", true)};
    model.FormDefinitions()[0].file = FileRecord("F.frm");
    model.ClassDefinitions() = InReportOrder({Def("c", "Long", "_None_", "2", true), Def("d", "Long", "_None_", "3", true)});
    for (clsDefinitions& d : model.ClassDefinitions()) d.file = FileRecord("C.cls");
    const struct {
        const char* cancelOn;  // the run-log line at which Cancel is pressed ("" never)
        bool modules, forms, classes;  // complete
    } rows[] = {
        {"", true, true, true},
        {"Formatting Definition Report for M.bas", false, false, false},
        {"Formatting Definition Report for C.cls", true, true, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.cancelOn);
        FakeHost host;
        host.cancelOnLog = r.cancelOn;
        reports::DefinitionReports boxes;
        const bool complete = reports::CreateDefinitionReports(model, boxes, host, kStamp);
        EXPECT_EQ(complete, r.classes);
        const auto ends = [&](const ReportBox& b) { return b.text.size() >= incomplete.size() &&
                                                           b.text.compare(b.text.size() - incomplete.size(), incomplete.size(), incomplete) == 0; };
        EXPECT_EQ(ends(boxes.rtfModules), !r.modules);
        EXPECT_EQ(ends(boxes.rtfForms), !r.forms);
        EXPECT_EQ(ends(boxes.rtfClasses), !r.classes);
        EXPECT_EQ(ends(boxes.rtfAPIs), !r.classes);
        if (r.forms) {
            EXPECT_NE(boxes.rtfForms.text.find("f   ..."), std::string::npos);
        }
        if (!r.modules) {
            EXPECT_EQ(boxes.rtfForms.text, kDefinitionHeader + incomplete);  // never begun
        }
        if (!r.classes && r.forms) {  // stopped after its first row
            EXPECT_NE(boxes.rtfClasses.text.find("c   ..."), std::string::npos);
            EXPECT_EQ(boxes.rtfClasses.text.find("d   ..."), std::string::npos);
        }
        if (!r.classes) {
            EXPECT_EQ(boxes.rtfAPIs.text, kApiHeader + incomplete);
            // The line that says so is red and bold.
            const ReportFormatRun last = boxes.rtfAPIs.runs.back();
            EXPECT_EQ(last, (ReportFormatRun{CharCount(kApiHeader), CharCount(incomplete), reports::kRunRed, true}));
        }
    }
}

TEST(ReportStamp, DateText) {
    const struct {
        int hour;
        const char* text;
    } cases[] = {{0, "Mar 07, 2024 - 12:05:09 am"}, {9, "Mar 07, 2024 - 09:05:09 am"},
                 {12, "Mar 07, 2024 - 12:05:09 pm"}, {23, "Mar 07, 2024 - 11:05:09 pm"}};
    for (const auto& c : cases) {
        std::tm t{};
        t.tm_year = 124;
        t.tm_mon = 2;
        t.tm_mday = 7;
        t.tm_hour = c.hour;
        t.tm_min = 5;
        t.tm_sec = 9;
        EXPECT_EQ(reports::ReportDateText(t), c.text);
    }
}

// The names of the red (unused) rows of a report, in report order.
std::vector<std::string> RedNames(const ReportBox& box) {
    std::vector<std::string> names;
    for (const ReportFormatRun& r : box.runs) {
        if (r.Color != reports::kRunRed || r.Bold) continue;
        const std::string row = box.text.substr(static_cast<std::size_t>(r.Start), static_cast<std::size_t>(r.Length));
        names.push_back(row.substr(0, row.find("   ")));
    }
    return names;
}

// A small project whose names are used in every way a statement can use them: the reports mark
// exactly the names that nothing uses.
TEST(DefinitionReports, RedRowsAreTheNamesNothingUses) {
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.file("P.vbp"), testsupport::CrLf({"Type=Exe", "Module=a; a.bas", "Module=b; b.bas",
                                                                  "Class=C; c.cls"}));
    testsupport::WriteBytes(dir.file("a.bas"), testsupport::CrLf({
        "Attribute VB_Name = \"a\"",
        "Private Const QS_MOUSE = &H6",                    // used by another declaration
        "Private Const QS_KEY = &H1",
        "Private Const QS_INPUT = (QS_MOUSE Or QS_KEY)",   // nothing uses it: red
        "Private mShadowed As Long",                       // only its locals' namesake is used: red
        "Private mInString As Long",                       // only in a string: red
        "Private mParam As Long",                          // only a parameter's namesake is used: red
        "Public gCount As Long",                           // used by the class
        "Private Declare Function GetTickCount Lib \"kernel32\" () As Long",
        "Private Declare Sub Sleep Lib \"kernel32\" (ByVal ms As Long)",  // red
        "Private Type PtType",
        "    X As Long",
        "    Y As Long",                                   // never after a dot: red
        "End Type",
        "Public Enum Kinds",
        "    [_First] = 0",
        "    Small",
        "    [_Count]",                                    // red
        "End Enum",
        "Public Sub Work(Optional ByVal k As Kinds = Small)",
        "    Dim cTransform As Object, okToLoad As Boolean, exporterGUID(15) As Byte",
        "    Dim d As Double:    d = (GetTickCount() - 1)",
        "    Dim pt As PtType, unused As Long",           // unused: red
        "    Dim mShadowed As Long",
        "    cTransform.ApplyTranslation 1, 2",
        "    If (okToLoad And QS_INPUT_READY) Then k = Kinds.[_First]",
        "    Debug.Print VarPtr(exporterGUID(0)); \"mInString\"",
        "    mShadowed = 1",
        "    With pt",
        "        .X = d",
        "    End With",
        "End Sub",
        "Private Sub Take(ByVal mParam As Long)",
        "    Debug.Print mParam",
        "End Sub",
    }));
    testsupport::WriteBytes(dir.file("b.bas"), testsupport::CrLf({
        "Attribute VB_Name = \"b\"",
        "Private fields As Collection",
        "Private Sub Fill()",
        "    fields.Add2",
        "End Sub",
    }));
    testsupport::WriteBytes(dir.file("c.cls"), testsupport::CrLf({
        "VERSION 1.0 CLASS", "BEGIN", "END", "Attribute VB_Name = \"C\"",
        "Public Function F() As Long",
        "    F = gCount",
        "End Function",
    }));
    FakeHost host;
    ToolState st;
    st.txtProject = dir.path() + "P.vbp";
    ASSERT_TRUE(engine::LoadProject(st, host, host, false));
    reports::DefinitionReports boxes;
    reports::CreateDefinitionReports(st.model, boxes, host, kStamp);
    EXPECT_EQ(RedNames(boxes.rtfModules),
              (std::vector<std::string>{"QS_INPUT", "mShadowed", "mInString", "mParam", "  Y", "  [_Count]", "unused"}));
    EXPECT_EQ(RedNames(boxes.rtfClasses), std::vector<std::string>{});
    // The API report: the unused declaration is red.
    std::vector<std::string> apiRed;
    for (const ReportFormatRun& r : boxes.rtfAPIs.runs)
        if (r.Color == reports::kRunRed) apiRed.push_back(boxes.rtfAPIs.text.substr(static_cast<std::size_t>(r.Start), 40));
    ASSERT_EQ(apiRed.size(), 1u);
    EXPECT_NE(apiRed[0].find("Declare Sub Sleep"), std::string::npos);
}

}  // namespace
