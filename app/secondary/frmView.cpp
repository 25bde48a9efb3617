#include "app/secondary/frmView.h"

#include <algorithm>
#include <optional>

#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "app/core/Program.h"
#include "app/language/Language.h"
#include "app/secondary/WindowLife.h"
#include "app/reports/ReportBoxes.h"
#include "engine/error.h"
#include "engine/source.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace quillet {

using tovcore::ui::PictureBox;

ViewBox::ViewBox(QWidget* container, const QString& name)
    : QPlainTextEdit(tovcore::ui::ClientOf(container)),
      ControlBase(this, name, -1, tovcore::ui::vbWindowBackground, tovcore::ui::vbWindowText) {
    backRole_ = QPalette::Base;
    foreRole_ = QPalette::Text;
    fillBackground_ = false;
    ApplyColors();
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    setFont(ReportFont(kReportScreenPoints));
}

frmView::frmView(Program& program) : tovcore::ui::Form("frmView"), program_(program) {
    SetTag("frmView");
    SetCaption("View");
    picture1_ = new PictureBox(this, "Picture1");
    rtfView_ = new ViewBox(this, "rtfView");
    SetAccessibleWhat(picture1_, "Viewer");
    SetAccessibleWhat(rtfView_, "Source");
    LoadLanguage(program_, this);
    NameControlsForAccessibility(this);
    baseCaption_ = Caption();
    connect(this, &Form::FormResized, this, &frmView::Layout);
    ManageSecondaryWindow(program_, this, false);
}

frmView::~frmView() { program_.forms.Remove(this); }

void frmView::Layout() {
    // In the window's own client area; no length below 0 however small the window gets.
    const int width = ScaleWidth(), height = ScaleHeight();
    picture1_->Move(100, 100, std::max(0, width - 200), std::max(0, height - 200));
    rtfView_->Move(picture1_->Left(), picture1_->Top(), std::max(0, picture1_->Width() - 200),
                   std::max(0, picture1_->Height() - 300));
}

bool frmView::LoadFile(const std::string& path, std::int32_t lineNo) {
    std::int32_t offset = 0;
    std::optional<engine::LineArray> file;
    std::string failure;
    try {
        file = engine::ReadSourceFile(path, offset);
        if (!file) failure = "File Not Found - " + path;
    } catch (const engine::EngineError& e) {
        failure = "Unable To Open " + path + " - " + e.what();
    }
    if (!file) {
        program_.services.messageBox->Show(failure, vbOKOnly, "", 2);
        return false;
    }

    SetCaption(baseCaption_ + " - " + QString::fromStdString(platform::DecodeOwnText(platform::NameOf(path))));

    // The lines after the header; a CR or LF inside a line (a file of mixed line ends) shows as a
    // line break inside that line, so line numbers stay those of the engine.
    const std::vector<std::string>& lines = file->lines;
    const std::size_t first = std::min<std::size_t>(static_cast<std::size_t>(std::max(offset, 0)), lines.size());
    const std::size_t shown = lines.size() - first;
    marked_ = lineNo >= 1 && static_cast<std::size_t>(lineNo) <= shown ? lineNo - 1 : -1;
    QString before, mark, after;
    for (std::size_t i = first; i < lines.size(); ++i) {
        QString line = QString::fromStdString(platform::Cp1252ToUtf8(lines[i]));
        line.replace(u'\r', QChar::LineSeparator).replace(u'\n', QChar::LineSeparator);
        const int n = static_cast<int>(i - first);
        QString& to = n < marked_ || marked_ < 0 ? before : n == marked_ ? mark : after;
        to += line;
        if (i + 1 < lines.size()) to += u'\n';
    }

    auto* document = new QTextDocument(rtfView_);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(rtfView_->font());
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.insertText(before, QTextCharFormat());
    QTextCharFormat red;
    red.setForeground(Qt::red);
    red.setFontWeight(QFont::Bold);
    if (!mark.isEmpty()) cursor.insertText(mark, red);
    cursor.insertText(after, QTextCharFormat());
    cursor.endEditBlock();
    // The box's first document belongs to the box's text control, which deletes it; a document
    // made here belongs to the box and goes when the next one replaces it.
    QTextDocument* old = rtfView_->document();
    const bool ours = old && old->parent() == rtfView_;
    rtfView_->setDocument(document);
    if (ours) delete old;

    picture1_->SetVisible(true);
    rtfView_->SetVisible(true);
    SetWindowState(2);
    show();
    raise();
    activateWindow();
    Layout();
    // The marked line at the top of the box, the cursor at its start.
    const QTextBlock block = document->findBlockByNumber(std::max(marked_, 0));
    rtfView_->setTextCursor(QTextCursor(block));
    rtfView_->horizontalScrollBar()->setValue(0);
    rtfView_->verticalScrollBar()->setValue(std::max(marked_, 0));
    return true;
}

frmView* ShowFileInViewer(Program& program, const std::string& path, std::int32_t lineNo) {
    auto* viewer = qobject_cast<frmView*>(program.forms.FindByTag("frmView"));
    const bool made = viewer == nullptr;
    if (made) viewer = new frmView(program);
    if (!viewer->LoadFile(path, lineNo)) {
        if (made) delete viewer;
        return nullptr;
    }
    return viewer;
}

}  // namespace quillet
