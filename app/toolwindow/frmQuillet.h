// frmQuillet: the tool window, the program's one working window, inside the frame. It holds the
// path of the Visual Basic project, the check-box tree of that project, six report tabs, the
// snippet choice, the log switches, a status box and the command buttons; it owns the per-load
// state the engine works on (engine::ToolState) and serves the engine as its host.
//
// Its parts: frmQuillet.cpp (controls, layout, life cycle, tabs, tree, log switches, control
// states), frmQuilletProject.cpp (tool project files), frmQuilletCommands.cpp (load, Add Code,
// undo, line numbering, the Called Routines build).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include <QPoint>
#include <QPointer>

#include <tovcore/controls.h>

#include "app/core/WindowSeams.h"
#include "app/reports/ReportCommands.h"
#include "app/toolwindow/ToolHost.h"
#include "engine/state.h"
#include "reports/definition_reports.h"

namespace quillet {
struct Program;
}

namespace quillet::views {
class TreeModel;
class clsTVWDisableNode;
}  // namespace quillet::views

namespace quillet::toolwindow {

class SnippetPanel;

class frmQuillet : public tovcore::ui::Form, public IToolWindow, private ToolHostOwner {
    Q_OBJECT

public:
    // Tab indexes of SSTab1.
    enum Tab { kAppFunctions = 0, kCalledRoutines, kModules, kForms, kClasses, kAPIs, kTabCount };

    explicit frmQuillet(Program& program);
    ~frmQuillet() override;

    // ---- IToolWindow ------------------------------------------------------------------------
    tovcore::ui::Form* Window() override { return this; }
    void NewProjectInformation() override;
    void OpenQuilletProject() override;
    bool GetProjectInformation(int mode) override;
    bool SaveProjectInformation(bool force) override;
    std::string DialogProjectBrowse(int mode, bool openDialog) override;
    void rtnAddLineNumbers() override;
    void rtnRemoveLineNumbers() override;
    void rtnPrintAll() override;
    void ChangeLabelBackColor() override;
    bool ProjectLoaded() const override;
    bool Busy() const override { return busy_ > 0; }

    // ---- the window's commands -----------------------------------------------------------
    void cmdBrowse_Click();
    void cmdAddCode_Click();
    void cmdUndoLastChange_Click();
    void cmdCancel_Click();
    void cmdExit_Click();
    void cmdPrint_Click();
    void cmdSave_Click();
    // Applies log switch 0 (debug), 1 (error) or 2 (run log) as its box shows it: the settings key
    // is written, then the library starts the log afresh or stops it.
    void chkLog_Click(int index);
    // The tab logic after a change of tab (also after a load and a layout pass).
    void SSTab1_Click(int previousTab);
    // The user changed a node's check box (the node holds the new state).
    void treProject_NodeCheck(engine::NodeId node);
    // A click on a node (not on its check box).
    void treProject_NodeClick(engine::NodeId node);
    void treRoutines_NodeClick(engine::NodeId node);
    // Reloads the Visual Basic project named in the path box (see ToolHostOwner).
    void LoadProject(bool showElapsedTime) override;
    // The snippet lists (the selection from the tool project, the snippets in the folders) and
    // the line-numbering choices of the tool project.
    void InitializeProject();
    // Every control's enabled state from the window's state.
    void UpdateControls();

    // The viewer a node click opens (the source viewer; tests record the calls instead).
    using Viewer = std::function<void(const std::string& path, std::int32_t line)>;
    void SetViewer(Viewer viewer) { viewer_ = std::move(viewer); }

    // ---- what tests and the report commands reach --------------------------------------------
    engine::ToolState& State() { return state_; }
    reports::DefinitionReports& Reports() { return reports_; }
    engine::Host& Host() { return host_; }
    views::TreeModel* ProjectModel() const { return projectModel_; }
    views::TreeModel* RoutinesModel() const { return routinesModel_; }
    views::clsTVWDisableNode* NodeDisabler() const { return mobjTVWDisableNode_; }
    SnippetPanel* PrePanel() const { return pre_; }
    SnippetPanel* PostPanel() const { return post_; }
    tovcore::ui::TextBox* txtProject() const { return txtProject_; }
    tovcore::ui::TreeView* treProject() const { return treProject_; }
    tovcore::ui::TreeView* treRoutines() const { return treRoutines_; }
    tovcore::ui::SSTab* SSTab1() const { return sstab_; }
    tovcore::ui::RichTextBox* rtfMsg() const { return rtfMsg_; }
    tovcore::ui::RichTextBox* ReportBox(int tab) const;
    tovcore::ui::CheckBox* chkLog(int index) const { return chkLog_[static_cast<std::size_t>(index)]; }
    tovcore::ui::MyButton* Button(const char* name) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Form_Load();
    void LayoutPages();
    void FitMinimumWidths();
    void QueryUnload(int& cancel, int unloadMode);
    void Unload(int& cancel);
    void RestartLogs() override;
    void SaveToolProject() override;
    // A long command: the first BeginBusy and the last EndBusy (they nest) apply the control
    // states and switch the frame's controls and menus off and on again.
    void BeginBusy();
    void EndBusy();
    // A rewrite or an undo of the engine: the window's choices go into the state first, and the
    // window is busy while it runs.
    void RunEngineCommand(const std::function<void()>& command);
    void ShowTrees();
    void ClearTreesAndReports();
    void FillReportBoxes();
    bool TabHasContent(int tab) const;
    void MatchProcedures();
    void SnippetSelectionChanged(bool added);
    void RetrieveOtherInfo(const std::string& toolProject);
    // The tool project dialog; `forProject` (a Visual Basic project) offers a new tool project
    // beside it, under its name. A save dialog never names a file that is not a tool project: it
    // is said, and a name beside it offered; a Visual Basic project so chosen for a new tool
    // project (mode 1) is handed back in `chosenProject`.
    std::string BrowseToolProject(int mode, bool openDialog, const std::string& forProject,
                                  std::string* chosenProject = nullptr);
    void CopyChoicesToState();
    void ShowViewer(const std::string& path, std::int32_t line);
    // A message the status panel keeps after a command goes at the user's next key, click or
    // wheel turn.
    void StatusGoesOnInput();
    void KeepKeyboardInWindow(bool place);

    Program& program_;
    ToolHost host_;
    engine::ToolState state_;
    reports::DefinitionReports reports_;
    ReportTabs tabs_;
    Viewer viewer_;
    int busy_ = 0;
    bool exitPending_ = false;  // a close waits for the window's work on the stack to return
    // The tool project's Visual Basic project as its file names it (it may be relative to the
    // file) and as the path box shows it: saves write the first while the box shows the second.
    std::string storedProjectName_, shownProjectName_;
    QPointer<QWidget> focusBeforeBusy_;  // where the keyboard was when the long command began
    QPointer<QWidget> autoFocus_;        // where the window put the keyboard, until the user works there
    bool resizing_ = false;
    bool statusGoesOnInput_ = false;
    QPoint lastRelease_;  // where the last mouse button was released over treProject

    // Controls (named as the program's language files and routines know them).
    tovcore::ui::Frame* fraQuillet_ = nullptr;
    tovcore::ui::PictureBox* Picture2_ = nullptr;
    tovcore::ui::Frame* fraProjects_ = nullptr;
    tovcore::ui::TextBox* txtProject_ = nullptr;
    tovcore::ui::MyButton* cmdBrowse_ = nullptr;
    tovcore::ui::Frame* fraCode_ = nullptr;
    SnippetPanel* pre_ = nullptr;
    SnippetPanel* post_ = nullptr;
    tovcore::ui::Label* Label3_ = nullptr;
    tovcore::ui::Label* lblReplaceNames_ = nullptr;
    tovcore::ui::Label* lblLogs_ = nullptr;
    std::array<tovcore::ui::CheckBox*, 3> chkLog_{};
    std::array<tovcore::ui::Label*, 3> logLabels_{};
    tovcore::ui::Frame* fraSSTab_ = nullptr;
    tovcore::ui::SSTab* sstab_ = nullptr;
    tovcore::ui::TreeView* treProject_ = nullptr;
    tovcore::ui::TreeView* treRoutines_ = nullptr;
    std::array<tovcore::ui::RichTextBox*, 4> reportBoxes_{};
    tovcore::ui::RichTextBox* rtfMsg_ = nullptr;
    tovcore::ui::ListBox* List1_ = nullptr;
    tovcore::ui::Frame* fraButton_ = nullptr;
    tovcore::ui::MyButton* cmdAddCode_ = nullptr;
    tovcore::ui::MyButton* cmdPrint_ = nullptr;
    tovcore::ui::MyButton* cmdCancel_ = nullptr;
    tovcore::ui::MyButton* cmdSave_ = nullptr;
    tovcore::ui::MyButton* cmdExit_ = nullptr;
    tovcore::ui::MyButton* cmdUndoLastChange_ = nullptr;

    views::TreeModel* projectModel_ = nullptr;
    views::TreeModel* routinesModel_ = nullptr;
    views::clsTVWDisableNode* mobjTVWDisableNode_ = nullptr;
};

}  // namespace quillet::toolwindow
