// Language files: captions, page captions, tool tips and messages applied by control name and
// index, menu items included; the shipped template holds every designed text.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include <QMenu>

#include <tovcore/clsTovcore.h>
#include <tovcore/controls.h>

#include "app/core/ToolWindowFactory.h"
#include "app/frame/frmBackGround.h"
#include "app/secondary/frmAbout.h"
#include "app/secondary/frmHelp.h"
#include "app/secondary/frmView.h"
#include "app/language/Language.h"
#include "platform/text.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/support/testsupport.h"

namespace {

using namespace quillet;
namespace ui = tovcore::ui;

// Points the program at a language file with this content (CR LF lines).
std::string UseLanguage(apptest::TestProgram& t, const std::string& name, const std::string& text) {
    const std::string file = t.program.state.LanguagesFolder + name + ".ist";
    testsupport::WriteBytes(file, text);
    t.program.state.LanguageFile = file;
    t.program.state.LanguageFileExists = true;
    return file;
}

TEST(LanguageFile, AppliesToTheFrameAndItsMenusByNameAndIndexAndIsNeverWritten) {
    apptest::TestProgram t;
    const std::string text = testsupport::CrLf({
        "[frmBackGround]",
        "",
        "frmBackGround=Rahmen",
        "mnuFile=&Datei",
        "mnuLineNumberIncrement(9)=Hundert",
        "mnuNewProject.ToolTipText=Ein neues Projekt anlegen",
        "mnuHelp=",
        "mnuColors=&Farben",
    });
    const std::string file = UseLanguage(t, "Deutsch", text);
    frmBackGround frame(t.program);
    EXPECT_EQ(frame.Caption(), "Rahmen");
    EXPECT_EQ(frame.MenuItem("mnuFile")->text(), "&Datei");
    EXPECT_EQ(frame.MenuItem("mnuColors")->text(), "&Farben");
    EXPECT_EQ(frame.MenuItem("mnuLineNumberIncrement", 9)->text(), "Hundert");
    EXPECT_EQ(frame.MenuItem("mnuLineNumberIncrement", 4)->text(), "50");
    EXPECT_EQ(frame.MenuItem("mnuNewProject")->toolTip(), "Ein neues Projekt anlegen");
    EXPECT_EQ(frame.MenuItem("mnuHelp")->text(), "&Help");  // an empty value keeps the design
    EXPECT_EQ(frame.MenuItem("mnuFile")->menu()->accessibleName(), "Datei");
    EXPECT_FALSE(t.program.state.LanguageBusy);
    EXPECT_EQ(testsupport::ReadBytes(file), text);
}

TEST(LanguageFile, AppliesAsWrittenOnLinuxOrOnWindows) {
    struct Row {
        const char* name;
        std::string text;
    };
    const Row rows[] = {
        {"LF", "[frmBackGround]\nfrmBackGround=Rahmen\nmnuFile=&Datei\n"},
        {"CR", "[frmBackGround]\rfrmBackGround=Rahmen\rmnuFile=&Datei\r"},
        {"a byte-order mark and no final line end",
         "\xEF\xBB\xBF[frmBackGround]\r\nfrmBackGround=Rahmen\r\nmnuFile=&Datei"},
        {"mixed, one line in Windows-1252",
         "[frmBackGround]\r\nfrmBackGround=Rahmen\nmnuFile=&Datei\r\nmnuExit=&Schlie\337en\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        apptest::TestProgram t;
        const std::string file = UseLanguage(t, "Deutsch", r.text);
        frmBackGround frame(t.program);
        EXPECT_EQ(frame.Caption(), "Rahmen");
        EXPECT_EQ(frame.MenuItem("mnuFile")->text(), "&Datei");
        if (r.text.find("mnuExit") != std::string::npos) {
            EXPECT_EQ(frame.MenuItem("mnuExit")->text(), QString::fromUtf8("&Schlie\303\237en"));
        }
        EXPECT_EQ(testsupport::ReadBytes(file), r.text);
    }
}

TEST(LanguageFile, AppliesPageCaptionsAndPerPageToolTipsAndKeepsThePageShown) {
    apptest::TestProgram t;
    UseLanguage(t, "Test", testsupport::CrLf({
                               "[frmTest]",
                               "frmTest=Info",
                               "cmdOk=Close",
                               "chkLog(1)=Fehler",
                               "SSTab1_2=Seite drei",
                               "SSTab1_2.ToolTipText=Die dritte Seite",
                               "SSTab1_0.ToolTipText=Die erste Seite",
                               "[frmOther]",
                               "cmdOk=Wrong window",
                           }));
    ui::Form form("frmTest");
    form.SetCaption("Test");
    auto* tabs = new ui::SSTab(&form, "SSTab1");
    tabs->SetTabs(3);
    tabs->SetTab(1);
    auto* ok = new ui::CommandButton(&form, "cmdOk");
    ok->SetCaption("OK");
    std::vector<ui::CheckBox*> logs;
    for (int i = 0; i < 3; ++i) {
        logs.push_back(new ui::CheckBox(&form, "chkLog", i));
        logs.back()->SetCaption("Log " + QString::number(i));
    }
    auto* label = new ui::Label(&form, "lblPlain");
    label->SetCaption("Plain");

    LoadLanguage(t.program, &form);

    EXPECT_EQ(form.Caption(), "Info");
    EXPECT_EQ(ok->Caption(), "Close");
    EXPECT_EQ(logs[0]->Caption(), "Log 0");
    EXPECT_EQ(logs[1]->Caption(), "Fehler");
    EXPECT_EQ(logs[2]->Caption(), "Log 2");
    EXPECT_EQ(label->Caption(), "Plain");
    EXPECT_EQ(tabs->Tab(), 1);
    EXPECT_EQ(tabs->TabCaption(2), "Seite drei");
    EXPECT_EQ(tabs->TabCaption(0), "Tab 0");
    EXPECT_EQ(TabToolTip(tabs, 2), "Die dritte Seite");
    EXPECT_EQ(TabToolTip(tabs, 0), "Die erste Seite");
    EXPECT_EQ(TabToolTip(tabs, 1), "");
    EXPECT_EQ(tabs->toolTip(), "");
}

TEST(LanguageFile, WithoutOneNothingIsAppliedAndNoFileAppears) {
    apptest::TestProgram t;
    const std::string file = t.program.state.LanguagesFolder + "Default.ist";
    ASSERT_FALSE(testsupport::PathExists(file));
    frmBackGround frame(t.program);
    EXPECT_EQ(frame.MenuItem("mnuFile")->text(), "&File");
    EXPECT_EQ(GetLanguageMessage(t.program, 17), "");
    EXPECT_FALSE(testsupport::PathExists(file));

    // A file that existed at start-up and has gone since is not made again by a lookup.
    t.program.state.LanguageFileExists = true;
    EXPECT_EQ(GetLanguageMessage(t.program, 17), "");
    frmBackGround again(t.program);
    EXPECT_FALSE(testsupport::PathExists(file));
}

TEST(LanguageFile, MessagesAreReadByNumber) {
    apptest::TestProgram t;
    UseLanguage(t, "Test", testsupport::CrLf({"[Messages]", "Msg17=Hilfe fehlt:", "Msg170=other"}));
    EXPECT_EQ(GetLanguageMessage(t.program, 17), "Hilfe fehlt:");
    EXPECT_EQ(GetLanguageMessage(t.program, 18), "");
}

// The keys of one section of the template, read as text (the settings engine would add what is
// missing).
std::map<std::string, std::string> TemplateSection(const std::string& bytes, const std::string& section) {
    std::map<std::string, std::string> keys;
    bool inSection = false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        start = end + 2;
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[" + section + "]";
        } else if (inSection && line.find('=') != std::string::npos) {
            keys[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        }
    }
    return keys;
}

TEST(LanguageTemplate, HoldsEveryDesignedTextOfEveryWindow) {
    apptest::TestProgram t;
    const std::string file = std::string(QUILLET_SHIPPED_DIR) + "Languages/Template.ist";
    const std::string bytes = testsupport::ReadBytes(file);
    ASSERT_TRUE(platform::IsValidUtf8(bytes));
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1) << "lines end in CR LF";

    struct Row {
        const char* window;
        std::function<ui::Form*()> make;
        std::set<std::string> filledAtRunTime;  // texts the window composes as it loads
    };
    const Row rows[] = {
        {"frmBackGround", [&t] { return new frmBackGround(t.program); }, {}},
        {"frmQuillet", [&t] { return DefaultToolWindowFactory()(t.program)->Window(); },
         {"frmQuillet", "Label3", "lblReplaceNames"}},
        {"frmView", [&t] { return new frmView(t.program); }, {}},
        {"frmHelp", [&t] { return new frmHelp(t.program); }, {}},
        {"frmAbout", [&t] { return new frmAbout(t.program); },
         {"lblTitle", "lblVersion", "lblDescription", "lblComment", "lblDisclaimer"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.window);
        std::map<std::string, std::string> keys = TemplateSection(bytes, r.window);
        std::unique_ptr<ui::Form> window(r.make());
        ASSERT_EQ(window->Name().toStdString(), r.window);
        std::string missing;
        for (const auto& [key, text] : DesignedTexts(window.get())) {
            if (r.filledAtRunTime.count(key)) continue;
            if (keys.count(key) == 0 || keys[key] != text) missing += key + "=" + text + "\r\n";
        }
        EXPECT_EQ(missing, "") << "lines the template lacks or holds differently";
    }
}

}  // namespace
