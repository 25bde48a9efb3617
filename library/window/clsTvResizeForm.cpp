#include <tovcore/clsTvResizeForm.h>

#include <any>
#include <cmath>
#include <optional>
#include <vector>

#include <QPointer>

#include <tovcore/TypeLibrary.h>
#include <tovcore/controls.h>

#include "platform/text.h"

namespace tovcore {
namespace {

std::optional<double> Measure(const QObject* obj, const char* name) {
    const std::optional<QVariant> v = ui::GetProperty(obj, name);
    if (!v) return std::nullopt;
    bool ok = false;
    const double d = v->toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

// Cut (not rounded) to two decimals.
float Factor(double size, double reach) {
    if (reach < 1) return 1.0f;
    return static_cast<float>(std::floor(size / reach * 100) / 100);
}

int Nearest(double x) { return static_cast<int>(std::nearbyint(x)); }

// The class can be made by its class id or name, as the other public classes.
const bool kRegistered = RegisterClassFactory(CLSID_clsTvResizeForm,
                                              [] { return std::any(std::make_shared<clsTvResizeForm>()); });

}  // namespace

struct clsTvResizeForm::Impl {
    struct Recorded {
        QPointer<QObject> control;
        std::optional<double> left, top, width, height;
    };
    std::vector<Recorded> controls;
    std::optional<QVariant> scaleMode;
    float fx = 1.0f;  // width and left
    float fy = 1.0f;  // height and top
    bool initialised = false;
};

clsTvResizeForm::clsTvResizeForm() : impl_(std::make_unique<Impl>()) { (void)kRegistered; }
clsTvResizeForm::~clsTvResizeForm() = default;

float clsTvResizeForm::WidthFactor() const { return impl_->fx; }
float clsTvResizeForm::HeightFactor() const { return impl_->fy; }
bool clsTvResizeForm::Initialised() const { return impl_->initialised; }

void clsTvResizeForm::InitResizeArray(QObject* frm) {
    Impl& d = *impl_;
    d.controls.clear();
    d.scaleMode = ui::GetProperty(frm, "ScaleMode");
    const double W = Measure(frm, "Width").value_or(0), H = Measure(frm, "Height").value_or(0);
    double maxRight = 0, maxBottom = 0;
    for (QObject* c : ui::Controls(frm)) {
        Impl::Recorded r{c, Measure(c, "Left"), Measure(c, "Top"), Measure(c, "Width"), Measure(c, "Height")};
        if (r.left && r.width) {
            const double right = *r.left + *r.width;
            if (right > W && right > maxRight) maxRight = right;
        }
        if (r.top && r.height) {
            const double bottom = *r.top + *r.height;
            if (bottom > H && bottom > maxBottom) maxBottom = bottom;
        }
        d.controls.push_back(std::move(r));
    }
    d.fx = Factor(W, maxRight);
    d.fy = Factor(H, maxBottom);
    d.initialised = true;
}

void clsTvResizeForm::ResizeControls(QObject* frm) {
    Impl& d = *impl_;
    if (!d.initialised || !frm) return;
    if (ui::GetProperty(frm, "WindowState").value_or(QVariant(0)).toInt() == 1) return;
    if (Measure(frm, "Width").value_or(0) <= 0 || Measure(frm, "Height").value_or(0) <= 0) return;
    if (d.scaleMode) ui::SetProperty(frm, "ScaleMode", *d.scaleMode);
    const double fx = d.fx, fy = d.fy;
    for (const Impl::Recorded& r : d.controls) {
        QObject* c = r.control.data();
        if (!c) continue;
        const QString tag = ui::GetProperty(c, "Tag").value_or(QVariant()).toString();
        if (platform::IEqualsUtf8(tag.toStdString(), "NoResize")) continue;
        if (r.left) ui::SetProperty(c, "Left", Nearest(*r.left * fx));
        if (r.top) ui::SetProperty(c, "Top", Nearest(*r.top * fy));
        if (r.width) ui::SetProperty(c, "Width", Nearest(*r.width * fx));
        if (r.height) ui::SetProperty(c, "Height", Nearest(*r.height * fy));
    }
}

}  // namespace tovcore
