// The help and about windows, shown by the frame's Help menu and About item.
#pragma once

namespace quillet {

struct Program;

// Shows the help window without waiting.
void ShowHelpWindow(Program& program);
// Shows the about window without waiting.
void ShowAboutWindow(Program& program);

}  // namespace quillet
