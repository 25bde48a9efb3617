#include "app/forms/FormServices.h"

#include <algorithm>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <QWidget>

#include <tovcore/clsTovcore.h>
#include <tovcore/controls.h>

#include "app/core/Program.h"
#include "app/core/Settings.h"
#include "app/core/WindowSeams.h"

namespace quillet {

namespace ui = tovcore::ui;

namespace {

tovcore::clsTovcore& Lib() { return tovcore::Global(); }

QObject* ControlNamed(const QObject* form, const QString& name) {
    for (QObject* c : ui::Controls(form))
        if (c->objectName() == name) return c;
    return nullptr;
}

int PropertyInt(const QObject* obj, const char* name, int fallback) {
    const auto v = ui::GetProperty(obj, name);
    return v ? v->toInt() : fallback;
}

}  // namespace

void DisplayMessage(Program& program, const std::string& message, bool log, std::int32_t align) {
    ui::Form* tool = program.forms.FindByTag("frmQuillet");
    if (tool) {
        std::int32_t back = program.state.colors.DisplayColor;
        // The panel takes the colour of the controls on the tab page shown (the last one wins).
        for (QObject* c : ui::Controls(tool)) {
            const auto container = ui::GetProperty(c, "Container");
            if (!container) continue;
            const QObject* holder = container->value<QObject*>();
            if (!holder || holder->objectName() != QLatin1String("SSTab1")) continue;
            if (PropertyInt(c, "Left", 0) <= 0) continue;
            if (const auto color = ui::GetProperty(c, "BackColor")) back = color->toInt();
        }
        if (QObject* panel = ControlNamed(tool, "rtfMsg")) {
            ui::SetProperty(panel, "Enabled", true);
            ui::SetProperty(panel, "Locked", true);
            ui::SetProperty(panel, "Text", QString::fromStdString(message));
            ui::SetProperty(panel, "SelAlignment", align);
            ui::SetProperty(panel, "BackColor", back);
            if (auto* w = qobject_cast<QWidget*>(panel)) {
                w->raise();
                if (w->isHidden()) w->show();
            }
        }
    }
    if (log) Lib().WriteLog(message);
}

void ClearMessage(Program& program) {
    ui::Form* tool = program.forms.FindByTag("frmQuillet");
    if (!tool) return;
    if (QObject* panel = ControlNamed(tool, "rtfMsg")) {
        ui::SetProperty(panel, "Text", QString());
        ui::SetProperty(panel, "Visible", false);
    }
}

void DisableFormControls(Program& program, QObject* form) {
    Lib().DisableAllControls(form);
    if (program.frame) program.frame->SetControlsEnabled(false);
    if (QObject* panel = ControlNamed(form, "rtfMsg")) ui::SetProperty(panel, "Enabled", true);
}

void EnableFormControls(Program& program, QObject* form) {
    Lib().EnableAllControls(form);
    if (program.frame) program.frame->SetControlsEnabled(true);
}

void UnloadAllForms(Program& program, const ui::Form* form) {
    const QString keep = form ? form->Name() : QString();
    for (ui::Form* f : program.forms.List()) {
        if (f->Name() == keep) continue;
        program.forms.Unload(f);
    }
}

namespace {

struct Place {
    int left, top, width, height;
};

// The window's normal place in twips: while it is minimised or maximised, the place it goes back to.
Place NormalPlace(ui::Form* form) {
    if (form->WindowState() == 0 || !form->isWindow()) return {form->Left(), form->Top(), form->Width(), form->Height()};
    const QRect normal = form->normalGeometry();
    const int frameW = form->frameGeometry().width() - form->geometry().width();
    const int frameH = form->frameGeometry().height() - form->geometry().height();
    return {ui::PixelsToTwips(normal.x()), ui::PixelsToTwips(normal.y()), ui::PixelsToTwips(normal.width() + frameW),
            ui::PixelsToTwips(normal.height() + frameH)};
}

}  // namespace

void SaveFormPosition(ui::Form* form, const std::string& iniFile) { WriteFormPosition(form, iniFile); }

void WriteFormPosition(ui::Form* form, const std::string& iniFile) {
    if (!form) return;
    const std::string section = form->Name().toStdString();
    const Place p = NormalPlace(form);
    WriteIniNumber(section, "Top", p.top, iniFile);
    WriteIniNumber(section, "Left", p.left, iniFile);
    WriteIniNumber(section, "Height", p.height, iniFile);
    WriteIniNumber(section, "Width", p.width, iniFile);
    WriteIniBool(section, "Visible", form->Visible(), iniFile);
    WriteIniNumber(section, "WindowState", form->WindowState(), iniFile);
}

void ReadFormPosition(clsFrmPos& pos, const std::string& iniFile, ui::Form* form) {
    const std::string top = ReadIniText(pos.Name, "Top", "", iniFile);
    const std::string left = ReadIniText(pos.Name, "Left", "", iniFile);
    const std::string height = ReadIniText(pos.Name, "Height", "", iniFile);
    const std::string width = ReadIniText(pos.Name, "Width", "", iniFile);
    const std::string visible = ReadIniText(pos.Name, "Visible", "", iniFile);
    const std::string state = ReadIniText(pos.Name, "WindowState", "", iniFile);
    const Place own = NormalPlace(form);
    const std::int32_t storedWidth = ParseWholeNumber(width).value_or(0);
    if (storedWidth > 0) {
        pos.Width = storedWidth;
        pos.Top = ParseWholeNumber(top).value_or(own.top);
        pos.Left = ParseWholeNumber(left).value_or(own.left);
        const std::int32_t h = ParseWholeNumber(height).value_or(own.height);
        pos.Height = h > 0 ? h : own.height;
        pos.Visible = ParseWholeNumber(visible).value_or(form->Visible() ? 1 : 0) != 0;
        pos.WindowState = ParseWholeNumber(state).value_or(form->WindowState());
        pos.Tag = pos.Name;
    } else {
        pos.Top = own.top;
        pos.Left = own.left;
        pos.Height = own.height;
        pos.Width = own.width;
        pos.Visible = form->Visible();
        pos.WindowState = form->WindowState();
        pos.Tag = form->Tag().toStdString();
    }
}

void FitSizeToScreen(std::int32_t& width, std::int32_t& height) {
    constexpr std::int32_t kSmallest = 90 * ui::kTwipsPerPixel;
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const QScreen* screen = app ? QGuiApplication::primaryScreen() : nullptr;
    const std::int32_t maxWidth = screen ? ui::PixelsToTwips(screen->availableGeometry().width()) : 0;
    const std::int32_t maxHeight = screen ? ui::PixelsToTwips(screen->availableGeometry().height()) : 0;
    if (maxWidth > 0) width = std::min(width, std::max(maxWidth, kSmallest));
    if (maxHeight > 0) height = std::min(height, std::max(maxHeight, kSmallest));
    width = std::max(width, kSmallest);
    height = std::max(height, kSmallest);
}

void RestoreFormPosition(ui::Form* form, const std::string& iniFile) {
    if (!form) return;
    clsFrmPos pos;
    pos.Name = form->Name().toStdString();
    ReadFormPosition(pos, iniFile, form);
    if (pos.Width == 0) return;
    FitSizeToScreen(pos.Width, pos.Height);
    form->Move(pos.Left, pos.Top, pos.Width, pos.Height);
}

bool IsFormLoaded(const Program& program, const std::string& tag) {
    return program.forms.FindByTag(QString::fromStdString(tag)) != nullptr;
}

std::int32_t SelectColor(Program& program, QWidget* owner, const std::string& word, std::int32_t current) {
    if (!program.services.dialogs) return current;
    const auto chosen = program.services.dialogs->ChooseColor(owner, "Select " + word + " Color", current);
    if (!chosen) return current;
    program.state.ProjectChanged = true;
    return *chosen;
}

void SkinForm(Program& program, QObject* form) {
    const ColorScheme& c = program.state.colors;
    Lib().SkinIt(form, c.ButtonTabColor, c.ButtonTabTextColor, 0xFFFFFF, c.FormColor, 0xFFFFFF, c.DisplayColor,
                 tovcore::cVertical);
}

bool AskSaveOnClose(Program& program) {
    if (!program.state.ProjectChanged) return true;
    const std::int32_t answer = program.services.messageBox->Show("Do you want to save this project?",
                                                                  vbYesNoCancel | vbQuestion, Lib().GetVersion(), 2);
    if (answer == kYes) {
        program.state.ProjectChanged = true;
        return true;
    }
    if (answer == kNo) {
        program.state.ProjectChanged = false;
        return true;
    }
    return false;
}

}  // namespace quillet
