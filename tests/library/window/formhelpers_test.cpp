// Form helpers: resize factors and their idempotence, control-state snapshots, the manifest
// writer and the folder-browse dialog.
#include <functional>

#include <QDialog>
#include <QFileSystemModel>
#include <QTreeView>

#include <gtest/gtest.h>

#include <tovcore/TypeLibrary.h>
#include <tovcore/clsTovcore.h>
#include <tovcore/clsTvResizeForm.h>
#include <tovcore/controls.h>

#include "library/window/modFormHelpers.h"
#include "tests/library/window/window_test_util.h"
#include "tests/support/testsupport.h"

namespace {

using namespace tovcore::ui;
using tovcore::clsTvResizeForm;

tovcore::clsTovcore& T() { return tovcore::Global(); }

struct Geometry {
    int left, top, width, height;
    bool operator==(const Geometry&) const = default;
};

Geometry Of(const ControlBase* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }

class Resizing : public ::testing::Test {
protected:
    void SetUp() override {
        form.SetWidth(9000);
        form.SetHeight(6000);
        inside = new TextBox(&form, "txtInside");
        wide = new RichTextBox(&form, "rtfWide");
        tall = new Frame(&form, "fraTall");
        pinned = new CommandButton(&form, "cmdPinned");
        pinned->SetTag("noresize");
        Place();
    }
    void Place() {
        inside->Move(100, 100, 2000, 300);
        wide->Move(1000, 2000, 9000, 1000);  // reaches 10000 across a 9000 window
        tall->Move(300, 1000, 1200, 6500);    // reaches 7500 down a 6000 window
        pinned->Move(8000, 5500, 2000, 1000);
    }
    Form form{"frmResize"};
    TextBox* inside = nullptr;
    RichTextBox* wide = nullptr;
    Frame* tall = nullptr;
    CommandButton* pinned = nullptr;
};

TEST_F(Resizing, FactorsAreCutToTwoDecimals) {
    clsTvResizeForm r;
    EXPECT_FALSE(r.Initialised());
    r.InitResizeArray(&form);
    EXPECT_TRUE(r.Initialised());
    EXPECT_FLOAT_EQ(r.WidthFactor(), 0.9f);    // floor(9000 / 10000 x 100) / 100
    EXPECT_FLOAT_EQ(r.HeightFactor(), 0.8f);   // floor(6000 / 7500 x 100) / 100
}

TEST_F(Resizing, RepeatsChangeNothingAndTheProgramsOwnMovesStay) {
    clsTvResizeForm r;
    r.InitResizeArray(&form);
    r.ResizeControls(&form);
    const Geometry once{900, 1600, 8100, 800};
    EXPECT_EQ(Of(wide), once);
    EXPECT_EQ(Of(inside), (Geometry{90, 80, 1800, 240}));
    EXPECT_EQ(Of(pinned), (Geometry{8000, 5500, 2000, 1000}));  // "NoResize" in any case
    r.ResizeControls(&form);
    r.ResizeControls(&form);
    EXPECT_EQ(Of(wide), once);

    // The program places a control itself (a frame lays out its strip on every resize): that
    // place becomes the control's base, scaled once, and does not snap back to the first one.
    wide->Move(500, 100, 4000, 500);
    inside->SetLeft(1000);
    r.ResizeControls(&form);
    EXPECT_EQ(Of(wide), (Geometry{450, 80, 3600, 400}));
    EXPECT_EQ(Of(inside), (Geometry{900, 80, 1800, 240}));
    r.ResizeControls(&form);
    EXPECT_EQ(Of(wide), (Geometry{450, 80, 3600, 400}));
    EXPECT_EQ(Of(inside), (Geometry{900, 80, 1800, 240}));
}

TEST_F(Resizing, FactorsOfOneMoveNothingNotEvenBackToTheFirstPlace) {
    Form fits("frmFits");
    fits.SetWidth(9000);
    fits.SetHeight(6000);
    auto* box = new TextBox(&fits, "txtBox");
    box->Move(100, 100, 2000, 300);
    clsTvResizeForm f;
    f.InitResizeArray(&fits);
    EXPECT_FLOAT_EQ(f.WidthFactor(), 1.0f);
    EXPECT_FLOAT_EQ(f.HeightFactor(), 1.0f);
    f.ResizeControls(&fits);
    EXPECT_EQ(Of(box), (Geometry{100, 100, 2000, 300}));
    box->Move(4000, 3000, 1000, 200);
    f.ResizeControls(&fits);
    EXPECT_EQ(Of(box), (Geometry{4000, 3000, 1000, 200}));
}

TEST_F(Resizing, AnUnsizedWindowIsLeftAloneAndItsFactorsWaitForItsFirstSize) {
    {
        clsTvResizeForm r;
        r.ResizeControls(&form);  // before InitResizeArray
        EXPECT_EQ(Of(wide), (Geometry{1000, 2000, 9000, 1000}));
        r.InitResizeArray(&form);
        form.SetWidth(0);
        r.ResizeControls(&form);
        EXPECT_EQ(Of(wide), (Geometry{1000, 2000, 9000, 1000}));
    }
    struct Case {
        const char* what;
        std::function<void(Form&)> unsize;
    } cases[] = {
        {"zero width", [](Form& f) { f.SetWidth(0); }},
        {"zero height", [](Form& f) { f.SetHeight(0); }},
        {"minimised", [](Form& f) { f.SetWindowState(1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Place();
        c.unsize(form);
        clsTvResizeForm r;
        r.InitResizeArray(&form);
        EXPECT_FALSE(r.Initialised());
        r.ResizeControls(&form);
        EXPECT_EQ(Of(wide), (Geometry{1000, 2000, 9000, 1000}));
        form.SetWindowState(0);
        form.SetWidth(9000);
        form.SetHeight(6000);
        r.ResizeControls(&form);  // computes from the sized window, then applies
        EXPECT_TRUE(r.Initialised());
        EXPECT_FLOAT_EQ(r.WidthFactor(), 0.9f);
        EXPECT_FLOAT_EQ(r.HeightFactor(), 0.8f);
        EXPECT_EQ(Of(wide), (Geometry{900, 1600, 8100, 800}));
    }
}

TEST_F(Resizing, MadeThroughTheClassFactory) {
    auto r = tovcore::CreateObjectAs<clsTvResizeForm>("Tovcore.clsTvResizeForm");
    ASSERT_NE(r, nullptr);
    r->InitResizeArray(&form);
    EXPECT_FLOAT_EQ(r->WidthFactor(), 0.9f);
}

TEST(ControlStates, DisableSaveAndRestoreByControl) {
    Form form("frmStates");
    auto* a = new CommandButton(&form, "cmdA");
    auto* b = new CommandButton(&form, "cmdB");
    auto* c = new CommandButton(&form, "cmdC");
    auto* menu = new Menu(&form, "mnuFile");
    b->SetEnabled(false);

    T().DisableSaveControls(&form);
    for (auto* x : {a, b, c}) EXPECT_FALSE(x->Enabled());
    EXPECT_FALSE(menu->isEnabled());

    // A control goes and another comes before the restore: each state goes back to its own control.
    delete b;
    auto* d = new CommandButton(&form, "cmdD");
    T().RestoreSavedControls(&form);
    EXPECT_TRUE(a->Enabled());
    EXPECT_TRUE(c->Enabled());
    EXPECT_TRUE(d->Enabled());
    EXPECT_TRUE(menu->isEnabled());

    // Without a snapshot a restore changes nothing.
    T().DisableAllControls(&form);
    T().RestoreSavedControls(&form);
    EXPECT_FALSE(a->Enabled());
    T().EnableAllControls(&form);
    EXPECT_TRUE(a->Enabled());
}

TEST(ControlStates, ASecondSnapshotKeepsTheFirst) {
    Form form("frmStates");
    auto* a = new CheckBox(&form, "chkA");
    auto* b = new CheckBox(&form, "chkB");
    b->SetEnabled(false);
    T().DisableSaveControls(&form);
    T().EnableAllControls(&form);
    T().DisableSaveControls(&form);  // the earlier snapshot stays
    T().RestoreSavedControls(&form);
    EXPECT_TRUE(a->Enabled());
    EXPECT_FALSE(b->Enabled());
}

TEST(Manifest, TemplatesPlaceholderAndEscaping) {
    testsupport::TempDir dir;
    const std::string path = T().CreateManifestFile("Tool", dir.path(), 103);
    EXPECT_EQ(path, dir.path() + "Tool.exe.manifest");
    const std::string text = testsupport::ReadBytes(path);
    EXPECT_NE(text.find("name=\"Tool.exe\""), std::string::npos);
    EXPECT_NE(text.find("requireAdministrator"), std::string::npos);
    EXPECT_EQ(text.find("Common-Controls"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find("<?xml"), 0u);

    // Templates 101 and 102 have no placeholder: the same text whatever the name.
    for (std::int16_t id : {101, 102}) {
        EXPECT_EQ(tovcore::detail::ManifestText("Tool", id), tovcore::detail::ManifestText("Other", id));
        EXPECT_NE(tovcore::detail::ManifestText("Tool", id).find("Common-Controls"), std::string::npos);
    }
    EXPECT_EQ(tovcore::detail::ManifestText("Tool", 999), tovcore::detail::ManifestText("Tool", 101));
    EXPECT_NE(tovcore::detail::ManifestText("A&B<\"C\"", 103).find("name=\"A&amp;B&lt;&quot;C&quot;.exe\""),
              std::string::npos);
}

TEST(Manifest, ACouldNotWriteAnswersEmpty) {
    testsupport::TempDir dir;
    testsupport::MakeFolders(dir.path() + "Tool.exe.manifest/");  // a folder where the file goes
    EXPECT_EQ(T().CreateManifestFile("Tool", dir.path(), 101), "");
    EXPECT_EQ(T().CreateManifestFile("Tool", dir.path() + "missing/folder", 101), "");
    T().InitXPStyles(101);  // nothing to do on this system
    EXPECT_FALSE(testsupport::PathExists(dir.path() + "missing"));
}

QTreeView* FolderTree(QWidget* dialog) { return dialog->findChild<QTreeView*>("folderTree"); }

bool IsBrowseDialog(QWidget* w) { return w->objectName() == "frmBrowseFolder"; }

TEST(BrowseFolder, OpensOnTheStartFolderAndAnswersTheChoice) {
    testsupport::TempDir dir;
    testsupport::MakeFolders(dir.path() + "Start/");
    testsupport::MakeFolders(dir.path() + "Chosen/");
    Form owner("frmOwner");
    QString title, startShown;
    wintest::WhenShown(IsBrowseDialog, [&](QWidget* dialog) {
        title = dialog->windowTitle();
        QTreeView* tree = FolderTree(dialog);
        auto* model = static_cast<QFileSystemModel*>(tree->model());
        startShown = model->filePath(tree->currentIndex());
        tree->setCurrentIndex(model->index(QString::fromStdString(dir.path() + "Chosen")));
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::string chosen = T().BrowseFolder("  " + dir.path() + "Start  ", &owner);
    EXPECT_EQ(title, "Browse for Folder");
    EXPECT_EQ(startShown.toStdString(), dir.path() + "Start");
    EXPECT_EQ(chosen, dir.path() + "Chosen");
}

TEST(BrowseFolder, ACancelAnswersEmpty) {
    testsupport::TempDir dir;
    wintest::WhenShown(IsBrowseDialog, [](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(T().BrowseFolder(dir.path(), nullptr), "");
}

}  // namespace
