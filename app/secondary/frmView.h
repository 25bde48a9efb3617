// frmView: the source viewer. It shows one source file of the loaded project, without its
// attribute header, with one line marked red and bold at the top of the box; it is opened by a
// click on a procedure node of the project tree or on a call site of the Called Routines tree,
// and is not modal (one viewer, reused by the next click).
//
// The text is the line array the engine reads (ReadSourceFile: split at CR LF, or at LF in a file
// without CR LF), so the marked line is the line the tree names, whatever the file's line ends.
#pragma once

#include <cstdint>
#include <string>

#include <QPlainTextEdit>
#include <QTextBlock>

#include <tovcore/controls.h>


namespace quillet {

struct Program;

// The viewer's text box "rtfView": a read-only, unwrapped text box that lays out only what it
// shows, so a file of tens of thousands of lines opens at once. It answers to the rich-text box's
// type name and properties, so skinning treats it as one.
class ViewBox : public QPlainTextEdit, public tovcore::ui::ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "RichTextBox")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(QString Text READ Text)
    Q_PROPERTY(bool Locked READ Locked WRITE SetLocked)

public:
    ViewBox(QWidget* container, const QString& name);
    QString Text() const { return toPlainText(); }
    bool Locked() const { return isReadOnly(); }
    void SetLocked(bool on) { setReadOnly(on); }
    // The line shown at the top of the box (0-based).
    int FirstVisibleLine() const { return firstVisibleBlock().blockNumber(); }
};

class frmView : public tovcore::ui::Form {
    Q_OBJECT

public:
    explicit frmView(Program& program);
    ~frmView() override;

    // Shows `path` (native) with line `lineNo` marked, lineNo counting from 1 at the first line
    // after the attribute header; a number outside the file marks nothing. The window is shown
    // maximised, not modal. False, with a message and nothing shown, when the file cannot be read.
    bool LoadFile(const std::string& path, std::int32_t lineNo);

    ViewBox* rtfView() const { return rtfView_; }
    tovcore::ui::PictureBox* Picture1() const { return picture1_; }
    // The marked line as a line number of the shown text (0-based), -1 when none is marked.
    int MarkedLine() const { return marked_; }
    // The window's caption before a file name is added.
    QString BaseCaption() const { return baseCaption_; }

private:
    void Layout();
    Program& program_;
    tovcore::ui::PictureBox* picture1_;
    ViewBox* rtfView_;
    QString baseCaption_;
    int marked_ = -1;
};

// The loaded viewer, made when there is none, showing `path` at `lineNo`. Null when the file
// could not be read (the message has been shown).
frmView* ShowFileInViewer(Program& program, const std::string& path, std::int32_t lineNo);

}  // namespace quillet
