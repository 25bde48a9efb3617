// The two seams between the frame and the tool window that lives inside it. The frame implements
// IFrame; the tool window implements IToolWindow. Each side reaches the other only through these,
// so either can be replaced by a fake in tests.
#pragma once

#include <string>

class QMenu;
class QWidget;

namespace tovcore::ui {
class Form;
}

namespace quillet {

// What the frame offers the tool window (and the other windows).
class IFrame {
public:
    virtual ~IFrame() = default;
    // The frame window itself.
    virtual tovcore::ui::Form* Window() = 0;
    // The area the tool window fills (it resizes with the frame).
    virtual QWidget* ClientArea() = 0;

    // The tool window has loaded: Save items enabled, Colors menu shown with its swatches.
    virtual void EnableSelections() = 0;
    // Puts the current tool project (ProgramState::ProjectFileName) at the head of the recent list
    // and stores the list.
    virtual void ProcessMenuList() = 0;
    // Writes the colours, the places of the frame (frame flag) and of the tool window (tool flag),
    // the last project folder and the update switch into the settings file.
    virtual void SaveIniInformation(bool frame, bool tool) = 0;
    // Recomputes every menu state from the program's state and the tool window's answers
    // (ProjectLoaded, Busy, the log paths). Call it after changing any of them.
    virtual void UpdateMenus() = 0;
    // Every control and menu of the frame off (false) or back on (true) around a long operation
    // (the menus recomputed as UpdateMenus does); see DisableFormControls. A close asked for
    // meanwhile is carried out after `true`, once control is back in the event loop.
    virtual void SetControlsEnabled(bool enabled) = 0;
    // Checks one item of the increment or resequence group (exclusive) and updates the program
    // state; an index that names no item checks the first.
    virtual void SetLineIncrementIndex(int index) = 0;
    virtual void SetResequenceIndex(int index) = 0;
    // The Save Project command (also run by Add Code).
    virtual void mnuSaveProject_Click() = 0;
    // The pop-up menu with Search and Copy shown over the report boxes.
    virtual QMenu* ReportPopupMenu() = 0;
    // Shows the help window.
    virtual void mnuInformation_Click() = 0;
    // The program was asked to close while a long operation, or a command, box or dialog of a
    // window, was on the stack (a long operation is being cancelled): the close, with its question
    // about the tool project, follows once everything has unwound (WindowStack::Unwound).
    virtual bool ClosePending() const = 0;
};

// What the frame calls on the tool window. The tool window is a tovcore::ui::Form tagged
// "frmQuillet", made on first use by Program::makeToolWindow and placed in IFrame::ClientArea().
// Closing goes through the form itself: the frame unloads it with Forms::Unload, so its
// FormQueryUnload handler asks the close question (AskSaveOnClose) and may keep it, and its
// FormUnload handler saves as answered (and keeps it when that save fails). Neither side goes
// while anything of a window is on the stack (WindowStack): the close waits for it.
class IToolWindow {
public:
    virtual ~IToolWindow() = default;
    virtual tovcore::ui::Form* Window() = 0;

    // Tool project commands (the frame's File menu and recent list).
    virtual void NewProjectInformation() = 0;
    virtual void OpenQuilletProject() = 0;
    // mode 1 new, 2 the one ProjectFileName names, 3 open; returns whether a project was opened.
    virtual bool GetProjectInformation(int mode) = 0;
    // Saves when the tool project changed; false when a save was due and did not happen (the
    // user said No, or the file could not be written: the user was told), so the change is kept.
    virtual bool SaveProjectInformation(bool force) = 0;
    // The tool project file dialog (mode 1 new, 3 open/save as; openDialog picks the open or the
    // save dialog); the chosen path or "".
    virtual std::string DialogProjectBrowse(int mode, bool openDialog) = 0;

    // Line numbering of the loaded project.
    virtual void rtnAddLineNumbers() = 0;
    virtual void rtnRemoveLineNumbers() = 0;

    // Prints every tab that has content, in one job.
    virtual void rtnPrintAll() = 0;

    // The label text colour follows ButtonTabTextColor.
    virtual void ChangeLabelBackColor() = 0;

    // State the frame's menus follow.
    virtual bool ProjectLoaded() const = 0;  // a project is completely loaded
    virtual bool Busy() const = 0;           // a long operation runs
};

}  // namespace quillet
