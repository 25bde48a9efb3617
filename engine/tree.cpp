#include "engine/tree.h"

#include <algorithm>

#include "engine/error.h"
#include "platform/text.h"

namespace engine {

namespace {

// A key's tag: its folded hash in 32 bits. Where a key sits in the index follows from its tag
// alone, so a grown index places every node again without reading its key.
std::uint32_t KeyTag(std::string_view key) {
    const std::uint64_t h = platform::FoldedHash(key);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::size_t HomeSlot(std::uint32_t tag, std::size_t mask) {
    return static_cast<std::size_t>(tag * 0x9E3779B97F4A7C15ull >> 32) & mask;
}

}  // namespace

std::size_t Tree::Slot(std::string_view key, std::uint32_t tag) const {
    const std::size_t mask = index_.size() - 1;
    for (std::size_t i = HomeSlot(tag, mask);; i = (i + 1) & mask) {
        const IndexSlot& s = index_[i];
        if (s.id == kNoNode) return i;
        if (s.tag == tag && platform::IEquals(nodes_[static_cast<std::size_t>(s.id)].key, key)) return i;
    }
}

void Tree::GrowIndex() {
    std::vector<IndexSlot> old = std::move(index_);
    index_.assign(old.empty() ? 64 : old.size() * 2, IndexSlot{});
    const std::size_t mask = index_.size() - 1;
    // The keys are unique: each node goes to the first free slot from its home.
    for (const IndexSlot& s : old) {
        if (s.id == kNoNode) continue;
        std::size_t i = HomeSlot(s.tag, mask);
        while (index_[i].id != kNoNode) i = (i + 1) & mask;
        index_[i] = s;
    }
}

NodeId Tree::Add(NodeId relative, std::string key, std::string text, std::string image) {
    const NodeId id = Insert(relative, key, text, image);
    if (id == kNoNode) throw EngineError("Key is not unique in collection: " + key);
    return id;
}

NodeId Tree::AddIfNew(NodeId relative, std::string key, std::string text, std::string image) {
    return Insert(relative, key, text, image);
}

NodeId Tree::Insert(NodeId relative, std::string& key, std::string& text, std::string& image) {
    if (relative != kNoNode) CheckId(relative);
    if ((nodes_.size() + 1) * 2 > index_.size()) GrowIndex();
    const std::uint32_t tag = KeyTag(key);
    const std::size_t slot = Slot(key, tag);
    if (index_[slot].id != kNoNode) return kNoNode;
    const auto id = static_cast<NodeId>(nodes_.size());
    TreeNode& node = nodes_.emplace_back();
    node.key = std::move(key);
    node.text = std::move(text);
    node.image = std::move(image);
    node.parent = relative;
    links_.emplace_back();
    index_[slot] = IndexSlot{id, tag};
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
    return index_[Slot(key, KeyTag(key))].id;
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
