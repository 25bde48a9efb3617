#include "engine/tree.h"

#include <algorithm>

#include "engine/error.h"
#include "platform/text.h"

namespace engine {

namespace {

std::uint64_t KeyHash(std::string_view key) { return platform::FoldedHash(key); }

}  // namespace

std::size_t Tree::Slot(std::string_view key, std::uint64_t hash) const {
    const std::size_t mask = index_.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash);
    for (std::size_t i = static_cast<std::size_t>((hash ^ (hash >> 29)) * 0xBF58476D1CE4E5B9ull >> 20) & mask;;
         i = (i + 1) & mask) {
        const IndexSlot& s = index_[i];
        if (s.id == kNoNode) return i;
        if (s.tag == tag && platform::IEquals(nodes_[static_cast<std::size_t>(s.id)].key, key)) return i;
    }
}

void Tree::GrowIndex() {
    std::vector<IndexSlot> old = std::move(index_);
    index_.assign(old.empty() ? 64 : old.size() * 2, IndexSlot{});
    for (const IndexSlot& s : old)
        if (s.id != kNoNode) {
            const std::uint64_t hash = links_[static_cast<std::size_t>(s.id)].keyHash;
            index_[Slot(nodes_[static_cast<std::size_t>(s.id)].key, hash)] = s;
        }
}

NodeId Tree::Add(NodeId relative, std::string key, std::string text, std::string image) {
    const std::string shown = key;
    const NodeId id = AddIfNew(relative, std::move(key), std::move(text), std::move(image));
    if (id == kNoNode) throw EngineError("Key is not unique in collection: " + shown);
    return id;
}

NodeId Tree::AddIfNew(NodeId relative, std::string key, std::string text, std::string image) {
    if (relative != kNoNode) CheckId(relative);
    if ((nodes_.size() + 1) * 2 > index_.size()) GrowIndex();
    const std::uint64_t hash = KeyHash(key);
    const std::size_t slot = Slot(key, hash);
    if (index_[slot].id != kNoNode) return kNoNode;
    const auto id = static_cast<NodeId>(nodes_.size());
    TreeNode& node = nodes_.emplace_back();
    node.key = std::move(key);
    node.text = std::move(text);
    node.image = std::move(image);
    node.parent = relative;
    links_.emplace_back().keyHash = hash;
    index_[slot] = IndexSlot{id, static_cast<std::uint32_t>(hash)};
    if (relative == kNoNode) {
        roots_.push_back(id);
    } else {
        Links& parent = links_[static_cast<std::size_t>(relative)];
        parent.children.push_back(id);
        parent.inOrder = false;
    }
    ++revision_;
    return id;
}

NodeId Tree::Find(std::string_view key) const {
    if (index_.empty()) return kNoNode;
    return index_[Slot(key, KeyHash(key))].id;
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
    index_.clear();
    ++revision_;
}

}  // namespace engine
