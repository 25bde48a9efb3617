// The tool window's rules on plain state: check marks down the project tree, what a node click
// opens, and which controls are usable when.
#include <gtest/gtest.h>

#include "app/toolwindow/ToolRules.h"

namespace {

using engine::NodeId;
using namespace quillet::toolwindow;

// A file with three procedures, the middle one blue, the blue one holding a child of its own.
struct TreeWithBlue {
    engine::Tree tree;
    NodeId file, p1, blue, below, p3;
    explicit TreeWithBlue(const char* fileText = "modA.bas") {
        file = tree.Add(engine::kNoNode, "f", fileText, "module");
        p1 = tree.Add(file, "p1", "One", "routine");
        blue = tree.Add(file, "p2", "Two", "routine");
        below = tree.Add(blue, "p2x", "Below", "routine");
        p3 = tree.Add(file, "p3", "Three", "routine");
        tree.Node(blue).foreColor = engine::kColorBlue;
        tree.Node(p3).openPath = "/p/modA.bas";
        tree.Node(p3).openLine = 12345;
    }
    bool C(NodeId n) const { return tree.Node(n).checked; }
};

TEST(CheckMarks, PassDownTheSubtreeAndLeaveBlueNodesButNotTheirChildren) {
    TreeWithBlue t;
    t.tree.Node(t.file).checked = true;
    NodeCheck(t.tree, t.file);
    EXPECT_TRUE(t.C(t.p1));
    EXPECT_FALSE(t.C(t.blue));
    EXPECT_TRUE(t.C(t.below));
    EXPECT_TRUE(t.C(t.p3));
    t.tree.Node(t.file).checked = false;
    NodeCheck(t.tree, t.file);
    EXPECT_FALSE(t.C(t.p1));
    EXPECT_FALSE(t.C(t.below));
    // A leaf takes the state itself, unless it is blue.
    CheckMarkNodes(t.tree, t.p1, true);
    EXPECT_TRUE(t.C(t.p1));
    CheckMarkNodes(t.tree, t.below, true);
    t.tree.Node(t.below).foreColor = engine::kColorBlue;
    CheckMarkNodes(t.tree, t.below, false);
    EXPECT_TRUE(t.C(t.below));
}

TEST(CheckMarks, TheTraceModuleAndItsProceduresStayUncheckedHoweverItIsListed) {
    for (const char* text : {"modTrace.bas", "MODTRACE.BAS", "Shared\\modTrace.bas", "modTrace.bas (Data Only)"}) {
        SCOPED_TRACE(text);
        TreeWithBlue t(text);
        t.tree.Node(t.file).checked = true;
        NodeCheck(t.tree, t.file);
        EXPECT_FALSE(t.C(t.file));
        EXPECT_FALSE(t.C(t.p3));
        t.tree.Node(t.p1).checked = true;  // a procedure of the module, by the keyboard
        NodeCheck(t.tree, t.p1);
        EXPECT_FALSE(t.C(t.p1));
    }
    TreeWithBlue other("modTraceOld.bas");
    other.tree.Node(other.file).checked = true;
    NodeCheck(other.tree, other.file);
    EXPECT_TRUE(other.C(other.file));
}

TEST(NodeClicks, OpenTheFileAndLineTheNodeRecordsAndUncheckBlueNodes) {
    TreeWithBlue t;
    const auto target = NodeClick(t.tree, t.p3);
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(target->path, "/p/modA.bas");
    EXPECT_EQ(target->line, 12345);
    EXPECT_FALSE(NodeClick(t.tree, t.p1).has_value());  // no line recorded
    t.tree.Node(t.blue).checked = true;
    t.tree.Node(t.blue).openPath = "/p/modA.bas";
    t.tree.Node(t.blue).openLine = 4;
    EXPECT_FALSE(NodeClick(t.tree, t.blue).has_value());
    EXPECT_FALSE(t.C(t.blue));
    EXPECT_FALSE(NodeClick(t.tree, engine::kNoNode).has_value());
}

TEST(ControlStates, FollowWhatEachControlActsOn) {
    struct Case {
        const char* name;
        ControlInputs in;
        ControlStates expected;
    };
    auto inputs = [](auto&& set) {
        ControlInputs in;
        set(in);
        return in;
    };
    auto states = [](auto&& set) {
        ControlStates s;
        s.exit = s.browse = s.projectPath = s.logs = true;
        s.preCombo = s.postCombo = s.preList = s.postList = true;
        set(s);
        return s;
    };
    const Case cases[] = {
        {"no project", inputs([](ControlInputs&) {}), states([](ControlStates&) {})},
        {"a project, nothing chosen", inputs([](ControlInputs& i) { i.projectLoaded = i.tabHasContent = true; }),
         states([](ControlStates& s) { s.tabs = s.save = true; })},
        {"a project, printing possible",
         inputs([](ControlInputs& i) { i.projectLoaded = i.tabHasContent = i.printEnabled = true; }),
         states([](ControlStates& s) { s.tabs = s.save = s.print = true; })},
        {"an empty tab", inputs([](ControlInputs& i) { i.projectLoaded = i.printEnabled = true; }),
         states([](ControlStates& s) { s.tabs = true; })},
        {"post code chosen", inputs([](ControlInputs& i) { i.projectLoaded = i.postSelected = true; }),
         states([](ControlStates& s) { s.tabs = s.addCode = s.editPost = s.removePost = true; })},
        {"snippets chosen but no project", inputs([](ControlInputs& i) { i.preSelected = i.postSelected = true; }),
         states([](ControlStates& s) { s.editPre = s.removePre = s.editPost = s.removePost = true; })},
        {"text typed in a combo", inputs([](ControlInputs& i) { i.preComboText = true; }),
         states([](ControlStates& s) { s.addPre = true; })},
        {"undo offered", inputs([](ControlInputs& i) { i.undoAvailable = true; }),
         states([](ControlStates& s) { s.undo = true; })},
        {"busy: only Cancel",
         inputs([](ControlInputs& i) {
             i = ControlInputs{true, true, true, true, true, true, true, true, true};
         }),
         [] {
             ControlStates s;
             s.cancel = true;
             return s;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ControlStates s = ComputeControlStates(c.in);
        const ControlStates& e = c.expected;
        const bool got[] = {s.addCode, s.print,  s.save,    s.cancel,  s.exit,      s.undo,     s.browse,
                            s.projectPath, s.tabs, s.logs, s.preCombo, s.addPre, s.editPre, s.removePre,
                            s.preList, s.postCombo, s.addPost, s.editPost, s.removePost, s.postList};
        const bool want[] = {e.addCode, e.print,  e.save,    e.cancel,  e.exit,      e.undo,     e.browse,
                             e.projectPath, e.tabs, e.logs, e.preCombo, e.addPre, e.editPre, e.removePre,
                             e.preList, e.postCombo, e.addPost, e.editPost, e.removePost, e.postList};
        for (std::size_t i = 0; i < std::size(got); ++i) EXPECT_EQ(got[i], want[i]) << "state " << i;
    }
}

}  // namespace
