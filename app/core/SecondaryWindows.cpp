// Stand-ins until the help and about windows are part of the program: help opens the shipped help
// text with the desktop, about shows the program's name and version in a message box.
#include "app/core/SecondaryWindows.h"

#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/startup/AppIdentity.h"

namespace quillet {

void ShowHelpWindow(Program& program) {
    program.services.launcher->OpenDocument(program.state.ProgramFolder + "Instructions.html");
}

void ShowAboutWindow(Program& program) {
    const tovcore::AppObject app = QuilletAppObject();
    program.services.messageBox->Show(app.Title + "\r\n" + tovcore::Global().GetVersion() + "\r\n" +
                                          app.FileDescription + "\r\n" + app.LegalCopyright,
                                      vbOKOnly, "About " + app.Title, 2);
}

}  // namespace quillet
