// SSTab: the tab control, and MyButton: the gradient command button.
#include <algorithm>

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QToolTip>

#include <tovcore/controls.h>

#include "library/window/accessible.h"
#include "library/window/modTabPainter.h"

namespace tovcore::ui {

// ---- SSTab ---------------------------------------------------------------------------------------
SSTab::SSTab(QWidget* container, const QString& name, int index)
    : QWidget(ClientOf(container)), ControlBase(this, name, index, vbButtonFace, vbButtonText) {
    detail::InstallAccessibleInterfaces();
    fillBackground_ = false;
    // Reached with Tab, as a tab bar is; a click on a tab leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    // The next and previous tab from anywhere inside the control, round the end.
    const struct {
        QKeySequence keys;
        int step;
    } steps[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& s : steps) {
        auto* shortcut = new QShortcut(s.keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        const int step = s.step;
        connect(shortcut, &QShortcut::activated, this, [this, step] { Step(step); });
    }
    SetTabs(3);
}

void SSTab::SetTabs(int count) {
    count = std::max(1, count);
    const int old = Tabs();
    captions_.resize(static_cast<std::size_t>(count));
    toolTips_.resize(static_cast<std::size_t>(count));
    for (int i = old; i < count; ++i) captions_[static_cast<std::size_t>(i)] = QStringLiteral("Tab %1").arg(i);
    if (current_ >= count) SetTab(count - 1);
    update();
}

void SSTab::SetTab(int tab) {
    if (tab < 0 || tab >= Tabs() || tab == current_) return;
    const int previous = current_;
    // The focus on a control of the tab going away follows to the tab coming.
    QWidget* focus = QApplication::focusWidget();
    bool focusLeaves = false;
    for (const auto& [w, t] : members_)
        if (w && t == previous && focus && (w == focus || w->isAncestorOf(focus))) focusLeaves = true;
    // The page that comes is shown (and given the focus) before the one that goes is hidden, so
    // the focus never wanders elsewhere in between.
    current_ = tab;
    Shift(current_, kHiddenOffset);
    if (focusLeaves) FocusTab();
    Shift(previous, -kHiddenOffset);
    update();
    AnnounceTab(current_, hasFocus());
    emit Click(previous);
}

// The first control of the tab shown that takes the focus from the keyboard, else the strip.
void SSTab::FocusTab() {
    for (const auto& [w, t] : members_) {
        if (!w || t != current_ || !w->isEnabled() || w->isHidden()) continue;
        if (w->focusPolicy() & Qt::TabFocus) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    setFocus(Qt::TabFocusReason);
}

void SSTab::Step(int by) {
    if (!isEnabled() || Tabs() < 2) return;
    SetTab(((current_ + by) % Tabs() + Tabs()) % Tabs());
}

// Screen readers hear which page tab is now the one shown (and, on the focused strip, focused).
// The page tabs are the strip's first accessible children, in tab order.
void SSTab::AnnounceTab(int tab, bool focus) {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent selection(this, QAccessible::Selection);
    selection.setChild(tab);
    QAccessible::updateAccessibility(&selection);
    if (focus) {
        QAccessibleEvent focused(this, QAccessible::Focus);
        focused.setChild(tab);
        QAccessible::updateAccessibility(&focused);
    }
}

void SSTab::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            SetTab(current_ - 1);
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            SetTab(current_ + 1);
            break;
        case Qt::Key_Home:
            SetTab(0);
            break;
        case Qt::Key_End:
            SetTab(Tabs() - 1);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void SSTab::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    AnnounceTab(current_, true);
}

void SSTab::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

bool SSTab::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Over a tab, that tab's own tool tip; elsewhere the control's.
        auto* help = static_cast<QHelpEvent*>(event);
        for (int i = 0; i < Tabs(); ++i) {
            if (!TabRect(i).contains(help->pos())) continue;
            const QString tip = TabToolTip(i);
            if (tip.isEmpty()) break;
            QToolTip::showText(help->globalPos(), tip, this, TabRect(i));
            return true;
        }
    }
    return QWidget::event(event);
}

void SSTab::SetTabsPerRow(int n) {
    tabsPerRow_ = std::max(1, n);
    update();
}

void SSTab::SetTabHeight(int twips) {
    tabHeight_ = std::max(0, twips);
    update();
}

QString SSTab::TabCaption(int tab) const {
    if (tab < 0 || tab >= Tabs()) return QString();
    return captions_[static_cast<std::size_t>(tab)];
}

void SSTab::SetTabCaption(int tab, const QString& caption) {
    if (tab < 0 || tab >= Tabs()) return;
    captions_[static_cast<std::size_t>(tab)] = caption;
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent renamed(this, QAccessible::NameChanged);
        renamed.setChild(tab);
        QAccessible::updateAccessibility(&renamed);
    }
}

QString SSTab::TabToolTip(int tab) const {
    if (tab < 0 || tab >= Tabs()) return QString();
    return toolTips_[static_cast<std::size_t>(tab)];
}

void SSTab::SetTabToolTip(int tab, const QString& tip) {
    if (tab < 0 || tab >= Tabs()) return;
    toolTips_[static_cast<std::size_t>(tab)] = tip;
}

void SSTab::Adopt(QWidget* control) {
    members_.emplace_back(control, current_);
}

int SSTab::TabOf(const QWidget* control) const {
    for (const auto& [w, tab] : members_)
        if (w == control) return tab;
    return -1;
}

namespace {

// Moves a control of a tab that is hidden far to the left, or one of the tab now shown back. A
// control already on the side it should be is left alone, so a routine that placed it itself
// is not moved twice.
void MoveBy(QWidget* w, int by) {
    auto* control = dynamic_cast<ControlBase*>(w);
    const int left = control ? control->Left() : PixelsToTwips(w->x());
    const bool farLeft = left < -SSTab::kHiddenOffset / 2;
    if ((by < 0 && farLeft) || (by > 0 && !farLeft)) return;
    if (control)
        control->SetLeft(left + by);
    else
        w->move(TwipsToPixels(left + by), w->y());
}

// A control of a tab that is not shown is hidden as well as moved away, so that it takes no focus
// and screen readers do not meet it; it keeps the visibility it had (or is given meanwhile) for
// when its tab is shown again.
void HoldHidden(QWidget* w) {
    if (w->property(SSTab::kPageHeldProperty).isValid()) return;
    w->setProperty(SSTab::kPageHeldProperty, !w->isHidden());
    w->hide();
}

void Release(QWidget* w) {
    const QVariant wanted = w->property(SSTab::kPageHeldProperty);
    if (!wanted.isValid()) return;
    w->setProperty(SSTab::kPageHeldProperty, QVariant());
    if (wanted.toBool()) w->show();
}

}  // namespace

bool SSTab::HeldHidden(const QWidget* control) { return control && control->property(kPageHeldProperty).isValid(); }

bool SSTab::HeldVisible(const QWidget* control) { return control->property(kPageHeldProperty).toBool(); }

void SSTab::SetHeldVisible(QWidget* control, bool visible) { control->setProperty(kPageHeldProperty, visible); }

void SSTab::Shift(int tab, int by) {
    members_.erase(std::remove_if(members_.begin(), members_.end(), [](const auto& m) { return !m.first; }),
                   members_.end());
    for (const auto& [w, t] : members_) {
        if (t != tab) continue;
        MoveBy(w, by);
        if (by < 0)
            HoldHidden(w);
        else
            Release(w);
    }
}

void SSTab::PlaceOnTab(QWidget* control, int tab) {
    if (!control || tab < 0 || tab >= Tabs()) return;
    auto it = std::find_if(members_.begin(), members_.end(), [control](const auto& m) { return m.first == control; });
    if (it == members_.end()) {
        members_.emplace_back(control, current_);
        it = members_.end() - 1;
    }
    const bool wasShown = it->second == current_;
    it->second = tab;
    const bool shown = tab == current_;
    if (wasShown && !shown) {
        MoveBy(control, -kHiddenOffset);
        HoldHidden(control);
    }
    if (!wasShown && shown) {
        MoveBy(control, kHiddenOffset);
        Release(control);
    }
}

int SSTab::StripHeight() const {
    const int perRow = std::max(1, std::min(tabsPerRow_, Tabs()));
    const int rows = (Tabs() + perRow - 1) / perRow;
    return rows * TwipsToPixels(tabHeight_);
}

QRect SSTab::TabRect(int tab) const {
    if (tab < 0 || tab >= Tabs()) return QRect();
    const int perRow = std::max(1, std::min(tabsPerRow_, Tabs()));
    const int row = tab / perRow, col = tab % perRow;
    const int tabWidth = width() / perRow;
    const int tabHeight = TwipsToPixels(tabHeight_);
    const int w = col == perRow - 1 ? width() - col * tabWidth : tabWidth;
    return QRect(col * tabWidth, row * tabHeight, w, tabHeight);
}

void SSTab::DrawControl(QPainter& p) {
    const QPalette pal = palette();
    const QColor face = ToQColor(BackColor());
    const QColor light = pal.color(QPalette::Light);
    const QColor dark = pal.color(QPalette::Dark);
    const QColor shadow = pal.color(QPalette::Shadow);
    const QColor text = isEnabled() ? ToQColor(ForeColor()) : pal.color(QPalette::Disabled, QPalette::Text);
    p.fillRect(rect(), face);

    // The page: a raised edge below the strip.
    const int strip = StripHeight();
    const QRect page(0, strip, width(), height() - strip);
    p.setPen(light);
    p.drawLine(page.left(), page.top(), page.right(), page.top());
    p.drawLine(page.left(), page.top(), page.left(), page.bottom());
    p.setPen(shadow);
    p.drawLine(page.right(), page.top(), page.right(), page.bottom());
    p.drawLine(page.left(), page.bottom(), page.right(), page.bottom());
    p.setPen(dark);
    p.drawLine(page.right() - 1, page.top() + 1, page.right() - 1, page.bottom() - 1);
    p.drawLine(page.left() + 1, page.bottom() - 1, page.right() - 1, page.bottom() - 1);

    QFont bold = font();
    // A painter told to draw text unsmoothed (the gradient painter's mask) gets plain glyphs.
    if (!p.testRenderHint(QPainter::TextAntialiasing)) bold.setStyleStrategy(QFont::NoAntialias);
    for (int i = 0; i < Tabs(); ++i) {
        const bool current = i == current_;
        QRect r = TabRect(i).adjusted(current ? 0 : 2, current ? 0 : 2, current ? 0 : -2, 0);
        if (current) r.setBottom(r.bottom() + 1);
        // The tab's outline: light left and top, shadow right; the tab shown joins the page.
        p.fillRect(r.adjusted(1, 1, -1, 0), face);
        p.setPen(light);
        p.drawLine(r.left(), r.top() + 2, r.left(), r.bottom());
        p.drawLine(r.left() + 2, r.top(), r.right() - 2, r.top());
        p.drawPoint(r.left() + 1, r.top() + 1);
        p.setPen(shadow);
        p.drawLine(r.right(), r.top() + 2, r.right(), r.bottom());
        p.drawPoint(r.right() - 1, r.top() + 1);
        p.setPen(dark);
        p.drawLine(r.right() - 1, r.top() + 2, r.right() - 1, r.bottom());
        bold.setBold(current);
        p.setFont(bold);
        p.setPen(text);
        // A caption wider than its tab keeps its beginning and ends in "...".
        const QRect textRect = r.adjusted(3, 1, -3, 0);
        const QString caption = QFontMetrics(bold).elidedText(captions_[static_cast<std::size_t>(i)], Qt::ElideRight,
                                                               textRect.width(), Qt::TextShowMnemonic);
        p.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, caption);
        if (current && hasFocus()) {
            // The focused strip marks the tab shown.
            p.save();
            p.setPen(QPen(text, 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(4, 3, -5, -3));
            p.restore();
        }
    }
}

void SSTab::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!detail::PaintHookedControl(this, p, [this](QPainter& own) { DrawControl(own); })) DrawControl(p);
}

void SSTab::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < Tabs(); ++i) {
        if (TabRect(i).contains(event->position().toPoint())) {
            SetTab(i);
            event->accept();
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

// ---- MyButton ------------------------------------------------------------------------------------
MyButton::MyButton(QWidget* container, const QString& name, int index) : CommandButton(container, name, index) {
    setAttribute(Qt::WA_Hover);
}

std::int32_t MyButton::FaceColor() const {
    if (!isEnabled()) return backDisabled_;
    if (isDown()) return backDown_;
    if (hovered_) return backOver_;
    if (hasFocus()) return backFocus_;
    return BackColor();
}

bool MyButton::event(QEvent* event) {
    if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave) {
        hovered_ = event->type() == QEvent::HoverEnter;
        update();
    }
    return CommandButton::event(event);
}

void MyButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor face = ToQColor(FaceColor());
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (gradientType_ != 0) {
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, face.lighter(140));
        g.setColorAt(0.5, face);
        g.setColorAt(1, face.darker(115));
        p.setBrush(g);
    } else {
        p.setBrush(face);
    }
    p.setPen(face.darker(170));
    p.drawRoundedRect(r, 3, 3);

    const bool focus = hasFocus();
    QColor text = ToQColor(focus ? foreFocus_ : ForeColor());
    if (!isEnabled()) text = palette().color(QPalette::Disabled, QPalette::ButtonText);
    p.setPen(text);
    p.setFont(font());
    const QRect textRect = rect().adjusted(4, 2, -4, -2).translated(isDown() ? 1 : 0, isDown() ? 1 : 0);
    p.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, this->text());
    if (focus) {
        p.setRenderHint(QPainter::Antialiasing, false);
        QPen dots(text, 1, Qt::DotLine);
        p.setPen(dots);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

}  // namespace tovcore::ui
