#include "app/forms/Forms.h"

#include <algorithm>

namespace quillet {

using tovcore::ui::Form;

Forms::~Forms() {
    for (const Entry& e : forms_) QObject::disconnect(e.onDestroyed);
}

void Forms::Add(Form* form) {
    if (!form || Contains(form)) return;
    QObject* object = form;
    Entry e{object, {}};
    e.onDestroyed = QObject::connect(object, &QObject::destroyed, object, [this, object] { Remove(object); });
    forms_.push_back(e);
}

void Forms::Remove(const QObject* form) {
    auto gone = std::remove_if(forms_.begin(), forms_.end(), [form](const Entry& e) { return e.form == form; });
    for (auto it = gone; it != forms_.end(); ++it) QObject::disconnect(it->onDestroyed);
    forms_.erase(gone, forms_.end());
}

std::vector<Form*> Forms::List() const {
    std::vector<Form*> out;
    out.reserve(forms_.size());
    for (const Entry& e : forms_) out.push_back(static_cast<Form*>(e.form));
    return out;
}

bool Forms::Contains(const QObject* form) const {
    return form && std::any_of(forms_.begin(), forms_.end(), [form](const Entry& e) { return e.form == form; });
}

Form* Forms::FindByTag(const QString& tag) const {
    for (Form* f : List())
        if (f->Tag() == tag) return f;
    return nullptr;
}

Form* Forms::FindByName(const QString& name) const {
    for (Form* f : List())
        if (f->Name() == name) return f;
    return nullptr;
}

bool Forms::Unload(Form* form) {
    if (!form || !Contains(form)) return false;
    QPointer<QObject> alive(form);
    if (!form->Unload()) return false;
    Remove(form);
    if (alive) form->deleteLater();
    return true;
}

}  // namespace quillet
