// Pictures of the report windows for a person to look at, written into the build folder's
// "screenshots" folder: the four report boxes of the fixture project (skinned as in the tool
// window), the viewer on a call site, the about and help windows; and every tab printed into
// "print-all.pdf".
#include <gtest/gtest.h>

#include <filesystem>

#include <QTextEdit>

#include "app/forms/FormServices.h"
#include "app/reports/ReportBoxes.h"
#include "app/reports/ReportCommands.h"
#include "app/secondary/frmAbout.h"
#include "app/secondary/frmHelp.h"
#include "app/secondary/frmView.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/app/support/ReportFixture.h"
#include "tests/support/testsupport.h"

namespace {

using namespace quillet;

std::string ShotPath(const std::string& name) {
    std::filesystem::create_directories(QUILLET_SCREENSHOT_DIR);
    return std::string(QUILLET_SCREENSHOT_DIR) + "/" + name;
}

bool Save(QWidget* w, const std::string& name) {
    apptest::ProcessEvents();
    return w->grab().save(QString::fromStdString(ShotPath(name)));
}

TEST(ReportScreenshots, ReportBoxesViewerAboutAndHelp) {
    apptest::TestProgram t;
    apptest::LoadedProject p;
    p.MatchProcedures();

    const struct {
        const char* name;
        const reports::ReportBox* report;
    } boxes[] = {{"report-modules.png", &p.reports.rtfModules},
                 {"report-forms.png", &p.reports.rtfForms},
                 {"report-classes.png", &p.reports.rtfClasses},
                 {"report-apis.png", &p.reports.rtfAPIs}};
    for (const auto& b : boxes) {
        tovcore::ui::Form form("frmQuillet");
        auto* box = new tovcore::ui::RichTextBox(&form, "rtfModules");
        form.Move(0, 0, 15000, 6000);
        box->Move(120, 120, 14600, 5600);
        InitReportBox(box);
        FillReportBox(box, *b.report);
        form.show();
        SkinForm(t.program, &form);
        EXPECT_TRUE(Save(&form, b.name)) << b.name;
    }

    frmView* viewer = ShowFileInViewer(t.program, p.Path("App/Form1.frm"), 5);
    ASSERT_NE(viewer, nullptr);
    viewer->SetWindowState(0);
    viewer->resize(900, 500);
    EXPECT_TRUE(Save(viewer, "viewer.png"));
    viewer->close();

    frmAbout* about = ShowAbout(t.program);
    EXPECT_TRUE(Save(about, "about.png"));
    about->close();

    testsupport::WriteBytes(t.program.state.ProgramFolder + "Instructions.html",
                            "<h1>Quillet</h1><p>Open a project, tick the procedures and press <b>Add Code</b>.</p>");
    frmHelp* help = ShowHelp(t.program);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(Save(help, "help.png"));
    help->close();

    // Every tab printed into one PDF file, for a look at the pages (pdftoppm turns them into pictures).
    ReportTabs tabs{t.program, p.state, p.reports, nullptr};
    t.fakes.dialogs.saveResults = {ShotPath("print-all.pdf")};
    EXPECT_TRUE(PrintAll(tabs));
}

}  // namespace
