#include "tests/library/window/window_test_util.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

namespace wintest {
namespace {

// One application object for the whole test program, made before the first test runs (the
// shared test main has set the offscreen platform by then).
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "library_window_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

void HideModalWindows() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isModal()) w->hide();
}

}  // namespace

void WhenShown(const std::function<bool(QWidget*)>& match, const std::function<void(QWidget*)>& act) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, match, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || !match(w)) continue;
            timer->stop();
            timer->deleteLater();
            QPointer<QWidget> shown(w);
            act(w);
            // Whatever the action did, the window's modal loop must end.
            QTimer::singleShot(2000, [shown] {
                if (shown && shown->isVisible()) shown->hide();
            });
            return;
        }
        if (++*ticks > 600) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no window to answer was shown";
            HideModalWindows();
        }
    });
    timer->start();
}

int Distance(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

}  // namespace wintest
