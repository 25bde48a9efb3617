// Skinning: the walk that sets and skips properties by name, the tags it honours, the remembered
// skin, and the gradients read back as pixels from grabbed widgets.
#include <QApplication>
#include <QStyle>
#include <QStandardItemModel>

#include <gtest/gtest.h>

#include <tovcore/clsTovcore.h>
#include <tovcore/controls.h>

#include "library/src/LibraryState.h"
#include "library/window/modTabPainter.h"
#include "tests/library/window/window_test_util.h"

namespace {

using namespace tovcore::ui;
using tovcore::detail::State;
using wintest::Distance;

tovcore::clsTovcore& T() { return tovcore::Global(); }

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor(static_cast<int>(a.red() + (b.red() - a.red()) * t + 0.5),
                  static_cast<int>(a.green() + (b.green() - a.green()) * t + 0.5),
                  static_cast<int>(a.blue() + (b.blue() - a.blue()) * t + 0.5));
}

void AddNodes(TreeView* tree) {
    auto* root = new QStandardItem("Project");
    root->appendRow(new QStandardItem("Module1.bas"));
    tree->Items()->appendRow(root);
}

QColor NodeBack(TreeView* tree, int row, int child = -1) {
    QStandardItem* item = tree->Items()->item(row);
    if (child >= 0) item = item->child(child);
    return item->background().color();
}

// A window with one control of every kind the walk treats.
struct SkinForm {
    SkinForm() {
        form.Move(0, 0, 6000, 4500);
        label = new Label(&form, "Label1");
        plain = new CommandButton(&form, "cmdPlain");
        gradient = new MyButton(&form, "cmdGradient");
        keep = new CheckBox(&form, "chkKeep");
        keep->SetTag("NoChange");
        check = new CheckBox(&form, "chkLog");
        check->SetCaption("Write the &run log");
        option = new OptionButton(&form, "optOne");
        frame = new Frame(&form, "fraOne");
        picture = new PictureBox(&form, "Picture1");
        rich = new RichTextBox(&form, "rtfMsg");
        list = new ListBox(&form, "List1");
        view = new ListView(&form, "lvwItems");
        tree = new TreeView(&form, "treProject");
        tree2 = new TreeView(&form, "treRoutines");
        text = new TextBox(&form, "txtProject");
        tab = new SSTab(&form, "SSTab1");
        menu = new Menu(&form, "mnuFile");
        AddNodes(tree);
        AddNodes(tree2);
    }
    Form form{"frmSkin"};
    Label* label;
    CommandButton* plain;
    MyButton* gradient;
    CheckBox* keep;
    CheckBox* check;
    OptionButton* option;
    Frame* frame;
    PictureBox* picture;
    RichTextBox* rich;
    ListBox* list;
    ListView* view;
    TreeView* tree;
    TreeView* tree2;
    TextBox* text;
    SSTab* tab;
    Menu* menu;
};

TEST(SkinWalk, SetsWhatEachControlHasAndSkipsTheRest) {
    SkinForm f;
    const std::int32_t keepBack = f.keep->BackColor();
    const std::int32_t textBack = f.text->BackColor();
    ASSERT_TRUE(T().SkinIt(&f.form, 0x804000, 0x00FFFF, 0xC0C0C0, 0xC08000, 0xFFFFFF, 0xE0FFFF, 1));

    EXPECT_EQ(f.form.BackColor(), 0xC08000);
    EXPECT_TRUE(f.form.HasBackgroundGradient());
    EXPECT_EQ(f.label->BackStyle(), 0);
    // Buttons: colours and the gradient button's whole set.
    EXPECT_EQ(f.plain->BackColor(), 0x804000);
    EXPECT_EQ(f.plain->ForeColor(), 0x00FFFF);
    EXPECT_FALSE(f.plain->property("BackColorOver").isValid());  // skipped, not added
    EXPECT_EQ(f.gradient->BackColor(), 0x804000);
    EXPECT_EQ(f.gradient->BackColorFocus(), 0x804000);
    EXPECT_EQ(f.gradient->BackColorOver(), 0x804000 + 100);
    EXPECT_EQ(f.gradient->BackColorDown(), 0x40C0);
    EXPECT_EQ(f.gradient->BackColorDisabled(), 0xC0C0C0);
    EXPECT_EQ(f.gradient->MaskColor(), 0xFF00FF);
    EXPECT_EQ(f.gradient->GradientType(), 3);
    EXPECT_EQ(f.gradient->Appearance(), 9);
    EXPECT_EQ(f.gradient->ForeColorFocus(), 0x00FFFF);
    // Frames, pictures, options and check boxes take the background; "NoChange" keeps its own.
    EXPECT_EQ(f.check->BackColor(), 0xC08000);
    EXPECT_EQ(f.option->BackColor(), 0xC08000);
    EXPECT_EQ(f.frame->BackColor(), 0xC08000);
    EXPECT_EQ(f.picture->BackColor(), 0xC08000);
    EXPECT_EQ(f.keep->BackColor(), keepBack);
    // The data controls take the display colour; a text box is not one of them.
    EXPECT_EQ(f.rich->BackColor(), 0xE0FFFF);
    EXPECT_EQ(f.list->BackColor(), 0xE0FFFF);
    EXPECT_EQ(f.view->BackColor(), 0xE0FFFF);
    EXPECT_EQ(f.tree->BackColor(), 0xE0FFFF);
    EXPECT_EQ(f.tree2->BackColor(), 0xE0FFFF);
    EXPECT_EQ(NodeBack(f.tree, 0, 0), ToQColor(0xE0FFFF));
    EXPECT_EQ(NodeBack(f.tree2, 0), ToQColor(0xE0FFFF));
    EXPECT_EQ(f.text->BackColor(), textBack);
    // Tab controls: text colour and the painter's window properties.
    EXPECT_EQ(f.tab->ForeColor(), 0x00FFFF);
    EXPECT_TRUE(tovcore::detail::IsHooked(f.tab));
    EXPECT_EQ(f.tab->property("MyStyle").toInt(), 2);
    EXPECT_EQ(f.tab->property("MyGradientDir").toInt(), 1);
    EXPECT_EQ(f.tab->property("MyGradientColor1").toInt(), 0x804000);
    EXPECT_EQ(f.tab->property("MyGradientColor2").toInt(), 0xC0C0C0);
    // The scale mode is put back.
    EXPECT_EQ(f.form.ScaleMode(), 1);
}

TEST(SkinWalk, CheckBoxesAndOptionButtonsKeepTheirWholeIndicatorAndCaption) {
    SkinForm f;
    f.keep->Move(0, 0, 3000, 600);  // the small skin size replaces a large one
    T().ShowFormColor(&f.form, 0xC08000);
    f.form.show();
    struct Case {
        const char* what;
        QAbstractButton* control;
        QStyle::PixelMetric indicatorWidth, indicatorHeight, spacing;
    } cases[] = {
        {"check box without a caption (and NoChange: sized all the same)", f.keep, QStyle::PM_IndicatorWidth,
         QStyle::PM_IndicatorHeight, QStyle::PM_CheckBoxLabelSpacing},
        {"check box with a caption", f.check, QStyle::PM_IndicatorWidth, QStyle::PM_IndicatorHeight,
         QStyle::PM_CheckBoxLabelSpacing},
        {"option button", f.option, QStyle::PM_ExclusiveIndicatorWidth, QStyle::PM_ExclusiveIndicatorHeight,
         QStyle::PM_RadioButtonLabelSpacing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QStyle* style = c.control->style();
        int needWidth = style->pixelMetric(c.indicatorWidth, nullptr, c.control);
        if (!c.control->text().isEmpty())
            needWidth += style->pixelMetric(c.spacing, nullptr, c.control) +
                         c.control->fontMetrics().horizontalAdvance(QString(c.control->text()).remove('&'));
        const int needHeight = style->pixelMetric(c.indicatorHeight, nullptr, c.control);
        EXPECT_GE(c.control->width(), needWidth);
        EXPECT_GE(c.control->height(), needHeight);
        EXPECT_LT(c.control->width(), needWidth + 40);  // no more than the skin's size asks for
        // Beside the caption the control shows the skin's colour, not the button face.
        if (c.control == f.keep) continue;
        const QImage shown = c.control->grab().toImage();
        EXPECT_LE(Distance(shown.pixelColor(shown.width() - 1, 0), ToQColor(0xC08000)), 3) << shown.width() << "x" << shown.height();
    }
}

TEST(SkinWalk, OptionalColoursLeftOut) {
    SkinForm f;
    f.form.SetBackColor(0x00FF00);
    const std::int32_t richBack = f.rich->BackColor();
    ASSERT_TRUE(T().SkinIt(&f.form, 0x7FFFFFFF, 0xFFFFFF, -999));
    EXPECT_EQ(f.form.BackColor(), 0x00FF00);       // its own back colour
    EXPECT_EQ(f.rich->BackColor(), richBack);       // no display colour given
    EXPECT_EQ(f.tab->property("MyGradientColor2").toInt(), 0xFFFFFF);
    EXPECT_EQ(f.gradient->BackColor(), 0x7FFFFFFF);
    EXPECT_EQ(f.gradient->BackColorOver(), vbButtonFace);  // the addition would overflow: left alone
    // The public member remembers the four colours as given.
    EXPECT_EQ(State().skin.ButtonTabColor, 0x7FFFFFFF);
    EXPECT_EQ(State().skin.ButtonTabColorGradient, -999);
    EXPECT_EQ(State().skin.BackGroundColor, -999);
}

TEST(SkinWalk, SystemColoursOfTheTabGradientAreStoredAsRgb) {
    SkinForm f;
    T().SkinIt(&f.form, vbHighlight, 0xFFFFFF, vbButtonFace);
    EXPECT_EQ(f.tab->property("MyGradientColor1").toInt(), TranslateColor(vbHighlight));
    EXPECT_EQ(f.tab->property("MyGradientColor2").toInt(), TranslateColor(vbButtonFace));
    EXPECT_FALSE(IsSystemColor(f.tab->property("MyGradientColor1").toInt()));
}

TEST(SkinWalk, NotAWindowChangesNothing) {
    QObject plain;
    Form form("frmSkin");
    auto* button = new CommandButton(&form, "cmdOk");
    const std::int32_t before = State().skin.ButtonTabColor;
    EXPECT_FALSE(T().SkinIt(&plain, 1, 2, 3));
    EXPECT_FALSE(T().SkinIt(button, 1, 2, 3));
    EXPECT_FALSE(T().SkinIt(nullptr, 1, 2, 3));
    EXPECT_EQ(button->BackColor(), vbButtonFace);
    EXPECT_NE(before, -1);
}

TEST(SkinWalk, SingleAspects) {
    SkinForm f;
    T().SetListViewBackColor(&f.form, 0x0000FF);
    EXPECT_EQ(f.view->BackColor(), 0x0000FF);
    EXPECT_NE(f.list->BackColor(), 0x0000FF);
    T().SetTreeViewBackColor(&f.form, 0x00FF00);
    EXPECT_EQ(NodeBack(f.tree2, 0, 0), QColor(0, 255, 0));
    f.label->SetBackStyle(1);
    T().ShowButtonTabTextColor(&f.form, 0x112233);
    EXPECT_EQ(f.label->BackStyle(), 0);
    EXPECT_NE(f.label->ForeColor(), 0x112233);  // a label's text colour is left alone
    EXPECT_EQ(f.gradient->ForeColor(), 0x112233);
    T().ShowFormColor(&f.form, 0x445566);
    EXPECT_EQ(f.frame->BackColor(), 0x445566);
}

TEST(SkinPainting, PaintingDrawsAndNeverSkins) {
    SkinForm f;
    T().SkinIt(&f.form, 0x804000, 0xFFFFFF, 0xC0C0C0, 0xC08000);
    f.gradient->SetBackColor(0x111111);
    f.form.show();
    (void)f.form.grab();
    QApplication::processEvents();
    EXPECT_EQ(f.gradient->BackColor(), 0x111111);
}

TEST(SkinPainting, FormGradientReadBackFromTheScreen) {
    Form form("frmSkin");
    form.Move(0, 0, 3000, 3000);  // 200 x 200 pixels
    T().SkinIt(&form, 0x804000, 0xFFFFFF, 0xC0C0C0, 0x0000FF, 0xFFFFFF);
    const QImage image = form.grab().toImage();
    const QColor red(255, 0, 0), white(255, 255, 255);
    EXPECT_LE(Distance(image.pixelColor(100, 0), red), 2);
    EXPECT_LE(Distance(image.pixelColor(100, 199), white), 2);
    EXPECT_LE(Distance(image.pixelColor(100, 100), Mix(red, white, 100.0 / 199)), 3);
    EXPECT_EQ(image.pixelColor(0, 50), image.pixelColor(199, 50));  // vertical: rows are flat
}

TEST(SkinPainting, SystemColourGradientIsTranslatedNotNearBlack) {
    Form form("frmSkin");
    form.Move(0, 0, 3000, 3000);
    ASSERT_EQ(form.BackColor(), vbButtonFace);
    T().SkinIt(&form, 0x804000, 0xFFFFFF, 0xC0C0C0);  // background: the form's own, a system colour
    const QImage image = form.grab().toImage();
    EXPECT_LE(Distance(image.pixelColor(100, 0), QApplication::palette().color(QPalette::Button)), 2);
}

class TabPainter : public ::testing::Test {
protected:
    void SetUp() override {
        tab = new SSTab(&form, "SSTab1");
        tab->Move(0, 0, 3000, 1500);  // 200 x 100 pixels
        tab->SetTabs(2);
        tab->SetTabsPerRow(2);
    }
    void Hook(std::int32_t first, std::int32_t second, std::int32_t direction) {
        tovcore::detail::SetMyStyle(tab, 2);
        tovcore::detail::SetMyGradientDir(tab, direction);
        tovcore::detail::SetMyGradientColor1(tab, first);
        tovcore::detail::SetMyGradientColor2(tab, second);
        tovcore::detail::HookSSTab(tab);
    }
    Form form{"frmTabs"};
    SSTab* tab = nullptr;
};

TEST_F(TabPainter, GradientShowsThroughTheButtonFaceTopToBottom) {
    Hook(0x0000FF, 0xFF0000, 1);
    const QImage image = tab->grab().toImage();
    const QColor red(255, 0, 0), blue(0, 0, 255);
    EXPECT_LE(Distance(image.pixelColor(100, 40), Mix(red, blue, 40.0 / 99)), 3);
    EXPECT_LE(Distance(image.pixelColor(100, 90), Mix(red, blue, 90.0 / 99)), 3);
    // The control's own drawing stays over it: the page's left edge is not gradient.
    EXPECT_GT(Distance(image.pixelColor(0, 60), Mix(red, blue, 60.0 / 99)), 10);
}

TEST_F(TabPainter, DirectionZeroRunsLeftToRight) {
    Hook(0x0000FF, 0xFF0000, 0);
    const QImage image = tab->grab().toImage();
    EXPECT_LE(Distance(image.pixelColor(10, 60), Mix(QColor(255, 0, 0), QColor(0, 0, 255), 10.0 / 199)), 3);
    EXPECT_LE(Distance(image.pixelColor(190, 60), Mix(QColor(255, 0, 0), QColor(0, 0, 255), 190.0 / 199)), 3);
    EXPECT_EQ(image.pixelColor(100, 40), image.pixelColor(100, 90));
}

TEST_F(TabPainter, EqualColoursGiveAFlatBackgroundAndUnhookedIsPlain) {
    Hook(0x00FF00, 0x00FF00, 1);
    QImage image = tab->grab().toImage();
    EXPECT_EQ(image.pixelColor(100, 40), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(100, 90), QColor(0, 255, 0));
    tovcore::detail::HookSSTab(tab);  // a second hook changes nothing
    EXPECT_EQ(tab->grab().toImage().pixelColor(100, 40), QColor(0, 255, 0));

    tovcore::detail::UnhookSSTab(tab);
    EXPECT_FALSE(tovcore::detail::IsHooked(tab));
    EXPECT_FALSE(tab->property("MyStyle").isValid());
    image = tab->grab().toImage();
    EXPECT_EQ(image.pixelColor(100, 60), ToQColor(vbButtonFace));
}

TEST_F(TabPainter, CaptionsOnTheGradientHaveNoPaleFringe) {
    // Smoothed glyph edges would be blends of the text and the button face, which the mask keeps.
    tab->SetTabCaption(0, "App Functions");
    tab->SetTabCaption(1, "Called Routines");
    tab->SetForeColor(0x000000);
    Hook(0x008000, 0x008000, 1);
    const QImage image = tab->grab().toImage();
    const QRect caption = tab->TabRect(1).adjusted(6, 4, -6, -2);
    int text = 0;
    std::string other;
    for (int y = caption.top(); y <= caption.bottom(); ++y)
        for (int x = caption.left(); x <= caption.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == QColor(0, 0, 0)) ++text;
            else if (c != QColor(0, 128, 0) && other.empty()) other = c.name().toStdString();
        }
    EXPECT_GT(text, 20) << "the caption is drawn";
    EXPECT_EQ(other, "") << "a pixel that is neither text nor gradient";
}

}  // namespace
