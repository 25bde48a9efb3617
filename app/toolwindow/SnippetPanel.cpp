#include "app/toolwindow/SnippetPanel.h"

#include <algorithm>

#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/core/Program.h"
#include "app/language/Language.h"
#include "app/toolwindow/SnippetEditor.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace quillet::toolwindow {

namespace {

// What differs between the two sides' controls.
struct PanelNames {
    const char* comboLabel;
    const char* listLabel;
    const char* caption;
    const char* combo;
    const char* add;
    const char* list;
    const char* edit;
    const char* remove;
};
constexpr PanelNames kNames[] = {
    {"Label1", "Label5", "Pre-Code", "cboPreCode", "cmdAddPreCodecbo", "lstPreCode", "cmdEditPreCode",
     "cmdRemovePreCode"},
    {"Label2", "Label6", "Post-Code", "cboPostCode", "cmdAddPostCodecbo", "lstPostCode", "cmdEditPostCode",
     "cmdRemovePostCode"},
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

SnippetPanel::SnippetPanel(Program& program, SnippetKind kind, QWidget* container, QGridLayout* grid, int row)
    : QObject(container), program_(program), kind_(kind) {
    using namespace tovcore::ui;
    const PanelNames& n = kNames[static_cast<int>(kind)];
    comboLabel_ = new Label(container, n.comboLabel);
    comboLabel_->SetCaption(n.caption);
    comboLabel_->SetBackStyle(0);
    cbo_ = new ComboBox(container, n.combo);
    cbo_->setEditable(true);
    cbo_->setInsertPolicy(QComboBox::NoInsert);
    comboLabel_->setBuddy(cbo_);
    add_ = new MyButton(container, n.add);
    add_->SetCaption("Add");
    listLabel_ = new Label(container, n.listLabel);
    listLabel_->SetCaption(n.caption);
    listLabel_->SetBackStyle(0);
    listLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lst_ = new ListBox(container, n.list);
    listLabel_->setBuddy(lst_);
    edit_ = new MyButton(container, n.edit);
    edit_->SetCaption("Edit");
    remove_ = new MyButton(container, n.remove);
    remove_->SetCaption("Remove");
    // The two sides' buttons read alike; a screen reader tells them apart by the side they act on
    // ("Add Pre-Code", "Remove Post-Code"), their captions staying as they are.
    SetAccessibleActsOn(add_, comboLabel_);
    SetAccessibleActsOn(edit_, listLabel_);
    SetAccessibleActsOn(remove_, listLabel_);

    grid->addWidget(comboLabel_, row, 0);
    grid->addWidget(cbo_, row, 1);
    grid->addWidget(add_, row, 2);
    grid->addWidget(listLabel_, row + 1, 0, Qt::AlignTop);
    grid->addWidget(lst_, row + 1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(edit_);
    buttons->addWidget(remove_);
    buttons->addStretch(1);
    grid->addLayout(buttons, row + 1, 2);
    // Room for five names: the upper panel stays low, the report tabs get the height.
    lst_->setFixedHeight(lst_->fontMetrics().lineSpacing() * 5 + 2 * lst_->frameWidth() + 4);

    connect(add_, &QPushButton::clicked, this, &SnippetPanel::Add);
    connect(edit_, &QPushButton::clicked, this, &SnippetPanel::Edit);
    connect(remove_, &QPushButton::clicked, this, &SnippetPanel::Remove);
    connect(lst_, &QListWidget::itemDoubleClicked, this, [this] { Edit(); });
    connect(cbo_, &QComboBox::editTextChanged, this, &SnippetPanel::InputChanged);
    // Return in the box adds the typed name, as the Add button beside it does.
    connect(cbo_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (add_->isEnabled()) Add();
    });
    connect(cbo_, &QComboBox::currentIndexChanged, this, &SnippetPanel::InputChanged);
}

void SnippetPanel::RefreshAvailable() {
    available_ = AvailableSnippets(dataFolder_, kind_);
    const QString text = cbo_->currentText();
    const QSignalBlocker block(cbo_);
    cbo_->clear();
    for (const std::string& name : available_) cbo_->addItem(Q(name));
    cbo_->setCurrentIndex(-1);
    cbo_->setEditText(text);
}

void SnippetPanel::SetSelected(std::vector<std::string> names) {
    selected_ = std::move(names);
    ShowSelected();
}

void SnippetPanel::ShowSelected() {
    lst_->clear();
    for (const std::string& name : selected_) lst_->addItem(Q(name));
    if (lst_->count() > 0) lst_->setCurrentRow(0);  // Edit always has a snippet to open
}

bool SnippetPanel::HasComboText() const { return !cbo_->currentText().trimmed().isEmpty(); }

void SnippetPanel::ApplyStates(bool combo, bool add, bool edit, bool remove, bool list) {
    cbo_->setEnabled(combo);
    add_->setEnabled(add);
    edit_->setEnabled(edit);
    remove_->setEnabled(remove);
    lst_->setEnabled(list);
}

void SnippetPanel::Add() {
    const std::string raw = cbo_->currentText().toStdString();
    const std::string name(platform::Trim(raw));
    if (name.empty()) return;
    MessageBoxService& box = *program_.services.messageBox;
    if (!IsAcceptableSnippetName(name)) {
        box.Show("\"" + name + "\" cannot be a snippet's name: it must be a file name without / \\ < > : \" | ? * or \"..\"",
                 vbOKOnly, "", 2);
        return;
    }
    const bool repeat = std::any_of(selected_.begin(), selected_.end(),
                                    [&](const std::string& s) { return platform::IEqualsUtf8(s, name); });
    if (repeat) {
        box.Show(raw + Side(kind_).duplicateText, vbOKOnly, "", 2);
        return;
    }
    selected_.push_back(name);
    lst_->addItem(Q(name));
    // The new name is the list's selected item: Edit then opens it (a new snippet starts empty).
    lst_->setCurrentRow(lst_->count() - 1);
    emit SelectionChanged(true);
}

void SnippetPanel::Remove() {
    const int row = lst_->currentRow();
    if (row < 0 || row >= static_cast<int>(selected_.size())) return;
    selected_.erase(selected_.begin() + row);
    delete lst_->takeItem(row);
    if (lst_->count() > 0) lst_->setCurrentRow(std::min(row, lst_->count() - 1));
    emit SelectionChanged(false);
}

void SnippetPanel::Edit() {
    const int row = lst_->currentRow();
    if (row < 0 || row >= static_cast<int>(selected_.size())) return;
    program_.state.EditedSnippetName = std::string(platform::Trim(selected_[static_cast<std::size_t>(row)]));
    const std::string path = SnippetPath(dataFolder_, kind_, program_.state.EditedSnippetName);
    if (editor_ && editor_->Path() == path) {
        editor_->raise();
        editor_->activateWindow();
        return;
    }
    // The file's own name: the one the snippet was listed from, whatever the case of its extension.
    const QString title = Q(platform::NameOf(path));
    // A window of its own that belongs to the tool window (it goes, and asks, with it).
    editor_ = new SnippetEditor(path, title, *program_.services.messageBox, tovcore::ui::FormOf(cbo_));
    connect(editor_, &SnippetEditor::Saved, this, [this] { RefreshAvailable(); });
    editor_->show();
}

}  // namespace quillet::toolwindow
