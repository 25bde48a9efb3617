#include "app/secondary/WindowLife.h"

#include <tovcore/controls.h>

#include "app/core/Program.h"
#include "app/forms/FormServices.h"

namespace quillet {

void ManageSecondaryWindow(Program& program, tovcore::ui::Form* form, bool savePosition) {
    using tovcore::ui::Form;
    QObject::connect(form, &Form::FormShown, form, [&program, form] { SkinForm(program, form); });
    QObject::connect(form, &Form::FormUnload, form, [&program, form, savePosition](int& cancel) {
        if (cancel != 0) return;
        if (savePosition) SaveFormPosition(form, program.state.IniFileName);
        program.forms.Remove(form);
        form->deleteLater();
    });
    program.forms.Add(form);
}

}  // namespace quillet
