// Pictures of the tool window for a person to look at: a loaded project group with its tree
// expanded to the procedures and a snippet chosen, at 1024 x 768 and at full HD, and each report
// tab. Written into the build folder's "screenshots".
#include <gtest/gtest.h>

#include <filesystem>

#include <QDir>
#include <QTest>

#include "app/forms/FormServices.h"
#include "app/toolwindow/SnippetPanel.h"
#include "app/views/TreeModel.h"
#include "tests/app/support/ToolFixture.h"

namespace {

void Save(QWidget* w, const std::string& name) {
    std::filesystem::create_directories(QUILLET_SCREENSHOT_DIR);
    const QString path = QString(QUILLET_SCREENSHOT_DIR) + "/" + QString::fromStdString(name);
    ASSERT_TRUE(w->grab().save(path)) << path.toStdString();
}

TEST(ToolWindowPictures, LoadedProjectAndEveryTab) {
    apptest::ToolFixture f;
    f.Browse();
    f.ChooseSnippet(true, "Trace");
    f.ChooseSnippet(false, "Trace");
    quillet::SkinForm(f.t.program, f.w.get());
    f.w->treProject()->expandAll();
    for (const auto& [width, height, name] : {std::tuple{1024, 740, "toolwindow-1024x768.png"},
                                               std::tuple{1920, 1050, "toolwindow-1920x1080.png"}}) {
        f.w->resize(width, height);
        apptest::ProcessEvents();
        Save(f.w.get(), name);
    }
    f.w->resize(1024, 740);
    static const char* kTabs[] = {"app-functions", "called-routines", "module-definitions", "form-definitions",
                                  "class-definitions", "apis"};
    for (int tab = 1; tab < 6; ++tab) {
        f.w->SSTab1()->SetTab(tab);
        if (tab == 1) f.w->treRoutines()->expandAll();
        apptest::ProcessEvents();
        Save(f.w.get(), std::string("toolwindow-tab-") + kTabs[tab] + ".png");
    }
}

// One procedure of modMain unticked: its file, folder, project and the group show partly ticked.
TEST(ToolWindowPictures, AFileWithSomeProceduresTickedShowsPartlyTicked) {
    apptest::ToolFixture f;
    f.Browse();
    quillet::SkinForm(f.t.program, f.w.get());
    f.w->treProject()->expandAll();
    const engine::NodeId doWork = f.Node("Main.vbp_modMain.bas_DoWork_Function_7");
    ASSERT_NE(doWork, engine::kNoNode);
    auto* model = f.w->ProjectModel();
    ASSERT_TRUE(model->setData(model->IndexOf(doWork), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(model->data(model->IndexOf(f.Node("Main.vbp_modMain.bas")), Qt::CheckStateRole).toInt(),
              Qt::PartiallyChecked);
    f.w->resize(1024, 740);
    apptest::ProcessEvents();
    Save(f.w.get(), "toolwindow-partly-ticked.png");
}

}  // namespace
