#include "tests/app/support/ToolFixture.h"

#include <stdexcept>

#include <QTest>

#include "app/core/ToolWindowFactory.h"
#include "app/toolwindow/SnippetPanel.h"

namespace apptest {

using testsupport::CrLf;
using testsupport::Lf;
using testsupport::WriteBytes;

const char* const kTracePre = "    WriteTraceLog \"~Procedure~\", ~ProcStart~";
const char* const kTracePost = "    WriteTraceLog \"~Procedure~\", ~ProcEnd~";

std::string WriteSmallGroup(const std::string& f) {
    WriteBytes(f + "Group.vbg", CrLf({"VBGROUP 5.0", "StartupProject=Main.vbp", "Project=Sub\\Lib.vbp"}));
    WriteBytes(f + "Main.vbp", CrLf({"Type=Exe", "Startup=\"Sub Main\"", "Module=modMain; modMain.bas",
                                     "Module=modTrace; modTrace.bas", "Class=clsThing; clsThing.cls",
                                     "Name=\"Main\""}));
    WriteBytes(f + "modMain.bas", CrLf({"Attribute VB_Name = \"modMain\"", "Option Explicit", "",
                                        "Public Sub Main()", "    DoWork 1", "End Sub", "",
                                        "Private Function DoWork(ByVal n As Long) As Long", "    DoWork = n + 1",
                                        "End Function"}));
    WriteBytes(f + "modTrace.bas", CrLf({"Attribute VB_Name = \"modTrace\"", "Public Sub TraceIt()", "End Sub"}));
    WriteBytes(f + "clsThing.cls",
               CrLf({"VERSION 1.0 CLASS", "BEGIN", "  MultiUse = -1  'True", "END",
                     "Attribute VB_Name = \"clsThing\"", "Option Explicit", "Public Property Get Name() As String",
                     "    Name = \"thing\"", "End Property"}));
    WriteBytes(f + "Sub/Lib.vbp", Lf({"Type=Exe", "Module=modLib; modLib.bas", "Name=\"Lib\""}));
    WriteBytes(f + "Sub/modLib.bas",
               Lf({"Attribute VB_Name = \"modLib\"", "Public Sub LibWork()", "    Debug.Print \"lib\"", "End Sub"}));
    return f + "Group.vbg";
}

void WriteTraceSnippets() {
    const std::string data = DataFolder();
    WriteBytes(data + "PreCode/Trace.PreCode", kTracePre);
    WriteBytes(data + "PostCode/Trace.PostCode", kTracePost);
}

ToolFixture::ToolFixture(const std::function<void(TestProgram&)>& before) {
    group = WriteSmallGroup(dir.path());
    WriteTraceSnippets();
    if (before) before(t);
    w = std::make_unique<quillet::toolwindow::frmQuillet>(t.program);
    w->SetViewer([this](const std::string& path, int line) { viewed.emplace_back(path, line); });
    w->resize(1000, 700);
    w->show();
    ProcessEvents();
}

ToolFixture::~ToolFixture() {
    w.reset();
    ProcessEvents();
}

void ToolFixture::Browse(const std::string& path) {
    t.fakes.dialogs.openResults.push_back(path.empty() ? group : path);
    QTest::mouseClick(w->Button("cmdBrowse"), Qt::LeftButton);
    ProcessEvents();
}

engine::NodeId ToolFixture::Node(const std::string& key) const { return w->State().treProject.Find(key); }

bool ToolFixture::Checked(const std::string& key) const {
    const engine::NodeId n = Node(key);
    return n != engine::kNoNode && w->State().treProject.Node(n).checked;
}

void ToolFixture::ChooseSnippet(bool pre, const std::string& name) {
    quillet::toolwindow::SnippetPanel* side = pre ? w->PrePanel() : w->PostPanel();
    side->Combo()->setEditText(QString::fromStdString(name));
    QTest::mouseClick(side->AddButton(), Qt::LeftButton);
}

FramedTool::FramedTool() {
    group = WriteSmallGroup(dir.path());
    WriteTraceSnippets();
    t.program.makeToolWindow = quillet::DefaultToolWindowFactory();
    frame = new quillet::frmBackGround(t.program);
    frame->Load();
    ProcessEvents();
}

FramedTool::~FramedTool() {
    if (frame) {
        // Whatever the test left open goes without questions.
        t.program.state.ProjectChanged = false;
        delete frame.data();
    }
    ProcessEvents();
}

quillet::toolwindow::frmQuillet* FramedTool::Tool() const {
    return frame ? dynamic_cast<quillet::toolwindow::frmQuillet*>(frame->LoadedToolWindow()) : nullptr;
}

void FramedTool::Click(const char* name, int index) {
    tovcore::ui::Menu* item = frame->MenuItem(name, index);
    if (!item) throw std::runtime_error(std::string("no menu item ") + name);
    item->trigger();
    ProcessEvents();
}

void FramedTool::NewProjectOnGroup(const std::string& path) {
    t.fakes.dialogs.saveResults.push_back(path);
    Click("mnuNewProject");
    t.fakes.dialogs.openResults.push_back(group);
    QTest::mouseClick(Tool()->Button("cmdBrowse"), Qt::LeftButton);
    ProcessEvents();
}

}  // namespace apptest
