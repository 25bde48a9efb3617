// Language files: the captions, page captions and tool tips of every window and its menu items,
// and numbered messages, from the INI file <Languages folder>/<language>.ist. Keys are
//   [<window name>] <window name>                  the window's caption
//   [<window name>] <control name>                 a control's (or menu item's) caption
//   [<window name>] <control name>(<index>)        one member of a control array
//   [<window name>] <tab control name>_<n>         page n (from 0) of a tab control
//   [<window name>] <any such key>.ToolTipText     the tool tip (of that page, for a page key)
//   [Messages] Msg<n>                              message n
// An empty or missing value keeps the designed text. The language is read at start-up and applied
// to each window as it is made. Language files are only read, never written.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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

// Gives every widget control of the window, and every menu item, an accessible name where it has
// none of its own: its caption, else the caption of the label whose buddy it is (the words beside
// it), else its control name (with the index of an array member).
void NameControlsForAccessibility(QObject* window);

}  // namespace quillet
