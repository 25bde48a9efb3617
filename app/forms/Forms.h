// The list of loaded windows, in the order they were loaded (the frame first). A window joins when
// it is made and leaves when it unloads or is destroyed; walks work on a copy, so a window that
// unloads during a walk does not disturb it.
#pragma once

#include <vector>

#include <QMetaObject>
#include <QString>

#include <tovcore/controls.h>

namespace quillet {

class Forms {
public:
    Forms() = default;
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    // A window joins the list (once). It leaves by itself as it is destroyed.
    void Add(tovcore::ui::Form* form);
    // A window leaves the list (it stays alive; the caller decides about it).
    void Remove(const QObject* form);
    // The loaded windows in load order.
    std::vector<tovcore::ui::Form*> List() const;
    bool Contains(const QObject* form) const;
    // The first loaded window whose Tag equals `tag` exactly, or null.
    tovcore::ui::Form* FindByTag(const QString& tag) const;
    // The first loaded window named `name` (its control name), or null.
    tovcore::ui::Form* FindByName(const QString& name) const;

    // Unloads a window as code does: its query-unload and unload handlers run and may keep it.
    // A window that went leaves the list and is deleted once control returns to the event loop.
    // Returns whether it went.
    bool Unload(tovcore::ui::Form* form);

private:
    struct Entry {
        // Held as QObject: a window's entry goes when it starts being destroyed, so no entry is
        // ever read as a window that is half gone.
        QObject* form;
        QMetaObject::Connection onDestroyed;
    };
    std::vector<Entry> forms_;
};

}  // namespace quillet
