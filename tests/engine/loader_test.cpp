#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/generator.h"
#include "engine/loader.h"
#include "engine/source.h"
#include "platform/fileio.h"
#include "tests/engine/fake_host.h"
#include "tests/support/testsupport.h"

using namespace engine;
using enginetest::FakeHost;
using testsupport::CrLf;
using testsupport::Lf;
using testsupport::WriteBytes;

namespace {

std::string Module(const std::string& name, const std::string& proc) {
    return CrLf({"Attribute VB_Name = \"" + name + "\"", "Option Explicit", "Private Sub " + proc + "()",
                 "    x = 1", "End Sub"});
}

std::string Form(const std::string& name, const std::string& proc) {
    return CrLf({"VERSION 5.00", "Begin VB.Form " + name, "End", "Attribute VB_Name = \"" + name + "\"",
                 "Private Sub " + proc + "()", "End Sub"});
}

std::vector<std::string> ChildTexts(const Tree& t, NodeId id) {
    std::vector<std::string> out;
    for (NodeId c : t.Children(id)) out.push_back(t.Node(c).text);
    return out;
}

struct Loaded {
    FakeHost host;
    ToolState st;
    bool loaded = false;
    explicit Loaded(const std::string& path) {
        st.txtProject = path;
        host.state = &st;
        loaded = LoadProject(st, host, host, false);
    }
    const Tree& tree() const { return st.treProject; }
    const TreeNode& node(const std::string& key) const {
        const NodeId id = st.treProject.Find(key);
        EXPECT_NE(id, kNoNode) << key;
        return st.treProject.Node(id == kNoNode ? 0 : id);
    }
};

TEST(Loader, SingleProjectTreeRecordsAndStartUp) {
    testsupport::TempDir dir;
    WriteBytes(dir.file("App.vbp"), CrLf({"Type=Exe", "module=modA; modA.bas", "Startup=\"frmMain\"", "Form=frmMain.frm",
                                          "FORM=frmOther.frm", "Class=clsX; clsX.cls", "Reference=*\\G{x}#1.0#0#a.dll#A"}));
    WriteBytes(dir.file("modA.bas"), Module("modA", "Alpha"));
    WriteBytes(dir.file("frmMain.frm"), Form("frmMain", "Form_Load"));
    WriteBytes(dir.file("frmOther.frm"), Form("frmOther", "Form_Click"));
    WriteBytes(dir.file("clsX.cls"), CrLf({"VERSION 1.0 CLASS", "BEGIN", "END", "Attribute VB_Name = \"clsX\"",
                                           "Public Function Get1() As Long", "End Function"}));
    Loaded l(dir.path() + "App.vbp");
    ASSERT_TRUE(l.loaded);
    EXPECT_TRUE(l.st.model.Loaded);
    EXPECT_TRUE(l.tree().visible);
    const NodeId root = l.st.ProjectNodes.at(0);
    EXPECT_EQ(l.tree().Node(root).key, "App.vbp");
    EXPECT_TRUE(l.tree().Node(root).expanded);
    EXPECT_TRUE(l.tree().Node(root).checked);
    EXPECT_EQ(ChildTexts(l.tree(), root), (std::vector<std::string>{"Classes", "Forms", "Modules"}));
    EXPECT_EQ(l.node("App.vbp_Modules").image, "module");
    EXPECT_EQ(ChildTexts(l.tree(), l.st.FormFolderNodes().at(0)), (std::vector<std::string>{"frmMain.frm", "frmOther.frm"}));
    EXPECT_TRUE(l.node("App.vbp_modA.bas").checked);
    EXPECT_TRUE(l.tree().Contains("App.vbp_modA.bas_Alpha_Sub_2"));
    EXPECT_EQ(l.st.FileNodes.size(), 4u);

    const ProjectModel& m = l.st.model;
    ASSERT_EQ(m.ModuleFiles().size(), 1u);
    ASSERT_EQ(m.FormFiles().size(), 2u);
    ASSERT_EQ(m.ClassFiles().size(), 1u);
    EXPECT_EQ(m.ModuleFiles()[0].fFilename, "modA.bas");
    EXPECT_EQ(m.ModuleFiles()[0].fKey, "App.vbp_modA.bas");
    EXPECT_EQ(m.ModuleFiles()[0].fProject, "App.vbp");
    EXPECT_EQ(m.ModuleFiles()[0].fAppFldr, dir.path());
    EXPECT_EQ(m.StartupObject, "frmMain.frm");
    EXPECT_EQ(m.StartupFile, "frmMain.frm");
    EXPECT_TRUE(m.FormFiles()[0].fStartUpProc);  // the Startup= line came before its Form= line
    EXPECT_FALSE(m.FormFiles()[1].fStartUpProc);
    EXPECT_EQ(m.ModuleProcedures().Find("app.vbp_MODA.BAS")->size(), 1u);
    EXPECT_EQ(m.BackupFolder, dir.path() + "Backup/");
    EXPECT_EQ(l.st.ProjectFolder, dir.path());
    EXPECT_EQ(l.st.ProjectFileTitle, "App.vbp");
}

// The run log says once for each kind of file that its private names are checked; the status
// panel names the file being checked, but not more often than every tenth of a second, so a
// project of many files is not slowed down by its status lines.
TEST(Loader, CheckingDefinitionsIsLoggedOncePerKindAndShownRationed) {
    testsupport::TempDir dir;
    WriteBytes(dir.file("App.vbp"), CrLf({"Type=Exe", "Module=modA; modA.bas", "Form=frmMain.frm", "Module=modB; modB.bas",
                                          "Module=modC; modC.bas"}));
    WriteBytes(dir.file("modA.bas"), Module("modA", "Alpha"));
    WriteBytes(dir.file("modB.bas"), Module("modB", "Beta"));
    WriteBytes(dir.file("modC.bas"), Module("modC", "Gamma"));
    WriteBytes(dir.file("frmMain.frm"), Form("frmMain", "Form_Load"));
    const auto count = [](const std::vector<std::string>& lines, const std::string& text) {
        return std::count(lines.begin(), lines.end(), text);
    };
    struct Case {
        double clockStep;
        std::vector<std::string> shown;  // the "Checking Definitions for" lines on the status panel
    } cases[] = {
        {0.0, {"Checking Definitions for modA.bas"}},  // the clock stands still: the first line only
        {1.0, {"Checking Definitions for modA.bas", "Checking Definitions for frmMain.frm",
               "Checking Definitions for modB.bas", "Checking Definitions for modC.bas"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clockStep);
        FakeHost host;
        host.clockStep = c.clockStep;
        ToolState st;
        st.txtProject = dir.path() + "App.vbp";
        ASSERT_TRUE(LoadProject(st, host, host, false));
        std::vector<std::string> shown;
        for (const std::string& line : host.status)
            if (line.rfind("Checking Definitions for ", 0) == 0) shown.push_back(line);
        EXPECT_EQ(shown, c.shown);
        // Modules and forms: one line each, before the first file of the kind is checked.
        EXPECT_EQ(count(host.runLog, "Checking for Module Private Definition Usage"), 2);
        const auto first = std::find(host.runLog.begin(), host.runLog.end(), "Checking for Module Private Definition Usage");
        const auto scanned = std::find(host.runLog.begin(), host.runLog.end(), "Scanning modA.bas");
        EXPECT_LT(scanned, first);
        EXPECT_EQ(count(host.runLog, "Checking Definitions for modA.bas"), 0);  // the status line is not logged
    }
}

TEST(Loader, LfFilesOtherLetterCaseMissingDataOnlyAndAbsoluteNames) {
    testsupport::TempDir dir;
    const std::string sub = dir.path() + "proj/";
    WriteBytes(sub + "App.vbp", Lf({"Type=Exe", "Module=A; MODULES\\MODA.BAS", "Module=D; Data.bas",
                                    "Module=M; Missing.bas", "Module=W; C:\\Work\\w.bas", "Module=U; ..\\Up\\u.bas"}));
    WriteBytes(sub + "Modules/modA.bas", Lf({"Attribute VB_Name = \"A\"", "Sub One()", "End Sub"}));
    WriteBytes(sub + "Data.bas", CrLf({"Attribute VB_Name = \"D\"", "Public Const K = 1"}));
    WriteBytes(dir.path() + "Up/U.BAS", CrLf({"Attribute VB_Name = \"U\"", "Sub Two()", "End Sub"}));
    Loaded l(sub + "App.vbp");
    ASSERT_TRUE(l.loaded);
    const ProjectModel& m = l.st.model;
    ASSERT_EQ(m.ModuleFiles().size(), 5u);
    // Listed names are kept; the disk is reached through the names found there.
    EXPECT_EQ(m.ModuleFiles()[0].fFilename, "MODULES\\MODA.BAS");
    EXPECT_EQ(m.ModuleFiles()[0].fPath, sub + "Modules/modA.bas");
    EXPECT_TRUE(l.tree().Contains("App.vbp_MODULES\\MODA.BAS_One_Sub_1"));
    const ProcedureList* a = m.ModuleProcedures().Find("App.vbp_MODULES\\MODA.BAS");
    ASSERT_TRUE(a);
    ASSERT_EQ(a->size(), 1u);
    EXPECT_EQ((*a)[0].pFuncLineEnd, 2);
    // Data only.
    EXPECT_TRUE(m.ModuleFiles()[1].FDataOnly);
    EXPECT_FALSE(m.ModuleProcedures().Contains("App.vbp_Data.bas"));
    EXPECT_EQ(l.node("App.vbp_Data.bas").text, "Data.bas (Data Only)");
    EXPECT_FALSE(l.node("App.vbp_Data.bas").checked);
    // Missing, and absolute: red, bold, unchecked, an empty list, folder and project expanded.
    for (const char* key : {"App.vbp_Missing.bas", "App.vbp_C:\\Work\\w.bas"}) {
        const TreeNode& n = l.node(key);
        EXPECT_EQ(n.backColor, kColorRed) << key;
        EXPECT_TRUE(n.bold) << key;
        EXPECT_FALSE(n.checked) << key;
        ASSERT_TRUE(m.ModuleProcedures().Find(key)) << key;
        EXPECT_TRUE(m.ModuleProcedures().Find(key)->empty()) << key;
    }
    EXPECT_TRUE(l.node("App.vbp_Modules").expanded);
    // "..": the lexical parent, any letter case.
    EXPECT_TRUE(m.ModuleFiles()[4].fExists);
    EXPECT_EQ(m.ModuleProcedures().Find("App.vbp_..\\Up\\u.bas")->size(), 1u);
}

TEST(Loader, GroupWithAMemberInASubFolder) {
    testsupport::TempDir dir;
    WriteBytes(dir.file("All.vbg"), CrLf({"VBGROUP 5.0", "StartupProject=Main\\Main.vbp", "Project=lib\\Sub\\Lib.vbp"}));
    WriteBytes(dir.file("Main/Main.vbp"), CrLf({"Type=Exe", "Module=m; modMain.bas", "Startup=\"Sub Main\""}));
    WriteBytes(dir.file("Main/modMain.bas"),
               CrLf({"Attribute VB_Name = \"m\"", "Private mCount As Long", "Public Sub Main()", "  mCount = 1",
                     "End Sub"}));
    WriteBytes(dir.file("Lib/Sub/Lib.vbp"), CrLf({"Type=OleDll", "Module=u; modUtil.bas", "Class=c; clsA.cls"}));
    WriteBytes(dir.file("Lib/Sub/modUtil.bas"),
               CrLf({"Attribute VB_Name = \"u\"", "Private mUsed As Long", "Sub Helper()", "  mUsed = 2", "End Sub"}));
    WriteBytes(dir.file("Lib/Sub/clsA.cls"), CrLf({"VERSION 1.0 CLASS", "BEGIN", "END", "Attribute VB_Name = \"c\"",
                                                   "Public Sub Go()", "End Sub"}));
    Loaded l(dir.path() + "All.vbg");
    ASSERT_TRUE(l.loaded);
    const NodeId root = l.st.ProjectNodes.at(0);
    EXPECT_EQ(ChildTexts(l.tree(), root), (std::vector<std::string>{"Lib.vbp", "Main.vbp"}));
    ASSERT_EQ(l.st.ProjectNodes.size(), 3u);
    EXPECT_EQ(l.tree().Node(l.st.ProjectNodes[2]).key, "Lib.vbp");
    EXPECT_FALSE(l.tree().Node(l.st.ProjectNodes[2]).expanded);
    EXPECT_EQ(l.st.ModuleFolderNodes().size(), 3u);
    EXPECT_EQ(l.tree().Node(l.st.ModuleFolderNodes()[2]).key, "Lib.vbp_Modules");
    const ProjectModel& m = l.st.model;
    // The file lists hold the files of every member, in group order.
    ASSERT_EQ(m.ModuleFiles().size(), 2u);
    EXPECT_EQ(m.ModuleFiles()[0].fKey, "Main.vbp_modMain.bas");
    EXPECT_EQ(m.ModuleFiles()[1].fKey, "Lib.vbp_modUtil.bas");
    EXPECT_EQ(m.ModuleFiles()[1].fAppFldr, dir.path() + "Lib/Sub/");
    EXPECT_EQ(m.ClassFiles().size(), 1u);
    EXPECT_EQ(m.StartupObject, "Sub Main");
    EXPECT_EQ(m.StartupFile, "modMain.bas");
    EXPECT_EQ(m.StartupFileFolder, dir.path() + "Main/");
    ASSERT_EQ(m.Projects.size(), 2u);
    EXPECT_TRUE(m.Projects[0].startupProject);
    EXPECT_EQ(m.Projects[1].subFolder, "lib\\Sub\\");
    EXPECT_EQ(l.st.ProjectSubFolder, "lib\\Sub\\");
    // The module-private check read each file from its own folder.
    for (const auto& d : m.ModuleDefinitions()) EXPECT_TRUE(d.Used) << d.Variable;
    ASSERT_EQ(m.ModuleDefinitions().size(), 2u);
    for (const auto& p : *m.ModuleProcedures().Find("Lib.vbp_modUtil.bas")) EXPECT_EQ(p.pAppFldr(), dir.path());
}

TEST(Loader, StartUpFormInASubFolderOfItsOwnProject) {
    testsupport::TempDir dir;
    WriteBytes(dir.file("G.vbg"), CrLf({"VBGROUP 5.0", "StartupProject=A\\A.vbp", "Project=B\\B.vbp"}));
    WriteBytes(dir.file("A/A.vbp"), CrLf({"Type=Exe", "Form=Forms\\frmMain.frm", "Startup=\"frmMain\""}));
    WriteBytes(dir.file("A/Forms/frmMain.frm"), Form("frmMain", "Form_Load"));
    WriteBytes(dir.file("B/B.vbp"), CrLf({"Type=OleDll", "Form=frmMain.frm"}));
    WriteBytes(dir.file("B/frmMain.frm"), Form("frmMain", "Form_Load"));
    Loaded l(dir.path() + "G.vbg");
    ASSERT_TRUE(l.loaded);
    EXPECT_EQ(l.st.model.StartupObject, "frmMain.frm");
    EXPECT_EQ(l.st.model.StartupFile, "Forms\\frmMain.frm");
    EXPECT_EQ(l.st.model.StartupFileFolder, dir.path() + "A/");
    EXPECT_FALSE(l.st.model.FormFiles()[0].fStartUpProc);  // its Form= line came before the Startup= line
    EXPECT_TRUE(l.st.model.FormFiles()[1].fStartUpProc);   // the name part matches StartupObject
}

// A UTF-8 byte-order mark is not read as text: the group's first member, the project's first
// file and the module's attribute header are found behind it; lines may end in CR, LF or CR LF.
TEST(Loader, ByteOrderMarksAndEveryLineEnd) {
    testsupport::TempDir dir;
    const std::string bom = "\xEF\xBB\xBF";
    WriteBytes(dir.file("G.vbg"), bom + "StartupProject=Sub\\A.vbp\r\n");
    WriteBytes(dir.file("Sub/A.vbp"), bom + "Module=modA; modA.bas\rModule=modB; modB.bas\nType=Exe\r\n");
    WriteBytes(dir.file("Sub/modA.bas"), bom + "Attribute VB_Name = \"modA\"\r\nSub One()\nEnd Sub\rSub Two()\r\nEnd Sub");
    WriteBytes(dir.file("Sub/modB.bas"), Module("modB", "Three"));
    Loaded l(dir.path() + "G.vbg");
    ASSERT_TRUE(l.loaded);
    ASSERT_EQ(l.st.model.ModuleFiles().size(), 2u);
    EXPECT_EQ(l.st.model.ModuleFiles()[0].fFilename, "modA.bas");
    EXPECT_TRUE(l.tree().Contains("A.vbp_modA.bas_One_Sub_1"));
    EXPECT_TRUE(l.tree().Contains("A.vbp_modA.bas_Two_Sub_3"));
    EXPECT_EQ(l.tree().Node(l.tree().Find("A.vbp_modA.bas_One_Sub_1")).openLine, 1);
}

TEST(Loader, MissingMemberProjectIsLoggedAndTheLoadGoesOn) {
    testsupport::TempDir dir;
    WriteBytes(dir.file("G.vbg"), CrLf({"VBGROUP 5.0", "Project=Gone\\Gone.vbp", "Project=A.vbp"}));
    WriteBytes(dir.file("A.vbp"), CrLf({"Module=a; a.bas"}));
    WriteBytes(dir.file("a.bas"), Module("a", "One"));
    Loaded l(dir.path() + "G.vbg");
    ASSERT_TRUE(l.loaded);
    ASSERT_EQ(l.host.errorLog.size(), 1u);
    EXPECT_EQ(l.host.errorLog[0], "Invalid folder structure or file does not exist - " + dir.path() + "Gone/Gone.vbp");
    EXPECT_TRUE(l.tree().Contains("Gone.vbp_Modules"));
    EXPECT_EQ(l.st.model.ModuleFiles().size(), 1u);
    EXPECT_TRUE(l.host.boxes.empty());
}

TEST(Loader, UnexpectedErrorsAbandonTheLoadAndTheProgramGoesOn) {
    struct Case {
        const char* name;
        const char* project;  // file to load, relative
        std::vector<std::pair<const char*, std::string>> files;
        std::string message;
        std::function<void(const std::string& folder)> setup = {};
    };
    const std::string utf16Module("\xFF\xFE" "A\0t\0t\0r\0", 10);
    const Case cases[] = {
        {"project twice", "G.vbg",
         {{"G.vbg", CrLf({"VBGROUP 5.0", "Project=A.vbp", "Project=.\\a.VBP"})}, {"A.vbp", CrLf({"Type=Exe"})}},
         "lists the project a.VBP twice"},
        // Two projects of one name in different folders (a real group lists two Editawy.vbp).
        {"two projects of one name", "G.vbg",
         {{"G.vbg", CrLf({"VBGROUP 5.0", "Project=A.vbp", "Project=sub\\a.VBP"})}, {"A.vbp", CrLf({"Type=Exe"})}},
         "The group G.vbg lists two different projects named a.VBP (A.vbp and sub\\a.VBP)"},
        {"file twice", "A.vbp",
         {{"A.vbp", CrLf({"Module=a; a.bas", "Module=b; A.BAS"})}, {"a.bas", Module("a", "One")}},
         "lists the file A.BAS twice"},
        {"unknown extension", "A.txt", {{"A.txt", CrLf({"Module=a; a.bas"})}}, "Not a Visual Basic project"},
        {"group without members", "G.vbg", {{"G.vbg", CrLf({"VBGROUP 5.0"})}}, "lists no project"},
        {"folder listed as a file", "A.vbp", {{"A.vbp", CrLf({"Module=a; a.bas"})}}, "a.bas is a folder; it cannot be read",
         [](const std::string& folder) { testsupport::MakeFolders(folder + "a.bas"); }},
        // A FIFO would make a plain read wait for ever, beyond the reach of Cancel.
        {"FIFO listed as a file", "A.vbp", {{"A.vbp", CrLf({"Module=a; a.bas"})}}, "a.bas is a FIFO; it cannot be read",
         [](const std::string& folder) { ASSERT_EQ(::mkfifo((folder + "a.bas").c_str(), 0644), 0); }},
        {"symbolic link to a FIFO listed as a file", "A.vbp", {{"A.vbp", CrLf({"Module=a; a.bas"})}},
         "a.bas is a symbolic link to a FIFO; it cannot be read",
         [](const std::string& folder) {
             ASSERT_EQ(::mkfifo((folder + "pipe").c_str(), 0644), 0);
             ASSERT_EQ(::symlink((folder + "pipe").c_str(), (folder + "a.bas").c_str()), 0);
         }},
        {"FIFO as a member project", "G.vbg", {{"G.vbg", CrLf({"VBGROUP 5.0", "Project=Sub\\A.vbp"})}},
         "Sub\\A.vbp is a FIFO; it cannot be read as a project",
         [](const std::string& folder) {
             testsupport::MakeFolders(folder + "Sub");
             ASSERT_EQ(::mkfifo((folder + "Sub/A.vbp").c_str(), 0644), 0);
         }},
        {"symbolic link that leads nowhere as a member project", "G.vbg",
         {{"G.vbg", CrLf({"VBGROUP 5.0", "Project=A.vbp"})}},
         "A.vbp is a symbolic link that leads nowhere; it cannot be read as a project",
         [](const std::string& folder) { ASSERT_EQ(::symlink((folder + "gone").c_str(), (folder + "A.vbp").c_str()), 0); }},
        {"file over the size limit", "A.vbp", {{"A.vbp", CrLf({"Module=a; a.bas"})}, {"a.bas", ""}},
         "a.bas is larger than 64 MB",
         [](const std::string& folder) { ASSERT_EQ(::truncate((folder + "a.bas").c_str(), kMaxFileBytes + 1), 0); }},
        {"UTF-16 source file", "A.vbp", {{"A.vbp", CrLf({"Module=a; a.bas"})}, {"a.bas", utf16Module}},
         "a.bas is UTF-16 (Unicode) text"},
        {"UTF-16 project file", "A.vbp", {{"A.vbp", std::string("M\0o\0d\0u\0l\0e\0=\0", 14)}}, "is UTF-16"},
        // A NUL would end the name early wherever the system reads it: "m.bas\0" would make the
        // pending copy the file itself.
        {"NUL in a listed name", "A.vbp",
         {{"A.vbp", CrLf({"Type=Exe", std::string("Module=m; m.bas\0", 16)})}, {"m.bas", Module("m", "One")}},
         "A.vbp, line 2 (Module=): the name \"m.bas\\x00\" holds a control character"},
        {"control character in a listed name", "A.vbp",
         {{"A.vbp", CrLf({"Form=f\x01.frm"})}}, "line 1 (Form=): the name \"f\\x01.frm\" holds a control character"},
        {"NUL in a group member", "G.vbg",
         {{"G.vbg", CrLf({"VBGROUP 5.0", std::string("Project=A.vbp\0", 14)})}, {"A.vbp", CrLf({"Type=Exe"})}},
         "G.vbg, line 2: the name \"A.vbp\\x00\" holds a control character"},
        {"empty listed name", "A.vbp", {{"A.vbp", CrLf({"Type=Exe", "Class=C;  "})}},
         "A.vbp, line 2 (Class=): the line names no file (the name is empty)"},
        {"empty group member", "G.vbg", {{"G.vbg", CrLf({"VBGROUP 5.0", "Project=Sub\\"})}},
         "G.vbg, line 2: the line names no file"},
        {"group that lists itself", "G.vbg", {{"G.vbg", CrLf({"VBGROUP 5.0", "StartupProject=g.VBG"})}},
         "The group G.vbg lists itself as a member project (line 2)"},
        {"group that lists itself through a linked folder", "G3.vbg",
         {{"G3.vbg", CrLf({"VBGROUP 5.0", "StartupProject=Link\\G3.vbg"})}},
         "The group G3.vbg lists itself as a member project (line 2)",
         [](const std::string& folder) { ASSERT_EQ(::symlink(".", (folder + "Link").c_str()), 0); }},
        {"group that lists a second name of itself", "G.vbg",
         {{"G.vbg", CrLf({"VBGROUP 5.0", "Project=A.vbp", "Project=Other.vbg"})}, {"A.vbp", CrLf({"Type=Exe"})}},
         "The group G.vbg lists itself as a member project (line 3)",
         [](const std::string& folder) { ASSERT_EQ(::symlink("G.vbg", (folder + "Other.vbg").c_str()), 0); }},
        {"group with a member of its own name", "G.vbg",
         {{"G.vbg", CrLf({"VBGROUP 5.0", "Project=Sub\\g.vbg"})}, {"Sub/g.vbg", CrLf({"Type=Exe"})}},
         "The group G.vbg lists a member project of its own name, Sub\\g.vbg (line 2)"},
        {"listed name longer than the system allows", "A.vbp",
         {{"A.vbp", CrLf({"Type=Exe", "Module=a; " + std::string(300, 'a') + ".bas"})}},
         "A.vbp lists " + std::string(300, 'a') + ".bas, a name longer than the system allows (255 bytes for one "
         "name, 4095 for a whole path), so it cannot be read here; the project was not loaded"},
        {"member project name longer than the system allows", "G.vbg",
         {{"G.vbg", CrLf({"VBGROUP 5.0", "Project=Sub\\" + std::string(260, 'p') + ".vbp"})}},
         "G.vbg lists Sub\\" + std::string(260, 'p') + ".vbp, a name longer than the system allows"},
        {"empty project file", "A.vbp", {{"A.vbp", "\r\n  \r\n"}}, "A.vbp is empty; there is nothing to load"},
        {"empty member project file", "G.vbg", {{"G.vbg", CrLf({"Project=Sub\\A.vbp"})}, {"Sub/A.vbp", ""}},
         "Sub\\A.vbp is empty"},
    };
    for (const Case& c : cases) {
        testsupport::TempDir dir;
        for (const auto& [name, bytes] : c.files) WriteBytes(dir.file(name), bytes);
        if (c.setup) c.setup(dir.path());
        FakeHost host;
        ToolState st;
        st.txtProject = dir.path() + c.project;
        EXPECT_FALSE(LoadProject(st, host, host, true)) << c.name;
        EXPECT_FALSE(st.model.Loaded) << c.name;
        EXPECT_FALSE(st.LoadBusy) << c.name;
        ASSERT_EQ(host.boxes.size(), 1u) << c.name;
        EXPECT_NE(host.boxes[0].text.find(c.message), std::string::npos) << c.name << ": " << host.boxes[0].text;
        EXPECT_EQ(host.boxes[0].style, msgbox::kOKOnly);
        EXPECT_EQ(host.boxes[0].alignment, align::kCenter);
        EXPECT_EQ(host.errorLog.size(), 1u) << c.name;

        // The program goes on: the next load of a sound project works with the same state.
        WriteBytes(dir.file("Good.vbp"), CrLf({"Module=g; g.bas"}));
        WriteBytes(dir.file("g.bas"), Module("g", "Fine"));
        st.txtProject = dir.path() + "Good.vbp";
        EXPECT_TRUE(LoadProject(st, host, host, false)) << c.name;
        EXPECT_TRUE(st.model.Loaded);
        EXPECT_EQ(st.model.ModuleFiles().size(), 1u);
    }
}

// Runs `body` in a child process as a user who may not enter a folder with no permission for
// others (the tests may run as root, who enters every folder); answers what `body` answered.
std::string AsOrdinaryUser(const std::function<std::string()>& body) {
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        std::string said = "could not become an ordinary user";
        if (::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0)) said = body();
        (void)!::write(out[1], said.data(), said.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string said;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) said.append(buf, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return said;
}

// A listed file inside the backup folder would become a backup, the change journal or the marker of
// the next change (or be removed as a stale temporary file): the load refuses it, naming it, and
// nothing in the folder is touched. Names on disk match without regard to case, and a listed
// folder that is a link to the backup folder leads into it too.
TEST(Loader, ListedFilesInsideTheBackupFolderAreRefused) {
    const std::string journal = "Quillet change journal 1\nnot ours\n";
    struct Case {
        const char* name;
        const char* project;
        std::vector<std::pair<const char*, std::string>> files;
        const char* listed;  // the name the message must give
        std::function<void(const std::string& folder)> setup = {};
    } cases[] = {
        {"the journal", "App.vbp",
         {{"App.vbp", CrLf({"Type=Exe", "Module=m; Backup\\Quillet.journal"})}, {"Backup/Quillet.journal", journal}},
         "Backup\\Quillet.journal"},
        {"the marker, not there yet", "App.vbp", {{"App.vbp", CrLf({"Type=Exe", "Module=m; Backup\\Quillet.pending"})}},
         "Backup\\Quillet.pending"},
        {"a stale journal write", "App.vbp",
         {{"App.vbp", CrLf({"Type=Exe", "Class=c; Backup\\Quillet.journal.tmp"})},
          {"Backup/Quillet.journal.tmp", journal}},
         "Backup\\Quillet.journal.tmp"},
        {"a module in a sub-folder, listed in other letter case", "App.vbp",
         {{"App.vbp", CrLf({"Type=Exe", "Module=m; BACKUP\\Sub\\m.bas"})}, {"Backup/Sub/m.bas", Module("m", "One")}},
         "BACKUP\\Sub\\m.bas"},
        {"a lower-case backup folder", "App.vbp",
         {{"App.vbp", CrLf({"Type=Exe", "Form=backup\\f.frm"})}, {"backup/f.frm", Form("f", "Form_Load")}},
         "backup\\f.frm"},
        {"through ..", "App.vbp",
         {{"App.vbp", CrLf({"Type=Exe", "Module=m; Sub\\..\\Backup\\m.bas"})}, {"Backup/m.bas", Module("m", "One")}},
         "Sub\\..\\Backup\\m.bas"},
        {"through a folder that is a link to it", "App.vbp",
         {{"App.vbp", CrLf({"Type=Exe", "Module=m; Lib\\m.bas"})}, {"Backup/m.bas", Module("m", "One")}}, "Lib\\m.bas",
         [](const std::string& folder) { ASSERT_EQ(::symlink((folder + "Backup").c_str(), (folder + "Lib").c_str()), 0); }},
        {"a member project of a group", "All.vbg",
         {{"All.vbg", CrLf({"VBGROUP 5.0", "StartupProject=App.vbp", "Project=Backup\\Old.vbp"})},
          {"App.vbp", CrLf({"Type=Exe", "Module=a; a.bas"})},
          {"a.bas", Module("a", "One")},
          {"Backup/Old.vbp", CrLf({"Type=Exe", "Module=a; a.bas"})},
          {"Backup/a.bas", Module("a", "Kept")}},
         "the project Backup\\Old.vbp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir dir;
        for (const auto& [name, bytes] : c.files) WriteBytes(dir.file(name), bytes);
        if (c.setup) c.setup(dir.path());
        Loaded l(dir.path() + c.project);
        EXPECT_FALSE(l.loaded);
        EXPECT_NE(l.host.LastBox().find(std::string(" lists ") + c.listed + ", which lies in the backup folder "),
                  std::string::npos)
            << l.host.LastBox();
        for (const auto& [name, bytes] : c.files) EXPECT_EQ(testsupport::ReadBytes(dir.file(name)), bytes) << name;
    }
}

// A file behind a folder that may not be entered is no missing file: the load says why it stops.
TEST(Loader, AFolderThatMayNotBeEnteredSaysPermissionDenied) {
    testsupport::TempDir dir;
    WriteBytes(dir.file("App.vbp"), CrLf({"Type=Exe", "Module=modA; modA.bas", "Module=modB; Locked\\modB.bas"}));
    WriteBytes(dir.file("modA.bas"), Module("modA", "One"));
    WriteBytes(dir.file("Locked/modB.bas"), Module("modB", "Two"));
    // Everyone may pass through the test's folders; only the owner may enter "Locked".
    for (std::string folder = dir.path(); folder.size() > 1; folder = platform::FolderOf(folder.substr(0, folder.size() - 1))) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) == 0 && (st.st_mode & 0111) != 0111 && st.st_uid == ::geteuid())
            ::chmod(folder.c_str(), (st.st_mode & 07777) | 0111);
        if (folder == testsupport::RunRoot()) break;
    }
    ::chmod((dir.path() + "Locked").c_str(), ::geteuid() == 0 ? 0700 : 0);
    const std::string said = AsOrdinaryUser([&] {
        FakeHost host;
        ToolState st;
        st.txtProject = dir.path() + "App.vbp";
        const bool loaded = LoadProject(st, host, host, false);
        return std::string(loaded ? "loaded" : "not loaded") + ": " + host.LastBox();
    });
    ::chmod((dir.path() + "Locked").c_str(), 0755);
    EXPECT_EQ(said, "not loaded: Locked\\modB.bas cannot be read: the folder " + dir.path() +
                        "Locked/ may not be entered (permission denied)");
}

TEST(Loader, ProjectThatDoesNotExistBusyLoadAndElapsedTime) {
    testsupport::TempDir dir;
    FakeHost host;
    ToolState st;
    st.txtProject = dir.path() + "None.vbp";
    EXPECT_FALSE(LoadProject(st, host, host, true));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "Project does not exist - " + dir.path() + "None.vbp");
    host.boxes.clear();
    st.txtProject = "   ";
    EXPECT_FALSE(LoadProject(st, host, host, true));
    EXPECT_TRUE(host.boxes.empty());

    WriteBytes(dir.file("A.vbp"), CrLf({"Module=a; a.bas"}));
    WriteBytes(dir.file("a.bas"), Module("a", "One"));
    st.txtProject = dir.path() + "A.vbp";
    st.LoadBusy = true;
    EXPECT_FALSE(LoadProject(st, host, host, true));
    EXPECT_TRUE(st.treProject.empty());
    st.LoadBusy = false;
    st.RoutinesMatched = true;
    host.cancel = true;  // left over from an earlier command: a load clears it
    EXPECT_TRUE(LoadProject(st, host, host, true));
    EXPECT_FALSE(st.RoutinesMatched);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "Reports Creation Elapsed Time - 00:00:00");
    EXPECT_EQ(ElapsedTimeText(3725.4), "01:02:05");
}

// The path to open is said as it is when it is no regular file: a FIFO is no missing project, and
// neither is a symbolic link that leads nowhere.
TEST(Loader, AProjectPathThatIsNoRegularFileIsSaidAsItIs) {
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> make;
        const char* said;
    } cases[] = {
        {"a FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, " is a FIFO"},
        {"a folder", [](const std::string& p) { testsupport::MakeFolders(p); }, " is a folder"},
        {"a symbolic link that leads nowhere",
         [](const std::string& p) { ASSERT_EQ(::symlink((p + ".gone").c_str(), p.c_str()), 0); },
         " is a symbolic link that leads nowhere"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir dir;
        const std::string path = dir.path() + "App.vbp";
        c.make(path);
        Loaded l(path);
        EXPECT_FALSE(l.loaded);
        EXPECT_EQ(l.host.LastBox(), path + c.said + "; it cannot be opened as a project");
    }
}

TEST(Loader, CancelLeavesTheTreeHiddenAndTheProjectNotLoaded) {
    testsupport::TempDir dir;
    bench::GeneratorOptions o;
    o.files = 6;
    o.lines = 3000;
    const auto project = bench::GenerateProject(dir.path(), o);
    FakeHost host;
    ToolState st;
    st.txtProject = project.projectPath;
    st.ProjectChanged = true;
    host.cancelOnStatus = "Scanning modGen3.bas";  // the third of six files
    bool loaded = true;
    LoadProjectTree(st, host, loaded);
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(st.model.Loaded);
    EXPECT_FALSE(st.treProject.visible);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_LT(st.model.ModuleFiles().size() + st.model.FormFiles().size() + st.model.ClassFiles().size(), 6u);
}

TEST(Loader, ShippedExampleLoads) {
    FakeHost host;
    ToolState st;
    st.txtProject = std::string(QUILLET_SOURCE_DIR) + "/examples/Sample/Sample.vbp";
    ASSERT_TRUE(LoadProject(st, host, host, false));
    EXPECT_EQ(st.model.ModuleFiles().size(), 1u);
    EXPECT_EQ(st.model.FormFiles().size(), 1u);
    EXPECT_EQ(st.model.ClassFiles().size(), 1u);
    for (FileKind kind : kAllKinds)
        for (const auto& f : st.model.Files(kind)) {
            EXPECT_TRUE(f.fExists) << f.fFilename;
            EXPECT_FALSE(f.FDataOnly) << f.fFilename;
        }
    EXPECT_TRUE(host.boxes.empty());
}

TEST(SplitPath, FolderFlagAndSplitting) {
    std::string path = "/home/u/proj", folder = "f", name = "n";
    SplitPath(path, folder, name, true);
    EXPECT_EQ(path, "/home/u/proj/");
    EXPECT_EQ(folder, "/home/u/proj/");
    std::string empty;
    folder = "f";
    SplitPath(empty, folder, name, true);
    EXPECT_EQ(empty, "");
    EXPECT_EQ(folder, "");
    path = "/home/u/App.vbp";
    SplitPath(path, folder, name, false);
    EXPECT_EQ(folder, "/home/u/");
    EXPECT_EQ(name, "App.vbp");
    path = "App.vbp";
    folder = "f";
    name = "n";
    SplitPath(path, folder, name, false);
    EXPECT_EQ(folder, "f");
    EXPECT_EQ(name, "n");
}

TEST(ProjectFiles, LinesKeysAndGroupMembers) {
    std::string key, value;
    ASSERT_TRUE(SplitProjectLine("Module=modA; Sub\\modA.bas ", key, value));
    EXPECT_EQ(key, "Module=");
    EXPECT_EQ(value, "Sub\\modA.bas");
    ASSERT_TRUE(SplitProjectLine("Startup=\"frmMain\"", key, value));
    EXPECT_EQ(value, "frmMain");
    ASSERT_TRUE(SplitProjectLine("Form=frmA.frm", key, value));
    EXPECT_EQ(value, "frmA.frm");
    EXPECT_FALSE(SplitProjectLine("[MS Transaction Server]", key, value));
    const auto members = ReadGroupMembers({"VBGROUP 5.0", "startupproject=A\\B\\x.vbp", "Project=y.vbp", "Other=z"});
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].subFolder, "A\\B\\");
    EXPECT_EQ(members[0].projectFile, "x.vbp");
    EXPECT_TRUE(members[0].startup);
    EXPECT_EQ(members[1].subFolder, "");
    EXPECT_FALSE(members[1].startup);
}

}  // namespace
