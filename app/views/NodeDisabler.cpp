#include "app/views/NodeDisabler.h"

#include <QMouseEvent>
#include <QTreeView>

#include "app/views/TreeModel.h"
#include "platform/text.h"

namespace quillet::views {

clsTVWDisableNode::~clsTVWDisableNode() { SubclassEnd(); }

void clsTVWDisableNode::SubclassStart(QTreeView* treeView, TreeModel* model) {
    SubclassEnd();
    view_ = treeView;
    model_ = model;
    if (view_) view_->viewport()->installEventFilter(this);
}

void clsTVWDisableNode::SubclassEnd() {
    if (view_) view_->viewport()->removeEventFilter(this);
    view_ = nullptr;
    model_ = nullptr;
}

bool clsTVWDisableNode::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) return false;
    if (!view_ || !model_ || watched != view_->viewport()) return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return false;
    const QPoint pos = mouse->position().toPoint();
    const QModelIndex index = view_->indexAt(pos);
    const engine::NodeId node = model_->NodeOf(index);
    // The node's own area: its check box, icon and text (not the expand button to its left).
    if (node == engine::kNoNode || !view_->visualRect(index).contains(pos)) return false;
    const engine::TreeNode& n = model_->tree().Node(node);
    if (n.foreColor == enabledColor_) return false;
    emit MessageKilled(QString::fromStdString(platform::DecodeOwnText(n.text)),
                       type == QEvent::MouseButtonPress ? WM_LBUTTONDOWN : WM_LBUTTONUP);
    return true;
}

}  // namespace quillet::views
