// A picture of the frame for a person to look at: the program's own tool window inside it, skinned,
// with the Colors menu open and its swatches. Written into the build folder (screenshots/). For a
// picture of real windows on a display:
//   xvfb-run -a env QUILLET_TEST_PLATFORM=xcb build/tests/app/app_tests --gtest_filter='FrameScreenshot*'
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QThread>

#include "app/core/ToolWindowFactory.h"
#include "app/frame/frmBackGround.h"
#include "tests/app/support/AppTestEnv.h"

namespace {

using namespace quillet;

bool ImageHolds(const QImage& image, const QColor& color) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == color.rgb()) return true;
    return false;
}

TEST(FrameScreenshot, ColorsMenuOpenWithItsSwatches) {
    apptest::TestProgram t;
    t.program.makeToolWindow = DefaultToolWindowFactory();
    QElapsedTimer shown;
    shown.start();
    auto* frame = new frmBackGround(t.program);
    frame->Load();
    apptest::ProcessEvents();
    std::printf("frame made, loaded and shown in %lld ms\n", static_cast<long long>(shown.elapsed()));
    frame->SetWindowState(0);
    frame->resize(1024, 720);
    apptest::ProcessEvents();
    QDir().mkpath(QUILLET_SCREENSHOT_DIR);
    ASSERT_TRUE(frame->grab().save(QString(QUILLET_SCREENSHOT_DIR) + "/frame_at_start.png"));
    // The logo stands in the middle of the client area.
    const QWidget* logo = frame->findChild<QWidget*>("Image1");
    ASSERT_NE(logo, nullptr);
    EXPECT_GT(logo->width(), 100);
    EXPECT_NEAR(logo->geometry().center().x(), frame->ClientArea()->width() / 2, 2);
    EXPECT_NEAR(logo->geometry().center().y(), frame->ClientArea()->height() / 2, 2);
    ASSERT_NE(frame->ToolWindow(), nullptr);
    apptest::ProcessEvents();

    QMenu* colors = frame->MenuItem("mnuColors")->menu();
    const QRect item = frame->MenuBar()->actionGeometry(frame->MenuItem("mnuColors"));
    colors->popup(frame->MenuBar()->mapToGlobal(item.bottomLeft()));
    apptest::ProcessEvents();
    ASSERT_TRUE(colors->isVisible());

    const QImage menu = colors->grab().toImage();
    QImage shot;
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        // Offscreen windows are not composed on a screen: the open menu is drawn onto the frame.
        shot = frame->grab().toImage();
        QPainter p(&shot);
        p.drawImage(frame->MenuBar()->mapTo(frame, item.bottomLeft()), menu);
    } else {
        QThread::msleep(300);
        apptest::ProcessEvents();
        const QRect area = frame->frameGeometry();
        shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    }
    const QString file = QString(QUILLET_SCREENSHOT_DIR) + "/frame_colors_menu.png";
    ASSERT_TRUE(shot.save(file));
    std::printf("screenshot: %s\n", qPrintable(file));

    const ColorScheme& c = t.program.state.colors;
    EXPECT_TRUE(ImageHolds(menu, tovcore::ui::ToQColor(c.FormColor)));
    EXPECT_TRUE(ImageHolds(menu, tovcore::ui::ToQColor(c.DisplayColor)));
    EXPECT_TRUE(ImageHolds(menu, tovcore::ui::ToQColor(c.ButtonTabTextColor)));
    colors->hide();
    delete frame;
}

}  // namespace
