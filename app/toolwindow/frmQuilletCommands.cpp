// frmQuillet: the commands that run the engine (load, Add Code, undo, line numbering, the Called
// Routines build), each with the window busy: every control off but Cancel, the frame's menus off,
// the event loop served on a time budget by the engine.
#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/forms/FormServices.h"
#include "app/reports/ReportBoxes.h"
#include "app/startup/AppIdentity.h"
#include "app/toolwindow/SnippetPanel.h"
#include "app/toolwindow/frmQuillet.h"
#include "app/views/TreeModel.h"
#include "engine/addcode.h"
#include "engine/commit.h"
#include "engine/linenumbers.h"
#include "engine/loader.h"
#include "reports/xref.h"

namespace quillet::toolwindow {

namespace ui = tovcore::ui;

namespace {

// Shows a tree the engine has filled: one reset, its expanded nodes expanded, the view shown or
// hidden as the engine left the tree.
void ShowTree(ui::TreeView* view, views::TreeModel* model) {
    model->EndFill();
    views::ApplyExpanded(view, *model);
    view->SetVisible(model->tree().visible);  // a tree on a tab not shown takes it when its tab is
}

}  // namespace

void frmQuillet::CopyChoicesToState() {
    const ProgramState& s = program_.state;
    state_.SelectedPreCode = pre_->Selected();
    state_.SelectedPostCode = post_->Selected();
    state_.ApplicationDataFolderLocal = s.objSpecialFolders.ApplicationDataFolderLocal;
    state_.LineIncrement = static_cast<std::int16_t>(s.LineIncrement);
    state_.ResequenceIndex = static_cast<std::int16_t>(s.ResequenceIndex);
    state_.ProjectChanged = s.ProjectChanged;
}

void frmQuillet::ClearTreesAndReports() {
    projectModel_->BeginFill();
    routinesModel_->BeginFill();
    state_.treProject.Clear();
    state_.treRoutines.Clear();
    state_.model.Loaded = false;
    state_.RoutinesMatched = false;
    reports_ = {};
    FillReportBoxes();
    ShowTrees();
}

void frmQuillet::ShowTrees() {
    ShowTree(treProject_, projectModel_);
    ShowTree(treRoutines_, routinesModel_);
}

void frmQuillet::FillReportBoxes() {
    for (int tab = kModules; tab <= kAPIs; ++tab) {
        const reports::ReportBox* report = reports_.Box(tab);
        FillReportBox(ReportBox(tab), report ? *report : reports::ReportBox{});
        if (Busy()) host_.ProcessEvents();  // a large report takes a while: the window stays alive
    }
}

void frmQuillet::LoadProject(bool showElapsedTime) {
    if (state_.LoadBusy) return;
    const WindowStack::Scope onStack(program_.stack);
    // The windows that show the old project's files go.
    for (const char* tag : {"frmHelp", "frmAbout", "frmView"})
        if (ui::Form* f = program_.forms.FindByTag(tag)) program_.forms.Unload(f);
    for (int i = 0; i < 3; ++i) chkLog_Click(i);

    BeginBusy();
    const double start = host_.Seconds();
    state_.txtProject = txtProject_->text().toStdString();
    CopyChoicesToState();
    ClearTreesAndReports();
    projectModel_->BeginFill();
    routinesModel_->BeginFill();
    // The window stays alive while the old reports go; a close asked for meanwhile stops the load
    // before it starts.
    auto closing = [this] { return exitPending_ || (program_.frame && program_.frame->ClosePending()); };
    const bool loaded = !closing() && engine::LoadProject(state_, host_, host_, false);
    // The change flag stays as it was, cancelled or not: a load that is stopped takes none of the
    // user's unsaved choices with it (and a close that stopped it asks about them).
    // Cancel stops the load either while the files are read (nothing is loaded) or while the
    // reports are made (the project is loaded; the reports not finished say so).
    bool cancelled = !loaded && host_.CancelRequested();
    if (loaded) {
        for (SnippetPanel* side : {pre_, post_}) side->RefreshAvailable();
        cancelled = !reports::CreateDefinitionReports(state_.model, reports_, host_,
                                                      reports::CurrentReportStamp(tovcore::Global().GetVersion()));
    }
    FillReportBoxes();
    ShowTrees();
    EndBusy();

    if (loaded) {
        if (sstab_->Tab() != kAppFunctions)
            sstab_->SetTab(kAppFunctions);  // raises SSTab1_Click
        else
            SSTab1_Click(kAppFunctions);
    }
    const std::string elapsed = engine::ElapsedTimeText(host_.Seconds() - start);
    ClearMessage(program_);
    if (cancelled && !closing()) {
        // Said whatever the caller asked for: a load the user stopped is never passed over in silence.
        const std::string first = "Project Load Canceled - " + elapsed;
        DisplayMessage(program_, first, true, 2);
        host_.MyMsgBox(first + (loaded ? "\r\n\r\nThe project is loaded; the definition reports marked incomplete were "
                                         "stopped before their end."
                                       : "\r\n\r\nThe project is not loaded."),
                       vbOKOnly, "", 2);
    } else if (loaded && showElapsedTime && !cancelled && !closing()) {
        host_.MyMsgBox("Reports Creation Elapsed Time - " + elapsed, vbOKOnly, "", 2);
    }
    UpdateControls();
}

void frmQuillet::RunEngineCommand(const std::function<void()>& command) {
    const WindowStack::Scope onStack(program_.stack);
    CopyChoicesToState();
    BeginBusy();
    command();
    EndBusy();
}

void frmQuillet::cmdAddCode_Click() {
    if (Busy() || !ProjectLoaded()) return;
    const WindowStack::Scope onStack(program_.stack);
    RunEngineCommand([this] { engine::cmdAddCode_Click(state_, host_, host_.Files()); });
    SkinForm(program_, this);
    UpdateControls();
}

void frmQuillet::cmdUndoLastChange_Click() {
    if (Busy()) return;
    RunEngineCommand([this] { engine::UndoLastChange(state_, host_, host_.Files()); });
}

void frmQuillet::rtnAddLineNumbers() {
    // Line numbers go only into a project that is completely loaded and shown.
    if (Busy() || !ProjectLoaded()) return;
    RunEngineCommand([this] { engine::rtnAddLineNumbers(state_, host_, host_.Files()); });
}

void frmQuillet::rtnRemoveLineNumbers() {
    if (Busy() || !ProjectLoaded()) return;
    RunEngineCommand([this] { engine::rtnRemoveLineNumbers(state_, host_, host_.Files()); });
}

void frmQuillet::MatchProcedures() {
    const WindowStack::Scope onStack(program_.stack);
    BeginBusy();
    routinesModel_->BeginFill();
    reports::XrefOptions options;
    options.logSearches = chkLog_[2]->Value() == 1;
    reports::MatchProcedures(state_, host_, options);
    ShowTree(treRoutines_, routinesModel_);
    EndBusy();
}

void frmQuillet::RestartLogs() {
    ProgramState& s = program_.state;
    tovcore::clsTovcore& lib = tovcore::Global();
    s.LogFile = lib.InitLog("");
    s.DebugLogFile = lib.InitDebugLog(s.DebugLogFile);
    s.ErrorLogFile = lib.InitErrorLog(s.ErrorLogFile);
    if (program_.frame) program_.frame->UpdateMenus();
}

void frmQuillet::SaveToolProject() {
    if (program_.frame)
        program_.frame->mnuSaveProject_Click();
    else
        SaveProjectInformation(true);
}

}  // namespace quillet::toolwindow
