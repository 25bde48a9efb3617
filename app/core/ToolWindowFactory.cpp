#include "app/core/ToolWindowFactory.h"

#include "app/toolwindow/frmQuillet.h"

namespace quillet {

ToolWindowFactory DefaultToolWindowFactory() {
    return [](Program& program) -> IToolWindow* { return new toolwindow::frmQuillet(program); };
}

}  // namespace quillet
