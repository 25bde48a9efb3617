#include <gtest/gtest.h>

#include <filesystem>

#include "reports/output.h"
#include "reports/xref.h"
#include "tests/engine/fake_host.h"
#include "tests/support/testsupport.h"

using namespace engine;
using enginetest::FakeHost;

namespace {

const reports::ReportStamp kStamp{"Jan 02, 2025 - 03:04:05 pm", "Version 1.0  Build 7  Freeware"};

TEST(EnumNodes, TheMiddleSiblingsChildrenStayUnderIt) {
    Tree t;
    const NodeId root = t.Add(kNoNode, "r", "Root");
    t.SetSorted(root, true);
    t.Add(root, "c", "Cherry");
    const NodeId b = t.Add(root, "b", "banana");
    t.Add(root, "a", "Apple");
    t.SetSorted(b, true);
    t.Add(b, "b2", "Two");
    const NodeId b1 = t.Add(b, "b1", "One");
    t.Add(b1, "b1x", "Deep");
    std::string text = "head";
    reports::EnumNodes(t, root, text, 0);
    EXPECT_EQ(text,
              "head\r\n"
              "Apple\r\n"
              "banana\r\n"
              "\r\n\tOne\r\n"
              "\r\n\t\tDeep\r\n\r\n"
              "\tTwo\r\n\r\n"
              "Cherry\r\n\r\n");

    std::string leaf;
    reports::EnumNodes(t, t.Find("a"), leaf, 3);  // no children: nothing
    EXPECT_EQ(leaf, "");

    FakeHost host;
    host.SetCancelRequested(true);
    std::string stopped;
    reports::EnumNodes(t, root, stopped, 0, &host);
    EXPECT_EQ(stopped, "");
}

TEST(ReportFiles, DefaultNames) {
    const struct {
        const char* title;
        int tab;
        const char* name;
    } cases[] = {
        {"My.App.vbp", reports::kTabRoutines, "My App vbp Called Routines.txt"},
        {"Billing.vbp", reports::kTabProject, "Billing vbp Project Functions.txt"},
        {"Billing.vbp", reports::kTabModules, "Billing vbp Module Definitions.txt"},
        {"Billing.vbp", reports::kTabForms, "Billing vbp Form Definitions.txt"},
        {"G.vbg", reports::kTabClasses, "G vbg Class Definitions.txt"},
        {"Billing.vbp", reports::kTabAPIs, ""},
        {"Billing.vbp", 6, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(reports::DefaultReportFileName(c.title, c.tab), c.name) << c.tab;
}

TEST(ReportFiles, TabTexts) {
    ToolState st;
    const NodeId project = st.treProject.Add(kNoNode, "App.vbp", "App.vbp", "project");
    st.ProjectNodes.push_back(project);
    const NodeId modules = st.treProject.Add(project, "App.vbp_Modules", "Modules", "module");
    st.treProject.Add(modules, "App.vbp_a.bas", "a.bas", "module");
    const NodeId root = st.treRoutines.Add(kNoNode, "Routines", " Routines", "calledroutines");
    const NodeId p = st.treRoutines.Add(root, "App.vbp", "App.vbp", "project");
    const NodeId r = st.treRoutines.Add(p, "Go/App.vbp", "Go", "module");
    st.treRoutines.Add(r, "k", reports::CallSiteText("a.bas", 3), "module");
    reports::DefinitionReports boxes;
    boxes.rtfAPIs.text = "api text";

    EXPECT_EQ(reports::TabSaveText(st, boxes, reports::kTabProject, kStamp),
              "Jan 02, 2025 - 03:04:05 pm - Quillet Version 1.0  Build 7  Freeware\r\n\r\n"
              "App.vbp Project Functions\r\n\r\n"
              "\r\nModules\r\n\r\n\ta.bas\r\n\r\n\r\n");
    EXPECT_EQ(reports::TabSaveText(st, boxes, reports::kTabRoutines, kStamp),
              "Jan 02, 2025 - 03:04:05 pm - Quillet Version 1.0  Build 7  Freeware\r\n\r\n"
              "App.vbp Project Called Routines\r\n\r\n"
              "\r\nApp.vbp\r\n\r\n\tGo\r\n\r\n\t\ta.bas" + std::string(45, ' ') + " - Line     3\r\n\r\n\r\n\r\n");
    EXPECT_EQ(reports::TabSaveText(st, boxes, reports::kTabAPIs, kStamp), "api text");
    EXPECT_EQ(reports::TabSaveText(st, boxes, reports::kTabForms, kStamp), "");
}

TEST(ReportFiles, SavingReplacesTheFileWholeOrLeavesItAlone) {
    testsupport::TempDir dir;
    const std::string path = dir.file("r.txt");
    testsupport::WriteBytes(path, std::string(500, 'x'));
    ASSERT_TRUE(reports::SaveReportText(path, "line 1\r\nline 2"));
    EXPECT_EQ(testsupport::ReadBytes(path), "line 1\r\nline 2\r\n");

    // A folder stands where the file should go: the save fails and changes nothing.
    const std::string folder = dir.file("busy.txt");
    testsupport::WriteBytes(folder + "/inside.txt", "kept");
    std::string why;
    EXPECT_FALSE(reports::SaveReportText(folder, "new", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(testsupport::ReadBytes(folder + "/inside.txt"), "kept");
    EXPECT_FALSE(reports::SaveReportText(dir.path() + "missing/r.txt", "new"));
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) entries += e.exists();
    EXPECT_EQ(entries, 2);  // r.txt and busy.txt: no temporary file left behind
    EXPECT_EQ(testsupport::ReadBytes(path), "line 1\r\nline 2\r\n");
}

}  // namespace
