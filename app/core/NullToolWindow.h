// A tool window that does nothing: it stands in the frame until the real one is part of the
// program, so the frame's menus and colours can be used and tested. Its project commands do
// nothing; it asks no close question.
#pragma once

#include <tovcore/controls.h>

#include "app/core/WindowSeams.h"

namespace quillet {

struct Program;

class NullToolWindow : public tovcore::ui::Form, public IToolWindow {
    Q_OBJECT

public:
    explicit NullToolWindow(Program& program);
    ~NullToolWindow() override;

    tovcore::ui::Form* Window() override { return this; }
    void NewProjectInformation() override {}
    void OpenQuilletProject() override {}
    bool GetProjectInformation(int) override { return false; }
    bool SaveProjectInformation(bool) override { return true; }
    std::string DialogProjectBrowse(int, bool) override { return ""; }
    void rtnAddLineNumbers() override {}
    void rtnRemoveLineNumbers() override {}
    void rtnPrintAll() override {}
    void ChangeLabelBackColor() override {}
    bool ProjectLoaded() const override { return false; }
    bool Busy() const override { return false; }

private:
    Program& program_;
};

}  // namespace quillet
