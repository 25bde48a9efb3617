#include <gtest/gtest.h>

#include "engine/error.h"
#include "engine/tree.h"

using namespace engine;

namespace {

std::vector<std::string> Texts(const Tree& t, NodeId id) {
    std::vector<std::string> out;
    for (NodeId c : t.Children(id)) out.push_back(t.Node(c).text);
    return out;
}

TEST(Tree, KeysAreUniqueWithoutRegardToCase) {
    Tree t;
    const NodeId root = t.Add(kNoNode, "App.vbp", "App.vbp", "project");
    t.Add(root, "App.vbp_Modules", "Modules");
    EXPECT_THROW(t.Add(root, "APP.VBP_modules", "Modules"), EngineError);
    EXPECT_EQ(t.Find("app.vbp_MODULES"), 1);
    EXPECT_EQ(t.Find("missing"), kNoNode);
    EXPECT_EQ(t.Count(), 2u);
}

TEST(Tree, SortedNodeOrdersChildrenByTextIgnoringCaseAndKeepsOrderOfEqualTexts) {
    Tree t;
    const NodeId root = t.Add(kNoNode, "r", "r");
    const NodeId b = t.Add(root, "1", "beta");
    t.Add(root, "2", "Alpha");
    t.Add(root, "3", "alpha");
    t.Add(root, "4", "Gamma");
    EXPECT_EQ(Texts(t, root), (std::vector<std::string>{"beta", "Alpha", "alpha", "Gamma"}));
    t.SetSorted(root, true);
    EXPECT_EQ(Texts(t, root), (std::vector<std::string>{"Alpha", "alpha", "beta", "Gamma"}));
    // A text that changes takes its new place.
    t.SetText(b, "zeta");
    EXPECT_EQ(Texts(t, root), (std::vector<std::string>{"Alpha", "alpha", "Gamma", "zeta"}));
    t.Add(root, "5", "Delta");
    EXPECT_EQ(Texts(t, root), (std::vector<std::string>{"Alpha", "alpha", "Delta", "Gamma", "zeta"}));
    t.Clear();
    EXPECT_TRUE(t.empty());
    EXPECT_EQ(t.Find("1"), kNoNode);
}

}  // namespace
