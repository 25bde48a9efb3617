#include "app/secondary/frmHelp.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextDocument>
#include <QUrl>

#include "app/core/Program.h"
#include "app/forms/FormServices.h"
#include "app/language/Language.h"
#include "app/secondary/WindowLife.h"

namespace quillet {

namespace ui = tovcore::ui;

frmHelp::frmHelp(Program& program) : ui::Form("frmHelp"), program_(program) {
    SetTag("frmHelp");
    SetCaption("Quillet Information");
    rtfHelp_ = new ui::RichTextBox(this, "rtfHelp");
    rtfHelp_->SetLocked(true);
    SetAccessibleWhat(rtfHelp_, "Instructions");
    cmdOk_ = new ui::MyButton(this, "cmdOk");
    cmdOk_->SetCaption("OK");
    Move(0, 0, 9600, 7200);
    LoadLanguage(program_, this);
    NameControlsForAccessibility(this);
    RestoreFormPosition(this, program_.state.IniFileName);
    connect(this, &Form::FormResized, this, &frmHelp::Layout);
    connect(cmdOk_, &QPushButton::clicked, this, [this] { program_.forms.Unload(this); });
    ManageSecondaryWindow(program_, this, true);
    Layout();
}

frmHelp::~frmHelp() { program_.forms.Remove(this); }

std::string frmHelp::HelpFile() const { return program_.state.ProgramFolder + "Instructions.html"; }

bool frmHelp::LoadHelp() {
    QFile file(QString::fromStdString(HelpFile()));
    if (!file.open(QIODevice::ReadOnly)) {
        program_.services.messageBox->Show(GetLanguageMessage(program_, 17) + " " + HelpFile(), vbOKOnly, "", 2);
        return false;
    }
    // The help text's pictures are found beside it, wherever the program was started from; the
    // logo, when it is not there, is the one compiled in.
    auto* document = new QTextDocument(rtfHelp_);
    document->setDefaultFont(rtfHelp_->font());
    document->setMetaInformation(QTextDocument::DocumentUrl,
                                 QUrl::fromLocalFile(QString::fromStdString(HelpFile())).toString());
    if (!QFileInfo::exists(QString::fromStdString(program_.state.ProgramFolder + "logo.png")))
        document->addResource(QTextDocument::ImageResource, QUrl("logo.png"), QImage(":/quillet/logo.png"));
    document->setHtml(QString::fromUtf8(file.readAll()));
    rtfHelp_->setDocument(document);
    rtfHelp_->SetLocked(true);
    return true;
}

void frmHelp::Layout() {
    // The text fills the window above a strip that holds the OK button, centred.
    const int width = ScaleWidth(), height = ScaleHeight();
    const int buttonWidth = 1215, buttonHeight = 375, strip = buttonHeight + 240;
    rtfHelp_->Move(120, 120, std::max(0, width - 240), std::max(0, height - strip - 120));
    cmdOk_->Move(std::max(0, (width - buttonWidth) / 2), std::max(0, height - strip + 120), buttonWidth, buttonHeight);
}

frmHelp* ShowHelp(Program& program) {
    auto* help = qobject_cast<frmHelp*>(program.forms.FindByTag("frmHelp"));
    if (!help) {
        help = new frmHelp(program);
        if (!help->LoadHelp()) {
            delete help;
            return nullptr;
        }
    }
    help->show();
    help->raise();
    help->activateWindow();
    return help;
}

}  // namespace quillet
