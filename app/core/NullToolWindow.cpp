#include "app/core/NullToolWindow.h"

#include "app/core/Program.h"

namespace quillet {

NullToolWindow::NullToolWindow(Program& program) : tovcore::ui::Form("frmQuillet"), program_(program) {
    SetTag("frmQuillet");
    SetCaption("Quillet");
    auto* note = new tovcore::ui::Label(this, "lblNote");
    note->SetCaption("The project window is not part of this build.");
    note->Move(240, 240, 6000, 300);
    note->setAccessibleName(note->Caption());
    program_.forms.Add(this);
}

NullToolWindow::~NullToolWindow() { program_.forms.Remove(this); }

}  // namespace quillet
