// frmQuillet: the tool project file (New, Open, Save, Save As, the recent list's open) and the
// choices it carries (the snippet selection and the line-numbering settings).

#include <tovcore/IniFiles.h>
#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/forms/FormServices.h"
#include "app/frame/FrameRules.h"
#include "app/toolwindow/SnippetPanel.h"
#include "app/toolwindow/SnippetStore.h"
#include "app/toolwindow/ToolProjectFile.h"
#include "app/toolwindow/ToolRules.h"
#include "app/toolwindow/frmQuillet.h"
#include "platform/fileio.h"
#include "platform/paths.h"

namespace quillet::toolwindow {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void frmQuillet::NewProjectInformation() {
    const WindowStack::Scope onStack(program_.stack);
    ProgramState& s = program_.state;
    // Unsaved changes of the current tool project are offered for saving first; one that could
    // not be saved keeps the current tool project.
    if (s.ProjectChanged && !s.ProjectFileName.empty()) {
        const std::int32_t answer =
            program_.services.messageBox->Show("Do you want to save this project?", vbYesNoCancel | vbQuestion,
                                               tovcore::Global().GetVersion(), 2);
        if (answer == kYes) {
            if (!SaveProjectInformation(true)) return;
        } else if (answer != kNo) {
            return;
        }
    }
    GetProjectInformation(1);
}

void frmQuillet::OpenQuilletProject() {
    const WindowStack::Scope onStack(program_.stack);
    if (!SaveProjectInformation(true)) return;
    GetProjectInformation(3);
}

std::string frmQuillet::DialogProjectBrowse(int mode, bool openDialog) {
    return BrowseToolProject(mode, openDialog, "");
}

std::string frmQuillet::BrowseToolProject(int mode, bool openDialog, const std::string& forProject,
                                          std::string* chosenProject) {
    const WindowStack::Scope onStack(program_.stack);
    ProgramState& s = program_.state;
    FileDialogRequest request;
    request.title = openDialog ? "Open Project" : mode == 1 ? "New Project" : "Save Project As";
    request.folder = s.LastProjectFolder;
    if (!request.folder.empty() && request.folder.back() != '/') request.folder += '/';
    if (!forProject.empty()) {
        // A new tool project for a Visual Basic project is offered beside it, under its name.
        const std::string suggested = SuggestedToolProject(forProject);
        request.title = "New Project for " + platform::NameOf(forProject);
        request.folder = platform::FolderOf(suggested);
        request.fileName = platform::NameOf(suggested);
    }
    request.filter = "Projects |*.qlp";
    std::string path;
    for (;;) {
        const auto chosen = openDialog ? program_.services.dialogs->OpenFile(this, request)
                                       : program_.services.dialogs->SaveFile(this, request);
        if (!chosen || chosen->empty() || chosen->back() == '/') return "";
        path = *chosen;
        if (openDialog) break;
        path = WithToolProjectExtension(path);
        // The dialog asked about the name it was given; a name that gained ".qlp" is asked about here.
        if (path != *chosen && platform::IsRegularFile(path)) {
            const std::int32_t answer = program_.services.messageBox->Show(
                path + " already exists.\nDo you want to replace it?", vbYesNo | vbQuestion, request.title, 2);
            if (answer != kYes) return "";
        }
        // Nothing is written into a file that is not a tool project (the dialog's "replace?" does
        // not make one of it): a name of its own is offered beside it.
        const std::string why = WhyNoToolProjectGoesInto(path, s.IniFileName);
        if (why.empty()) break;
        const std::string offered = SuggestedToolProject(path);
        const ToolProjectCheck kind = CheckToolProjectFile(path, s.IniFileName);
        const bool vbProject = kind == ToolProjectCheck::VisualBasicProject && platform::IsRegularFile(path);
        program_.services.messageBox->Show(
            path + "\n\n" + why + ", so no tool project is written into it and it is left as it is.\n\nChoose a " +
                "name for the tool project: " + platform::NameOf(offered) + " beside it is offered.",
            vbOKOnly | vbExclamation, request.title, 2);
        // New Project given a Visual Basic project makes the tool project for it.
        if (chosenProject && mode == 1) *chosenProject = vbProject ? path : "";
        request.folder = platform::FolderOf(offered);
        request.fileName = platform::NameOf(offered);
    }
    std::string folder = platform::FolderOf(path);
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!folder.empty()) s.LastProjectFolder = folder;
    if (mode == 1) {
        // A new tool project starts empty. A read-only file stays as it is; a link stays a link and
        // the file it leads to is emptied, as every later save writes through it.
        std::string why;
        const tovcore::IniFileState state = tovcore::CheckIniFile(path);
        if (state == tovcore::IniFileState::ReadOnly)
            why = "the file is read-only";
        else if (state == tovcore::IniFileState::FolderReadOnly)
            why = "its folder may not be written";
        else if (const std::string target = platform::LinkTarget(path); target.empty())
            why = "its symbolic links lead round in a circle";
        else
            platform::WriteFileAtomic(target, "", &why);
        if (!why.empty()) {
            program_.services.messageBox->Show("The tool project " + path + " cannot be made: " + why, vbOKOnly, "", 2);
            return "";
        }
    }
    return path;
}

bool frmQuillet::GetProjectInformation(int mode) {
    const WindowStack::Scope onStack(program_.stack);
    ProgramState& s = program_.state;
    tovcore::Global().AppCancel(false);
    std::string path;
    // A Visual Basic project the user chose to open (or to make a new tool project in): the new
    // tool project is made for it.
    std::string forProject;
    if (mode == 1)
        path = BrowseToolProject(1, false, "", &forProject);
    else if (mode == 2)
        path = s.ProjectFileName;
    else
        path = DialogProjectBrowse(mode, true);
    // A cancelled dialog leaves the current tool project, its trees and reports as they were.
    if (path.empty()) return false;
    if (mode != 1) {
        if (!platform::IsRegularFile(path)) {
            program_.services.messageBox->Show("Project does not exist - " + path, vbOKOnly, "", 2);
            return false;
        }
        // Nothing is ever written into a file that is not known to be a tool project.
        switch (CheckToolProjectFile(path, s.IniFileName)) {
            case ToolProjectCheck::ToolProject: break;
            case ToolProjectCheck::VisualBasicProject:
                // What the user meant: work on that project. The tool project that remembers it is
                // a new file, named as New Project names one; the Visual Basic project is only read.
                forProject = path;
                path = BrowseToolProject(1, false, forProject);
                if (path.empty()) return false;
                break;
            case ToolProjectCheck::NotAToolProject:
                program_.services.messageBox->Show(
                    path +
                        "\n\nis not a Quillet tool project (a .qlp file), so it is not opened. To work on a Visual "
                        "Basic project, choose New Project and then the project with the \"...\" button.",
                    vbOKOnly | vbExclamation, "Open Project", 2);
                return false;
            case ToolProjectCheck::Unusable:
                program_.services.messageBox->Show(
                    path + "\n\n" + tovcore::IniFileStateText(tovcore::CheckIniFile(path)) +
                        ", so it is no Quillet tool project. It is not opened and is left as it is.",
                    vbOKOnly | vbExclamation, "Open Project", 2);
                return false;
        }
    }

    ClearTreesAndReports();
    show();
    s.ProjectFileName = path;
    s.ProjectOpen = true;
    host_.HourGlassOn();
    if (program_.frame) {
        program_.frame->Window()->SetCaption(Q(" - " + path));
        program_.frame->EnableSelections();
        program_.frame->ProcessMenuList();
    }
    InitializeProject();
    // The path box takes the tool project's Visual Basic project; a different path marks the tool
    // project changed, as any edit of the box does.
    s.ProjectChanged = false;
    const std::string stored = forProject.empty() ? ReadProjectName(path) : forProject;
    std::string vbProject = stored;
    // A tool project that names its Visual Basic project relative to itself (one that came in an
    // archive with the project, or was written on Windows as "Sub\App.vbp") finds it beside
    // itself, not in whatever folder the program happened to be started from. The window shows
    // where that is; saves write the name back as the file gives it, so a copied or moved folder
    // keeps working on its own project.
    if (!vbProject.empty() && !platform::IsAbsoluteListedPath(vbProject))
        vbProject = platform::ResolveListedPath(platform::FolderOf(path), vbProject).path;
    storedProjectName_ = stored;
    shownProjectName_ = vbProject;
    if (txtProject_->text() != Q(vbProject)) txtProject_->SetText(Q(vbProject));
    host_.HourGlassOff();
    UpdateControls();
    if (vbProject.empty() && mode != 1) {
        program_.services.messageBox->Show(
            "The tool project " + path + " names no Visual Basic project.\n\nChoose one with the \"...\" button.",
            vbOKOnly | vbInformation, "Open Project", 2);
    }
    LoadProject(true);
    // The new tool project names its Visual Basic project at once.
    if (!forProject.empty() && !Busy()) SaveProjectInformation(true);
    return true;
}

void frmQuillet::InitializeProject() {
    const ProgramState& s = program_.state;
    const std::string& toolProject = s.ProjectFileName;
    const bool haveProject = !toolProject.empty() && platform::IsRegularFile(toolProject);
    for (SnippetPanel* side : {pre_, post_}) {
        const SnippetKind kind = side->Kind();
        tovcore::Global().WriteLog(Side(kind).logText);
        // Snippets that older versions kept in the settings file or the tool project move into files.
        MoveLegacySnippets(host_, host_, s.IniFileName, s.objSpecialFolders.ApplicationDataFolderLocal, kind, true);
        if (haveProject) {
            MoveLegacySnippets(host_, host_, toolProject, s.objSpecialFolders.ApplicationDataFolderLocal, kind, false);
            side->SetSelected(ReadSelection(toolProject, kind));
        }
        side->RefreshAvailable();
    }
    if (haveProject) RetrieveOtherInfo(toolProject);
    UpdateControls();
}

void frmQuillet::RetrieveOtherInfo(const std::string& toolProject) {
    tovcore::Global().WriteLog("Retrieving Other Info");
    const ToolProject p = ReadToolProject(toolProject);
    ProgramState& s = program_.state;
    if (program_.frame) {
        program_.frame->SetResequenceIndex(p.ResequenceIndex);
        program_.frame->SetLineIncrementIndex(p.LineIncrementIndex);
    } else {
        s.ResequenceIndex = p.ResequenceIndex;
        s.LineIncrementIndex = p.LineIncrementIndex;
        s.LineIncrement = IncrementOfIndex(p.LineIncrementIndex).value_or(10);
    }
}

bool frmQuillet::SaveProjectInformation(bool force) {
    ProgramState& s = program_.state;
    if (!s.ProjectChanged || s.ProjectFileName.empty()) return true;
    const WindowStack::Scope onStack(program_.stack);
    host_.HourGlassOn();
    DisplayMessage(program_, "Saving Settings... Please Wait", true, 2);
    if (program_.frame) program_.frame->SaveIniInformation(true, true);
    ClearMessage(program_);
    // A named tool project file is written whole (also the one Save As or the close question just
    // named, before any project was opened).
    s.ProjectOpen = true;
    if (!force) {
        const std::int32_t answer = program_.services.messageBox->Show("Save Project?", vbYesNo, "Open Project", 2);
        if (answer != kYes) {
            host_.HourGlassOff();
            return false;
        }
    }
    DisplayMessage(program_, "Saving Project... Please Wait", true, 2);
    ToolProject p;
    // The Visual Basic project as the tool project names it, while the window shows where that is.
    const std::string shown = txtProject_->text().toStdString();
    p.ProjectName = !storedProjectName_.empty() && shown == shownProjectName_ ? storedProjectName_ : shown;
    p.ResequenceIndex = s.ResequenceIndex;
    p.LineIncrementIndex = IncrementOfIndex(s.LineIncrementIndex) ? s.LineIncrementIndex : 0;
    p.PreCode = pre_->Selected();
    p.PostCode = post_->Selected();
    const bool saved = WriteToolProject(s.ProjectFileName, p);
    ClearMessage(program_);
    host_.HourGlassOff();
    if (!saved) {
        // The change stays marked, so closing asks again.
        const tovcore::IniFileState state = tovcore::CheckIniFile(s.ProjectFileName);
        std::string why = tovcore::IniFileStateText(state);
        if (state == tovcore::IniFileState::ReadOnly || state == tovcore::IniFileState::FolderReadOnly)
            why += ": make it writable, or save the project under another name with Save Project As";
        program_.services.messageBox->Show("The tool project could not be saved - " + s.ProjectFileName +
                                               (why.empty() ? "" : "\n\nThe file " + why + "."),
                                           vbOKOnly, "", 2);
        return false;
    }
    storedProjectName_ = p.ProjectName;
    shownProjectName_ = shown;
    if (program_.frame) program_.frame->Window()->SetCaption(Q(" - " + s.ProjectFileName));
    s.ProjectChanged = false;
    return true;
}

}  // namespace quillet::toolwindow
