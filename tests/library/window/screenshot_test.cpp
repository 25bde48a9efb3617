// A picture of a skinned demo window with a message box over it, saved in the build folder for a
// person to look at. The test asserts only that the picture was written.
#include <QDir>
#include <QPainter>
#include <QStandardItemModel>

#include <gtest/gtest.h>

#include <tovcore/clsTovcore.h>
#include <tovcore/controls.h>

#include "library/window/modMsgBox.h"
#include "tests/library/library_test_util.h"
#include "tests/library/window/window_test_util.h"

namespace {

using namespace tovcore::ui;

TEST(Screenshot, SkinnedFormWithAMessageBox) {
    Form form("frmDemo");
    form.SetCaption("Quillet demo");
    form.Move(0, 0, 9000, 6750);
    auto* file = new Menu(&form, "mnuFile");
    file->SetCaption("&File");
    (new Menu(file, "mnuExit"))->SetCaption("E&xit");

    auto* projects = new Frame(&form, "fraProjects");
    projects->SetCaption("VBP/VBG Projects");
    projects->Move(120, 60, 8700, 750);
    auto* path = new TextBox(projects, "txtProject");
    path->Move(120, 300, 7700, 330);
    path->SetText("/home/user/Projects/Billing/Billing.vbp");
    auto* browse = new MyButton(projects, "cmdBrowse");
    browse->SetCaption("...");
    browse->Move(7900, 300, 600, 330);

    auto* pre = new Label(&form, "Label1");
    pre->SetCaption("Pre-Code");
    pre->Move(240, 900, 1200, 250);
    auto* debug = new CheckBox(&form, "chkLog", 0);
    debug->Move(1500, 930, 190, 110);
    auto* debugLabel = new Label(&form, "Label8");
    debugLabel->SetCaption("Debug");
    debugLabel->Move(1750, 900, 900, 250);
    auto* trace = new CheckBox(&form, "chkTrace");
    trace->SetCaption("Trace");
    trace->SetValue(1);
    trace->Move(3000, 930, 190, 110);
    auto* all = new OptionButton(&form, "optAll");
    all->SetCaption("All Files");
    all->SetValue(true);
    all->Move(4500, 930, 190, 90);

    auto* tabs = new SSTab(&form, "SSTab1");
    tabs->SetTabs(3);
    tabs->SetTabsPerRow(3);
    tabs->SetTabCaption(0, "App Functions");
    tabs->SetTabCaption(1, "Called Routines");
    tabs->SetTabCaption(2, "API's");
    tabs->Move(120, 1250, 8700, 4300);
    auto* tree = new TreeView(tabs, "treProject");
    tree->Move(150, 480, 8400, 3650);
    auto* project = new QStandardItem("Billing");
    auto* modules = new QStandardItem("Modules");
    modules->appendRow(new QStandardItem("modMain.bas"));
    modules->appendRow(new QStandardItem("modTrace.bas"));
    project->appendRow(modules);
    tree->Items()->appendRow(project);
    tree->expandAll();

    const char* captions[] = {"&Add Code", "&Print", "&Cancel", "&Exit"};
    for (int i = 0; i < 4; ++i) {
        auto* b = new MyButton(&form, QString("cmdButton%1").arg(i));
        b->SetCaption(captions[i]);
        b->Move(120 + i * 1500, 5750, 1350, 450);
    }
    tovcore::detail::State().client.app = libtest::TestApp();
    tovcore::detail::State().client.exeName = "Quillet";
    tovcore::Global().SkinIt(&form, 0x804000, 0xFFFFFF, 0xFFFFFF, 0xC08000, 0xFFFFFF, 0xFFFFF0, 1);
    form.show();

    const QString folder = QStringLiteral(QUILLET_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    const QString file_ = folder + "/skinned_form_with_message_box.png";
    QFile::remove(file_);
    wintest::WhenShown([](QWidget* w) { return dynamic_cast<tovcore::detail::frmMsgBox*>(w) != nullptr; },
                       [&](QWidget* w) {
                           auto* box = static_cast<tovcore::detail::frmMsgBox*>(w);
                           const QPixmap back = form.grab();
                           const QPixmap front = box->grab();
                           QImage picture(back.size(), QImage::Format_ARGB32);
                           QPainter p(&picture);
                           p.drawPixmap(0, 0, back);
                           const QPoint at((back.width() - front.width()) / 2, (back.height() - front.height()) / 2);
                           p.fillRect(QRect(at, front.size()).adjusted(-3, -22, 3, 3), QColor(60, 60, 60));
                           p.setPen(Qt::white);
                           p.drawText(QRect(at.x(), at.y() - 20, front.width(), 18), Qt::AlignVCenter,
                                      box->windowTitle());
                           p.drawPixmap(at, front);
                           p.end();
                           picture.save(file_);
                           box->Buttons()[0]->click();
                       });
    tovcore::Global().MyMsgBox("Do you want to save this project?\r\nChanges to \"Billing.vbp\" & its files.", 35, "");
    EXPECT_TRUE(QFile::exists(file_));
}

}  // namespace
