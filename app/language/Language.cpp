#include "app/language/Language.h"

#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QWidget>

#include <tovcore/clsTovcore.h>
#include <tovcore/controls.h>

#include "app/core/Program.h"
#include "app/core/Settings.h"
#include "platform/text.h"

namespace quillet {

namespace ui = tovcore::ui;

bool IsSafeLanguageName(const std::string& name) {
    const std::string_view trimmed = platform::Trim(name);
    if (trimmed.empty() || trimmed == "." || name.find("..") != std::string::npos) return false;
    for (unsigned char c : name)
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
    return true;
}

std::string LanguageFilePath(const std::string& languagesFolder, const std::string& languageName) {
    return languagesFolder + (IsSafeLanguageName(languageName) ? languageName : std::string("Default")) + ".ist";
}

namespace {

// One section of a language file, read once: language files are only read, never written, so a
// translator's file stays as it is and applying a language costs one read per window.
class Section {
public:
    Section(const std::string& file, const std::string& name) : reader_(file, name) {}
    std::string Value(const std::string& key) const { return reader_.Value(key).value_or(""); }

private:
    IniSectionReader reader_;
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string KeyOf(const QObject* control) {
    std::string key = control->objectName().toStdString();
    const auto index = ui::GetProperty(control, "Index");
    if (index && index->toInt() >= 0) key += "(" + std::to_string(index->toInt()) + ")";
    return key;
}

}  // namespace

void SetTabToolTip(ui::SSTab* tabs, int page, const QString& tip) {
    if (tabs) tabs->SetTabToolTip(page, tip);
}

QString TabToolTip(const ui::SSTab* tabs, int page) { return tabs ? tabs->TabToolTip(page) : QString(); }

void LoadLanguage(Program& program, QObject* window) {
    if (!program.state.LanguageFileExists) return;
    program.state.LanguageBusy = true;
    ApplyFormLanguage(program, window, program.state.LanguageFile);
    program.state.LanguageBusy = false;
}

namespace {

void ApplyToolTip(const Section& texts, QObject* control, const std::string& key, int page) {
    const std::string tip = texts.Value(key + ".ToolTipText");
    if (tip.empty()) return;
    if (auto* tabs = qobject_cast<ui::SSTab*>(control)) {
        SetTabToolTip(tabs, page, Q(tip));
    } else if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setToolTip(Q(tip));
    } else if (auto* action = qobject_cast<QAction*>(control)) {
        action->setToolTip(Q(tip));
    }
}

// The caption, then the tool tip.
void ApplyCaption(const Section& texts, QObject* control, const std::string& key, int page) {
    const std::string value = texts.Value(key);
    if (!value.empty()) {
        if (auto* tabs = qobject_cast<ui::SSTab*>(control))
            tabs->SetTabCaption(page, Q(value));
        else
            ui::SetProperty(control, "Caption", Q(value));
    }
    ApplyToolTip(texts, control, key, page);
}

}  // namespace

void ApplyFormLanguage(Program& program, QObject* window, const std::string& languageFile) {
    (void)program;
    if (!window) return;
    const std::string name = window->objectName().toStdString();
    const Section texts(languageFile, name);
    const std::string caption = texts.Value(name);
    if (!caption.empty()) ui::SetProperty(window, "Caption", Q(caption));
    for (QObject* control : ui::Controls(window)) {
        if (auto* tabs = qobject_cast<ui::SSTab*>(control)) {
            const int shown = tabs->Tab();
            const std::string tabsName = tabs->objectName().toStdString();
            for (int n = 0; n < tabs->Tabs(); ++n) ApplyCaption(texts, control, tabsName + "_" + std::to_string(n), n);
            tabs->SetTab(shown);
            continue;
        }
        ApplyCaption(texts, control, KeyOf(control), 0);
    }
    NameControlsForAccessibility(window);
}

void ApplyControlCaption(QObject* window, QObject* control, const std::string& key, int page,
                         const std::string& languageFile) {
    ApplyCaption(Section(languageFile, window->objectName().toStdString()), control, key, page);
}

void ApplyControlToolTip(QObject* window, QObject* control, const std::string& key, int page,
                         const std::string& languageFile) {
    ApplyToolTip(Section(languageFile, window->objectName().toStdString()), control, key, page);
}

std::string GetLanguageMessage(const Program& program, std::int16_t n) {
    if (!program.state.LanguageFileExists) return "";
    return Section(program.state.LanguageFile, "Messages").Value("Msg" + std::to_string(n));
}

void NameControlsForAccessibility(QObject* window) {
    // A label beside a control is its buddy: the control is read by the label's words.
    QHash<QWidget*, QString> buddyText;
    for (QObject* control : ui::Controls(window)) {
        auto* label = qobject_cast<QLabel*>(control);
        if (!label || !label->buddy()) continue;
        QString text = label->text();
        text.remove('&');
        if (!text.trimmed().isEmpty()) buddyText.insert(label->buddy(), text.trimmed());
    }
    for (QObject* control : ui::Controls(window)) {
        // A menu item's own name is its caption; the menu it opens is named after it.
        if (auto* item = qobject_cast<QAction*>(control)) {
            if (QMenu* menu = item->menu()) {
                QString text = item->text();
                text.remove('&');
                menu->setAccessibleName(text.trimmed().isEmpty() ? Q(KeyOf(control)) : text);
            }
            continue;
        }
        auto* widget = qobject_cast<QWidget*>(control);
        if (!widget) continue;
        // A control with a caption is named by it (Qt follows the caption as it changes); the
        // others are named after the control.
        const bool namedByText = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLabel*>(widget) ||
                                 qobject_cast<QGroupBox*>(widget);
        const auto caption = ui::GetProperty(control, "Caption");
        QString text = caption ? caption->toString() : QString();
        text.remove('&');
        if (namedByText && !text.trimmed().isEmpty())
            widget->setAccessibleName(QString());
        else if (const auto buddy = buddyText.constFind(widget); buddy != buddyText.constEnd())
            widget->setAccessibleName(*buddy);
        else
            widget->setAccessibleName(Q(KeyOf(control)));
    }
}

std::vector<std::pair<std::string, std::string>> DesignedTexts(QObject* window) {
    std::vector<std::pair<std::string, std::string>> out;
    if (!window) return out;
    const std::string name = window->objectName().toStdString();
    auto add = [&out](const std::string& key, const QString& text) {
        if (!text.isEmpty()) out.emplace_back(key, text.toStdString());
    };
    add(name, ui::GetProperty(window, "Caption").value_or(QVariant()).toString());
    for (QObject* control : ui::Controls(window)) {
        if (control->objectName() == QLatin1String("mnuProjectList")) continue;
        const std::string key = KeyOf(control);
        if (auto* tabs = qobject_cast<ui::SSTab*>(control)) {
            for (int n = 0; n < tabs->Tabs(); ++n) {
                const std::string page = tabs->objectName().toStdString() + "_" + std::to_string(n);
                add(page, tabs->TabCaption(n));
                add(page + ".ToolTipText", TabToolTip(tabs, n));
            }
            continue;
        }
        add(key, ui::GetProperty(control, "Caption").value_or(QVariant()).toString());
        if (auto* widget = qobject_cast<QWidget*>(control)) add(key + ".ToolTipText", widget->toolTip());
        if (auto* action = qobject_cast<QAction*>(control))
            if (action->toolTip() != action->text().remove('&').trimmed()) add(key + ".ToolTipText", action->toolTip());
    }
    return out;
}

}  // namespace quillet
