// frmHelp: the program's instructions, read-only, from the help file shipped beside the program
// ("Instructions.html"). The text is read once, when the window is made; a help file that cannot
// be read shows one message (message 17 of the language file and the file's path) and no window.
// The window keeps its place in the settings file.
#pragma once

#include <string>

#include <tovcore/controls.h>

namespace quillet {

struct Program;

class frmHelp : public tovcore::ui::Form {
    Q_OBJECT

public:
    explicit frmHelp(Program& program);
    ~frmHelp() override;

    // Reads the help file into rtfHelp; false, with the message shown, when it cannot be read.
    bool LoadHelp();
    // The help file: the program folder's "Instructions.html".
    std::string HelpFile() const;

    tovcore::ui::RichTextBox* rtfHelp() const { return rtfHelp_; }
    tovcore::ui::MyButton* cmdOk() const { return cmdOk_; }

private:
    void Layout();
    Program& program_;
    tovcore::ui::RichTextBox* rtfHelp_;
    tovcore::ui::MyButton* cmdOk_;
};

// Shows the help window without waiting (the loaded one, or a new one). Null when the help file
// could not be read.
frmHelp* ShowHelp(Program& program);

}  // namespace quillet
