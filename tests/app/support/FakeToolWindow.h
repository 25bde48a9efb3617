// A tool window for the frame's tests: it records what the frame asks of it, answers the close
// question as the real one does (AskSaveOnClose), and its project and busy states are set by the
// test.
#pragma once

#include <string>
#include <vector>

#include <tovcore/controls.h>

#include "app/core/Program.h"
#include "app/core/WindowSeams.h"

namespace apptest {

class FakeToolWindow : public tovcore::ui::Form, public quillet::IToolWindow {
public:
    explicit FakeToolWindow(quillet::Program& program);
    ~FakeToolWindow() override;

    tovcore::ui::Form* Window() override { return this; }
    void NewProjectInformation() override { calls.push_back("NewProjectInformation"); }
    void OpenQuilletProject() override { calls.push_back("OpenQuilletProject"); }
    bool GetProjectInformation(int mode) override;
    bool SaveProjectInformation(bool force) override;
    std::string DialogProjectBrowse(int mode, bool openDialog) override;
    void rtnAddLineNumbers() override { calls.push_back("rtnAddLineNumbers"); }
    void rtnRemoveLineNumbers() override { calls.push_back("rtnRemoveLineNumbers"); }
    void rtnPrintAll() override { calls.push_back("rtnPrintAll"); }
    void ChangeLabelBackColor() override { calls.push_back("ChangeLabelBackColor"); }
    bool ProjectLoaded() const override { return projectLoaded; }
    bool Busy() const override { return busy; }

    std::vector<std::string> calls;  // in order, with arguments: "GetProjectInformation(2)"
    std::string browseResult;        // what DialogProjectBrowse answers
    bool projectLoaded = false;
    bool busy = false;
    bool savedOnUnload = false;      // the unload saved (the close question's Yes)

    // Every FakeToolWindow made since the last reset (the frame makes them through the factory).
    static std::vector<FakeToolWindow*>& Made();

private:
    quillet::Program& program_;
};

// A factory for Program::makeToolWindow.
quillet::ToolWindowFactory FakeToolWindowFactory();

}  // namespace apptest
