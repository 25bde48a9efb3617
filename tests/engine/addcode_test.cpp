#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

#include <map>

#include <tovcore/clsTovcore.h>

#include "engine/addcode.h"
#include "engine/commit.h"
#include "platform/text.h"
#include "tests/engine/rewrite_fixture.h"

using namespace engine;
using enginetest::ProjectFolder;
using enginetest::Session;
using testsupport::CrLf;
using testsupport::Lf;

namespace {

const std::string kPre = "PRE ~Procedure~ ~Sub~ ~ProcStart~ ~ProcEnd~ [~Module~|~form~|~CLASS~]";
const std::string kPost = "POST ~procedure~ ~ProcEnd~ ~ProcStart~";

std::string ModA() {
    return CrLf({"Attribute VB_Name = \"modA\"", "Option Explicit", "' header comment",
                 "Public Function GetName(ByVal a As Long, _", "        ByVal b As Long) As String", "    GetName = \"x\"",
                 "End Function", "", "' comment before the property", "Public Property Get Value() As Long",
                 "Attribute Value.VB_UserMemId = 0", "    Value = 1", "End Property", "Private Sub Helper()",
                 "    Dim i As Long", "End Sub", "", ""});
}

std::string FrmMain() {
    return CrLf({"VERSION 5.00", "Begin VB.Form frmMain", "End", "Attribute VB_Name = \"frmMain\"", "Option Explicit",
                 "Private Sub Form_Initialize()", "    x = 0", "End Sub", "Private Sub Form_Load()", "    x = 1",
                 "End Sub"});
}

std::string ModB() {
    return CrLf({"Attribute VB_Name = \"modB\"", "Public Sub Run()", "    Call GetName(1, 2)", "End Sub"});
}

// App.vbp: a start-up form, a module, a module in a sub-folder.
void WriteProject(const ProjectFolder& f, const std::string& typeLine = "Type=Exe") {
    f.Write("App.vbp", CrLf({typeLine, "Form=frmMain.frm", "Module=modA; modA.bas", "Module=modB; Sub\\modB.bas",
                             "Startup=\"frmMain\"", "Name=\"App\""}));
    f.Write("modA.bas", ModA());
    f.Write("frmMain.frm", FrmMain());
    f.Write("Sub/modB.bas", ModB());
    f.Snippet("PreCode", "Trace", kPre);
    f.Snippet("PostCode", "Trace", kPost);
}

const std::string kReference = DllReferenceLineFor(kDefaultWindowsSystemFolder);

void Select(Session& s, std::vector<std::string> pre, std::vector<std::string> post) {
    s.st.SelectedPreCode = std::move(pre);
    s.st.SelectedPostCode = std::move(post);
}

TEST(AddCode, InsertsAfterContinuedHeaderAndAttributesAndBeforeEnd) {
    ProjectFolder f;
    WriteProject(f);
    Session s(f, "App.vbp");
    ASSERT_TRUE(s.loaded);
    Select(s, {"Trace"}, {"Trace"});
    s.Check("App.vbp_modA.bas_Helper_Sub_13", false);  // an unchecked procedure is copied as it is
    cmdAddCode_Click(s.st, s.host, s.host.Files());

    EXPECT_EQ(s.host.LastBox(), "Code Processing Done");
    EXPECT_EQ(s.host.boxes.back().style, msgbox::kInformation);
    EXPECT_EQ(f.Read("modA.bas"),
              CrLf({"Attribute VB_Name = \"modA\"", "Option Explicit", "' header comment",
                    "Public Function GetName(ByVal a As Long, _", "        ByVal b As Long) As String",
                    "PRE GetName Function 1 ~ProcEnd~ [modA.bas||]", "    GetName = \"x\"", "POST GetName 2 ~ProcStart~",
                    "End Function", "", "' comment before the property", "Public Property Get Value() As Long",
                    "Attribute Value.VB_UserMemId = 0", "PRE Value Property 1 ~ProcEnd~ [modA.bas||]", "    Value = 1",
                    "POST Value 2 ~ProcStart~", "End Property", "Private Sub Helper()", "    Dim i As Long", "End Sub", "",
                    ""}));
    // In a form only ~Form~ is filled.
    EXPECT_EQ(f.Read("frmMain.frm"),
              CrLf({"VERSION 5.00", "Begin VB.Form frmMain", "End", "Attribute VB_Name = \"frmMain\"", "Option Explicit",
                    "Private Sub Form_Initialize()", "    InitTraceLog App",
                    "PRE Form_Initialize Sub 1 ~ProcEnd~ [|frmMain.frm|]", "    x = 0",
                    "POST Form_Initialize 2 ~ProcStart~", "End Sub", "Private Sub Form_Load()",
                    "PRE Form_Load Sub 1 ~ProcEnd~ [|frmMain.frm|]", "    x = 1", "POST Form_Load 2 ~ProcStart~",
                    "End Sub"}));
    EXPECT_EQ(f.Read("App.vbp"), CrLf({"Type=Exe", kReference, "Form=frmMain.frm", "Module=modA; modA.bas",
                                       "Module=modB; Sub\\modB.bas", "Startup=\"frmMain\"", "Name=\"App\""}));
    // The old versions are in Backup (a listed sub-folder mirrored), and no pending copy is left.
    EXPECT_EQ(f.Read("Backup/modA.bas"), ModA());
    EXPECT_EQ(f.Read("Backup/Sub/modB.bas"), ModB());
    EXPECT_EQ(f.Read("Backup/frmMain.frm"), FrmMain());
    EXPECT_EQ(f.Read("Backup/App.vbp").substr(0, 10), "Type=Exe\r\n");
    EXPECT_TRUE(f.FilesEndingIn(".qlt").empty());
    EXPECT_EQ(s.st.RunMode, 0);
    EXPECT_TRUE(s.st.UndoAvailable);
    EXPECT_EQ(s.host.saves, 1);
    EXPECT_EQ(s.host.reloads, 1);
    EXPECT_TRUE(s.st.model.Loaded);  // reloaded on the new files
}

TEST(AddCode, SnippetsJoinInListOrderWithNothingBetween) {
    ProjectFolder f;
    f.Snippet("PreCode", "A", "a line\r\n");
    f.Snippet("PreCode", "B", "b line");
    ToolState st;
    st.ApplicationDataFolderLocal = f.DataFolder();
    enginetest::FakeHost host;
    struct Case {
        std::vector<std::string> names;
        std::string text;
    } cases[] = {
        {{"A", "B"}, "a line\r\nb line"},
        {{"B", "A"}, "b linea line\r\n"},
    };
    for (const Case& c : cases) {
        st.SelectedPreCode = c.names;
        std::string text, why;
        ASSERT_TRUE(GetPreCodeText(st, host.Files(), text, why)) << why;
        EXPECT_EQ(text, c.text);
    }
}

// A snippet is the file it is listed from: files brought from Windows or written by hand have the
// extension (or the name) in another letter case. A snippet the user chose is never taken as
// nothing: a missing or unreadable one stops with its name, and no file is made for it.
TEST(AddCode, ASnippetIsReadFromItsOwnFileWhateverTheCaseOfItsNameAndAMissingOneStops) {
    ProjectFolder f;
    f.Snippet("PreCode", "A", "a line");
    f.Write("data/PreCode/Mine.precode", "mine");
    f.Write("data/PreCode/Twin.PRECODE", "upper");
    f.Write("data/PreCode/Twin.precode", "lower");
    f.Write("data/PreCode/twin.PreCode", "other name");
    f.Write("data/PreCode/Odd.PreCode/inside", "a folder of that name");
    ToolState st;
    st.ApplicationDataFolderLocal = f.DataFolder();
    enginetest::FakeHost host;
    struct Case {
        std::vector<std::string> names;
        const char* text;  // nullptr: refused
        const char* why;   // what the refusal names
    } cases[] = {
        {{"Mine"}, "mine", ""},
        {{"MINE", "A"}, "minea line", ""},
        {{"Twin"}, "upper", ""},  // its own name first, then byte order
        {{"twin"}, "other name", ""},
        {{"A", "Missing"}, nullptr, "\"Missing\" has no file"},
        {{"Odd"}, nullptr, "\"Odd\" cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names.back());
        st.SelectedPreCode = c.names;
        std::string text, why;
        const bool read = GetPreCodeText(st, host.Files(), text, why);
        EXPECT_EQ(read, c.text != nullptr) << why;
        if (c.text) {
            EXPECT_EQ(text, c.text);
        } else {
            EXPECT_NE(why.find(c.why), std::string::npos) << why;
        }
    }
    EXPECT_FALSE(f.Exists("data/PreCode/Missing.PreCode"));
    EXPECT_FALSE(f.Exists("data/PreCode/Mine.PreCode"));
}

TEST(AddCode, AMissingSnippetStopsTheRunBeforeAnythingIsWritten) {
    ProjectFolder f;
    WriteProject(f);
    Session s(f, "App.vbp");
    Select(s, {"Trace", "Gone"}, {"Trace"});
    const std::string before = f.Read("modA.bas");
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_EQ(f.Read("modA.bas"), before);
    EXPECT_TRUE(f.FilesEndingIn(".qlt").empty());
    EXPECT_FALSE(f.Exists("Backup"));
    EXPECT_FALSE(s.st.UndoAvailable);
    EXPECT_NE(s.host.LastBox().find("\"Gone\" has no file"), std::string::npos) << s.host.LastBox();
}

TEST(AddCode, ReferenceLineNamesTheSystemFolder) {
    EXPECT_EQ(DllReferenceLineFor("D:\\Win\\Sys\\"),
              "Reference=*\\G{51F6A938-EA06-44FF-8AEA-74A2A4BF8543}#5.0#0#D:\\Win\\Sys\\Tovcore.dll#Tv General Routines");
}

TEST(AddCode, OnlyPostCodeGivesAnEmptyLineAfterEachHeader) {
    ProjectFolder f;
    WriteProject(f);
    Session s(f, "App.vbp");
    Select(s, {}, {"Trace"});
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_EQ(f.Read("Sub/modB.bas"), CrLf({"Attribute VB_Name = \"modB\"", "Public Sub Run()", "", "    Call GetName(1, 2)",
                                           "POST Run 2 ~ProcStart~", "End Sub"}));
}

// Every line keeps its own ending; inserted text, its own line breaks included, takes the ending of
// the line it follows. A procedure pasted with other line ends is found like any other.
TEST(AddCode, InsertedLinesTakeTheEndingOfTheLineTheyFollow) {
    struct Case {
        const char* name;
        std::string source, want;
    } cases[] = {
        {"LF file", "Attribute VB_Name = \"modA\"\nSub A()\nEnd Sub\n",
         "Attribute VB_Name = \"modA\"\nSub A()\none\ntwo\n\nEnd Sub\n"},
        {"CR file", "Attribute VB_Name = \"modA\"\rSub A()\rEnd Sub\r",
         "Attribute VB_Name = \"modA\"\rSub A()\rone\rtwo\r\rEnd Sub\r"},
        {"CR LF file with a procedure pasted with LF",
         "Attribute VB_Name = \"modA\"\r\nSub A()\r\nEnd Sub\r\nSub B()\n    x = 1\nEnd Sub\nSub C()\r\nEnd Sub",
         "Attribute VB_Name = \"modA\"\r\nSub A()\r\none\r\ntwo\r\n\r\nEnd Sub\r\nSub B()\none\ntwo\n    x = 1\n\nEnd "
         "Sub\nSub C()\r\none\r\ntwo\r\n\r\nEnd Sub"},
        {"header ending otherwise than its body", "Attribute VB_Name = \"modA\"\nSub A()\r\n    x = 1\nEnd Sub\n",
         "Attribute VB_Name = \"modA\"\nSub A()\r\none\r\ntwo\r\n    x = 1\n\nEnd Sub\n"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" "Attribute VB_Name = \"modA\"\r\nSub A()\r\nEnd Sub\r\n",
         "\xEF\xBB\xBF" "Attribute VB_Name = \"modA\"\r\nSub A()\r\none\r\ntwo\r\n\r\nEnd Sub\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        WriteProject(f);
        f.Write("modA.bas", c.source);
        f.Snippet("PreCode", "Two", "one\r\ntwo");
        Session s(f, "App.vbp");
        Select(s, {"Two"}, {});
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        // No post code selected: its empty text is one empty line.
        EXPECT_EQ(f.Read("modA.bas"), c.want);
        UndoLastChange(s.st, s.host, s.host.Files());
        EXPECT_EQ(f.Read("modA.bas"), c.source);
    }
}

// A ".qlt" beside a file that this run did not write (left by another program, the user's notes, a
// FIFO) is never removed or taken: an unchecked file keeps it, and a checked file is left as it is,
// the closing message naming what stands in the way.
TEST(AddCode, UncheckedFilesAndOldPendingCopiesAreNotTouched) {
    struct Case {
        const char* name;
        std::function<void(const ProjectFolder&)> put;  // what stands at modA.bas.qlt
        const char* said;
    } cases[] = {
        {"an older pending copy", [](const ProjectFolder& f) { f.Write("modA.bas.qlt", "an older pending copy"); },
         "modA.bas: modA.bas.qlt, which Quillet did not write, stands where the rewritten copy goes; left as it is. "
         "Move or rename modA.bas.qlt to change it"},
        {"a FIFO", [](const ProjectFolder& f) { ASSERT_EQ(::mkfifo(f.path("modA.bas.qlt").c_str(), 0644), 0); },
         "modA.bas: modA.bas.qlt, which Quillet did not write, stands where the rewritten copy goes (it is a FIFO); "
         "left as it is"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        WriteProject(f);
        f.Write("Sub/modB.bas.qlt", "left by a cancelled run");
        c.put(f);
        Session s(f, "App.vbp");
        Select(s, {"Trace"}, {});
        s.Check("App.vbp_Sub\\modB.bas", false);
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        EXPECT_EQ(f.Read("Sub/modB.bas"), ModB());
        EXPECT_EQ(f.Read("Sub/modB.bas.qlt"), "left by a cancelled run");
        EXPECT_FALSE(f.Exists("Backup/Sub/modB.bas"));
        EXPECT_EQ(f.Read("modA.bas"), ModA());
        EXPECT_TRUE(f.Exists("modA.bas.qlt"));
        if (std::string(c.name) == "an older pending copy") {
            EXPECT_EQ(f.Read("modA.bas.qlt"), "an older pending copy");
        }
        EXPECT_NE(s.host.LastBox().find(c.said), std::string::npos) << s.host.LastBox();
    }
}

// A procedure ticked in a file whose own node is not ticked (the file then shows partly ticked)
// takes the code: the file is visited for its ticked procedures, and only for those.
TEST(AddCode, TickedProceduresTakeCodeWhateverTheirFileNodeShows) {
    ProjectFolder f;
    WriteProject(f);
    Session s(f, "App.vbp");
    ASSERT_TRUE(s.loaded);
    Select(s, {"Trace"}, {"Trace"});
    s.Check("App.vbp", false);  // everything unticked ...
    s.Check("App.vbp_modA.bas_GetName_Function_3", true);  // ... then one procedure of modA ticked
    s.Check("App.vbp_Sub\\modB.bas_Run_Sub_1", true);     // and one of modB
    s.CheckOnly("App.vbp_Sub\\modB.bas", true);           // whose file node is ticked too
    cmdAddCode_Click(s.st, s.host, s.host.Files());

    EXPECT_EQ(s.host.LastBox(), "Code Processing Done");
    EXPECT_EQ(f.Read("modA.bas"),
              CrLf({"Attribute VB_Name = \"modA\"", "Option Explicit", "' header comment",
                    "Public Function GetName(ByVal a As Long, _", "        ByVal b As Long) As String",
                    "PRE GetName Function 1 ~ProcEnd~ [modA.bas||]", "    GetName = \"x\"", "POST GetName 2 ~ProcStart~",
                    "End Function", "", "' comment before the property", "Public Property Get Value() As Long",
                    "Attribute Value.VB_UserMemId = 0", "    Value = 1", "End Property", "Private Sub Helper()",
                    "    Dim i As Long", "End Sub", "", ""}));
    EXPECT_EQ(f.Read("Sub/modB.bas"), CrLf({"Attribute VB_Name = \"modB\"", "Public Sub Run()",
                                            "PRE Run Sub 1 ~ProcEnd~ [Sub\\modB.bas||]", "    Call GetName(1, 2)",
                                            "POST Run 2 ~ProcStart~", "End Sub"}));
    // The form has no ticked procedure: it takes only the start-up call.
    EXPECT_EQ(f.Read("frmMain.frm"), platform::ReplaceAll(FrmMain(), "Form_Initialize()\r\n",
                                                          "Form_Initialize()\r\n    InitTraceLog App\r\n"));
    EXPECT_NE(f.Read("App.vbp").find(kReference), std::string::npos);
    EXPECT_EQ(f.Read("Backup/modA.bas"), ModA());
    EXPECT_TRUE(s.st.UndoAvailable);
}

// With no procedure ticked Add Code says so and changes nothing at all: no pending copy, no
// backup, no start-up call, no reference line. A ticked file node whose procedures are all unticked
// counts as nothing ticked, and so does a ticked trace module.
TEST(AddCode, NothingTickedChangesNothing) {
    const std::string trace = CrLf({"Attribute VB_Name = \"modTrace\"", "Public Sub TraceIt()", "End Sub"});
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, bool>> ticks;  // applied in order, each to the node's subtree
        std::vector<std::string> only;                     // then these nodes alone ticked
    } cases[] = {
        {"everything unticked", {{"App.vbp", false}}, {}},
        {"file nodes ticked, their procedures not",
         {{"App.vbp", false}},
         {"App.vbp", "App.vbp_Modules", "App.vbp_modA.bas", "App.vbp_frmMain.frm"}},
        {"only the trace module's procedure", {{"App.vbp", false}}, {"App.vbp_modTrace.bas_TraceIt_Sub_1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProjectFolder f;
        WriteProject(f);
        f.Write("App.vbp", CrLf({"Type=Exe", "Form=frmMain.frm", "Module=modA; modA.bas", "Module=modB; Sub\\modB.bas",
                                 "Module=modTrace; modTrace.bas", "Startup=\"frmMain\"", "Name=\"App\""}));
        f.Write("modTrace.bas", trace);
        const std::string vbp = f.Read("App.vbp");
        Session s(f, "App.vbp");
        ASSERT_TRUE(s.loaded);
        Select(s, {"Trace"}, {"Trace"});
        for (const auto& [key, on] : c.ticks) s.Check(key, on);
        for (const std::string& key : c.only) s.CheckOnly(key, true);
        cmdAddCode_Click(s.st, s.host, s.host.Files());

        EXPECT_EQ(s.host.LastBox(), "No (Module/Form/Class) items checked to add code to");
        EXPECT_EQ(s.host.boxes.size(), 1u);
        EXPECT_EQ(f.Read("App.vbp"), vbp);
        EXPECT_EQ(f.Read("modA.bas"), ModA());
        EXPECT_EQ(f.Read("frmMain.frm"), FrmMain());
        EXPECT_EQ(f.Read("Sub/modB.bas"), ModB());
        EXPECT_EQ(f.Read("modTrace.bas"), trace);
        EXPECT_FALSE(f.Exists("Backup"));
        EXPECT_TRUE(f.FilesEndingIn(".qlt").empty());
        EXPECT_FALSE(s.st.UndoAvailable);
        EXPECT_EQ(s.host.reloads, 0);
        EXPECT_EQ(s.host.saves, 0);
    }
}

TEST(AddCode, RefusesWithoutSnippetsProjectOrCompleteLoad) {
    ProjectFolder f;
    WriteProject(f);
    {
        Session s(f, "App.vbp");
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        EXPECT_EQ(s.host.LastBox(), "No Pre or Post Code Selected");
    }
    {
        ToolState st;
        enginetest::FakeHost host;
        st.SelectedPreCode = {"Trace"};
        cmdAddCode_Click(st, host, host.Files());
        EXPECT_EQ(host.LastBox(), "No (Module/Form/Class) items checked to add code to");
    }
    {
        Session s(f, "App.vbp");
        Select(s, {"Trace"}, {});
        s.st.model.Loaded = false;  // as a cancelled load leaves it
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        EXPECT_NE(s.host.LastBox().find("not completely loaded"), std::string::npos);
    }
    for (const std::string name : {"..\\Trace", "sub/Trace", "..", "a..b"}) {
        Session s(f, "App.vbp");
        Select(s, {name}, {});
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        EXPECT_NE(s.host.LastBox().find("is not a file name"), std::string::npos) << name;
    }
    EXPECT_EQ(f.Read("modA.bas"), ModA());
    EXPECT_FALSE(f.Exists("Backup"));
}

TEST(AddCode, ReportsFilesItLeftAlone) {
    ProjectFolder f;
    WriteProject(f);
    Session s(f, "App.vbp");
    Select(s, {"Trace"}, {});
    std::filesystem::permissions(f.path("Sub/modB.bas"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    f.Write("frmMain.frm", FrmMain() + "' edited after the load\r\n");
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(),
              "Code Processing Done\r\n"
              "Sub\\modB.bas: is read-only; left as it is\r\n"
              "frmMain.frm: has changed on disk since the project was loaded; left as it is (reload first)");
    EXPECT_EQ(f.Read("Sub/modB.bas"), ModB());
    EXPECT_EQ(f.Read("frmMain.frm"), FrmMain() + "' edited after the load\r\n");
    EXPECT_NE(f.Read("modA.bas"), ModA());
}

TEST(AddCode, CancelCommitsNothing) {
    ProjectFolder f;
    WriteProject(f);
    f.Write("modC.bas", ModB());
    f.Write("App.vbp", CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; Sub\\modB.bas", "Module=modC; modC.bas"}));
    Session s(f, "App.vbp");
    Select(s, {"Trace"}, {});
    // Cancel is pressed when the run turns to modB, after modA.
    s.host.cancelOnStatus = "Processing Module - Sub\\modB.bas";
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Code Processing Canceled");
    EXPECT_FALSE(s.host.cancel);
    // The pending copy of modA that the run wrote before the cancel is gone again.
    EXPECT_EQ(f.FilesEndingIn(".qlt"), std::vector<std::string>{});
    EXPECT_FALSE(f.Exists("Backup"));
    EXPECT_EQ(f.Read("modA.bas"), ModA());
    EXPECT_EQ(f.Read("App.vbp").find("Reference="), std::string::npos);
    EXPECT_FALSE(s.st.UndoAvailable);
}

TEST(AddCode, StartUpCallAndReferenceLine) {
    struct Case {
        const char* what;
        std::vector<std::string_view> vbp;
        std::vector<std::string_view> expected;
    } cases[] = {
        {"after the last type line, whatever its case",
         {"type=exe", "Form=frmMain.frm", "Type=Exe", "Module=modA; modA.bas", "Startup=\"frmMain\""},
         {"type=exe", "Form=frmMain.frm", "Type=Exe", kReference, "Module=modA; modA.bas", "Startup=\"frmMain\""}},
        {"after the first line without a type line",
         {"Form=frmMain.frm", "Module=modA; modA.bas", "Startup=\"frmMain\""},
         {"Form=frmMain.frm", kReference, "Module=modA; modA.bas", "Startup=\"frmMain\""}},
        {"a reference to the library at another path is kept",
         {"Type=Exe", "reference=*\\G{51f6a938-ea06-44ff-8aea-74a2a4bf8543}#5.0#0#D:\\Lib\\Tovcore.dll#Tv", "Form=frmMain.frm",
          "Module=modA; modA.bas", "Startup=\"frmMain\""},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProjectFolder f;
        WriteProject(f);
        std::string vbp;
        for (auto l : c.vbp) (vbp += l) += "\r\n";
        f.Write("App.vbp", vbp);
        Session s(f, "App.vbp");
        Select(s, {"Trace"}, {});
        for (int run = 0; run < 2; ++run) {
            s.Check("App.vbp_frmMain.frm", false);
            cmdAddCode_Click(s.st, s.host, s.host.Files());
        }
        std::string expected;
        for (auto l : c.expected) (expected += l) += "\r\n";
        EXPECT_EQ(f.Read("App.vbp"), c.expected.empty() ? vbp : expected);
        // Every run adds the call again, also to an unchecked start-up file.
        const std::string form = f.Read("frmMain.frm");
        EXPECT_NE(form.find("Private Sub Form_Initialize()\r\n    InitTraceLog App\r\n    InitTraceLog App\r\n    x = 0"),
                  std::string::npos);
    }
}

TEST(AddCode, SubMainStartUpAndHeadersThatDoNotMatch) {
    ProjectFolder f;
    f.Write("App.vbp", CrLf({"Type=Exe", "Module=modMain; modMain.bas", "Module=modB; modB.bas", "Startup=\"Sub Main\""}));
    f.Write("modB.bas", ModB());  // ticked, so that the run goes ahead
    const std::string text = CrLf({"Attribute VB_Name = \"modMain\"", "Sub Main()", "End Sub", "public sub main()",
                                   "Attribute Main.VB_Description = \"start\"", "End Sub"});
    f.Write("modMain.bas", text);
    f.Snippet("PreCode", "Trace", kPre);
    Session s(f, "App.vbp");
    Select(s, {"Trace"}, {});
    s.Check("App.vbp_modMain.bas", false);
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    // "Sub Main()" without Public is no start-up header; the call goes after the attribute line.
    EXPECT_EQ(f.Read("modMain.bas"), CrLf({"Attribute VB_Name = \"modMain\"", "Sub Main()", "End Sub", "public sub main()",
                                          "Attribute Main.VB_Description = \"start\"", "    InitTraceLog App", "End Sub"}));
}

// The start-up call goes only into a file the project lists: the form "Startup=" names, by its file
// name or its VB_Name, or the file that holds Sub Main; where there is none, or the file has no
// start-up header, the closing message says that no call was added.
TEST(AddCode, StartUpFileIsAListedFile) {
    const std::string form = CrLf({"VERSION 5.00", "Begin VB.Form F", "End", "Attribute VB_Name = \"frmStart\"",
                                   "Private Sub Form_Initialize()", "End Sub"});
    const std::string withCall = CrLf({"VERSION 5.00", "Begin VB.Form F", "End", "Attribute VB_Name = \"frmStart\"",
                                       "Private Sub Form_Initialize()", "    InitTraceLog App", "End Sub"});
    const std::string other = platform::ReplaceAll(form, "frmStart", "frmOther");
    struct Case {
        const char* name;
        std::vector<std::string_view> vbp;
        std::string message;                                // after "Code Processing Done"
        std::map<std::string, std::string> files, expected;  // relative name -> bytes
    } cases[] = {
        {"the form's file name", {"Form=Forms\\frmStart.frm", "Startup=\"frmStart\""}, "",
         {{"Forms/frmStart.frm", form}}, {{"Forms/frmStart.frm", withCall}}},
        {"the form's VB_Name", {"Form=Start.frm", "Startup=\"frmStart\""}, "", {{"Start.frm", form}},
         {{"Start.frm", withCall}}},
        {"a form the project does not list", {"Form=Other.frm", "Startup=\"frmStart\""},
         "App.vbp: no start-up call was added: its start-up form frmStart is not a form it lists",
         {{"Other.frm", other}, {"frmStart.frm", form}}, {{"Other.frm", other}, {"frmStart.frm", form}}},
        {"a start-up name that leads out of the project", {"Form=Other.frm", "Startup=\"..\\outside\\frmStart\""},
         "App.vbp: no start-up call was added: its start-up form ..\\outside\\frmStart is not a form it lists",
         {{"Other.frm", other}, {"../outside/frmStart.frm", form}},
         {{"Other.frm", other}, {"../outside/frmStart.frm", form}}},
        {"Sub Main that no file holds", {"Form=Start.frm", "Startup=\"Sub Main\""},
         "App.vbp: no start-up call was added: none of its files holds Sub Main", {{"Start.frm", form}},
         {{"Start.frm", form}}},
        {"no start-up object", {"Form=Start.frm", "Startup=\"(None)\""},
         "App.vbp: no start-up call was added: it has no start-up object", {{"Start.frm", form}}, {{"Start.frm", form}}},
        {"a start-up form without Form_Initialize", {"Form=Start.frm", "Startup=\"frmStart\""},
         "Start.frm: no start-up call was added: it has no \"Private Sub Form_Initialize()\" or \"Public Sub Main()\" line",
         {{"Start.frm", CrLf({"Attribute VB_Name = \"frmStart\"", "Private Sub Form_Load()", "End Sub"})}},
         {{"Start.frm", CrLf({"Attribute VB_Name = \"frmStart\"", "Private Sub Form_Load()", "End Sub"})}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFolder f;
        std::string vbp = "Type=Exe\r\nModule=modB; modB.bas\r\n";  // modB stays ticked, so that the run goes ahead
        for (auto l : c.vbp) (vbp += l) += "\r\n";
        f.Write("App/App.vbp", vbp);
        f.Write("App/modB.bas", ModB());
        for (const auto& [name, bytes] : c.files) f.Write("App/" + name, bytes);
        f.Snippet("PreCode", "Trace", kPre);
        Session s(f, "App/App.vbp");
        ASSERT_TRUE(s.loaded);
        Select(s, {"Trace"}, {});
        for (const auto& [name, bytes] : c.files) {
            const std::string key = "App.vbp_" + platform::ReplaceAll(name, "/", "\\");
            if (s.st.treProject.Contains(key)) s.Check(key, false);
        }
        cmdAddCode_Click(s.st, s.host, s.host.Files());
        EXPECT_EQ(s.host.LastBox(), "Code Processing Done" + (c.message.empty() ? "" : "\r\n" + c.message));
        for (const auto& [name, bytes] : c.expected) EXPECT_EQ(f.Read("App/" + name), bytes) << name;
    }
}

// Alternative headers under conditional compilation are one procedure: its pre code goes after the
// "#End If" that closes the headers' block, so every branch runs it. A directive block inside a
// body, and a whole procedure inside one, leave the pre code right after the header.
TEST(AddCode, AlternativeHeadersGetThePreCodeAfterTheirEndIf) {
    ProjectFolder f;
    f.Write("App.vbp", CrLf({"Type=Exe", "Module=modP; modP.bas"}));
    f.Write("modP.bas", CrLf({"Attribute VB_Name = \"modP\"", "#If EnableSecurity Then",
                              "Public Function Apply_Patch(ByRef a As String, ByVal CheckSum As String) As Boolean",
                              "On Error GoTo ErrHandler", "#Else", "Public Function Apply_Patch(ByRef a As String) As Boolean",
                              "On Error GoTo ErrHandler", "#End If", "    Apply_Patch = True", "End Function", "Sub Inner()",
                              "  #If DEBUG Then", "    x = 1", "  #Else", "    x = 2", "  #End If", "End Sub", "#If A Then",
                              "Sub Whole()", "    y = 1", "End Sub", "#End If"}));
    f.Snippet("PreCode", "P", "PRE ~Procedure~");
    f.Snippet("PostCode", "P", "POST ~Procedure~");
    Session s(f, "App.vbp");
    ASSERT_TRUE(s.loaded);
    const ProcedureList* procs = s.st.model.ModuleProcedures().Find("App.vbp_modP.bas");
    ASSERT_NE(procs, nullptr);
    ASSERT_EQ(procs->size(), 3u);  // Apply_Patch once
    Select(s, {"P"}, {"P"});
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Code Processing Done\r\nApp.vbp: no start-up call was added: it names no start-up object");
    EXPECT_EQ(f.Read("modP.bas"),
              CrLf({"Attribute VB_Name = \"modP\"", "#If EnableSecurity Then",
                    "Public Function Apply_Patch(ByRef a As String, ByVal CheckSum As String) As Boolean",
                    "On Error GoTo ErrHandler", "#Else", "Public Function Apply_Patch(ByRef a As String) As Boolean",
                    "On Error GoTo ErrHandler", "#End If", "PRE Apply_Patch", "    Apply_Patch = True",
                    "POST Apply_Patch", "End Function", "Sub Inner()", "PRE Inner", "  #If DEBUG Then", "    x = 1",
                    "  #Else", "    x = 2", "  #End If", "POST Inner", "End Sub", "#If A Then", "Sub Whole()",
                    "PRE Whole", "    y = 1", "POST Whole", "End Sub", "#End If"}));
}

// A group: the start-up call goes into the start-up project's file; the reference into each member
// whose files changed; two files of one name get distinct backups.
TEST(AddCode, GroupMembersGetTheReferenceOnlyWhereFilesChanged) {
    ProjectFolder f;
    f.Write("P1/P1.vbp", CrLf({"Type=Exe", "Form=frmMain.frm", "Startup=\"frmMain\""}));
    f.Write("P1/frmMain.frm", FrmMain());
    f.Write("P2/P2.vbp", CrLf({"Type=Exe", "Module=modX; modX.bas"}));
    f.Write("P2/modX.bas", ModB());
    f.Write("P3/P3.vbp", CrLf({"Type=Exe", "Module=modX; modX.bas", "Module=modY; modY.bas"}));
    f.Write("P3/modX.bas", ModB() + "' three\r\n");
    f.Write("P3/modY.bas", ModB());
    f.Write("P4/P4.vbp", CrLf({"Type=Exe", "Module=modZ; modZ.bas"}));
    f.Write("P4/modZ.bas", ModB());
    f.Write("All.vbg", CrLf({"VBGROUP 5.0", "StartupProject=P1\\P1.vbp", "Project=P2\\P2.vbp", "Project=P3\\P3.vbp",
                             "Project=P4\\P4.vbp"}));
    f.Snippet("PreCode", "Trace", kPre);
    const std::string group = f.Read("All.vbg");
    Session s(f, "All.vbg");
    ASSERT_TRUE(s.loaded);
    Select(s, {"Trace"}, {});
    s.Check("P1.vbp_frmMain.frm", false);
    s.Check("P3.vbp_modY.bas", false);
    s.Check("P4.vbp_modZ.bas", false);
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Code Processing Done");
    EXPECT_EQ(f.Read("All.vbg"), group);
    for (const char* changed : {"P1/P1.vbp", "P2/P2.vbp", "P3/P3.vbp"})
        EXPECT_NE(f.Read(changed).find(kReference), std::string::npos) << changed;
    EXPECT_EQ(f.Read("P4/P4.vbp").find("Reference="), std::string::npos);
    EXPECT_NE(f.Read("P1/frmMain.frm").find("    InitTraceLog App"), std::string::npos);
    EXPECT_EQ(f.Read("Backup/P2/modX.bas"), ModB());
    EXPECT_EQ(f.Read("Backup/P3/modX.bas"), ModB() + "' three\r\n");
    EXPECT_EQ(f.Read("Backup/All.vbg"), group);
    EXPECT_EQ(f.Read("P3/modY.bas"), ModB());
}

// Two members list one module: the module is rewritten once, and each member gets the reference
// line (once, also on a second run), since each now holds trace calls; undo takes each back.
// P1, the group's start-up project, names no start-up object.
const std::string kDoneWithoutStartUp = "Code Processing Done\r\nP1.vbp: no start-up call was added: it names no start-up object";

TEST(AddCode, MembersSharingAModuleEachGetTheReference) {
    ProjectFolder f;
    const std::string p1 = CrLf({"Type=Exe", "Module=MDebug; ..\\LocalModule\\Debug.bas", "Module=modA; modA.bas"});
    const std::string p2 = CrLf({"Type=Exe", "Module=MDebug; ..\\localmodule\\debug.bas"});
    const std::string debug = CrLf({"Attribute VB_Name = \"MDebug\"", "Public Sub Dump()", "    x = 1", "End Sub"});
    f.Write("P1/P1.vbp", p1);
    f.Write("P1/modA.bas", ModB());
    f.Write("P2/P2.vbp", p2);
    f.Write("LocalModule/Debug.bas", debug);
    f.Write("All.vbg", CrLf({"VBGROUP 5.0", "StartupProject=P1\\P1.vbp", "Project=P2\\P2.vbp"}));
    f.Snippet("PreCode", "P", "PRE ~Procedure~");
    Session s(f, "All.vbg");
    ASSERT_TRUE(s.loaded);
    Select(s, {"P"}, {});
    s.Check("P1.vbp_modA.bas", false);  // only the shared module changes
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), kDoneWithoutStartUp);
    const std::string once = CrLf({"Attribute VB_Name = \"MDebug\"", "Public Sub Dump()", "PRE Dump", "    x = 1", "", "End Sub"});
    EXPECT_EQ(f.Read("LocalModule/Debug.bas"), once);
    EXPECT_EQ(f.Read("P1/P1.vbp"), CrLf({"Type=Exe", kReference, "Module=MDebug; ..\\LocalModule\\Debug.bas",
                                         "Module=modA; modA.bas"}));
    EXPECT_EQ(f.Read("P2/P2.vbp"), CrLf({"Type=Exe", kReference, "Module=MDebug; ..\\localmodule\\debug.bas"}));

    UndoLastChange(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), "Last Changes Undone");
    EXPECT_EQ(f.Read("P1/P1.vbp"), p1);
    EXPECT_EQ(f.Read("P2/P2.vbp"), p2);
    EXPECT_EQ(f.Read("LocalModule/Debug.bas"), debug);

    // Two runs: the module gets the snippet twice, each member the reference once.
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    cmdAddCode_Click(s.st, s.host, s.host.Files());
    EXPECT_EQ(s.host.LastBox(), kDoneWithoutStartUp);
    for (const char* member : {"P1/P1.vbp", "P2/P2.vbp"}) {
        const std::string text = f.Read(member);
        EXPECT_EQ(text.find(kReference), text.rfind(kReference)) << member;
        EXPECT_NE(text.find(kReference), std::string::npos) << member;
    }
}

// Old snippets in an INI file are read through the host; the tool window's host forwards to the
// library's INI engine, as this one does.
class IniHost : public enginetest::FakeHost {
public:
    bool GetIniSection(const std::string& Section, std::string& iniStr, const std::string& IniFile) override {
        return tovcore::Global().GetIniSection(Section, iniStr, IniFile);
    }
};

TEST(AddCode, OldSnippetsFromIniSections) {
    ProjectFolder f;
    f.Write("old.ini", CrLf({"[PreCode]", "CodeType1=Trace", "[Trace PreCode]", "    WriteTraceLog \"~Procedure~\", 1  ",
                             "    x = 1", "[Trace PostCode]", "[Other]", "a=1"}));
    IniHost host;
    EXPECT_EQ(GetIniPreCode(host, "Trace", f.path("old.ini")), "    WriteTraceLog \"~Procedure~\", 1  \r\n    x = 1");
    EXPECT_EQ(GetIniPostCode(host, "Trace", f.path("old.ini")), "");
    EXPECT_EQ(GetIniPreCode(host, "Missing", f.path("old.ini")), "");
}

}  // namespace
