// The routines that need the window system: the message loop, the screen, the mouse pointer,
// centring window objects, and the library's own messages. Every one of them does nothing (or
// gives its "unknown" answer) where no display exists.
#pragma once

#include <cstdint>
#include <string>

#include "library/src/LibraryState.h"

class QObject;

namespace tovcore::detail {

// Lets the message loop serve pending events (when the calling thread runs one).
void DoEvents();
// The same, at most every few tens of milliseconds: for loops that call it per entry.
void DoEventsThrottled();

bool CheckScreenSize(std::int16_t iWidth, std::int16_t iHeight);
bool CheckIfResolutionChanged();
void HourGlassOn(QObject* MDI);
void HourGlassOff(QObject* MDI);
void CenterObject(QObject* obj);
void CenterInControl(QObject* obj, QObject* ctl);
void CenterInForm(QObject* obj, QObject* frm);

// A message of the library itself (ShellAndWait, CheckScreenSize; style as the standard
// message-box styles; line breaks as CR LF). With a GUI application running on the calling thread
// it is shown with MyMsgBox; elsewhere (a console caller, another thread) it goes to the error log
// and the standard error stream. The thread's message handler, when set, answers instead.
// Returns the answer of the button pressed (1 = OK where no box could be shown).
std::int32_t ShowLibraryMessage(const std::string& prompt, std::int32_t style, const std::string& title);

}  // namespace tovcore::detail
