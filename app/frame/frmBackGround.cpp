#include "app/frame/frmBackGround.h"

#include <algorithm>

#include <QAbstractButton>
#include <QActionGroup>
#include <QLabel>
#include <QScreen>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QMetaObject>
#include <QPixmap>
#include <QTimer>

#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/core/Settings.h"
#include "app/forms/FormServices.h"
#include "app/frame/ShellDocument.h"
#include "app/frame/Swatch.h"
#include "app/language/Language.h"
#include "app/resources/Resources.h"
#include "app/secondary/frmAbout.h"
#include "app/secondary/frmHelp.h"
#include "platform/paths.h"

namespace quillet {

namespace ui = tovcore::ui;

namespace {

tovcore::clsTovcore& Lib() { return tovcore::Global(); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The menu tree in order: parent, name, index, caption. The recent-project items follow mnuSep.
// The top-level menus' access keys differ from those of the tool window's buttons (Alt+A is Add
// Code, Alt+S Save, Alt+C Cancel): Colors is Alt+O, Settings Alt+T, About Alt+B.
struct MenuEntry {
    const char* parent;
    const char* name;
    int index;
    const char* caption;
};

constexpr MenuEntry kMenuTree[] = {
    {nullptr, "mnuFile", -1, "&File"},
    {"mnuFile", "mnuNewProject", -1, "New Project"},
    {"mnuFile", "mnuOpenProject", -1, "Open Project"},
    {"mnuFile", "mnuSaveProject", -1, "Save Project"},
    {"mnuFile", "mnuSaveProjectAs", -1, "Save Project As"},
    {"mnuFile", "mnuPrintAll", -1, "&Print All"},
    {"mnuFile", "mnuLineNumberIncrements", -1, "Line Number &Increment"},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 0, "10"},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 1, "20"},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 2, "30"},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 3, "40"},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 4, "50"},
    {"mnuLineNumberIncrements", "mnuLineNumberIncrement", 9, "100"},
    {"mnuFile", "LineNumberResequence", -1, "&Line Number Resequence"},
    {"LineNumberResequence", "mnuLineNumberResequence", 0, "Whole Project"},
    {"LineNumberResequence", "mnuLineNumberResequence", 1, "Module/Form/Class"},
    {"LineNumberResequence", "mnuLineNumberResequence", 2, "Sub/Function"},
    {"mnuFile", "mnuAddLineNumbers", -1, "&Add Line Numbers / Renumber"},
    {"mnuFile", "mnuRemoveLineNumbers", -1, "&Remove Line Numbers"},
    {"mnuFile", "mnuExit", -1, "Exit"},
    {"mnuFile", "mnuSep", -1, "---------- Recent Projects ------------"},
    {nullptr, "mnuColors", -1, "C&olors"},
    {"mnuColors", "mnuSelectFormColor", -1, "&Form Color"},
    {"mnuColors", "mnuSelectDisplayColor", -1, "&Display Color"},
    {"mnuColors", "mnuButtonTabColor", -1, "&Button and Tab Color"},
    {"mnuColors", "mnuButtonTabTextColor", -1, "Button And Tab Text Color"},
    {nullptr, "mnuView", -1, "&View"},
    {"mnuView", "mnuRefresh", -1, "&Refresh"},
    {nullptr, "mnuSettings", -1, "Se&ttings"},
    {"mnuSettings", "mnuCheckForUpdates", -1, "Check For Updates"},
    {nullptr, "mnurtfpopup", -1, "rtfpopup"},
    {"mnurtfpopup", "mnurtfSearch", -1, "Search"},
    {"mnurtfpopup", "mnurtfCopy", -1, "Copy"},
    {nullptr, "mnuViewLogs", -1, "&Logs"},
    {"mnuViewLogs", "mnuViewDebugLog", -1, "&Debug"},
    {"mnuViewLogs", "mnuViewErrorLog", -1, "&Error"},
    {"mnuViewLogs", "mnuViewLog", -1, "&Log"},
    {nullptr, "mnuHelp", -1, "&Help"},
    {"mnuHelp", "mnuOnlineSupportBoard", -1, "&Online Support Board"},
    {"mnuHelp", "mnuFeedback", -1, "&Feedback"},
    {"mnuHelp", "mnuInformation", -1, "Information"},
    {"mnuHelp", "mnuInstructions", -1, "Instructions"},
    {"mnuHelp", "mnuSubscribetoEmailUpdates", -1, "&Subscribe to Email Updates"},
    {"mnuHelp", "mnuUnsubscribefromEmailUpdates", -1, "&Unsubscribe From Email Updates"},
    {"mnuHelp", "mnuChangeEmailAddress", -1, "&Change Email Address"},
    {"mnuHelp", "mnuInstallerProblems", -1, "Installer Problems"},
    {"mnuHelp", "mnuQuillet", -1, "&Quillet on the Web"},
    {"mnuHelp", "mnuSoftwareUtilities", -1, "Software and Utilities"},
    {"mnuHelp", "mnuSupport", -1, "Software Support"},
    {"mnuHelp", "mnuFennick", -1, "Fennick"},
    {"mnuHelp", "mnuBrindle", -1, "Brindle"},
    {nullptr, "mnuAbout", -1, "A&bout"},
};

// The web pages of the Help menu. The program has no web site of its own, so no item has an
// address and every one of them stays hidden; an item given an address here is shown and opens it.
struct WebPage {
    const char* item;
    const char* address;
};
constexpr WebPage kWebPages[] = {
    {"mnuOnlineSupportBoard", ""}, {"mnuSubscribetoEmailUpdates", ""}, {"mnuUnsubscribefromEmailUpdates", ""},
    {"mnuChangeEmailAddress", ""}, {"mnuInstallerProblems", ""},      {"mnuQuillet", ""},
    {"mnuSoftwareUtilities", ""},  {"mnuSupport", ""},                {"mnuFennick", ""},
    {"mnuBrindle", ""},
};

std::string AddressOf(const char* item) {
    for (const WebPage& w : kWebPages)
        if (std::string_view(w.item) == item) return w.address;
    return "";
}

constexpr const char* kRecentEmptyText = "(none)";

// The four colours of the Colors menu: the scheme's member, its settings key, its menu item, the
// word of the colour dialog's title, and whether the window shows the busy pointer meanwhile.
struct ColorItem {
    std::int32_t ColorScheme::*color;
    const char* key;
    const char* menu;
    const char* word;
    bool hourglass;
};
constexpr ColorItem kColorItems[] = {
    {&ColorScheme::FormColor, "FormColor", "mnuSelectFormColor", "Form", true},
    {&ColorScheme::DisplayColor, "DisplayColor", "mnuSelectDisplayColor", "DisplayColor", true},
    {&ColorScheme::ButtonTabColor, "ButtonTabColor", "mnuButtonTabColor", "Button and Tab", false},
    {&ColorScheme::ButtonTabTextColor, "ButtonTabTextColor", "mnuButtonTabTextColor", "Button and Tab Text", false},
};

}  // namespace

// ---- initialise ---------------------------------------------------------------------------------

frmBackGround::frmBackGround(Program& program) : ui::Form("frmBackGround"), program_(program) {
    InitResources();
    SetTag("frmBackGround");
    SetCaption("Quillet");
    program_.forms.Add(this);
    program_.frame = this;

    picture1_ = new ui::PictureBox(this, "Picture1");
    picture1_->SetBackColor(0xFFFFFF);
    image1_ = new ui::PictureBox(picture1_, "Image1");
    image1_->SetTag("NoChange");
    image1_->SetBackColor(0xFFFFFF);
    logo_ = QPixmap(":/quillet/logo.png");
    image1_->SetPicture(logo_);
    SetAccessibleWhat(picture1_, "Background");
    SetAccessibleWhat(image1_, "Quillet logo");

    BuildMenus();
    BuildRecentItems();
    ConnectCommands();
    LoadLanguage(program_, this);
    NameControlsForAccessibility(this);

    connect(this, &ui::Form::FormResized, this, [this] { LayoutClient(); });
    connect(this, &ui::Form::FormQueryUnload, this, [this](int& cancel, int mode) { OnQueryUnload(cancel, mode); });
    connect(this, &ui::Form::FormUnload, this, [this](int& cancel) { OnUnload(cancel); });
    connect(&program_.stack, &WindowStack::Unwound, this, [this] {
        if (closePending_) CarryOutPendingClose();
    });
    LayoutClient();
}

frmBackGround::~frmBackGround() {
    // The tool window goes with the frame's children; nothing of the frame may answer it then.
    if (!tool_.isNull()) disconnect(tool_.data(), nullptr, this, nullptr);
    if (program_.frame == this) program_.frame = nullptr;
    program_.forms.Remove(this);
}

void frmBackGround::BuildMenus() {
    for (const MenuEntry& entry : kMenuTree) {
        ui::Menu* item = nullptr;
        if (!entry.parent) {
            item = new ui::Menu(this, entry.name, entry.index);
        } else {
            ui::Menu* parent = MenuItem(entry.parent);
            item = new ui::Menu(parent, entry.name, entry.index);
        }
        item->SetCaption(entry.caption);
        menus_.push_back(item);
    }
    mnuFile_ = MenuItem("mnuFile");
    mnuColors_ = MenuItem("mnuColors");
    mnurtfpopup_ = MenuItem("mnurtfpopup");
    SetAccessibleWhat(mnurtfpopup_, "Report");
    mnurtfpopup_->SetVisible(false);
    MenuItem("mnuSep")->SetEnabled(false);

    std::vector<int> increments, resequences;
    for (const IncrementItem& item : kIncrementItems) increments.push_back(item.index);
    for (int index = 0; index < kResequenceItems; ++index) resequences.push_back(index);
    MakeChoiceGroup("mnuLineNumberIncrement", increments, program_.state.LineIncrementIndex,
                    &frmBackGround::SetLineIncrementIndex);
    MakeChoiceGroup("mnuLineNumberResequence", resequences, program_.state.ResequenceIndex,
                    &frmBackGround::SetResequenceIndex);
    MenuItem("mnuCheckForUpdates")->SetChecked(program_.state.CheckForUpdates);
    for (const WebPage& w : kWebPages) MenuItem(w.item)->SetVisible(*w.address != '\0');
    // Feedback runs the Online Support Board command, so it goes with it.
    MenuItem("mnuFeedback")->SetVisible(!AddressOf("mnuOnlineSupportBoard").empty());
}

void frmBackGround::MakeChoiceGroup(const char* name, const std::vector<int>& indexes, int checked,
                                    void (frmBackGround::*choose)(int)) {
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (int index : indexes) {
        ui::Menu* item = MenuItem(name, index);
        item->SetChecked(index == checked);
        group->addAction(item);
        connect(item, &ui::Menu::Click, this, [this, index, choose] {
            (this->*choose)(index);
            // A choice belongs to the tool project of the tool window; with no tool window it is
            // only the choice (the next tool project opened brings its own).
            if (LoadedToolWindow()) program_.state.ProjectChanged = true;
        });
    }
}

void frmBackGround::BuildRecentItems() {
    const std::size_t shown = std::max<std::size_t>(1, recent_.size());
    while (recentItems_.size() < shown) {
        auto* item = new ui::Menu(mnuFile_, "mnuProjectList", static_cast<int>(recentItems_.size()));
        const int index = item->Index();
        connect(item, &ui::Menu::Click, this, [this, index] {
            const WindowStack::Scope onStack(program_.stack);
            mnuProjectList_Click(index);
        });
        recentItems_.push_back(item);
    }
    // Items beyond the list go (item 0 always stays).
    while (recentItems_.size() > shown) {
        delete recentItems_.back();
        recentItems_.pop_back();
    }
    for (std::size_t i = 0; i < recentItems_.size(); ++i) {
        ui::Menu* item = recentItems_[i];
        if (i < recent_.size()) {
            item->SetCaption(Q(MenuText(recent_[i])));
            item->setData(Q(recent_[i]));
        } else {
            item->SetCaption(kRecentEmptyText);
            item->setData(QString());
        }
    }
}

void frmBackGround::ConnectCommands() {
    // Every command but Exit runs on the window stack: a close asked for while it (or a box or
    // dialog of it) runs waits until it has returned.
    auto on = [this](const char* name, auto&& slot) {
        connect(MenuItem(name), &ui::Menu::Click, this, [this, slot] {
            const WindowStack::Scope onStack(program_.stack);
            slot();
        });
    };
    on("mnuNewProject", [this] {
        if (IToolWindow* tool = ToolWindow()) tool->NewProjectInformation();
    });
    on("mnuOpenProject", [this] {
        if (IToolWindow* tool = ToolWindow()) tool->OpenQuilletProject();
    });
    on("mnuSaveProject", [this] { mnuSaveProject_Click(); });
    on("mnuSaveProjectAs", [this] { SaveAs(); });
    on("mnuPrintAll", [this] {
        if (IToolWindow* tool = LoadedToolWindow()) tool->rtnPrintAll();
    });
    on("mnuAddLineNumbers", [this] {
        if (IToolWindow* tool = LoadedToolWindow()) tool->rtnAddLineNumbers();
    });
    on("mnuRemoveLineNumbers", [this] {
        if (IToolWindow* tool = LoadedToolWindow()) tool->rtnRemoveLineNumbers();
    });
    connect(MenuItem("mnuExit"), &ui::Menu::Click, this, [this] { Unload(); });
    for (int which = 0; which < static_cast<int>(std::size(kColorItems)); ++which)
        on(kColorItems[which].menu, [this, which] { OnColorChosen(which); });
    on("mnuRefresh", [this] { Refresh(); });
    on("mnuCheckForUpdates", [this] { ToggleCheckForUpdates(); });
    on("mnuViewDebugLog", [this] { mnuViewDebugLog_Click(); });
    on("mnuViewErrorLog", [this] { mnuViewErrorLog_Click(); });
    on("mnuViewLog", [this] { mnuViewLog_Click(); });
    on("mnuInformation", [this] { mnuInformation_Click(); });
    on("mnuInstructions", [this] { OpenInstructions(); });
    on("mnuAbout", [this] { ShowAbout(program_); });
    for (const WebPage& w : kWebPages) {
        const char* item = w.item;
        on(item, [this, item] { OpenWebPage(item); });
    }
    on("mnuFeedback", [this] { OpenWebPage("mnuOnlineSupportBoard"); });
}

ui::Menu* frmBackGround::MenuItem(const QString& name, int index) const {
    for (ui::Menu* m : menus_)
        if (m->Name() == name && m->Index() == index) return m;
    for (ui::Menu* m : recentItems_)
        if (m->Name() == name && m->Index() == index) return m;
    return nullptr;
}

QWidget* frmBackGround::ClientArea() { return Client(); }

void frmBackGround::LayoutClient() {
    QWidget* client = Client();
    const QRect area = client->rect();
    picture1_->setGeometry(area);
    const QSize size = logo_.isNull() ? QSize(1, 1) : logo_.size();
    image1_->setGeometry((area.width() - size.width()) / 2, (area.height() - size.height()) / 2, size.width(),
                         size.height());
    if (tool_) tool_->setGeometry(area);
}

// ---- load ---------------------------------------------------------------------------------------

void frmBackGround::Load() {
    ProgramState& s = program_.state;
    const std::string& ini = s.IniFileName;
    GetIniInformation(true, false);
    RestoreFormPosition(this, ini);
    SetCaption(Q("Quillet - " + Lib().GetVersion()));
    picture1_->SetBackColor(0xE0E0E0);
    image1_->SetBackColor(0xE0E0E0);

    ReadIniBool("Quillet", "Debug", true, ini);
    ReadIniBool("Quillet", "Log", true, ini);
    ReadIniBool("Quillet", "Error", true, ini);
    ColorScheme& c = s.colors;
    const ColorScheme firstStart;
    for (const ColorItem& item : kColorItems)
        c.*item.color = ReadIniNumber("Quillet", item.key, firstStart.*item.color, ini);
    Lib().ShowButtonTabColor(this, c.ButtonTabColor);
    Lib().ShowButtonTabTextColor(this, c.ButtonTabTextColor);
    MenuItem("mnuCheckForUpdates")->SetChecked(s.CheckForUpdates);

    // The folder of the last tool project survives across starts: read before the first save.
    const std::string home = s.objSpecialFolders.UserProfileFolder;
    if (s.LastProjectFolder.empty()) s.LastProjectFolder = ReadIniText("Quillet", "LastProjectFolder", home, ini);

    DisableSelections();
    GetRecentProjects();
    SaveIniInformation(true, false);
    ChangeMenuSelectColors();
    UpdateMenus();
    SetWindowState(2);
    show();
}

void frmBackGround::GetIniInformation(bool frame, bool tool) {
    const std::string& ini = program_.state.IniFileName;
    ReadIniText("Errors", "ErrorNo", "0", ini);
    if (tool) {
        // The tool window fills the client area: its stored place is read (the keys stay in the
        // file) but the layout decides where it goes.
        for (const char* key : {"Left", "Top", "Width", "Height"}) ReadIniText("Screen", key, "", ini);
        ReadIniText("Screen", "WindowState", "2", ini);
    }
    if (frame) {
        SetWindowState(0);
        const int left = ReadIniNumber("BScreen", "Left", Left(), ini);
        const int top = ReadIniNumber("BScreen", "Top", Top(), ini);
        std::int32_t width = ReadIniNumber("BScreen", "Width", Width(), ini);
        std::int32_t height = ReadIniNumber("BScreen", "Height", Height(), ini);
        if (width > 0 && height > 0) {
            FitSizeToScreen(width, height);
            Move(left, top, width, height);
        }
        const int state = ReadIniNumber("BScreen", "WindowState", 2, ini);
        SetWindowState(state >= 0 && state <= 2 ? state : 2);
        if (WindowState() == 0) Lib().CenterObject(this);
    }
}

void frmBackGround::SaveIniInformation(bool frame, bool tool) {
    const ProgramState& s = program_.state;
    const std::string& ini = s.IniFileName;
    WriteIniNumber("Quillet", "FormColor", s.colors.FormColor, ini);
    WriteIniNumber("Quillet", "DisplayColor", s.colors.DisplayColor, ini);
    auto writePlace = [&ini](const char* section, int left, int top, int width, int height) {
        WriteIniNumber(section, "Left", left, ini);
        WriteIniNumber(section, "Top", top, ini);
        WriteIniNumber(section, "Width", width, ini);
        WriteIniNumber(section, "Height", height, ini);
        WriteIniText(section, "WindowState", "0", ini);
    };
    if (IToolWindow* loaded = tool ? LoadedToolWindow() : nullptr) {
        ui::Form* window = loaded->Window();
        writePlace("Screen", window->Left(), window->Top(), window->Width(), window->Height());
    }
    if (frame) writePlace("BScreen", Left(), Top(), Width(), Height());
    // An empty folder is never written: writing "" would drop the stored one.
    if (!s.LastProjectFolder.empty()) WriteIniText("Quillet", "LastProjectFolder", s.LastProjectFolder, ini);
    WriteIniBool("Quillet", "CheckForUpdates", s.CheckForUpdates, ini);
}

// ---- menu states --------------------------------------------------------------------------------

MenuInputs frmBackGround::CurrentMenuInputs() const {
    MenuInputs in;
    IToolWindow* tool = LoadedToolWindow();
    in.toolWindowLoaded = tool != nullptr;
    in.projectLoaded = tool && tool->ProjectLoaded();
    in.busy = controlsDisabled_ || (tool && tool->Busy());
    const ProgramState& s = program_.state;
    in.debugLogOn = platform::IsRegularFile(s.DebugLogFile);
    in.errorLogOn = platform::IsRegularFile(s.ErrorLogFile);
    in.runLogOn = platform::IsRegularFile(s.LogFile);
    return in;
}

void frmBackGround::UpdateMenus() {
    const MenuInputs in = CurrentMenuInputs();
    const MenuStates st = ComputeMenuStates(in);
    for (ui::Menu* m : menus_) m->SetEnabled(st.menusEnabled);
    for (ui::Menu* m : recentItems_) m->SetEnabled(st.menusEnabled && !m->data().toString().isEmpty());
    MenuItem("mnuSep")->SetEnabled(false);
    MenuItem("mnuSaveProject")->SetEnabled(st.saveEnabled);
    MenuItem("mnuSaveProjectAs")->SetEnabled(st.saveEnabled);
    mnuColors_->SetVisible(st.colorsVisible);
    MenuItem("mnuAddLineNumbers")->SetEnabled(st.lineNumbersEnabled);
    MenuItem("mnuRemoveLineNumbers")->SetEnabled(st.lineNumbersEnabled);
    MenuItem("mnuPrintAll")->SetEnabled(st.printAllEnabled);
    MenuItem("mnuViewDebugLog")->SetEnabled(st.debugLogEnabled);
    MenuItem("mnuViewErrorLog")->SetEnabled(st.errorLogEnabled);
    MenuItem("mnuViewLog")->SetEnabled(st.runLogEnabled);
    if (!in.busy && closePending_) CarryOutPendingClose();
}

void frmBackGround::DisableSelections() {
    MenuItem("mnuSaveProject")->SetEnabled(false);
    MenuItem("mnuSaveProjectAs")->SetEnabled(false);
}

void frmBackGround::EnableSelections() {
    UpdateMenus();
    ChangeMenuSelectColors();
}

void frmBackGround::SetControlsEnabled(bool enabled) {
    controlsDisabled_ = !enabled;
    picture1_->SetEnabled(enabled);
    UpdateMenus();
}

// ---- recent projects ----------------------------------------------------------------------------

void frmBackGround::GetRecentProjects() {
    const std::string& ini = program_.state.IniFileName;
    recentMax_ = ClampRecentMax(ReadIniNumber("Projects", "RecentProjectMax", 10, ini));
    std::vector<std::string> stored;
    for (int n = 1; n <= recentMax_; ++n) stored.push_back(ReadIniText("Projects", "Project" + std::to_string(n), "", ini));
    recent_ = RecentFromStored(stored, recentMax_);
    BuildRecentItems();
    UpdateMenus();
}

void frmBackGround::ProcessMenuList() {
    const std::string& ini = program_.state.IniFileName;
    recent_ = PutAtHead(recent_, program_.state.ProjectFileName, recentMax_);
    BuildRecentItems();
    Lib().WriteIniSection("Projects", "", ini);
    WriteIniNumber("Projects", "RecentProjectMax", recentMax_, ini);
    for (std::size_t i = 0; i < recent_.size(); ++i)
        WriteIniText("Projects", "Project" + std::to_string(i + 1), recent_[i], ini);
    UpdateMenus();
}

void frmBackGround::mnuProjectList_Click(int index) {
    if (index < 0 || index >= static_cast<int>(recent_.size())) return;  // the empty item does nothing
    const std::string path = recent_[static_cast<std::size_t>(index)];
    if (!platform::IsRegularFile(path)) {
        const std::int32_t answer = program_.services.messageBox->Show(
            path + "\r\n\r\nThis project file no longer exists. Remove it from the list of recent projects?",
            vbYesNo | vbQuestion, "Recent Projects", 2);
        if (answer == kYes) {
            recent_.erase(recent_.begin() + index);
            const std::string keep = program_.state.ProjectFileName;
            program_.state.ProjectFileName.clear();
            ProcessMenuList();
            program_.state.ProjectFileName = keep;
        }
        return;
    }
    IToolWindow* tool = ToolWindow();
    if (!tool) return;
    // A change of the current tool project that could not be saved is not dropped for another.
    if (!tool->SaveProjectInformation(true)) return;
    // The tool project stays the current one unless the chosen file is opened (it may be no tool
    // project at all, or the new one made for a Visual Basic project may not be named).
    const std::string keep = program_.state.ProjectFileName;
    program_.state.ProjectFileName = path;
    if (!tool->GetProjectInformation(2)) {
        if (program_.state.ProjectFileName == path) program_.state.ProjectFileName = keep;
        return;
    }
    ProcessMenuList();
}

// ---- file commands ------------------------------------------------------------------------------

void frmBackGround::mnuSaveProject_Click() {
    if (IToolWindow* tool = LoadedToolWindow()) tool->SaveProjectInformation(true);
    Lib().HourGlassOff(nullptr);
}

void frmBackGround::SaveAs() {
    IToolWindow* tool = LoadedToolWindow();
    if (!tool) return;
    const std::string path = tool->DialogProjectBrowse(3, false);
    // A cancelled dialog keeps the current tool project.
    if (path.empty()) return;
    ProgramState& s = program_.state;
    const std::string before = s.ProjectFileName;
    const bool changedBefore = s.ProjectChanged;
    s.ProjectFileName = path;
    // The new file differs from what is on disk (nothing is), so the save writes it.
    s.ProjectChanged = true;
    if (!tool->SaveProjectInformation(true)) {
        // Not written (the user was told why): the tool project stays the one it was, with its
        // change still marked.
        s.ProjectFileName = before;
        s.ProjectChanged = changedBefore;
        return;
    }
    ProcessMenuList();
}

void frmBackGround::SetLineIncrementIndex(int index) {
    if (!IncrementOfIndex(index)) index = 0;
    MenuItem("mnuLineNumberIncrement", index)->SetChecked(true);
    program_.state.LineIncrementIndex = index;
    program_.state.LineIncrement = *IncrementOfIndex(index);
}

void frmBackGround::SetResequenceIndex(int index) {
    if (index < 0 || index >= kResequenceItems) index = 0;
    MenuItem("mnuLineNumberResequence", index)->SetChecked(true);
    program_.state.ResequenceIndex = index;
}

// ---- the tool window ----------------------------------------------------------------------------

IToolWindow* frmBackGround::LoadedToolWindow() const {
    if (!toolSeam_ || tool_.isNull() || !program_.forms.Contains(tool_.data())) return nullptr;
    return toolSeam_;
}

IToolWindow* frmBackGround::ToolWindow() {
    if (IToolWindow* loaded = LoadedToolWindow()) return loaded;
    if (!program_.makeToolWindow) return nullptr;
    IToolWindow* made = program_.makeToolWindow(program_);
    if (!made) return nullptr;
    ui::Form* form = made->Window();
    toolSeam_ = made;
    tool_ = form;
    form->setParent(Client(), Qt::Widget);
    form->setGeometry(Client()->rect());
    connect(form, &QObject::destroyed, this, [this] {
        toolSeam_ = nullptr;
        tool_.clear();
        picture1_->show();
        FitMinimumSize();
        UpdateMenus();
    });
    // The frame never gets smaller than the tool window's controls need, so no caption is cut and
    // no control covers another; the need changes with captions (the Print button names its tab).
    toolClient_ = form->Client();
    toolClient_->installEventFilter(this);
    form->show();
    picture1_->hide();
    KeepAccessKeysApart(form);
    FitMinimumSize();
    UpdateMenus();
    return made;
}

void frmBackGround::FitMinimumSize() {
    if (!tool_ || !toolClient_ || !toolClient_->layout()) {
        setMinimumSize(0, 0);
        return;
    }
    QSize need = toolClient_->minimumSizeHint();
    need += size() - Client()->size();  // the menu bar
    // A screen smaller than that still gets a window it can hold.
    const QScreen* screen = this->screen();
    if (screen) need = need.boundedTo(screen->availableGeometry().size());
    setMinimumSize(need.expandedTo(QSize(0, 0)));
    // A window that grew to that size is moved back onto the screen.
    if (screen && isWindow() && !isFullScreen()) {
        const QRect area = screen->availableGeometry();
        QRect outer = frameGeometry();
        outer.moveRight(std::min(outer.right(), area.right()));
        outer.moveBottom(std::min(outer.bottom(), area.bottom()));
        outer.moveLeft(std::max(outer.left(), area.left()));
        outer.moveTop(std::max(outer.top(), area.top()));
        if (outer.topLeft() != frameGeometry().topLeft()) move(outer.topLeft());
    }
}

// One key, one action: a top-level menu whose access key repeats one of the tool window's (a
// language file's captions can make them meet) takes another letter of its caption, so that each
// Alt letter does one thing at the first press.
void frmBackGround::KeepAccessKeysApart(QWidget* tool) {
    QString taken;
    for (QAbstractButton* button : tool->findChildren<QAbstractButton*>()) {
        const QChar key = AccessKeyOf(button->text());
        if (!key.isNull()) taken += key;
    }
    for (QLabel* label : tool->findChildren<QLabel*>()) {
        const QChar key = label->buddy() ? AccessKeyOf(label->text()) : QChar();
        if (!key.isNull()) taken += key;
    }
    for (ui::Menu* item : menus_) {
        if (item->parent() != this) continue;  // the top-level menus only
        const QString caption = MoveAccessKey(item->Caption(), taken);
        if (caption != item->Caption()) item->SetCaption(caption);
        const QChar key = AccessKeyOf(caption);
        if (!key.isNull()) taken += key;
    }
}

bool frmBackGround::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LayoutRequest && watched == toolClient_) FitMinimumSize();
    return ui::Form::eventFilter(watched, event);
}

// ---- colours ------------------------------------------------------------------------------------

void frmBackGround::ChangeMenuSelectColors() {
    const ColorScheme& c = program_.state.colors;
    for (const ColorItem& item : kColorItems) MenuItem(item.menu)->setIcon(SwatchIcon(c.*item.color));
}

void frmBackGround::OnColorChosen(int which) {
    ProgramState& s = program_.state;
    const ColorItem& cmd = kColorItems[which];
    if (cmd.hourglass) Lib().HourGlassOn(this);
    std::int32_t& color = s.colors.*cmd.color;
    color = SelectColor(program_, this, cmd.word, color);
    WriteIniNumber("Quillet", cmd.key, color, s.IniFileName);
    ChangeMenuSelectColors();
    // Every other loaded window is painted again in the new scheme; the frame keeps its own
    // background and only takes the form colour where the form colour applies.
    for (ui::Form* window : program_.forms.List()) {
        if (window == this) {
            if (which == 0) Lib().ShowFormColor(this, color);
            continue;
        }
        SkinForm(program_, window);
        QCoreApplication::processEvents();
    }
    if (which == 3)
        if (IToolWindow* tool = LoadedToolWindow()) tool->ChangeLabelBackColor();
    if (cmd.hourglass) Lib().HourGlassOff(this);
}

// ---- settings, view, logs, help ------------------------------------------------------------------

void frmBackGround::ToggleCheckForUpdates() {
    ProgramState& s = program_.state;
    s.CheckForUpdates = !s.CheckForUpdates;
    MenuItem("mnuCheckForUpdates")->SetChecked(s.CheckForUpdates);
    WriteIniBool("Quillet", "CheckForUpdates", s.CheckForUpdates, s.IniFileName);
}

void frmBackGround::Refresh() {
    const std::vector<ui::Form*> windows = program_.forms.List();
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 1; i < windows.size(); ++i) {
            ui::Form* w = windows[i];
            // A window without the operation is passed over (asking Qt to call it would warn).
            if (program_.forms.Contains(w) && w->isVisible() &&
                w->metaObject()->indexOfMethod("ResizeForm()") >= 0)
                QMetaObject::invokeMethod(w, "ResizeForm");
        }
}

void frmBackGround::OpenLog(const std::string& path, const char* what) {
    if (!platform::IsRegularFile(path)) {
        program_.services.messageBox->Show(std::string("The ") + what + " log has not been started.", vbOKOnly, "", 2);
        return;
    }
    if (!program_.services.launcher->OpenInEditor(path))
        program_.services.messageBox->Show("No program could be started to show " + path, vbOKOnly, "", 2);
}

void frmBackGround::mnuViewDebugLog_Click() { OpenLog(program_.state.DebugLogFile, "debug"); }
void frmBackGround::mnuViewErrorLog_Click() { OpenLog(program_.state.ErrorLogFile, "error"); }
void frmBackGround::mnuViewLog_Click() { OpenLog(program_.state.LogFile, "run"); }

void frmBackGround::mnuInformation_Click() { ShowHelp(program_); }

void frmBackGround::OpenWebPage(const char* item) {
    const std::string address = AddressOf(item);
    if (!address.empty()) ShellDocument(program_, address, true);
}

void frmBackGround::OpenInstructions() {
    ShellDocument(program_, Lib().FixPath(program_.state.ProgramFolder) + "Quillet_Instructions.pdf", false);
}

QMenu* frmBackGround::ReportPopupMenu() { return mnurtfpopup_->SubMenu(); }

// ---- activate and close -------------------------------------------------------------------------

bool frmBackGround::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && program_.services.screen &&
        program_.services.screen->ResolutionChanged()) {
        Refresh();
        program_.services.messageBox->Show("Resolution Has Changed", vbOKOnly, "", 2);
    }
    return ui::Form::event(e);
}

bool frmBackGround::CloseMustWait() const { return program_.stack.Active() || CurrentMenuInputs().busy; }

void frmBackGround::OnQueryUnload(int& cancel, int) {
    if (CloseMustWait()) {
        // Never from under a command, a message box or a dialog of a window (the title bar, Exit
        // and the accessibility interface reach the frame while one shows): a long operation is
        // asked to stop, and the close follows once everything has returned.
        if (CurrentMenuInputs().busy) program_.state.CancelRequested = true;
        closePending_ = true;
        cancel = 1;
        return;
    }
    if (IToolWindow* loaded = LoadedToolWindow()) {
        if (!program_.forms.Unload(loaded->Window())) {
            cancel = 1;
            return;
        }
    }
}

void frmBackGround::OnUnload(int&) { UnloadAllForms(program_, this); }

void frmBackGround::CarryOutPendingClose() {
    if (closing_) return;
    closing_ = true;
    QTimer::singleShot(0, this, [this] {
        closing_ = false;
        if (!closePending_) return;
        if (CloseMustWait()) return;  // tried again as it returns
        closePending_ = false;
        // Kept open (Cancel on the save question): the cancel that stopped the operation is spent.
        if (!Unload()) program_.state.CancelRequested = false;
    });
}

}  // namespace quillet
