// The tool window's rules as plain functions of plain state, so tests reach them without a window:
// the check marks of the project tree, what a node click opens, and which controls are usable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/tree.h"

namespace quillet::toolwindow {

// ---- the project tree ------------------------------------------------------------------------

// Nodes drawn in this colour keep their check state: the procedures of "modTrace.bas".
inline constexpr std::uint32_t kKeepStateColor = engine::kColorBlue;
// The text colour of a node the mouse may check and select.
inline constexpr std::uint32_t kEnabledNodeColor = engine::kDefaultForeColor;

// What a node of the project tree is to the check boxes above it: a procedure whose tick counts, a
// blue procedure (never ticked, counts for nothing), or neither. The tree shows every other node
// ticked, unticked or partly ticked by the procedures below it; a node without any shows its own.
enum class TickItem { None, Item, NeverTicked };
TickItem TickItemOf(const engine::TreeNode& node);

// Copies `state` down the subtree below `node`: every descendant that is not blue gets it; blue
// nodes keep theirs, but their own children are still visited. A node without children gets the
// state itself (unless it is blue).
void CheckMarkNodes(engine::Tree& tree, engine::NodeId node, bool state);

// Whether the node belongs to the trace module: its text, or its parent's, is the file name
// "modTrace.bas" (any letter case, also listed with a folder).
bool IsTraceModuleNode(const engine::Tree& tree, engine::NodeId node);

// The user changed the node's check box (the node already holds the new state): the trace module
// and its procedures stay unchecked, any other node passes its state down its subtree.
void NodeCheck(engine::Tree& tree, engine::NodeId node);

// What a click on a node opens in the viewer: the file and the shown line that the load recorded
// on the node (a procedure node). Nothing for other nodes and for the trace module's, which a click
// unchecks instead (see NodeClick).
struct ViewerTarget {
    std::string path;
    std::int32_t line = 0;
};
std::optional<ViewerTarget> NodeClickTarget(const engine::Tree& tree, engine::NodeId node);
// The click rule: a trace-module or blue node is unchecked (its subtree too); any other node gives
// its viewer target.
std::optional<ViewerTarget> NodeClick(engine::Tree& tree, engine::NodeId node);

// ---- control states -------------------------------------------------------------------------

// What the control states depend on.
struct ControlInputs {
    bool busy = false;            // a long command runs (load, Add Code, numbering, cross reference)
    bool projectLoaded = false;   // the VB project is completely loaded and the tree shows it
    bool undoAvailable = false;   // a committed change can be undone
    bool printEnabled = false;    // the report boxes reached a printer (or a PDF file)
    bool tabHasContent = false;   // the tab shown holds a tree with nodes or a report with text
    bool preSelected = false, postSelected = false;      // the snippet lists hold names
    bool preComboText = false, postComboText = false;    // the combo boxes hold text (trimmed)
};

struct ControlStates {
    bool addCode = false, print = false, save = false, cancel = false, exit = false, undo = false;
    bool browse = false, projectPath = false, tabs = false, logs = false;
    bool preCombo = false, addPre = false, editPre = false, removePre = false, preList = false;
    bool postCombo = false, addPost = false, editPost = false, removePost = false, postList = false;
};

// While a command runs only Cancel is usable; otherwise each control follows what it acts on.
ControlStates ComputeControlStates(const ControlInputs& in);

// ---- line-number settings of a tool project -----------------------------------------------------

// A stored index as the menus can take it: a number naming an item, else 0.
int ValidIncrementIndex(const std::string& stored);
int ValidResequenceIndex(const std::string& stored);

}  // namespace quillet::toolwindow
