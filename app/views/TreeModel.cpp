#include "app/views/TreeModel.h"

#include <QBrush>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeView>

#include <tovcore/controls.h>

#include "platform/text.h"

namespace quillet::views {

namespace {

// Engine nodes travel in an index's internal id; a node id is never negative.
engine::NodeId IdOf(const QModelIndex& index) { return static_cast<engine::NodeId>(index.internalId()); }

}  // namespace

TreeModel::TreeModel(engine::Tree& tree, bool checkable, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), checkable_(checkable) {
    bold_.setBold(true);
    Rebuild();
}

void TreeModel::BeginFill() {
    if (filling_) return;
    beginResetModel();
    filling_ = true;
    count_ = 0;
    row_.clear();
    endResetModel();
}

void TreeModel::EndFill() {
    beginResetModel();
    filling_ = false;
    Rebuild();
    endResetModel();
}

void TreeModel::Refresh() {
    if (filling_ || (tree_.Revision() == revision_ && tree_.Count() == count_)) return;
    EndFill();
}

void TreeModel::Rebuild() {
    counted_ = false;
    revision_ = tree_.Revision();
    count_ = tree_.Count();
    row_.assign(count_, 0);
    const auto& roots = tree_.Roots();
    for (std::size_t i = 0; i < roots.size(); ++i) row_[roots[i]] = static_cast<int>(i);
    // Children() puts every sorted node's children in display order once, here, rather than
    // while the view paints.
    for (std::size_t id = 0; id < count_; ++id) {
        const auto& children = tree_.Children(static_cast<engine::NodeId>(id));
        for (std::size_t i = 0; i < children.size(); ++i) row_[children[i]] = static_cast<int>(i);
    }
}

void TreeModel::SetIcons(QHash<QString, QIcon> icons) {
    icons_ = std::move(icons);
    if (count_ > 0) SubtreeChanged(engine::kNoNode);
}

void TreeModel::SetCheckItems(std::function<CheckItem(const engine::TreeNode&)> itemKind) {
    itemKind_ = std::move(itemKind);
    counted_ = false;
    if (count_ > 0) SubtreeChanged(engine::kNoNode);
}

void TreeModel::CountItems() const {
    items_.assign(count_, 0);
    ticked_.assign(count_, 0);
    fixed_.assign(count_, 0);
    // A child is always added after its parent, so it has the higher number: one walk from the last
    // node to the first gathers every subtree's items into its root.
    for (std::size_t i = count_; i-- > 0;) {
        const auto id = static_cast<engine::NodeId>(i);
        const engine::TreeNode& node = tree_.Node(id);
        switch (itemKind_(node)) {
            case CheckItem::Item:
                ++items_[i];
                if (node.checked) ++ticked_[i];
                break;
            case CheckItem::NeverTicked: ++fixed_[i]; break;
            case CheckItem::None: break;
        }
        if (node.parent != engine::kNoNode && static_cast<std::size_t>(node.parent) < count_) {
            const auto p = static_cast<std::size_t>(node.parent);
            items_[p] += items_[i];
            ticked_[p] += ticked_[i];
            fixed_[p] += fixed_[i];
        }
    }
    counted_ = true;
}

Qt::CheckState TreeModel::ShownCheckState(engine::NodeId id) const {
    if (!Valid(id)) return Qt::Unchecked;
    const engine::TreeNode& node = tree_.Node(id);
    if (!itemKind_ || itemKind_(node) != CheckItem::None) return node.checked ? Qt::Checked : Qt::Unchecked;
    if (!counted_) CountItems();
    const auto i = static_cast<std::size_t>(id);
    if (items_[i] == 0) return fixed_[i] > 0 || !node.checked ? Qt::Unchecked : Qt::Checked;
    if (ticked_[i] == 0) return Qt::Unchecked;
    return ticked_[i] == items_[i] ? Qt::Checked : Qt::PartiallyChecked;
}

bool TreeModel::Valid(engine::NodeId node) const {
    return !filling_ && node >= 0 && static_cast<std::size_t>(node) < count_ && node < static_cast<engine::NodeId>(tree_.Count());
}

const std::vector<engine::NodeId>& TreeModel::Siblings(engine::NodeId node) const {
    const engine::NodeId parent = tree_.Node(node).parent;
    return parent == engine::kNoNode ? tree_.Roots() : tree_.Children(parent);
}

engine::NodeId TreeModel::NodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return engine::kNoNode;
    const engine::NodeId id = IdOf(index);
    return Valid(id) ? id : engine::kNoNode;
}

QModelIndex TreeModel::IndexOf(engine::NodeId node) const {
    if (!Valid(node)) return {};
    return createIndex(row_[node], 0, static_cast<quintptr>(node));
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (filling_ || column != 0 || row < 0) return {};
    const std::vector<engine::NodeId>* list = nullptr;
    if (!parent.isValid()) {
        list = &tree_.Roots();
    } else {
        const engine::NodeId p = NodeOf(parent);
        if (p == engine::kNoNode) return {};
        list = &tree_.Children(p);
    }
    if (static_cast<std::size_t>(row) >= list->size()) return {};
    const engine::NodeId id = (*list)[static_cast<std::size_t>(row)];
    if (!Valid(id)) return {};
    return createIndex(row, 0, static_cast<quintptr>(id));
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
    const engine::NodeId id = NodeOf(child);
    if (id == engine::kNoNode) return {};
    return IndexOf(tree_.Node(id).parent);
}

int TreeModel::rowCount(const QModelIndex& parent) const {
    if (filling_) return 0;
    if (!parent.isValid()) return static_cast<int>(tree_.Roots().size());
    const engine::NodeId p = NodeOf(parent);
    return p == engine::kNoNode ? 0 : static_cast<int>(tree_.Children(p).size());
}

int TreeModel::columnCount(const QModelIndex&) const { return 1; }

bool TreeModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant TreeModel::data(const QModelIndex& index, int role) const {
    const engine::NodeId id = NodeOf(index);
    if (id == engine::kNoNode) return {};
    const engine::TreeNode& node = tree_.Node(id);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return QString::fromStdString(platform::DecodeOwnText(node.text));
        case Qt::DecorationRole: {
            const auto it = icons_.constFind(QString::fromStdString(node.image));
            return it == icons_.constEnd() ? QVariant() : QVariant(*it);
        }
        case Qt::CheckStateRole:
            if (!checkable_) return {};
            return ShownCheckState(id);
        case Qt::ForegroundRole:
            if (node.foreColor == engine::kDefaultForeColor) return {};
            return QBrush(tovcore::ui::ToQColor(static_cast<std::int32_t>(node.foreColor)));
        case Qt::BackgroundRole:
            if (node.backColor == engine::kDefaultBackColor) return {};
            return QBrush(tovcore::ui::ToQColor(static_cast<std::int32_t>(node.backColor)));
        case Qt::FontRole:
            return node.bold ? QVariant(bold_) : QVariant();
        default:
            return {};
    }
}

bool TreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const engine::NodeId id = NodeOf(index);
    if (id == engine::kNoNode || role != Qt::CheckStateRole || !checkable_) return false;
    const bool checked = static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked;
    tree_.Node(id).checked = checked;
    counted_ = false;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    EmitAncestors(id);
    emit NodeCheck(id);
    return true;
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const {
    if (NodeOf(index) == engine::kNoNode) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (checkable_) f |= Qt::ItemIsUserCheckable;
    return f;
}

void TreeModel::EmitChildren(engine::NodeId node) {
    const auto& children = tree_.Children(node);
    if (children.empty()) return;
    emit dataChanged(IndexOf(children.front()), IndexOf(children.back()));
    for (engine::NodeId c : children) EmitChildren(c);
}

void TreeModel::EmitAncestors(engine::NodeId node) {
    if (!itemKind_) return;
    for (engine::NodeId p = tree_.Node(node).parent; Valid(p); p = tree_.Node(p).parent) {
        const QModelIndex i = IndexOf(p);
        emit dataChanged(i, i, {Qt::CheckStateRole});
    }
}

void TreeModel::SubtreeChanged(engine::NodeId node) {
    counted_ = false;
    if (filling_ || count_ == 0) return;
    if (tree_.Revision() != revision_ || tree_.Count() != count_) {
        EndFill();
        return;
    }
    if (node == engine::kNoNode) {
        const auto& roots = tree_.Roots();
        if (roots.empty()) return;
        emit dataChanged(IndexOf(roots.front()), IndexOf(roots.back()));
        for (engine::NodeId r : roots) EmitChildren(r);
        return;
    }
    if (!Valid(node)) return;
    const QModelIndex i = IndexOf(node);
    emit dataChanged(i, i);
    EmitChildren(node);
    EmitAncestors(node);
}

void ApplyExpanded(QTreeView* view, const TreeModel& model) {
    const engine::Tree& tree = model.tree();
    for (std::size_t id = 0; id < tree.Count(); ++id) {
        const auto node = static_cast<engine::NodeId>(id);
        if (tree.Node(node).expanded && !tree.Children(node).empty()) view->setExpanded(model.IndexOf(node), true);
    }
}

void TrackExpanded(QTreeView* view, TreeModel* model) {
    QObject::connect(view, &QTreeView::expanded, model, [model](const QModelIndex& index) {
        const engine::NodeId id = model->NodeOf(index);
        if (id != engine::kNoNode) model->tree().Node(id).expanded = true;
    });
    QObject::connect(view, &QTreeView::collapsed, model, [model](const QModelIndex& index) {
        const engine::NodeId id = model->NodeOf(index);
        if (id != engine::kNoNode) model->tree().Node(id).expanded = false;
    });
}

QRect CheckIndicatorRect(const QTreeView* view, const QModelIndex& index) {
    if (!view || !index.isValid() || !(index.flags() & Qt::ItemIsUserCheckable)) return {};
    // The option the item delegate lays the node out with: the check box comes first in the row.
    QStyleOptionViewItem opt;
    opt.initFrom(view->viewport());
    opt.rect = view->visualRect(index);
    opt.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    if (!index.data(Qt::DecorationRole).isNull()) opt.features |= QStyleOptionViewItem::HasDecoration;
    const int icon = view->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, view);
    opt.decorationSize = view->iconSize().isValid() ? view->iconSize() : QSize(icon, icon);
    opt.text = index.data(Qt::DisplayRole).toString();
    opt.checkState = static_cast<Qt::CheckState>(index.data(Qt::CheckStateRole).toInt());
    opt.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    return view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, view);
}

bool OnCheckIndicator(const QTreeView* view, const QModelIndex& index, const QPoint& pos) {
    return CheckIndicatorRect(view, index).contains(pos);
}

}  // namespace quillet::views
