#include "app/core/ToolWindowFactory.h"

#include "app/core/NullToolWindow.h"

namespace quillet {

ToolWindowFactory DefaultToolWindowFactory() {
    return [](Program& program) -> IToolWindow* { return new NullToolWindow(program); };
}

}  // namespace quillet
