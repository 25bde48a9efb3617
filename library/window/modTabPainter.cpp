// The gradient painter of the tab controls: the control draws itself into an off-screen image,
// the gradient goes into a second one, and the control's drawing is laid over the gradient with
// every pixel of the button-face colour left out. Drawing objects live for one paint only.
#include "library/window/modTabPainter.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QVariant>
#include <QWidget>

#include <tovcore/controls.h>

namespace tovcore::detail {
namespace {

constexpr const char* kHooked = "Hooked";
constexpr const char* kMyStyle = "MyStyle";
constexpr const char* kMyGradientDir = "MyGradientDir";
constexpr const char* kMyGradientColor1 = "MyGradientColor1";
constexpr const char* kMyGradientColor2 = "MyGradientColor2";

std::int32_t WindowProperty(const QObject* control, const char* name) {
    return control->property(name).toInt();
}

}  // namespace

void SetMyStyle(QObject* control, std::int32_t style) {
    if (control) control->setProperty(kMyStyle, style);
}

void SetMyGradientDir(QObject* control, std::int32_t direction) {
    if (control) control->setProperty(kMyGradientDir, direction);
}

void SetMyGradientColor1(QObject* control, std::int32_t color) {
    if (control) control->setProperty(kMyGradientColor1, ui::TranslateColor(color));
}

void SetMyGradientColor2(QObject* control, std::int32_t color) {
    if (control) control->setProperty(kMyGradientColor2, ui::TranslateColor(color));
}

void SetHooked(QObject* control) {
    if (control) control->setProperty(kHooked, -1);
}

bool IsHooked(const QObject* control) { return control && WindowProperty(control, kHooked) != 0; }

void HookSSTab(QObject* control) {
    if (!control || IsHooked(control)) return;
    SetHooked(control);
}

void UnhookSSTab(QObject* control) {
    if (!control) return;
    for (const char* name : {kHooked, kMyStyle, kMyGradientColor1, kMyGradientColor2})
        control->setProperty(name, QVariant());
    if (auto* w = qobject_cast<QWidget*>(control)) w->update();
}

bool PaintHookedControl(QWidget* control, QPainter& target, const std::function<void(QPainter&)>& drawOwn) {
    if (!IsHooked(control) || WindowProperty(control, kMyStyle) != kStyleGradient) return false;
    const int w = control->width(), h = control->height();
    if (w <= 0 || h <= 0) return true;

    const QRgb face = ui::ToQColor(ui::vbButtonFace).rgb();
    // The control's own drawing, on the button-face colour.
    QImage own(w, h, QImage::Format_ARGB32);
    own.fill(face);
    {
        QPainter p(&own);
        // Smoothed text edges would be blends of the text and the button face that the mask keeps:
        // a pale fringe round every caption on the gradient. The mask wants plain pixels.
        p.setRenderHint(QPainter::TextAntialiasing, false);
        drawOwn(p);
    }
    // Button-face pixels become transparent, so the gradient shows through them.
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(own.scanLine(y));
        for (int x = 0; x < w; ++x)
            if ((line[x] & 0x00FFFFFF) == (face & 0x00FFFFFF)) line[x] = 0;
    }
    // The background: the two-colour gradient, left to right (0) or top to bottom (1).
    const QColor first = ui::ToQColor(WindowProperty(control, kMyGradientColor1));
    const QColor second = ui::ToQColor(WindowProperty(control, kMyGradientColor2));
    const bool horizontal = WindowProperty(control, kMyGradientDir) == 0;
    QLinearGradient g(0, 0, horizontal ? std::max(1, w - 1) : 0, horizontal ? 0 : std::max(1, h - 1));
    g.setColorAt(0, first);
    g.setColorAt(1, second);
    target.fillRect(QRect(0, 0, w, h), g);
    target.drawImage(0, 0, own);
    return true;
}

}  // namespace tovcore::detail
