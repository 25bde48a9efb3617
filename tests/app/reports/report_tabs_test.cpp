// The report tabs in the tool window, as the user meets them: after Browse the four boxes show the
// reports with unused names in red; on the Called Routines tab a click on a call site opens the
// viewer at the calling file and line (a group member in a sub-folder, an LF file); Save writes
// what the tab shows.
#include <gtest/gtest.h>

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "app/secondary/frmView.h"
#include "app/views/TreeModel.h"
#include "reports/output.h"
#include "tests/app/support/ReportFixture.h"
#include "tests/app/support/ToolFixture.h"

namespace {

using namespace quillet;

struct ReportTabsFixture {
    ReportTabsFixture() {
        // The real viewer, not the fixture's recorder.
        f.w->SetViewer([this](const std::string& path, int line) { ShowFileInViewer(f.t.program, path, line); });
        f.Browse(apptest::WriteReportGroup(f.dir.path() + "reports/"));
    }
    apptest::ToolFixture f;
};

TEST(ReportTabs, AfterALoadTheBoxesShowTheReportsWithUnusedNamesInRed) {
    ReportTabsFixture r;
    toolwindow::frmQuillet& w = *r.f.w;
    for (int tab = reports::kTabModules; tab <= reports::kTabAPIs; ++tab) {
        const reports::ReportBox* report = w.Reports().Box(tab);
        ASSERT_NE(report, nullptr);
        EXPECT_EQ(w.ReportBox(tab)->toPlainText(), QString::fromStdString(report->text).replace("\r\n", "\n")) << tab;
    }
    QTextDocument* modules = w.ReportBox(reports::kTabModules)->document();
    const int unused = modules->toPlainText().indexOf("gUnused");
    ASSERT_GE(unused, 0);
    QTextCursor cursor(modules);
    cursor.setPosition(unused + 1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(w.ReportBox(reports::kTabModules)->isReadOnly());
}

TEST(ReportTabs, ACallSiteClickOpensTheViewerAtTheCallingFileAndLine) {
    ReportTabsFixture r;
    toolwindow::frmQuillet& w = *r.f.w;
    w.SSTab1()->SetTab(reports::kTabRoutines);
    apptest::ProcessEvents();
    const engine::Tree& tree = w.State().treRoutines;
    ASSERT_FALSE(tree.empty());
    const std::string util = r.f.dir.path() + "reports/Lib/Sub/Util.bas";
    engine::NodeId site = engine::kNoNode;
    for (std::size_t i = 0; i < tree.Count(); ++i) {
        const engine::TreeNode& n = tree.Node(static_cast<engine::NodeId>(i));
        if (n.openPath == util && n.openLine == 5) site = static_cast<engine::NodeId>(i);
    }
    ASSERT_NE(site, engine::kNoNode);

    QTreeView* view = w.treRoutines();
    auto* model = qobject_cast<views::TreeModel*>(view->model());
    ASSERT_NE(model, nullptr);
    view->expandAll();
    const QModelIndex index = model->IndexOf(site);
    view->scrollTo(index);
    apptest::ProcessEvents();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    apptest::ProcessEvents();

    auto* viewer = qobject_cast<frmView*>(r.f.t.program.forms.FindByTag("frmView"));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->Caption(), "View - Util.bas");
    EXPECT_EQ(viewer->rtfView()->document()->findBlockByNumber(viewer->MarkedLine()).text(), "    Helper 1");
    EXPECT_EQ(viewer->MarkedLine(), 4);
    viewer->close();
}

}  // namespace
