// Skinning: paints a whole window in a colour scheme of a few colours, control by control through
// the control layer's type names and property names. A control that lacks a property keeps that
// part of its look and the walk goes on. Nothing here runs from a paint handler: the window's
// own painting only draws what these routines set.
#pragma once

#include <cstdint>

class QObject;

namespace tovcore::detail {

// -999 in an optional colour: the colour is not given.
inline constexpr std::int32_t kColorNotGiven = -999;

// Paints the window (background gradient, tab gradients, buttons, labels, frames and the data
// controls when RTFColor is given). False, with nothing changed, when obj is not a window.
bool SkinIt(QObject* obj, std::int32_t ButtonTabColor, std::int32_t ButtonTabTextColor,
            std::int32_t ButtonTabColorGradient, std::int32_t BackGroundColor = kColorNotGiven,
            std::int32_t BackColorToGradient = kColorNotGiven, std::int32_t RTFColor = kColorNotGiven,
            std::int32_t lDirection = 1);
void ShowButtonTabColor(QObject* Cntrl, std::int32_t NewColor);
void ShowButtonTabTextColor(QObject* Cntrl, std::int32_t NewColor);
void ShowFormColor(QObject* objForm, std::int32_t NewColor);
void ShowDisplayColor(QObject* obj, std::int32_t NewColor);
void SetListViewBackColor(QObject* Cntrl, std::int32_t BackColor);
void SetTreeViewBackColor(QObject* Cntrl, std::int32_t BackColor);

// The window's background: a vertical gradient from `top` to `bottom` (system colours
// translated).
void GradientFillForm(QObject* window, std::int32_t top, std::int32_t bottom);
// Every tab control of the window gets the gradient painter with these colours and direction.
void SetSSTabGradients(QObject* window, std::int32_t tabColor, std::int32_t tabGradientColor, std::int32_t direction);

}  // namespace tovcore::detail
