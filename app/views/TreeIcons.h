// The icons of the project and Called Routines trees, by the engine's image keys: "project",
// "module", "form", "class", "usercontrol", "routine", "calledroutines". Drawn here, so they need
// no image files.
#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

namespace quillet::views {

QHash<QString, QIcon> VBIcons();

}  // namespace quillet::views
