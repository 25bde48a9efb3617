// What the viewer, help and about windows share about their life: they skin themselves when shown,
// Escape closes them, and when they unload (closed by the user or by code) they leave the list of
// loaded windows and are deleted, the help and about windows storing their place in the settings
// file first.
#pragma once

namespace tovcore::ui {
class Form;
}

namespace quillet {

struct Program;

void ManageSecondaryWindow(Program& program, tovcore::ui::Form* form, bool savePosition);

}  // namespace quillet
