// The control layer: units, colours, property lookup by name, and the simple controls.
#include <tovcore/controls.h>

#include "library/window/accessible.h"

#include <cmath>

#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMetaProperty>
#include <QPainter>
#include <QStandardItemModel>
#include <QTextBlock>
#include <QTextCursor>

namespace tovcore::ui {

// ---- units -------------------------------------------------------------------------------------
int TwipsToPixels(double twips) { return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel)); }
int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

int TwipsLength::Write(int value) {
    twips = value;
    pixels = TwipsToPixels(value);
    set = true;
    return pixels;
}

// ---- colours -----------------------------------------------------------------------------------
namespace {

struct SystemColorEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The system colour table by index, as palette roles.
constexpr SystemColorEntry kSystemColors[] = {
    {QPalette::Active, QPalette::Mid},              // 0 scroll bars
    {QPalette::Active, QPalette::Dark},             // 1 desktop
    {QPalette::Active, QPalette::Highlight},        // 2 active caption
    {QPalette::Inactive, QPalette::Mid},            // 3 inactive caption
    {QPalette::Active, QPalette::Window},           // 4 menu
    {QPalette::Active, QPalette::Base},             // 5 window background
    {QPalette::Active, QPalette::Shadow},           // 6 window frame
    {QPalette::Active, QPalette::WindowText},       // 7 menu text
    {QPalette::Active, QPalette::Text},             // 8 window text
    {QPalette::Active, QPalette::HighlightedText},  // 9 caption text
    {QPalette::Active, QPalette::Button},           // 10 active border
    {QPalette::Inactive, QPalette::Button},         // 11 inactive border
    {QPalette::Active, QPalette::Dark},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},        // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},  // 14 highlight text
    {QPalette::Active, QPalette::Button},           // 15 button face
    {QPalette::Active, QPalette::Dark},             // 16 button shadow
    {QPalette::Disabled, QPalette::Text},           // 17 grey text
    {QPalette::Active, QPalette::ButtonText},       // 18 button text
    {QPalette::Inactive, QPalette::WindowText},     // 19 inactive caption text
    {QPalette::Active, QPalette::Light},            // 20 button highlight
    {QPalette::Active, QPalette::Shadow},           // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},         // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},      // 23 tool-tip text
    {QPalette::Active, QPalette::ToolTipBase},      // 24 tool-tip background
};
constexpr int kSystemColorCount = static_cast<int>(sizeof(kSystemColors) / sizeof(kSystemColors[0]));

QPalette CurrentPalette() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return QGuiApplication::palette();
    return QPalette(Qt::lightGray);
}

}  // namespace

bool IsSystemColor(std::int32_t color) { return color < 0; }

QPalette::ColorRole SystemColorRole(int index) {
    if (index < 0 || index >= kSystemColorCount) return QPalette::NoRole;
    return kSystemColors[index].role;
}

std::int32_t TranslateColor(std::int32_t color) {
    if (!IsSystemColor(color)) return color;
    const int index = static_cast<int>(static_cast<std::uint32_t>(color) & 0x7FFFFFFFu);
    if (index < 0 || index >= kSystemColorCount) return 0;
    const SystemColorEntry& e = kSystemColors[index];
    return FromQColor(CurrentPalette().color(e.group, e.role));
}

QColor ToQColor(std::int32_t color) {
    const std::uint32_t v = static_cast<std::uint32_t>(TranslateColor(color));
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

std::int32_t FromQColor(const QColor& color) {
    const QColor c = color.toRgb();
    return static_cast<std::int32_t>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

// ---- late binding ------------------------------------------------------------------------------
QString TypeName(const QObject* obj) {
    if (!obj) return QString();
    const QMetaObject* mo = obj->metaObject();
    const int i = mo->indexOfClassInfo("TypeName");
    if (i >= 0) return QString::fromLatin1(mo->classInfo(i).value());
    return QString::fromLatin1(mo->className());
}

bool HasProperty(const QObject* obj, const char* name) {
    return obj && name && obj->metaObject()->indexOfProperty(name) >= 0;
}

std::optional<QVariant> GetProperty(const QObject* obj, const char* name) {
    if (!HasProperty(obj, name)) return std::nullopt;
    const QMetaProperty p = obj->metaObject()->property(obj->metaObject()->indexOfProperty(name));
    if (!p.isReadable()) return std::nullopt;
    return p.read(obj);
}

bool SetProperty(QObject* obj, const char* name, const QVariant& value) {
    if (!HasProperty(obj, name)) return false;
    const QMetaProperty p = obj->metaObject()->property(obj->metaObject()->indexOfProperty(name));
    if (!p.isWritable()) return false;
    QVariant v = value;
    if (!v.convert(p.metaType())) return false;
    return p.write(obj, v);
}

std::vector<QObject*> Controls(const QObject* window) {
    if (const auto* form = qobject_cast<const Form*>(window)) return form->Controls();
    return {};
}

Form* FormOf(const QObject* obj) {
    for (QObject* o = const_cast<QObject*>(obj); o; o = o->parent())
        if (auto* form = qobject_cast<Form*>(o)) return form;
    return nullptr;
}

QWidget* ClientOf(QWidget* container) {
    if (auto* form = qobject_cast<Form*>(container)) return form->Client();
    return container;
}

// ---- geometry in twips ---------------------------------------------------------------------------
int TwipsGeometry::Left() const { return left_.Read(widget_->x()); }
int TwipsGeometry::Top() const { return top_.Read(widget_->y()); }
int TwipsGeometry::Width() const { return width_.Read(widget_->width()); }
int TwipsGeometry::Height() const { return height_.Read(widget_->height()); }
void TwipsGeometry::SetLeft(int v) { widget_->move(left_.Write(v), widget_->y()); }
void TwipsGeometry::SetTop(int v) { widget_->move(widget_->x(), top_.Write(v)); }
void TwipsGeometry::SetWidth(int v) { widget_->resize(std::max(0, width_.Write(v)), widget_->height()); }
void TwipsGeometry::SetHeight(int v) { widget_->resize(widget_->width(), std::max(0, height_.Write(v))); }
void TwipsGeometry::Move(int left, int top, int width, int height) {
    const int x = left_.Write(left), y = top_.Write(top);
    const int w = std::max(0, width_.Write(width)), h = std::max(0, height_.Write(height));
    widget_->setGeometry(x, y, w, h);
}

// ---- ControlBase ---------------------------------------------------------------------------------
ControlBase::ControlBase(QWidget* self, const QString& name, int index, std::int32_t backColor,
                         std::int32_t foreColor)
    : self_(self), index_(index), backColor_(backColor), foreColor_(foreColor), geometry_(self) {
    self->setObjectName(name);
    if (Form* form = FormOf(self)) form->AddControl(self);
    if (auto* tab = qobject_cast<SSTab*>(self->parentWidget())) tab->Adopt(self);
}

ControlBase::~ControlBase() = default;

QString ControlBase::Name() const { return self_->objectName(); }
bool ControlBase::Enabled() const { return !self_->testAttribute(Qt::WA_ForceDisabled); }
void ControlBase::SetEnabled(bool enabled) { self_->setEnabled(enabled); }
bool ControlBase::Visible() const {
    if (SSTab::HeldHidden(self_)) return SSTab::HeldVisible(self_);
    return !self_->isHidden();
}

void ControlBase::SetVisible(bool visible) {
    // A control of a tab that is not shown takes the value for when its tab is.
    if (SSTab::HeldHidden(self_))
        SSTab::SetHeldVisible(self_, visible);
    else
        self_->setVisible(visible);
}

void ControlBase::SetBackColor(std::int32_t color) {
    backColor_ = color;
    ApplyColors();
}

void ControlBase::SetForeColor(std::int32_t color) {
    foreColor_ = color;
    ApplyColors();
}

QObject* ControlBase::Container() const {
    for (QWidget* w = self_->parentWidget(); w; w = w->parentWidget()) {
        if (auto* form = qobject_cast<Form*>(w)) return form;
        if (dynamic_cast<ControlBase*>(w)) return w;
    }
    return nullptr;
}

void ControlBase::ApplyColors() {
    QPalette p = self_->palette();
    p.setColor(backRole_, ToQColor(backColor_));
    p.setColor(foreRole_, ToQColor(foreColor_));
    self_->setPalette(p);
    // A widget fills with its background role, which some (check boxes, option buttons) take
    // from the button colours: the role that holds BackColor is the one to fill with.
    if (fillBackground_) self_->setBackgroundRole(backRole_);
    self_->setAutoFillBackground(fillBackground_);
    self_->update();
}

// ---- Label -------------------------------------------------------------------------------------
Label::Label(QWidget* container, const QString& name, int index)
    : QLabel(ClientOf(container)), ControlBase(this, name, index, vbButtonFace, vbButtonText) {
    setTextFormat(Qt::PlainText);
    SetAlignment(0);
    ApplyColors();
}

void Label::SetCaption(const QString& caption) {
    setText(caption);
    if (autoSize_) FitToText();
}

void Label::SetAlignment(int alignment) {
    alignment_ = alignment;
    const Qt::Alignment h = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    setAlignment(h | Qt::AlignTop);
}

void Label::SetBackStyle(int style) {
    backStyle_ = style;
    ApplyColors();
}

void Label::SetAutoSize(bool on) {
    autoSize_ = on;
    if (on) FitToText();
}

void Label::SetWordWrap(bool on) {
    setWordWrap(on);
    if (autoSize_) FitToText();
}

void Label::FitToText() {
    const QSize hint = wordWrap() ? QSize(width(), heightForWidth(width())) : sizeHint();
    SetWidth(PixelsToTwips(hint.width()));
    SetHeight(PixelsToTwips(hint.height()));
}

void Label::ApplyColors() {
    fillBackground_ = backStyle_ != 0;
    ControlBase::ApplyColors();
}

// ---- CommandButton -------------------------------------------------------------------------------
CommandButton::CommandButton(QWidget* container, const QString& name, int index)
    : QPushButton(ClientOf(container)), ControlBase(this, name, index, vbButtonFace, vbButtonText) {
    backRole_ = QPalette::Button;
    foreRole_ = QPalette::ButtonText;
    fillBackground_ = false;
    setAutoDefault(true);  // Enter presses the button that has the focus
    ApplyColors();
}

// ---- TextBox -------------------------------------------------------------------------------------
TextBox::TextBox(QWidget* container, const QString& name, int index)
    : QLineEdit(ClientOf(container)), ControlBase(this, name, index, vbWindowBackground, vbWindowText) {
    backRole_ = QPalette::Base;
    foreRole_ = QPalette::Text;
    fillBackground_ = false;
    ApplyColors();
}

// ---- CheckBox, OptionButton ----------------------------------------------------------------------
CheckBox::CheckBox(QWidget* container, const QString& name, int index)
    : QCheckBox(ClientOf(container)), ControlBase(this, name, index, vbButtonFace, vbButtonText) {
    connect(this, &QCheckBox::stateChanged, this, [this](int) { emit Click(); });
    ApplyColors();
}

int CheckBox::Value() const {
    switch (checkState()) {
        case Qt::Checked: return 1;
        case Qt::PartiallyChecked: return 2;
        default: return 0;
    }
}

void CheckBox::SetValue(int value) {
    if (value == 2) setTristate(true);
    setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

OptionButton::OptionButton(QWidget* container, const QString& name, int index)
    : QRadioButton(ClientOf(container)), ControlBase(this, name, index, vbButtonFace, vbButtonText) {
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (on) emit Click();
    });
    ApplyColors();
}

// ---- Frame, PictureBox -----------------------------------------------------------------------------
Frame::Frame(QWidget* container, const QString& name, int index)
    : QGroupBox(ClientOf(container)), ControlBase(this, name, index, vbButtonFace, vbButtonText) {
    ApplyColors();
}

void Frame::SetCaption(const QString& caption) {
    setTitle(caption);
    DropMargins();
}

void Frame::SetBorderStyle(int style) {
    borderStyle_ = style == 0 ? 0 : 1;
    setFlat(borderStyle_ == 0);
    if (borderStyle_ == 0) {
        DropMargins();
    } else {
        // The group box works its margins out again from the style.
        QEvent change(QEvent::StyleChange);
        QGroupBox::changeEvent(&change);
    }
    updateGeometry();
    update();
}

// The group box sets its margins from the style whenever its title, font or style change; a
// frame without a border keeps none.
void Frame::DropMargins() {
    if (borderStyle_ == 0) setContentsMargins(0, 0, 0, 0);
}

void Frame::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) DropMargins();
}

void Frame::paintEvent(QPaintEvent* event) {
    // Without a border only the background shows (filled by the widget itself).
    if (borderStyle_ != 0) QGroupBox::paintEvent(event);
}

PictureBox::PictureBox(QWidget* container, const QString& name, int index)
    : QFrame(ClientOf(container)), ControlBase(this, name, index, vbButtonFace, vbButtonText) {
    detail::InstallAccessibleInterfaces();
    ApplyColors();
}

void PictureBox::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (picture_.isNull()) return;
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

// ---- ComboBox, ListBox, ListView, TreeView, RichTextBox ------------------------------------------------
namespace {
// The controls that show data paint their own background in the base colour.
void UseDataColors(QPalette::ColorRole& back, QPalette::ColorRole& fore, bool& fill) {
    back = QPalette::Base;
    fore = QPalette::Text;
    fill = false;
}
}  // namespace

ComboBox::ComboBox(QWidget* container, const QString& name, int index)
    : QComboBox(ClientOf(container)), ControlBase(this, name, index, vbWindowBackground, vbWindowText) {
    UseDataColors(backRole_, foreRole_, fillBackground_);
    ApplyColors();
}

void ComboBox::SetText(const QString& t) {
    if (isEditable()) {
        setEditText(t);
        return;
    }
    const int i = findText(t);
    if (i >= 0) setCurrentIndex(i);
}

ListBox::ListBox(QWidget* container, const QString& name, int index)
    : QListWidget(ClientOf(container)), ControlBase(this, name, index, vbWindowBackground, vbWindowText) {
    UseDataColors(backRole_, foreRole_, fillBackground_);
    ApplyColors();
}

QString ListBox::Text() const { return currentItem() ? currentItem()->text() : QString(); }

ListView::ListView(QWidget* container, const QString& name, int index)
    : QTreeWidget(ClientOf(container)), ControlBase(this, name, index, vbWindowBackground, vbWindowText) {
    UseDataColors(backRole_, foreRole_, fillBackground_);
    setRootIsDecorated(false);
    ApplyColors();
}

TreeView::TreeView(QWidget* container, const QString& name, int index)
    : QTreeView(ClientOf(container)),
      ControlBase(this, name, index, vbWindowBackground, vbWindowText),
      items_(new QStandardItemModel(this)) {
    UseDataColors(backRole_, foreRole_, fillBackground_);
    setModel(items_);
    setHeaderHidden(true);
    ApplyColors();
}

QStandardItemModel* TreeView::Items() const { return model() == items_ ? items_ : nullptr; }

void TreeView::SetNodesBackColor(std::int32_t color) {
    QAbstractItemModel* m = model();
    if (!m) return;
    const QBrush brush(ToQColor(color));
    std::vector<QModelIndex> pending{QModelIndex()};
    while (!pending.empty()) {
        const QModelIndex parent = pending.back();
        pending.pop_back();
        for (int r = 0; r < m->rowCount(parent); ++r) {
            const QModelIndex node = m->index(r, 0, parent);
            m->setData(node, brush, Qt::BackgroundRole);
            pending.push_back(node);
        }
    }
}

RichTextBox::RichTextBox(QWidget* container, const QString& name, int index)
    : QTextEdit(ClientOf(container)), ControlBase(this, name, index, vbWindowBackground, vbWindowText) {
    UseDataColors(backRole_, foreRole_, fillBackground_);
    setAcceptRichText(false);
    ApplyColors();
}

void RichTextBox::SetText(const QString& t) {
    setPlainText(t);
    SetSelAlignment(alignment_);
}

void RichTextBox::SetSelAlignment(int alignment) {
    alignment_ = alignment;
    const Qt::Alignment a = alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(a);
    cursor.mergeBlockFormat(format);
}

// ---- Menu ----------------------------------------------------------------------------------------
Menu::Menu(Form* form, const QString& name, int index) : QAction(form) {
    Init(name, index);
    form->MenuBar()->addAction(this);
}

Menu::Menu(Menu* parent, const QString& name, int index) : QAction(parent) {
    Init(name, index);
    parent->SubMenu()->addAction(this);
}

void Menu::Init(const QString& name, int index) {
    setObjectName(name);
    index_ = index;
    connect(this, &QAction::triggered, this, [this] { emit Click(); });
    if (Form* form = FormOf(this)) form->AddControl(this);
}

void Menu::SetCaption(const QString& caption) {
    setSeparator(caption == QLatin1String("-"));
    setText(caption);
}

void Menu::SetChecked(bool on) {
    setCheckable(true);
    setChecked(on);
}

QMenu* Menu::SubMenu() {
    if (!subMenu_) {
        subMenu_ = new QMenu(FormOf(this));
        subMenu_->setObjectName(objectName() + QLatin1String("_items"));
        setMenu(subMenu_);
    }
    return subMenu_;
}

}  // namespace tovcore::ui
