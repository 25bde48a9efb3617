#include "tests/app/support/FakeToolWindow.h"

#include <algorithm>

#include "app/forms/FormServices.h"

namespace apptest {

using namespace quillet;

std::vector<FakeToolWindow*>& FakeToolWindow::Made() {
    static std::vector<FakeToolWindow*> made;
    return made;
}

FakeToolWindow::FakeToolWindow(Program& program) : tovcore::ui::Form("frmQuillet"), program_(program) {
    SetTag("frmQuillet");
    program_.forms.Add(this);
    Made().push_back(this);
    connect(this, &tovcore::ui::Form::FormQueryUnload, this, [this](int& cancel, int) {
        if (!AskSaveOnClose(program_)) cancel = 1;
    });
    connect(this, &tovcore::ui::Form::FormUnload, this, [this](int&) {
        savedOnUnload = program_.state.ProjectChanged;
        SaveProjectInformation(program_.state.ProjectChanged);
    });
    if (program_.frame) program_.frame->EnableSelections();
}

FakeToolWindow::~FakeToolWindow() {
    program_.forms.Remove(this);
    auto& made = Made();
    made.erase(std::remove(made.begin(), made.end(), this), made.end());
}

bool FakeToolWindow::GetProjectInformation(int mode) {
    calls.push_back("GetProjectInformation(" + std::to_string(mode) + ")");
    return true;
}

bool FakeToolWindow::SaveProjectInformation(bool force) {
    calls.push_back(std::string("SaveProjectInformation(") + (force ? "true" : "false") + ")");
    return true;
}

std::string FakeToolWindow::DialogProjectBrowse(int mode, bool openDialog) {
    calls.push_back("DialogProjectBrowse(" + std::to_string(mode) + "," + (openDialog ? "open" : "save") + ")");
    return browseResult;
}

quillet::ToolWindowFactory FakeToolWindowFactory() {
    return [](Program& program) -> IToolWindow* { return new FakeToolWindow(program); };
}

}  // namespace apptest
