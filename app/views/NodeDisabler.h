// Makes the nodes of a tree view whose text colour is not the enabled colour behave as disabled
// for the mouse: a left-button press or release on such a node's check box, icon or text never
// reaches the view (so the mouse neither checks nor selects it). Keyboard use, double clicks, the
// right button and checks set by code pass unchanged, as do clicks beside the node (its expand
// button, empty space).
#pragma once

#include <cstdint>

#include <QObject>
#include <QPointer>
#include <QString>

#include "engine/tree.h"

class QTreeView;

namespace quillet::views {

class TreeModel;

class clsTVWDisableNode : public QObject {
    Q_OBJECT

public:
    static constexpr int WM_LBUTTONDOWN = 513;
    static constexpr int WM_LBUTTONUP = 514;

    explicit clsTVWDisableNode(QObject* parent = nullptr) : QObject(parent) {}
    ~clsTVWDisableNode() override;

    // Starts watching the view's mouse presses and releases (the view shows `model`).
    void SubclassStart(QTreeView* treeView, TreeModel* model);
    // Stops watching.
    void SubclassEnd();

    // The node text colour (a Windows colour value) that marks an enabled node. The test compares
    // colour values: a node whose colour is the window-text colour's RGB value counts as disabled.
    std::uint32_t lEnabledColor() const { return enabledColor_; }
    void SetlEnabledColor(std::uint32_t color) { enabledColor_ = color; }

signals:
    // A press (513) or release (514) on the node was kept from the view.
    void MessageKilled(const QString& nodeText, int message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QTreeView> view_;
    QPointer<TreeModel> model_;
    std::uint32_t enabledColor_ = engine::kDefaultForeColor;
};

}  // namespace quillet::views
