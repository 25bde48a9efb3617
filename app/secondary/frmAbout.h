// frmAbout: the program's title, version, description, copyright and comments, from its build
// constants and the library's version text; System Information starts the system-information
// program that the registry store names, or says that there is none. The window keeps its place
// in the settings file and is centred the first time it is shown. While it shows over a frame that
// holds no tool window, the frame's logo is hidden.
#pragma once

#include <cstdint>
#include <string>

#include <QPointer>

#include <tovcore/controls.h>

namespace quillet {

struct Program;

// A string value of the registry store (a 32-bit value as "&h" and its bytes in hexadecimal, the
// last byte first). False, with `value` empty, when the key or value is missing or of another type.
bool GetKeyValue(std::int32_t keyRoot, const std::string& keyName, const std::string& valueName, std::string& value);

class frmAbout : public tovcore::ui::Form {
    Q_OBJECT

public:
    explicit frmAbout(Program& program);
    ~frmAbout() override;

    // The System Information button: the program under HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Shared
    // Tools\MSINFO" "PATH", else "MSINFO32.EXE" in the folder under "SOFTWARE\Microsoft\Shared Tools
    // Location" "MSINFO"; else, or when it does not start, "System Information Is Unavailable At
    // This Time".
    void StartSysInfo();

    tovcore::ui::Label* lblTitle() const { return lblTitle_; }
    tovcore::ui::Label* lblVersion() const { return lblVersion_; }
    tovcore::ui::Label* lblDescription() const { return lblDescription_; }
    tovcore::ui::Label* lblDisclaimer() const { return lblDisclaimer_; }
    tovcore::ui::Label* lblComment() const { return lblComment_; }
    tovcore::ui::MyButton* cmdSysInfo() const { return cmdSysInfo_; }
    tovcore::ui::MyButton* cmdOk() const { return cmdOk_; }

private:
    void HideFrameLogo();
    void ShowFrameLogoAgain();
    Program& program_;
    QPointer<QWidget> hiddenLogo_;  // the frame's logo, while this window hides it
    tovcore::ui::Label *lblTitle_, *lblVersion_, *lblDescription_, *lblDisclaimer_, *lblComment_;
    tovcore::ui::MyButton *cmdSysInfo_, *cmdOk_;
    bool centred_ = false;
};

// Shows the about window without waiting (the loaded one, or a new one).
frmAbout* ShowAbout(Program& program);

}  // namespace quillet
