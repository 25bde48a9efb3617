// The form services: the list of loaded windows, window places in the settings file, the colour
// dialog, the close question, and the lenient settings readers.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <tovcore/clsTovcore.h>
#include <tovcore/controls.h>

#include "app/core/Settings.h"
#include "app/forms/FormServices.h"
#include "app/services/QtServices.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/support/testsupport.h"

namespace {

using namespace quillet;
namespace ui = tovcore::ui;

// A window that can be told to refuse its unload.
class TestForm : public ui::Form {
public:
    TestForm(Program& program, const QString& name, const QString& tag) : ui::Form(name), program_(program) {
        SetTag(tag);
        program_.forms.Add(this);
        connect(this, &ui::Form::FormQueryUnload, this, [this](int& cancel, int) { cancel = refuse ? 1 : 0; });
    }
    ~TestForm() override { program_.forms.Remove(this); }
    bool refuse = false;

private:
    Program& program_;
};

TEST(LoadedWindows, AreListedInLoadOrderAndFoundByExactTag) {
    apptest::TestProgram t;
    auto* a = new TestForm(t.program, "frmBackGround", "frmBackGround");
    auto* b = new TestForm(t.program, "frmHelp", "frmHelp");
    std::vector<ui::Form*> expected{a, b};
    EXPECT_EQ(t.program.forms.List(), expected);
    EXPECT_TRUE(IsFormLoaded(t.program, "frmHelp"));
    EXPECT_FALSE(IsFormLoaded(t.program, "FRMHELP"));
    delete b;
    EXPECT_FALSE(IsFormLoaded(t.program, "frmHelp"));
    delete a;
}

TEST(LoadedWindows, UnloadAllFormsKeepsTheGivenWindowAndTheOnesThatRefuse) {
    apptest::TestProgram t;
    auto* frame = new TestForm(t.program, "frmBackGround", "shared");
    QPointer<TestForm> help = new TestForm(t.program, "frmHelp", "shared");
    QPointer<TestForm> stubborn = new TestForm(t.program, "frmView", "frmView");
    stubborn->refuse = true;
    QPointer<TestForm> about = new TestForm(t.program, "frmAbout", "frmAbout");

    UnloadAllForms(t.program, frame);
    apptest::ProcessEvents();

    EXPECT_TRUE(t.program.forms.Contains(frame));
    EXPECT_TRUE(help.isNull());
    EXPECT_TRUE(about.isNull());
    ASSERT_FALSE(stubborn.isNull());
    EXPECT_TRUE(t.program.forms.Contains(stubborn));
    delete stubborn.data();
    delete frame;
}

// ---- window places ---------------------------------------------------------------------------

struct PlaceCase {
    const char* name;
    const char* top;
    const char* left;
    const char* height;
    const char* width;
    bool moved;
    int expectLeft, expectTop, expectWidth, expectHeight;
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

// The primary screen's available area in twips.
QSize ScreenTwips() {
    apptest::App();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    return {ui::PixelsToTwips(area.width()), ui::PixelsToTwips(area.height())};
}

class WindowPlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(WindowPlace, IsRestoredFromTheSettingsFileOnlyWhenAWidthIsStored) {
    const PlaceCase& c = GetParam();
    apptest::TestProgram t;
    const std::string& ini = t.program.state.IniFileName;
    ui::Form form("frmHelp");
    form.Move(1500, 1200, 6000, 4500);
    auto& lib = tovcore::Global();
    lib.WriteIniSection("frmHelp", "", ini);
    if (c.top) lib.WriteIniString("frmHelp", "Top", c.top, ini);
    if (c.left) lib.WriteIniString("frmHelp", "Left", c.left, ini);
    if (c.height) lib.WriteIniString("frmHelp", "Height", c.height, ini);
    if (c.width) lib.WriteIniString("frmHelp", "Width", c.width, ini);

    RestoreFormPosition(&form, ini);

    if (c.moved) {
        EXPECT_EQ(form.Left(), c.expectLeft);
        EXPECT_EQ(form.Top(), c.expectTop);
        EXPECT_EQ(form.Width(), c.expectWidth);
        EXPECT_EQ(form.Height(), c.expectHeight);
    } else {
        EXPECT_EQ(form.Left(), 1500);
        EXPECT_EQ(form.Top(), 1200);
        EXPECT_EQ(form.Width(), 6000);
        EXPECT_EQ(form.Height(), 4500);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowPlace,
    ::testing::Values(PlaceCase{"NeverSaved", nullptr, nullptr, nullptr, nullptr, false, 0, 0, 0, 0},
                      PlaceCase{"Stored", "300", "450", "3000", "7500", true, 450, 300, 7500, 3000},
                      PlaceCase{"NegativeLeftAndTopApplied", "-600", "-900", "3000", "7500", true, -900, -600, 7500, 3000},
                      PlaceCase{"WidthZero", "300", "450", "3000", "0", false, 0, 0, 0, 0},
                      PlaceCase{"WidthNotANumber", "300", "450", "3000", "wide", false, 0, 0, 0, 0},
                      PlaceCase{"TopNotANumberKeepsTheWindowsTop", "high", "450", "3000", "7500", true, 450, 1200, 7500,
                                3000},
                      PlaceCase{"FractionsRoundHalfToEven", "300.5", "451.5", "3000", "7500", true, 452, 300, 7500,
                                3000},
                      PlaceCase{"SizeLargerThanTheScreenIsFitted", "0", "0", "2000000000", "2000000000", true, 0, 0,
                                ScreenTwips().width(), ScreenTwips().height()},
                      PlaceCase{"TinySizeIsMadeUsable", "0", "0", "15", "15", true, 0, 0, 1350, 1350}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowPlace, IsWrittenFromTheNormalPlaceWhileMaximised) {
    apptest::TestProgram t;
    const std::string& ini = t.program.state.IniFileName;
    ui::Form form("frmHelp");
    form.show();
    form.Move(1500, 1200, 6000, 4500);
    apptest::ProcessEvents();
    const int width = form.Width(), height = form.Height();
    form.SetWindowState(2);
    apptest::ProcessEvents();

    WriteFormPosition(&form, ini);

    auto& lib = tovcore::Global();
    EXPECT_EQ(lib.GetIniString("frmHelp", "Width", "", ini), std::to_string(width));
    EXPECT_EQ(lib.GetIniString("frmHelp", "Height", "", ini), std::to_string(height));
    EXPECT_EQ(lib.GetIniString("frmHelp", "WindowState", "", ini), "2");
    EXPECT_EQ(lib.GetIniString("frmHelp", "Visible", "", ini), "True");
}

// ---- colour dialog and close question ----------------------------------------------------------

TEST(SelectColor, ConfirmedColourMarksTheProjectChangedAndCancelKeepsBoth) {
    apptest::TestProgram t;
    t.fakes.dialogs.colorResults = {0x123456, std::nullopt};
    EXPECT_EQ(SelectColor(t.program, nullptr, "Form", 32896), 0x123456);
    EXPECT_TRUE(t.program.state.ProjectChanged);
    ASSERT_EQ(t.fakes.dialogs.requests.size(), 1u);
    EXPECT_EQ(t.fakes.dialogs.requests[0].title, "Select Form Color");
    EXPECT_EQ(t.fakes.dialogs.requests[0].color, 32896);

    t.program.state.ProjectChanged = false;
    EXPECT_EQ(SelectColor(t.program, nullptr, "DisplayColor", 8454143), 8454143);
    EXPECT_FALSE(t.program.state.ProjectChanged);
}

struct CloseCase {
    const char* name;
    bool changed;
    std::int32_t answer;
    bool asked;
    bool closes;
    bool changedAfter;
};

void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class CloseQuestion : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseQuestion, DecidesWhetherTheWindowClosesAndWhatIsSaved) {
    const CloseCase& c = GetParam();
    apptest::TestProgram t;
    t.program.state.ProjectChanged = c.changed;
    t.fakes.messageBox.answers = {c.answer};
    EXPECT_EQ(AskSaveOnClose(t.program), c.closes);
    EXPECT_EQ(t.program.state.ProjectChanged, c.changedAfter);
    ASSERT_EQ(t.fakes.messageBox.shown.size(), c.asked ? 1u : 0u);
    if (c.asked) {
        EXPECT_EQ(t.fakes.messageBox.shown[0].prompt, "Do you want to save this project?");
        EXPECT_EQ(t.fakes.messageBox.shown[0].style, 35);
        EXPECT_EQ(t.fakes.messageBox.shown[0].title, tovcore::Global().GetVersion());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CloseQuestion,
                         ::testing::Values(CloseCase{"Unchanged", false, kYes, false, true, false},
                                           CloseCase{"Yes", true, kYes, true, true, true},
                                           CloseCase{"No", true, kNo, true, true, false},
                                           CloseCase{"Cancel", true, kCancel, true, false, true},
                                           CloseCase{"Dismissed", true, kAnswerNone, true, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- settings readers ------------------------------------------------------------------------

TEST(SettingsReaders, TakeTheDefaultForValuesThatAreNoNumberOrBoolean) {
    struct Row {
        const char* text;
        std::optional<std::int32_t> number;
        std::optional<bool> boolean;
    };
    const Row rows[] = {
        {"12", 12, true},         {" 12 ", 12, true},       {"-3", -3, true},       {"0", 0, false},
        {"2.5", 2, true},         {"3.5", 4, true},         {"True", {}, true},     {"false", {}, false},
        {"", {}, {}},             {"abc", {}, {}},          {"12px", {}, {}},       {"0x10", {}, {}},
        {"1e3", {}, {}},          {"99999999999", {}, {}}, {".", {}, {}},          {"-", {}, {}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ParseWholeNumber(r.text), r.number) << '"' << r.text << '"';
        EXPECT_EQ(ParseBoolean(r.text), r.boolean) << '"' << r.text << '"';
    }
    apptest::TestProgram t;
    const std::string& ini = t.program.state.IniFileName;
    WriteIniText("Quillet", "FormColor", "green", ini);
    EXPECT_EQ(ReadIniNumber("Quillet", "FormColor", 32896, ini), 32896);
    WriteIniText("Quillet", "CheckForUpdates", "sometimes", ini);
    EXPECT_FALSE(ReadIniBool("Quillet", "CheckForUpdates", false, ini));
    EXPECT_TRUE(ReadIniBool("Quillet", "CheckForUpdates", true, ini));
}

// Every write replaces the file (a new inode); a read or write that changes nothing must not.
ino_t Inode(const std::string& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(SettingsReaders, WriteTheFileOnlyWhenItsContentChanges) {
    apptest::TestProgram t;
    const std::string& ini = t.program.state.IniFileName;
    WriteIniText("Quillet", "FormColor", "255", ini);
    const ino_t before = Inode(ini);
    EXPECT_EQ(ReadIniText("Quillet", "FormColor", "32896", ini), "255");
    EXPECT_EQ(ReadIniText("Projects", "Project1", "", ini), "");
    WriteIniText("Quillet", "formcolor", "255", ini);
    EXPECT_EQ(Inode(ini), before);
    EXPECT_EQ(tovcore::Global().GetIniString("Projects", "Project1", "?", ini), "?") << "the empty read left no key";

    // A missing key read with a default is written, as the engine does; a changed value is written.
    EXPECT_EQ(ReadIniText("Quillet", "DisplayColor", "8454143", ini), "8454143");
    std::string body;
    tovcore::Global().GetIniSection("Quillet", body, ini);
    EXPECT_NE(body.find("DisplayColor=8454143"), std::string::npos);
    WriteIniText("Quillet", "FormColor", "65280", ini);
    EXPECT_EQ(ReadIniText("Quillet", "FormColor", "", ini), "65280");
}

TEST(QtServicesHelpers, FiltersAndEditorCommandsAreSplitAsWritten) {
    EXPECT_EQ(QtFilter("Projects |*.qlp"), "Projects (*.qlp)");
    EXPECT_EQ(QtFilter("VB Project |*.vbp;*.vbg|All|*.*"), "VB Project (*.vbp *.vbg);;All (*.*)");
    using V = std::vector<std::string>;
    EXPECT_EQ(EditorCommand("gedit", "/a b/x.log"), (V{"gedit", "/a b/x.log"}));
    EXPECT_EQ(EditorCommand("  code --wait ", "f"), (V{"code", "--wait", "f"}));
    EXPECT_EQ(EditorCommand("\"/opt/My Editor/ed\" -n", "f"), (V{"/opt/My Editor/ed", "-n", "f"}));
    EXPECT_EQ(EditorCommand("   ", "f"), V{});
}

}  // namespace
