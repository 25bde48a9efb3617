#include "library/window/accessible.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

#include <tovcore/controls.h>

namespace tovcore::detail {
namespace {

using ui::Form;
using ui::SSTab;

// A caption as it is read: its access-key marks gone ("&&" is a plain "&").
QString Readable(QString text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&')) out += QLatin1Char('&'), ++i;
            continue;
        }
        out += text.at(i);
    }
    return out;
}

class FormInterface : public QAccessibleWidget {
public:
    explicit FormInterface(Form* form) : QAccessibleWidget(form, QAccessible::Window) {}
    QAccessible::Role role() const override { return static_cast<const Form*>(widget())->AccessibleRole(); }
    QString text(QAccessible::Text t) const override {
        QString s = QAccessibleWidget::text(t);
        // A form laid inside another window is named by its caption too.
        if (t == QAccessible::Name && s.isEmpty()) s = widget()->windowTitle();
        return s;
    }
};

// One tab of the strip. It has no object of its own: it lives as long as the strip's interface.
class PageTabInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageTabInterface(SSTab* tabs, int index) : tabs_(tabs), index_(index) {}

    bool isValid() const override { return tabs_ && index_ < tabs_->Tabs(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        QWidget* top = tabs_ ? tabs_->window() : nullptr;
        return top ? top->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(tabs_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return QString();
        if (t == QAccessible::Name) return Readable(tabs_->TabCaption(index_));
        if (t == QAccessible::Description) return tabs_->TabToolTip(index_);
        return QString();
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) return QRect();
        const QRect r = tabs_->TabRect(index_);
        return QRect(tabs_->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) return s;
        const bool shown = tabs_->Tab() == index_;
        s.selectable = true;
        s.selected = shown;
        s.focusable = true;
        s.focused = shown && tabs_->hasFocus();
        s.disabled = !tabs_->isEnabled();
        s.invisible = !tabs_->isVisible();
        s.offscreen = s.invisible;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override {
        if (!isValid() || !tabs_->isEnabled()) return;
        if (name == pressAction()) {
            tabs_->SetTab(index_);
        } else if (name == setFocusAction()) {
            tabs_->SetTab(index_);
            tabs_->setFocus(Qt::OtherFocusReason);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int Index() const { return index_; }

private:
    QPointer<SSTab> tabs_;
    int index_;
};

// The strip: its page tabs first, in tab order, then the controls that lie on its pages.
class TabStripInterface : public QAccessibleWidget {
public:
    explicit TabStripInterface(SSTab* tabs) : QAccessibleWidget(tabs, QAccessible::PageTabList) {}
    ~TabStripInterface() override {
        for (QAccessible::Id id : std::as_const(pageTabs_)) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return Tabs()->Tabs() + QAccessibleWidget::childCount(); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0) return nullptr;
        if (index < Tabs()->Tabs()) return PageTab(index);
        return QAccessibleWidget::child(index - Tabs()->Tabs());
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child->role() == QAccessible::PageTab && !child->object()) {
            for (auto it = pageTabs_.cbegin(); it != pageTabs_.cend(); ++it)
                if (QAccessible::accessibleInterface(it.value()) == child)
                    return it.key() < Tabs()->Tabs() ? it.key() : -1;
            return -1;
        }
        const int i = QAccessibleWidget::indexOfChild(child);
        return i < 0 ? -1 : i + Tabs()->Tabs();
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint local = Tabs()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < Tabs()->Tabs(); ++i)
            if (Tabs()->TabRect(i).contains(local)) return PageTab(i);
        return QAccessibleWidget::childAt(x, y);
    }

    // On the focused strip, the focus is on the tab shown.
    QAccessibleInterface* focusChild() const override {
        if (Tabs()->hasFocus()) return PageTab(Tabs()->Tab());
        return QAccessibleWidget::focusChild();
    }

private:
    SSTab* Tabs() const { return static_cast<SSTab*>(widget()); }

    QAccessibleInterface* PageTab(int index) const {
        if (index < 0 || index >= Tabs()->Tabs()) return nullptr;
        if (const auto it = pageTabs_.constFind(index); it != pageTabs_.constEnd())
            return QAccessible::accessibleInterface(it.value());
        auto* made = new PageTabInterface(Tabs(), index);
        pageTabs_.insert(index, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    mutable QHash<int, QAccessible::Id> pageTabs_;
};

// A picture box is a pane that holds controls, or a picture; Qt would take it, as any frame, for
// a window's border.
class PictureBoxInterface : public QAccessibleWidget {
public:
    explicit PictureBoxInterface(ui::PictureBox* box) : QAccessibleWidget(box, QAccessible::Pane) {}
    QAccessible::Role role() const override {
        const auto* box = static_cast<const ui::PictureBox*>(widget());
        return box->HasPicture() && childCount() == 0 ? QAccessible::Graphic : QAccessible::Pane;
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("tovcore::ui::PictureBox"))
        if (auto* box = qobject_cast<ui::PictureBox*>(object)) return new PictureBoxInterface(box);
    if (className == QLatin1String("tovcore::ui::Form"))
        if (auto* form = qobject_cast<Form*>(object)) return new FormInterface(form);
    if (className == QLatin1String("tovcore::ui::SSTab"))
        if (auto* tabs = qobject_cast<SSTab*>(object)) return new TabStripInterface(tabs);
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

}  // namespace tovcore::detail
