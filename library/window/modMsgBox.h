// The library's own message box: a small window with the prompt, a row of answer buttons built
// for the requested button set, the caller's title (or the program's name and version), the
// remembered skin and the caller's alignment of the prompt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QPointer>
#include <QScrollArea>
#include <QStringList>

#include <tovcore/controls.h>

namespace tovcore::detail {

// Answer values of the buttons.
enum MsgBoxAnswer : std::int32_t { kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7 };
// The style's icon bits that mark a message as an error or a warning.
inline constexpr std::int32_t kIconCritical = 16;
inline constexpr std::int32_t kIconExclamation = 48;

// The buttons of a style (its low three bits), left to right.
std::vector<std::int32_t> ButtonSet(std::int32_t style);
// The answer that closing the box without a button gives: Cancel where the set has a Cancel
// button, OK for an OK-only box, 0 where only a button can answer (the box then stays open).
std::int32_t CloseAnswer(std::int32_t style);

// The box's layout, in twips, from the measured prompt label and the design button size.
struct MsgBoxLayout {
    int provisionalWidth = 0;
    int provisionalHeight = 0;
    int rowWidth = 0;      // n x W + (n + 1) x 200
    int contentWidth = 0;  // the row, or the label when it is wider
    int gap = 0;           // before each button
    int windowWidth = 0;
    int windowHeight = 0;
    int labelLeft = 100;
    int labelTop = 100;
    int labelWidth = 0;
    int labelHeight = 0;
    int buttonTop = 0;
    std::vector<int> buttonLefts;
};
// frameHeight: the window's outer height less its inner height. minContentWidth: the content is
// at least this wide (so that the window's title fits its title bar).
MsgBoxLayout LayoutMsgBox(double labelWidth, double labelHeight, int buttonWidth, int buttonHeight, int buttonCount,
                          int frameHeight, int minContentWidth = 0);

// The content width (twips) a box needs for its title to stand whole in a title bar that holds a
// window icon and a close button: the title in the window system's bold font, that room beside it,
// less the margin that the box's width adds to its content.
int TitleContentWidth(const QString& title);

// The widest prompt line, in twips, before the prompt wraps, for a screen this wide (twips).
int MaxPromptWidth(int screenWidthTwips);
// The tallest prompt, in twips, that a box on a screen this high (twips, the part windows may use)
// shows whole with its row of buttons this high below it.
int MaxPromptHeight(int screenHeightTwips, int buttonHeight);

// A prompt too tall for the screen shows in three parts: the lines before its list and the lines
// after it stay in view (the question, the explanation of the answers), the list scrolls between.
// Counts of the prompt's shown lines; a prompt that fits is all head.
struct PromptParts {
    int head = 0;
    int list = 0;
    int tail = 0;
    int listShown = 0;  // lines of the list in view at a time
    bool Scrolls() const { return list > 0; }
};
// The list is the longest paragraph (lines between blank lines) without its first line, which
// introduces it; when the rest would leave fewer than three lines for the list, the whole prompt
// scrolls. `fitting` is how many lines the box can show.
PromptParts SplitPrompt(const QStringList& lines, int fitting);

// The window "frmMsgBox".
class frmMsgBox : public ui::Form {
public:
    frmMsgBox();
    // Shows the box modally and returns the answer of the button pressed (or of a close).
    std::int32_t MsgBox(const std::string& Prompt, std::int32_t MsgBoxStyle, const std::string& Title,
                        std::int32_t Align);
    bool Busy() const { return busy_; }
    // The prompt; when it is too tall for the screen, only the lines before its list.
    ui::Label* PromptLabel() const { return label_; }
    // The list of a prompt too tall for the screen, in a scrolling area, and the lines after it
    // (null while the prompt fits, or has no lines after its list).
    ui::Label* ListLabel() const { return list_; }
    QScrollArea* ListArea() const { return listArea_; }
    ui::Label* TailLabel() const { return tail_; }
    // The cmdButton control array, element 0 first.
    const std::vector<ui::MyButton*>& Buttons() const { return buttons_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void AddButton(std::int32_t answer);
    void DropExtraButtons();
    void MakeListParts(bool withTail);
    void DropListParts();
    void SetPrompt(const QStringList& lines);
    void Arrange();
    void Answer(std::int32_t value);
    ui::Label* label_;
    QPointer<QScrollArea> listArea_;
    QPointer<ui::Label> list_;
    QPointer<ui::Label> tail_;
    // Measures of the prompt's parts, in twips, from SetPrompt.
    int promptWidth_ = 0;
    int headHeight_ = 0;
    int listHeight_ = 0;
    int tailHeight_ = 0;
    std::vector<ui::MyButton*> buttons_;
    int buttonCount_ = 0;
    int buttonWidth_ = 0;
    int buttonHeight_ = 0;
    int titleWidth_ = 0;  // the content width the title needs, twips
    std::string prompt_;
    std::int32_t answer_ = 0;
    std::int32_t closeAnswer_ = 0;
    bool answered_ = false;
    bool busy_ = false;
    bool arranging_ = false;
};

std::int32_t MyMsgBox(const std::string& Prompt, std::int32_t MsgBoxStyle, const std::string& Title,
                      std::int32_t Align);

}  // namespace tovcore::detail
