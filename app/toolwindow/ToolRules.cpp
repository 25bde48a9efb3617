#include "app/toolwindow/ToolRules.h"

#include <charconv>

#include "app/frame/FrameRules.h"
#include "engine/scanner.h"
#include "platform/text.h"

namespace quillet::toolwindow {

namespace {

bool Blue(const engine::Tree& tree, engine::NodeId node) { return tree.Node(node).foreColor == kKeepStateColor; }

// A node's text with the " (Data Only)" mark of a file without procedures left off.
std::string_view FileNamePart(std::string_view text) {
    constexpr std::string_view kDataOnly = " (Data Only)";
    if (platform::EndsWith(text, kDataOnly)) text.remove_suffix(kDataOnly.size());
    return text;
}

bool IsTraceFileText(std::string_view text) {
    return platform::IEquals(engine::ListedFileName(platform::Trim(FileNamePart(text))), engine::kTraceModuleName);
}

// A click neither opens nor checks this node: the trace module's file, or a blue node.
bool ClickUnchecks(const engine::TreeNode& n) { return IsTraceFileText(n.text) || n.foreColor == kKeepStateColor; }

// The node and its subtree unchecked (blue nodes below it keep their state).
void Uncheck(engine::Tree& tree, engine::NodeId node) {
    CheckMarkNodes(tree, node, false);
    tree.Node(node).checked = false;
}

}  // namespace

TickItem TickItemOf(const engine::TreeNode& node) {
    if (node.image != engine::kProcedureImage) return TickItem::None;
    return node.foreColor == kKeepStateColor ? TickItem::NeverTicked : TickItem::Item;
}

void CheckMarkNodes(engine::Tree& tree, engine::NodeId node, bool state) {
    if (node == engine::kNoNode) return;
    const auto& children = tree.Children(node);
    if (children.empty()) {
        if (!Blue(tree, node)) tree.Node(node).checked = state;
        return;
    }
    // An explicit stack: a deep tree must not exhaust the call stack.
    std::vector<engine::NodeId> pending(children.rbegin(), children.rend());
    while (!pending.empty()) {
        const engine::NodeId child = pending.back();
        pending.pop_back();
        if (!Blue(tree, child)) tree.Node(child).checked = state;
        const auto& below = tree.Children(child);
        pending.insert(pending.end(), below.rbegin(), below.rend());
    }
}

bool IsTraceModuleNode(const engine::Tree& tree, engine::NodeId node) {
    if (node == engine::kNoNode) return false;
    const engine::TreeNode& n = tree.Node(node);
    if (IsTraceFileText(n.text)) return true;
    return n.parent != engine::kNoNode && IsTraceFileText(tree.Node(n.parent).text);
}

void NodeCheck(engine::Tree& tree, engine::NodeId node) {
    if (node == engine::kNoNode) return;
    if (IsTraceModuleNode(tree, node)) {
        Uncheck(tree, node);
        return;
    }
    CheckMarkNodes(tree, node, tree.Node(node).checked);
}

std::optional<ViewerTarget> NodeClickTarget(const engine::Tree& tree, engine::NodeId node) {
    if (node == engine::kNoNode) return std::nullopt;
    const engine::TreeNode& n = tree.Node(node);
    if (ClickUnchecks(n) || n.openLine <= 0 || n.openPath.empty()) return std::nullopt;
    return ViewerTarget{n.openPath, n.openLine};
}

std::optional<ViewerTarget> NodeClick(engine::Tree& tree, engine::NodeId node) {
    if (node == engine::kNoNode) return std::nullopt;
    if (ClickUnchecks(tree.Node(node))) {
        Uncheck(tree, node);
        return std::nullopt;
    }
    return NodeClickTarget(tree, node);
}

ControlStates ComputeControlStates(const ControlInputs& in) {
    ControlStates s;
    if (in.busy) {
        s.cancel = true;
        return s;
    }
    s.exit = true;
    s.browse = s.projectPath = s.logs = true;
    s.tabs = in.projectLoaded;
    s.addCode = in.projectLoaded && (in.preSelected || in.postSelected);
    s.save = in.projectLoaded && in.tabHasContent;
    s.print = s.save && in.printEnabled;
    s.undo = in.undoAvailable;
    s.preCombo = s.postCombo = s.preList = s.postList = true;
    s.addPre = in.preComboText;
    s.addPost = in.postComboText;
    s.editPre = s.removePre = in.preSelected;
    s.editPost = s.removePost = in.postSelected;
    return s;
}

namespace {

// The whole stored text as a whole number (blanks around it allowed); nothing for anything else.
std::optional<int> StoredNumber(const std::string& stored) {
    const std::string_view t = platform::Trim(stored);
    int value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size() || t.empty()) return std::nullopt;
    return value;
}

}  // namespace

int ValidIncrementIndex(const std::string& stored) {
    const auto n = StoredNumber(stored);
    return n && IncrementOfIndex(*n) ? *n : 0;
}

int ValidResequenceIndex(const std::string& stored) {
    const auto n = StoredNumber(stored);
    return n && *n >= 0 && *n < kResequenceItems ? *n : 0;
}

}  // namespace quillet::toolwindow
