// Language files: the captions, page captions and tool tips of every window and its menu items,
// and numbered messages, from the INI file <Languages folder>/<language>.ist. Keys are
//   [<window name>] <window name>                  the window's caption
//   [<window name>] <control name>                 a control's (or menu item's) caption
//   [<window name>] <control name>(<index>)        one member of a control array
//   [<window name>] <tab control name>_<n>         page n (from 0) of a tab control
//   [<window name>] <any such key>.ToolTipText     the tool tip (of that page, for a page key)
//   [<window name>] <control name>.AccessibleName  what a screen reader reads for a control that
//                                                  shows nothing to read (see SetAccessibleWhat)
//   [Messages] Msg<n>                              message n
// An empty or missing value keeps the designed text. The language is read at start-up and applied
// to each window as it is made. Language files are only read, never written.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QChar;
class QObject;
class QString;

namespace tovcore::ui {
class SSTab;
}

namespace quillet {

struct Program;

// The language file of a language name: <folder><name>.ist. A name that is empty or could leave
// the folder (it holds "/" or "\", or is "." or ".." or holds ".."), or holds a control character,
// is refused: "Default" is used in its place.
std::string LanguageFilePath(const std::string& languagesFolder, const std::string& languageName);
bool IsSafeLanguageName(const std::string& languageName);

// Applies the program's language file to the window when the file existed at start-up
// (LanguageBusy is set meanwhile); otherwise does nothing.
void LoadLanguage(Program& program, QObject* window);
// Applies a language file to the window: its caption, then every control in the window's order.
void ApplyFormLanguage(Program& program, QObject* window, const std::string& languageFile);
void ApplyControlCaption(QObject* window, QObject* control, const std::string& key, int page,
                         const std::string& languageFile);
void ApplyControlToolTip(QObject* window, QObject* control, const std::string& key, int page,
                         const std::string& languageFile);

// Message n of [Messages], "" when missing. Reads nothing (and writes nothing) when the program
// has no language file.
std::string GetLanguageMessage(const Program& program, std::int16_t n);

// The designed texts of a window, as a language file would give them: the window's caption, each
// control's caption (an array member's key carries its index), each page caption of a tab control,
// and each designed tool tip (key & ".ToolTipText"). Texts that the program fills in at run time
// (the recent-project items) are left out.
std::vector<std::pair<std::string, std::string>> DesignedTexts(QObject* window);

// Tool tip of one page of a tab control, shown when the mouse rests on that page's tab.
void SetTabToolTip(tovcore::ui::SSTab* tabs, int page, const QString& tip);
QString TabToolTip(const tovcore::ui::SSTab* tabs, int page);

// What a screen reader reads for a control, steered by the window that makes it:
//   SetAccessibleWhat   what the control is, where nothing on it can be read ("Status" for the
//                       status panel, "Browse" for a button captioned "..."); a language file may
//                       give it as <key>.AccessibleName.
//   SetAccessibleActsOn the control whose words say what this one acts on: a button "Add" beside
//                       the label "Pre-Code" reads "Add Pre-Code", its caption staying "Add".
void SetAccessibleWhat(QObject* control, const QString& what);
QString AccessibleWhat(const QObject* control);
void SetAccessibleActsOn(QObject* control, QObject* target);

// Names every widget control of the window, and the menu of every menu item, by what a person
// reads on it or beside it. A control is read by, in this order: what the window says it is
// (SetAccessibleWhat); its caption (with the words of what it acts on), which Qt follows as the
// caption changes; the label whose buddy it is; the caption of the tab page it lies on; the
// caption of the frame around it; else a word for its kind ("Text box", "List"). Never by its
// control name. Run it once the captions are set; a language file runs it again.
void NameControlsForAccessibility(QObject* window);

// The access key of a caption: the letter after its "&" (upper case), or none. "&&" is a plain "&".
QChar AccessKeyOf(const QString& caption);
// The caption with its access key moved to its first letter that `taken` does not hold (compared
// in upper case), when its own key is taken; without a free letter it keeps no key. A caption whose
// key is free, or that has none, is returned as it is.
QString MoveAccessKey(const QString& caption, const QString& taken);

}  // namespace quillet
