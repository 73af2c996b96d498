// The wizard under a French locale: its words are French, what it stores and sends is
// what it would be in English.
#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <cstdlib>

#include "res/ResourceIds.h"
#include "res/Translation.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/WizardRig.h"

using namespace zo;
using namespace zo::res;
using test::WizardRig;

namespace {

QStringList Items(QWidget* list) {
    QStringList items;
    auto* l = qobject_cast<QListWidget*>(list);
    for (int i = 0; i < l->count(); ++i) {
        items << l->item(i)->text();
    }
    return items;
}

bool ShowsLabel(QWidget* page, const QString& text) {
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (label->text() == text) {
            return true;
        }
    }
    return false;
}

}  // namespace

class TranslatedWizardTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ::unsetenv("LANGUAGE");
        ::unsetenv("LC_ALL");
        ::unsetenv("LC_MESSAGES");
        ::setenv("LANG", "fr_FR.UTF-8", 1);
        UseTranslations(ZO_BUILD_LOCALE_DIR);
    }
    void cleanup() {
        ::unsetenv("LANG");
        UseTranslations(ZO_BUILD_LOCALE_DIR);
    }

    void frenchWordsEnglishData() {
        WizardRig w;
        w.PlugCard("COM2");
        w.Open();
        QWidget* page = w.Control(IDC_LOCATION_NAME)->parentWidget();
        QVERIFY(ShowsLabel(page, "&J'appelle de :"));
        QCOMPARE(w.sheet->ControlWidget(ui::ID_WIZNEXT)->text(), QString("&Suivant >"));
        QCOMPARE(w.sheet->ControlWidget(ui::IDCANCEL)->text(), QString("Annuler"));
        // The suggested name is stored as the profile's name: it is not translated.
        QCOMPARE(w.Edit(IDC_LOCATION_NAME)->text(), QString("My Office"));

        w.Next();
        QCOMPARE(Items(w.Control(IDC_SWITCH_LIST)),
                 (QStringList{"AT&T 5ESS Custom", "National ISDN-1 (NI-1)",
                              "Northern Telecom (Nortel) DMS100 Custom"}));
        w.Next();
        w.TypeNumber(1, "2065550100");
        w.Next();
        QCOMPARE(w.Page(), 4);
        QVERIFY(qobject_cast<QLabel*>(w.Control(IDC_COMMIT_SUMMARY))
                    ->text()
                    .startsWith(QString::fromUtf8("Les informations saisies pour « My Office")));
        w.Finish();
        QVERIFY(w.Ended());

        // The card hears the same commands as in English, and the profile holds the
        // same values.
        const auto& lines = w.card.Model().Lines();
        for (const char* command : {"AT!C0=32", "AT!N1=\"5550100\"", "AT&W"}) {
            QVERIFY2(std::find(lines.begin(), lines.end(), command) != lines.end(), command);
        }
        QCOMPARE(w.Stored("My Office").Values(),
                 (std::vector<std::string>{"My Office", "National ISDN-1 (NI-1)", "2065550100",
                                           "20655501000101", "COM2", "115200", "8", "None", "1",
                                           "Hardware"}));
    }
};

ZO_QTEST(TranslatedWizardTest)
#include "TranslatedWizardTest.moc"
