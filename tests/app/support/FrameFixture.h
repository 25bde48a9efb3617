// A loaded frame on a TestProgram whose tool window is the FakeToolWindow.
#pragma once

#include <QPointer>

#include "app/frame/frmBackGround.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/app/support/FakeToolWindow.h"

namespace apptest {

class FrameFixture {
public:
    // With `load` false the frame is built but not loaded (a test writes settings first).
    explicit FrameFixture(bool load = true);
    ~FrameFixture();

    // The tool window, made through the frame (New Project's way) when it is not loaded.
    FakeToolWindow* Tool();
    // A menu item by name and index.
    tovcore::ui::Menu* Item(const char* name, int index = -1) const;
    // Chooses a menu item as the user does.
    void Click(const char* name, int index = -1);

    TestProgram t;
    QPointer<quillet::frmBackGround> frame;
};

}  // namespace apptest
