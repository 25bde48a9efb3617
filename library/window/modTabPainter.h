// The gradient painter of the tab controls. Its settings travel with each control as named window
// properties ("Hooked", "MyStyle", "MyGradientDir", "MyGradientColor1", "MyGradientColor2"), so one
// painter serves every hooked control; the SSTab's paint step calls it.
#pragma once

#include <cstdint>
#include <functional>

class QObject;
class QPainter;
class QWidget;

namespace tovcore::detail {

// Drawing styles; skinning sets kStyleGradient.
inline constexpr std::int32_t kStyleGradient = 2;

void SetMyStyle(QObject* control, std::int32_t style);
// 0 horizontal (left colour to right colour), 1 vertical (top to bottom).
void SetMyGradientDir(QObject* control, std::int32_t direction);
// The colours are stored as plain RGB (system colours translated).
void SetMyGradientColor1(QObject* control, std::int32_t color);
void SetMyGradientColor2(QObject* control, std::int32_t color);
void SetHooked(QObject* control);
bool IsHooked(const QObject* control);
// Hooks the control once: from then on its paint step goes through the painter.
void HookSSTab(QObject* control);
// Removes the painter's window properties (the control paints plainly again).
void UnhookSSTab(QObject* control);

// Paints a hooked control: its own drawing (drawOwn, into an off-screen image) over the two-colour
// gradient of its window properties, every pixel of the system's button-face colour showing the
// gradient. False, with nothing painted, when the control is not hooked or its style is not the
// gradient; the caller then paints plainly.
bool PaintHookedControl(QWidget* control, QPainter& target, const std::function<void(QPainter&)>& drawOwn);

}  // namespace tovcore::detail
