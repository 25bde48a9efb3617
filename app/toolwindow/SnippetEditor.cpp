#include "app/toolwindow/SnippetEditor.h"

#include <filesystem>
#include <system_error>

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/services/Services.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace quillet::toolwindow {

QString SnippetEditor::DecodeSnippet(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            text += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            text += bytes[i];
        }
    }
    return QString::fromStdString(platform::Cp1252ToUtf8(text));
}

bool SnippetEditor::EncodeSnippet(const QString& text, std::string& bytes) {
    bool lossless = true;
    const std::string cp = platform::Utf8ToCp1252(text.toStdString(), &lossless);
    if (!lossless) return false;
    bytes.clear();
    bytes.reserve(cp.size() + cp.size() / 16);
    for (char c : cp) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return true;
}

SnippetEditor::SnippetEditor(const std::string& path, const QString& title, MessageBoxService& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), path_(path), name_(title), messages_(messages) {
    setObjectName("frmSnippet");
    setAttribute(Qt::WA_DeleteOnClose);
    // The window says what it is: a screen reader names it by its title.
    setWindowTitle(title + tr(" - Snippet Editor"));
    edit_ = new QPlainTextEdit(this);
    edit_->setObjectName("txtSnippet");
    edit_->setAccessibleName(title);
    edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    std::string bytes;
    if (platform::ReadFileBytes(path_, bytes)) edit_->setPlainText(DecodeSnippet(bytes));
    edit_->document()->setModified(false);

    save_ = new QPushButton(tr("&Save"), this);
    save_->setObjectName("cmdSave");
    save_->setAccessibleName(QStringLiteral("Save"));
    close_ = new QPushButton(tr("&Close"), this);
    close_->setObjectName("cmdClose");
    close_->setAccessibleName(QStringLiteral("Close"));
    connect(save_, &QPushButton::clicked, this, [this] { Save(); });
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    // Escape closes the editor as the Close button does (asking about unsaved text).
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName("EscapeCloses");
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_, 1);
    layout->addLayout(buttons);
    resize(720, 420);
}

bool SnippetEditor::Modified() const { return edit_->document()->isModified(); }

bool SnippetEditor::Save() {
    std::string bytes;
    // The raw text keeps a no-break space as it is (the plain text would turn it into a blank).
    QString text = edit_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n')).replace(QChar::LineSeparator, QLatin1Char('\n'));
    if (!EncodeSnippet(text, bytes)) {
        messages_.Show("The snippet holds characters that a Visual Basic file cannot hold; it was not saved.",
                       vbOKOnly, "", 2);
        return false;
    }
    std::string why;
    std::error_code ec;
    std::filesystem::create_directories(platform::FolderOf(path_), ec);
    if (!platform::WriteFileAtomic(path_, bytes, &why)) {
        messages_.Show("The snippet " + path_ + " could not be saved: " + why, vbOKOnly, "", 2);
        return false;
    }
    edit_->document()->setModified(false);
    emit Saved(path_);
    return true;
}

void SnippetEditor::closeEvent(QCloseEvent* event) {
    if (Modified()) {
        const std::int32_t answer =
            messages_.Show("Save the changes to " + name_.toStdString() + "?", vbYesNoCancel | vbQuestion, "", 2);
        if (answer == kYes) {
            if (!Save()) {
                event->ignore();
                return;
            }
        } else if (answer != kNo) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

}  // namespace quillet::toolwindow
