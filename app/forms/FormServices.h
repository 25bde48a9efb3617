// Shared routines of every window: the status panel of the tool window, switching a window's
// controls (and the frame's menus) off and on around long operations, unloading the other windows,
// window places in the settings file (twips), finding a loaded window, the colour dialog, painting
// a window in the colour scheme, and the close question.
#pragma once

#include <cstdint>
#include <string>

class QObject;
class QWidget;

namespace tovcore::ui {
class Form;
}

namespace quillet {

struct Program;

// A window's place as stored in the settings file, in twips. Width 0: nothing stored.
struct clsFrmPos {
    std::string Name;
    std::int32_t Top = 0;
    std::int32_t Left = 0;
    std::int32_t Height = 0;
    std::int32_t Width = 0;
    std::string Tag;
    std::int32_t WindowState = 0;
    bool Visible = false;
};

// Shows a message in the tool window's status panel (rtfMsg) on the colour of the tab page shown,
// optionally also in the run log. Alignment 0 left, 2 centred. Does nothing without a tool window.
void DisplayMessage(Program& program, const std::string& message, bool log = false, std::int32_t align = 2);
// Empties and hides the status panel.
void ClearMessage(Program& program);

// Disables every control of `form` and the frame's controls and menus (the frame marks itself busy;
// its menus follow from that), then enables `form`'s status panel again.
void DisableFormControls(Program& program, QObject* form);
// Enables every control of `form` and gives the frame back its menus. A close of the program asked
// for while the frame was busy is carried out once control is back in the event loop.
void EnableFormControls(Program& program, QObject* form);

// Unloads every loaded window whose name differs from `form`'s name (walking a copy of the list).
void UnloadAllForms(Program& program, const tovcore::ui::Form* form);

// The window's section [<name>]: Top, Left, Height, Width, Visible, WindowState. The place written
// is the window's normal place (not the minimised or maximised one).
void SaveFormPosition(tovcore::ui::Form* form, const std::string& iniFile);
void WriteFormPosition(tovcore::ui::Form* form, const std::string& iniFile);
// Moves the window to its stored place when one is stored (a width that is not 0), its size fitted
// to the screen; Visible and WindowState are not applied.
void RestoreFormPosition(tovcore::ui::Form* form, const std::string& iniFile);
// A stored size (twips) made to fit the primary screen: no larger than its available area and no
// smaller than a usable window, so a hand-edited or foreign settings file cannot make a window that
// cannot be reached or drawn.
void FitSizeToScreen(std::int32_t& width, std::int32_t& height);
// Fills `pos` (Name set) from the file, or from the window when nothing is stored. A value that is
// not a number takes the window's own value.
void ReadFormPosition(clsFrmPos& pos, const std::string& iniFile, tovcore::ui::Form* form);

// Whether a loaded window's Tag equals `tag` exactly.
bool IsFormLoaded(const Program& program, const std::string& tag);

// The colour dialog titled "Select <word> Color", opened on `current`; the chosen colour (and the
// tool project marked changed), or `current` when the user cancelled.
std::int32_t SelectColor(Program& program, QWidget* owner, const std::string& word, std::int32_t current);

// Paints the window in the program's colour scheme. Call it when a window is shown and when a
// colour changes, never from a paint event.
void SkinForm(Program& program, QObject* form);

// The close question of the tool window: with the tool project changed, "Do you want to save this
// project?" with Yes, No and Cancel. Yes keeps the project marked changed (so the unload saves it),
// No clears the mark; both return true. Cancel, or a box dismissed without an answer, returns false
// (the window stays open). Without a change nothing is asked.
bool AskSaveOnClose(Program& program);

}  // namespace quillet
