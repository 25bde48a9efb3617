// The item model over the engine's tree, shown in a real tree view: what the view shows of each
// node, check boxes written back to the engine, fills, and the node disabling filter.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <tovcore/controls.h>

#include "app/views/NodeDisabler.h"
#include "app/views/TreeModel.h"
#include "tests/app/support/AppTestEnv.h"

namespace {

using engine::NodeId;
using quillet::views::TreeModel;

// Root "App.vbp" with the folders Modules and Forms; two modules, the second holding two
// procedures, one of them blue (a trace procedure).
struct SmallTree {
    engine::Tree tree;
    NodeId root, modules, forms, modA, modB, procOk, procBlue;
    SmallTree() {
        root = tree.Add(engine::kNoNode, "App.vbp", "App.vbp", "project");
        tree.SetSorted(root, true);
        modules = tree.Add(root, "App.vbp_Modules", "Modules", "module");
        forms = tree.Add(root, "App.vbp_Forms", "Forms", "form");
        tree.SetSorted(modules, true);
        modB = tree.Add(modules, "App.vbp_modB.bas", "modB.bas", "module");
        modA = tree.Add(modules, "App.vbp_Caf\xE9.bas", "Caf\xE9.bas", "module");
        procOk = tree.Add(modB, "p1", "Work", "routine");
        procBlue = tree.Add(modB, "p2", "Trace", "routine");
        tree.Node(procBlue).foreColor = engine::kColorBlue;
        tree.Node(modA).backColor = engine::kColorRed;
        tree.Node(modA).bold = true;
        tree.Node(root).expanded = true;
        tree.Node(modules).expanded = true;
        tree.Node(modB).expanded = true;
        for (NodeId n : {root, modules, forms, modB, procOk}) tree.Node(n).checked = true;
    }
};

// A view of the model, shown at a size where every node is on screen.
struct ShownTree {
    struct AppFirst {
        AppFirst() { apptest::App(); }
    } app;
    SmallTree t;
    TreeModel model{t.tree, true};
    QTreeView view;
    ShownTree() {
        view.setModel(&model);
        view.setHeaderHidden(true);
        view.resize(400, 300);
        quillet::views::ApplyExpanded(&view, model);
        view.show();
        (void)QTest::qWaitForWindowExposed(&view);
    }
    QRect TextRect(NodeId node) {
        const QModelIndex i = model.IndexOf(node);
        const QRect check = quillet::views::CheckIndicatorRect(&view, i);
        const QRect item = view.visualRect(i);
        return QRect(check.right() + 30, item.top(), 20, item.height());
    }
};

TEST(TreeModel, ShowsTheEngineTreeInItsDisplayOrderWithTextsColoursAndChecks) {
    apptest::App();
    SmallTree t;
    TreeModel model(t.tree, true);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 1);
    const QModelIndex root = model.index(0, 0);
    // The root's children sorted by text: Forms before Modules; under Modules "Café.bas" first.
    EXPECT_EQ(model.data(model.index(0, 0, root)).toString(), "Forms");
    const QModelIndex modules = model.index(1, 0, root);
    EXPECT_EQ(model.NodeOf(modules), t.modules);
    const QModelIndex cafe = model.index(0, 0, modules);
    EXPECT_EQ(model.data(cafe).toString(), QString::fromUtf8("Café.bas"));
    EXPECT_EQ(model.data(cafe, Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    EXPECT_TRUE(model.data(cafe, Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(model.data(cafe, Qt::CheckStateRole).toInt(), Qt::Unchecked);
    const QModelIndex blue = model.IndexOf(t.procBlue);
    EXPECT_EQ(model.parent(blue), model.IndexOf(t.modB));
    EXPECT_EQ(model.data(blue, Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 255));
    EXPECT_FALSE(model.data(model.IndexOf(t.procOk), Qt::ForegroundRole).isValid());  // the view's own colour
    EXPECT_EQ(model.data(model.IndexOf(t.procOk), Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_TRUE(model.flags(blue) & Qt::ItemIsUserCheckable);

    QPixmap px(8, 8);
    px.fill(Qt::green);
    model.SetIcons({{"routine", QIcon(px)}});
    EXPECT_FALSE(model.data(blue, Qt::DecorationRole).isNull());
    EXPECT_TRUE(model.data(root, Qt::DecorationRole).isNull());
}

TEST(TreeModel, WritesACheckChangeIntoTheEngineNodeAndReportsIt) {
    apptest::App();
    SmallTree t;
    TreeModel model(t.tree, true);
    QSignalSpy spy(&model, &TreeModel::NodeCheck);
    ASSERT_TRUE(model.setData(model.IndexOf(t.procOk), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(t.tree.Node(t.procOk).checked);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<NodeId>(), t.procOk);

    TreeModel plain(t.tree, false);
    EXPECT_FALSE(plain.setData(plain.IndexOf(t.procOk), Qt::Checked, Qt::CheckStateRole));
    EXPECT_FALSE(t.tree.Node(t.procOk).checked);
    EXPECT_FALSE(plain.data(plain.IndexOf(t.procOk), Qt::CheckStateRole).isValid());
}

// With items named (the procedures, blue ones left out), a node above items shows ticked, unticked
// or partly ticked by what they hold, whatever its own flag; a node without items shows its own; a
// change below is announced on every node above.
TEST(TreeModel, NodesAboveItemsShowWhatTheItemsHold) {
    apptest::App();
    SmallTree t;
    const NodeId procTwo = t.tree.Add(t.modB, "p3", "Other", "routine");
    TreeModel model(t.tree, true);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetCheckItems([](const engine::TreeNode& n) {
        if (n.image != "routine") return TreeModel::CheckItem::None;
        return n.foreColor == engine::kColorBlue ? TreeModel::CheckItem::NeverTicked : TreeModel::CheckItem::Item;
    });
    const auto shown = [&](NodeId n) { return model.data(model.IndexOf(n), Qt::CheckStateRole).toInt(); };
    struct Row {
        const char* what;
        bool modB, procOk, procTwo;
        int fileShows, rootShows;
    } rows[] = {
        {"one of two ticked", true, true, false, Qt::PartiallyChecked, Qt::PartiallyChecked},
        {"both ticked, the file's own flag not", false, true, true, Qt::Checked, Qt::Checked},
        {"none ticked, the file's own flag ticked", true, false, false, Qt::Unchecked, Qt::Unchecked},
        {"one ticked in an unticked file", false, false, true, Qt::PartiallyChecked, Qt::PartiallyChecked},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        t.tree.Node(t.modB).checked = r.modB;
        t.tree.Node(t.procOk).checked = r.procOk;
        t.tree.Node(procTwo).checked = r.procTwo;
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.SubtreeChanged(t.modB);
        EXPECT_EQ(shown(t.modB), r.fileShows);
        EXPECT_EQ(shown(t.modules), r.fileShows);
        EXPECT_EQ(shown(t.root), r.rootShows);
        EXPECT_EQ(shown(t.procBlue), Qt::Unchecked);  // an item's own state; blue counts for nothing
        bool rootTold = false;
        for (const auto& args : changed) rootTold |= args.at(0).toModelIndex() == model.IndexOf(t.root);
        EXPECT_TRUE(rootTold);
    }
    // Nodes without items below them show their own flag: a file without procedures, an empty folder.
    EXPECT_EQ(shown(t.modA), Qt::Unchecked);
    EXPECT_EQ(shown(t.forms), Qt::Checked);
    // A node above items that can never be ticked only shows unticked, whatever its own flag.
    const NodeId trace = t.tree.Add(t.modules, "trace", "modTrace.bas", "module");
    const NodeId traceProc = t.tree.Add(trace, "trace_p", "TraceIt", "routine");
    t.tree.Node(traceProc).foreColor = engine::kColorBlue;
    t.tree.Node(trace).checked = true;
    model.EndFill();
    EXPECT_EQ(shown(trace), Qt::Unchecked);
    EXPECT_EQ(shown(t.modules), shown(t.modB));  // and it does not change what the folder shows

    // The user's tick on an item is shown on the nodes above it at once.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    ASSERT_TRUE(model.setData(model.IndexOf(t.procOk), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(shown(t.modB), Qt::Checked);
    bool rootTold = false;
    for (const auto& args : changed) rootTold |= args.at(0).toModelIndex() == model.IndexOf(t.root);
    EXPECT_TRUE(rootTold);
    // A partly ticked node set by the user (Qt turns a click on it into Checked) takes its own flag.
    ASSERT_TRUE(model.setData(model.IndexOf(t.modules), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(t.tree.Node(t.modules).checked);
}

TEST(TreeModel, ShowsNothingWhileTheEngineFillsAndTheNewTreeAfterwards) {
    ShownTree s;
    QAbstractItemModelTester tester(&s.model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    s.model.BeginFill();
    s.t.tree.Clear();  // the engine starts a new load while the view is on screen
    const NodeId r = s.t.tree.Add(engine::kNoNode, "Other.vbp", "Other.vbp", "project");
    s.t.tree.Add(r, "Other.vbp_Classes", "Classes", "class");
    EXPECT_EQ(s.model.rowCount(), 0);
    s.view.repaint();  // painting meanwhile touches no stale node
    s.model.EndFill();
    ASSERT_EQ(s.model.rowCount(), 1);
    EXPECT_EQ(s.model.data(s.model.index(0, 0)).toString(), "Other.vbp");
    EXPECT_EQ(s.model.rowCount(s.model.index(0, 0)), 1);
}

TEST(TreeModel, RefreshFollowsAStructureChangeAndSubtreeChangedRepaintsChecks) {
    ShownTree s;
    s.t.tree.SetText(s.t.modA, "Zeta.bas");  // now sorted after modB
    s.model.Refresh();
    EXPECT_EQ(s.model.IndexOf(s.t.modA).row(), 1);

    QSignalSpy changed(&s.model, &QAbstractItemModel::dataChanged);
    s.t.tree.Node(s.t.procOk).checked = false;
    s.model.SubtreeChanged(s.t.modules);
    bool covered = false;
    for (const auto& args : changed) {
        const QModelIndex from = args.at(0).toModelIndex(), to = args.at(1).toModelIndex();
        const QModelIndex p = s.model.IndexOf(s.t.procOk);
        if (from.parent() == p.parent() && from.row() <= p.row() && p.row() <= to.row()) covered = true;
    }
    EXPECT_TRUE(covered);
}

TEST(TreeModel, ExpandsWhatTheEngineMarksAndWritesTheUsersExpandingBack) {
    ShownTree s;
    EXPECT_TRUE(s.view.isExpanded(s.model.IndexOf(s.t.modB)));
    EXPECT_FALSE(s.view.isExpanded(s.model.IndexOf(s.t.forms)));
    quillet::views::TrackExpanded(&s.view, &s.model);
    s.view.collapse(s.model.IndexOf(s.t.modB));
    EXPECT_FALSE(s.t.tree.Node(s.t.modB).expanded);
    s.view.expand(s.model.IndexOf(s.t.modB));
    EXPECT_TRUE(s.t.tree.Node(s.t.modB).expanded);
}

TEST(TreeModel, AMouseClickOnTheCheckBoxTogglesTheEngineNodeAndOneOnTheTextDoesNot) {
    ShownTree s;
    const QRect check = quillet::views::CheckIndicatorRect(&s.view, s.model.IndexOf(s.t.procOk));
    ASSERT_TRUE(check.isValid());
    QTest::mouseClick(s.view.viewport(), Qt::LeftButton, {}, check.center());
    EXPECT_FALSE(s.t.tree.Node(s.t.procOk).checked);
    QTest::mouseClick(s.view.viewport(), Qt::LeftButton, {}, s.TextRect(s.t.procOk).center());
    EXPECT_FALSE(s.t.tree.Node(s.t.procOk).checked);
    EXPECT_EQ(s.view.currentIndex(), s.model.IndexOf(s.t.procOk));
    EXPECT_TRUE(quillet::views::OnCheckIndicator(&s.view, s.model.IndexOf(s.t.procOk), check.center()));
    EXPECT_FALSE(quillet::views::OnCheckIndicator(&s.view, s.model.IndexOf(s.t.procOk), s.TextRect(s.t.procOk).center()));
}

// ---- node disabling -------------------------------------------------------------------------

struct DisabledTree : ShownTree {
    quillet::views::clsTVWDisableNode disabler;
    DisabledTree() { disabler.SubclassStart(&view, &model); }
};

TEST(NodeDisabling, PressAndReleaseOnABlueNodesCheckBoxOrTextAreKeptFromTheView) {
    struct Case {
        const char* name;
        bool onCheckBox;
    };
    for (const Case c : {Case{"check box", true}, Case{"text", false}}) {
        SCOPED_TRACE(c.name);
        DisabledTree s;
        s.view.setCurrentIndex(s.model.IndexOf(s.t.procOk));
        QSignalSpy killed(&s.disabler, &quillet::views::clsTVWDisableNode::MessageKilled);
        const QModelIndex blue = s.model.IndexOf(s.t.procBlue);
        const QPoint at = c.onCheckBox ? quillet::views::CheckIndicatorRect(&s.view, blue).center()
                                       : s.TextRect(s.t.procBlue).center();
        QTest::mouseClick(s.view.viewport(), Qt::LeftButton, {}, at);
        EXPECT_FALSE(s.t.tree.Node(s.t.procBlue).checked);
        EXPECT_EQ(s.view.currentIndex(), s.model.IndexOf(s.t.procOk));  // not selected either
        ASSERT_EQ(killed.size(), 2);
        EXPECT_EQ(killed.at(0).at(0).toString(), "Trace");
        EXPECT_EQ(killed.at(0).at(1).toInt(), 513);
        EXPECT_EQ(killed.at(1).at(1).toInt(), 514);
    }
}

TEST(NodeDisabling, OrdinaryNodesEmptySpaceKeysAndTheRightButtonPass) {
    DisabledTree s;
    QSignalSpy killed(&s.disabler, &quillet::views::clsTVWDisableNode::MessageKilled);
    QTest::mouseClick(s.view.viewport(), Qt::LeftButton, {},
                      quillet::views::CheckIndicatorRect(&s.view, s.model.IndexOf(s.t.procOk)).center());
    EXPECT_FALSE(s.t.tree.Node(s.t.procOk).checked);  // an ordinary node toggles as usual
    QTest::mouseClick(s.view.viewport(), Qt::LeftButton, {}, QPoint(200, 280));  // below the last node
    QTest::mouseClick(s.view.viewport(), Qt::RightButton, {}, s.TextRect(s.t.procBlue).center());
    EXPECT_EQ(killed.size(), 0);
    // The keyboard reaches a blue node: the space bar checks it.
    s.view.setCurrentIndex(s.model.IndexOf(s.t.procBlue));
    QTest::keyClick(&s.view, Qt::Key_Space);
    EXPECT_TRUE(s.t.tree.Node(s.t.procBlue).checked);
}

TEST(NodeDisabling, ComparesColourValuesNotTheirLook) {
    DisabledTree s;
    // The window-text colour's RGB value, set explicitly, is not the enabled colour value.
    s.t.tree.Node(s.t.procOk).foreColor = tovcore::ui::TranslateColor(static_cast<std::int32_t>(engine::kDefaultForeColor));
    s.model.SubtreeChanged(s.t.procOk);
    QTest::mouseClick(s.view.viewport(), Qt::LeftButton, {},
                      quillet::views::CheckIndicatorRect(&s.view, s.model.IndexOf(s.t.procOk)).center());
    EXPECT_TRUE(s.t.tree.Node(s.t.procOk).checked);
    s.disabler.SetlEnabledColor(s.t.tree.Node(s.t.procOk).foreColor);
    QTest::mouseClick(s.view.viewport(), Qt::LeftButton, {},
                      quillet::views::CheckIndicatorRect(&s.view, s.model.IndexOf(s.t.procOk)).center());
    EXPECT_FALSE(s.t.tree.Node(s.t.procOk).checked);
}

}  // namespace
