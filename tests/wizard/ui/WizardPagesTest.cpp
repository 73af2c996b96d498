#include <QAbstractButton>
#include <QListWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "store/RegistryKey.h"
#include "support/ProgramRun.h"
#include "support/StoreLock.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/WizardRig.h"
#include "wizard/DefaultLocation.h"

using namespace zo;
using namespace zo::res;
using test::Text;
using test::WizardRig;
using Texts = std::vector<std::string>;

namespace {

void StoreProfile(const std::string& name) {
    store::Profile r;
    r.Location = name;
    r.Switch = "National ISDN-1 (NI-1)";
    r.Phone1 = "2065550100";
    r.SPID1 = "20655501000101";
    r.Port = "COM2";
    store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath());
    QVERIFY(store::WriteProfile(key, r));
}

// The key itself, with or without values.
bool KeyExists(const std::string& name) {
    registry::HKey key;
    return registry::DefaultHive().OpenKey(registry::HKEY_LOCAL_MACHINE, store::ProfilePath(name),
                                           &key) == registry::Status::Ok;
}

// SQLite's count of committed write transactions, from the file's header.
unsigned WriteCount(const std::string& path) {
    const std::string bytes = test::Slurp(path).substr(24, 4);
    unsigned n = 0;
    for (char c : bytes) {
        n = n << 8 | static_cast<unsigned char>(c);
    }
    return n;
}

QString SelectedSwitch(WizardRig& w) {
    auto* list = qobject_cast<QListWidget*>(w.Control(IDC_SWITCH_LIST));
    return list->currentItem() ? list->currentItem()->text() : QString();
}

void ChooseSwitch(WizardRig& w, const QString& text) {
    auto* list = qobject_cast<QListWidget*>(w.Control(IDC_SWITCH_LIST));
    list->setCurrentItem(list->findItems(text, Qt::MatchExactly).value(0));
}

}  // namespace

class WizardPagesTest : public QObject {
    Q_OBJECT

private slots:
    void defaultNameCountsPastTheHighestNumber() {
        using wizard::DefaultLocationName;
        const std::string stem = "My Office";
        QCOMPARE(DefaultLocationName(stem, {}), stem);
        QCOMPARE(DefaultLocationName(stem, {"Home", "Work"}), std::string("My Office1"));
        QCOMPARE(DefaultLocationName(stem, {"My Office", "My Office1", "My Office2"}),
                 std::string("My Office3"));
        QCOMPARE(DefaultLocationName(stem, {"My Office9", "My Office10"}),
                 std::string("My Office11"));
        QCOMPARE(DefaultLocationName(stem, {"My Office 2", "My OfficeX", "my office4"}),
                 std::string("My Office1"));
        QCOMPARE(DefaultLocationName(stem, {"My Office007"}), std::string("My Office8"));
        // A suffix far beyond any integer type still counts on.
        QCOMPARE(DefaultLocationName(stem, {"My Office99999999999999999999999"}),
                 std::string("My Office100000000000000000000000"));
    }

    void locationPageProposesAFreeName() {
        {
            WizardRig w;
            w.Open();
            QCOMPARE(w.Page(), 0);
            QCOMPARE(w.Edit(IDC_LOCATION_NAME)->text(), QString("My Office"));
            QCOMPARE(w.profile.Location, std::string("My Office"));
            QCOMPARE(w.sheet->WizardButtons(), unsigned(ui::PSWIZB_NEXT));
            // The PCCARD key is there now, empty.
            store::RegistryKey k(store::HKEY_LOCAL_MACHINE,
                                 store::WithoutTrailingBackslash(store::PccardPath()));
            QVERIFY(k.IsOpen());
        }
        {
            WizardRig w;
            StoreProfile("My Office");
            StoreProfile("My Office2");
            w.Open();
            QCOMPARE(w.Edit(IDC_LOCATION_NAME)->text(), QString("My Office3"));
        }
    }

    // A first start proposes the name with no store to read, and makes the store and the
    // empty PCCARD key only once the page has been painted, not before.
    void aFirstStartMakesTheStoreOnlyAfterThePageIsPainted() {
        WizardRig w;
        w.sheet =
            std::make_unique<wizard::WizardSheet>("First Time", nullptr, 0, &w.channel, &w.profile);
        w.sheet->Create();
        QCOMPARE(w.profile.Location, std::string("My Office"));
        QVERIFY(!std::filesystem::exists(w.storeFile.Path()));
        QWidget* window = w.sheet->Widget()->window();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_VERIFY(std::filesystem::exists(w.storeFile.Path()));
        registry::HKey key;
        QCOMPARE(registry::DefaultHive().OpenKey(
                     registry::HKEY_LOCAL_MACHINE,
                     store::WithoutTrailingBackslash(store::PccardPath()), &key),
                 registry::Status::Ok);
    }

    void locationPageRefusesAndAccepts() {
        WizardRig w;
        StoreProfile("Home");
        w.Open();

        w.SetText(IDC_LOCATION_NAME, "");
        w.Next();
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_LOCATION_REQUIRED)});
        QCOMPARE(w.Page(), 0);
        QCOMPARE(w.FocusId(), int(IDC_LOCATION_NAME));

        // A stored profile's name (in any letter case): refused, the field emptied, the
        // profile untouched.
        w.SetText(IDC_LOCATION_NAME, "HOME");
        w.Next();
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_NAME_IN_USE)});
        QCOMPARE(w.Page(), 0);
        QCOMPARE(w.Edit(IDC_LOCATION_NAME)->text(), QString());
        QCOMPARE(w.Stored("Home").storedCount, std::size_t(10));

        // A name the store cannot hold as one key: its own message, the text kept for
        // correcting, no key made for any part of it.
        w.SetText(IDC_LOCATION_NAME, "Seattle\\Office");
        w.Next();
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_NAME_NOT_STORABLE)});
        QCOMPARE(w.Page(), 0);
        QCOMPARE(w.FocusId(), int(IDC_LOCATION_NAME));
        QCOMPARE(w.Edit(IDC_LOCATION_NAME)->text(), QString("Seattle\\Office"));
        QVERIFY(!KeyExists("Seattle"));
        w.SetText(IDC_LOCATION_NAME, QString(256, 'x'));
        w.Next();
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_NAME_NOT_STORABLE)});
        QCOMPARE(w.Page(), 0);

        // A key without values is free; the look-up leaves no key behind.
        { store::RegistryKey empty(store::HKEY_LOCAL_MACHINE, store::ProfilePath("Office")); }
        QVERIFY(KeyExists("Office"));
        w.SetText(IDC_LOCATION_NAME, "Office");
        w.Next();
        QCOMPARE(w.Page(), 1);
        QVERIFY(w.TakeTexts().empty());
        QCOMPARE(w.profile.Location, std::string("Office"));
        QVERIFY(w.profile.AutoDetect);
        QVERIFY(!KeyExists("Office"));

        // Back shows the accepted name; detection off is remembered at the next Next.
        w.Back();
        QCOMPARE(w.Edit(IDC_LOCATION_NAME)->text(), QString("Office"));
        qobject_cast<QAbstractButton*>(w.Control(IDC_NO_AUTO_DETECT))->setChecked(true);
        w.Next();
        QVERIFY(!w.profile.AutoDetect);

        // The longest name a key may have goes through.
        w.Back();
        w.SetText(IDC_LOCATION_NAME, QString(255, 'x'));
        w.Next();
        QCOMPARE(w.Page(), 1);
        QCOMPARE(w.profile.Location, std::string(255, 'x'));
    }

    // Whether the name is free is not known from a store that cannot be read: message 114
    // with the store's reason, and the page stays until the store answers again.
    void locationPageTellsAStoreFailureAndStays() {
        WizardRig w;
        w.Open();
        {
            test::StoreLock lock(w.storeFile.Path());
            QVERIFY(lock.Held());
            w.SetText(IDC_LOCATION_NAME, "Office");
            w.prompter.details.clear();
            w.Next();
            QCOMPARE(w.TakeTexts(), Texts{Text(IDS_REGISTRY_FAILED)});
            QCOMPARE(w.Page(), 0);
            QCOMPARE(w.FocusId(), int(IDC_LOCATION_NAME));
            QCOMPARE(w.prompter.details.size(), std::size_t(1));
            QVERIFY2(w.prompter.details[0].rfind("Profile store " + w.storeFile.Path(), 0) == 0,
                     w.prompter.details[0].c_str());
        }
        w.Next();
        QCOMPARE(w.Page(), 1);
        QCOMPARE(w.profile.Location, std::string("Office"));
    }

    // A name with a control character would break the line of a registry file; the
    // look-up and the removal of the key it made are one transaction, so no profile
    // another program imports in between is deleted with it.
    void locationNameIsCheckedInOneTransaction() {
        WizardRig w;
        w.Open();
        for (const char* name : {"Off\rice", "Off\nice", "Office\x7f", "\x1b[31mOffice"}) {
            w.SetText(IDC_LOCATION_NAME, QString::fromUtf8(name));
            w.Next();
            QCOMPARE(w.TakeTexts(), Texts{Text(IDS_NAME_NOT_STORABLE)});
            QCOMPARE(w.Page(), 0);
            QVERIFY(!KeyExists(name));
        }
        const unsigned before = WriteCount(w.storeFile.Path());
        w.SetText(IDC_LOCATION_NAME, "Office");
        w.Next();
        QCOMPARE(w.Page(), 1);
        QVERIFY(!KeyExists("Office"));
        QCOMPARE(WriteCount(w.storeFile.Path()) - before, 1u);
    }

    void switchPageKeepsTheChoice() {
        WizardRig w;
        w.Open();
        w.Next();
        QCOMPARE(w.Page(), 1);
        QCOMPARE(w.sheet->WizardButtons(), unsigned(ui::PSWIZB_BACK | ui::PSWIZB_NEXT));
        auto* list = qobject_cast<QListWidget*>(w.Control(IDC_SWITCH_LIST));
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text(), QString("AT&T 5ESS Custom"));
        QCOMPARE(list->item(2)->text(), QString("Northern Telecom (Nortel) DMS100 Custom"));
        QCOMPARE(SelectedSwitch(w), QString("National ISDN-1 (NI-1)"));
        w.Next();
        QCOMPARE(w.profile.Switch, std::string("National ISDN-1 (NI-1)"));

        w.Back();
        ChooseSwitch(w, "AT&T 5ESS Custom");
        w.Back();  // Back stores the choice too
        QCOMPARE(w.profile.Switch, std::string("AT&T 5ESS Custom"));
        w.Next();
        QCOMPARE(SelectedSwitch(w), QString("AT&T 5ESS Custom"));
    }

    void typingMovesOnAndSuggestsTheSpid() {
        const struct {
            const char* type;
            const char* spid;
        } cases[] = {
            {"National ISDN-1 (NI-1)", "20655501000101"},
            {"Northern Telecom (Nortel) DMS100 Custom", "206555010001"},
            {"AT&T 5ESS Custom", "0155501000"},
        };
        for (const auto& c : cases) {
            WizardRig w;
            w.Open();
            w.Next();
            ChooseSwitch(w, c.type);
            w.Next();
            QCOMPARE(w.Page(), 2);
            w.FocusOn(IDC_AREA1);
            w.TypeAtFocus("206");
            QCOMPARE(w.FocusId(), int(IDC_EXCHANGE1));
            w.TypeAtFocus("555");
            QCOMPARE(w.FocusId(), int(IDC_LINE1));
            w.TypeAtFocus("0100");
            // The SPID 1 field is skipped: the second number comes next.
            QCOMPARE(w.FocusId(), int(IDC_AREA2));
            QCOMPARE(w.Edit(IDC_SPID1)->text(), QString(c.spid));
            w.TypeAtFocus("4255550199");
            QCOMPARE(w.FocusId(), int(IDC_SPID2));
            QVERIFY(w.TakeTexts().empty());
            w.FocusOn(IDC_AREA1);
            w.Next();
            QCOMPARE(w.profile.Phone1, std::string("2065550100"));
            QCOMPARE(w.profile.SPID1, std::string(c.spid));
            QCOMPARE(w.profile.Phone2, std::string("4255550199"));
            QCOMPARE(w.profile.TerminalCount, 2);
        }
    }

    void numberFieldsTakeOnlyDigits() {
        WizardRig w;
        w.Open();
        w.ToPhonePage(false);
        w.FocusOn(IDC_AREA1);
        w.TypeAtFocus("2a");
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_NUMERIC_ENTRY)});
        QLineEdit* area = w.Edit(IDC_AREA1);
        QCOMPARE(area->text(), QString("2 "));
        QCOMPARE(area->selectionStart(), 1);
        QCOMPARE(area->selectedText(), QString(" "));
        // The next digit types over the blank; the field fills and the focus moves on.
        w.TypeAtFocus("06");
        QCOMPARE(area->text(), QString("206"));
        QCOMPARE(w.FocusId(), int(IDC_EXCHANGE1));
        QVERIFY(w.TakeTexts().empty());

        // Each offence is reported again; a character of several bytes becomes one blank.
        w.SetText(IDC_EXCHANGE1, QString::fromUtf8("5\xC3\xA9"));
        QCOMPARE(w.Edit(IDC_EXCHANGE1)->text(), QString("5 "));
        QCOMPARE(w.Edit(IDC_EXCHANGE1)->selectionStart(), 1);
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_NUMERIC_ENTRY)});

        // A blank left in place counts toward the length: Next takes it.
        w.SetText(IDC_EXCHANGE1, "5 5");
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_NUMERIC_ENTRY)});
        w.SetText(IDC_LINE1, "0100");
        w.Next();
        QCOMPARE(w.profile.Phone1, std::string("2065 50100"));
    }

    void spidFieldsWarnOnceAndCheckLengthOnLeaving() {
        WizardRig w;
        w.Open();
        w.ToPhonePage(false);
        w.FocusOn(IDC_SPID1);
        w.TypeAtFocus("12a");
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_SPID_ALPHA)});
        QCOMPARE(w.Edit(IDC_SPID1)->text(), QString("12a"));
        w.TypeAtFocus("-");
        QVERIFY(w.TakeTexts().empty());  // blanked, silently this time
        QCOMPARE(w.Edit(IDC_SPID1)->text(), QString("12a "));
        QCOMPARE(w.Edit(IDC_SPID1)->selectedText(), QString(" "));

        // Too short on leaving: message 112 and the focus comes back.
        w.SetText(IDC_SPID1, "123456789");
        w.FocusOn(IDC_AREA1);
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_SPID_REQUIRED)});
        QCOMPARE(w.FocusId(), int(IDC_SPID1));
        w.SetText(IDC_SPID1, QString(21, '1'));
        w.FocusOn(IDC_AREA1);
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_SPID_REQUIRED)});
        w.SetText(IDC_SPID1, QString(20, '1'));
        w.FocusOn(IDC_AREA1);
        QVERIFY(w.TakeTexts().empty());
        QCOMPARE(w.FocusId(), int(IDC_AREA1));

        // SPID 2 is free while terminal 2 has no area code and exchange.
        w.FocusOn(IDC_SPID2);
        w.SetText(IDC_SPID2, "12");
        w.FocusOn(IDC_AREA1);
        QVERIFY(w.TakeTexts().empty());
        w.SetText(IDC_AREA2, "425");
        w.SetText(IDC_EXCHANGE2, "555");
        w.FocusOn(IDC_SPID2);
        w.FocusOn(IDC_AREA1);
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_SPID_REQUIRED)});
        QCOMPARE(w.FocusId(), int(IDC_SPID2));
    }

    void nextChecksTheNumbers() {
        WizardRig w;
        w.Open();
        w.ToPhonePage(false);
        w.SetText(IDC_AREA1, "206");
        w.SetText(IDC_EXCHANGE1, "55");
        w.Next();
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_PHONE_REQUIRED)});
        QCOMPARE(w.Page(), 2);
        QCOMPARE(w.FocusId(), int(IDC_EXCHANGE1));
        w.SetText(IDC_EXCHANGE1, "555");
        w.SetText(IDC_LINE1, "0100");
        w.FocusOn(IDC_AREA1);
        // Terminal 2 half typed.
        w.SetText(IDC_EXCHANGE2, "555");
        w.Next();
        QCOMPARE(w.TakeTexts(), Texts{Text(IDS_PHONE_REQUIRED)});
        QCOMPARE(w.FocusId(), int(IDC_AREA2));
        // Terminal 2 blank but for its SPID: one terminal, nothing of the second stored.
        w.SetText(IDC_EXCHANGE2, "");
        w.SetText(IDC_SPID2, "12345678901");
        w.FocusOn(IDC_AREA1);
        w.TakeTexts();
        w.Next();
        QCOMPARE(w.Page(), 3);
        QCOMPARE(w.profile.TerminalCount, 1);
        QCOMPARE(w.profile.Phone2, std::string());
        QCOMPARE(w.profile.SPID2, std::string());
        w.Back();
        QCOMPARE(w.Edit(IDC_SPID2)->text(), QString("12345678901"));
    }

    void numbersAreOptionalWithAtt5ess() {
        WizardRig w;
        w.Open();
        qobject_cast<QAbstractButton*>(w.Control(IDC_NO_AUTO_DETECT))->setChecked(true);
        w.Next();
        ChooseSwitch(w, "AT&T 5ESS Custom");
        w.Next();
        w.Next();
        QVERIFY(w.TakeTexts().empty());
        QCOMPARE(w.Page(), 3);
        QCOMPARE(w.profile.Phone1, std::string());
        QCOMPARE(w.profile.SPID1, std::string());
        QCOMPARE(w.profile.TerminalCount, 1);
    }

    void everyPageAsksBeforeCancelling() {
        WizardRig w;
        w.Open();
        w.ToPhonePage(false);
        w.SetText(IDC_AREA1, "206");
        w.SetText(IDC_EXCHANGE1, "555");
        w.SetText(IDC_LINE1, "0100");
        w.Next();
        w.Next();
        QCOMPARE(w.Page(), 4);
        w.TakeTexts();
        for (int page = 4; page >= 0; --page) {
            w.sheet->SetActivePage(page);
            w.prompter.answers.push_back(platform::Answer::No);
            w.Cancel();
            QCOMPARE(w.TakeTexts(), Texts{Text(IDS_CANCEL_QUESTION)});
            QVERIFY(!w.Ended());
            QCOMPARE(w.Page(), page);
        }
        // Yes on the location page: the wizard ends, and the name's key is not left behind.
        w.prompter.answers.push_back(platform::Answer::Yes);
        w.Cancel();
        QVERIFY(w.Ended());
        QCOMPARE(w.sheet->Result(), int(ui::IDCANCEL));
        QVERIFY(!KeyExists("My Office"));
        QVERIFY(w.ProfileNames().empty());
        QVERIFY(w.prompter.unexpected.empty());
    }

    void cancelKeepsAStoredProfileOfTheSameName() {
        WizardRig w;
        w.Open();
        // Saved meanwhile under the proposed name, by another run of the program.
        StoreProfile("My Office");
        w.prompter.answers.push_back(platform::Answer::Yes);
        w.Cancel();
        QVERIFY(w.Ended());
        QCOMPARE(w.Stored("My Office").storedCount, std::size_t(10));
    }
};

ZO_QTEST(WizardPagesTest)
#include "WizardPagesTest.moc"
