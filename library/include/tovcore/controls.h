// The control layer: thin Qt widgets for the control types that the library's window routines and
// the program's windows work with. Each control
//   - carries the type name of the control it stands for ("CommandButton", "Label", "SSTab", ...),
//     read with TypeName();
//   - exposes, as Qt properties under their usual names, the properties that routines reach by
//     name (Left, Top, Width, Height, BackColor, ForeColor, Tag, Enabled, Visible, Caption or Text,
//     ...), so a routine that walks a window's controls looks a property up by name with
//     GetProperty()/SetProperty() and passes over a control that lacks it;
//   - joins the Controls collection of its form (creation order, menu items included).
//
// Units and colours at this edge:
//   - every length is in twips (15 twips to a pixel at 96 dots per inch). A value that was set
//     reads back exactly as long as the widget keeps the pixel geometry it was given;
//   - every colour is a Windows colour value: &H00BBGGRR, or a system colour &H800000nn whose low
//     bits index the system colour table, shown through the palette role that stands for it.
//
// A control is made with its container (a Form, a Frame, a PictureBox or an SSTab), its name and,
// for an element of a control array, its index:
//     auto* form = new tovcore::ui::Form("frmMain");
//     auto* ok = new tovcore::ui::MyButton(form, "cmdOk");
//     auto* log = new tovcore::ui::CheckBox(form, "chkLog", 0);
//     ok->Move(120, 3000, 1215, 495);
//     ok->SetCaption("&Ok");
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTreeView>
#include <QTreeWidget>
#include <QVariant>
#include <QWidget>

#include <tovcore/Export.h>

class QMenu;
class QMenuBar;
class QStandardItemModel;

namespace tovcore::ui {

// ---- units -------------------------------------------------------------------------------------
inline constexpr int kTwipsPerPixel = 15;
// Twips to whole pixels, rounded to the nearest (halves to even).
TOVCORE_EXPORT int TwipsToPixels(double twips);
TOVCORE_EXPORT int PixelsToTwips(int pixels);

// ---- colours -----------------------------------------------------------------------------------
inline constexpr std::int32_t SystemColor(int index) {
    return static_cast<std::int32_t>(0x80000000u | static_cast<unsigned>(index));
}
inline constexpr std::int32_t vbApplicationWorkspace = SystemColor(12);
inline constexpr std::int32_t vbHighlight = SystemColor(13);
inline constexpr std::int32_t vbButtonFace = SystemColor(15);
inline constexpr std::int32_t vbButtonText = SystemColor(18);
inline constexpr std::int32_t vbWindowBackground = SystemColor(5);
inline constexpr std::int32_t vbWindowText = SystemColor(8);
inline constexpr std::int32_t vbGrayText = SystemColor(17);

// A value with the top bit set is a system colour.
TOVCORE_EXPORT bool IsSystemColor(std::int32_t color);
// The palette role (and group) that shows system colour `index`.
TOVCORE_EXPORT QPalette::ColorRole SystemColorRole(int index);
// A system colour becomes the current RGB value (&H00BBGGRR) of its palette role (0 for an index
// outside the table); any other value is returned unchanged.
TOVCORE_EXPORT std::int32_t TranslateColor(std::int32_t color);
// Windows colour value <-> QColor (system colours translated first; the high byte of a plain
// value is ignored).
TOVCORE_EXPORT QColor ToQColor(std::int32_t color);
TOVCORE_EXPORT std::int32_t FromQColor(const QColor& color);

// ---- late binding ------------------------------------------------------------------------------
// The control's type name: the "TypeName" class info of its class (the most derived one that has
// one), else its Qt class name; "" for no object.
TOVCORE_EXPORT QString TypeName(const QObject* obj);
// Whether the object's class declares the property (dynamic properties do not count).
TOVCORE_EXPORT bool HasProperty(const QObject* obj, const char* name);
// The value of a declared property, or nothing when the object lacks it.
TOVCORE_EXPORT std::optional<QVariant> GetProperty(const QObject* obj, const char* name);
// Writes a declared, writable property; false (and nothing changed) when the object lacks it or
// the value does not convert.
TOVCORE_EXPORT bool SetProperty(QObject* obj, const char* name, const QVariant& value);

class Form;
// The window's Controls collection, in creation order (menu items included); empty when the
// object is not a Form.
TOVCORE_EXPORT std::vector<QObject*> Controls(const QObject* window);
// The form a control belongs to (the object itself when it is a form), or null.
TOVCORE_EXPORT Form* FormOf(const QObject* obj);
// The widget that a control made with `container` goes into: a form's client area, else the
// container itself.
TOVCORE_EXPORT QWidget* ClientOf(QWidget* container);

// ---- the properties every widget control has -------------------------------------------------
// (Declared in each control class through this macro; the accessors come from ControlBase.)
#define TOVCORE_CONTROL_PROPERTIES                                                  \
    Q_PROPERTY(QString Name READ Name)                                              \
    Q_PROPERTY(int Index READ Index)                                                \
    Q_PROPERTY(QString Tag READ Tag WRITE SetTag)                                   \
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)                          \
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)                          \
    Q_PROPERTY(int Left READ Left WRITE SetLeft)                                    \
    Q_PROPERTY(int Top READ Top WRITE SetTop)                                       \
    Q_PROPERTY(int Width READ Width WRITE SetWidth)                                 \
    Q_PROPERTY(int Height READ Height WRITE SetHeight)                              \
    Q_PROPERTY(int BackColor READ BackColor WRITE SetBackColor)                     \
    Q_PROPERTY(int ForeColor READ ForeColor WRITE SetForeColor)                     \
    Q_PROPERTY(QObject* Container READ Container)

// One length of a widget in twips, remembered with the pixel value it was turned into, so that a
// set value reads back exactly while the widget keeps that pixel value.
struct TOVCORE_EXPORT TwipsLength {
    int twips = 0;
    int pixels = 0;
    bool set = false;
    int Read(int currentPixels) const { return set && currentPixels == pixels ? twips : currentPixels * kTwipsPerPixel; }
    int Write(int value);  // returns the pixel value
};

// Twips geometry of a widget, relative to its parent widget.
class TOVCORE_EXPORT TwipsGeometry {
public:
    explicit TwipsGeometry(QWidget* widget) : widget_(widget) {}
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int v);
    void SetTop(int v);
    void SetWidth(int v);
    void SetHeight(int v);
    void Move(int left, int top, int width, int height);

private:
    QWidget* widget_;
    TwipsLength left_, top_, width_, height_;
};

class TOVCORE_EXPORT ControlBase {
public:
    virtual ~ControlBase();
    ControlBase(const ControlBase&) = delete;
    ControlBase& operator=(const ControlBase&) = delete;

    QString Name() const;
    int Index() const { return index_; }  // -1: not an element of a control array
    QString Tag() const { return tag_; }
    void SetTag(const QString& tag) { tag_ = tag; }
    // The control's own enabled state (a disabled container does not change it).
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // The control's own visibility (a hidden form does not change it).
    bool Visible() const;
    void SetVisible(bool visible);
    int Left() const { return geometry_.Left(); }
    int Top() const { return geometry_.Top(); }
    int Width() const { return geometry_.Width(); }
    int Height() const { return geometry_.Height(); }
    void SetLeft(int v) { geometry_.SetLeft(v); }
    void SetTop(int v) { geometry_.SetTop(v); }
    void SetWidth(int v) { geometry_.SetWidth(v); }
    void SetHeight(int v) { geometry_.SetHeight(v); }
    void Move(int left, int top, int width, int height) { geometry_.Move(left, top, width, height); }
    std::int32_t BackColor() const { return backColor_; }
    void SetBackColor(std::int32_t color);
    std::int32_t ForeColor() const { return foreColor_; }
    void SetForeColor(std::int32_t color);
    // The form or control that holds this one.
    QObject* Container() const;
    QWidget* Widget() const { return self_; }

protected:
    // `self` is the widget that is this control; it is moved into the form's client area when its
    // parent is a Form, and joins the form's Controls collection and, on an SSTab, the tab shown.
    ControlBase(QWidget* self, const QString& name, int index, std::int32_t backColor, std::int32_t foreColor);
    // Shows BackColor and ForeColor; the default sets the palette roles below.
    virtual void ApplyColors();
    QPalette::ColorRole backRole_ = QPalette::Window;
    QPalette::ColorRole foreRole_ = QPalette::WindowText;
    bool fillBackground_ = true;  // the widget paints its BackColor behind its content

private:
    QWidget* self_;
    int index_;
    QString tag_;
    std::int32_t backColor_;
    std::int32_t foreColor_;
    TwipsGeometry geometry_;
};

// ---- form --------------------------------------------------------------------------------------
// A window. Its controls live in its client area (below the menu bar when it has menus); its
// background is BackColor, or the two-colour gradient that skinning gives it.
class TOVCORE_EXPORT Form : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "Form")
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(QString Tag READ Tag WRITE SetTag)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int ScaleWidth READ ScaleWidth)
    Q_PROPERTY(int ScaleHeight READ ScaleHeight)
    Q_PROPERTY(int ScaleMode READ ScaleMode WRITE SetScaleMode)
    Q_PROPERTY(int WindowState READ WindowState WRITE SetWindowState)
    Q_PROPERTY(int BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE SetForeColor)

public:
    explicit Form(const QString& name, QWidget* parent = nullptr);
    ~Form() override;

    QString Name() const { return objectName(); }
    QString Tag() const { return tag_; }
    void SetTag(const QString& tag) { tag_ = tag; }
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& caption) { setWindowTitle(caption); }
    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool visible) { setVisible(visible); }
    // Outer measures (the frame included once the window system has framed the window).
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int v);
    void SetTop(int v);
    void SetWidth(int v);
    void SetHeight(int v);
    void Move(int left, int top, int width, int height);
    // Inner measures: the client area where the controls lie.
    int ScaleWidth() const;
    int ScaleHeight() const;
    // Kept for the routines that save and restore it; every measure of this layer is in twips
    // whatever its value.
    int ScaleMode() const { return scaleMode_; }
    void SetScaleMode(int mode) { scaleMode_ = mode; }
    // 0 normal, 1 minimised, 2 maximised.
    int WindowState() const;
    void SetWindowState(int state);
    std::int32_t BackColor() const { return backColor_; }
    void SetBackColor(std::int32_t color);
    std::int32_t ForeColor() const { return foreColor_; }
    void SetForeColor(std::int32_t color) { foreColor_ = color; }

    // The Controls collection, in creation order.
    std::vector<QObject*> Controls() const;
    // Called by the controls as they are made.
    void AddControl(QObject* control);
    // The widget that holds the controls.
    QWidget* Client() const { return client_; }
    // The menu bar, made when the first top-level menu is.
    QMenuBar* MenuBar();

    // Background gradient from `top` to `bottom` (Windows colour values, system colours
    // translated), drawn at every paint until cleared.
    void SetBackgroundGradient(std::int32_t top, std::int32_t bottom);
    void ClearBackgroundGradient();
    bool HasBackgroundGradient() const { return gradient_; }

    // Shows the form modally (application-modal) and returns when it has been hidden or closed.
    void ShowModal();
    // Closes the form as code does: FormQueryUnload and FormUnload run with mode 1 and may keep it.
    bool Unload();

    // What screen readers announce the form as: a window (the default, also for a form laid
    // inside another window), a dialog, or an alert.
    QAccessible::Role AccessibleRole() const { return accessibleRole_; }
    void SetAccessibleRole(QAccessible::Role role) { accessibleRole_ = role; }

signals:
    void FormShown();
    void FormResized();
    // UnloadMode 0: closed by the user through the window's close command; 1: by Unload().
    // Setting Cancel to a non-zero value keeps the form open.
    void FormQueryUnload(int& Cancel, int UnloadMode);
    void FormUnload(int& Cancel);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A form shown inside another window is named by its caption (a window by its title bar).
    void changeEvent(QEvent* event) override;

private:
    friend class FormClient;
    void PaintBackground(QWidget* on);
    void LayoutClient();
    void AwaitFrame();
    void TakeFrameIntoAccount();
    QWidget* client_;
    QMenuBar* menuBar_ = nullptr;
    QString tag_;
    int scaleMode_ = 1;
    std::int32_t backColor_ = vbButtonFace;
    std::int32_t foreColor_ = vbButtonText;
    bool gradient_ = false;
    QColor gradientTop_, gradientBottom_;
    std::vector<QPointer<QObject>> controls_;
    TwipsLength left_, top_, width_, height_;
    // The outer size was set before the window had its frame: the inner size it was given then.
    bool frameAwaited_ = false;
    QSize awaitedInner_;
    int unloadMode_ = 0;
    QAccessible::Role accessibleRole_ = QAccessible::Window;
    class QEventLoop* modalLoop_ = nullptr;
};

// ---- controls ----------------------------------------------------------------------------------
// A label. BackStyle 0 is transparent (the background shows through), 1 opaque. Its caption is
// plain text: "&" and "<" show as they are. With AutoSize it takes the size of its text.
class TOVCORE_EXPORT Label : public QLabel, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "Label")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE SetBackStyle)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)

public:
    Label(QWidget* container, const QString& name, int index = -1);
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);
    int Alignment() const { return alignment_; }  // 0 left, 1 right, 2 centred
    void SetAlignment(int alignment);
    int BackStyle() const { return backStyle_; }
    void SetBackStyle(int style);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    bool WordWrap() const { return wordWrap(); }
    void SetWordWrap(bool on);

protected:
    void ApplyColors() override;

private:
    void FitToText();
    int alignment_ = 0;
    int backStyle_ = 1;
    bool autoSize_ = false;
};

// The standard command button.
class TOVCORE_EXPORT CommandButton : public QPushButton, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "CommandButton")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    CommandButton(QWidget* container, const QString& name, int index = -1);
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
};

// The gradient command button "MyButton", with its own colour set: BackColor (normal),
// BackColorFocus, BackColorOver (mouse over), BackColorDown (pressed), BackColorDisabled,
// ForeColor and ForeColorFocus. GradientType 0 paints flat; any other value shades each colour
// from light at the top to the colour at the bottom.
class TOVCORE_EXPORT MyButton : public CommandButton {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "MyButton")
    Q_PROPERTY(int MaskColor READ MaskColor WRITE SetMaskColor)
    Q_PROPERTY(int BackColorFocus READ BackColorFocus WRITE SetBackColorFocus)
    Q_PROPERTY(int BackColorOver READ BackColorOver WRITE SetBackColorOver)
    Q_PROPERTY(int BackColorDown READ BackColorDown WRITE SetBackColorDown)
    Q_PROPERTY(int BackColorDisabled READ BackColorDisabled WRITE SetBackColorDisabled)
    Q_PROPERTY(int ForeColorFocus READ ForeColorFocus WRITE SetForeColorFocus)
    Q_PROPERTY(int ToolTipStyle READ ToolTipStyle WRITE SetToolTipStyle)
    Q_PROPERTY(int Appearance READ Appearance WRITE SetAppearance)
    Q_PROPERTY(int AppearanceThemes READ AppearanceThemes WRITE SetAppearanceThemes)
    Q_PROPERTY(int GradientType READ GradientType WRITE SetGradientType)

public:
    MyButton(QWidget* container, const QString& name, int index = -1);
    std::int32_t MaskColor() const { return maskColor_; }
    void SetMaskColor(std::int32_t c) { maskColor_ = c; }
    std::int32_t BackColorFocus() const { return backFocus_; }
    void SetBackColorFocus(std::int32_t c) { backFocus_ = c; update(); }
    std::int32_t BackColorOver() const { return backOver_; }
    void SetBackColorOver(std::int32_t c) { backOver_ = c; update(); }
    std::int32_t BackColorDown() const { return backDown_; }
    void SetBackColorDown(std::int32_t c) { backDown_ = c; update(); }
    std::int32_t BackColorDisabled() const { return backDisabled_; }
    void SetBackColorDisabled(std::int32_t c) { backDisabled_ = c; update(); }
    std::int32_t ForeColorFocus() const { return foreFocus_; }
    void SetForeColorFocus(std::int32_t c) { foreFocus_ = c; update(); }
    int ToolTipStyle() const { return toolTipStyle_; }
    void SetToolTipStyle(int v) { toolTipStyle_ = v; }
    int Appearance() const { return appearance_; }
    void SetAppearance(int v) { appearance_ = v; update(); }
    int AppearanceThemes() const { return appearanceThemes_; }
    void SetAppearanceThemes(int v) { appearanceThemes_ = v; }
    int GradientType() const { return gradientType_; }
    void SetGradientType(int v) { gradientType_ = v; update(); }

    // The face colour for the button's present state (Windows colour value).
    std::int32_t FaceColor() const;

protected:
    void ApplyColors() override { update(); }
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::int32_t maskColor_ = 0xFF00FF;
    std::int32_t backFocus_ = vbButtonFace;
    std::int32_t backOver_ = vbButtonFace;
    std::int32_t backDown_ = vbButtonFace;
    std::int32_t backDisabled_ = vbButtonFace;
    std::int32_t foreFocus_ = vbButtonText;
    int toolTipStyle_ = 0;
    int appearance_ = 0;
    int appearanceThemes_ = 0;
    int gradientType_ = 0;
    bool hovered_ = false;
};

// A single-line text box. Locked makes it read-only.
class TOVCORE_EXPORT TextBox : public QLineEdit, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "TextBox")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(bool Locked READ Locked WRITE SetLocked)

public:
    TextBox(QWidget* container, const QString& name, int index = -1);
    QString Text() const { return text(); }
    void SetText(const QString& t) { setText(t); }
    bool Locked() const { return isReadOnly(); }
    void SetLocked(bool on) { setReadOnly(on); }
};

// A check box. Value 0 unchecked, 1 checked, 2 greyed; Click is raised whenever Value changes,
// by the user or by code.
class TOVCORE_EXPORT CheckBox : public QCheckBox, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "CheckBox")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Value READ Value WRITE SetValue)

public:
    CheckBox(QWidget* container, const QString& name, int index = -1);
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    int Value() const;
    void SetValue(int value);

signals:
    void Click();
};

// An option button. Value true when chosen; Click is raised when it becomes chosen.
class TOVCORE_EXPORT OptionButton : public QRadioButton, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "OptionButton")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Value READ Value WRITE SetValue)

public:
    OptionButton(QWidget* container, const QString& name, int index = -1);
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    bool Value() const { return isChecked(); }
    void SetValue(bool on) { setChecked(on); }

signals:
    void Click();
};

// A frame: a captioned container. BorderStyle 1 (the default) draws its border and caption;
// 0 draws neither and leaves no margin: a container that only groups, showing its BackColor.
class TOVCORE_EXPORT Frame : public QGroupBox, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "Frame")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE SetBorderStyle)

public:
    Frame(QWidget* container, const QString& name, int index = -1);
    QString Caption() const { return title(); }
    void SetCaption(const QString& caption);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void DropMargins();
    int borderStyle_ = 1;
};

// A picture box: a plain container that shows its BackColor and, when given, a picture. Screen
// readers meet it as a pane (a picture, when it shows one and holds no controls), never as a
// window.
class TOVCORE_EXPORT PictureBox : public QFrame, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "PictureBox")
    TOVCORE_CONTROL_PROPERTIES

public:
    PictureBox(QWidget* container, const QString& name, int index = -1);
    void SetPicture(const QPixmap& picture);
    bool HasPicture() const { return !picture_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

class TOVCORE_EXPORT ComboBox : public QComboBox, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "ComboBox")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE SetListIndex)
    Q_PROPERTY(int ListCount READ ListCount)

public:
    ComboBox(QWidget* container, const QString& name, int index = -1);
    QString Text() const { return currentText(); }
    void SetText(const QString& t);
    int ListIndex() const { return currentIndex(); }
    void SetListIndex(int i) { setCurrentIndex(i); }
    int ListCount() const { return count(); }
};

class TOVCORE_EXPORT ListBox : public QListWidget, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "ListBox")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(QString Text READ Text)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE SetListIndex)
    Q_PROPERTY(int ListCount READ ListCount)

public:
    ListBox(QWidget* container, const QString& name, int index = -1);
    QString Text() const;
    int ListIndex() const { return currentRow(); }
    void SetListIndex(int i) { setCurrentRow(i); }
    int ListCount() const { return count(); }
};

// A list view in report form (rows of columns).
class TOVCORE_EXPORT ListView : public QTreeWidget, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "ListView")
    TOVCORE_CONTROL_PROPERTIES

public:
    ListView(QWidget* container, const QString& name, int index = -1);
};

// A tree view. It shows a model (by default its own item model); its nodes' back colour is the
// model's background role.
class TOVCORE_EXPORT TreeView : public QTreeView, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "TreeView")
    TOVCORE_CONTROL_PROPERTIES

public:
    TreeView(QWidget* container, const QString& name, int index = -1);
    // The view's own model (null once another model has been set).
    QStandardItemModel* Items() const;
    // Gives every node of the shown model the back colour.
    void SetNodesBackColor(std::int32_t color);

private:
    QStandardItemModel* items_;
};

// A rich-text box used for plain text: Text, Locked, and SelAlignment for the whole text
// (0 left, 1 right, 2 centred).
class TOVCORE_EXPORT RichTextBox : public QTextEdit, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "RichTextBox")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(bool Locked READ Locked WRITE SetLocked)
    Q_PROPERTY(int SelAlignment READ SelAlignment WRITE SetSelAlignment)

public:
    RichTextBox(QWidget* container, const QString& name, int index = -1);
    QString Text() const { return toPlainText(); }
    void SetText(const QString& t);
    bool Locked() const { return isReadOnly(); }
    void SetLocked(bool on) { setReadOnly(on); }
    int SelAlignment() const { return alignment_; }
    void SetSelAlignment(int alignment);

private:
    int alignment_ = 0;
};

// The tab control "SSTab". Its controls are its children; each belongs to one tab (the tab shown
// when it was made, or the one PlaceOnTab gives). The controls of hidden tabs are kept 75000
// twips to the left of their place, so that a routine can tell them by a Left below 0, and are
// hidden meanwhile (they take no focus and screen readers do not meet them), while their Visible
// property keeps the value they are to have on their tab; showing a tab brings its controls back. Setting Tab, by code, by a click on a tab or from the keyboard,
// raises Click(previous tab). The strip holds TabsPerRow tabs a row, each row TabHeight high.
//
// The keyboard works as with desktop tab widgets: Ctrl+Tab and Ctrl+PageDown show the next tab,
// Ctrl+Shift+Tab and Ctrl+PageUp the previous one (both round the end) wherever the focus is inside
// the control; on the focused strip the arrow keys, Home and End move along the tabs. The focus on
// a control of the tab that goes follows to the first control of the tab that comes. Screen
// readers meet the strip as a page-tab list whose page tabs carry their captions and tool tips,
// tell which one is shown and can be pressed to show it.
class TOVCORE_EXPORT SSTab : public QWidget, public ControlBase {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "SSTab")
    TOVCORE_CONTROL_PROPERTIES
    Q_PROPERTY(int Tabs READ Tabs WRITE SetTabs)
    Q_PROPERTY(int Tab READ Tab WRITE SetTab)
    Q_PROPERTY(int TabsPerRow READ TabsPerRow WRITE SetTabsPerRow)
    Q_PROPERTY(int TabHeight READ TabHeight WRITE SetTabHeight)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    static constexpr int kHiddenOffset = 75000;
    // The property that marks a control held hidden for a tab that is not shown (its value: the
    // visibility it takes back on its tab).
    static constexpr const char* kPageHeldProperty = "tovcore_pageHeld";

    SSTab(QWidget* container, const QString& name, int index = -1);
    int Tabs() const { return static_cast<int>(captions_.size()); }
    void SetTabs(int count);
    int Tab() const { return current_; }
    void SetTab(int tab);
    int TabsPerRow() const { return tabsPerRow_; }
    void SetTabsPerRow(int n);
    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int twips);
    // Caption of the tab shown.
    QString Caption() const { return TabCaption(current_); }
    void SetCaption(const QString& caption) { SetTabCaption(current_, caption); }
    QString TabCaption(int tab) const;
    void SetTabCaption(int tab, const QString& caption);
    // A tab's own tool tip, shown over that tab ("" for none).
    QString TabToolTip(int tab) const;
    void SetTabToolTip(int tab, const QString& tip);
    // Moves a control (a child of this tab control) onto a tab.
    void PlaceOnTab(QWidget* control, int tab);
    // The tab a control belongs to, or -1.
    int TabOf(const QWidget* control) const;
    // The strip's area and one tab's rectangle, in pixels.
    int StripHeight() const;
    QRect TabRect(int tab) const;

    // The control's own drawing (tabs, captions and page edges on BackColor).
    void DrawControl(QPainter& painter);

signals:
    void Click(int PreviousTab);

protected:
    void ApplyColors() override { update(); }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class ControlBase;
    // For ControlBase's Visible: whether a control is held hidden for its tab, and its own
    // visibility meanwhile.
    static bool HeldHidden(const QWidget* control);
    static bool HeldVisible(const QWidget* control);
    static void SetHeldVisible(QWidget* control, bool visible);
    void Adopt(QWidget* control);
    void Shift(int tab, int by);
    // Shows the tab `by` tabs along, round the end.
    void Step(int by);
    void FocusTab();
    void AnnounceTab(int tab, bool focus);
    std::vector<QString> captions_;
    std::vector<QString> toolTips_;
    std::vector<std::pair<QPointer<QWidget>, int>> members_;
    int current_ = 0;
    int tabsPerRow_ = 3;
    int tabHeight_ = 375;
};

// A menu item. Top-level items (made with a Form) go into the form's menu bar, others into their
// parent item's menu; a caption of "-" makes a separator. Click is raised when it is chosen.
class TOVCORE_EXPORT Menu : public QAction {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "Menu")
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(int Index READ Index)
    Q_PROPERTY(QString Tag READ Tag WRITE SetTag)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)

public:
    Menu(Form* form, const QString& name, int index = -1);
    Menu(Menu* parent, const QString& name, int index = -1);
    QString Name() const { return objectName(); }
    int Index() const { return index_; }
    QString Tag() const { return tag_; }
    void SetTag(const QString& tag) { tag_ = tag; }
    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on) { setEnabled(on); }
    bool Visible() const { return isVisible(); }
    void SetVisible(bool on) { setVisible(on); }
    bool Checked() const { return isChecked(); }
    void SetChecked(bool on);
    // The menu of this item's sub-items (made on first use).
    QMenu* SubMenu();

signals:
    void Click();

private:
    void Init(const QString& name, int index);
    int index_ = -1;
    QString tag_;
    QMenu* subMenu_ = nullptr;
};

}  // namespace tovcore::ui
