#include "app/forms/Forms.h"

#include <algorithm>

namespace quillet {

using tovcore::ui::Form;

void Forms::Add(Form* form) {
    if (!form || Contains(form)) return;
    forms_.erase(std::remove_if(forms_.begin(), forms_.end(), [](const QPointer<Form>& f) { return !f; }),
                 forms_.end());
    forms_.emplace_back(form);
}

void Forms::Remove(const Form* form) {
    forms_.erase(std::remove_if(forms_.begin(), forms_.end(),
                                [form](const QPointer<Form>& f) { return !f || f.data() == form; }),
                 forms_.end());
}

std::vector<Form*> Forms::List() const {
    std::vector<Form*> out;
    for (const QPointer<Form>& f : forms_)
        if (f) out.push_back(f.data());
    return out;
}

bool Forms::Contains(const Form* form) const {
    return std::any_of(forms_.begin(), forms_.end(), [form](const QPointer<Form>& f) { return f && f.data() == form; });
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
    if (!form) return false;
    if (!form->Unload()) return false;
    Remove(form);
    form->deleteLater();
    return true;
}

}  // namespace quillet
