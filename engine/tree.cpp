#include "engine/tree.h"

#include <algorithm>

#include "engine/error.h"
#include "platform/text.h"

namespace engine {

NodeId Tree::Add(NodeId relative, std::string key, std::string text, std::string image) {
    if (relative != kNoNode) CheckId(relative);
    std::string folded = platform::Fold(key);
    if (byKey_.count(folded)) throw EngineError("Key is not unique in collection: " + key);
    const auto id = static_cast<NodeId>(nodes_.size());
    TreeNode node;
    node.key = std::move(key);
    node.text = std::move(text);
    node.image = std::move(image);
    node.parent = relative;
    nodes_.push_back(std::move(node));
    links_.emplace_back();
    byKey_.emplace(std::move(folded), id);
    if (relative == kNoNode) {
        roots_.push_back(id);
    } else {
        Links& parent = links_[relative];
        parent.children.push_back(id);
        parent.inOrder = false;
    }
    ++revision_;
    return id;
}

NodeId Tree::Find(std::string_view key) const {
    const auto it = byKey_.find(platform::Fold(key));
    return it == byKey_.end() ? kNoNode : it->second;
}

void Tree::CheckId(NodeId id) const {
    if (id < 0 || static_cast<std::size_t>(id) >= nodes_.size())
        throw EngineError("No such node in the tree: " + std::to_string(id));
}

TreeNode& Tree::Node(NodeId id) {
    CheckId(id);
    return nodes_[id];
}

const TreeNode& Tree::Node(NodeId id) const {
    CheckId(id);
    return nodes_[id];
}

void Tree::SetText(NodeId id, std::string text) {
    CheckId(id);
    nodes_[id].text = std::move(text);
    if (nodes_[id].parent != kNoNode) links_[nodes_[id].parent].inOrder = false;
    ++revision_;
}

void Tree::SetSorted(NodeId id, bool sorted) {
    CheckId(id);
    nodes_[id].sorted = sorted;
    links_[id].inOrder = false;
    ++revision_;
}

const std::vector<NodeId>& Tree::Children(NodeId id) const {
    CheckId(id);
    Links& l = links_[id];
    if (!l.inOrder) {
        if (nodes_[id].sorted) {
            // Display order by text; equal texts keep their order of adding, which the ids hold.
            std::sort(l.children.begin(), l.children.end(), [this](NodeId a, NodeId b) {
                const int c = platform::ICompare(nodes_[a].text, nodes_[b].text);
                return c != 0 ? c < 0 : a < b;
            });
        } else {
            std::sort(l.children.begin(), l.children.end());
        }
        l.inOrder = true;
    }
    return l.children;
}

void Tree::Clear() {
    nodes_.clear();
    links_.clear();
    roots_.clear();
    byKey_.clear();
    ++revision_;
}

}  // namespace engine
