// Form: a window of the control layer, with its client area, menu bar, background and modal show.
#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLinearGradient>
#include <QMenuBar>
#include <QPainter>
#include <QWindow>

#include <tovcore/controls.h>

#include "library/window/accessible.h"

namespace tovcore::ui {

// The area below the menu bar that holds the controls and shows the form's background.
class FormClient : public QWidget {
public:
    explicit FormClient(Form* form) : QWidget(form), form_(form) { setObjectName("client"); }

protected:
    void paintEvent(QPaintEvent*) override { form_->PaintBackground(this); }

private:
    Form* form_;
};

Form::Form(const QString& name, QWidget* parent) : QWidget(parent), client_(new FormClient(this)) {
    detail::InstallAccessibleInterfaces();
    setObjectName(name);
    LayoutClient();
}

Form::~Form() {
    if (modalLoop_) modalLoop_->quit();
}

bool Form::Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
void Form::SetEnabled(bool enabled) { setEnabled(enabled); }

namespace {
QRect OuterRect(const QWidget* w) { return w->isWindow() ? w->frameGeometry() : w->geometry(); }
}  // namespace

int Form::Left() const { return left_.Read(OuterRect(this).x()); }
int Form::Top() const { return top_.Read(OuterRect(this).y()); }
int Form::Width() const { return width_.Read(OuterRect(this).width()); }
int Form::Height() const { return height_.Read(OuterRect(this).height()); }

void Form::SetLeft(int v) {
    const int px = left_.Write(v);
    move(px, OuterRect(this).y());
}

void Form::SetTop(int v) {
    const int px = top_.Write(v);
    move(OuterRect(this).x(), px);
}

void Form::SetWidth(int v) {
    const int frame = OuterRect(this).width() - width();
    resize(std::max(0, width_.Write(v) - frame), height());
    AwaitFrame();
    LayoutClient();
}

void Form::SetHeight(int v) {
    const int frame = OuterRect(this).height() - height();
    resize(width(), std::max(0, height_.Write(v) - frame));
    AwaitFrame();
    LayoutClient();
}

// A window that has no frame yet (not shown, or shown before the window manager has framed it)
// was given its outer size as its inner size: once the frame is there, the inner size shrinks by
// the frame, so the window takes exactly the outer size asked for. Someone who resized the window
// meanwhile (the user, a layout, a new state) has the last word.
void Form::AwaitFrame() {
    frameAwaited_ = isWindow() && OuterRect(this).size() == size();
    awaitedInner_ = size();
}

void Form::TakeFrameIntoAccount() {
    if (!frameAwaited_) return;
    if (!isWindow() || size() != awaitedInner_ || WindowState() != 0) {
        frameAwaited_ = false;
        return;
    }
    const QSize frame = frameGeometry().size() - size();
    if (frame.width() <= 0 && frame.height() <= 0) return;  // not framed yet
    frameAwaited_ = false;
    const int w = width_.set ? std::max(0, width_.pixels - frame.width()) : width();
    const int h = height_.set ? std::max(0, height_.pixels - frame.height()) : height();
    // A window of a fixed size keeps a fixed size: the one that leaves its outer size as asked.
    const bool fixed = minimumSize() == maximumSize();
    if (fixed) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    resize(w, h);
    if (fixed) setFixedSize(w, h);
    LayoutClient();
}

void Form::Move(int left, int top, int width, int height) {
    SetWidth(width);
    SetHeight(height);
    const int x = left_.Write(left), y = top_.Write(top);
    move(x, y);
}

int Form::ScaleWidth() const { return PixelsToTwips(width()); }
int Form::ScaleHeight() const {
    return PixelsToTwips(std::max(0, height() - (menuBar_ ? menuBar_->sizeHint().height() : 0)));
}

int Form::WindowState() const {
    if (isMinimized()) return 1;
    if (isMaximized()) return 2;
    return 0;
}

void Form::SetWindowState(int state) {
    setWindowState(state == 1 ? Qt::WindowMinimized : state == 2 ? Qt::WindowMaximized : Qt::WindowNoState);
}

void Form::SetBackColor(std::int32_t color) {
    backColor_ = color;
    client_->update();
}

std::vector<QObject*> Form::Controls() const {
    std::vector<QObject*> out;
    out.reserve(controls_.size());
    for (const QPointer<QObject>& c : controls_)
        if (c) out.push_back(c.data());
    return out;
}

void Form::AddControl(QObject* control) {
    if (!control) return;
    for (const QPointer<QObject>& c : controls_)
        if (c == control) return;
    // Drop the entries of controls that are gone, so the list does not grow without bound.
    controls_.erase(std::remove_if(controls_.begin(), controls_.end(), [](const QPointer<QObject>& c) { return !c; }),
                    controls_.end());
    controls_.emplace_back(control);
}

QMenuBar* Form::MenuBar() {
    if (!menuBar_) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setObjectName("menuBar");
        menuBar_->show();
        LayoutClient();
    }
    return menuBar_;
}

void Form::SetBackgroundGradient(std::int32_t top, std::int32_t bottom) {
    gradient_ = true;
    gradientTop_ = ToQColor(top);
    gradientBottom_ = ToQColor(bottom);
    client_->update();
}

void Form::ClearBackgroundGradient() {
    gradient_ = false;
    client_->update();
}

void Form::PaintBackground(QWidget* on) {
    QPainter p(on);
    if (gradient_) {
        QLinearGradient g(0, 0, 0, std::max(1, on->height() - 1));
        g.setColorAt(0, gradientTop_);
        g.setColorAt(1, gradientBottom_);
        p.fillRect(on->rect(), g);
    } else {
        p.fillRect(on->rect(), ToQColor(backColor_));
    }
}

void Form::LayoutClient() {
    int top = 0;
    if (menuBar_) {
        top = menuBar_->sizeHint().height();
        menuBar_->setGeometry(0, 0, width(), top);
    }
    client_->setGeometry(0, top, width(), std::max(0, height() - top));
}

void Form::ShowModal() {
    if (modalLoop_) return;
    // The window the keyboard was in gets it back when this one closes (a window manager does
    // that; without one nobody would, and the keys would go nowhere).
    const QPointer<QWidget> before = QApplication::activeWindow();
    if (isHidden()) setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    if (isHidden()) setWindowModality(Qt::NonModal);
    if (QApplication::activeModalWidget()) return;
    if (before && before != this && before->isVisible()) {
        before->activateWindow();
    } else if (QWindow* owner = windowHandle() ? windowHandle()->transientParent() : nullptr; owner && owner->isVisible()) {
        owner->requestActivate();  // the window it stood over
    }
}

bool Form::Unload() {
    unloadMode_ = 1;
    const bool closed = close();
    unloadMode_ = 0;
    return closed;
}

void Form::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowTitleChange && event->type() != QEvent::ParentChange) return;
    // Screen readers read a window's title, but not that of a form laid inside another window:
    // such a form takes its caption as its accessible name, and gives it back once it is a window.
    const char* kNamedByCaption = "NamedByCaption";
    if (!isWindow()) {
        setAccessibleName(windowTitle());
        setProperty(kNamedByCaption, true);
    } else if (property(kNamedByCaption).toBool()) {
        setAccessibleName(QString());
        setProperty(kNamedByCaption, QVariant());
    }
}

void Form::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    TakeFrameIntoAccount();
    emit FormShown();
}

void Form::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    TakeFrameIntoAccount();
}

void Form::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (modalLoop_ && !event->spontaneous()) modalLoop_->quit();
}

void Form::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    TakeFrameIntoAccount();
    LayoutClient();
    emit FormResized();
}

void Form::closeEvent(QCloseEvent* event) {
    int cancel = 0;
    emit FormQueryUnload(cancel, unloadMode_);
    if (cancel == 0) emit FormUnload(cancel);
    if (cancel != 0) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace tovcore::ui
