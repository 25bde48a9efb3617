// The report commands of the tool window: Save writes each tab's text where the user says, Print
// and Print All go to the printer or, with none installed, to a PDF file; the pop-up menu of the
// report boxes.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextEdit>

#include <tovcore/controls.h>

#include "app/reports/ReportBoxes.h"
#include "app/reports/ReportCommands.h"
#include "reports/output.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/app/support/ReportFixture.h"
#include "tests/support/testsupport.h"

namespace {

using namespace quillet;

struct Fixture {
    Fixture() { project.MatchProcedures(); }
    apptest::TestProgram t;
    apptest::LoadedProject project;
    ReportTabs tabs{t.program, project.state, project.reports, nullptr};
};

int PdfPages(const std::string& path) {
    const std::string pdf = testsupport::ReadBytes(path);
    const std::regex page(R"(/Type\s*/Page[^s])");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST(SaveReport, EachTabWritesItsTextWhereTheUserSaysInTheProjectFolder) {
    Fixture f;
    const reports::ReportStamp stamp = ReportStampNow(f.t.program);
    for (int tab = reports::kTabProject; tab <= reports::kTabAPIs; ++tab) {
        const std::string path = f.project.Path("saved " + std::to_string(tab) + ".txt");
        f.t.fakes.dialogs.saveResults = {path};
        f.t.fakes.dialogs.requests.clear();
        cmdSave_Click(f.tabs, tab);
        ASSERT_EQ(f.t.fakes.dialogs.requests.size(), 1u) << tab;
        const FileDialogRequest& asked = f.t.fakes.dialogs.requests[0].file;
        EXPECT_EQ(asked.folder, f.project.state.ProjectFolder) << tab;
        EXPECT_EQ(asked.fileName, reports::DefaultReportFileName("G.vbg", tab)) << tab;
        EXPECT_EQ(asked.filter, "Xref Files |*.txt");
        EXPECT_EQ(testsupport::ReadBytes(path),
                  reports::TabSaveText(f.project.state, f.project.reports, tab, stamp) + "\r\n")
            << tab;
    }
    EXPECT_TRUE(f.t.fakes.messageBox.shown.empty());
    // The trees' texts hold what the user sees.
    const std::string routines = testsupport::ReadBytes(f.project.Path("saved 1.txt"));
    EXPECT_NE(routines.find("G.vbg Project Called Routines"), std::string::npos);
    EXPECT_NE(routines.find("Util.bas"), std::string::npos);
}

TEST(SaveReport, AStaleCancelFlagDoesNotShortenTheText) {
    Fixture f;
    const std::string path = f.project.Path("routines.txt");
    f.project.host.SetCancelRequested(true);
    f.t.program.state.CancelRequested = true;
    f.t.fakes.dialogs.saveResults = {path};
    cmdSave_Click(f.tabs, reports::kTabRoutines);
    EXPECT_NE(testsupport::ReadBytes(path).find("Helper"), std::string::npos);
}

TEST(SaveReport, ACancelledDialogWritesNothingAndAFailedWriteKeepsTheOldFile) {
    Fixture f;
    cmdSave_Click(f.tabs, reports::kTabModules);  // no answer queued: cancelled
    EXPECT_TRUE(f.t.fakes.messageBox.shown.empty());

    // A file in a folder that does not exist cannot be written: one message.
    f.t.fakes.dialogs.saveResults = {f.project.Path("missing/x.txt")};
    cmdSave_Click(f.tabs, reports::kTabModules);
    ASSERT_EQ(f.t.fakes.messageBox.shown.size(), 1u);
    EXPECT_NE(f.t.fakes.messageBox.shown[0].prompt.find("missing/x.txt"), std::string::npos);

    // A read-only folder: the old file stays as it was.
    const std::string folder = f.project.Path("locked/");
    testsupport::WriteBytes(folder + "old.txt", "old");
    ::chmod(folder.c_str(), 0555);
    f.t.fakes.dialogs.saveResults = {folder + "old.txt"};
    cmdSave_Click(f.tabs, reports::kTabModules);
    ::chmod(folder.c_str(), 0755);
    if (::geteuid() != 0) {
        EXPECT_EQ(testsupport::ReadBytes(folder + "old.txt"), "old");
        EXPECT_EQ(f.t.fakes.messageBox.shown.size(), 2u);
    }
}

TEST(PrintCommand, WithNoPrinterTheReportGoesIntoThePdfFileTheUserNames) {
    Fixture f;
    const std::string pdf = f.project.Path("modules.pdf");
    f.t.fakes.dialogs.saveResults = {pdf};
    EXPECT_TRUE(PrintReport(f.tabs, reports::kTabModules));
    ASSERT_EQ(f.t.fakes.dialogs.requests.size(), 1u);
    EXPECT_EQ(f.t.fakes.dialogs.requests[0].file.fileName, "G vbg Module Definitions.pdf");
    EXPECT_EQ(f.t.fakes.dialogs.requests[0].file.folder, f.project.state.ProjectFolder);
    EXPECT_EQ(PdfPages(pdf), 1);
    EXPECT_TRUE(f.t.fakes.messageBox.shown.empty());
    // Nothing is left beside it.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(f.project.dir.path()))
        files += e.path().filename().string().rfind("modules.pdf", 0) == 0;
    EXPECT_EQ(files, 1);

    // A name without an extension gets ".pdf".
    f.t.fakes.dialogs.saveResults = {f.project.Path("tree")};
    EXPECT_TRUE(PrintReport(f.tabs, reports::kTabProject));
    EXPECT_EQ(PdfPages(f.project.Path("tree.pdf")), 1);
}

TEST(PrintCommand, ACancelledPdfDialogPrintsNothingAndAnUnwritablePdfGivesOneMessage) {
    Fixture f;
    EXPECT_FALSE(PrintReport(f.tabs, reports::kTabModules));
    EXPECT_TRUE(f.t.fakes.messageBox.shown.empty());

    f.t.fakes.dialogs.saveResults = {f.project.Path("no/such/folder/x.pdf")};
    EXPECT_FALSE(PrintReport(f.tabs, reports::kTabModules));
    ASSERT_EQ(f.t.fakes.messageBox.shown.size(), 1u);
    EXPECT_EQ(f.t.fakes.messageBox.shown[0].prompt.rfind("Unable To Print - ", 0), 0u);
}

TEST(PrintCommand, AnExistingPdfIsReplacedOnlyByACompleteJob) {
    Fixture f;
    const std::string pdf = f.project.Path("old.pdf");
    testsupport::WriteBytes(pdf, "old bytes");
    f.t.fakes.dialogs.saveResults = {pdf};
    ASSERT_TRUE(PrintReport(f.tabs, reports::kTabAPIs));
    EXPECT_EQ(testsupport::ReadBytes(pdf).rfind("%PDF", 0), 0u);
}

TEST(PrintCommand, APrinterThatCannotBeOpenedGivesOneMessageAndTheProgramGoesOn) {
    Fixture f;
    f.t.fakes.printing.printer = "No Such Printer";
    const bool printed = PrintReport(f.tabs, reports::kTabForms);
    if (!printed) {
        ASSERT_EQ(f.t.fakes.messageBox.shown.size(), 1u);
        EXPECT_EQ(f.t.fakes.messageBox.shown[0].prompt.rfind("Unable To Print - ", 0), 0u);
    }
    EXPECT_TRUE(f.t.fakes.dialogs.requests.empty()) << "a printer is there: no PDF file is asked for";
    EXPECT_EQ(f.t.fakes.printing.dialogs, 0) << "Print prints at once";
}

TEST(PrintAll, EveryTabWithContentGoesIntoOneJobEachFromANewPage) {
    Fixture f;
    int separate = 0;
    for (int tab = reports::kTabProject; tab <= reports::kTabAPIs; ++tab) {
        const std::string pdf = f.project.Path("tab" + std::to_string(tab) + ".pdf");
        f.t.fakes.dialogs.saveResults = {pdf};
        ASSERT_TRUE(PrintReport(f.tabs, tab)) << tab;
        separate += PdfPages(pdf);
    }
    const std::string all = f.project.Path("all.pdf");
    f.t.fakes.dialogs.requests.clear();
    f.t.fakes.dialogs.saveResults = {all};
    ASSERT_TRUE(PrintAll(f.tabs));
    EXPECT_EQ(f.t.fakes.dialogs.requests.at(0).file.fileName, "G vbg Reports.pdf");
    EXPECT_EQ(PdfPages(all), separate);

    // A tab without content is left out: the Called Routines tree not built.
    f.project.state.treRoutines.Clear();
    f.t.fakes.dialogs.saveResults = {all};
    ASSERT_TRUE(PrintAll(f.tabs));
    EXPECT_EQ(PdfPages(all), separate - PdfPages(f.project.Path("tab1.pdf")));

    // With a printer, Print All shows the printer dialog; cancelling it prints nothing.
    f.t.fakes.printing.printer = "Office";
    EXPECT_FALSE(PrintAll(f.tabs));
    EXPECT_EQ(f.t.fakes.printing.dialogs, 1);
    EXPECT_TRUE(f.t.fakes.messageBox.shown.empty());
}

TEST(TabContent, TreesWithNodesAndReportsWithText) {
    Fixture f;
    for (int tab = reports::kTabProject; tab <= reports::kTabAPIs; ++tab) EXPECT_TRUE(TabHasContent(f.tabs, tab)) << tab;
    f.project.state.treRoutines.Clear();
    f.project.reports.rtfClasses.Clear();
    EXPECT_FALSE(TabHasContent(f.tabs, reports::kTabRoutines));
    EXPECT_FALSE(TabHasContent(f.tabs, reports::kTabClasses));
    EXPECT_FALSE(TabHasContent(f.tabs, 6));
}

// ---- the pop-up menu ---------------------------------------------------------------------------

QAction* NamedAction(QMenu& menu, const char* caption, const char* name) {
    QAction* action = menu.addAction(caption);
    action->setObjectName(name);
    return action;
}

// The frame's pop-up menu as the frame names its items, and four filled report boxes.
struct PopupFixture {
    PopupFixture() {
        for (QTextEdit* box : {&modules, &forms, &classes, &apis}) {
            InitReportBox(box);
            FillReportBox(box, reports::ReportBox{"Name One\r\nName Two\r\n", {}});
        }
    }
    QApplication& app = apptest::App();
    QMenu menu;
    QAction* search = NamedAction(menu, "Search", "mnurtfSearch");
    QAction* copy = NamedAction(menu, "Copy", "mnurtfCopy");
    QTextEdit modules, forms, classes, apis;
    ReportPopup popup{&menu, {&modules, &forms, &classes}};
};

TEST(ReportPopupMenu, TheRulesOfTheRightButton) {
    const struct {
        const char* name;
        int button;
        const char* activeControl;
        bool shown;
    } cases[] = {
        {"right button over a report box", 2, "rtfModules", true},
        {"left button", 1, "rtfModules", false},
        {"the tab strip is the active control", 2, "SSTab1", false},
        {"the tab strip in other letter case", 2, "sstab1", false},
        {"no active control", 2, "", true},
    };
    for (const auto& c : cases) {
        PopupFixture f;
        f.popup.HandleReportMouseButton(&f.forms, c.button, c.activeControl, QPoint(10, 10));
        EXPECT_EQ(f.menu.isVisible(), c.shown) << c.name;
        EXPECT_EQ(f.popup.ActiveBox(), c.shown ? &f.forms : nullptr) << c.name;
        f.menu.hide();
    }
}

TEST(ReportPopupMenu, ARightClickPopsItUpOverTheModuleFormAndClassBoxesOnly) {
    PopupFixture f;
    for (QTextEdit* box : {&f.modules, &f.forms, &f.classes, &f.apis}) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::RightButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(box->viewport(), &release);
        EXPECT_EQ(f.menu.isVisible(), box != &f.apis);
        f.menu.hide();
    }
    EXPECT_EQ(f.modules.contextMenuPolicy(), Qt::NoContextMenu);
}

TEST(ReportPopupMenu, CopyCopiesTheSelectionOfTheBoxAndSearchDoesNothing) {
    PopupFixture f;
    QTextCursor cursor(f.classes.document());
    cursor.setPosition(9);
    cursor.setPosition(17, QTextCursor::KeepAnchor);
    f.classes.setTextCursor(cursor);
    QApplication::clipboard()->setText("before");
    f.popup.HandleReportMouseButton(&f.classes, 2, "rtfClasses", QPoint());
    f.search->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_EQ(f.classes.textCursor().selectedText(), "Name Two");
    f.copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "Name Two");
}

}  // namespace
