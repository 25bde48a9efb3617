// The control layer: units, colours, properties by name, the Controls collection, the tab control.
#include <memory>

#include <QApplication>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <tovcore/controls.h>

namespace {

using namespace tovcore::ui;

TEST(ControlUnits, TwipsBecomeWholePixelsHalvesToEven) {
    struct Case {
        double twips;
        int pixels;
    } cases[] = {{0, 0}, {15, 1}, {22, 1}, {23, 2}, {7.5, 0}, {22.5, 2}, {37.5, 2}, {-7.5, 0}, {1215, 81}, {-75000, -5000}};
    for (const Case& c : cases) EXPECT_EQ(TwipsToPixels(c.twips), c.pixels) << c.twips;
    EXPECT_EQ(PixelsToTwips(81), 1215);
}

TEST(ControlColours, WindowsValuesAndSystemColours) {
    EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));  // red in the low byte
    EXPECT_EQ(ToQColor(0xC08000), QColor(0, 0x80, 0xC0));
    EXPECT_EQ(FromQColor(QColor(1, 2, 3)), 0x030201);
    EXPECT_EQ(TranslateColor(0x804000), 0x804000);
    // A system colour is the current colour of the palette role that stands for it.
    EXPECT_TRUE(IsSystemColor(vbButtonFace));
    EXPECT_EQ(TranslateColor(vbButtonFace), FromQColor(QApplication::palette().color(QPalette::Button)));
    EXPECT_EQ(TranslateColor(vbWindowBackground), FromQColor(QApplication::palette().color(QPalette::Base)));
    EXPECT_EQ(SystemColorRole(18), QPalette::ButtonText);
    EXPECT_EQ(TranslateColor(SystemColor(200)), 0);  // outside the table
    EXPECT_EQ(TranslateColor(-999), 0);
}

TEST(ControlProperties, TypeNamesOfEveryControl) {
    Form form("frmTest");
    auto* frame = new Frame(&form, "fraOne");
    auto* tab = new SSTab(&form, "SSTab1");
    auto* menu = new Menu(&form, "mnuFile");
    const std::pair<QObject*, const char*> cases[] = {
        {&form, "Form"},
        {new Label(&form, "Label1"), "Label"},
        {new CommandButton(&form, "cmdPlain"), "CommandButton"},
        {new MyButton(frame, "cmdGradient"), "MyButton"},
        {new TextBox(&form, "txtProject"), "TextBox"},
        {new CheckBox(&form, "chkLog", 0), "CheckBox"},
        {new OptionButton(&form, "optA"), "OptionButton"},
        {frame, "Frame"},
        {new PictureBox(&form, "Picture1"), "PictureBox"},
        {new ComboBox(&form, "cboCode"), "ComboBox"},
        {new ListBox(&form, "List1"), "ListBox"},
        {new ListView(&form, "lvwItems"), "ListView"},
        {new TreeView(tab, "treProject"), "TreeView"},
        {new RichTextBox(tab, "rtfAPIs"), "RichTextBox"},
        {tab, "SSTab"},
        {menu, "Menu"},
    };
    for (const auto& [obj, type] : cases) EXPECT_EQ(TypeName(obj), type) << obj->objectName().toStdString();
    EXPECT_EQ(TypeName(nullptr), "");
}

TEST(ControlProperties, LookedUpByNameAndSkippedWhereMissing) {
    Form form("frmTest");
    auto* label = new Label(&form, "Label1");
    auto* button = new CommandButton(&form, "cmdOk");
    auto* item = new Menu(&form, "mnuFile");

    EXPECT_TRUE(SetProperty(label, "BackStyle", 0));
    EXPECT_EQ(GetProperty(label, "BackStyle")->toInt(), 0);
    // A property the control lacks is not written, and no dynamic property appears.
    EXPECT_FALSE(SetProperty(button, "BackStyle", 0));
    EXPECT_FALSE(GetProperty(button, "BackStyle").has_value());
    EXPECT_FALSE(button->property("BackStyle").isValid());
    EXPECT_FALSE(SetProperty(item, "Left", 100));
    // Read-only properties and values that do not convert are refused.
    EXPECT_FALSE(SetProperty(button, "Name", "cmdOther"));
    EXPECT_FALSE(SetProperty(button, "Left", QVariant::fromValue(QPoint(1, 2))));
    // A dynamic property does not count as one the control has.
    button->setProperty("Extra", 1);
    EXPECT_FALSE(HasProperty(button, "Extra"));

    EXPECT_TRUE(SetProperty(button, "Caption", "&Save"));
    EXPECT_EQ(button->text(), "&Save");
    EXPECT_TRUE(SetProperty(item, "Enabled", false));
    EXPECT_FALSE(item->isEnabled());
}

TEST(ControlProperties, TwipsReadBackExactlyWhileThePixelsStay) {
    Form form("frmTest");
    auto* button = new MyButton(&form, "cmdOk");
    button->Move(100, 200, 1215, 495);
    EXPECT_EQ(button->Left(), 100);
    EXPECT_EQ(button->Top(), 200);
    EXPECT_EQ(button->Width(), 1215);
    EXPECT_EQ(button->Height(), 495);
    EXPECT_EQ(button->geometry(), QRect(7, 13, 81, 33));
    // Moved in pixels by someone else: the twips follow the pixels.
    button->move(10, 13);
    EXPECT_EQ(button->Left(), 150);
    EXPECT_EQ(button->Top(), 200);

    form.SetWidth(9000);
    form.SetHeight(6000);
    EXPECT_EQ(form.Width(), 9000);
    EXPECT_EQ(form.ScaleHeight(), 6000);
}

TEST(FormGeometry, AWindowTakesTheOuterSizeItWasGivenOnceItHasItsFrame) {
    // Given before the window is shown (no frame yet), as a restored place is, and again after.
    for (bool shownFirst : {false, true}) {
        SCOPED_TRACE(shownFirst ? "given while shown" : "given before the frame");
        Form form("frmPlace");
        if (shownFirst) {
            form.show();
            QCoreApplication::processEvents();
        }
        form.Move(1500, 1200, 9600, 7200);
        form.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(form.frameGeometry().size(), QSize(640, 480));
        EXPECT_EQ(form.Width(), 9600);
        EXPECT_EQ(form.Height(), 7200);
        EXPECT_EQ(form.Left(), 1500);
        EXPECT_EQ(form.Top(), 1200);
        // Shown again, it keeps that size: nothing grows by the frame each time.
        form.hide();
        form.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(form.frameGeometry().size(), QSize(640, 480));
    }
    // Resized by someone else before it was framed: the new size stands.
    Form resized("frmResized");
    resized.Move(0, 0, 9600, 7200);
    resized.resize(300, 200);
    resized.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(resized.size(), QSize(300, 200));
}

TEST(FrameBorderStyle, NoBorderLeavesNoMarginAndPaintsOnlyItsBackColor) {
    Form form("frmTest");
    auto* frame = new Frame(&form, "fraPlain");
    frame->SetCaption("Caption");
    EXPECT_EQ(frame->BorderStyle(), 1);
    EXPECT_NE(frame->contentsMargins(), QMargins(0, 0, 0, 0));
    EXPECT_TRUE(SetProperty(frame, "BorderStyle", 0));
    frame->SetBackColor(0x00FF00);
    frame->Move(0, 0, 1500, 1500);
    // The group box works its margins out again when its font or caption change.
    QFont big = frame->font();
    big.setPointSize(big.pointSize() + 6);
    frame->setFont(big);
    frame->SetCaption("Another");
    EXPECT_EQ(frame->contentsMargins(), QMargins(0, 0, 0, 0));
    const QImage image = frame->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(50, 6), QPoint(99, 99), QPoint(5, 50)})
        EXPECT_EQ(image.pixelColor(p), QColor(0, 255, 0)) << p.x() << "," << p.y();
    // Back to a border: the margins come back.
    frame->SetBorderStyle(1);
    EXPECT_NE(frame->contentsMargins(), QMargins(0, 0, 0, 0));
}

TEST(ControlProperties, EnabledAndVisibleAreTheControlsOwn) {
    Form form("frmTest");
    auto* frame = new Frame(&form, "fraOne");
    auto* inside = new CheckBox(frame, "chkInside");
    frame->SetEnabled(false);
    EXPECT_FALSE(inside->isEnabled());
    EXPECT_TRUE(inside->Enabled());  // a disabled container does not change the control's own state
    EXPECT_TRUE(inside->Visible());  // the form is not shown, the control is not hidden
    inside->SetVisible(false);
    EXPECT_FALSE(GetProperty(inside, "Visible")->toBool());
}

TEST(ControlsCollection, CreationOrderMenusIncludedGoneControlsDropped) {
    Form form("frmTest");
    auto* file = new Menu(&form, "mnuFile");
    auto* frame = new Frame(&form, "fraOne");
    auto* inFrame = new Label(frame, "Label1");
    auto* exit = new Menu(file, "mnuExit");
    auto* text = new TextBox(&form, "txtProject");
    std::vector<QObject*> expected{file, frame, inFrame, exit, text};
    EXPECT_EQ(Controls(&form), expected);

    delete inFrame;
    expected.erase(expected.begin() + 2);
    EXPECT_EQ(Controls(&form), expected);
    EXPECT_TRUE(Controls(frame).empty());  // only a form has a Controls collection

    // Containers, and the client area below the menu bar.
    EXPECT_EQ(text->Container(), &form);
    EXPECT_EQ(text->parentWidget(), form.Client());
    EXPECT_EQ(FormOf(exit), &form);
    EXPECT_EQ(file->SubMenu()->actions().size(), 1);
    EXPECT_TRUE(form.MenuBar()->actions().contains(file));
}

TEST(ControlEvents, CheckBoxClickFollowsEveryValueChange) {
    Form form("frmTest");
    auto* box = new CheckBox(&form, "chkLog", 2);
    QSignalSpy clicks(box, &CheckBox::Click);
    box->SetValue(1);
    EXPECT_EQ(box->Value(), 1);
    box->SetValue(1);
    box->SetValue(0);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(box->Index(), 2);
}

class TabControl : public ::testing::Test {
protected:
    void SetUp() override {
        tab = new SSTab(&form, "SSTab1");
        tab->SetTabs(3);
        tab->Move(0, 0, 6000, 4000);
        first = new RichTextBox(tab, "rtfFirst");
        first->Move(25, 400, 3000, 2000);
        tab->SetTab(1);
        second = new TreeView(tab, "treSecond");
        second->Move(25, 400, 3000, 2000);
    }
    Form form{"frmTest"};
    SSTab* tab = nullptr;
    RichTextBox* first = nullptr;
    TreeView* second = nullptr;
};

TEST_F(TabControl, ControlsOfHiddenTabsLieFarLeft) {
    EXPECT_EQ(tab->TabOf(first), 0);
    EXPECT_EQ(tab->TabOf(second), 1);
    EXPECT_EQ(first->Left(), 25 - SSTab::kHiddenOffset);
    EXPECT_EQ(second->Left(), 25);
    EXPECT_EQ(first->Container(), tab);

    tab->SetTab(0);
    EXPECT_EQ(first->Left(), 25);
    EXPECT_EQ(second->Left(), 25 - SSTab::kHiddenOffset);

    // A control placed on another tab goes far left at once, and comes back with its tab.
    tab->PlaceOnTab(first, 2);
    EXPECT_LT(first->Left(), 0);
    tab->SetTab(2);
    EXPECT_EQ(first->Left(), 25);
}

TEST_F(TabControl, SettingTheTabRaisesClickWithThePreviousTab) {
    QSignalSpy clicks(tab, &SSTab::Click);
    tab->SetTab(2);
    tab->SetTab(2);   // no change, no click
    tab->SetTab(7);   // no such tab
    tab->SetTab(0);
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks[0][0].toInt(), 1);
    EXPECT_EQ(clicks[1][0].toInt(), 2);

    // A click on a tab of the strip selects it.
    tab->SetTabsPerRow(3);
    QTest::mouseClick(tab, Qt::LeftButton, {}, tab->TabRect(1).center());
    EXPECT_EQ(tab->Tab(), 1);
    EXPECT_EQ(clicks.count(), 3);
}

TEST_F(TabControl, TheKeyboardStepsRoundTheTabsAndTheFocusFollowsToThePageShown) {
    form.Move(0, 0, 7000, 5000);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QSignalSpy clicks(tab, &SSTab::Click);
    second->setFocus();
    // From a page: Ctrl+Tab to the next tab (its page takes the focus), round the end.
    QTest::keyClick(second, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tab->Tab(), 2);
    EXPECT_EQ(QApplication::focusWidget(), tab) << "a tab without a control: the strip has the focus";
    QTest::keyClick(tab, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(tab->Tab(), 0);
    EXPECT_EQ(QApplication::focusWidget(), tab) << "the focus was on the strip and stays there";
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tab->Tab(), 2);
    QTest::keyClick(tab, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(tab->Tab(), 1);
    // On the focused strip: arrows, Home and End, without going round.
    tab->setFocus();
    for (const auto& [key, expected] : std::vector<std::pair<Qt::Key, int>>{
             {Qt::Key_Left, 0}, {Qt::Key_Left, 0}, {Qt::Key_Right, 1}, {Qt::Key_End, 2}, {Qt::Key_Right, 2},
             {Qt::Key_Home, 0}}) {
        QTest::keyClick(tab, key);
        EXPECT_EQ(tab->Tab(), expected) << key;
    }
    EXPECT_EQ(clicks.count(), 8);
    // A disabled control does not move.
    tab->SetEnabled(false);
    QTest::keyClick(tab, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tab->Tab(), 0);
}

TEST_F(TabControl, EachTabHasItsOwnToolTip) {
    tab->SetTabToolTip(1, "The second page");
    EXPECT_EQ(tab->TabToolTip(1), "The second page");
    EXPECT_EQ(tab->TabToolTip(0), "");
    EXPECT_EQ(tab->TabToolTip(9), "");
    tab->SetTabs(5);
    EXPECT_EQ(tab->TabToolTip(1), "The second page");
    EXPECT_EQ(tab->TabToolTip(4), "");
}

TEST_F(TabControl, CaptionsAndTabCount) {
    tab->SetTabCaption(0, "App Functions");
    tab->SetTab(0);
    EXPECT_EQ(GetProperty(tab, "Caption")->toString(), "App Functions");
    tab->SetTabs(6);
    EXPECT_EQ(tab->TabCaption(5), "Tab 5");
    tab->SetTab(5);
    tab->SetTabs(2);
    EXPECT_EQ(tab->Tab(), 1);
}

}  // namespace
