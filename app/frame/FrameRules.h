// The frame's rules as plain functions of plain state: which menu items are enabled and shown,
// the recent-project list, and the line-number increment table.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillet {

// What the frame's menus follow.
struct MenuInputs {
    bool toolWindowLoaded = false;  // the tool window is loaded
    bool projectLoaded = false;     // a Visual Basic project is completely loaded in it
    bool busy = false;              // a long operation runs (every menu is off meanwhile)
    bool debugLogOn = false;        // each log has been started and its path is known
    bool errorLogOn = false;
    bool runLogOn = false;
};

struct MenuStates {
    bool menusEnabled = true;     // every item not named below (File, View, Settings, Help, About, ...)
    bool saveEnabled = false;     // Save Project and Save Project As
    bool colorsVisible = false;   // the Colors menu
    bool lineNumbersEnabled = false;  // Add Line Numbers / Renumber and Remove Line Numbers
    bool printAllEnabled = false;
    bool debugLogEnabled = false;
    bool errorLogEnabled = false;
    bool runLogEnabled = false;
};

MenuStates ComputeMenuStates(const MenuInputs& in);

// The items of the increment menu in menu order: the item's index and the increment it stands for.
struct IncrementItem {
    int index;
    int increment;
};
inline constexpr IncrementItem kIncrementItems[] = {{0, 10}, {1, 20}, {2, 30}, {3, 40}, {4, 50}, {9, 100}};
// The line-number increment of an item of the increment menu; nothing for an index that names no
// item.
std::optional<int> IncrementOfIndex(int index);
// The items of the resequence menu: indexes 0 to kResequenceItems - 1.
inline constexpr int kResequenceItems = 3;

// The longest recent-project list there may be.
inline constexpr int kRecentProjectLimit = 50;
// A stored maximum, clamped to 0..50.
int ClampRecentMax(int stored);

// The stored list as read: the non-empty values of Project1..ProjectN in order, at most `max`.
// (`stored` holds the values of Project1 to ProjectN as read, empty ones included.)
std::vector<std::string> RecentFromStored(const std::vector<std::string>& stored, int max);
// `current` put at the head, the other entries after it in their order without it (exact
// comparison: a path that differs in letter case is another entry), at most `max` entries. An
// empty `current` only trims the list.
std::vector<std::string> PutAtHead(const std::vector<std::string>& list, const std::string& current, int max);
// The text a menu shows for a path: "&" doubled, so it is not taken for an access key.
std::string MenuText(const std::string& path);

}  // namespace quillet
