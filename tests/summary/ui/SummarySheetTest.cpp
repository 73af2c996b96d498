#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QtTest>
#include <algorithm>
#include <string>
#include <vector>

#include "link/CardConfiguration.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/SummaryFixture.h"

using namespace zo;
using test::SummaryFixture;
using Texts = std::vector<std::string>;

namespace {

std::string Say(int id) {
    return res::LoadString(id);
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

QLineEdit* EditOf(summary::ConfigurationPage& page, int id) {
    return qobject_cast<QLineEdit*>(page.ControlWidget(id));
}

// Types into an edit as the user does: each key raises the edit's change notification.
void Type(summary::ConfigurationPage& page, int id, const char* text) {
    QTest::keyClicks(EditOf(page, id), QString::fromLatin1(text));
}

// Erases an edit's text as the user does, with its change notification.
void Erase(summary::ConfigurationPage& page, int id) {
    EditOf(page, id)->selectAll();
    QTest::keyClick(EditOf(page, id), Qt::Key_Backspace);
}

// One of the page's controls, as the program addresses it.
template <typename Control>
Control ControlOf(summary::ConfigurationPage& page, int id) {
    Control control;
    control.Attach(page.ControlWidget(id));
    return control;
}
ui::ComboBox Profiles(summary::ConfigurationPage& page) {
    return ControlOf<ui::ComboBox>(page, res::IDC_CFG_PROFILE);
}
ui::ComboBox Switches(summary::ConfigurationPage& page) {
    return ControlOf<ui::ComboBox>(page, res::IDC_CFG_SWITCH);
}
ui::Button RemoveButton(summary::ConfigurationPage& page) {
    return ControlOf<ui::Button>(page, res::IDC_CFG_REMOVE);
}
ui::Edit Area2(summary::ConfigurationPage& page) {
    return ControlOf<ui::Edit>(page, res::IDC_CFG_AREA2);
}

void Choose(summary::ConfigurationPage& page, int id, const std::string& entry) {
    ui::ComboBox list = ControlOf<ui::ComboBox>(page, id);
    list.SetCurSel(list.FindStringExact(-1, entry));
    page.SendCommand(id, ui::CBN_SELCHANGE);
}

QWidget* Focused(summary::ConfigurationPage& page) {
    return page.Widget()->window()->focusWidget();
}

}  // namespace

class SummarySheetTest : public QObject {
    Q_OBJECT

private slots:
    void opensOnConfigureWhenTheCurrentProfilesPortOpens() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.MarkApplied("Office");
        QVERIFY(f.Open("ignored: the record names the profile"));
        QCOMPARE(f.TakeTexts(), Texts{});
        QCOMPARE(f.Sheet().GetActiveIndex(), 0);
        auto& page = f.Config();
        QCOMPARE(page.Fields().Location, std::string("Office"));
        QCOMPARE(page.Text(summary::ProfileEditor::Field::Area1) + "|" +
                     page.Text(summary::ProfileEditor::Field::Exchange1) + "|" +
                     page.Text(summary::ProfileEditor::Field::Line1),
                 std::string("206|555|0100"));
        QVERIFY(!f.Sheet().ProfileModified());
        QVERIFY2(!RemoveButton(page).IsWindowEnabled(), "one profile cannot be removed");
        QCOMPARE(f.Sheet().PortName(), std::string("COM3"));
        // The first activation asked the card, behind the splash, which is gone again.
        auto lines = f.TakeCardLines();
        QVERIFY(Has(lines, "ATI3") && Has(lines, "ATI9") && Has(lines, "ATI10"));
        QVERIFY(f.Sheet().RawIdentification().find("Product Name:") != std::string::npos);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            QVERIFY(!w->isVisible() || w == f.Sheet().Widget());
        }
        // The button row: Close and Apply, no OK.
        QVERIFY(!f.Sheet().ControlWidget(ui::IDOK));
        QCOMPARE(f.Sheet().ControlWidget(ui::IDCANCEL)->text(), QString("Close"));
        QVERIFY(f.Sheet().ControlWidget(ui::ID_APPLY_NOW)->isEnabled());
        // Coming back later asks nothing more of the card.
        f.Sheet().SetActivePage(2);
        f.Sheet().SetActivePage(0);
        QCOMPARE(f.TakeCardLines(), Texts{});
        // Closing with the applied profile shown asks nothing.
        f.PressClose();
        QVERIFY(f.Sheet().HasEnded());
        QCOMPARE(f.TakeTexts(), Texts{});
    }

    void opensOnGeneralWhenThePortDoesNotOpen() {
        SummaryFixture f;
        f.AddProfile("Home", "2065550100", "20655501000101", "COM2");
        f.MarkApplied("Home");
        QVERIFY(f.Open());
        const Texts failed{Say(res::IDS_PORT_UNSUPPORTED), Say(res::IDS_PORT_COMM_FAILED)};
        // The first query's open, then the sheet's own.
        Texts expected = failed;
        expected.insert(expected.end(), failed.begin(), failed.end());
        QCOMPARE(f.TakeTexts(), expected);
        QCOMPARE(f.Sheet().GetActiveIndex(), 2);
        QCOMPARE(f.Sheet().m_generalPage.m_portList.GetText(
                     f.Sheet().m_generalPage.m_portList.GetCurSel()),
                 std::string("COM2"));
        QVERIFY(f.Sheet().RawIdentification().empty());
        // The failed query is not repeated.
        f.Sheet().SetActivePage(0);
        QCOMPARE(f.TakeTexts(), Texts{});
        QCOMPARE(f.Sheet().GetActiveIndex(), 0);
    }

    // Another device answers the first query: message 109 names it as the command line does.
    void aWrongCardAtTheFirstQueryIsNamedUnder109() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.MarkApplied("Office");
        f.card.Faults().wrongIdentification = true;
        QVERIFY(f.Open());
        QCOMPARE(f.prompter.details.size(), std::size_t(1));
        const std::string detail = f.prompter.details.back();
        QCOMPARE(f.TakeTexts(), Texts{Say(res::IDS_PORT_COMM_FAILED)});
        QVERIFY2(detail.rfind("COM3 on ", 0) == 0 &&
                     detail.find("did not identify itself as the card") != std::string::npos,
                 detail.c_str());
        QVERIFY(f.Sheet().RawIdentification().empty());
    }

    void withoutProfileOrCardItLooksOnEveryPortAndLandsOnGeneral() {
        SummaryFixture f;
        f.ports.Unmap("COM3");
        QVERIFY(f.Open());
        const Texts failed{Say(res::IDS_PORT_UNSUPPORTED), Say(res::IDS_PORT_COMM_FAILED)};
        Texts expected = failed;
        expected.push_back(Say(res::IDS_CARD_NOT_DETECTED));
        expected.insert(expected.end(), failed.begin(), failed.end());
        QCOMPARE(f.TakeTexts(), expected);
        QCOMPARE(f.app.Channel().Line().port, std::string("COM1"));
        QCOMPARE(f.Sheet().GetActiveIndex(), 2);
        QVERIFY(f.Sheet().ProfileModified());
    }

    void selectingAProfileLoadsItAndTracksWhetherItIsApplied() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.AddProfile("Home", "5551234", "0155512340", "COM3", test::kAtt, "4255550199",
                     "42555501990101");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        auto& page = f.Config();
        QVERIFY(RemoveButton(page).IsWindowEnabled());
        QVERIFY(Area2(page).IsReadOnly());
        Choose(page, res::IDC_CFG_PROFILE, "Home");
        QCOMPARE(page.Fields().Location, std::string("Home"));
        QVERIFY(f.Sheet().ProfileModified());
        // A seven-digit number splits with an overlap.
        QCOMPARE(EditOf(page, res::IDC_CFG_AREA1)->text(), QString("555"));
        QCOMPARE(EditOf(page, res::IDC_CFG_EXCHANGE1)->text(), QString("123"));
        QCOMPARE(EditOf(page, res::IDC_CFG_LINE1)->text(), QString("1234"));
        QCOMPARE(EditOf(page, res::IDC_CFG_SPID2)->text(), QString("42555501990101"));
        QVERIFY(page.Fields().terminal2 && !Area2(page).IsReadOnly());
        QCOMPARE(Switches(page).GetText(Switches(page).GetCurSel()), std::string(test::kAtt));
        // Edits are dropped without a question when another profile is chosen.
        Type(page, res::IDC_CFG_SPID1, "9");
        Choose(page, res::IDC_CFG_PROFILE, "Office");
        QVERIFY(!f.Sheet().ProfileModified());
        QCOMPARE(page.Fields().SPID1, std::string("20655501000101"));
        QVERIFY(!page.Fields().terminal2 && Area2(page).IsReadOnly());
        QCOMPARE(f.TakeTexts(), Texts{});
    }

    void editsCheckDigitsMoveTheFocusAndSuggestSpids() {
        SummaryFixture f;
        f.AddProfile("Office", "", "", "COM3", "");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        auto& page = f.Config();
        QVERIFY(!f.Sheet().ProfileModified());
        QCOMPARE(Switches(page).GetCurSel(), -1);
        Type(page, res::IDC_CFG_AREA1, "555");
        QVERIFY(f.Sheet().ProfileModified());
        QCOMPARE(Focused(page), page.ControlWidget(res::IDC_CFG_EXCHANGE1));
        Type(page, res::IDC_CFG_EXCHANGE1, "123");
        QCOMPARE(Focused(page), page.ControlWidget(res::IDC_CFG_LINE1));
        // No switch type chosen: no suggestion.
        Type(page, res::IDC_CFG_LINE1, "4567");
        QCOMPARE(page.Fields().SPID1, std::string());
        QCOMPARE(Focused(page), page.ControlWidget(res::IDC_CFG_CONFIG2));
        const std::pair<const char*, const char*> suggestions[] = {{test::kNi1, "55512345670101"},
                                                                   {test::kAtt, "0112345670"},
                                                                   {test::kDms, "555123456701"}};
        for (const auto& [type, spid] : suggestions) {
            Choose(page, res::IDC_CFG_SWITCH, type);
            // a new switch type does not recompute
            QCOMPARE(page.Fields().SPID1, std::string());
            EditOf(page, res::IDC_CFG_LINE1)->clear();
            Type(page, res::IDC_CFG_LINE1, "4567");
            QCOMPARE(EditOf(page, res::IDC_CFG_SPID1)->text(), QString(spid));
            Erase(page, res::IDC_CFG_SPID1);
        }
        QCOMPARE(f.TakeTexts(), Texts{});

        // A letter: message 104, the letter becomes a blank and is selected for overtyping;
        // the flag is not raised by a failing first-terminal number.
        f.Sheet().SetProfileModified(false);
        EditOf(page, res::IDC_CFG_AREA1)->clear();
        Type(page, res::IDC_CFG_AREA1, "x");
        QCOMPARE(f.TakeTexts(), Texts{Say(res::IDS_NUMERIC_ENTRY)});
        QCOMPARE(EditOf(page, res::IDC_CFG_AREA1)->text(), QString(" "));
        QCOMPARE(EditOf(page, res::IDC_CFG_AREA1)->selectedText(), QString(" "));
        QVERIFY(!f.Sheet().ProfileModified());
        // SPIDs take digits only.
        Type(page, res::IDC_CFG_SPID1, "A");
        QCOMPARE(f.TakeTexts(), Texts{Say(res::IDS_NUMERIC_ENTRY)});
        QVERIFY(f.Sheet().ProfileModified());

        // Terminal 2: ticking opens the fields and moves into them; the fourth digit of
        // the line number suggests its SPID; unticking empties them at once.
        f.Sheet().SetProfileModified(false);
        QTest::mouseClick(page.ControlWidget(res::IDC_CFG_CONFIG2), Qt::LeftButton, {},
                          QPoint(5, 5));
        QVERIFY(page.Fields().terminal2 && !Area2(page).IsReadOnly());
        QVERIFY(f.Sheet().ProfileModified());
        QCOMPARE(Focused(page), page.ControlWidget(res::IDC_CFG_AREA2));
        Type(page, res::IDC_CFG_AREA2, "425");
        Type(page, res::IDC_CFG_EXCHANGE2, "555");
        Type(page, res::IDC_CFG_LINE2, "0199");
        QCOMPARE(Focused(page), page.ControlWidget(res::IDC_CFG_SPID2));
        QCOMPARE(page.Fields().SPID2, std::string("425555019901"));  // DMS100 was chosen last
        QTest::mouseClick(page.ControlWidget(res::IDC_CFG_CONFIG2), Qt::LeftButton, {},
                          QPoint(5, 5));
        QVERIFY(!page.Fields().terminal2 && Area2(page).IsReadOnly());
        QCOMPARE(EditOf(page, res::IDC_CFG_SPID2)->text(), QString());
        QCOMPARE(EditOf(page, res::IDC_CFG_AREA2)->text(), QString());
        QTest::mouseClick(page.ControlWidget(res::IDC_CFG_CONFIG2), Qt::LeftButton, {},
                          QPoint(5, 5));
        QCOMPARE(EditOf(page, res::IDC_CFG_AREA2)->text(), QString());
        QCOMPARE(Focused(page), page.ControlWidget(res::IDC_CFG_AREA2));
    }

    void newProfileFromTheWizardOrNothingWhenCancelled() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        auto& page = f.Config();

        f.app.runSheet = [](ui::PropertySheet&) { return int(ui::IDCANCEL); };
        page.SendCommand(res::IDC_CFG_NEW);
        QCOMPARE(f.app.captions, Texts{"NewSPID"});
        QCOMPARE(Profiles(page).GetCount(), 1);
        QCOMPARE(page.Fields().Location, std::string("Office"));
        QCOMPARE(EditOf(page, res::IDC_CFG_SPID1)->text(), QString("20655501000101"));
        QVERIFY(!f.Sheet().ProfileModified());
        QVERIFY(!RemoveButton(page).IsWindowEnabled());

        // A finished wizard has filled the working profile and saved the profile.
        f.app.runSheet = [&f](ui::PropertySheet&) {
            link::WorkingProfile& c = f.app.Profile();
            c.Location = "Lab";
            c.Switch = test::kDms;
            c.Phone1 = "3125550142";
            c.SPID1 = "312555014201";
            c.Phone2 = "3125550143";
            c.SPID2 = "312555014301";
            c.Port = "COM4";
            c.Baud = "38400";
            f.AddProfile("Lab", c.Phone1, c.SPID1, "COM4", c.Switch, c.Phone2, c.SPID2);
            return int(ui::ID_WIZFINISH);
        };
        page.SendCommand(res::IDC_CFG_NEW);
        QCOMPARE(page.Fields().Location, std::string("Lab"));
        QCOMPARE(Profiles(page).GetCount(), 2);
        QCOMPARE(Profiles(page).GetText(Profiles(page).GetCurSel()), std::string("Lab"));
        QCOMPARE(EditOf(page, res::IDC_CFG_EXCHANGE2)->text(), QString("555"));
        QCOMPARE(EditOf(page, res::IDC_CFG_LINE2)->text(), QString("0143"));
        QVERIFY(page.Fields().terminal2);
        QCOMPARE(page.Fields().Baud, std::string("38400"));
        QCOMPARE(f.Sheet().PortName(), std::string("COM4"));
        QVERIFY2(f.Sheet().ProfileModified(), "the wizard did not apply it");
        QVERIFY(RemoveButton(page).IsWindowEnabled());
        QCOMPARE(f.TakeTexts(), Texts{});
    }

    void removeTakesTheNextStoredProfileWithoutAsking() {
        SummaryFixture f;
        // Enumeration order differs from the sorted list.
        f.AddProfile("Zeta", "2065550100", "20655501000101");
        f.AddProfile("Mid", "2065550101", "20655501010101");
        f.AddProfile("Alpha", "2065550102", "20655501020101");
        f.MarkApplied("Zeta");
        QVERIFY(f.Open());
        auto& page = f.Config();
        QCOMPARE(page.Fields().Location, std::string("Zeta"));
        page.SendCommand(res::IDC_CFG_REMOVE);
        QCOMPARE(f.TakeTexts(), Texts{});
        // the record of the removed profile goes with it
        QCOMPARE(f.Applied(), Texts{});
        QCOMPARE(store::ListProfileNames().Value(), (Texts{"Mid", "Alpha"}));
        QCOMPARE(page.Fields().Location, std::string("Mid"));
        QCOMPARE(Profiles(page).GetText(Profiles(page).GetCurSel()), std::string("Mid"));
        QCOMPARE(page.Fields().SPID1, std::string("20655501010101"));
        QVERIFY(f.Sheet().ProfileModified());
        QVERIFY(RemoveButton(page).IsWindowEnabled());

        f.MarkApplied("Alpha");
        page.SendCommand(res::IDC_CFG_REMOVE);
        QCOMPARE(store::ListProfileNames().Value(), Texts{"Alpha"});
        // another profile's record stays
        QCOMPARE(f.Applied(), Texts{"Alpha"});
        QCOMPARE(page.Fields().Location, std::string("Alpha"));
        QCOMPARE(Profiles(page).GetCount(), 1);
        QVERIFY(!RemoveButton(page).IsWindowEnabled());
    }

    // Remove meets another program's lock on the store. Held for the whole wait, it ends in
    // message 114 with nothing removed; released during it, the profile is removed once.
    // Meanwhile the window paints and holds the user's clicks.
    void applyProgramsTheCardSavesAndRecordsTheProfile() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.AddProfile("Home", "4255550199", "42555501990101");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        auto& page = f.Config();
        Choose(page, res::IDC_CFG_PROFILE, "Home");
        EditOf(page, res::IDC_CFG_SPID1)->clear();
        Type(page, res::IDC_CFG_SPID1, "42555501990102");
        f.TakeCardLines();
        f.Sheet().PressButton(ui::PropertySheet::Button::Apply);
        QCOMPARE(f.TakeTexts(), Texts{});
        QCOMPARE(f.progressSteps, 11);
        QCOMPARE(f.TakeCardLines(),
                 (Texts{"AT&F", "ATE0Q0V1", "ATI3", "AT!C0=32", "AT!N1=\"5550199\"",
                        "AT!C2=\"42555501990102\"", "AT!N2=\"\"", "AT!C6=\"\"", "AT&K3", "ATE1",
                        "AT&W", "AT%Z1"}));
        QCOMPARE(f.Applied(), Texts{"Home"});
        store::Profile saved = store::ReadProfile("Home").Value();
        QCOMPARE(saved.storedCount, std::size_t(10));
        QCOMPARE(saved.At(store::kSpid1), std::string("42555501990102"));
        QVERIFY(!f.Sheet().ProfileModified());
        QVERIFY(f.Sheet().ControlWidget(ui::ID_APPLY_NOW)->isEnabled());
        f.PressClose();
        // nothing left to apply
        QCOMPARE(f.TakeTexts(), Texts{});
    }

    // Another program changed the profile after the page read it: Apply programs the card
    // but saves nothing over that change and does not record the profile as applied.
    void applyNeverSavesOverAnotherProgramsChange() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.AddProfile("Home", "4255550199", "42555501990101");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        auto& page = f.Config();
        Choose(page, res::IDC_CFG_PROFILE, "Home");
        EditOf(page, res::IDC_CFG_SPID1)->clear();
        Type(page, res::IDC_CFG_SPID1, "42555501990102");
        f.AddProfile("Home", "4255550199", "42555501997777");
        f.Sheet().PressButton(ui::PropertySheet::Button::Apply);
        Texts texts = f.TakeTexts();
        QCOMPARE(texts.size(), std::size_t(1));
        QVERIFY(texts[0].find("Another program removed or changed this profile") == 0);
        QCOMPARE(f.Applied(), Texts{"Office"});
        QCOMPARE(store::ReadProfile("Home").Value().At(store::kSpid1),
                 std::string("42555501997777"));
    }

    // A key without values is no profile here either: not listed, and not counted when
    // the last profile is kept.
    void keysWithoutValuesAreNoProfiles() {
        SummaryFixture f;
        f.AddProfile("Only", "2065550100", "20655501000101");
        { store::RegistryKey ghost(store::HKEY_LOCAL_MACHINE, store::ProfilePath("Ghost")); }
        f.MarkApplied("Only");
        QVERIFY(f.Open());
        auto& page = f.Config();
        QCOMPARE(Profiles(page).GetCount(), 1);
        QVERIFY(!RemoveButton(page).IsWindowEnabled());
        page.SendCommand(res::IDC_CFG_REMOVE);
        QCOMPARE(store::ListProfileNames().Value(), Texts{"Only"});
        QCOMPARE(f.Applied(), Texts{"Only"});
    }

    void applyFailuresReportAndKeepTheWindow() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.AddProfile("Quoted", "2065550100", "2065550100\"AT&F");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        auto& page = f.Config();
        auto apply = [&] {
            f.Sheet().SetProfileModified(true);
            f.Sheet().SetActivePage(0);
            f.TakeTexts();
            f.TakeCardLines();
            f.Sheet().PressButton(ui::PropertySheet::Button::Apply);
        };

        // The port chosen on " General" cannot be opened.
        f.Sheet().SetActivePage(2);
        auto& ports = f.Sheet().m_generalPage.m_portList;
        ports.SetCurSel(ports.FindStringExact(-1, "COM2"));
        f.Sheet().m_generalPage.SendCommand(res::IDC_PORT_LIST, ui::LBN_SELCHANGE);
        apply();
        // Apply's own message carries the reason: the port and what the system said.
        QVERIFY(f.prompter.details.back().find("COM2") != std::string::npos);
        QCOMPARE(f.TakeTexts(),
                 (Texts{Say(res::IDS_PORT_UNSUPPORTED), Say(res::IDS_PORT_COMM_FAILED),
                        Say(res::IDS_PORT_UNSUPPORTED)}));
        QCOMPARE(f.Sheet().GetActiveIndex(), 2);
        QVERIFY(f.Sheet().ProfileModified());
        QCOMPARE(f.TakeCardLines(), Texts{});
        ports.SetCurSel(ports.FindStringExact(-1, "COM3"));
        f.Sheet().m_generalPage.SendCommand(res::IDC_PORT_LIST, ui::LBN_SELCHANGE);

        // Nothing answers.
        f.card.Faults().silent = true;
        apply();
        QCOMPARE(f.TakeTexts(), Texts{Say(res::IDS_PORT_UNSUPPORTED)});
        QCOMPARE(f.Sheet().GetActiveIndex(), 2);
        f.card.Faults().silent = false;

        // Another device.
        f.card.Faults().wrongIdentification = true;
        apply();
        QCOMPARE(f.TakeTexts(), Texts{Say(res::IDS_PORT_COMM_FAILED)});
        QCOMPARE(f.Sheet().GetActiveIndex(), 2);
        QVERIFY(!Has(f.TakeCardLines(), "AT!C0=32"));
        f.card.Faults().wrongIdentification = false;

        // A write given up at the channel's Retry/Cancel prompt.
        f.app.Profile().AutoDetect = true;
        f.card.Model().SetLineObserver([&f](const std::string& line) {
            if (line == "AT!C0=32") {
                f.card.Faults().failingWrites = -1;
            }
        });
        f.prompter.answers = {platform::Answer::Cancel};
        apply();
        // Apply's message has the device's reason beneath, as the wizard's Finish shows it.
        QCOMPARE(f.prompter.details.size(), std::size_t(2));
        QVERIFY(!f.prompter.details.front().empty());
        QCOMPARE(f.prompter.details.back(), f.prompter.details.front());
        QCOMPARE(f.TakeTexts(),
                 (Texts{Say(res::IDS_PORT_WRITE_FAILED), Say(res::IDS_PORT_WRITE_FAILED)}));
        QCOMPARE(f.Sheet().GetActiveIndex(), 0);
        QVERIFY(!f.app.Profile().AutoDetect);
        QVERIFY(!Has(f.TakeCardLines(), "AT&W"));
        f.card.Model().SetLineObserver(nullptr);
        f.card.Faults().failingWrites = 0;

        // The record cannot be made for a name the store cannot hold.
        Profiles(page).AddString("Bad\\Name");
        Profiles(page).SetCurSel(Profiles(page).FindStringExact(-1, "Bad\\Name"));
        apply();
        QCOMPARE(f.TakeTexts(), Texts{Say(res::IDS_REGISTRY_FAILED)});
        QCOMPARE(f.Applied(), Texts{"Office"});
        QVERIFY(f.Sheet().ProfileModified());
        QVERIFY(!f.Sheet().HasEnded());
        QCOMPARE(f.progressSteps, 1 + 2 + 3 + 5 + 10);

        // A stored value that would end the quoted text early goes nowhere.
        Choose(page, res::IDC_CFG_PROFILE, "Quoted");
        apply();
        QCOMPARE(f.TakeTexts(),
                 Texts{link::OutcomeMessage(link::CardConfigurationResult::UnsafeValue, "SPID 1")});
        QCOMPARE(f.TakeCardLines(), Texts{});
        QCOMPARE(f.Applied(), Texts{"Office"});
    }

    void closingAsksToApplyWhatIsNotApplied() {
        const std::string question =
            Say(res::IDS_PROFILE_PREFIX) + "\"Office\"" + Say(res::IDS_PROFILE_NOT_APPLIED);
        for (bool yes : {false, true}) {
            SummaryFixture f;
            f.AddProfile("Office", "2065550100", "20655501000101");
            f.AddProfile("Home", "4255550199", "42555501990101");
            f.MarkApplied("Home");
            QVERIFY(f.Open());
            Choose(f.Config(), res::IDC_CFG_PROFILE, "Office");
            f.TakeCardLines();
            f.prompter.answers = {yes ? platform::Answer::Yes : platform::Answer::No};
            f.PressClose();
            QCOMPARE(f.TakeTexts(), Texts{question});
            QVERIFY(f.Sheet().HasEnded());
            QCOMPARE(Has(f.TakeCardLines(), "AT&W"), yes);
            QCOMPARE(f.Applied(), Texts{yes ? "Office" : "Home"});
        }
        // A failed Apply after Yes still closes.
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        QVERIFY(f.Open("Office"));
        QVERIFY2(f.Sheet().ProfileModified(), "no profile is recorded as applied");
        f.card.Faults().silent = true;
        f.prompter.answers = {platform::Answer::Yes};
        f.PressClose();
        QCOMPARE(f.TakeTexts(), (Texts{question, Say(res::IDS_PORT_UNSUPPORTED)}));
        QVERIFY(f.Sheet().HasEnded());
    }

    // Closing from "Product Info" with a refresh already asked for: the refresh must not
    // slip its commands into Apply's while the event loop turns during Apply.
    void applyFromTheClosingQuestionHoldsOffTheRefresh() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        QVERIFY(f.Open("Office"));
        f.Sheet().SetActivePage(1);
        auto& product = f.Sheet().m_productPage;
        QVERIFY(product.WorkerRunning());
        const int posted = product.RequestsPosted();
        product.OnTimer();
        // Waited for without dispatching: served now, the refresh would run in the
        // background before the close is pressed.
        for (int i = 0; i < 10000 && product.RequestsPosted() == posted; ++i) {
            QThread::msleep(1);
        }
        QCOMPARE(product.RequestsPosted(), posted + 1);
        f.TakeCardLines();
        f.prompter.answers = {platform::Answer::Yes};
        f.PressClose();
        QVERIFY(f.Sheet().HasEnded());
        QVERIFY(!product.WorkerRunning());
        // the request reached the page during Apply
        QCOMPARE(product.RequestsServed(), 1);
        QCOMPARE(f.TakeCardLines(),
                 (Texts{"AT&F", "ATE0Q0V1", "ATI3", "AT!C0=32", "AT!N1=\"5550100\"",
                        "AT!C2=\"20655501000101\"", "AT!N2=\"\"", "AT!C6=\"\"", "AT&K3", "ATE1",
                        "AT&W", "AT%Z1"}));
        QCOMPARE(f.Applied(), Texts{"Office"});
    }

    void generalPageShowsThePortAndHandsTheChoiceToTheChannel() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        auto& general = f.Sheet().m_generalPage;
        f.Sheet().SetActivePage(2);
        QCOMPARE(general.m_portList.GetCount(), 4);
        QCOMPARE(general.m_portList.GetText(0), std::string("COM1"));
        QCOMPARE(general.m_portList.GetText(general.m_portList.GetCurSel()), std::string("COM3"));
        // Entering and leaving changes nothing.
        f.Sheet().SetActivePage(0);
        QVERIFY(!f.Sheet().ProfileModified());
        QCOMPARE(f.app.Channel().Line().port, std::string("COM3"));

        f.Sheet().SetActivePage(2);
        general.m_portList.SetCurSel(general.m_portList.FindStringExact(-1, "COM2"));
        general.SendCommand(res::IDC_PORT_LIST, ui::LBN_SELCHANGE);
        QVERIFY(f.Sheet().ProfileModified());
        f.Sheet().SetActivePage(1);
        QCOMPARE(f.app.Channel().Line().port, std::string("COM2"));
        // The choice is still shown on coming back, and stays in the channel.
        f.Sheet().SetActivePage(2);
        QCOMPARE(general.m_portList.GetText(general.m_portList.GetCurSel()), std::string("COM2"));
        f.Sheet().SetActivePage(0);
        QCOMPARE(f.app.Channel().Line().port, std::string("COM2"));
    }

    // The new-profile wizard starts from the port the window uses (its port page shows it),
    // and the window goes on with the port the finished wizard chose.
    void theNewProfileWizardTakesAndLeavesThePort() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        std::string portAtStart;
        f.app.runSheet = [&f, &portAtStart](ui::PropertySheet&) {
            link::WorkingProfile& made = f.app.Profile();
            portAtStart = made.Port;
            made.Location = "Lab";
            made.Port = "COM4";
            f.AddProfile("Lab", "3125550142", "312555014201", "COM4");
            return int(ui::ID_WIZFINISH);
        };
        f.Config().SendCommand(res::IDC_CFG_NEW);
        QCOMPARE(portAtStart, std::string("COM3"));
        QCOMPARE(f.app.Channel().Line().port, std::string("COM4"));
        QCOMPARE(f.Config().Fields().Port, std::string("COM4"));
    }

    // A wizard given up after its port page leaves the window on its own port: Apply
    // programs the card on the port " General" shows.
    void aCancelledNewProfileWizardLeavesThePort() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        f.app.runSheet = [&f](ui::PropertySheet&) {
            f.app.Profile().Port = "COM2";
            return int(ui::IDCANCEL);
        };
        f.Config().SendCommand(res::IDC_CFG_NEW);
        QCOMPARE(f.app.Channel().Line().port, std::string("COM3"));
        QCOMPARE(f.Sheet().PortName(), std::string("COM3"));
    }

    // A port chosen on " General" is the one the card is programmed on, and the one
    // saved with the profile, so the next start opens it.
    void applyKeepsThePortItProgrammedOn() {
        SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101", "COM1");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        f.TakeTexts();
        auto& general = f.Sheet().m_generalPage;
        QCOMPARE(f.Sheet().GetActiveIndex(), 2);
        general.m_portList.SetCurSel(general.m_portList.FindStringExact(-1, "COM3"));
        general.SendCommand(res::IDC_PORT_LIST, ui::LBN_SELCHANGE);
        f.Sheet().PressButton(ui::PropertySheet::Button::Apply);
        QCOMPARE(f.TakeTexts(), Texts{});
        QCOMPARE(store::ReadProfile("Office").Value().At(store::kPort), std::string("COM3"));
    }
};

ZO_QTEST(SummarySheetTest)
#include "SummarySheetTest.moc"
