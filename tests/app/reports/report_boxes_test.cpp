// The report boxes: the report text in one piece, its runs applied (headings bold, unused names
// red), read-only, unwrapped, in a fixed-pitch font.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "app/reports/ReportBoxes.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/app/support/ReportFixture.h"

namespace {

using quillet::BuildReportDocument;
using quillet::FillReportBox;
using quillet::InitReportBox;
using reports::ReportBox;

// The format of the character at `position` of the document's plain text.
QTextCharFormat FormatAt(const QTextDocument& document, int position) {
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);  // the format of the character before the cursor
    return cursor.charFormat();
}

bool IsRed(const QTextCharFormat& f) { return f.foreground().color() == QColor(255, 0, 0); }
bool IsBold(const QTextCharFormat& f) { return f.fontWeight() == QFont::Bold; }

QString Shown(const std::string& text) { return QString::fromStdString(text).replace("\r\n", "\n"); }

TEST(ReportBoxes, ShowTheFixturesModuleReportWithUnusedNamesInRed) {
    apptest::App();
    apptest::LoadedProject p;
    QTextEdit box;
    InitReportBox(&box);
    FillReportBox(&box, p.reports.rtfModules);

    const QString text = box.toPlainText();
    ASSERT_EQ(text, Shown(p.reports.rtfModules.text));
    const int unused = text.indexOf("gUnused");
    const int used = text.indexOf("gUsed");
    const int heading = text.indexOf("Definition");
    ASSERT_GE(unused, 0);
    ASSERT_GE(used, 0);
    ASSERT_GE(heading, 0);
    EXPECT_TRUE(IsRed(FormatAt(*box.document(), unused)));
    EXPECT_FALSE(IsBold(FormatAt(*box.document(), unused)));
    EXPECT_FALSE(IsRed(FormatAt(*box.document(), used)));
    EXPECT_TRUE(IsBold(FormatAt(*box.document(), heading)));
    // The whole unused row is red, up to its line number; the used row is black to its end.
    const QTextBlock row = box.document()->findBlock(unused);
    EXPECT_TRUE(IsRed(FormatAt(*box.document(), row.position() + row.length() - 2)));
    const QTextBlock usedRow = box.document()->findBlock(used);
    EXPECT_FALSE(IsRed(FormatAt(*box.document(), usedRow.position() + usedRow.length() - 2)));

    // The unused local of the LF file, in the other project of the group.
    const int lost = text.indexOf("lost");
    ASSERT_GE(lost, 0);
    EXPECT_TRUE(IsRed(FormatAt(*box.document(), lost)));

    EXPECT_TRUE(box.isReadOnly());
    EXPECT_EQ(box.lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_TRUE(QFontInfo(box.document()->defaultFont()).fixedPitch());
    EXPECT_EQ(box.textCursor().position(), 0);
}

TEST(ReportBoxes, AFillReplacesTheTextAndAnEmptyReportEmptiesTheBox) {
    apptest::App();
    QTextEdit box;
    InitReportBox(&box);
    FillReportBox(&box, ReportBox{"first\r\nreport\r\n", {{0, 5, 255, false}}});
    FillReportBox(&box, ReportBox{"second", {}});
    EXPECT_EQ(box.toPlainText(), "second");
    EXPECT_FALSE(IsRed(FormatAt(*box.document(), 0)));
    FillReportBox(&box, ReportBox{});
    EXPECT_EQ(box.toPlainText(), "");
}

// Which characters come out red and which bold, for runs in odd places.
struct RunCase {
    const char* name;
    std::string text;
    std::vector<reports::ReportFormatRun> runs;
    QString red;   // one character per shown character: 'r' red, '.' not
    QString bold;  // 'b' bold, '.' not
};

TEST(ReportBoxes, RunsAreAppliedByCharacterInOrder) {
    apptest::App();
    const RunCase cases[] = {
        {"a later run wins where two overlap", "abcdef", {{0, 4, 255, true}, {2, 4, 0, false}}, "rr....", "bb...."},
        {"a run past the end stops at the end", "abc", {{1, 50, 255, false}}, ".rr", "..."},
        {"a run before the start is cut there", "abc", {{-2, 3, 255, false}}, "r..", "..."},
        {"CR LF counts two characters and shows as one line end", "ab\r\ncd", {{4, 2, 255, false}}, "..\n" "rr",
         "..\n" ".."},
        {"a run ending between CR and LF makes no extra line", "ab\r\ncd", {{0, 3, 0, true}}, "..\n" "..",
         "bb\n" ".."},
        {"a character outside the basic plane counts once", "\xF0\x9F\x98\x80xy", {{1, 1, 255, false}}, "..r.",
         "...."},
        {"accented letters count once", "\xC3\xA9t\xC3\xA9", {{2, 1, 0, true}}, "...", "..b"},
        {"no runs: nothing red or bold", "plain", {}, ".....", "....."},
    };
    for (const RunCase& c : cases) {
        QTextDocument document;
        BuildReportDocument(document, ReportBox{c.text, c.runs});
        const QString shown = document.toPlainText();
        ASSERT_EQ(shown.size(), c.red.size()) << c.name;
        QString red, bold;
        for (int i = 0; i < shown.size(); ++i) {
            if (shown.at(i) == u'\n' || shown.at(i) == QChar::ParagraphSeparator) {
                red += u'\n';
                bold += u'\n';
                continue;
            }
            // A surrogate pair is one character: read its format once.
            const QTextCharFormat f = FormatAt(document, i);
            red += IsRed(f) ? u'r' : u'.';
            bold += IsBold(f) ? u'b' : u'.';
        }
        EXPECT_EQ(red, c.red) << c.name;
        EXPECT_EQ(bold, c.bold) << c.name;
    }
}

}  // namespace
