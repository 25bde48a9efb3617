// The snippet editor: a plain-text window over one snippet file. A snippet is Windows-1252 text
// whose lines end in CR LF exactly as they are to appear in the user's source; the editor shows it
// decoded, and saves every line ending as CR LF and the text as Windows-1252 bytes (a character
// that Windows-1252 cannot hold is refused with a message, nothing is written). A snippet that does
// not exist yet starts empty and is made by the first save. Not modal: the tool window stays usable.
#pragma once

#include <string>

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace quillet {
class MessageBoxService;
}

namespace quillet::toolwindow {

class SnippetEditor : public QWidget {
    Q_OBJECT

public:
    // `title` (the snippet's name and kind) is shown in the caption, which names the editor.
    // Escape closes it as its Close button does.
    SnippetEditor(const std::string& path, const QString& title, MessageBoxService& messages, QWidget* parent = nullptr);

    const std::string& Path() const { return path_; }
    QPlainTextEdit* Editor() const { return edit_; }
    // Writes the text; false (with a message shown) when it could not be written.
    bool Save();
    bool Modified() const;

    // Windows-1252 bytes with any line ending -> the text shown (lines joined by "\n").
    static QString DecodeSnippet(const std::string& bytes);
    // The text shown -> Windows-1252 bytes with CR LF line ends; false when a character has no
    // Windows-1252 form.
    static bool EncodeSnippet(const QString& text, std::string& bytes);

signals:
    // The snippet file was written.
    void Saved(const std::string& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::string path_;
    QString name_;  // the snippet's name and kind
    MessageBoxService& messages_;
    QPlainTextEdit* edit_;
    QPushButton* save_;
    QPushButton* close_;
};

}  // namespace quillet::toolwindow
