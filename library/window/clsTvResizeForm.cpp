#include <tovcore/clsTvResizeForm.h>

#include <any>
#include <array>
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

// A window whose factors would mean nothing: minimised, or without a size yet.
bool Unsized(const QObject* frm) {
    if (ui::GetProperty(frm, "WindowState").value_or(QVariant(0)).toInt() == 1) return true;
    return Measure(frm, "Width").value_or(0) <= 0 || Measure(frm, "Height").value_or(0) <= 0;
}

// The four measures, in the order left, top, width, height.
constexpr std::array<const char*, 4> kMeasures = {"Left", "Top", "Width", "Height"};

// The class can be made by its class id or name, as the other public classes.
const bool kRegistered = RegisterClassFactory(CLSID_clsTvResizeForm,
                                              [] { return std::any(std::make_shared<clsTvResizeForm>()); });

}  // namespace

struct clsTvResizeForm::Impl {
    struct Length {
        double base = 0;  // what the factor multiplies
        double shown = 0;  // what the control held after the last placing (or at init)
    };
    struct Recorded {
        QPointer<QObject> control;
        std::array<std::optional<Length>, 4> lengths;  // left, top, width, height; none when it lacks one
    };
    std::vector<Recorded> controls;
    std::optional<QVariant> scaleMode;
    float fx = 1.0f;  // width and left
    float fy = 1.0f;  // height and top
    bool initialised = false;
    bool waiting = false;  // InitResizeArray met an unsized window: the next sized resize computes
};

clsTvResizeForm::clsTvResizeForm() : impl_(std::make_unique<Impl>()) { (void)kRegistered; }
clsTvResizeForm::~clsTvResizeForm() = default;

float clsTvResizeForm::WidthFactor() const { return impl_->fx; }
float clsTvResizeForm::HeightFactor() const { return impl_->fy; }
bool clsTvResizeForm::Initialised() const { return impl_->initialised; }

void clsTvResizeForm::InitResizeArray(QObject* frm) {
    Impl& d = *impl_;
    d.controls.clear();
    d.initialised = false;
    d.fx = d.fy = 1.0f;
    d.waiting = false;
    if (!frm) return;
    if (Unsized(frm)) {
        d.waiting = true;
        return;
    }
    d.scaleMode = ui::GetProperty(frm, "ScaleMode");
    const double W = Measure(frm, "Width").value_or(0), H = Measure(frm, "Height").value_or(0);
    double maxRight = 0, maxBottom = 0;
    for (QObject* c : ui::Controls(frm)) {
        Impl::Recorded r{c, {}};
        for (std::size_t m = 0; m < kMeasures.size(); ++m)
            if (const std::optional<double> v = Measure(c, kMeasures[m])) r.lengths[m] = Impl::Length{*v, *v};
        const auto& [left, top, width, height] = r.lengths;
        if (left && width) {
            const double right = left->base + width->base;
            if (right > W && right > maxRight) maxRight = right;
        }
        if (top && height) {
            const double bottom = top->base + height->base;
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
    if (!frm || Unsized(frm)) return;
    if (d.waiting) InitResizeArray(frm);
    if (!d.initialised) return;
    if (d.scaleMode) ui::SetProperty(frm, "ScaleMode", *d.scaleMode);
    if (d.fx == 1.0f && d.fy == 1.0f) return;
    const std::array<double, 4> factors = {d.fx, d.fy, d.fx, d.fy};
    for (Impl::Recorded& r : d.controls) {
        QObject* c = r.control.data();
        if (!c) continue;
        const QString tag = ui::GetProperty(c, "Tag").value_or(QVariant()).toString();
        if (platform::IEqualsUtf8(tag.toStdString(), "NoResize")) continue;
        for (std::size_t m = 0; m < kMeasures.size(); ++m) {
            std::optional<Impl::Length>& length = r.lengths[m];
            if (!length) continue;
            const std::optional<double> now = Measure(c, kMeasures[m]);
            if (!now) continue;
            if (*now != length->shown) length->base = *now;  // the program placed it since
            ui::SetProperty(c, kMeasures[m], Nearest(length->base * factors[m]));
            length->shown = Measure(c, kMeasures[m]).value_or(*now);
        }
    }
}

}  // namespace tovcore
