#include "tests/app/support/FrameFixture.h"

#include <stdexcept>

namespace apptest {

FrameFixture::FrameFixture(bool load) {
    t.program.makeToolWindow = FakeToolWindowFactory();
    frame = new quillet::frmBackGround(t.program);
    if (load) frame->Load();
}

FrameFixture::~FrameFixture() {
    if (frame) {
        // Whatever the test left open goes without questions.
        t.program.state.ProjectChanged = false;
        for (FakeToolWindow* tool : FakeToolWindow::Made()) tool->busy = false;
        delete frame.data();
    }
    for (FakeToolWindow* tool : std::vector<FakeToolWindow*>(FakeToolWindow::Made())) delete tool;
    ProcessEvents();
}

FakeToolWindow* FrameFixture::Tool() {
    if (!frame->ToolWindow()) throw std::runtime_error("no tool window");
    return dynamic_cast<FakeToolWindow*>(frame->LoadedToolWindow());
}

tovcore::ui::Menu* FrameFixture::Item(const char* name, int index) const {
    tovcore::ui::Menu* item = frame->MenuItem(name, index);
    if (!item) throw std::runtime_error(std::string("no menu item ") + name);
    return item;
}

void FrameFixture::Click(const char* name, int index) { Item(name, index)->trigger(); }

}  // namespace apptest
