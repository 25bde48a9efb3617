// clsTvResizeForm: shrinks a window's controls so that none sticks out past the window's edges.
// InitResizeArray computes two factors from the window's outer size and its controls' places:
// below 1 exactly when some control reaches past the right (width factor) or bottom (height
// factor) edge, else 1. ResizeControls places every control at its base geometry times the
// factors. The base is the control's place at InitResizeArray, or the place the program itself
// gave it since the last ResizeControls, so repeated calls change nothing, the program's own moves
// stay (scaled by the factors) and with factors 1 and 1 nothing moves at all. A control tagged
// "NoResize" (any case) stays where it is. A minimised or zero-size window is left alone, and
// InitResizeArray on such a window waits for the first ResizeControls that finds it sized.
#pragma once

#include <tovcore/Export.h>

#include <memory>

class QObject;

namespace tovcore {

class TOVCORE_EXPORT clsTvResizeForm {
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
