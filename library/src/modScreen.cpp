// The library's few uses of the window system. Each works only on the thread that runs the
// application object's message loop and where a screen exists; elsewhere it gives its "unknown"
// answer or does nothing.
#include "library/src/modScreen.h"

#include <chrono>
#include <cmath>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QVariant>
#include <QWidget>

#include "library/src/LibraryState.h"

namespace tovcore::detail {
namespace {

constexpr double kTwipsPerPixel = 15.0;  // 1440 twips per inch at 96 dots per inch
constexpr int kHourglass = 11;
constexpr int kDefaultPointer = 0;

bool OnGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

QScreen* Screen() {
    if (!OnGuiThread() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
    return QGuiApplication::primaryScreen();
}

// Measures of a window object, in twips: its own property of that name when it has one (the
// control wrappers carry Left, Top, Width and Height), else the widget's geometry.
bool GetMeasure(QObject* obj, const char* name, double& value) {
    if (!obj) return false;
    const QVariant v = obj->property(name);
    if (v.isValid()) {
        bool ok = false;
        value = v.toDouble(&ok);
        return ok;
    }
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w) return false;
    const QRect g = w->geometry();
    const std::string n = name;
    if (n == "Left") value = g.x() * kTwipsPerPixel;
    else if (n == "Top") value = g.y() * kTwipsPerPixel;
    else if (n == "Width") value = g.width() * kTwipsPerPixel;
    else if (n == "Height") value = g.height() * kTwipsPerPixel;
    else return false;
    return true;
}

// Stores a computed measure, rounded to whole twips (halves to even).
void SetMeasure(QObject* obj, const char* name, double value) {
    if (!obj) return;
    const double rounded = std::nearbyint(value);
    if (obj->property(name).isValid()) {
        obj->setProperty(name, QVariant(static_cast<int>(rounded)));
        return;
    }
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w) return;
    const int px = static_cast<int>(std::nearbyint(rounded / kTwipsPerPixel));
    const std::string n = name;
    QRect g = w->geometry();
    if (n == "Left") w->move(px, g.y());
    else if (n == "Top") w->move(g.x(), px);
    else if (n == "Width") w->resize(px, g.height());
    else if (n == "Height") w->resize(g.width(), px);
}

void SetPointer(QObject* target, int pointer) {
    if (!OnGuiThread()) return;
    if (target) {
        if (target->property("MousePointer").isValid()) {
            target->setProperty("MousePointer", pointer);
        } else if (auto* w = qobject_cast<QWidget*>(target)) {
            if (pointer == kHourglass)
                w->setCursor(Qt::WaitCursor);
            else
                w->unsetCursor();
        }
        return;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    if (pointer == kHourglass) {
        if (QGuiApplication::overrideCursor())
            QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    }
}

bool ReadDisplayMode(DisplayMode& mode) {
    QScreen* screen = Screen();
    if (!screen) return false;
    const QRect g = screen->geometry();
    mode.width = g.width();
    mode.height = g.height();
    mode.depth = screen->depth();
    return true;
}

void CenterRelative(QObject* obj, double top, double left, double width, double height) {
    double objHeight = 0, objWidth = 0;
    if (!GetMeasure(obj, "Height", objHeight) || !GetMeasure(obj, "Width", objWidth)) return;
    SetPointer(nullptr, kHourglass);
    SetMeasure(obj, "Top", top + height / 2 - objHeight / 2);
    SetMeasure(obj, "Left", left + width / 2 - objWidth / 2);
    SetPointer(nullptr, kDefaultPointer);
    SetMeasure(obj, "Height", objHeight);
    SetMeasure(obj, "Width", objWidth);
}

}  // namespace

void DoEvents() {
    if (OnGuiThread()) QCoreApplication::processEvents();
}

void DoEventsThrottled() {
    thread_local auto last = std::chrono::steady_clock::time_point{};
    const auto now = std::chrono::steady_clock::now();
    if (now - last < std::chrono::milliseconds(30)) return;
    last = now;
    DoEvents();
}

// Records the screen's size and display mode; warns (and answers false) when both measures are
// below the requested ones. Without a screen nothing is known and nothing is said.
bool CheckScreenSize(std::int16_t iWidth, std::int16_t iHeight) {
    ScreenState& s = State().screen;
    DisplayMode mode;
    s.known = ReadDisplayMode(mode);
    if (!s.known) return true;
    s.width = mode.width;
    s.height = mode.height;
    s.current = mode;
    s.kept = mode;
    s.text = std::to_string(s.width) + "x" + std::to_string(s.height);
    if (iHeight >= 1 && iWidth >= 1 && s.width < iWidth && s.height < iHeight) {
        ShowLibraryMessage("To properly display this application, your video \r\nresolution should be set to " +
                               std::to_string(iWidth) + "x" + std::to_string(iHeight) + " or greater.",
                           64, State().client.exeName + " Video Display");
        return false;
    }
    return true;
}

// Compares the display's width, height and colour depth with those last recorded, and records
// the new ones. Without a screen: false.
bool CheckIfResolutionChanged() {
    ScreenState& s = State().screen;
    DisplayMode mode;
    if (!ReadDisplayMode(mode)) return false;
    const bool changed = s.known && !(mode == s.kept);
    s.current = mode;
    s.kept = mode;
    s.known = true;
    return changed;
}

void HourGlassOn(QObject* MDI) {
    SetPointer(MDI, kHourglass);
    DoEvents();
}

void HourGlassOff(QObject* MDI) {
    SetPointer(MDI, kDefaultPointer);
    DoEvents();
}

void CenterObject(QObject* obj) {
    QScreen* screen = Screen();
    double objHeight = 0, objWidth = 0;
    if (!screen || !GetMeasure(obj, "Height", objHeight) || !GetMeasure(obj, "Width", objWidth)) return;
    const QRect g = screen->geometry();
    SetPointer(nullptr, kHourglass);
    SetMeasure(obj, "Top", g.height() * kTwipsPerPixel / 2 - objHeight / 2);
    SetMeasure(obj, "Left", g.width() * kTwipsPerPixel / 2 - objWidth / 2);
    SetPointer(nullptr, kDefaultPointer);
    DoEvents();
}

void CenterInControl(QObject* obj, QObject* ctl) {
    double top = 0, left = 0, width = 0, height = 0;
    if (!GetMeasure(ctl, "Top", top) || !GetMeasure(ctl, "Left", left) || !GetMeasure(ctl, "Width", width) ||
        !GetMeasure(ctl, "Height", height))
        return;
    CenterRelative(obj, top, left, width, height);
}

void CenterInForm(QObject* obj, QObject* frm) {
    double width = 0, height = 0;
    if (!GetMeasure(frm, "Width", width) || !GetMeasure(frm, "Height", height)) return;
    CenterRelative(obj, 0, 0, width, height);
}

}  // namespace tovcore::detail
