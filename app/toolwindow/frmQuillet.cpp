// frmQuillet: controls and layout, life cycle, tabs, the project tree's events, log switches and
// control states.
#include "app/toolwindow/frmQuillet.h"

#include <algorithm>

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/core/Settings.h"
#include "app/forms/FormServices.h"
#include "app/language/Language.h"
#include "app/reports/ReportBoxes.h"
#include "app/secondary/frmView.h"
#include "app/startup/AppIdentity.h"
#include "app/toolwindow/SnippetEditor.h"
#include "app/toolwindow/SnippetPanel.h"
#include "app/toolwindow/ToolRules.h"
#include "app/views/NodeDisabler.h"
#include "app/views/TreeIcons.h"
#include "app/views/TreeModel.h"
#include "engine/addcode.h"
#include "platform/text.h"

namespace quillet::toolwindow {

namespace ui = tovcore::ui;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* kTabCaptions[] = {"App Functions",    "Called Routines",   "Module Definitions",
                                        "Form Definitions", "Class Definitions", "API's"};
constexpr const char* kReportBoxNames[] = {"rtfModules", "rtfForms", "rtfClasses", "rtfAPIs"};
// Log switches: settings key, caption.
constexpr const char* kLogKeys[] = {"Debug", "Error", "Log"};
constexpr const char* kLogLabels[][2] = {{"Label8", "Debug"}, {"Label7", "Error"}, {"Label4", "Log"}};
constexpr const char* kPlaceholders = "~Module~,~Form~,~Class~,~Procedure~,~Sub~,~ProcStart~,~ProcEnd~";

// The page margin inside the tab control, in pixels.
constexpr int kPageMargin = 2;

ui::MyButton* MakeButton(QWidget* container, const char* name, const char* caption) {
    auto* b = new ui::MyButton(container, name);
    b->SetCaption(caption);
    return b;
}

// A frame that only groups: no border, no caption. (No style sheet: one on a container makes Qt
// ignore the palettes that the colour commands give the controls inside it.)
ui::Frame* PlainFrame(QWidget* container, const char* name) {
    auto* f = new ui::Frame(container, name);
    f->SetBorderStyle(0);
    return f;
}

}  // namespace

frmQuillet::frmQuillet(Program& program)
    : ui::Form("frmQuillet", program.frame ? program.frame->ClientArea() : nullptr), program_(program),
      host_(program, *this), tabs_{program, state_, reports_, this} {
    // Form_Initialize: the window carries its own name in its tag, so IsFormLoaded finds it.
    SetTag("frmQuillet");
    program_.forms.Add(this);
    SetCaption("Quillet");
    viewer_ = [this](const std::string& path, std::int32_t line) { ShowFileInViewer(program_, path, line); };
    BuildControls();
    LoadLanguage(program_, this);
    FitMinimumWidths();
    connect(this, &ui::Form::FormQueryUnload, this, &frmQuillet::QueryUnload);
    connect(this, &ui::Form::FormUnload, this, &frmQuillet::Unload);
    connect(this, &ui::Form::FormShown, this, [this] {
        SkinForm(program_, this);
        KeepKeyboardInWindow(false);
    });
    // A close of the window put off while its work was on the stack follows once it has returned.
    connect(&program_.stack, &WindowStack::Unwound, this, [this] {
        if (!exitPending_ || Busy() || program_.stack.Active()) return;
        exitPending_ = false;
        if (!program_.forms.Unload(this)) program_.state.CancelRequested = false;
    });
    Form_Load();
}

frmQuillet::~frmQuillet() {
    if (statusGoesOnInput_) qApp->removeEventFilter(this);
    // Controls that lose the focus while they go must not reach the window's handlers.
    for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
    if (projectModel_) projectModel_->BeginFill();
    if (routinesModel_) routinesModel_->BeginFill();
    program_.forms.Remove(this);
}

// ---- controls and layout -------------------------------------------------------------------

// The buttons of the bottom strip are at least 96 pixels wide and never narrower than their
// captions (a language file's, or the Print button's that names its tab); the tab strip is wide
// enough for its widest caption (in bold, as the tab shown) on every tab.
void frmQuillet::FitMinimumWidths() {
    // A caption longer than any designed one (a language file's) is cut rather than pushing the
    // window past the screen.
    constexpr int kWidestButton = 240, kWidestTab = 180;
    for (ui::MyButton* b : {cmdAddCode_, cmdUndoLastChange_, cmdPrint_, cmdSave_, cmdCancel_, cmdExit_})
        b->setMinimumWidth(std::clamp(b->sizeHint().width(), 96, kWidestButton));
    QFont bold = sstab_->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int widest = 0;
    for (int i = 0; i < kTabCount; ++i) {
        QString caption = sstab_->TabCaption(i);
        caption.remove('&');
        widest = std::max(widest, std::min(metrics.horizontalAdvance(caption), kWidestTab));
    }
    fraSSTab_->setMinimumWidth(kTabCount * (widest + 16));
}

void frmQuillet::BuildControls() {
    QWidget* client = Client();
    auto* outer = new QVBoxLayout(client);
    outer->setContentsMargins(0, 0, 0, 0);
    fraQuillet_ = PlainFrame(this, "fraQuillet");
    outer->addWidget(fraQuillet_);
    auto* main = new QVBoxLayout(fraQuillet_);
    main->setContentsMargins(6, 4, 6, 4);
    main->setSpacing(4);

    // Upper panel: the project path and the log switches, then the snippet choice.
    SetAccessibleWhat(fraQuillet_, "Tool window");
    Picture2_ = new ui::PictureBox(fraQuillet_, "Picture2");
    Picture2_->SetBackColor(ui::vbButtonFace);
    SetAccessibleWhat(Picture2_, "Project and snippets");
    main->addWidget(Picture2_);
    auto* upper = new QGridLayout(Picture2_);
    upper->setContentsMargins(0, 0, 0, 0);
    upper->setHorizontalSpacing(8);
    upper->setVerticalSpacing(4);

    fraProjects_ = new ui::Frame(Picture2_, "fraProjects");
    fraProjects_->SetCaption("VBP/VBG Projects");
    auto* projects = new QHBoxLayout(fraProjects_);
    projects->setContentsMargins(6, 2, 6, 4);
    txtProject_ = new ui::TextBox(fraProjects_, "txtProject");
    cmdBrowse_ = MakeButton(fraProjects_, "cmdBrowse", "...");
    SetAccessibleWhat(cmdBrowse_, "Browse");
    cmdBrowse_->setToolTip(tr("Choose the Visual Basic project or group"));
    projects->addWidget(txtProject_, 1);
    projects->addWidget(cmdBrowse_);
    upper->addWidget(fraProjects_, 0, 0);

    auto* logs = new QWidget(Picture2_);
    logs->setObjectName("Logs");
    auto* logRow = new QHBoxLayout(logs);
    logRow->setContentsMargins(0, 8, 0, 0);
    lblLogs_ = new ui::Label(logs, "lblLogs");
    lblLogs_->SetCaption("Logs");
    lblLogs_->SetBackStyle(0);
    logRow->addWidget(lblLogs_);
    for (int i = 0; i < 3; ++i) {
        auto* box = new ui::CheckBox(logs, "chkLog", i);
        auto* label = new ui::Label(logs, kLogLabels[i][0]);
        label->SetCaption(kLogLabels[i][1]);
        label->SetBackStyle(0);
        label->setBuddy(box);
        label->installEventFilter(this);  // a click on the caption toggles its box
        chkLog_[static_cast<std::size_t>(i)] = box;
        logLabels_[static_cast<std::size_t>(i)] = label;
        logRow->addSpacing(6);
        logRow->addWidget(box);
        logRow->addWidget(label);
        connect(box, &ui::CheckBox::Click, this, [this, i] { chkLog_Click(i); });
    }
    upper->addWidget(logs, 0, 1, Qt::AlignBottom);

    fraCode_ = new ui::Frame(Picture2_, "fraCode");
    fraCode_->SetCaption("Add In Code");
    auto* code = new QHBoxLayout(fraCode_);
    code->setContentsMargins(6, 2, 6, 4);
    code->setSpacing(12);
    auto* preGrid = new QGridLayout;
    auto* postGrid = new QGridLayout;
    pre_ = new SnippetPanel(program_, SnippetKind::Pre, fraCode_, preGrid, 0);
    post_ = new SnippetPanel(program_, SnippetKind::Post, fraCode_, postGrid, 0);
    code->addLayout(preGrid, 1);
    code->addLayout(postGrid, 1);
    Label3_ = new ui::Label(fraCode_, "Label3");
    Label3_->SetBackStyle(0);
    Label3_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblReplaceNames_ = new ui::Label(fraCode_, "lblReplaceNames");
    lblReplaceNames_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblReplaceNames_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblReplaceNames_->setContentsMargins(6, 0, 6, 0);
    code->addWidget(Label3_);
    code->addWidget(lblReplaceNames_);
    upper->addWidget(fraCode_, 1, 0, 1, 2);
    upper->setColumnStretch(0, 1);
    for (SnippetPanel* side : {pre_, post_}) {
        connect(side, &SnippetPanel::SelectionChanged, this, &frmQuillet::SnippetSelectionChanged);
        connect(side, &SnippetPanel::InputChanged, this, &frmQuillet::UpdateControls);
    }

    // The tab control with the report pages, and the status box over it.
    fraSSTab_ = PlainFrame(fraQuillet_, "fraSSTab");
    SetAccessibleWhat(fraSSTab_, "Reports");
    main->addWidget(fraSSTab_, 1);
    sstab_ = new ui::SSTab(fraSSTab_, "SSTab1");
    sstab_->SetTabs(kTabCount);
    sstab_->SetTabsPerRow(kTabCount);
    for (int i = 0; i < kTabCount; ++i) sstab_->SetTabCaption(i, kTabCaptions[i]);
    SetAccessibleWhat(sstab_, "Report tabs");
    sstab_->installEventFilter(this);
    fraSSTab_->installEventFilter(this);

    treProject_ = new ui::TreeView(sstab_, "treProject");
    treRoutines_ = new ui::TreeView(sstab_, "treRoutines");
    projectModel_ = new views::TreeModel(state_.treProject, true, this);
    routinesModel_ = new views::TreeModel(state_.treRoutines, false, this);
    // A file shows partly ticked when some of its procedures are.
    projectModel_->SetCheckItems([](const engine::TreeNode& n) {
        return static_cast<views::TreeModel::CheckItem>(TickItemOf(n));
    });
    const QHash<QString, QIcon> icons = views::VBIcons();
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (auto [view, model] : {std::pair{treProject_, projectModel_}, std::pair{treRoutines_, routinesModel_}}) {
        model->SetIcons(icons);
        view->setModel(model);
        view->setHeaderHidden(true);
        view->setUniformRowHeights(true);
        view->setFont(fixed);  // procedure and call-site texts are laid out in columns
        views::TrackExpanded(view, model);
    }
    sstab_->PlaceOnTab(treProject_, kAppFunctions);
    sstab_->PlaceOnTab(treRoutines_, kCalledRoutines);
    for (int i = 0; i < 4; ++i) {
        auto* box = new ui::RichTextBox(sstab_, kReportBoxNames[i]);
        InitReportBox(box);
        reportBoxes_[static_cast<std::size_t>(i)] = box;
        sstab_->PlaceOnTab(box, kModules + i);
    }
    connect(sstab_, &ui::SSTab::Click, this, &frmQuillet::SSTab1_Click);
    connect(projectModel_, &views::TreeModel::NodeCheck, this, &frmQuillet::treProject_NodeCheck);
    treProject_->viewport()->installEventFilter(this);
    // Return on a node opens it as a click does.
    treProject_->installEventFilter(this);
    treRoutines_->installEventFilter(this);
    txtProject_->installEventFilter(this);
    connect(treProject_, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        // A click on the check box only checks it; a click on the node opens it.
        if (views::OnCheckIndicator(treProject_, index, lastRelease_)) return;
        treProject_NodeClick(projectModel_->NodeOf(index));
    });
    connect(treRoutines_, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { treRoutines_NodeClick(routinesModel_->NodeOf(index)); });

    rtfMsg_ = new ui::RichTextBox(fraSSTab_, "rtfMsg");
    rtfMsg_->SetLocked(true);
    SetAccessibleWhat(rtfMsg_, "Status");
    rtfMsg_->setFrameShape(QFrame::Box);
    rtfMsg_->hide();

    List1_ = new ui::ListBox(fraQuillet_, "List1");
    SetAccessibleWhat(List1_, "Call sites");
    List1_->hide();

    // The button strip.
    fraButton_ = PlainFrame(fraQuillet_, "fraButton");
    SetAccessibleWhat(fraButton_, "Commands");
    main->addWidget(fraButton_);
    auto* buttons = new QHBoxLayout(fraButton_);
    buttons->setContentsMargins(0, 2, 0, 0);
    cmdAddCode_ = MakeButton(fraButton_, "cmdAddCode", "&Add Code");
    cmdUndoLastChange_ = MakeButton(fraButton_, "cmdUndoLastChange", "Undo Last Change");
    cmdPrint_ = MakeButton(fraButton_, "cmdPrint", "&Print");
    cmdSave_ = MakeButton(fraButton_, "cmdSave", "&Save");
    cmdCancel_ = MakeButton(fraButton_, "cmdCancel", "&Cancel");
    cmdExit_ = MakeButton(fraButton_, "cmdExit", "&Exit");
    buttons->addWidget(cmdAddCode_);
    buttons->addWidget(cmdUndoLastChange_);
    buttons->addStretch(1);
    buttons->addWidget(cmdPrint_);
    buttons->addWidget(cmdSave_);
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdExit_);
    connect(cmdBrowse_, &QPushButton::clicked, this, &frmQuillet::cmdBrowse_Click);
    connect(cmdAddCode_, &QPushButton::clicked, this, &frmQuillet::cmdAddCode_Click);
    connect(cmdUndoLastChange_, &QPushButton::clicked, this, &frmQuillet::cmdUndoLastChange_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmQuillet::cmdCancel_Click);
    connect(cmdExit_, &QPushButton::clicked, this, &frmQuillet::cmdExit_Click);
    connect(cmdPrint_, &QPushButton::clicked, this, &frmQuillet::cmdPrint_Click);
    connect(cmdSave_, &QPushButton::clicked, this, &frmQuillet::cmdSave_Click);
    if (program_.frame)
        new ReportPopup(program_.frame->ReportPopupMenu(), {reportBoxes_[0], reportBoxes_[1], reportBoxes_[2]}, this);
    connect(txtProject_, &QLineEdit::textChanged, this, [this] { program_.state.ProjectChanged = true; });
}

ui::RichTextBox* frmQuillet::ReportBox(int tab) const {
    if (tab < kModules || tab > kAPIs) return nullptr;
    return reportBoxes_[static_cast<std::size_t>(tab - kModules)];
}

ui::MyButton* frmQuillet::Button(const char* name) const { return findChild<ui::MyButton*>(name); }

void frmQuillet::resizeEvent(QResizeEvent* event) {
    ui::Form::resizeEvent(event);
    LayoutPages();
}

// Every page at the same place below the tab strip; the pages of hidden tabs lie far to the left,
// where the tab control keeps them.
void frmQuillet::LayoutPages() {
    if (resizing_ || !sstab_) return;
    resizing_ = true;
    sstab_->setGeometry(fraSSTab_->contentsRect());
    const int strip = sstab_->StripHeight();
    const QRect page(kPageMargin, strip + kPageMargin, std::max(0, sstab_->width() - 2 * kPageMargin),
                     std::max(0, sstab_->height() - strip - 2 * kPageMargin));
    const int hidden = ui::TwipsToPixels(ui::SSTab::kHiddenOffset);
    std::array<QWidget*, kTabCount> pages{treProject_, treRoutines_, reportBoxes_[0], reportBoxes_[1],
                                          reportBoxes_[2], reportBoxes_[3]};
    for (int i = 0; i < kTabCount; ++i)
        pages[static_cast<std::size_t>(i)]->setGeometry(page.translated(i == sstab_->Tab() ? 0 : -hidden, 0));
    // The status box lies across the middle of the tab area.
    const int msgHeight = rtfMsg_->fontMetrics().lineSpacing() * 3 + 12;
    rtfMsg_->setGeometry(sstab_->x() + 5, std::max(0, fraSSTab_->height() / 2 - msgHeight / 2),
                         std::max(0, sstab_->width() - 10), msgHeight);
    resizing_ = false;
}

bool frmQuillet::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (statusGoesOnInput_ &&
        (type == QEvent::KeyPress || type == QEvent::MouseButtonPress || type == QEvent::Wheel)) {
        // The user moves on: a message left after a command (the pages printed) stops covering
        // the report.
        statusGoesOnInput_ = false;
        qApp->removeEventFilter(this);
        if (!Busy() && rtfMsg_->isVisible()) ClearMessage(program_);
    }
    if (autoFocus_ && (type == QEvent::KeyPress || type == QEvent::MouseButtonPress))
        if (auto* w = qobject_cast<QWidget*>(watched); w && (w == autoFocus_ || autoFocus_->isAncestorOf(w)))
            autoFocus_.clear();  // the user works there now
    if ((watched == treProject_ || watched == treRoutines_) && type == QEvent::KeyPress) {
        // Return on a node opens it as a click does: a procedure, or a call site, in the viewer.
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            auto* view = static_cast<ui::TreeView*>(watched);
            const QModelIndex current = view->currentIndex();
            if (current.isValid()) {
                if (view == treProject_)
                    treProject_NodeClick(projectModel_->NodeOf(current));
                else
                    treRoutines_NodeClick(routinesModel_->NodeOf(current));
            }
            return true;
        }
    }
    if ((watched == sstab_ || watched == fraSSTab_) && type == QEvent::Resize) {
        LayoutPages();
    } else if (treProject_ && watched == treProject_->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease)
            lastRelease_ = static_cast<QMouseEvent*>(event)->position().toPoint();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        for (std::size_t i = 0; i < logLabels_.size(); ++i)
            if (watched == logLabels_[i] && chkLog_[i]->isEnabled()) chkLog_[i]->click();
    }
    return ui::Form::eventFilter(watched, event);
}

// ---- life cycle ---------------------------------------------------------------------------------

void frmQuillet::Form_Load() {
    ChangeLabelBackColor();
    // Printing always has somewhere to go: the default printer, or a PDF file without one.
    program_.state.PrintEnabled = true;
    // The log switches as the settings file has them ("False" when a key is missing).
    const std::string exe = QuilletAppObject().EXEName;
    for (int i = 0; i < 3; ++i) {
        const bool on = ReadIniBool(exe, kLogKeys[i], false, program_.state.IniFileName);
        {
            const QSignalBlocker block(chkLog_[static_cast<std::size_t>(i)]);
            chkLog_[static_cast<std::size_t>(i)]->SetValue(on ? 1 : 0);
        }
        if (on) chkLog_Click(i);
    }
    sstab_->SetTab(kAppFunctions);

    // The snippet placeholders, listed one a line beside the snippet choice.
    Label3_->SetCaption("Replaceable\nCode\nParameters\n\n");
    lblReplaceNames_->SetCaption(Q(platform::ReplaceAll(kPlaceholders, ",", "\n")));
    lblReplaceNames_->SetBackColor(0xFFFFFF);

    const std::string sys = program_.state.objSpecialFolders.WindowsSystemFolder;
    state_.DllReferenceLine = engine::DllReferenceLineFor(sys.empty() ? engine::kDefaultWindowsSystemFolder : sys);
    state_.ApplicationDataFolderLocal = program_.state.objSpecialFolders.ApplicationDataFolderLocal;
    state_.AppTitle = QuilletAppObject().Title;
    SetCaption(Caption() + " - " + Q(tovcore::Global().GetVersion()));

    // Tree nodes drawn in another colour than the enabled one are not for the mouse.
    mobjTVWDisableNode_ = new views::clsTVWDisableNode(this);
    mobjTVWDisableNode_->SetlEnabledColor(kEnabledNodeColor);
    mobjTVWDisableNode_->SubclassStart(treProject_, projectModel_);

    for (SnippetPanel* side : {pre_, post_}) side->SetDataFolder(state_.ApplicationDataFolderLocal);
    InitializeProject();
    if (program_.frame) program_.frame->EnableSelections();
    UpdateControls();
    ClearMessage(program_);
    if (program_.frame) program_.frame->UpdateMenus();
    // Every caption is set now: the controls are read by them.
    NameControlsForAccessibility(this);
}

void frmQuillet::QueryUnload(int& cancel, int) {
    if (Busy() || program_.stack.Active()) {
        // Never from under the window's own commands, boxes and dialogs (Exit through the
        // accessibility interface reaches the window while one shows): a running walk is
        // cancelled, and the close is carried out once everything has returned.
        if (Busy()) program_.state.CancelRequested = true;
        exitPending_ = true;
        cancel = 1;
        return;
    }
    // An open snippet editor with changes asks about them first; its Cancel keeps the window.
    for (SnippetEditor* editor : findChildren<SnippetEditor*>()) {
        if (editor->isVisible() && !editor->close()) {
            cancel = 1;
            return;
        }
    }
    if (!AskSaveOnClose(program_)) {
        cancel = 1;
        return;
    }
    if (program_.state.ProjectChanged && program_.state.ProjectFileName.empty()) {
        // Yes without a tool project file: the user names one; cancelling keeps the window.
        const std::string path = DialogProjectBrowse(3, false);
        if (path.empty()) {
            cancel = 1;
            return;
        }
        program_.state.ProjectFileName = path;
        program_.state.ProjectOpen = true;
    }
}

void frmQuillet::Unload(int& cancel) {
    ProgramState& s = program_.state;
    // A save that fails (the user was told why and what to do) keeps the window and the change.
    if (!SaveProjectInformation(s.ProjectChanged)) {
        cancel = 1;
        return;
    }
    exitPending_ = false;
    // The tool project closes with the window: nothing that is done without it (a line-numbering
    // choice) belongs to it, and the next tool window starts blank and never writes into it.
    s.ProjectFileName.clear();
    s.ProjectChanged = false;
    if (program_.frame) program_.frame->Window()->SetCaption(Q("Quillet - " + tovcore::Global().GetVersion()));
    // The project model goes with the window.
    projectModel_->BeginFill();
    routinesModel_->BeginFill();
    state_.treProject.Clear();
    state_.treRoutines.Clear();
    state_.model = engine::ProjectModel{};
    state_.ProjectNodes.clear();
    state_.folderNodes = {};
    state_.FileNodes.clear();
    reports_ = {};
}

// ---- tabs ---------------------------------------------------------------------------------------

bool frmQuillet::TabHasContent(int tab) const {
    if (tab == kAppFunctions && projectModel_->Filling()) return false;
    if (tab == kCalledRoutines && routinesModel_->Filling()) return false;
    return quillet::TabHasContent(tabs_, tab);
}

void frmQuillet::SSTab1_Click(int) {
    if (resizing_ || program_.state.LanguageBusy) return;
    const WindowStack::Scope onStack(program_.stack);
    LayoutPages();
    const int tab = sstab_->Tab();
    if (tab == kCalledRoutines) {
        if (!state_.RoutinesMatched && ProjectLoaded() && !Busy()) MatchProcedures();
        // A cancelled build is made again at the next visit.
        program_.state.CancelRequested = false;
    }
    if (TabHasContent(tab)) {
        cmdPrint_->SetCaption("&Print " + sstab_->TabCaption(tab));
        FitMinimumWidths();
    }
    UpdateControls();
    ClearMessage(program_);
}

// ---- the project tree --------------------------------------------------------------------------

void frmQuillet::treProject_NodeCheck(engine::NodeId node) {
    NodeCheck(state_.treProject, node);
    projectModel_->SubtreeChanged(node);
}

void frmQuillet::treProject_NodeClick(engine::NodeId node) {
    if (node == engine::kNoNode) return;
    const WindowStack::Scope onStack(program_.stack);
    const auto target = NodeClick(state_.treProject, node);
    projectModel_->SubtreeChanged(node);
    if (target) ShowViewer(target->path, target->line);
}

void frmQuillet::treRoutines_NodeClick(engine::NodeId node) {
    if (node == engine::kNoNode) return;
    const engine::TreeNode& n = state_.treRoutines.Node(node);
    if (n.openLine > 0 && !n.openPath.empty()) ShowViewer(n.openPath, n.openLine);
}

void frmQuillet::ShowViewer(const std::string& path, std::int32_t line) {
    if (viewer_) viewer_(path, line);
}

// ---- log switches -------------------------------------------------------------------------------

void frmQuillet::chkLog_Click(int index) {
    if (index < 0 || index > 2) return;
    const bool on = chkLog_[static_cast<std::size_t>(index)]->Value() == 1;
    // The key first: the library starts a log only while its switch is on.
    tovcore::Global().WriteIniString(QuilletAppObject().EXEName, kLogKeys[index], on ? "True" : "False",
                                     program_.state.IniFileName);
    tovcore::clsTovcore& lib = tovcore::Global();
    switch (index) {
        case 0:
            program_.state.DebugLogFile = lib.InitDebugLog("");
            break;
        case 1:
            program_.state.ErrorLogFile = lib.InitErrorLog("");
            break;
        default:
            program_.state.LogFile = lib.InitLog("");
            break;
    }
    if (program_.frame) program_.frame->UpdateMenus();
}

// ---- control states -----------------------------------------------------------------------------

bool frmQuillet::ProjectLoaded() const {
    return state_.model.Loaded && !state_.treProject.empty() && state_.treProject.visible && !projectModel_->Filling();
}

void frmQuillet::UpdateControls() {
    ControlInputs in;
    in.busy = Busy();
    in.projectLoaded = ProjectLoaded();
    in.undoAvailable = state_.UndoAvailable;
    in.printEnabled = program_.state.PrintEnabled;
    in.tabHasContent = TabHasContent(sstab_->Tab());
    in.preSelected = !pre_->Selected().empty();
    in.postSelected = !post_->Selected().empty();
    in.preComboText = pre_->HasComboText();
    in.postComboText = post_->HasComboText();
    const ControlStates s = ComputeControlStates(in);
    cmdAddCode_->setEnabled(s.addCode);
    cmdPrint_->setEnabled(s.print);
    cmdSave_->setEnabled(s.save);
    cmdCancel_->setEnabled(s.cancel);
    cmdExit_->setEnabled(s.exit);
    cmdUndoLastChange_->setEnabled(s.undo);
    cmdBrowse_->setEnabled(s.browse);
    txtProject_->setEnabled(s.projectPath);
    sstab_->setEnabled(s.tabs);
    for (ui::CheckBox* box : chkLog_) box->setEnabled(s.logs);
    for (ui::Label* label : logLabels_) label->setEnabled(s.logs);
    pre_->ApplyStates(s.preCombo, s.addPre, s.editPre, s.removePre, s.preList);
    post_->ApplyStates(s.postCombo, s.addPost, s.editPost, s.removePost, s.postList);
    for (ui::RichTextBox* box : reportBoxes_) box->SetLocked(true);
}

void frmQuillet::ChangeLabelBackColor() {
    const std::int32_t color = program_.state.colors.ButtonTabTextColor;
    for (QObject* c : ui::Controls(this)) {
        const QString name = c->objectName();
        const bool numbered = name.startsWith("Label", Qt::CaseInsensitive) && name.size() == 6 &&
                              name.at(5) >= QLatin1Char('1') && name.at(5) <= QLatin1Char('6');
        if (numbered || name.compare("lblLogs", Qt::CaseInsensitive) == 0) ui::SetProperty(c, "ForeColor", color);
    }
}

void frmQuillet::BeginBusy() {
    if (busy_++ > 0) return;
    // The controls go off meanwhile and take the focus with them; it comes back afterwards, so
    // the keyboard is where it was.
    QWidget* focus = QApplication::focusWidget();
    focusBeforeBusy_ = focus && isAncestorOf(focus) && focus != autoFocus_ ? focus : nullptr;
    UpdateControls();
    if (program_.frame) program_.frame->SetControlsEnabled(false);
}

void frmQuillet::EndBusy() {
    if (busy_ == 0 || --busy_ > 0) return;
    UpdateControls();
    if (program_.frame) program_.frame->SetControlsEnabled(true);
    // While the controls were off Qt moved the focus along (to Cancel, then wherever it could go);
    // it goes back to where the user had it (in another window that has the keyboard now, it waits
    // there until this one has it again).
    const bool chosen = focusBeforeBusy_;  // the user's place, not one the window gave
    if (focusBeforeBusy_ && focusBeforeBusy_->isEnabled() && focusBeforeBusy_->isVisible())
        focusBeforeBusy_->setFocus(Qt::OtherFocusReason);
    focusBeforeBusy_.clear();
    KeepKeyboardInWindow(!chosen);
}

// The keyboard always has a place in the window: when the window shows with the focus nowhere in
// it, or a command ends that the user did not start from a control of it (a menu, a dialog), the page
// shown takes it once a project is loaded, else the project path box. `place`: put it there even
// where the focus is now (Qt moved it while the controls were off).
void frmQuillet::KeepKeyboardInWindow(bool place) {
    if (Busy()) return;
    const QWidget* focus = window()->focusWidget();
    if (!place && focus && focus != window() && focus != autoFocus_ && focus->isVisible() && focus->isEnabled())
        return;
    QWidget* page = nullptr;
    for (QWidget* w : std::initializer_list<QWidget*>{treProject_, treRoutines_, reportBoxes_[0], reportBoxes_[1],
                                                      reportBoxes_[2], reportBoxes_[3]})
        if (sstab_->TabOf(w) == sstab_->Tab()) page = w;
    QWidget* target = ProjectLoaded() && page && page->isVisible() ? page : txtProject_;
    if (!target->isVisible() || !target->isEnabled()) return;
    target->setFocus(Qt::OtherFocusReason);
    // Placed here, not chosen by the user: the next command does not bring it back here.
    autoFocus_ = target;
}

// ---- buttons ------------------------------------------------------------------------------------

void frmQuillet::cmdBrowse_Click() {
    const WindowStack::Scope onStack(program_.stack);
    FileDialogRequest request;
    request.title = "VB Project";
    request.filter = "VB Project |*.vbp;*.vbg";
    const auto chosen = program_.services.dialogs->OpenFile(this, request);
    if (!chosen || chosen->empty()) return;
    txtProject_->SetText(Q(*chosen));  // marks the tool project changed
    txtProject_->SetTag("1");
    LoadProject(true);
}

void frmQuillet::cmdCancel_Click() { program_.state.CancelRequested = true; }

void frmQuillet::cmdExit_Click() { program_.forms.Unload(this); }

void frmQuillet::cmdPrint_Click() {
    if (Busy()) return;
    const WindowStack::Scope onStack(program_.stack);
    cmdPrint_->setEnabled(false);
    PrintReport(tabs_, sstab_->Tab());
    UpdateControls();
    StatusGoesOnInput();
}

void frmQuillet::StatusGoesOnInput() {
    if (statusGoesOnInput_ || !rtfMsg_->isVisible()) return;
    statusGoesOnInput_ = true;
    qApp->installEventFilter(this);
}

void frmQuillet::cmdSave_Click() {
    if (Busy()) return;
    const WindowStack::Scope onStack(program_.stack);
    quillet::cmdSave_Click(tabs_, sstab_->Tab());
}

void frmQuillet::rtnPrintAll() {
    if (Busy() || !ProjectLoaded()) return;
    const WindowStack::Scope onStack(program_.stack);
    PrintAll(tabs_);
    UpdateControls();
    StatusGoesOnInput();
}

void frmQuillet::SnippetSelectionChanged(bool) {
    // Both adding and removing make the tool project differ from its file.
    program_.state.ProjectChanged = true;
    UpdateControls();
}

}  // namespace quillet::toolwindow
