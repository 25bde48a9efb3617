#include "app/services/QtServices.h"

#include <cstdlib>

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QScreen>
#include <QStringList>
#include <QUrl>

#include <tovcore/clsTovcore.h>
#include <tovcore/controls.h>

#include "platform/text.h"

namespace quillet {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Where a file dialog opens: the folder, with the suggested name in it.
QString StartPath(const FileDialogRequest& request) {
    QString start = Q(request.folder);
    if (!request.fileName.empty()) start = start.isEmpty() ? Q(request.fileName) : start + "/" + Q(request.fileName);
    return start;
}

}  // namespace

std::string QtFilter(const std::string& filter) {
    // Pairs of (description, patterns) separated by "|".
    const std::vector<std::string_view> parts = platform::Split(filter, "|");
    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (!out.empty()) out += ";;";
        out += std::string(platform::RTrim(parts[i])) + " (" + platform::ReplaceAll(parts[i + 1], ";", " ") + ")";
    }
    return out;
}

std::int32_t QtMessageBox::Show(const std::string& prompt, std::int32_t style, const std::string& title,
                                std::int32_t align) {
    return tovcore::Global().MyMsgBox(prompt, style, title, align);
}

namespace {

// The keyboard goes back to the window the dialog stood over once it has closed (a window manager
// does that; without one the keys would go nowhere).
void GiveKeyboardBack(QWidget* owner) {
    if (owner && owner->window()->isVisible()) owner->window()->activateWindow();
}

}  // namespace

std::optional<std::string> QtDialogs::OpenFile(QWidget* owner, const FileDialogRequest& request) {
    const QString path =
        QFileDialog::getOpenFileName(owner, Q(request.title), StartPath(request), Q(QtFilter(request.filter)));
    GiveKeyboardBack(owner);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> QtDialogs::SaveFile(QWidget* owner, const FileDialogRequest& request) {
    const QString path =
        QFileDialog::getSaveFileName(owner, Q(request.title), StartPath(request), Q(QtFilter(request.filter)));
    GiveKeyboardBack(owner);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<std::int32_t> QtDialogs::ChooseColor(QWidget* owner, const std::string& title, std::int32_t current) {
    const QColor chosen = QColorDialog::getColor(tovcore::ui::ToQColor(current), owner, Q(title));
    GiveKeyboardBack(owner);
    if (!chosen.isValid()) return std::nullopt;
    return tovcore::ui::FromQColor(chosen);
}

std::optional<std::string> QtDialogs::ChooseFolder(QWidget* owner, const std::string& title,
                                                   const std::string& startFolder) {
    const QString folder = QFileDialog::getExistingDirectory(owner, Q(title), Q(startFolder));
    GiveKeyboardBack(owner);
    if (folder.isEmpty()) return std::nullopt;
    std::string out = folder.toStdString();
    if (out.back() != '/') out += '/';
    return out;
}

bool QtLauncher::StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
    if (program.empty()) return false;
    QStringList args;
    for (const std::string& a : arguments) args << Q(a);
    return QProcess::startDetached(Q(program), args);
}

bool QtLauncher::OpenUrl(const std::string& url) { return QDesktopServices::openUrl(QUrl(Q(url))); }

bool QtLauncher::OpenDocument(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
}

std::vector<std::string> EditorCommand(const std::string& command, const std::string& file) {
    std::vector<std::string> words = platform::SplitCommandLine(command);
    if (words.empty()) return {};
    words.push_back(file);
    return words;
}

bool QtLauncher::OpenInEditor(const std::string& path) {
    std::vector<std::string> candidates;
    if (editorSetting_) candidates.push_back(editorSetting_());
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        const char* value = std::getenv(variable);
        if (value) candidates.emplace_back(value);
    }
    for (const std::string& candidate : candidates) {
        std::vector<std::string> command = EditorCommand(candidate, path);
        if (command.empty()) continue;
        const std::string program = command.front();
        command.erase(command.begin());
        if (StartDetached(program, command)) return true;
    }
    return OpenDocument(path);
}

namespace {
QScreen* PrimaryScreen() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
}
}  // namespace

int QtScreen::WidthTwips() {
    QScreen* s = PrimaryScreen();
    return s ? tovcore::ui::PixelsToTwips(s->availableGeometry().width()) : 0;
}

int QtScreen::HeightTwips() {
    QScreen* s = PrimaryScreen();
    return s ? tovcore::ui::PixelsToTwips(s->availableGeometry().height()) : 0;
}

bool QtScreen::ResolutionChanged() { return tovcore::Global().CheckIfResolutionChanged(); }

QtServices::QtServices(std::function<std::string()> editorSetting) : launcher_(std::move(editorSetting)) {
    bundle_.messageBox = &messageBox_;
    bundle_.dialogs = &dialogs_;
    bundle_.launcher = &launcher_;
    bundle_.clock = &clock_;
    bundle_.screen = &screen_;
    bundle_.printing = &printing_;
}

std::string QtPrinting::DefaultPrinter() { return QPrinterInfo::defaultPrinterName().toStdString(); }

bool QtPrinting::PrinterDialog(QWidget* owner, QPrinter& printer) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quillet
