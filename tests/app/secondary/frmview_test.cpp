// The source viewer: the file's code lines without the attribute header, the line the tree names
// marked red and bold at the top, for CR LF and LF files; messages instead of empty boxes.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/secondary/frmView.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/support/testsupport.h"

namespace {

using namespace quillet;
using testsupport::CrLf;
using testsupport::Lf;

QTextCharFormat FormatOfLine(QTextDocument* document, int line) {
    QTextCursor cursor(document->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::NextCharacter);
    return cursor.charFormat();
}

bool Marked(QTextDocument* document, int line) {
    const QTextCharFormat f = FormatOfLine(document, line);
    return f.foreground().color() == QColor(255, 0, 0) && f.fontWeight() == QFont::Bold;
}

struct ViewCase {
    const char* name;
    const char* file;
    std::string bytes;
    int lineNo;
    QString firstShown;  // the first line of the box
    int marked;          // the marked line of the box, -1 for none
    QString markedText;
};

TEST(Viewer, ShowsTheCodeLinesAndMarksTheNamedLineAtTheTop) {
    const std::string body = "";
    std::vector<std::string> many = {"Attribute VB_Name = \"Big\""};
    for (int i = 1; i <= 400; ++i) many.push_back("Line" + std::to_string(i));
    std::string big;
    for (const std::string& l : many) big += l + "\r\n";
    const ViewCase cases[] = {
        {"a form with its header, line 1", "Form1.frm",
         CrLf({"VERSION 5.00", "Begin VB.Form Form1", "End", "Attribute VB_Name = \"Form1\"", "Option Explicit",
               "Private Sub Form_Load()", "End Sub"}),
         1, "Option Explicit", 0, "Option Explicit"},
        {"a module, line 3", "Main.bas",
         CrLf({"Attribute VB_Name = \"Main\"", "Option Explicit", "Public Sub Go()", "    Beep", "End Sub"}), 3,
         "Option Explicit", 2, "    Beep"},
        {"an LF file", "Util.bas", Lf({"Attribute VB_Name = \"Util\"", "Sub A()", "    B 1", "End Sub"}), 2,
         "Sub A()", 1, "    B 1"},
        {"a file without a header counts from its first line", "Plain.bas", CrLf({"Sub A()", "    B 1", "End Sub"}),
         2, "Sub A()", 1, "    B 1"},
        {"a line past the end marks nothing", "Short.bas", CrLf({"Attribute VB_Name = \"S\"", "Sub A()", "End Sub"}),
         9, "Sub A()", -1, ""},
        {"line 0 marks nothing", "Zero.bas", CrLf({"Attribute VB_Name = \"Z\"", "Sub A()", "End Sub"}), 0, "Sub A()",
         -1, ""},
        {"a line ends at CR LF, LF or CR, as the engine counts", "Mixed.bas",
         std::string("Attribute VB_Name = \"M\"\r\nx = 1\ny = 2\r\nz = 3\rw = 4\r\n"), 3, "x = 1", 2, "z = 3"},
        {"Windows-1252 letters are shown", "Accent.bas", CrLf({"Attribute VB_Name = \"A\"", "s = \"caf\xE9\""}), 1,
         QString::fromUtf8("s = \"caf\xC3\xA9\""), 0, QString::fromUtf8("s = \"caf\xC3\xA9\"")},
        {"a long file: the marked line is at the top", "Big.bas", big, 300, "Line1", 299, "Line300"},
    };
    for (const ViewCase& c : cases) {
        apptest::TestProgram t;
        testsupport::TempDir dir;
        testsupport::WriteBytes(dir.file(c.file), c.bytes);
        frmView* viewer = ShowFileInViewer(t.program, dir.path() + c.file, c.lineNo);
        ASSERT_NE(viewer, nullptr) << c.name;
        QTextDocument* document = viewer->rtfView()->document();
        EXPECT_EQ(document->firstBlock().text(), c.firstShown) << c.name;
        EXPECT_EQ(viewer->MarkedLine(), c.marked) << c.name;
        for (int line = 0; line < document->blockCount(); ++line)
            EXPECT_EQ(Marked(document, line), line == c.marked) << c.name << " line " << line;
        if (c.marked >= 0) {
            EXPECT_EQ(document->findBlockByNumber(c.marked).text(), c.markedText) << c.name;
            EXPECT_EQ(viewer->rtfView()->FirstVisibleLine(), std::min(c.marked, viewer->rtfView()->verticalScrollBar()->maximum()))
                << c.name;
        }
        EXPECT_EQ(viewer->Caption(), QString("View - ") + c.file) << c.name;
        EXPECT_TRUE(viewer->isVisible()) << c.name;
        EXPECT_FALSE(viewer->isModal()) << c.name;
        EXPECT_TRUE(viewer->rtfView()->isReadOnly()) << c.name;
        EXPECT_TRUE(t.fakes.messageBox.shown.empty()) << c.name;
        viewer->close();
        apptest::ProcessEvents();
    }
}

TEST(Viewer, OneViewerIsReusedAndItsCaptionNamesOnlyTheFileShown) {
    apptest::TestProgram t;
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.file("A.bas"), CrLf({"Attribute VB_Name = \"A\"", "Sub A()", "End Sub"}));
    testsupport::WriteBytes(dir.file("B.bas"), CrLf({"Attribute VB_Name = \"B\"", "Sub B()", "End Sub"}));
    frmView* first = ShowFileInViewer(t.program, dir.path() + "A.bas", 1);
    frmView* second = ShowFileInViewer(t.program, dir.path() + "B.bas", 2);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->Caption(), "View - B.bas");
    EXPECT_EQ(second->rtfView()->document()->firstBlock().text(), "Sub B()");
    EXPECT_EQ(t.program.forms.FindByTag("frmView"), second);
    second->close();
    apptest::ProcessEvents();
    EXPECT_EQ(t.program.forms.FindByTag("frmView"), nullptr) << "closing unloads it";
}

TEST(Viewer, AFileThatCannotBeReadGivesAMessageAndNoWindow) {
    apptest::TestProgram t;
    testsupport::TempDir dir;
    const struct {
        const char* name;
        std::string path;
    } cases[] = {{"missing", dir.path() + "Gone.bas"}, {"a folder", dir.path()}};
    for (const auto& c : cases) {
        t.fakes.messageBox.shown.clear();
        EXPECT_EQ(ShowFileInViewer(t.program, c.path, 1), nullptr) << c.name;
        ASSERT_EQ(t.fakes.messageBox.shown.size(), 1u) << c.name;
        EXPECT_NE(t.fakes.messageBox.shown[0].prompt.find(c.path), std::string::npos) << c.name;
        apptest::ProcessEvents();
        EXPECT_EQ(t.program.forms.FindByTag("frmView"), nullptr) << c.name;
    }
}

TEST(Viewer, SmallWindowsGetNoNegativeSizes) {
    apptest::TestProgram t;
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.file("A.bas"), CrLf({"Attribute VB_Name = \"A\"", "Sub A()", "End Sub"}));
    frmView* viewer = ShowFileInViewer(t.program, dir.path() + "A.bas", 1);
    ASSERT_NE(viewer, nullptr);
    viewer->SetWindowState(0);
    viewer->resize(4, 4);
    apptest::ProcessEvents();
    EXPECT_GE(viewer->rtfView()->Width(), 0);
    EXPECT_GE(viewer->rtfView()->Height(), 0);
    EXPECT_GE(viewer->Picture1()->Width(), 0);
    viewer->close();
}

}  // namespace
