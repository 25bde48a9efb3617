// The snippet choice of the tool window (one class for both sides), the snippet editor, and the
// move of snippets that older versions kept in INI files into snippet files.
#include <gtest/gtest.h>

#include <filesystem>

#include <QAccessible>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>

#include <tovcore/clsTovcore.h>

#include "app/core/Program.h"
#include "app/toolwindow/SnippetEditor.h"
#include "app/toolwindow/SnippetPanel.h"
#include "app/toolwindow/SnippetStore.h"
#include "engine/loader.h"
#include "tests/app/support/ToolFixture.h"

namespace {

using apptest::ToolFixture;
using quillet::toolwindow::SnippetKind;
using quillet::toolwindow::SnippetPanel;

TEST(SnippetChoice, AddTakesATrimmedNewNameAndRefusesRepeatsAndNamesThatAreNoFileName) {
    struct Case {
        const char* name;
        std::string typed;
        bool added;
        std::string message;  // "" for none
    };
    const Case cases[] = {
        {"a new name, trimmed", "  Timing  ", true, ""},
        {"blanks only", "   ", false, ""},
        {"already chosen, other case", "trace", false, "trace already exists in PreCode"},
        {"a folder separator", "a/b", false, "cannot be a snippet"},
        {"a backslash", "a\\b", false, "cannot be a snippet"},
        {"dots up", "..", false, "cannot be a snippet"},
        {"a colon", "x:y", false, "cannot be a snippet"},
        {"a control character", "tab\there", false, "cannot be a snippet"},
        {"a wildcard", "all*", false, "cannot be a snippet"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ToolFixture f;
        f.Browse();
        f.ChooseSnippet(true, "Trace");
        f.t.program.state.ProjectChanged = false;
        f.t.fakes.messageBox.shown.clear();
        f.ChooseSnippet(true, c.typed);
        const auto& selected = f.w->PrePanel()->Selected();
        EXPECT_EQ(selected.size(), c.added ? 2u : 1u);
        if (c.added) {
            EXPECT_EQ(selected.back(), "Timing");
            EXPECT_EQ(f.w->PrePanel()->List()->count(), 2);
        }
        EXPECT_EQ(f.t.program.state.ProjectChanged, c.added);
        if (c.message.empty()) {
            EXPECT_TRUE(f.t.fakes.messageBox.shown.empty());
        } else {
            ASSERT_EQ(f.t.fakes.messageBox.shown.size(), 1u);
            EXPECT_NE(f.t.fakes.messageBox.shown[0].prompt.find(c.message), std::string::npos)
                << f.t.fakes.messageBox.shown[0].prompt;
        }
    }
}

TEST(SnippetChoice, BothSidesWorkAloneAndAddCodeNeedsOneOfThem) {
    ToolFixture f;
    f.Browse();
    auto* add = f.w->Button("cmdAddCode");
    EXPECT_FALSE(add->isEnabled());
    f.ChooseSnippet(false, "Trace");
    EXPECT_TRUE(add->isEnabled());
    EXPECT_TRUE(f.w->PrePanel()->Selected().empty());
    EXPECT_TRUE(f.w->PostPanel()->EditButton()->isEnabled());
    EXPECT_FALSE(f.w->PrePanel()->EditButton()->isEnabled());
    f.ChooseSnippet(true, "Trace");
    f.w->PostPanel()->List()->setCurrentRow(0);
    QTest::mouseClick(f.w->PostPanel()->RemoveButton(), Qt::LeftButton);
    EXPECT_TRUE(add->isEnabled());  // pre code is still chosen
    f.w->PrePanel()->List()->setCurrentRow(0);
    QTest::mouseClick(f.w->PrePanel()->RemoveButton(), Qt::LeftButton);
    EXPECT_FALSE(add->isEnabled());
    // The snippet files stay.
    EXPECT_TRUE(std::filesystem::exists(apptest::DataFolder() + "PreCode/Trace.PreCode"));
}

TEST(SnippetChoice, TheAvailableSnippetsAreListedWithoutRegardToCase) {
    ToolFixture f;
    const std::string folder = apptest::DataFolder() + "PostCode/";
    for (const char* name : {"beta.PostCode", "Alpha.postcode", "gamma.PostCode", "not-a-snippet.txt"})
        testsupport::WriteBytes(folder + name, "x");
    std::filesystem::create_directories(folder + "folder.PostCode");
    f.w->PostPanel()->RefreshAvailable();
    EXPECT_EQ(f.w->PostPanel()->Available(), (std::vector<std::string>{"Alpha", "beta", "gamma", "Trace"}));
    EXPECT_EQ(f.w->PostPanel()->Combo()->count(), 4);
    for (const char* name : {"beta.PostCode", "Alpha.postcode", "gamma.PostCode", "not-a-snippet.txt"})
        std::filesystem::remove(folder + name);
}

TEST(SnippetChoice, EditOpensTheSnippetInTheEditorWhichWritesWindowsLineEndsAndBytes) {
    ToolFixture f;
    f.ChooseSnippet(true, "Fresh");  // no file yet: the editor makes it
    auto* side = f.w->PrePanel();
    side->List()->setCurrentRow(0);
    QTest::mouseClick(side->EditButton(), Qt::LeftButton);
    quillet::toolwindow::SnippetEditor* editor = side->OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(f.t.program.state.EditedSnippetName, "Fresh");
    const std::string path = apptest::DataFolder() + "PreCode/Fresh.PreCode";
    EXPECT_EQ(editor->Path(), path);
    EXPECT_TRUE(editor->Editor()->toPlainText().isEmpty());
    editor->Editor()->setPlainText(QString::fromUtf8("    WriteTraceLog \"~Procedure~ café\u00a0\", ~ProcStart~\n' two"));
    ASSERT_TRUE(editor->Save());
    EXPECT_EQ(testsupport::ReadBytes(path), "    WriteTraceLog \"~Procedure~ caf\xE9\xA0\", ~ProcStart~\r\n' two");
    EXPECT_EQ(side->Available().size(), 2u);  // the new snippet is offered at once
    // A character a Visual Basic file cannot hold is refused; the file stays.
    editor->Editor()->setPlainText(QString::fromUtf8("x = \"\u4e2d\""));
    EXPECT_FALSE(editor->Save());
    EXPECT_NE(f.t.fakes.messageBox.shown.back().prompt.find("cannot hold"), std::string::npos);
    EXPECT_EQ(testsupport::ReadBytes(path), "    WriteTraceLog \"~Procedure~ caf\xE9\xA0\", ~ProcStart~\r\n' two");
    std::filesystem::remove(path);
    editor->Editor()->document()->setModified(false);
    editor->close();
}

// The steps the help gives for a new snippet: type a new name, press Add, press Edit. The editor
// opens on the new name, whatever was selected before; Remove leaves a neighbour selected.
TEST(SnippetChoice, TypeANewNameAddAndEditStartsThatSnippet) {
    ToolFixture f;
    f.Browse();
    auto* side = f.w->PostPanel();
    f.ChooseSnippet(false, "Trace");
    f.ChooseSnippet(false, "Brand New");
    ASSERT_TRUE(side->EditButton()->isEnabled());
    QTest::mouseClick(side->EditButton(), Qt::LeftButton);
    ASSERT_NE(side->OpenEditor(), nullptr);
    const std::string path = apptest::DataFolder() + "PostCode/Brand New.PostCode";
    EXPECT_EQ(side->OpenEditor()->Path(), path);
    EXPECT_TRUE(side->OpenEditor()->Editor()->toPlainText().isEmpty());
    side->OpenEditor()->Editor()->setPlainText("    Debug.Print \"~Procedure~ done\"");
    ASSERT_TRUE(side->OpenEditor()->Save());
    EXPECT_EQ(testsupport::ReadBytes(path), "    Debug.Print \"~Procedure~ done\"");
    side->OpenEditor()->close();
    apptest::ProcessEvents();
    std::filesystem::remove(path);

    // Remove the new name: Trace is selected, and Edit opens it.
    QTest::mouseClick(side->RemoveButton(), Qt::LeftButton);
    ASSERT_EQ(side->Selected(), std::vector<std::string>{"Trace"});
    QTest::mouseClick(side->EditButton(), Qt::LeftButton);
    ASSERT_NE(side->OpenEditor(), nullptr);
    EXPECT_EQ(side->OpenEditor()->Path(), apptest::DataFolder() + "PostCode/Trace.PostCode");
    side->OpenEditor()->close();
    // A selection read from a tool project starts with its first name selected.
    side->SetSelected({"One", "Two"});
    EXPECT_EQ(side->List()->currentRow(), 0);
}

TEST(SnippetEditor, ShowsEveryLineEndingAsALineAndKeepsATextWithoutAFinalLineEnd) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* shown;
        std::string saved;
    };
    const Case cases[] = {
        {"CR LF", "a\r\nb\r\n", "a\nb\n", "a\r\nb\r\n"},
        {"LF from a Linux editor", "a\nb", "a\nb", "a\r\nb"},
        {"a lone CR", "a\rb", "a\nb", "a\r\nb"},
        {"no final line end", "one line", "one line", "one line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(quillet::toolwindow::SnippetEditor::DecodeSnippet(c.bytes).toStdString(), c.shown);
        std::string bytes;
        ASSERT_TRUE(quillet::toolwindow::SnippetEditor::EncodeSnippet(QString::fromUtf8(c.shown), bytes));
        EXPECT_EQ(bytes, c.saved);
    }
}

// ---- snippets kept in INI files by older versions ------------------------------------------------

TEST(LegacySnippets, MoveFromTheSettingsFileIntoFilesOnceWithoutOverwritingAFile) {
    const std::string data = apptest::DataFolder();
    tovcore::clsTovcore& lib = tovcore::Global();
    std::string ini;
    ToolFixture f([&](apptest::TestProgram& t) {
        ini = t.program.state.IniFileName;
        lib.WriteIniSection("PreCode", "CodeType1=Moved\r\nCodeType2=Edited\r\nCodeType3=../Escape", ini);
        lib.WriteIniSection("Moved PreCode", "    Debug.Print \"moved\"", ini);
        lib.WriteIniSection("Edited PreCode", "    Debug.Print \"old\"", ini);
        lib.WriteIniSection("../Escape PreCode", "    Bad", ini);
        testsupport::WriteBytes(data + "PreCode/Edited.PreCode", "    Debug.Print \"edited by the user\"");
    });  // the window loads: the move happens
    EXPECT_EQ(testsupport::ReadBytes(data + "PreCode/Moved.PreCode"), "    Debug.Print \"moved\"");
    EXPECT_EQ(testsupport::ReadBytes(data + "PreCode/Edited.PreCode"), "    Debug.Print \"edited by the user\"");
    EXPECT_FALSE(std::filesystem::exists(data + "Escape.PreCode"));
    std::string body;
    lib.GetIniSection("PreCode", body, ini);
    EXPECT_TRUE(body.find("CodeType") == std::string::npos) << body;
    body.clear();
    lib.GetIniSection("Moved PreCode", body, ini);
    EXPECT_EQ(body, "");
    body.clear();
    lib.GetIniSection("Edited PreCode", body, ini);
    EXPECT_NE(body.find("old"), std::string::npos);  // kept: its file holds other text
    // The user's later edit survives the next load.
    testsupport::WriteBytes(data + "PreCode/Moved.PreCode", "    Debug.Print \"mine\"");
    f.w->InitializeProject();
    EXPECT_EQ(testsupport::ReadBytes(data + "PreCode/Moved.PreCode"), "    Debug.Print \"mine\"");
    for (const char* n : {"Moved", "Edited"}) std::filesystem::remove(data + "PreCode/" + n + ".PreCode");
}

TEST(LegacySnippets, AToolProjectKeepsItsSelectionAndGivesUpItsSnippetTexts) {
    apptest::FramedTool f;
    const std::string data = apptest::DataFolder();
    const std::string qlp = f.dir.path() + "Old.qlp";
    testsupport::WriteBytes(qlp, "[Quillet]\r\nProjectName=" + f.group +
                                     "\r\n\r\n[PostCode]\r\nCodeType1=Closing\r\nCodeType2=closing\r\nCodeType3=\r\n"
                                     "CodeType4=Late\r\n\r\n[Closing PostCode]\r\n    Debug.Print \"bye\"\r\n");
    f.t.fakes.dialogs.openResults.push_back(qlp);
    f.Click("mnuOpenProject");
    ASSERT_NE(f.Tool(), nullptr);
    // The list ends at the first empty value; a repeat is held once.
    EXPECT_EQ(f.Tool()->PostPanel()->Selected(), std::vector<std::string>{"Closing"});
    EXPECT_EQ(testsupport::ReadBytes(data + "PostCode/Closing.PostCode"), "    Debug.Print \"bye\"");
    std::string body;
    tovcore::Global().GetIniSection("Closing PostCode", body, qlp);
    EXPECT_EQ(body, "");
    std::filesystem::remove(data + "PostCode/Closing.PostCode");
}

}  // namespace

namespace {

TEST(SnippetChoice, ClosingTheProgramAsksAboutAnEditedSnippetFirst) {
    struct Case {
        const char* name;
        std::int32_t answer;
        bool closes, written;
    };
    for (const Case c : {Case{"Yes saves it", quillet::kYes, true, true}, Case{"No drops it", quillet::kNo, true, false},
                         Case{"Cancel keeps the program", quillet::kCancel, false, false}}) {
        SCOPED_TRACE(c.name);
        apptest::FramedTool f;
        f.NewProjectOnGroup(f.dir.path() + "Edit.qlp");
        f.Click("mnuSaveProject");
        auto* side = f.Tool()->PostPanel();
        side->Combo()->setEditText("Unsaved");
        QTest::mouseClick(side->AddButton(), Qt::LeftButton);
        f.Click("mnuSaveProject");
        side->List()->setCurrentRow(0);
        QTest::mouseClick(side->EditButton(), Qt::LeftButton);
        ASSERT_NE(side->OpenEditor(), nullptr);
        side->OpenEditor()->Editor()->insertPlainText("    Debug.Print \"typed\"");  // as typed: a change
        const std::string path = apptest::DataFolder() + "PostCode/Unsaved.PostCode";
        f.t.fakes.messageBox.answers = {c.answer};
        EXPECT_EQ(f.frame->Unload(), c.closes);
        apptest::ProcessEvents();
        EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt, "Save the changes to Unsaved.PostCode?");
        EXPECT_EQ(std::filesystem::exists(path), c.written);
        if (c.written) {
            EXPECT_EQ(testsupport::ReadBytes(path), "    Debug.Print \"typed\"");
        }
        std::filesystem::remove(path);
        if (!c.closes) side->OpenEditor()->Editor()->document()->setModified(false);
    }
}

}  // namespace

namespace {

// The editor is a window named for what it is, and Escape closes it as its Close button does:
// unsaved text is asked about first, and Cancel keeps it open.
TEST(SnippetEditorKeys, EscapeClosesTheEditorAskingAboutUnsavedText) {
    apptest::ToolFixture f;
    f.w->show();
    auto* side = f.w->PrePanel();
    side->Combo()->setEditText("Keys");
    QTest::mouseClick(side->AddButton(), Qt::LeftButton);
    QTest::mouseClick(side->EditButton(), Qt::LeftButton);
    QPointer<quillet::toolwindow::SnippetEditor> editor = side->OpenEditor();
    ASSERT_NE(editor, nullptr);
    editor->show();
    EXPECT_EQ(editor->windowTitle(), "Keys.PreCode - Snippet Editor");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(editor.data())->text(QAccessible::Name),
              "Keys.PreCode - Snippet Editor");
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.data()));
    apptest::ProcessEvents();
    editor->Editor()->insertPlainText("    Debug.Print 1");
    f.t.fakes.messageBox.answers = {quillet::kCancel};
    QTest::keyClick(editor->Editor(), Qt::Key_Escape);
    apptest::ProcessEvents();
    ASSERT_FALSE(editor.isNull()) << "Cancel keeps the editor";
    EXPECT_EQ(f.t.fakes.messageBox.shown.back().prompt, "Save the changes to Keys.PreCode?");
    f.t.fakes.messageBox.answers = {quillet::kNo};
    QTest::keyClick(editor->Editor(), Qt::Key_Escape);
    apptest::ProcessEvents();
    EXPECT_TRUE(editor.isNull()) << "No closes it";
    EXPECT_FALSE(std::filesystem::exists(apptest::DataFolder() + "PreCode/Keys.PreCode"));
}

}  // namespace
