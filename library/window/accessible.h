// What screen readers meet in the control layer's windows: a form is announced with the role it
// carries (a window, a dialog, an alert) and its caption; the tab control is a page-tab list whose
// page tabs carry their captions and can be pressed.
#pragma once

namespace tovcore::detail {

// Installs the accessible interfaces of the control layer (once per process); the forms and tab
// controls call it as they are made.
void InstallAccessibleInterfaces();

}  // namespace tovcore::detail
