// The help and about windows, as the frame's Help menu and About item show them.
#include "app/core/SecondaryWindows.h"

#include "app/secondary/frmAbout.h"
#include "app/secondary/frmHelp.h"

namespace quillet {

void ShowHelpWindow(Program& program) { ShowHelp(program); }

void ShowAboutWindow(Program& program) { ShowAbout(program); }

}  // namespace quillet
