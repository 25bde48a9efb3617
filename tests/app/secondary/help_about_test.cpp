// The help and about windows: the help text read once, a missing help file, the about labels from
// the build constants, System Information through the registry store.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include <functional>

#include <QAccessible>
#include <QTest>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <QTextDocument>
#include <QUrl>

#include <tovcore/Types.h>
#include <tovcore/clsTovcore.h>
#include <tovcore/registry.h>

#include "app/frame/frmBackGround.h"
#include "app/secondary/frmAbout.h"
#include "app/secondary/frmHelp.h"
#include "app/secondary/frmView.h"
#include "app/startup/AppIdentity.h"
#include "tests/app/support/AppTestEnv.h"
#include "tests/app/support/FrameFixture.h"
#include "tests/support/testsupport.h"

namespace {

using namespace quillet;
namespace reg = tovcore::registry;

TEST(HelpWindow, ShowsTheShippedHelpTextReadOnlyAndReadsItOnce) {
    apptest::TestProgram t;
    const std::string file = t.program.state.ProgramFolder + "Instructions.html";
    testsupport::WriteBytes(file, "<html><body><h1>Quillet</h1><p>Tick the procedures.</p></body></html>");
    frmHelp* help = ShowHelp(t.program);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->rtfHelp()->toPlainText().contains("Tick the procedures."));
    EXPECT_TRUE(help->rtfHelp()->isReadOnly());
    EXPECT_EQ(help->Tag(), "frmHelp");

    // Activating it again reads nothing: a help file gone meanwhile gives no message.
    std::remove(file.c_str());
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(help, &activate);
    EXPECT_EQ(ShowHelp(t.program), help);
    EXPECT_TRUE(t.fakes.messageBox.shown.empty());
    EXPECT_TRUE(help->rtfHelp()->toPlainText().contains("Tick the procedures."));

    // OK closes it and stores its place.
    help->cmdOk()->click();
    apptest::ProcessEvents();
    EXPECT_EQ(t.program.forms.FindByTag("frmHelp"), nullptr);
    EXPECT_NE(tovcore::Global().GetIniString("frmHelp", "Width", "", t.program.state.IniFileName), "");
}

// The picture that the help text shows for `name`: what the document finds for it, as an image.
QImage HelpPicture(frmHelp* help, const char* name) {
    const QVariant found = help->rtfHelp()->document()->resource(QTextDocument::ImageResource, QUrl(name));
    if (found.canConvert<QImage>() && found.typeId() == QMetaType::QImage) return found.value<QImage>();
    if (found.typeId() == QMetaType::QPixmap) return found.value<QPixmap>().toImage();
    return QImage::fromData(found.toByteArray());
}

TEST(HelpWindow, ShowsItsLogoWhereverTheProgramWasStartedFrom) {
    const std::string logo = testsupport::ReadBytes(std::string(QUILLET_SOURCE_DIR) + "/app/resources/logo.png");
    ASSERT_FALSE(logo.empty());
    for (bool besideTheHelpText : {true, false}) {
        SCOPED_TRACE(besideTheHelpText ? "logo beside the help text" : "no logo beside it: the compiled-in one");
        apptest::TestProgram t;
        const std::string folder = t.program.state.ProgramFolder;
        // The shipped help text, which shows the logo at its top.
        const std::string text = testsupport::ReadBytes(std::string(QUILLET_SHIPPED_DIR) + "Instructions.html");
        ASSERT_NE(text.find("src=\"logo.png\""), std::string::npos);
        testsupport::WriteBytes(folder + "Instructions.html", text);
        std::remove((folder + "logo.png").c_str());
        if (besideTheHelpText) testsupport::WriteBytes(folder + "logo.png", logo);
        // Started from another folder than the program's.
        testsupport::TempDir elsewhere;
        const QString before = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(elsewhere.path()));
        frmHelp* help = ShowHelp(t.program);
        QDir::setCurrent(before);
        ASSERT_NE(help, nullptr);
        const QImage picture = HelpPicture(help, "logo.png");
        EXPECT_FALSE(picture.isNull());
        EXPECT_GT(picture.width(), 100);
        help->resize(700, 520);
        apptest::ProcessEvents();
        if (besideTheHelpText) {
            std::filesystem::create_directories(QUILLET_SCREENSHOT_DIR);
            help->grab().save(QString(QUILLET_SCREENSHOT_DIR) + "/help-with-logo.png");
        }
        help->cmdOk()->click();
        apptest::ProcessEvents();
    }
}

TEST(HelpWindow, OpensAtExactlyItsSavedPlaceEveryTime) {
    apptest::TestProgram t;
    const std::string& ini = t.program.state.IniFileName;
    testsupport::WriteBytes(t.program.state.ProgramFolder + "Instructions.html", "<html><body>Help</body></html>");
    auto saved = [&ini](const char* key) { return tovcore::Global().GetIniString("frmHelp", key, "", ini); };
    std::vector<QRect> places;
    std::vector<std::string> heights, widths;
    for (int opening = 0; opening < 3; ++opening) {
        SCOPED_TRACE(opening);
        frmHelp* help = ShowHelp(t.program);
        ASSERT_NE(help, nullptr);
        apptest::ProcessEvents();
        places.push_back(help->frameGeometry());
        if (opening > 0) {
            // The place it was closed at, outer measures in twips.
            EXPECT_EQ(help->Width(), std::stoi(widths.back()));
            EXPECT_EQ(help->Height(), std::stoi(heights.back()));
        }
        help->cmdOk()->click();
        apptest::ProcessEvents();
        heights.push_back(saved("Height"));
        widths.push_back(saved("Width"));
    }
    EXPECT_EQ(places[1], places[0]);
    EXPECT_EQ(places[2], places[0]);
    EXPECT_EQ(heights, std::vector<std::string>(3, heights[0]));
    EXPECT_EQ(widths, std::vector<std::string>(3, widths[0]));
    // The first opening, with nothing stored, has the designed outer size.
    EXPECT_EQ(places[0].size(), QSize(640, 480));
}

TEST(HelpWindow, AMissingHelpFileShowsOneMessageAndNoWindow) {
    apptest::TestProgram t;
    const std::string file = t.program.state.ProgramFolder + "Instructions.html";
    std::remove(file.c_str());
    EXPECT_EQ(ShowHelp(t.program), nullptr);
    apptest::ProcessEvents();
    ASSERT_EQ(t.fakes.messageBox.shown.size(), 1u);
    // With no language file in use, message 17 is empty: a blank and the path.
    EXPECT_EQ(t.fakes.messageBox.shown[0].prompt, " " + file);
    EXPECT_EQ(t.program.forms.FindByTag("frmHelp"), nullptr);
}

TEST(AboutWindow, ShowsTheBuildConstantsAndTheLibrarysVersion) {
    apptest::TestProgram t;
    frmAbout* about = ShowAbout(t.program);
    const tovcore::AppObject app = QuilletAppObject();
    EXPECT_EQ(about->Caption().toStdString(), "About " + app.Title);
    EXPECT_EQ(about->lblTitle()->Caption().toStdString(), app.Title);
    EXPECT_EQ(about->lblVersion()->Caption().toStdString(), tovcore::Global().GetVersion());
    EXPECT_EQ(about->lblDescription()->Caption().toStdString(), app.FileDescription);
    EXPECT_EQ(about->lblDisclaimer()->Caption().toStdString(), app.LegalCopyright + " by " + app.CompanyName);
    EXPECT_EQ(about->lblComment()->Caption().toStdString(), app.Comments);
    EXPECT_FALSE(about->lblVersion()->Caption().isEmpty());
    EXPECT_EQ(ShowAbout(t.program), about) << "one about window";
    for (QWidget* w : {static_cast<QWidget*>(about->cmdOk()), static_cast<QWidget*>(about->cmdSysInfo()),
                       static_cast<QWidget*>(about->lblTitle())})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty());
    about->cmdOk()->click();
    apptest::ProcessEvents();
    EXPECT_EQ(t.program.forms.FindByTag("frmAbout"), nullptr);
}

// The frame's logo picture box.
QWidget* FrameLogo(quillet::frmBackGround* frame) {
    for (QObject* c : tovcore::ui::Controls(frame))
        if (c->objectName() == "Picture1") return qobject_cast<QWidget*>(c);
    return nullptr;
}

TEST(AboutWindow, HidesTheFramesLogoWhileItShowsOverAFrameWithoutAToolWindow) {
    apptest::FrameFixture f;
    f.frame->show();
    apptest::ProcessEvents();
    QWidget* logo = FrameLogo(f.frame.data());
    ASSERT_NE(logo, nullptr);
    ASSERT_TRUE(logo->isVisible());
    frmAbout* about = ShowAbout(f.t.program);
    apptest::ProcessEvents();
    EXPECT_FALSE(logo->isVisible());
    about->cmdOk()->click();
    apptest::ProcessEvents();
    EXPECT_TRUE(logo->isVisible()) << "the logo comes back with the about window gone";

    // With the tool window in the frame the logo stays hidden, before, during and after.
    f.Tool();
    apptest::ProcessEvents();
    ASSERT_FALSE(logo->isVisible());
    about = ShowAbout(f.t.program);
    apptest::ProcessEvents();
    EXPECT_FALSE(logo->isVisible());
    about->cmdOk()->click();
    apptest::ProcessEvents();
    EXPECT_FALSE(logo->isVisible());
}

TEST(SecondaryWindows, EscapeClosesAboutHelpAndTheViewer) {
    apptest::TestProgram t;
    testsupport::WriteBytes(t.program.state.ProgramFolder + "Instructions.html", "<html><body>Help</body></html>");
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.file("modMain.bas"), "Attribute VB_Name = \"modMain\"\r\nSub Main()\r\nEnd Sub\r\n");
    const struct {
        const char* tag;
        std::function<QWidget*()> show;
        QWidget* (*focus)(QWidget*);  // the control that has the focus as the key is pressed
    } rows[] = {
        {"frmAbout", [&t] { return static_cast<QWidget*>(ShowAbout(t.program)); },
         [](QWidget* w) { return static_cast<QWidget*>(static_cast<frmAbout*>(w)->cmdSysInfo()); }},
        {"frmHelp", [&t] { return static_cast<QWidget*>(ShowHelp(t.program)); },
         [](QWidget* w) { return static_cast<QWidget*>(static_cast<frmHelp*>(w)->rtfHelp()); }},
        {"frmView", [&t, &dir] { return static_cast<QWidget*>(ShowFileInViewer(t.program, dir.file("modMain.bas"), 1)); },
         [](QWidget* w) { return static_cast<QWidget*>(static_cast<frmView*>(w)->rtfView()); }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.tag);
        QWidget* window = r.show();
        ASSERT_NE(window, nullptr);
        apptest::ProcessEvents();
        QWidget* focus = r.focus(window);
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        apptest::ProcessEvents();
        EXPECT_EQ(t.program.forms.FindByTag(r.tag), nullptr);
    }
    EXPECT_TRUE(t.fakes.messageBox.shown.empty());
}

TEST(AboutWindow, ALanguageFilesCaptionWinsOverTheProgramsOwn) {
    apptest::TestProgram t;
    testsupport::WriteBytes(t.program.state.LanguageFile,
                            "[frmAbout]\r\nfrmAbout=\xC3\x9C" "ber Quillet\r\ncmdOk=Gut\r\n");
    t.program.state.LanguageFileExists = true;
    frmAbout about(t.program);
    EXPECT_EQ(about.Caption(), QString::fromUtf8("\xC3\x9C" "ber Quillet"));
    EXPECT_EQ(about.cmdOk()->Caption(), "Gut");
}

TEST(AboutWindow, ALanguageFileDoesNotChangeWhatTheLabelsSay) {
    apptest::TestProgram t;
    testsupport::WriteBytes(t.program.state.LanguageFile, "[frmAbout]\r\nlblVersion=Version 0\r\nlblTitle=Other\r\n");
    t.program.state.LanguageFileExists = true;
    frmAbout about(t.program);
    EXPECT_EQ(about.lblVersion()->Caption().toStdString(), tovcore::Global().GetVersion());
    EXPECT_EQ(about.lblTitle()->Caption().toStdString(), QuilletAppObject().Title);
}

// The lines of one section of an INI text, from its header to the next one.
std::string SectionText(const std::string& ini, const std::string& section) {
    const std::size_t start = ini.find("[" + section + "]\r\n");
    if (start == std::string::npos) return "";
    const std::size_t end = ini.find("\r\n[", start);
    return ini.substr(start, end == std::string::npos ? std::string::npos : end - start + 2);
}

TEST(LanguageTemplate, HoldsTheCaptionsOfTheViewerHelpAndAboutWindows) {
    apptest::TestProgram t;
    // Read as text: the settings engine would write a key that is missing.
    const std::string template_ = testsupport::ReadBytes(std::string(QUILLET_SHIPPED_DIR) + "Languages/Template.ist");
    frmView view(t.program);
    frmHelp help(t.program);
    frmAbout about(t.program);
    for (tovcore::ui::Form* form : std::initializer_list<tovcore::ui::Form*>{&view, &help, &about}) {
        const std::string section = form->Name().toStdString();
        std::vector<std::pair<std::string, std::string>> designed = {{section, form->Caption().toStdString()}};
        for (QObject* control : tovcore::ui::Controls(form))
            if (auto* button = qobject_cast<tovcore::ui::CommandButton*>(control))
                designed.emplace_back(button->objectName().toStdString(), button->Caption().toStdString());
        for (const auto& [key, text] : designed)
            EXPECT_NE(SectionText(template_, section).find("\r\n" + key + "=" + text + "\r\n"), std::string::npos)
                << section << " " << key;
    }
}

// Registry values of the machine hive for one test, removed again afterwards.
class SysInfoKeys {
public:
    void Set(const std::string& key, const std::string& name, const std::string& value) {
        std::int32_t handle = 0;
        ASSERT_EQ(reg::CreateKey(tovcore::HKEY_LOCAL_MACHINE, key, handle), reg::ERROR_SUCCESS);
        ASSERT_EQ(reg::SetValue(handle, name, 1, value + std::string(1, '\0')), reg::ERROR_SUCCESS);
        reg::CloseKey(handle);
        keys_.push_back(key);
    }
    ~SysInfoKeys() {
        for (const std::string& key : keys_) reg::DeleteKey(tovcore::HKEY_LOCAL_MACHINE, key);
    }

private:
    std::vector<std::string> keys_;
};

TEST(AboutWindow, SystemInformationIsFoundThroughTheRegistryStore) {
    if (::geteuid() != 0) GTEST_SKIP() << "writing the machine hive needs administrator rights";
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.file("tools/MSINFO32.EXE"), "");
    const struct {
        const char* name;
        const char* pathValue;    // "PATH" under Shared Tools\MSINFO, nullptr: none
        std::string folderValue;  // "MSINFO" under Shared Tools Location, "": none
        bool launcherWorks;
        std::string started;      // "" when nothing may start
    } cases[] = {
        {"the program's path", "/opt/sysinfo/msinfo", "", true, "/opt/sysinfo/msinfo"},
        {"only the folder key", nullptr, dir.path() + "tools\\", true, dir.path() + "tools/MSINFO32.EXE"},
        {"a folder without the program", nullptr, dir.path(), true, ""},
        {"neither key", nullptr, "", true, ""},
        {"a program that does not start", "/opt/sysinfo/msinfo", "", false, "/opt/sysinfo/msinfo"},
    };
    for (const auto& c : cases) {
        apptest::TestProgram t;
        SysInfoKeys keys;
        if (c.pathValue) keys.Set("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", c.pathValue);
        if (!c.folderValue.empty()) keys.Set("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", c.folderValue);
        t.fakes.launcher.succeed = c.launcherWorks;
        frmAbout about(t.program);
        about.cmdSysInfo()->click();
        if (c.started.empty()) {
            EXPECT_TRUE(t.fakes.launcher.calls.empty()) << c.name;
        } else {
            ASSERT_EQ(t.fakes.launcher.calls.size(), 1u) << c.name;
            EXPECT_EQ(t.fakes.launcher.calls[0].target, c.started) << c.name;
            EXPECT_TRUE(t.fakes.launcher.calls[0].arguments.empty()) << c.name;
        }
        const bool message = c.started.empty() || !c.launcherWorks;
        ASSERT_EQ(t.fakes.messageBox.shown.size(), message ? 1u : 0u) << c.name;
        if (message) {
            EXPECT_EQ(t.fakes.messageBox.shown[0].prompt, "System Information Is Unavailable At This Time");
        }
    }
}

TEST(GetKeyValue, StringsWithoutTheirEndAndNumbersInHexadecimal) {
    if (::geteuid() != 0) GTEST_SKIP() << "writing the machine hive needs administrator rights";
    const std::string key = "SOFTWARE\\QuilletTest";
    std::int32_t handle = 0;
    ASSERT_EQ(reg::CreateKey(tovcore::HKEY_LOCAL_MACHINE, key, handle), reg::ERROR_SUCCESS);
    reg::SetValue(handle, "Text", 1, std::string("abc\0", 4));
    reg::SetValue(handle, "Number", 4, std::string("\x01\x02\x03\xA4", 4));
    reg::SetValue(handle, "Binary", 3, "xyz");
    reg::CloseKey(handle);
    std::string value = "stale";
    EXPECT_TRUE(GetKeyValue(tovcore::HKEY_LOCAL_MACHINE, key, "Text", value));
    EXPECT_EQ(value, "abc");
    EXPECT_TRUE(GetKeyValue(tovcore::HKEY_LOCAL_MACHINE, key, "Number", value));
    EXPECT_EQ(value, "&hA4030201");
    EXPECT_FALSE(GetKeyValue(tovcore::HKEY_LOCAL_MACHINE, key, "Binary", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(GetKeyValue(tovcore::HKEY_LOCAL_MACHINE, key, "Missing", value));
    EXPECT_FALSE(GetKeyValue(tovcore::HKEY_LOCAL_MACHINE, key + "\\Nope", "Text", value));
    for (const char* name : {"Text", "Number", "Binary"}) {
        reg::OpenKey(tovcore::HKEY_LOCAL_MACHINE, key, handle);
        reg::DeleteValue(handle, name);
        reg::CloseKey(handle);
    }
    reg::DeleteKey(tovcore::HKEY_LOCAL_MACHINE, key);
}

}  // namespace
