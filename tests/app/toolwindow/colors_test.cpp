// The colour scheme as the eye meets it in the tool window: the display colour behind every
// control that shows data (the project tree, a snippet list, a report box, the status panel) from
// the first load on, and each colour command's colour on screen at once. Checked on the pixels the
// widgets paint, and written as pictures for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>

#include <QImage>
#include <QTest>

#include <tovcore/controls.h>

#include "app/forms/FormServices.h"
#include "app/toolwindow/SnippetPanel.h"
#include "tests/app/support/ToolFixture.h"

namespace {

namespace ui = tovcore::ui;
using quillet::toolwindow::frmQuillet;

void Save(QWidget* w, const std::string& name) {
    std::filesystem::create_directories(QUILLET_SCREENSHOT_DIR);
    const QString path = QString(QUILLET_SCREENSHOT_DIR) + "/" + QString::fromStdString(name);
    ASSERT_TRUE(w->grab().save(path)) << path.toStdString();
}

// The colour a widget paints near its lower right corner, where the data controls here show no
// text (a point inside the frame of a scroll area's viewport).
QColor Background(QWidget* w) {
    const QImage image = w->grab().toImage();
    return image.pixelColor(image.width() - 8, image.height() - 8);
}

struct Shown {
    std::string what;
    QColor color;
};

// The background of each data control of the tool window, each shown as the user shows it.
std::vector<Shown> DataBackgrounds(apptest::FramedTool& f) {
    frmQuillet* tool = f.Tool();
    std::vector<Shown> out;
    tool->SSTab1()->SetTab(0);
    apptest::ProcessEvents();
    out.push_back({"treProject", Background(tool->treProject()->viewport())});
    out.push_back({"lstPreCode", Background(tool->PrePanel()->List()->viewport())});
    tool->SSTab1()->SetTab(2);
    apptest::ProcessEvents();
    auto* modules = tool->findChild<ui::RichTextBox*>("rtfModules");
    out.push_back({"rtfModules", Background(modules->viewport())});
    quillet::DisplayMessage(f.t.program, "Loading", false, 2);
    apptest::ProcessEvents();
    out.push_back({"rtfMsg", Background(tool->rtfMsg()->viewport())});
    quillet::ClearMessage(f.t.program);
    tool->SSTab1()->SetTab(0);
    apptest::ProcessEvents();
    return out;
}

// Within a step of a gradient.
bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 && std::abs(a.blue() - b.blue()) <= 2;
}

std::string Mismatches(const std::vector<Shown>& shown, const QColor& expected) {
    std::string out;
    for (const Shown& s : shown)
        if (s.color.rgb() != expected.rgb())
            out += s.what + " shows " + s.color.name().toStdString() + "; ";
    return out;
}

struct ShownFramedTool : apptest::FramedTool {
    ShownFramedTool() {
        frame->resize(1024, 740);
        frame->show();
        NewProjectOnGroup(dir.path() + "Colors.qlp");
        ChooseSnippet();
    }
    void ChooseSnippet() {
        quillet::toolwindow::SnippetPanel* side = Tool()->PrePanel();
        side->Combo()->setEditText("Trace");
        QTest::mouseClick(side->AddButton(), Qt::LeftButton);
        apptest::ProcessEvents();
    }
};

TEST(DisplayColor, TheDefaultShowsOnEveryDataControlFromTheFirstLoad) {
    ShownFramedTool f;
    ASSERT_NE(f.Tool(), nullptr);
    ASSERT_TRUE(f.Tool()->ProjectLoaded());
    EXPECT_EQ(f.t.program.state.colors.DisplayColor, 8454143);
    EXPECT_EQ(Mismatches(DataBackgrounds(f), QColor(0xFF, 0xFF, 0x80)), "");
    Save(f.frame.data(), "colors-at-load.png");
}

TEST(ColorCommands, EachShowsItsColourAtOnce) {
    struct Row {
        const char* item;
        std::int32_t chosen;  // a Windows colour value
        const char* picture;
    };
    const Row rows[] = {
        {"mnuSelectDisplayColor", 0xE0FFE0, "colors-display.png"},
        {"mnuSelectFormColor", 0x804040, "colors-form.png"},
        {"mnuButtonTabColor", 0x0080FF, "colors-button-and-tab.png"},
        {"mnuButtonTabTextColor", 0xFF0000, "colors-button-and-tab-text.png"},
    };
    ShownFramedTool f;
    frmQuillet* tool = f.Tool();
    ASSERT_NE(tool, nullptr);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.item);
        f.t.fakes.dialogs.colorResults = {r.chosen};
        f.Click(r.item);
        apptest::ProcessEvents();
        const quillet::ColorScheme& c = f.t.program.state.colors;
        // The data controls show the display colour, whichever command ran.
        EXPECT_EQ(Mismatches(DataBackgrounds(f), ui::ToQColor(c.DisplayColor)), "");
        // The button strip's frame shows the form colour between its buttons.
        const QImage strip = tool->findChild<ui::Frame*>("fraButton")->grab().toImage();
        EXPECT_EQ(strip.pixelColor(strip.width() / 2, 1).rgb(), ui::ToQColor(c.FormColor).rgb());
        // A button's face is its colour half way down (its gradient runs through it).
        ui::MyButton* exit = tool->Button("cmdExit");
        const QImage face = exit->grab().toImage();
        EXPECT_TRUE(Near(face.pixelColor(6, face.height() / 2), ui::ToQColor(c.ButtonTabColor)))
            << face.pixelColor(6, face.height() / 2).name().toStdString();
        // Its caption is written in the text colour.
        bool textShown = false;
        for (int y = 0; y < face.height() && !textShown; ++y)
            for (int x = 0; x < face.width() && !textShown; ++x)
                textShown = face.pixelColor(x, y).rgb() == ui::ToQColor(c.ButtonTabTextColor).rgb();
        EXPECT_TRUE(textShown) << "no pixel of the text colour on " << exit->objectName().toStdString();
        Save(f.frame.data(), r.picture);
    }
}

}  // namespace
