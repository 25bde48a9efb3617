#include "app/secondary/WindowLife.h"

#include <QKeySequence>
#include <QShortcut>

#include <tovcore/controls.h>

#include "app/core/Program.h"
#include "app/forms/FormServices.h"

namespace quillet {

void ManageSecondaryWindow(Program& program, tovcore::ui::Form* form, bool savePosition) {
    using tovcore::ui::Form;
    QObject::connect(form, &Form::FormShown, form, [&program, form] { SkinForm(program, form); });
    // Escape closes the window, as it closes a dialog.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), form);
    escape->setObjectName("EscapeCloses");
    QObject::connect(escape, &QShortcut::activated, form, [&program, form] { program.forms.Unload(form); });
    QObject::connect(form, &Form::FormUnload, form, [&program, form, savePosition](int& cancel) {
        if (cancel != 0) return;
        if (savePosition) SaveFormPosition(form, program.state.IniFileName);
        program.forms.Remove(form);
        form->deleteLater();
    });
    program.forms.Add(form);
}

}  // namespace quillet
