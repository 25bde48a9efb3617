#include "app/language/Language.h"

#include <algorithm>
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

// The caption, then the tool tip, then what a screen reader reads for a control that shows
// nothing to read.
void ApplyCaption(const Section& texts, QObject* control, const std::string& key, int page) {
    const std::string value = texts.Value(key);
    if (!value.empty()) {
        if (auto* tabs = qobject_cast<ui::SSTab*>(control))
            tabs->SetTabCaption(page, Q(value));
        else
            ui::SetProperty(control, "Caption", Q(value));
    }
    ApplyToolTip(texts, control, key, page);
    if (qobject_cast<ui::SSTab*>(control)) return;  // a page key: the strip's own name has its own key
    const std::string spoken = texts.Value(key + ".AccessibleName");
    if (!spoken.empty()) SetAccessibleWhat(control, Q(spoken));
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
            const std::string spoken = texts.Value(tabsName + ".AccessibleName");
            if (!spoken.empty()) SetAccessibleWhat(control, Q(spoken));
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

namespace {

constexpr const char* kAccessibleWhat = "AccessibleWhat";
constexpr const char* kAccessibleActsOn = "AccessibleActsOn";

// A caption as it is read: its access-key marks gone ("&&" is a plain "&"), the blanks and line
// breaks at its ends gone, the line breaks inside it read as blanks.
QString Readable(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&')) out += QLatin1Char('&'), ++i;
            continue;
        }
        out += caption.at(i);
    }
    return out.simplified();
}

// Whether a text holds anything to read: a letter or a digit ("..." does not).
bool HasWords(const QString& text) {
    for (const QChar c : text)
        if (c.isLetterOrNumber()) return true;
    return false;
}

QString CaptionOf(const QObject* control) {
    if (qobject_cast<const ui::SSTab*>(control)) return QString();  // it names a tab, not the strip
    const auto caption = ui::GetProperty(control, "Caption");
    return caption ? Readable(caption->toString()) : QString();
}

// A word for what a control of this kind is, for one that has nothing else to be read by.
QString KindWord(const QObject* control) {
    static const struct {
        const char* type;
        const char* word;
    } kWords[] = {
        {"TextBox", "Text box"},      {"ComboBox", "Combo box"}, {"ListBox", "List"},         {"ListView", "List"},
        {"TreeView", "Tree"},         {"RichTextBox", "Text"},   {"PictureBox", "Picture"},   {"Frame", "Group"},
        {"CheckBox", "Check box"},    {"OptionButton", "Option"}, {"CommandButton", "Button"}, {"MyButton", "Button"},
        {"SSTab", "Tabs"},            {"Label", "Text"},
    };
    const QString type = ui::TypeName(control);
    for (const auto& w : kWords)
        if (type == QLatin1String(w.type)) return QString::fromLatin1(w.word);
    return QStringLiteral("Control");
}

}  // namespace

void SetAccessibleWhat(QObject* control, const QString& what) {
    if (control) control->setProperty(kAccessibleWhat, what);
}

QString AccessibleWhat(const QObject* control) {
    return control ? control->property(kAccessibleWhat).toString() : QString();
}

void SetAccessibleActsOn(QObject* control, QObject* target) {
    if (control) control->setProperty(kAccessibleActsOn, QVariant::fromValue(target));
}

void NameControlsForAccessibility(QObject* window) {
    const std::vector<QObject*> controls = ui::Controls(window);
    // A label beside a control is its buddy: the control is read by the label's words.
    QHash<QWidget*, QString> buddyText;
    for (QObject* control : controls) {
        auto* label = qobject_cast<QLabel*>(control);
        if (!label || !label->buddy()) continue;
        const QString text = Readable(label->text());
        if (HasWords(text)) buddyText.insert(label->buddy(), text);
    }
    for (QObject* control : controls) {
        // A menu item's own name is its caption; the menu it opens is named after it.
        if (auto* item = qobject_cast<QAction*>(control)) {
            if (QMenu* menu = item->menu()) {
                QString text = AccessibleWhat(control);
                if (text.isEmpty()) text = Readable(item->text());
                menu->setAccessibleName(HasWords(text) ? text : QStringLiteral("Menu"));
            }
            continue;
        }
        auto* widget = qobject_cast<QWidget*>(control);
        if (!widget) continue;
        const QString what = AccessibleWhat(control);
        if (HasWords(what)) {
            widget->setAccessibleName(what);
            continue;
        }
        const QString caption = CaptionOf(control);
        if (HasWords(caption)) {
            QObject* target = control->property(kAccessibleActsOn).value<QObject*>();
            if (target && std::find(controls.begin(), controls.end(), target) != controls.end()) {
                widget->setAccessibleName(caption + QLatin1Char(' ') + Readable(CaptionOf(target)));
            } else if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLabel*>(widget) ||
                       qobject_cast<QGroupBox*>(widget)) {
                widget->setAccessibleName(QString());  // Qt follows the caption as it changes
            } else {
                widget->setAccessibleName(caption);
            }
            continue;
        }
        if (qobject_cast<QLabel*>(widget)) {
            widget->setAccessibleName(QString());  // an empty label reads nothing, and its text once it has one
            continue;
        }
        if (const auto buddy = buddyText.constFind(widget); buddy != buddyText.constEnd()) {
            widget->setAccessibleName(*buddy);
            continue;
        }
        // The caption of the tab page it lies on, else of the frame around it.
        QString around;
        for (QWidget* up = widget; up && up != window && around.isEmpty(); up = up->parentWidget()) {
            QWidget* holder = up->parentWidget();
            if (auto* tabs = qobject_cast<ui::SSTab*>(holder); tabs && tabs->TabOf(up) >= 0) {
                around = Readable(tabs->TabCaption(tabs->TabOf(up)));
            } else if (auto* frame = qobject_cast<ui::Frame*>(holder)) {
                around = Readable(frame->Caption());
            }
            if (!HasWords(around)) around.clear();
        }
        widget->setAccessibleName(around.isEmpty() ? KindWord(control) : around);
    }
}

namespace {

// The position of a caption's access-key letter, or -1.
qsizetype AccessKeyPosition(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&')) continue;
        if (caption.at(i + 1) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}

}  // namespace

QChar AccessKeyOf(const QString& caption) {
    const qsizetype at = AccessKeyPosition(caption);
    return at < 0 ? QChar() : caption.at(at).toUpper();
}

QString MoveAccessKey(const QString& caption, const QString& taken) {
    const qsizetype at = AccessKeyPosition(caption);
    if (at < 0 || !taken.contains(caption.at(at).toUpper())) return caption;
    QString plain = caption;
    plain.remove(at - 1, 1);
    // The letters of the caption as shown ("&&" stays a plain "&" and is no candidate).
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (plain.at(i) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        if (!plain.at(i).isLetterOrNumber() || taken.contains(plain.at(i).toUpper())) continue;
        return plain.left(i) + QLatin1Char('&') + plain.mid(i);
    }
    return plain;
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
            add(key + ".AccessibleName", AccessibleWhat(control));
            continue;
        }
        add(key, ui::GetProperty(control, "Caption").value_or(QVariant()).toString());
        add(key + ".AccessibleName", AccessibleWhat(control));
        if (auto* widget = qobject_cast<QWidget*>(control)) add(key + ".ToolTipText", widget->toolTip());
        if (auto* action = qobject_cast<QAction*>(control))
            if (action->toolTip() != action->text().remove('&').trimmed()) add(key + ".ToolTipText", action->toolTip());
    }
    return out;
}

}  // namespace quillet
