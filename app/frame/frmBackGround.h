// frmBackGround: the program's frame window. It holds the menu bar of the whole program, the logo
// strip, and (once a project command has made it) the tool window filling its client area. Its
// menu states come from one function of the program's state (ComputeMenuStates).
#pragma once

#include <string>
#include <vector>

#include <QPixmap>
#include <QPointer>

#include <tovcore/controls.h>

#include "app/core/WindowSeams.h"
#include "app/frame/FrameRules.h"

namespace quillet {

struct Program;

class frmBackGround : public tovcore::ui::Form, public IFrame {
    Q_OBJECT

public:
    // Builds the window and its menus and applies the language (the window's initialise); Load
    // runs the rest of its set-up. The window registers itself in the program's loaded windows.
    explicit frmBackGround(Program& program);
    ~frmBackGround() override;

    // The frame's load: place, caption, colours, recent list, menu states, settings written; then
    // it is shown maximised.
    void Load();

    // IFrame
    tovcore::ui::Form* Window() override { return this; }
    QWidget* ClientArea() override;
    void EnableSelections() override;
    void ProcessMenuList() override;
    void SaveIniInformation(bool frame, bool tool) override;
    void UpdateMenus() override;
    void SetControlsEnabled(bool enabled) override;
    void SetLineIncrementIndex(int index) override;
    void SetResequenceIndex(int index) override;
    void mnuSaveProject_Click() override;
    QMenu* ReportPopupMenu() override;
    void mnuInformation_Click() override;

    // Further members of the frame.
    void GetRecentProjects();
    void DisableSelections();
    void GetIniInformation(bool frame, bool tool);
    void ChangeMenuSelectColors();
    void mnuViewDebugLog_Click();
    void mnuViewErrorLog_Click();
    void mnuViewLog_Click();
    void mnuProjectList_Click(int index);
    void Refresh();

    // The tool window, made (inside the client area) when it is not loaded; null when this build
    // has none.
    IToolWindow* ToolWindow();
    // The tool window when it is loaded, without making it.
    IToolWindow* LoadedToolWindow() const;

    // The recent tool projects, most recent first, and the list's length limit.
    const std::vector<std::string>& RecentProjects() const { return recent_; }
    int RecentProjectMax() const { return recentMax_; }
    // A menu item by name (and index for an array member); null when there is none.
    tovcore::ui::Menu* MenuItem(const QString& name, int index = -1) const;
    // The inputs the menu states were last computed from.
    MenuInputs CurrentMenuInputs() const;
    // A close was asked for during a long operation and waits for its end.
    bool ClosePending() const override { return closePending_; }

private:
    void BuildMenus();
    // An exclusive group of the checkable items `name`(index): `checked` is checked; choosing an
    // item calls `choose` with its index and marks the tool project changed.
    void MakeChoiceGroup(const char* name, const std::vector<int>& indexes, int checked,
                         void (frmBackGround::*choose)(int));
    void BuildRecentItems();
    void ConnectCommands();
    void LayoutClient();
    void FitMinimumSize();
    void KeepAccessKeysApart(QWidget* tool);
    void OnQueryUnload(int& cancel, int mode);
    void OnUnload(int& cancel);
    void OnColorChosen(int which);
    void SaveAs();
    void ToggleCheckForUpdates();
    void OpenLog(const std::string& path, const char* what);
    void OpenWebPage(const char* item);
    void OpenInstructions();
    void CarryOutPendingClose();
    // A close asked for now is put off: something of a window is on the stack, or a long
    // operation runs.
    bool CloseMustWait() const;

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    Program& program_;
    tovcore::ui::PictureBox* picture1_ = nullptr;
    tovcore::ui::PictureBox* image1_ = nullptr;
    QPixmap logo_;
    std::vector<tovcore::ui::Menu*> menus_;
    std::vector<tovcore::ui::Menu*> recentItems_;
    tovcore::ui::Menu* mnuFile_ = nullptr;
    tovcore::ui::Menu* mnuColors_ = nullptr;
    tovcore::ui::Menu* mnurtfpopup_ = nullptr;
    QPointer<QWidget> tool_;  // the tool window (held as a widget: it may be part way destroyed)
    IToolWindow* toolSeam_ = nullptr;
    QPointer<QWidget> toolClient_;  // the area holding the tool window's controls
    std::vector<std::string> recent_;
    int recentMax_ = 10;
    bool controlsDisabled_ = false;
    bool closePending_ = false;
    bool closing_ = false;
};

}  // namespace quillet
