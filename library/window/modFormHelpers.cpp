#include "library/window/modFormHelpers.h"

#include <memory>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>

#include <tovcore/controls.h>

#include "library/src/LibraryState.h"
#include "library/src/modGeneral.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace tovcore::detail {
namespace {

void SetAllEnabled(QObject* obj, bool enabled) {
    for (QObject* c : ui::Controls(obj)) ui::SetProperty(c, "Enabled", enabled);
}

// The snapshot key: the window's name, followed by its index where it has one.
std::string SnapshotKey(const QObject* obj) {
    QString key = ui::GetProperty(obj, "Name").value_or(QVariant(obj ? obj->objectName() : QString())).toString();
    if (const std::optional<QVariant> index = ui::GetProperty(obj, "Index")) {
        if (index->toInt() >= 0) key += QString::number(index->toInt());
    }
    return key.toStdString();
}

}  // namespace

void DisableAllControls(QObject* obj) { SetAllEnabled(obj, false); }
void EnableAllControls(QObject* obj) { SetAllEnabled(obj, true); }

void DisableSaveControls(QObject* obj) {
    auto& snapshots = State().savedControls.snapshots;
    const std::string key = SnapshotKey(obj);
    if (!snapshots.count(key)) {
        std::vector<SavedControlCollection::SavedControl> states;
        for (QObject* c : ui::Controls(obj)) {
            const std::optional<QVariant> enabled = ui::GetProperty(c, "Enabled");
            if (!enabled) continue;
            states.push_back({std::make_shared<QPointer<QObject>>(c), enabled->toBool()});
        }
        snapshots.emplace(key, std::move(states));
    }
    DisableAllControls(obj);
}

void RestoreSavedControls(QObject* obj) {
    auto& snapshots = State().savedControls.snapshots;
    const auto it = snapshots.find(SnapshotKey(obj));
    if (it == snapshots.end()) return;
    const std::vector<SavedControlCollection::SavedControl> states = std::move(it->second);
    snapshots.erase(it);
    for (const auto& s : states) {
        auto* control = static_cast<QPointer<QObject>*>(s.control.get());
        if (control && *control) ui::SetProperty(control->data(), "Enabled", s.enabled);
    }
}

// ---- manifest --------------------------------------------------------------------------------------
namespace {

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n";
constexpr const char* kCommonControls =
    "  <dependency>\r\n"
    "    <dependentAssembly>\r\n"
    "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
    "processorArchitecture=\"X86\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\r\n"
    "    </dependentAssembly>\r\n"
    "  </dependency>\r\n";
constexpr const char* kRunAsAdmin =
    "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\r\n"
    "    <security>\r\n"
    "      <requestedPrivileges>\r\n"
    "        <requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>\r\n"
    "      </requestedPrivileges>\r\n"
    "    </security>\r\n"
    "  </trustInfo>\r\n";
constexpr const char* kTail = "</assembly>";

std::string Identity(const std::string& name) {
    return "  <assemblyIdentity version=\"1.0.0.0\" processorArchitecture=\"X86\" name=\"" + name +
           "\" type=\"win32\"/>\r\n";
}

std::string Description(const char* text) { return std::string("  <description>") + text + "</description>\r\n"; }

std::string Template(std::int16_t id) {
    switch (id) {
        case 102:
            return kHead + Identity("Tovell.Quillet.RunAsAdministrator") + Description("elevate execution level") +
                   kRunAsAdmin + Description("VB code converter.") + kCommonControls + kTail;
        case 103:
            return kHead + Identity("ExeName") + Description("elevate execution level") + kRunAsAdmin + kTail;
        default:
            return kHead + Identity("Tovell.Quillet.VisualStyles") + Description("VB code converter.") +
                   kCommonControls + kTail;
    }
}

std::string EscapeXml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

std::string ManifestText(const std::string& ExeName, std::int16_t Id) {
    return platform::ReplaceAll(Template(Id), "ExeName", EscapeXml(ExeName) + ".exe");
}

std::string CreateManifestFile(const std::string& ExeName, const std::string& PathName, std::int16_t Id) {
    const std::string path = FixPath(PathName) + ExeName + ".exe.manifest";
    if (!platform::WriteFileAtomic(path, ManifestText(ExeName, Id) + "\r\n")) return "";
    return path;
}

// Visual styles of the common controls are a matter of the Windows loader's manifest; the window
// system here has no such thing, so there is nothing to write or to initialise.
void InitXPStyles(std::int16_t) {}

// ---- folder browsing -------------------------------------------------------------------------------
namespace {

// Keeps itself centred on the screen whatever its size.
class BrowseDialog : public QDialog {
public:
    explicit BrowseDialog(QWidget* owner) : QDialog(owner) {}

protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        Centre();
    }
    void resizeEvent(QResizeEvent* event) override {
        QDialog::resizeEvent(event);
        Centre();
    }

private:
    void Centre() {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return;
        const QRect s = screen->geometry();
        const QRect f = frameGeometry();
        move((s.width() - f.width()) / 2, (s.height() - f.height()) / 2);
    }
};

}  // namespace

std::string BrowseFolder(const std::string& StartFolder, QObject* frm) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) return "";
    auto* owner = qobject_cast<QWidget*>(frm);
    BrowseDialog dialog(owner ? owner->window() : nullptr);
    dialog.setObjectName(QStringLiteral("frmBrowseFolder"));
    dialog.setWindowTitle(QStringLiteral("Browse for Folder"));

    auto* text = new QLabel(QStringLiteral("Select a folder from the tree."), &dialog);
    auto* model = new QFileSystemModel(&dialog);
    model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model->setRootPath(QStringLiteral("/"));
    auto* tree = new QTreeView(&dialog);
    tree->setObjectName(QStringLiteral("folderTree"));
    tree->setModel(model);
    tree->setHeaderHidden(true);
    for (int c = 1; c < model->columnCount(); ++c) tree->hideColumn(c);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(tree);
    layout->addWidget(buttons);

    const std::string start(platform::Trim(StartFolder));
    if (!start.empty()) {
        const QModelIndex at = model->index(QString::fromStdString(start));
        if (at.isValid()) {
            tree->setCurrentIndex(at);
            tree->scrollTo(at);
        }
    }
    QObject::connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, &dialog,
                     [buttons](const QModelIndex& now) { buttons->button(QDialogButtonBox::Ok)->setEnabled(now.isValid()); });
    buttons->button(QDialogButtonBox::Ok)->setEnabled(tree->currentIndex().isValid());
    dialog.resize(420, 480);

    if (dialog.exec() != QDialog::Accepted) return "";
    const QModelIndex chosen = tree->currentIndex();
    if (!chosen.isValid()) return "";
    return model->filePath(chosen).toStdString();
}

}  // namespace tovcore::detail
