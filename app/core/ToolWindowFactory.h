// The tool window this build makes: the start-up installs it as Program::makeToolWindow.
#pragma once

#include "app/core/Program.h"

namespace quillet {

// The factory of the program's tool window.
ToolWindowFactory DefaultToolWindowFactory();

}  // namespace quillet
