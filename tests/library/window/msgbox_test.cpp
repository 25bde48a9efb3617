// The library's message box: its layout arithmetic, buttons and answers by style, closing,
// Escape, the default button, the caption, plain-text prompts, wrapping and the remembered skin.
// Every box is answered from a timer while its call waits. Also where the library's own messages
// go: the box on the GUI thread, the error log and standard error elsewhere.
#include <thread>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <tovcore/clsTovcore.h>

#include "library/src/LibraryState.h"
#include "library/window/modMsgBox.h"
#include "tests/library/library_test_util.h"
#include "tests/library/window/window_test_util.h"
#include "tests/support/testsupport.h"

namespace {

using tovcore::detail::frmMsgBox;
using tovcore::detail::LayoutMsgBox;
using tovcore::detail::State;

bool IsBox(QWidget* w) { return dynamic_cast<frmMsgBox*>(w) != nullptr; }

// Shows a box and runs `act` on it once it is up; returns the box's answer.
std::int32_t Ask(const std::string& prompt, std::int32_t style, const std::function<void(frmMsgBox*)>& act,
                 const std::string& title = "Test", std::int32_t align = 2) {
    wintest::WhenShown(IsBox, [act](QWidget* w) { act(static_cast<frmMsgBox*>(w)); });
    return tovcore::Global().MyMsgBox(prompt, style, title, align);
}

// Presses the button whose caption is given.
std::function<void(frmMsgBox*)> Press(const QString& caption) {
    return [caption](frmMsgBox* box) {
        for (auto* b : box->Buttons())
            if (b->Caption() == caption) return b->click();
        ADD_FAILURE() << "no button " << caption.toStdString();
    };
}

TEST(MsgBoxLayout, ExamplesInTwips) {
    struct Case {
        const char* what;
        double labelWidth, labelHeight;
        int buttons, frame;
        int content, gap, width, height, top;
        std::vector<int> lefts;
    } cases[] = {
        {"empty prompt, OK alone", 0, 0, 1, 0, 1615, 200, 1777, 1238, 728, {200}},
        {"two buttons, narrow prompt", 1000, 300, 2, 0, 3030, 300, 3333, 1538, 1022, {300, 1815}},
        {"prompt wider than the row spreads the buttons", 5000.4, 300, 2, 0, 5000, 1285, 5500, 1538, 1022, {1285, 3785}},
        {"three buttons", 0, 300, 3, 0, 4445, 267, 4890, 1538, 1022, {267, 1749, 3231}},
        {"a single button is centred in a wide prompt", 4000, 600, 1, 405, 4000, 1392, 4400, 1838, 919, {1392}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto l = LayoutMsgBox(c.labelWidth, c.labelHeight, 1215, 495, c.buttons, c.frame);
        EXPECT_EQ(l.rowWidth, c.buttons * 1215 + (c.buttons + 1) * 200);
        EXPECT_EQ(l.contentWidth, c.content);
        EXPECT_EQ(l.gap, c.gap);
        EXPECT_EQ(l.windowWidth, c.width);
        EXPECT_EQ(l.windowHeight, c.height);
        EXPECT_EQ(l.buttonTop, c.top);
        EXPECT_EQ(l.buttonLefts, c.lefts);
        EXPECT_EQ(l.labelLeft, 100);
        EXPECT_EQ(l.labelTop, 100);
        EXPECT_EQ(l.labelWidth, c.content);
    }
}

TEST(MsgBoxButtons, SetsAndCloseAnswersByStyle) {
    using tovcore::detail::ButtonSet;
    using tovcore::detail::CloseAnswer;
    struct Case {
        std::int32_t style;
        std::vector<std::int32_t> buttons;
        std::int32_t onClose;
    } cases[] = {
        {0, {1}, 1},           {1, {1, 2}, 2},          {2, {3, 4, 5}, 0}, {3, {6, 7, 2}, 2},
        {4, {6, 7}, 0},        {5, {4, 2}, 2},          {6, {1}, 1},       {7, {1}, 1},
        {35, {6, 7, 2}, 2},    {64 + 4096, {1}, 1},     {0x104, {6, 7}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ButtonSet(c.style), c.buttons) << c.style;
        EXPECT_EQ(CloseAnswer(c.style), c.onClose) << c.style;
    }
}

TEST(MsgBoxAnswers, EachButtonAnswersItsValue) {
    struct Case {
        std::int32_t style;
        std::vector<const char*> captions;
        std::vector<std::int32_t> answers;
    } cases[] = {
        {0, {"&Ok"}, {1}},
        {1, {"&Ok", "&Cancel"}, {1, 2}},
        {2, {"&Abort", "&Retry", "&Ignore"}, {3, 4, 5}},
        {3, {"&Yes", "&No", "&Cancel"}, {6, 7, 2}},
        {4, {"&Yes", "&No"}, {6, 7}},
        {5, {"&Retry", "&Cancel"}, {4, 2}},
        {64, {"&Ok"}, {1}},  // the icon bits change nothing
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < c.captions.size(); ++i) {
            std::vector<QString> shown;
            const std::int32_t answer = Ask("Question?", c.style, [&](frmMsgBox* box) {
                for (auto* b : box->Buttons()) shown.push_back(b->Caption());
                box->Buttons()[i]->click();
            });
            EXPECT_EQ(answer, c.answers[i]) << "style " << c.style << " button " << i;
            ASSERT_EQ(shown.size(), c.captions.size()) << c.style;
            for (std::size_t k = 0; k < shown.size(); ++k) EXPECT_EQ(shown[k], c.captions[k]);
        }
    }
}

TEST(MsgBoxAnswers, ButtonsMadeForACallGoWithTheWindow) {
    Ask("Three", 3, Press("&No"));
    int buttons = 0;
    Ask("One", 0, [&](frmMsgBox* box) {
        buttons = static_cast<int>(box->Buttons().size());
        box->Buttons()[0]->click();
    });
    EXPECT_EQ(buttons, 1);
}

TEST(MsgBoxClosing, CloseAndEscapeAnswerCancelOrOkAndNothingElse) {
    const auto closeIt = [](frmMsgBox* box) { box->close(); };
    const auto escape = [](frmMsgBox* box) { QTest::keyClick(box->Buttons()[0], Qt::Key_Escape); };
    EXPECT_EQ(Ask("OK and Cancel", 1, closeIt), 2);
    EXPECT_EQ(Ask("Yes, No and Cancel", 3, escape), 2);
    EXPECT_EQ(Ask("OK only", 0, closeIt), 1);
    EXPECT_EQ(Ask("OK only", 0, escape), 1);

    // Yes and No without Cancel: only a button answers; the box stays up after close and Escape.
    for (const auto& attempt : {std::function<void(frmMsgBox*)>(closeIt), std::function<void(frmMsgBox*)>(escape)}) {
        bool stillShown = false;
        const std::int32_t answer = Ask("Yes or No", 4, [&](frmMsgBox* box) {
            attempt(box);
            stillShown = box->isVisible();
            box->Buttons()[1]->click();
        });
        EXPECT_TRUE(stillShown);
        EXPECT_EQ(answer, 7);
    }
}

TEST(MsgBoxClosing, EveryCallStartsWithoutAnAnswer) {
    EXPECT_EQ(Ask("First", 4, Press("&Yes")), 6);
    // Ended by other means than a button or a close: no answer, not the previous one.
    EXPECT_EQ(Ask("Second", 4, [](frmMsgBox* box) { box->hide(); }), 0);
}

TEST(MsgBoxFocus, DefaultButtonByStyleIgnoringOnesTheSetLacks) {
    struct Case {
        std::int32_t style;
        int focused;
    } cases[] = {{3, 0}, {3 + 0x100, 1}, {3 + 0x200, 2}, {3 + 0x300, 0}, {4 + 0x200, 0}, {1 + 0x100, 1}};
    for (const Case& c : cases) {
        int focused = -1;
        Ask("Focus", c.style, [&](frmMsgBox* box) {
            for (std::size_t i = 0; i < box->Buttons().size(); ++i)
                if (box->focusWidget() == box->Buttons()[i]) focused = static_cast<int>(i);
            box->Buttons().back()->click();
        });
        EXPECT_EQ(focused, c.focused) << c.style;
    }
}

TEST(MsgBoxText, CaptionPromptAlignmentAndLayoutOnScreen) {
    State().client.app = libtest::TestApp();
    State().client.exeName = "Tester";
    State().client.versionType = 3;
    QString caption, prompt;
    Qt::TextFormat format = Qt::RichText;
    Qt::Alignment alignment;
    int buttonLeft = 0, labelWidth = 0;
    Ask(
        "Save & close <b>now</b>?", 1,
        [&](frmMsgBox* box) {
            caption = box->windowTitle();
            prompt = box->PromptLabel()->text();
            format = box->PromptLabel()->textFormat();
            alignment = box->PromptLabel()->alignment();
            buttonLeft = box->Buttons()[0]->Left();
            labelWidth = box->PromptLabel()->Width();
            box->Buttons()[0]->click();
        },
        "", 0);
    EXPECT_EQ(caption, "Tester Version 2.3  Build 45");
    EXPECT_EQ(prompt, "Save & close <b>now</b>?");  // shown as it stands
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_TRUE(alignment & Qt::AlignLeft);
    EXPECT_GT(labelWidth, 0);
    // The buttons stand where the layout puts them for the measured label.
    const auto l = LayoutMsgBox(std::max(labelWidth, 0), 0, 1215, 495, 2, 0);
    EXPECT_EQ(buttonLeft, l.buttonLefts[0]);
}

TEST(MsgBoxText, AVeryLongLineWrapsInsteadOfWideningTheBoxOffTheScreen) {
    const int screenWidth = tovcore::ui::PixelsToTwips(QGuiApplication::primaryScreen()->geometry().width());
    const std::string words = [] {
        std::string s;
        for (int i = 0; i < 200; ++i) s += "word" + std::to_string(i) + " ";
        return s;
    }();
    const std::string unbroken(400, 'x');
    for (const std::string& prompt : {words, unbroken}) {
        int boxWidth = 0, labelWidth = 0, lastButtonRight = 0, lines = 0;
        Ask(prompt, 3, [&](frmMsgBox* box) {
            boxWidth = box->Width();
            labelWidth = box->PromptLabel()->Width();
            lastButtonRight = box->Buttons().back()->Left() + box->Buttons().back()->Width();
            lines = static_cast<int>(box->PromptLabel()->text().count('\n')) + 1;
            box->Buttons()[0]->click();
        });
        EXPECT_GT(lines, 1);
        EXPECT_LE(labelWidth, tovcore::detail::MaxPromptWidth(screenWidth) + 30);
        EXPECT_LE(boxWidth, screenWidth);
        EXPECT_LE(lastButtonRight, boxWidth);
    }
}

TEST(MsgBoxSize, WhichLinesStayInViewAndWhichScroll) {
    auto lines = [](std::initializer_list<const char*> parts) {
        QStringList out;
        for (const char* p : parts) {
            const QString text = QString::fromLatin1(p);
            if (text.startsWith(QLatin1Char('*'))) {
                for (int i = 0; i < text.mid(1).toInt(); ++i) out << QString("    file%1.bas").arg(i);
            } else {
                out << text;
            }
        }
        return out;
    };
    struct Case {
        const char* what;
        QStringList lines;
        int fitting;
        int head, list, tail, listShown;
    } cases[] = {
        {"a prompt that fits is all in view", lines({"Question?", "", "Yes: this"}), 3, 3, 0, 0, 0},
        {"the question and the answers stay, the files scroll",
         lines({"It concerns:", "*40", "", "Yes: complete", "No: roll back", "Cancel: leave it"}), 20, 1, 40, 4, 15},
        {"a heading and its list", lines({"Code Processing Done", "*30"}), 10, 1, 30, 0, 9},
        {"the longest paragraph is the list",
         lines({"Intro", "two", "", "Heading:", "*12", "", "Closing one", "closing two"}), 10, 4, 12, 3, 3},
        {"no room beside the rest: everything scrolls", lines({"Heading:", "*20", "", "a", "b", "c", "d", "e"}), 7, 0,
         27, 0, 7},
        {"one line per paragraph: everything scrolls", lines({"a", "", "b", "", "c", "", "d"}), 4, 0, 7, 0, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const tovcore::detail::PromptParts parts = tovcore::detail::SplitPrompt(c.lines, c.fitting);
        EXPECT_EQ(parts.head, c.head);
        EXPECT_EQ(parts.list, c.list);
        EXPECT_EQ(parts.tail, c.tail);
        EXPECT_EQ(parts.listShown, c.listShown);
        EXPECT_EQ(parts.head + parts.list + parts.tail, c.lines.size());
    }
}

TEST(MsgBoxSize, ANewBoxShowsItsButtonsWholeOnceItHasItsFrame) {
    // A box made afresh does not know its frame until it is shown.
    for (const std::string prompt : {"Short", "Two\r\nlines", ""}) {
        SCOPED_TRACE(prompt);
        frmMsgBox box;
        QRect client;
        std::vector<QRect> buttons;
        wintest::WhenShown([&box](QWidget* w) { return w == &box; },
                           [&](QWidget*) {
                               QCoreApplication::processEvents();
                               client = box.Client()->rect();
                               for (auto* b : box.Buttons()) buttons.push_back(b->geometry());
                               box.Buttons()[0]->click();
                           });
        box.MsgBox(prompt, 3, "Test", 2);
        ASSERT_EQ(buttons.size(), 3u);
        for (const QRect& b : buttons) EXPECT_TRUE(client.contains(b)) << b.bottom() << " in " << client.height();
    }
}

TEST(MsgBoxSize, AFiveHundredLineListScrollsInsideABoxThatFitsTheScreen) {
    State().skin = {0x804000, 0xFFFFFF, 0xC0C0C0, 0xC08000};
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    std::string prompt = "The last change was interrupted before it was complete. It concerns:";
    for (int i = 0; i < 500; ++i) prompt += "\r\n    Modules\\Module" + std::to_string(i) + ".bas";
    prompt += "\r\n\r\nYes: complete the change (these files take their new content)."
              "\r\nNo: roll the change back (these files get back the content they had before it)."
              "\r\nCancel: leave everything as it is now; you are asked again when the project is next opened.";
    struct Seen {
        QRect box, client, area, head, tail;
        std::vector<QRect> buttons;
        QString headText, tailText, listText;
        bool areaShown = false, tailShown = false;
        int scrollMaximum = 0;
        bool lastLineReached = false;
    } seen;
    const std::int32_t answer = Ask(prompt, 3 | 32, [&](frmMsgBox* box) {
        QCoreApplication::processEvents();
        seen.box = box->frameGeometry();
        seen.client = box->Client()->rect();
        seen.area = box->ListArea()->geometry();
        seen.head = box->PromptLabel()->geometry();
        seen.tail = box->TailLabel()->geometry();
        for (auto* b : box->Buttons()) seen.buttons.push_back(b->geometry());
        seen.headText = box->PromptLabel()->text();
        seen.tailText = box->TailLabel()->text();
        seen.listText = box->ListLabel()->text();
        seen.areaShown = box->ListArea()->isVisible();
        seen.tailShown = box->TailLabel()->isVisible();
        QScrollBar* bar = box->ListArea()->verticalScrollBar();
        seen.scrollMaximum = bar->maximum();
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        // The last file is in view once scrolled to the end.
        const QRect label = box->ListLabel()->geometry();
        seen.lastLineReached = label.bottom() <= box->ListArea()->viewport()->height() + 1;
        const QString folder = QStringLiteral(QUILLET_SCREENSHOT_DIR);
        QDir().mkpath(folder);
        bar->setValue(0);
        QCoreApplication::processEvents();
        box->grab().save(folder + "/message_box_500_line_list.png");
        Press("&No")(box);
    });
    EXPECT_EQ(answer, tovcore::detail::kNo);
    // The box lies on the screen.
    EXPECT_TRUE(screen.contains(seen.box)) << seen.box.height() << " of " << screen.height();
    // The question above the list and the explanation of the answers below it are in view, whole.
    EXPECT_EQ(seen.headText, "The last change was interrupted before it was complete. It concerns:");
    EXPECT_TRUE(seen.tailShown);
    EXPECT_TRUE(seen.tailText.trimmed().startsWith("Yes: complete the change"));
    EXPECT_TRUE(seen.tailText.contains("Cancel: leave everything as it is now"));
    EXPECT_TRUE(seen.client.contains(seen.head));
    EXPECT_TRUE(seen.client.contains(seen.tail));
    // The list scrolls between them and holds every file.
    EXPECT_TRUE(seen.areaShown);
    EXPECT_GT(seen.scrollMaximum, 0);
    EXPECT_TRUE(seen.lastLineReached);
    EXPECT_EQ(seen.listText.count('\n') + 1, 500);
    EXPECT_TRUE(seen.listText.endsWith("Module499.bas"));
    EXPECT_LE(seen.head.bottom(), seen.area.top());
    EXPECT_LE(seen.area.bottom(), seen.tail.top());
    // Every button is whole, below the text.
    ASSERT_EQ(seen.buttons.size(), 3u);
    for (const QRect& b : seen.buttons) {
        EXPECT_TRUE(seen.client.contains(b));
        EXPECT_GE(b.top(), seen.tail.bottom());
    }

    // The next box that fits shows its prompt whole again.
    QString prompt2;
    bool listShown = true;
    Ask("Short question?", 4, [&](frmMsgBox* box) {
        prompt2 = box->PromptLabel()->text();
        listShown = box->ListArea() != nullptr || box->TailLabel() != nullptr;
        Press("&Yes")(box);
    });
    EXPECT_EQ(prompt2, "Short question?");
    EXPECT_FALSE(listShown);
}

TEST(MsgBoxSkin, TheRememberedSkinOnEveryShow) {
    for (std::int32_t buttonColour : {0x804000, 0x123456}) {
        State().skin = {buttonColour, 0x00FFFF, 0xC0C0C0, 0xC08000};
        std::int32_t back = 0, fore = 0;
        bool gradient = false;
        Ask("Skinned", 0, [&](frmMsgBox* box) {
            back = box->Buttons()[0]->BackColor();
            fore = box->Buttons()[0]->ForeColor();
            gradient = box->HasBackgroundGradient();
            box->Buttons()[0]->click();
        });
        EXPECT_EQ(back, buttonColour);
        EXPECT_EQ(fore, 0x00FFFF);
        EXPECT_TRUE(gradient);
    }
}

// What a box showed: its caption and its prompt as shown (line breaks as "\n").
struct Shown {
    int boxes = 0;
    QString caption, prompt;
};

// Answers the next box with its first button, recording what it showed.
void AnswerNextBox(Shown& shown) {
    wintest::WhenShown(IsBox, [&shown](QWidget* w) {
        auto* box = static_cast<frmMsgBox*>(w);
        ++shown.boxes;
        shown.caption = box->Caption();
        shown.prompt = box->PromptLabel()->Caption();
        box->Buttons()[0]->click();
    });
}

TEST(LibraryMessages, AFailedStartShowsTheBoxOnTheGuiThread) {
    Shown shown;
    AnswerNextBox(shown);
    tovcore::Global().ShellAndWait("/no/such/program arg", 1);
    EXPECT_EQ(shown.boxes, 1);
    EXPECT_EQ(shown.caption, "Error");
    EXPECT_EQ(shown.prompt, "Error starting task /no/such/program arg\nNo such file or directory");
}

TEST(LibraryMessages, TheResolutionWarningShowsTheBoxOnTheGuiThread) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    State().client.exeName = "Tester";
    const auto w = static_cast<std::int16_t>(screen.width() + 1), h = static_cast<std::int16_t>(screen.height() + 1);
    Shown shown;
    AnswerNextBox(shown);
    EXPECT_FALSE(tovcore::Global().CheckScreenSize(w, h));
    EXPECT_EQ(shown.boxes, 1);
    EXPECT_EQ(shown.caption, "Tester Video Display");
    EXPECT_EQ(shown.prompt, QString("To properly display this application, your video \nresolution should be set to "
                                    "%1x%2 or greater.")
                                .arg(w)
                                .arg(h));
}

TEST(LibraryMessages, OffTheGuiThreadTheyGoToTheErrorLogAndStandardError) {
    testsupport::TempDir dir;
    libtest::EnvGuard env;
    env.Set("XDG_DATA_HOME", dir.path() + "data");
    std::string errorLog, stderrText;
    std::thread worker([&] {
        const std::string ini = tovcore::Global().InitializeDll(libtest::TestApp(), 5);
        ASSERT_FALSE(ini.empty());
        ::testing::internal::CaptureStderr();
        tovcore::Global().ShellAndWait("/no/such/program arg", 1);
        stderrText = ::testing::internal::GetCapturedStderr();
        errorLog = testsupport::ReadBytes(State().logs.error.path);
    });
    worker.join();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(stderrText, "Error: Error starting task /no/such/program arg\nNo such file or directory\n");
    EXPECT_NE(errorLog.find(" - Error: Error starting task /no/such/program arg No such file or directory\r\n"),
              std::string::npos)
        << errorLog;
}

TEST(MsgBoxRouting, TheThreadsHandlerAnswersInsteadOfTheWindow) {
    std::string seen;
    State().window.messageHandler = [&](const std::string& p, std::int32_t, const std::string&) {
        seen = p;
        return 7;
    };
    EXPECT_EQ(tovcore::Global().MyMsgBox("Scripted", 4), 7);
    State().window.messageHandler = nullptr;
    EXPECT_EQ(seen, "Scripted");
}

}  // namespace

namespace {

// What a screen reader's review mode reads in a box: every showing object that holds nothing
// below it. Those that read nothing are listed.
std::string EmptyShownItems(QWidget* box) {
    std::string out;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* face) {
        if (!face) return;
        if (face->childCount() == 0 && !face->state().invisible && face->text(QAccessible::Name).trimmed().isEmpty())
            out += (face->object() ? face->object()->objectName().toStdString() : std::string("part")) + "\n";
        for (int i = 0; i < face->childCount(); ++i) walk(face->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(box));
    return out;
}

// One box after another on the same window, as the program shows them: each holds its own buttons
// only, every one of them whole inside the box and as wide as designed, it holds nothing empty for
// a screen reader, and it is wide enough for its title. Its title bar offers only the close button.
TEST(MsgBoxLook, EachBoxHoldsItsOwnWholeButtonsNothingEmptyAndRoomForItsTitle) {
    std::string longList = "The files:";
    for (int i = 0; i < 400; ++i) longList += "\r\n    File" + std::to_string(i) + ".bas";
    const struct {
        const char* prompt;
        std::int32_t style;
        std::size_t buttons;
        const char* title;
    } rows[] = {
        {"Do you want to save this project?", 35, 3, "Quillet"},
        {"Reports Creation Elapsed Time - 00:00:01", 0, 1, ""},
        {"", 2, 3, "Test"},
        {longList.c_str(), 4, 2, "A title much longer than the prompt of its box is"},
        {"Reports Creation Elapsed Time - 00:00:01", 0, 1, "Quillet Version 1.0  Build 0  Freeware"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.prompt).substr(0, 40) + " / " + r.title);
        QRect client;
        std::vector<QRect> buttons;
        std::string empty;
        QString caption;
        int width = 0;
        Qt::WindowFlags flags;
        bool listLeft = true;
        Ask(
            r.prompt, r.style,
            [&](frmMsgBox* box) {
                QCoreApplication::processEvents();
                client = box->Client()->rect();
                for (QPushButton* b : box->findChildren<QPushButton*>())
                    if (b->isVisible()) buttons.push_back(b->geometry());
                empty = EmptyShownItems(box);
                caption = box->Caption();
                width = box->width();
                flags = box->windowFlags();
                box->Buttons()[0]->click();
            },
            r.title);
        // After the box: nothing of a long list stays in it.
        Ask("Next", 0, [&](frmMsgBox* box) {
            listLeft = box->ListArea() != nullptr || box->TailLabel() != nullptr;
            box->Buttons()[0]->click();
        });
        EXPECT_FALSE(listLeft);
        ASSERT_EQ(buttons.size(), r.buttons);
        for (const QRect& b : buttons) {
            EXPECT_TRUE(client.contains(b)) << b.x() << "," << b.y() << " " << b.width() << "x" << b.height();
            EXPECT_EQ(b.width(), tovcore::ui::TwipsToPixels(1215));
        }
        EXPECT_EQ(empty, "") << "items that read nothing";
        QFont bold = QApplication::font();
        bold.setBold(true);
        EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(caption) + 48) << caption.toStdString();
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << "no buttons added by the window system's defaults";
    }
}

}  // namespace

namespace {

// The keyboard goes back to the window it was in once a box is answered, also where no window
// manager gives it back.
TEST(MsgBoxFocus, TheWindowTheKeyboardWasInHasItBackAfterTheBox) {
    tovcore::ui::Form window("frmOwner");
    window.resize(400, 300);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget* activeAfter = nullptr;
    Ask("Question?", 4, Press("&No"));
    QCoreApplication::processEvents();
    QTest::qWait(50);
    activeAfter = QApplication::activeWindow();
    EXPECT_EQ(activeAfter, &window);
}

}  // namespace
