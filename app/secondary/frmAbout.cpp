#include "app/secondary/frmAbout.h"

#include <cstdio>

#include <QFont>

#include <tovcore/Types.h>
#include <tovcore/clsTovcore.h>
#include <tovcore/registry.h>

#include "app/core/Program.h"
#include "app/core/WindowSeams.h"
#include "app/forms/FormServices.h"
#include "app/language/Language.h"
#include "app/secondary/WindowLife.h"
#include "app/startup/AppIdentity.h"
#include "platform/paths.h"

namespace quillet {

namespace ui = tovcore::ui;
namespace reg = tovcore::registry;

namespace {

constexpr std::int32_t kRegSz = 1, kRegDword = 4;

QString Q(const std::string& s) { return QString::fromStdString(s); }

ui::Label* AboutLabel(ui::Form* form, const char* name, int top, int height, bool bold = false) {
    auto* label = new ui::Label(form, name);
    label->SetBackStyle(0);
    label->SetWordWrap(true);
    label->Move(360, top, 6240, height);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.5);
        label->setFont(font);
    }
    return label;
}

}  // namespace

bool GetKeyValue(std::int32_t keyRoot, const std::string& keyName, const std::string& valueName, std::string& value) {
    value.clear();
    std::int32_t key = 0;
    if (reg::OpenKey(keyRoot, keyName, key) != reg::ERROR_SUCCESS) return false;
    std::int32_t type = 0;
    std::string data;
    const bool read = reg::QueryValue(key, valueName, type, data) == reg::ERROR_SUCCESS;
    reg::CloseKey(key);
    if (!read) return false;
    if (type == kRegSz) {
        const std::size_t nul = data.find('\0');
        value = nul == std::string::npos ? data : data.substr(0, nul);
        return true;
    }
    if (type == kRegDword) {
        value = "&h";
        for (auto it = data.rbegin(); it != data.rend(); ++it) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(*it));
            value += hex;
        }
        return true;
    }
    return false;
}

frmAbout::frmAbout(Program& program) : ui::Form("frmAbout"), program_(program) {
    SetTag("frmAbout");
    const tovcore::AppObject app = QuilletAppObject();
    // The program's caption first, so that a language file's caption wins over it.
    SetCaption(Q("About " + app.Title));
    lblTitle_ = AboutLabel(this, "lblTitle", 240, 480, true);
    lblVersion_ = AboutLabel(this, "lblVersion", 780, 300);
    lblDescription_ = AboutLabel(this, "lblDescription", 1140, 300);
    lblComment_ = AboutLabel(this, "lblComment", 1500, 660);
    lblDisclaimer_ = AboutLabel(this, "lblDisclaimer", 2280, 300);
    cmdOk_ = new ui::MyButton(this, "cmdOk");
    cmdOk_->SetCaption("OK");
    cmdOk_->Move(5160, 2820, 1440, 375);
    cmdSysInfo_ = new ui::MyButton(this, "cmdSysInfo");
    cmdSysInfo_->SetCaption("&System Info...");
    cmdSysInfo_->Move(3600, 2820, 1440, 375);
    Move(0, 0, 7080, 3600);  // the buttons with a margin below them as above the title
    setFixedSize(size());

    LoadLanguage(program_, this);
    // The labels say what this program is, whatever a language file holds for them.
    lblTitle_->SetCaption(Q(app.Title));
    lblVersion_->SetCaption(Q(tovcore::Global().GetVersion()));
    lblDescription_->SetCaption(Q(app.FileDescription));
    lblDisclaimer_->SetCaption(Q(app.LegalCopyright + " by " + app.CompanyName));
    lblComment_->SetCaption(Q(app.Comments));
    NameControlsForAccessibility(this);
    RestoreFormPosition(this, program_.state.IniFileName);
    connect(this, &Form::FormShown, this, [this] {
        if (!centred_) {
            centred_ = true;
            tovcore::Global().CenterObject(this);
        }
        HideFrameLogo();
    });
    connect(this, &Form::FormUnload, this, [this](int& cancel) {
        if (cancel == 0) ShowFrameLogoAgain();
    });
    connect(cmdSysInfo_, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    connect(cmdOk_, &QPushButton::clicked, this, [this] { program_.forms.Unload(this); });
    ManageSecondaryWindow(program_, this, true);
}

frmAbout::~frmAbout() {
    ShowFrameLogoAgain();
    program_.forms.Remove(this);
}

// The frame's logo gives way to the about window while the frame holds no tool window; it comes
// back when the about window goes, unless a tool window has come meanwhile (which covers it).
void frmAbout::HideFrameLogo() {
    if (!program_.frame || IsFormLoaded(program_, "frmQuillet")) return;
    for (QObject* c : ui::Controls(program_.frame->Window())) {
        if (c->objectName() != QLatin1String("Picture1")) continue;
        if (auto* logo = qobject_cast<QWidget*>(c); logo && !logo->isHidden()) {
            logo->hide();
            hiddenLogo_ = logo;
        }
        break;
    }
}

void frmAbout::ShowFrameLogoAgain() {
    if (!hiddenLogo_) return;
    QWidget* logo = hiddenLogo_;
    hiddenLogo_.clear();
    if (!IsFormLoaded(program_, "frmQuillet")) logo->show();
}

void frmAbout::StartSysInfo() {
    std::string program;
    std::string found;
    if (GetKeyValue(tovcore::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", found) &&
        !found.empty()) {
        program = found;
    } else if (GetKeyValue(tovcore::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                           found) &&
               !found.empty()) {
        while (!found.empty() && (found.back() == '/' || found.back() == '\\')) found.pop_back();
        const std::string candidate = found + "/MSINFO32.EXE";
        if (platform::IsRegularFile(candidate)) program = candidate;
    }
    if (program.empty() || !program_.services.launcher->StartDetached(program, {}))
        program_.services.messageBox->Show("System Information Is Unavailable At This Time", vbOKOnly, "", 2);
}

frmAbout* ShowAbout(Program& program) {
    auto* about = qobject_cast<frmAbout*>(program.forms.FindByTag("frmAbout"));
    if (!about) about = new frmAbout(program);
    about->show();
    about->raise();
    about->activateWindow();
    return about;
}

}  // namespace quillet
