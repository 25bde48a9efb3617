// Screen, mouse-pointer and centring routines, without a display and on Qt's offscreen screen.
#include <memory>
#include <string>

#include <QApplication>
#include <QGuiApplication>
#include <QObject>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <gtest/gtest.h>

#include <tovcore/clsTovcore.h>

#include "library/src/LibraryState.h"

namespace {

using tovcore::detail::State;

tovcore::clsTovcore& T() { return tovcore::Global(); }

struct Message {
    int count = 0;
    std::string prompt, title;
    std::int32_t style = 0;
};

void Capture(Message& m) {
    State().window.messageHandler = [&m](const std::string& p, std::int32_t s, const std::string& t) {
        ++m.count;
        m.prompt = p;
        m.style = s;
        m.title = t;
        return 1;
    };
}

// A window object as the control wrappers present it: measures in twips as properties.
std::unique_ptr<QObject> Measured(int left, int top, int width, int height) {
    auto o = std::make_unique<QObject>();
    o->setProperty("Left", left);
    o->setProperty("Top", top);
    o->setProperty("Width", width);
    o->setProperty("Height", height);
    return o;
}

TEST(ScreenWithoutDisplay, AnswersUnknown) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    Message m;
    Capture(m);
    EXPECT_TRUE(T().CheckScreenSize(30000, 30000));
    EXPECT_FALSE(T().CheckIfResolutionChanged());
    EXPECT_EQ(m.count, 0);
    auto o = Measured(1, 2, 300, 400);
    T().CenterObject(o.get());
    EXPECT_EQ(o->property("Top").toInt(), 2);
    T().HourGlassOn();
    T().HourGlassOff();
    State().window.messageHandler = nullptr;
}

class ScreenOffscreen : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "screen_test";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        const QRect g = QGuiApplication::primaryScreen()->geometry();
        width = g.width();
        height = g.height();
        State().client.exeName = "Tester";
        Capture(message);
    }
    void TearDown() override {
        State().window.messageHandler = nullptr;
        app.reset();
    }

    std::unique_ptr<QApplication> app;
    int width = 0, height = 0;
    Message message;
};

TEST_F(ScreenOffscreen, WarnsOnlyWhenBothMeasuresAreSmaller) {
    EXPECT_TRUE(T().CheckScreenSize(0, 0));
    EXPECT_EQ(State().screen.text, std::to_string(width) + "x" + std::to_string(height));
    EXPECT_TRUE(T().CheckScreenSize(static_cast<std::int16_t>(width + 1), static_cast<std::int16_t>(height)));
    EXPECT_EQ(message.count, 0);
    EXPECT_FALSE(T().CheckScreenSize(static_cast<std::int16_t>(width + 1), static_cast<std::int16_t>(height + 1)));
    EXPECT_EQ(message.count, 1);
    EXPECT_EQ(message.style, 64);
    EXPECT_EQ(message.title, "Tester Video Display");
    EXPECT_EQ(message.prompt, "To properly display this application, your video \r\nresolution should be set to " +
                                  std::to_string(width + 1) + "x" + std::to_string(height + 1) + " or greater.");
    EXPECT_FALSE(T().CheckIfResolutionChanged());
}

TEST_F(ScreenOffscreen, CentresOnTheScreenInTheControlAndInTheForm) {
    auto obj = Measured(0, 0, 3000, 1500);
    T().CenterObject(obj.get());
    EXPECT_EQ(obj->property("Top").toInt(), height * 15 / 2 - 750);
    EXPECT_EQ(obj->property("Left").toInt(), width * 15 / 2 - 1500);

    auto ctl = Measured(200, 100, 1000, 501);
    auto small = Measured(0, 0, 300, 100);
    T().CenterInControl(small.get(), ctl.get());
    EXPECT_EQ(small->property("Top").toInt(), 300);  // 300.5, halves to even
    EXPECT_EQ(small->property("Left").toInt(), 550);
    EXPECT_EQ(small->property("Width").toInt(), 300);
    EXPECT_EQ(small->property("Height").toInt(), 100);

    auto frm = Measured(5000, 5000, 1000, 800);
    auto odd = Measured(0, 0, 301, 100);
    T().CenterInForm(odd.get(), frm.get());
    EXPECT_EQ(odd->property("Top").toInt(), 350);
    EXPECT_EQ(odd->property("Left").toInt(), 350);  // 349.5, halves to even

    QWidget plain;  // no measure properties: its geometry, 15 twips to the pixel
    plain.setGeometry(0, 0, 100, 50);
    T().CenterObject(&plain);
    EXPECT_EQ(plain.x(), (width * 15 / 2 - 750) / 15);
    EXPECT_EQ(plain.y(), (height * 15 / 2 - 375) / 15);
    EXPECT_EQ(plain.width(), 100);
}

TEST_F(ScreenOffscreen, HourglassOnTheScreenAndOnAWindow) {
    T().HourGlassOn();
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    T().HourGlassOn();
    T().HourGlassOff();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    QWidget w;
    T().HourGlassOn(&w);
    EXPECT_EQ(w.cursor().shape(), Qt::WaitCursor);
    T().HourGlassOff(&w);
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);

    QObject wrapped;
    wrapped.setProperty("MousePointer", 0);
    T().HourGlassOn(&wrapped);
    EXPECT_EQ(wrapped.property("MousePointer").toInt(), 11);
    T().HourGlassOff(&wrapped);
    EXPECT_EQ(wrapped.property("MousePointer").toInt(), 0);
}

}  // namespace
