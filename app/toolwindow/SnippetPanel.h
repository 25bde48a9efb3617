// One side of the snippet choice of the tool window (pre code or post code: one class, a table of
// what differs): the combo box of available snippets that also takes a new name, its Add button,
// the list of chosen snippets in the order Add Code applies them, and Edit and Remove.
//
// Controls (pre side / post side): Label1 / Label2 "Pre-Code" / "Post-Code" before the combo,
// cboPreCode / cboPostCode, cmdAddPreCodecbo / cmdAddPostCodecbo "Add", Label5 / Label6 before the
// list, lstPreCode / lstPostCode, cmdEditPreCode / cmdEditPostCode "Edit", cmdRemovePreCode /
// cmdRemovePostCode "Remove".
#pragma once

#include <string>
#include <vector>

#include <QObject>
#include <QPointer>

#include <tovcore/controls.h>

#include "app/toolwindow/SnippetEditor.h"
#include "app/toolwindow/SnippetStore.h"

class QGridLayout;

namespace quillet {
struct Program;
}

namespace quillet::toolwindow {

class SnippetPanel : public QObject {
    Q_OBJECT

public:
    // Makes the side's controls inside `container` and lays them out in `grid` from `row` on.
    SnippetPanel(Program& program, SnippetKind kind, QWidget* container, QGridLayout* grid, int row);

    SnippetKind Kind() const { return kind_; }
    // The per-user data folder ("/" at its end) that holds "PreCode/" and "PostCode/".
    void SetDataFolder(const std::string& folder) { dataFolder_ = folder; }

    // Fills the list of available snippets from the folder (sorted without regard to case), keeping
    // the combo's text.
    void RefreshAvailable();
    // The chosen snippets (list order).
    const std::vector<std::string>& Selected() const { return selected_; }
    void SetSelected(std::vector<std::string> names);
    const std::vector<std::string>& Available() const { return available_; }

    // Whether the combo holds text other than blanks.
    bool HasComboText() const;
    // The control states this side is given (see ComputeControlStates).
    void ApplyStates(bool combo, bool add, bool edit, bool remove, bool list);

    // The Add button: the trimmed combo text joins the list as its selected item, so that Edit
    // opens it next (a name without a file is how a new snippet is made). Refused with a message: a
    // name that is already chosen (any letter case), or one that cannot be a snippet file's name.
    void Add();
    // The Remove button: the list's selected item leaves the list (its file stays).
    void Remove();
    // The Edit button (and a double click on the list): the list's selected snippet opens in the
    // editor. While the list holds names one of them is always selected.
    void Edit();
    SnippetEditor* OpenEditor() const { return editor_; }

    tovcore::ui::ComboBox* Combo() const { return cbo_; }
    tovcore::ui::ListBox* List() const { return lst_; }
    tovcore::ui::MyButton* AddButton() const { return add_; }
    tovcore::ui::MyButton* EditButton() const { return edit_; }
    tovcore::ui::MyButton* RemoveButton() const { return remove_; }

signals:
    // The chosen list changed (`added`: a name joined it).
    void SelectionChanged(bool added);
    // The combo text changed: the window recomputes the control states.
    void InputChanged();

private:
    void ShowSelected();

    Program& program_;
    SnippetKind kind_;
    std::string dataFolder_;
    std::vector<std::string> selected_, available_;
    tovcore::ui::Label* comboLabel_;
    tovcore::ui::Label* listLabel_;
    tovcore::ui::ComboBox* cbo_;
    tovcore::ui::MyButton* add_;
    tovcore::ui::ListBox* lst_;
    tovcore::ui::MyButton* edit_;
    tovcore::ui::MyButton* remove_;
    QPointer<SnippetEditor> editor_;
};

}  // namespace quillet::toolwindow
