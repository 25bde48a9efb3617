// A Qt item model over the engine's check-box tree (engine::Tree): the project tree and the Called
// Routines tree of the tool window. The engine's tree holds the truth: the model shows its texts,
// images, check states, colours and bold, in the order the engine gives (children sorted by text
// where a node asks for it), and writes a check box the user changes back into the engine's node.
//
// The engine fills its tree without knowing of the view. While it does, the model shows nothing
// (BeginFill); EndFill shows the new tree in one reset, so tens of thousands of nodes appear at
// once. Checks set by code (the propagation down a subtree) are shown with SubtreeChanged.
//
// With SetCheckItems the check boxes work as in tri-state trees: the nodes that count as items (the
// procedures of the project tree) show their own state, and a node above items shows what they
// hold: ticked when all are, unticked when none is, partly ticked otherwise. Items that can never
// be ticked (the trace module's procedures) count for nothing, but a node above such items only
// shows unticked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QAbstractItemModel>
#include <QFont>
#include <QHash>
#include <QIcon>

#include "engine/tree.h"

class QTreeView;

namespace quillet::views {

class TreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // `checkable`: the nodes show check boxes the user can change.
    explicit TreeModel(engine::Tree& tree, bool checkable, QObject* parent = nullptr);

    engine::Tree& tree() { return tree_; }
    const engine::Tree& tree() const { return tree_; }

    // The engine is about to change the tree's structure: show an empty tree until EndFill.
    void BeginFill();
    // Shows the tree as the engine left it, in one reset.
    void EndFill();
    bool Filling() const { return filling_; }
    // Shows the tree again when the engine changed its structure, texts or order since the last
    // reset (nothing happens otherwise).
    void Refresh();
    // Check states, colours or bold of `node` and everything below it were changed by code
    // (engine::kNoNode: the whole tree).
    void SubtreeChanged(engine::NodeId node);

    // Icons by the engine's image key ("project", "module", "routine", ...).
    void SetIcons(QHash<QString, QIcon> icons);

    // What a node is to the nodes above it (see above).
    enum class CheckItem { None, Item, NeverTicked };
    // Says what each node is; an empty function: every node shows its own check box.
    void SetCheckItems(std::function<CheckItem(const engine::TreeNode&)> itemKind);
    // The state a node's check box shows.
    Qt::CheckState ShownCheckState(engine::NodeId node) const;

    engine::NodeId NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(engine::NodeId node) const;

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;

signals:
    // The user changed the node's check box; the node already holds the new state (the tool
    // window's NodeCheck handler then applies its rules).
    void NodeCheck(engine::NodeId node);

private:
    bool Valid(engine::NodeId node) const;
    const std::vector<engine::NodeId>& Siblings(engine::NodeId node) const;
    void Rebuild();
    void EmitChildren(engine::NodeId node);
    // The nodes above `node` show a state derived from it: they are told of a change.
    void EmitAncestors(engine::NodeId node);
    void CountItems() const;

    engine::Tree& tree_;
    bool checkable_;
    bool filling_ = false;
    std::uint64_t revision_ = 0;
    std::size_t count_ = 0;        // nodes the model shows
    std::vector<int> row_;         // each node's row among its siblings, in display order
    QHash<QString, QIcon> icons_;
    QFont bold_;
    std::function<CheckItem(const engine::TreeNode&)> itemKind_;
    // Per node: the items at or below it, how many of them are ticked, and the items that can never
    // be ticked; counted again after a change of checks, when a check box is next shown.
    mutable std::vector<std::int32_t> items_, ticked_, fixed_;
    mutable bool counted_ = false;
};

// Expands in `view` every node the engine marks expanded (after a fill).
void ApplyExpanded(QTreeView* view, const TreeModel& model);
// Keeps the engine's `expanded` flags in step with the user's expanding and collapsing.
void TrackExpanded(QTreeView* view, TreeModel* model);
// Whether `pos` (viewport coordinates) lies on the check box of the node at `index`.
bool OnCheckIndicator(const QTreeView* view, const QModelIndex& index, const QPoint& pos);
// The rectangle of that check box, in viewport coordinates.
QRect CheckIndicatorRect(const QTreeView* view, const QModelIndex& index);

}  // namespace quillet::views
