// A check-box tree as a plain model: the project tree of the tool window, and the cross reference's
// tree. The Qt view shows it and writes check changes back into it; the engine never touches a
// widget.
//
// Nodes are numbered in creation order (NodeId 0 is the first node added); a number stays valid
// until Clear(). Keys are unique, compared without regard to case. A node whose `sorted` flag is
// set shows its children ordered by text without regard to case (equal texts keep the order in
// which they were added), as a Windows tree control does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <deque>
#include <vector>

namespace engine {

using NodeId = std::int32_t;
constexpr NodeId kNoNode = -1;

// Colours as Windows colour values (&H00BBGGRR); the two defaults are the system colours of text
// and window background.
constexpr std::uint32_t kColorRed = 0x0000FF;
constexpr std::uint32_t kColorBlue = 0xFF0000;
constexpr std::uint32_t kDefaultForeColor = 0x80000008;
constexpr std::uint32_t kDefaultBackColor = 0x80000005;

struct TreeNode {
    std::string key;
    std::string text;   // change it through Tree::SetText so the parent's order stays right
    std::string image;  // image key: "project", "module", "form", "class", "routine", ...
    std::string tag;    // free text (the cross reference keeps a folder here)
    bool checked = false;
    bool expanded = false;
    bool bold = false;
    std::uint32_t foreColor = kDefaultForeColor;
    std::uint32_t backColor = kDefaultBackColor;
    // What a click on the node opens in the viewer: a native path and a shown line number (0: none).
    std::string openPath;
    std::int32_t openLine = 0;

    NodeId parent = kNoNode;
    bool sorted = false;  // change it through Tree::SetSorted
};

class Tree {
public:
    // Adds a node as the last child of `relative` (kNoNode: a top-level node). Throws EngineError
    // when the key is not unique.
    NodeId Add(NodeId relative, std::string key, std::string text, std::string image = {});
    // The same, but a key that is there already adds nothing and answers kNoNode.
    NodeId AddIfNew(NodeId relative, std::string key, std::string text, std::string image = {});

    NodeId Find(std::string_view key) const;  // kNoNode when there is none
    bool Contains(std::string_view key) const { return Find(key) != kNoNode; }

    TreeNode& Node(NodeId id);
    const TreeNode& Node(NodeId id) const;

    void SetText(NodeId id, std::string text);
    void SetSorted(NodeId id, bool sorted);

    // Children in display order (by text when the node is sorted, else in order of adding).
    const std::vector<NodeId>& Children(NodeId id) const;
    // Top-level nodes, in order of adding.
    const std::vector<NodeId>& Roots() const { return roots_; }

    std::size_t Count() const { return nodes_.size(); }
    bool empty() const { return nodes_.empty(); }
    void Clear();

    // The view hides the tree while a long walk fills it.
    bool visible = true;
    // Grows with every change of structure, text or order, so a view knows when to refresh.
    std::uint64_t Revision() const { return revision_; }

private:
    struct Links {
        std::vector<NodeId> children;
        bool inOrder = true;  // children are in display order
    };
    void CheckId(NodeId id) const;
    // Adds the node unless its key is taken (kNoNode); the strings are moved from only when it is added.
    NodeId Insert(NodeId relative, std::string& key, std::string& text, std::string& image);
    // The slot of `key` (of tag `tag`) in the key index: the node that has it, or a free slot (kNoNode).
    std::size_t Slot(std::string_view key, std::uint32_t tag) const;
    void GrowIndex();

    // Nodes stay where they are as the tree grows (a reference to one stays valid).
    std::deque<TreeNode> nodes_;
    mutable std::deque<Links> links_;
    std::vector<NodeId> roots_;
    // The key index: open addressing over the nodes' own keys, compared without regard to case
    // (no folded copy is kept); each slot holds a node or kNoNode.
    struct IndexSlot {
        NodeId id = kNoNode;
        std::uint32_t tag = 0;  // the key's tag: most probes end here
    };
    std::vector<IndexSlot> index_;
    std::uint64_t revision_ = 0;
};

}  // namespace engine
