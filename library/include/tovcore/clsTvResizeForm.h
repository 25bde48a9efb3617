// clsTvResizeForm: shrinks a window's controls so that none sticks out past the window's edges.
// InitResizeArray records each control's place and size and computes two factors from the
// window's outer size: below 1 exactly when some control reaches past the right (width factor) or
// bottom (height factor) edge, else 1. ResizeControls places every recorded control at its
// recorded geometry times the factors, so calling it again changes nothing; a control tagged
// "NoResize" (any case) stays where it is, and a minimised or zero-size window is left alone.
#pragma once

#include <memory>

class QObject;

namespace tovcore {

class clsTvResizeForm {
public:
    clsTvResizeForm();
    ~clsTvResizeForm();
    clsTvResizeForm(const clsTvResizeForm&) = delete;
    clsTvResizeForm& operator=(const clsTvResizeForm&) = delete;

    void InitResizeArray(QObject* frm);
    void ResizeControls(QObject* frm);

    // The factors of the last InitResizeArray (1 before it), and whether it has run.
    float WidthFactor() const;
    float HeightFactor() const;
    bool Initialised() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tovcore
