#include <sys/stat.h>
#include <unistd.h>
#include <QDialog>
#include <QtTest>
#include <string>
#include <vector>

#include "app/ConfigApp.h"
#include "pages/SheetShared.h"
#include "platform/files/HelpFile.h"
#include "platform/help/HelpViewer.h"
#include "platform/registry/Hive.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "store/RegistryKey.h"
#include "summary/ui/SummarySheet.h"
#include "support/ScriptedPrompter.h"
#include "support/StoreLock.h"
#include "support/TempWorkDir.h"
#include "support/TestStore.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/RecordingHelp.h"
#include "wizard/ui/WizardSheet.h"

using namespace zo;

namespace {

// Runs no window: records which sheets the start-up asked for and answers from a script.
class ScriptedApp : public app::ConfigApp {
public:
    std::vector<std::string> captions;
    std::vector<int> results;
    bool ole = true;
    // The port the wizard's pages choose, and the channel's port as each sheet starts.
    std::string wizardPort;
    std::vector<std::string> channelPorts;

protected:
    bool WindowSystemReady() override { return ole; }
    int RunSheet(ui::PropertySheet& sheet) override {
        captions.push_back(sheet.Caption());
        channelPorts.push_back(Channel().Line().port);
        if (sheet.Caption() == app::kFirstTimeCaption) {
            Profile().Port = wizardPort;
        }
        if (results.empty()) {
            return ui::IDCANCEL;
        }
        int r = results.front();
        results.erase(results.begin());
        return r;
    }
};

void MarkApplied(const std::string& name) {
    store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::CurrentPath() + name);
    QVERIFY(key.IsOpen());
}

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void startUpRunsTheWizardOnlyBeforeTheFirstApply() {
        const std::string title = res::LoadString(res::IDS_TITLE);
        {
            test::TestStore store;
            test::ScriptedPrompter prompter;
            ScriptedApp app;
            app.results = {ui::ID_WIZFINISH, ui::IDCANCEL};
            QVERIFY(!app.InitInstance());
            QCOMPARE(app.captions, (std::vector<std::string>{app::kFirstTimeCaption, title}));
            QVERIFY(prompter.texts.empty());
        }
        {
            test::TestStore store;
            test::ScriptedPrompter prompter;
            ScriptedApp app;
            app.results = {ui::IDCANCEL};
            QVERIFY(!app.InitInstance());
            QCOMPARE(app.captions, std::vector<std::string>{app::kFirstTimeCaption});
            // Deciding wrote nothing: the store's first write waits for the wizard's window.
            registry::HKey current;
            QCOMPARE(registry::DefaultHive().OpenKey(store::HKEY_LOCAL_MACHINE,
                                                     store::CurrentPath(), &current),
                     registry::Status::NotFound);
        }
        {
            test::TestStore store;
            MarkApplied("Home");
            test::ScriptedPrompter prompter;
            ScriptedApp app;
            QVERIFY(!app.InitInstance());
            QCOMPARE(app.captions, std::vector<std::string>{title});
        }
    }

    // The configuration window opens the port the first-start wizard chose, even when the
    // wizard saved its profile without programming the card; it searches only without one.
    void theConfigurationWindowStartsOnTheWizardsPort() {
        test::TestStore store;
        test::ScriptedPrompter prompter;
        ScriptedApp app;
        app.wizardPort = "COM2";
        app.results = {ui::ID_WIZFINISH, ui::IDCANCEL};
        QVERIFY(!app.InitInstance());
        QCOMPARE(app.channelPorts, (std::vector<std::string>{"", "COM2"}));
    }

    // A store that cannot be read is no first start: message 114 with the store's reason,
    // and no sheet that could save over what it holds.
    void aStoreThatCannotBeReadEndsWithTheRegistryMessage() {
        test::TestStore store;
        MarkApplied("Home");
        test::ScriptedPrompter prompter;
        ScriptedApp app;
        {
            test::StoreLock lock(store.Path());
            QVERIFY(lock.Held());
            QVERIFY(!app.InitInstance());
        }
        QVERIFY(app.captions.empty());
        QCOMPARE(prompter.texts,
                 std::vector<std::string>{res::LoadString(res::IDS_REGISTRY_FAILED)});
        QCOMPARE(prompter.details.size(), std::size_t(1));
        QVERIFY2(prompter.details[0].rfind("Profile store " + store.Path() + ": ", 0) == 0,
                 prompter.details[0].c_str());
    }

    // Nor is a store in a folder the user may not search, which cannot be looked for. Root
    // searches every folder.
    void aStoreThatCannotBeLookedForEndsWithTheRegistryMessage() {
        if (::geteuid() == 0) {
            QSKIP("root searches every folder");
        }
        test::TestStore store;
        const std::string folder = store.Dir() + "/closed";
        QCOMPARE(::mkdir(folder.c_str(), 0700), 0);
        registry::SetDefaultHivePath(folder + "/registry.db");
        QCOMPARE(::chmod(folder.c_str(), 0), 0);
        test::ScriptedPrompter prompter;
        ScriptedApp app;
        const bool started = app.InitInstance();
        ::chmod(folder.c_str(), 0700);
        QVERIFY(!started);
        QVERIFY(app.captions.empty());
        QCOMPARE(prompter.texts,
                 std::vector<std::string>{res::LoadString(res::IDS_REGISTRY_FAILED)});
        QCOMPARE(prompter.details.size(), std::size_t(1));
        QVERIFY2(prompter.details[0].find(folder) != std::string::npos,
                 prompter.details[0].c_str());
    }

    void missingWindowSupportEndsWithItsMessage() {
        test::TestStore store;
        test::ScriptedPrompter prompter;
        ScriptedApp app;
        app.ole = false;
        QVERIFY(!app.InitInstance());
        QVERIFY(app.captions.empty());
        QCOMPARE(prompter.texts, std::vector<std::string>{res::LoadString(res::IDS_OLE_FAILED)});
    }

    void sheetsAskForTheirOwnHelpContexts() {
        test::TestStore store;
        test::TempWorkDir dir;
        test::ScriptedPrompter prompter;
        test::RecordingHelp help;
        ScriptedApp app;
        const std::string file = pages::ProductHelpPath();
        QCOMPARE(file, dir.Path() + "/ksfxzo.hlp");
        {
            wizard::WizardSheet wizard(app::kFirstTimeCaption);
            QVERIFY(wizard.Create());
            wizard.WinHelp(12345, ui::HELP_CONTEXT);
            wizard.PressButton(ui::PropertySheet::Button::Help);
            QCOMPARE(help.shown.size(), std::size_t(2));
            QCOMPARE(help.shown[0], std::make_pair(file, 2000ul));
            QCOMPARE(help.shown[1], std::make_pair(file, 2000ul));
            wizard.DestroyWindow();
            QCOMPARE(help.quits, std::vector<std::string>{wizard::kWizardHelpFile});
        }
        help.shown.clear();
        {
            summary::SummarySheet summary(res::LoadString(res::IDS_TITLE));
            QVERIFY(summary.Create());
            for (int tab = 0; tab < 3; ++tab) {
                summary.SetActivePage(tab);
                summary.WinHelp(0, ui::HELP_CONTEXT);
            }
            QCOMPARE(help.shown.size(), std::size_t(3));
            for (unsigned long tab = 0; tab < 3; ++tab) {
                QCOMPARE(help.shown[tab], std::make_pair(file, 3000ul + tab));
            }
            summary.DestroyWindow();
        }
    }

    // The help file is ours and ships with a topic for every page and tab.
    void shippedHelpCoversEveryContext() {
        files::HelpFile file;
        std::string error;
        QVERIFY2(file.Load(ZO_HELP_FILE, &error), error.c_str());
        for (unsigned long c : {2000ul, 2001ul, 2002ul, 2003ul, 2004ul, 3000ul, 3001ul, 3002ul}) {
            QVERIFY2(file.Find(c) && !file.Find(c)->title.empty(), std::to_string(c).c_str());
        }
    }

    void helpFileFormatIsCheckedBeforeUse() {
        files::HelpFile file;
        std::string error;
        QVERIFY(file.Parse("ZO-HELP 1\n# note\n@2000 First\nOne\nline.\n\nTwo.\n@3001 Second\n",
                           &error));
        QCOMPARE(file.TopicCount(), std::size_t(2));
        QCOMPARE(file.Find(2000)->paragraphs.size(), std::size_t(2));
        QVERIFY(!file.Find(2001));
        for (const char* bad :
             {"", "HELP\n@2000 x\n", "ZO-HELP 1\n@x Title\n", "ZO-HELP 1\n@2000 A\n@2000 B\n",
              "ZO-HELP 1\n@99999999999999999999 A\n"}) {
            files::HelpFile f;
            error.clear();
            QVERIFY2(!f.Parse(bad, &error), bad);
            QVERIFY(!error.empty());
        }
        QVERIFY(!file.Parse(std::string(files::HelpFile::kMaxBytes + 1, 'a'), &error));
    }

    // The viewer reports a file it cannot use in a message of its own and shows nothing.
    void viewerReportsAnUnusableFile() {
        test::TempWorkDir dir;
        test::ScriptedPrompter prompter;
        help::HelpViewer viewer;
        viewer.ShowContext(nullptr, dir.File("ksfxzo.hlp"), 2000);
        QCOMPARE(prompter.texts.size(), std::size_t(1));
        {
            FILE* f = std::fopen(dir.File("ksfxzo.hlp").c_str(), "w");
            std::fputs("ZO-HELP 1\n@2000 Naming\nGive the place a name.\n", f);
            std::fclose(f);
        }
        viewer.ShowContext(nullptr, dir.File("ksfxzo.hlp"), 2001);
        QCOMPARE(prompter.texts.size(), std::size_t(2));
        viewer.ShowContext(nullptr, dir.File("ksfxzo.hlp"), 2000);
        QCOMPARE(prompter.texts.size(), std::size_t(2));
        QVERIFY(viewer.Window());
        QVERIFY(viewer.ShownText().find("Give the place a name.") != std::string::npos);
        viewer.Quit("ksfxzo.hlp");
        QVERIFY(!viewer.Window() || !viewer.Window()->isVisible());
    }
};

ZO_QTEST(ShellTest)
#include "ShellTest.moc"
