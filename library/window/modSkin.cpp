#include "library/window/modSkin.h"

#include <algorithm>
#include <limits>

#include <QAbstractButton>

#include <tovcore/controls.h>

#include "library/window/modTabPainter.h"

namespace tovcore::detail {
namespace {

using ui::Controls;
using ui::SetProperty;
using ui::TypeName;

bool IsType(const QObject* control, const char* name) { return TypeName(control) == QLatin1String(name); }

bool IsButton(const QObject* control) { return IsType(control, "CommandButton") || IsType(control, "MyButton"); }

void MakeTransparent(QObject* label) { SetProperty(label, "BackStyle", 0); }

// A check box or option button gets the skin's small size (twips), but never less than its
// style's indicator and its caption need, so the box is whole and the caption shows.
void SizeIndicatorControl(QObject* control, int width, int height) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        const QSize needed = button->sizeHint();
        width = std::max(width, ui::PixelsToTwips(needed.width()));
        height = std::max(height, ui::PixelsToTwips(needed.height()));
    }
    SetProperty(control, "Width", width);
    SetProperty(control, "Height", height);
}

}  // namespace

bool SkinIt(QObject* obj, std::int32_t ButtonTabColor, std::int32_t ButtonTabTextColor,
            std::int32_t ButtonTabColorGradient, std::int32_t BackGroundColor, std::int32_t BackColorToGradient,
            std::int32_t RTFColor, std::int32_t lDirection) {
    const std::optional<QVariant> scaleMode = ui::GetProperty(obj, "ScaleMode");
    if (!scaleMode) return false;
    std::int32_t background = BackGroundColor;
    if (background == kColorNotGiven) background = ui::GetProperty(obj, "BackColor").value_or(QVariant(0)).toInt();
    const std::int32_t secondGradient = BackColorToGradient == kColorNotGiven ? 0xFFFFFF : BackColorToGradient;
    const std::int32_t tabGradient = ButtonTabColorGradient == kColorNotGiven ? 0xFFFFFF : ButtonTabColorGradient;
    ShowFormColor(obj, background);
    SetSSTabGradients(obj, ButtonTabColor, tabGradient, lDirection);
    if (RTFColor != kColorNotGiven) ShowDisplayColor(obj, RTFColor);
    GradientFillForm(obj, background, secondGradient);
    ShowButtonTabColor(obj, ButtonTabColor);
    ShowButtonTabTextColor(obj, ButtonTabTextColor);
    SetProperty(obj, "ScaleMode", *scaleMode);
    return true;
}

void GradientFillForm(QObject* window, std::int32_t top, std::int32_t bottom) {
    auto* form = qobject_cast<ui::Form*>(window);
    if (!form) return;
    form->SetScaleMode(3);
    form->SetBackgroundGradient(top, bottom);
}

void SetSSTabGradients(QObject* window, std::int32_t tabColor, std::int32_t tabGradientColor, std::int32_t direction) {
    for (QObject* c : Controls(window)) {
        if (!IsType(c, "SSTab")) continue;
        SetMyStyle(c, kStyleGradient);
        SetMyGradientDir(c, direction);
        SetMyGradientColor1(c, tabColor);
        SetMyGradientColor2(c, tabGradientColor);
        HookSSTab(c);
        if (auto* w = qobject_cast<QWidget*>(c)) w->update();
    }
}

void ShowButtonTabColor(QObject* Cntrl, std::int32_t NewColor) {
    for (QObject* c : Controls(Cntrl)) {
        if (IsButton(c)) {
            SetProperty(c, "BackColor", NewColor);
            SetProperty(c, "MaskColor", NewColor);
            SetProperty(c, "BackColorFocus", NewColor);
            if (NewColor <= std::numeric_limits<std::int32_t>::max() - 100) SetProperty(c, "BackColorOver", NewColor + 100);
            SetProperty(c, "BackColorDown", 0x40C0);
            SetProperty(c, "BackColorDisabled", 0xC0C0C0);
            SetProperty(c, "MaskColor", 0xFF00FF);
            SetProperty(c, "ToolTipStyle", 1);
            SetProperty(c, "Appearance", 9);
            SetProperty(c, "AppearanceThemes", 1);
            SetProperty(c, "GradientType", 3);
        } else if (IsType(c, "Label")) {
            MakeTransparent(c);
        }
    }
}

void ShowButtonTabTextColor(QObject* Cntrl, std::int32_t NewColor) {
    for (QObject* c : Controls(Cntrl)) {
        if (IsType(c, "Label")) {
            MakeTransparent(c);
        } else if (IsButton(c) || IsType(c, "SSTab")) {
            SetProperty(c, "ForeColor", NewColor);
            SetProperty(c, "ForeColorFocus", NewColor);
        }
    }
}

void ShowFormColor(QObject* objForm, std::int32_t NewColor) {
    SetProperty(objForm, "BackColor", NewColor);
    const std::vector<QObject*> controls = Controls(objForm);
    for (QObject* c : controls) {
        if (IsType(c, "CheckBox")) {
            SizeIndicatorControl(c, 190, 110);
        } else if (IsType(c, "OptionButton")) {
            SizeIndicatorControl(c, 190, 90);
        } else if (IsType(c, "Label")) {
            MakeTransparent(c);
        }
    }
    for (QObject* c : controls) {
        if (!IsType(c, "Frame") && !IsType(c, "PictureBox") && !IsType(c, "OptionButton") && !IsType(c, "CheckBox"))
            continue;
        if (ui::GetProperty(c, "Tag").value_or(QVariant()).toString() == QLatin1String("NoChange")) continue;
        SetProperty(c, "BackColor", NewColor);
    }
}

void ShowDisplayColor(QObject* obj, std::int32_t NewColor) {
    for (QObject* c : Controls(obj)) {
        if (IsType(c, "MSHFlexGrid"))
            SetProperty(c, "BackColorBkg", NewColor);
        else if (IsType(c, "RichTextBox") || IsType(c, "ListBox") || IsType(c, "ListView"))
            SetProperty(c, "BackColor", NewColor);
        else if (IsType(c, "TreeView"))
            SetTreeViewBackColor(obj, NewColor);
    }
}

void SetTreeViewBackColor(QObject* Cntrl, std::int32_t BackColor) {
    for (QObject* c : Controls(Cntrl)) {
        if (!IsType(c, "TreeView")) continue;
        if (auto* tree = qobject_cast<ui::TreeView*>(c)) tree->SetNodesBackColor(BackColor);
        SetProperty(c, "BackColor", BackColor);
    }
}

void SetListViewBackColor(QObject* Cntrl, std::int32_t BackColor) {
    for (QObject* c : Controls(Cntrl))
        if (IsType(c, "ListView")) SetProperty(c, "BackColor", BackColor);
}

}  // namespace tovcore::detail
