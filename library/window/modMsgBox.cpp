#include "library/window/modMsgBox.h"

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QScreen>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextLayout>
#include <QThread>

#include "library/src/LibraryState.h"
#include "library/src/modInit.h"
#include "library/src/modLog.h"
#include "library/src/modScreen.h"
#include "library/window/modSkin.h"
#include "platform/text.h"

namespace tovcore::detail {
namespace {

int Nearest(double x) { return static_cast<int>(std::nearbyint(x)); }

// Design measures of element 0 of the button array.
constexpr int kDesignButtonWidth = 1215;
constexpr int kDesignButtonHeight = 495;
// The widest prompt line and the tallest prompt when no screen answers.
constexpr int kDefaultMaxPromptWidth = 9000;
constexpr int kDefaultMaxPromptHeight = 6000;
// The share of the screen's height that a box may take, its frame left aside.
constexpr double kScreenShare = 0.85;
// A list that scrolls shows at least this many lines at a time.
constexpr int kFewestListLines = 3;

QString ButtonCaption(std::int32_t answer) {
    switch (answer) {
        case kOk: return QStringLiteral("&Ok");
        case kCancel: return QStringLiteral("&Cancel");
        case kAbort: return QStringLiteral("&Abort");
        case kRetry: return QStringLiteral("&Retry");
        case kIgnore: return QStringLiteral("&Ignore");
        case kYes: return QStringLiteral("&Yes");
        case kNo: return QStringLiteral("&No");
        default: return QString();
    }
}

QFont BoxFont(bool bold) {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPointSizeF(9.75);
    f.setBold(bold);
    return f;
}

// The number at the start of a text, as the button tags hold it (0 when there is none).
std::int32_t LeadingNumber(const QString& text) {
    const std::string s = text.trimmed().toStdString();
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || !std::isfinite(v)) return 0;
    return Nearest(v);
}

// The prompt as the lines it shows: its own line breaks, and a wrap wherever a line would be
// wider than maxPixels (at a word boundary where there is one, else anywhere).
QStringList PromptLines(const QString& prompt, const QFont& font, int maxPixels) {
    QString text = prompt;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList out;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (paragraph.isEmpty()) {
            out << QString();
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(maxPixels);
            QString part = paragraph.mid(line.textStart(), line.textLength());
            if (line.textStart() + line.textLength() < paragraph.size()) {
                while (part.endsWith(QLatin1Char(' '))) part.chop(1);
            }
            out << part;
        }
        layout.endLayout();
    }
    return out;
}

bool OnGuiThread() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

int ScreenWidthTwips() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ui::PixelsToTwips(screen->geometry().width()) : 0;
}

int ScreenHeightTwips() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ui::PixelsToTwips(screen->geometry().height()) : 0;
}

// The height that windows may use (the screen less its panels).
int AvailableHeightTwips() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ui::PixelsToTwips(screen->availableGeometry().height()) : 0;
}

int WidestLine(const QStringList& lines, int from, int count, const QFontMetrics& metrics) {
    int widest = 0;
    for (int i = from; i < from + count && i < lines.size(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(lines[i]));
    return widest;
}

QString JoinLines(const QStringList& lines, int from, int count) { return lines.mid(from, count).join(QLatin1Char('\n')); }

}  // namespace

std::vector<std::int32_t> ButtonSet(std::int32_t style) {
    switch (style & 7) {
        case 1: return {kOk, kCancel};
        case 2: return {kAbort, kRetry, kIgnore};
        case 3: return {kYes, kNo, kCancel};
        case 4: return {kYes, kNo};
        case 5: return {kRetry, kCancel};
        default: return {kOk};
    }
}

std::int32_t CloseAnswer(std::int32_t style) {
    const std::vector<std::int32_t> set = ButtonSet(style);
    for (std::int32_t b : set)
        if (b == kCancel) return kCancel;
    if (set.size() == 1 && set[0] == kOk) return kOk;
    return 0;
}

MsgBoxLayout LayoutMsgBox(double labelWidth, double labelHeight, int buttonWidth, int buttonHeight, int buttonCount,
                          int frameHeight, int minContentWidth) {
    MsgBoxLayout l;
    const int n = std::max(1, buttonCount);
    const int w = buttonWidth, h = buttonHeight;
    l.provisionalWidth = Nearest(labelWidth * 1.1);
    l.provisionalHeight = Nearest(labelHeight + h * 2.5);
    l.rowWidth = n * w + (n + 1) * 200;
    l.contentWidth = labelWidth > l.rowWidth ? Nearest(labelWidth) : l.rowWidth;
    l.contentWidth = std::max(l.contentWidth, minContentWidth);
    const double gap = n > 1 ? static_cast<double>(l.contentWidth - n * w) / n : (l.contentWidth - w) / 2.0;
    l.gap = Nearest(gap);
    l.windowWidth = Nearest(l.contentWidth * 1.1);
    l.windowHeight = Nearest(h * 2.5 + labelHeight);
    l.labelWidth = l.contentWidth;
    l.labelHeight = Nearest(labelHeight);
    l.buttonTop = Nearest((l.windowHeight - frameHeight - h) * 0.98);
    int left = l.gap;
    for (int i = 0; i < n; ++i) {
        l.buttonLefts.push_back(left);
        left += w + l.gap;
    }
    return l;
}

int TitleContentWidth(const QString& title) {
    if (title.isEmpty()) return 0;
    // The window system draws the title in its own font, mostly the desktop's in bold; its icon,
    // its close button and the title's margins take about this much beside the title.
    constexpr int kTitleBarRoom = 96;
    QFont font = QApplication::font();
    font.setBold(true);
    const int pixels = QFontMetrics(font).horizontalAdvance(title) + kTitleBarRoom;
    return Nearest(ui::PixelsToTwips(pixels) / 1.1);
}

int MaxPromptWidth(int screenWidthTwips) {
    if (screenWidthTwips <= 0) return kDefaultMaxPromptWidth;
    return Nearest(screenWidthTwips * 0.8 / 1.1);
}

int MaxPromptHeight(int screenHeightTwips, int buttonHeight) {
    if (screenHeightTwips <= 0) return kDefaultMaxPromptHeight;
    return std::max(0, Nearest(screenHeightTwips * kScreenShare - buttonHeight * 2.5));
}

PromptParts SplitPrompt(const QStringList& lines, int fitting) {
    PromptParts parts;
    const int count = static_cast<int>(lines.size());
    if (count <= fitting) {
        parts.head = count;
        return parts;
    }
    // The longest paragraph; its first line introduces the list and stays in view.
    int bestStart = 0, bestLength = 0;
    for (int i = 0; i < count;) {
        if (lines[i].trimmed().isEmpty()) {
            ++i;
            continue;
        }
        int end = i;
        while (end < count && !lines[end].trimmed().isEmpty()) ++end;
        if (end - i > bestLength) {
            bestStart = i;
            bestLength = end - i;
        }
        i = end;
    }
    const int listStart = bestLength > 1 ? bestStart + 1 : bestStart;
    const int listEnd = bestStart + bestLength;
    const int fixed = listStart + (count - listEnd);
    if (listEnd > listStart && fitting - fixed >= kFewestListLines) {
        parts.head = listStart;
        parts.list = listEnd - listStart;
        parts.tail = count - listEnd;
        parts.listShown = std::min(parts.list, fitting - fixed);
        return parts;
    }
    // No room beside the rest: the whole prompt scrolls above the buttons.
    parts.list = count;
    parts.listShown = std::max(1, std::min(count, fitting));
    return parts;
}

// ---- frmMsgBox -------------------------------------------------------------------------------------
frmMsgBox::frmMsgBox() : ui::Form(QStringLiteral("frmMsgBox")) {
    setFont(BoxFont(false));
    // A title bar with only the close button: a message is answered, not minimised or maximised.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetTag(QStringLiteral("frmMsgBox"));
    label_ = new ui::Label(this, QStringLiteral("Label1"));
    label_->setFont(BoxFont(true));
    // A box shown before it had its frame learns the frame's height as it gets it (its inner size
    // then shrinks to leave the outer size as laid out): the buttons are placed again for it.
    connect(this, &Form::FormResized, this, [this] {
        if (busy_ && !arranging_) Arrange();
    });
    // Screen readers announce an alert (a warning or an error) as it appears.
    connect(this, &Form::FormShown, this, [this] {
        if (AccessibleRole() != QAccessible::AlertMessage || !QAccessible::isActive()) return;
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    });
    auto* first = new ui::MyButton(this, QStringLiteral("cmdButton"), 0);
    first->SetCaption(QStringLiteral("&Ok"));
    first->Move(0, 0, kDesignButtonWidth, kDesignButtonHeight);
    QObject::connect(first, &QPushButton::clicked, this, [this, first] { Answer(LeadingNumber(first->Tag())); });
    buttons_.push_back(first);
}

void frmMsgBox::AddButton(std::int32_t answer) {
    ui::MyButton* button = nullptr;
    if (buttonCount_ == 0) {
        button = buttons_[0];
    } else {
        button = new ui::MyButton(this, QStringLiteral("cmdButton"), buttonCount_);
        button->setFont(font());
        QObject::connect(button, &QPushButton::clicked, this, [this, button] { Answer(LeadingNumber(button->Tag())); });
        buttons_.push_back(button);
    }
    button->SetCaption(ButtonCaption(answer));
    button->SetTag(QString::number(answer));
    button->SetWidth(buttonWidth_);
    button->SetHeight(buttonHeight_);
    button->SetVisible(true);
    ++buttonCount_;
}

// The prompt's lines into the label, or, when they are too many for the screen, into the label
// (the lines before the list), the scrolling list and the lines after it; measured in twips.
void frmMsgBox::SetPrompt(const QStringList& lines) {
    const QFontMetrics metrics(label_->font());
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const int fitting = ui::TwipsToPixels(MaxPromptHeight(AvailableHeightTwips(), buttonHeight_)) / lineHeight;
    const PromptParts parts = SplitPrompt(lines, fitting);
    const bool empty = lines.size() == 1 && lines[0].isEmpty();
    auto width = [&](int from, int count) { return count == 0 || empty ? 0 : WidestLine(lines, from, count, metrics) + 2; };

    label_->SetCaption(JoinLines(lines, 0, parts.head));
    label_->SetWidth(ui::PixelsToTwips(width(0, parts.head)));
    label_->SetHeight(ui::PixelsToTwips(lineHeight * parts.head));
    // A box without a prompt holds no empty text for a screen reader to come across.
    label_->setVisible(!empty && parts.head > 0);
    headHeight_ = label_->Height();
    promptWidth_ = label_->Width();
    listHeight_ = tailHeight_ = 0;
    DropListParts();
    if (!parts.Scrolls()) return;
    MakeListParts(parts.tail > 0);

    // The scrolling area is read as the lines that introduce its list.
    listArea_->setAccessibleName(parts.head > 0 ? lines[parts.head - 1].trimmed() : QStringLiteral("Message"));
    listArea_->verticalScrollBar()->setAccessibleName(listArea_->accessibleName());
    list_->SetCaption(JoinLines(lines, parts.head, parts.list));
    list_->resize(width(parts.head, parts.list), lineHeight * parts.list);
    listArea_->verticalScrollBar()->setValue(0);
    const int frame = 2 * listArea_->frameWidth();
    const int areaWidth = list_->width() + listArea_->verticalScrollBar()->sizeHint().width() + frame;
    listHeight_ = ui::PixelsToTwips(lineHeight * parts.listShown + frame);
    if (tail_) tail_->SetCaption(JoinLines(lines, parts.head + parts.list, parts.tail));
    tailHeight_ = ui::PixelsToTwips(lineHeight * parts.tail);
    promptWidth_ = std::max({promptWidth_, ui::PixelsToTwips(areaWidth),
                             ui::PixelsToTwips(width(parts.head + parts.list, parts.tail))});
}

// The parts of a prompt too tall for the screen: its list scrolls, the lines after it stay. They
// exist only while such a prompt is shown, so a box that fits holds nothing empty or hidden.
void frmMsgBox::MakeListParts(bool withTail) {
    listArea_ = new QScrollArea(Client());
    listArea_->setObjectName(QStringLiteral("scrList"));
    listArea_->setWidgetResizable(false);
    listArea_->setFocusPolicy(Qt::StrongFocus);
    listArea_->viewport()->setAutoFillBackground(false);
    list_ = new ui::Label(this, QStringLiteral("lblList"));
    list_->setFont(BoxFont(true));
    list_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    listArea_->setWidget(list_);
    listArea_->show();
    if (withTail) {
        tail_ = new ui::Label(this, QStringLiteral("lblTail"));
        tail_->setFont(BoxFont(true));
        tail_->show();
    }
}

void frmMsgBox::DropListParts() {
    delete listArea_.data();  // and the list inside it
    delete tail_.data();
}

void frmMsgBox::Arrange() {
    const QScopedValueRollback<bool> arranging(arranging_, true);
    const MsgBoxLayout l = LayoutMsgBox(promptWidth_, headHeight_ + listHeight_ + tailHeight_, buttonWidth_,
                                        buttonHeight_, static_cast<int>(buttons_.size()), Height() - ScaleHeight(),
                                        titleWidth_);
    // The box has the size its message needs and no other: the window system offers neither
    // resizing nor maximising it.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    SetWidth(l.windowWidth);
    SetHeight(l.windowHeight);
    setFixedSize(size());
    if (listHeight_ == 0) {
        label_->Move(l.labelLeft, l.labelTop, l.labelWidth, l.labelHeight);
    } else {
        label_->Move(l.labelLeft, l.labelTop, l.labelWidth, headHeight_);
        listArea_->setGeometry(ui::TwipsToPixels(l.labelLeft), ui::TwipsToPixels(l.labelTop + headHeight_),
                               ui::TwipsToPixels(l.labelWidth), ui::TwipsToPixels(listHeight_));
        if (tail_) tail_->Move(l.labelLeft, l.labelTop + headHeight_ + listHeight_, l.labelWidth, tailHeight_);
    }
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->Move(l.buttonLefts[i], l.buttonTop, buttons_[i]->Width(), buttons_[i]->Height());
}

std::int32_t frmMsgBox::MsgBox(const std::string& Prompt, std::int32_t MsgBoxStyle, const std::string& Title,
                               std::int32_t Align) {
    busy_ = true;
    answer_ = 0;
    answered_ = false;
    closeAnswer_ = CloseAnswer(MsgBoxStyle);

    buttonWidth_ = buttons_[0]->Width();
    buttonHeight_ = buttons_[0]->Height();

    // The prompt, as plain text, wrapped where a line would be too wide; a prompt too tall for
    // the screen keeps its question in view and scrolls its list.
    prompt_ = Prompt;
    const int maxPixels = ui::TwipsToPixels(MaxPromptWidth(ScreenWidthTwips()));
    SetPrompt(PromptLines(QString::fromStdString(Prompt), label_->font(), maxPixels));

    const std::string caption =
        Title.empty() ? State().client.exeName + " " + GetVersion() : Title;
    SetCaption(QString::fromStdString(caption));
    // The box is wide enough for its title: a cut title ("Quillet Ver... Freeware") says little.
    titleWidth_ = std::min(TitleContentWidth(Caption()), MaxPromptWidth(ScreenWidthTwips()));
    // A list that scrolls reads down its left edge, whatever the alignment of the rest.
    label_->SetAlignment(Align);
    if (tail_) tail_->SetAlignment(Align);
    if (list_) list_->SetAlignment(0);
    // Screen readers meet a dialog that reads its whole text; a warning or an error is an alert.
    const std::int32_t icon = MsgBoxStyle & 0x70;
    SetAccessibleRole(icon == kIconCritical || icon == kIconExclamation ? QAccessible::AlertMessage
                                                                          : QAccessible::Dialog);
    setAccessibleDescription(QString::fromStdString(Prompt));
    QApplication::beep();

    const int promptHeight = headHeight_ + listHeight_ + tailHeight_;
    setMinimumSize(0, 0);  // the last message's fixed size goes
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    SetWidth(Nearest(promptWidth_ * 1.1));
    SetHeight(Nearest(promptHeight + buttonHeight_ * 2.5));
    label_->Move(100, 100, label_->Width(), label_->Height());

    // Only this call's buttons: none left by an earlier one takes room or shows a sliver.
    DropExtraButtons();
    buttonCount_ = 0;
    for (std::int32_t answer : ButtonSet(MsgBoxStyle)) AddButton(answer);
    CenterObject(this);
    Arrange();

    buttons_[0]->setFocus();
    const std::size_t preferred = static_cast<std::size_t>((MsgBoxStyle & 0x300) >> 8);
    if (preferred < buttons_.size()) buttons_[preferred]->setFocus();

    SetLeft(Nearest(ScreenWidthTwips() / 2.0 - Width() / 2.0));
    SetTop(Nearest(ScreenHeightTwips() / 2.0 - Height() / 2.0));

    // The remembered skin, applied as the box is shown (never from its painting).
    const SkinState& skin = State().skin;
    SkinIt(this, skin.ButtonTabColor, skin.ButtonTabTextColor, skin.ButtonTabColorGradient, skin.BackGroundColor,
           0xFFFFFF, kColorNotGiven, 1);

    ShowModal();

    // The buttons and the list made for this call go with the window.
    DropExtraButtons();
    DropListParts();
    busy_ = false;
    return answer_;
}

void frmMsgBox::DropExtraButtons() {
    while (buttons_.size() > 1) {
        delete buttons_.back();
        buttons_.pop_back();
    }
}

void frmMsgBox::Answer(std::int32_t value) {
    answer_ = value;
    answered_ = true;
    close();
}

void frmMsgBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (closeAnswer_ != 0) Answer(closeAnswer_);
        event->accept();
        return;
    }
    ui::Form::keyPressEvent(event);
}

void frmMsgBox::closeEvent(QCloseEvent* event) {
    if (!answered_) {
        if (closeAnswer_ == 0) {
            event->ignore();
            return;
        }
        answer_ = closeAnswer_;
        answered_ = true;
    }
    event->accept();
}

// ---- the thread's box --------------------------------------------------------------------------------
namespace {

struct BoxHolder {
    QPointer<frmMsgBox> box;
    ~BoxHolder() {
        if (box && QCoreApplication::instance()) delete box.data();
    }
};

QCoreApplication* g_cleanupRegisteredFor = nullptr;

// Runs as the application object goes, before its widgets are torn down.
void DropThreadBox() {
    g_cleanupRegisteredFor = nullptr;
    State().window.messageBox.reset();
}

frmMsgBox* ThreadBox() {
    std::shared_ptr<void>& slot = State().window.messageBox;
    auto* holder = static_cast<BoxHolder*>(slot.get());
    if (!holder || !holder->box) {
        auto made = std::make_shared<BoxHolder>();
        made->box = new frmMsgBox;
        holder = made.get();
        slot = std::move(made);
        if (g_cleanupRegisteredFor != QCoreApplication::instance()) {
            g_cleanupRegisteredFor = QCoreApplication::instance();
            qAddPostRoutine(DropThreadBox);
        }
    }
    return holder->box;
}

}  // namespace

std::int32_t MyMsgBox(const std::string& Prompt, std::int32_t MsgBoxStyle, const std::string& Title,
                      std::int32_t Align) {
    if (const MessageHandler& own = State().window.messageHandler) return own(Prompt, MsgBoxStyle, Title);
    if (!OnGuiThread()) {
        // No window can be shown here: the message goes to the error stream and nobody answers.
        std::cerr << (Title.empty() ? std::string() : Title + ": ") << Prompt << '\n';
        return 0;
    }
    frmMsgBox* box = ThreadBox();
    if (box->Busy()) {
        // A box asked for while another one is open (from a timer, say) gets a window of its own.
        frmMsgBox extra;
        return extra.MsgBox(Prompt, MsgBoxStyle, Title, Align);
    }
    return box->MsgBox(Prompt, MsgBoxStyle, Title, Align);
}

// The library's own messages: its message box where a GUI application runs on this thread, else
// one error-log entry (the line breaks as spaces, so the entry stays one line) and the standard
// error stream.
std::int32_t ShowLibraryMessage(const std::string& prompt, std::int32_t style, const std::string& title) {
    if (const MessageHandler& own = State().window.messageHandler) return own(prompt, style, title);
    if (OnGuiThread()) return MyMsgBox(prompt, style, title, 2);
    std::string oneLine;
    for (const std::string_view piece : platform::Split(prompt, "\r\n")) {
        const std::string_view line = platform::RTrim(piece);
        if (!oneLine.empty() && !line.empty()) oneLine += ' ';
        oneLine += line;
    }
    const std::string prefix = title.empty() ? std::string() : title + ": ";
    WriteErrorLog(prefix + oneLine);
    std::cerr << prefix << platform::ReplaceAll(prompt, "\r\n", "\n") << '\n';
    return kOk;
}

}  // namespace tovcore::detail
