// Helpers of the window tests: the application object (made once per test program), answering
// a modal window from a timer, and pixel comparisons.
#pragma once

#include <functional>

#include <QColor>
#include <QImage>
#include <QWidget>

namespace wintest {

// Runs `act` with the first visible top-level widget for which `match` holds, once one is shown
// (the call under test waits in its modal loop meanwhile). After a few seconds without a match,
// or when `act` left it open, every visible modal window is hidden, so no test can hang.
void WhenShown(const std::function<bool(QWidget*)>& match, const std::function<void(QWidget*)>& act);

// Colour distance: the largest difference of the three channels.
int Distance(const QColor& a, const QColor& b);

}  // namespace wintest
