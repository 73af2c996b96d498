// What a screen reader finds in the windows: every control it can move to has a name,
// the line-status sign says the line's state in words, and the decorations stay out of
// sight. Read through Qt's accessibility interfaces, which the desktop's bridge serves.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QLabel>
#include <QtTest>
#include <string>
#include <vector>

#include "link/ui/MissingCardDialog.h"
#include "link/ui/ProgressDialog.h"
#include "platform/ui/controls/Accessibility.h"
#include "res/ResourceIds.h"
#include "summary/ui/RawDataDialog.h"
#include "summary/ui/SplashDialog.h"
#include "support/ui/QtTestMain.h"
#include "support/ui/SummaryFixture.h"
#include "support/ui/WizardRig.h"

using namespace zo;

namespace {

// What a walk through a window's accessibility tree met.
struct Tree {
    QStringList unnamed;                        // focusable, without a name
    QStringList decorations;                    // decorative pictures that should not be there
    std::map<int, QAccessibleInterface*> byId;  // the template's controls, by id
    int focusable = 0;
};

QString Describe(QAccessibleInterface* iface) {
    QObject* o = iface->object();
    return QStringLiteral("%1 (role %2, %3)")
        .arg(o ? o->objectName() : QStringLiteral("?"))
        .arg(int(iface->role()))
        .arg(o ? QString::fromLatin1(o->metaObject()->className()) : QString());
}

void Walk(QAccessibleInterface* iface, Tree& tree, int depth = 0) {
    if (!iface || depth > 40) {
        return;
    }
    QObject* o = iface->object();
    if (o && o->isWidgetType() && ui::IsDecoration(static_cast<QWidget*>(o))) {
        tree.decorations << Describe(iface);
    }
    if (o && o->property("zo_control_id").isValid()) {
        tree.byId[o->property("zo_control_id").toInt()] = iface;
    }
    if (iface->state().focusable) {
        ++tree.focusable;
        if (iface->text(QAccessible::Name).trimmed().isEmpty()) {
            tree.unnamed << Describe(iface);
        }
    }
    for (int i = 0; i < iface->childCount(); ++i) {
        Walk(iface->child(i), tree, depth + 1);
    }
}

Tree WalkWindow(QWidget* window) {
    Tree tree;
    Walk(QAccessible::queryAccessibleInterface(window), tree);
    return tree;
}

QString Name(const Tree& tree, int id) {
    auto it = tree.byId.find(id);
    return it == tree.byId.end() ? QStringLiteral("<not in the tree>")
                                 : it->second->text(QAccessible::Name);
}

QString Description(const Tree& tree, int id) {
    auto it = tree.byId.find(id);
    return it == tree.byId.end() ? QString() : it->second->text(QAccessible::Description);
}

// Widgets under `window` marked as decoration: the pages do have some to hide.
int DecorationsBuilt(QWidget* window) {
    int n = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        n += ui::IsDecoration(w) ? 1 : 0;
    }
    return n;
}

// Fails on an unnamed focusable control or a decoration in sight; `what` names the page.
void CheckWindow(QWidget* window, const QString& what, Tree* out = nullptr) {
    Tree tree = WalkWindow(window);
    QVERIFY2(tree.focusable > 0, qPrintable(what + ": nothing to move to"));
    QVERIFY2(tree.unnamed.isEmpty(),
             qPrintable(what + ": without a name: " + tree.unnamed.join("; ")));
    QVERIFY2(tree.decorations.isEmpty(),
             qPrintable(what + ": decoration in the tree: " + tree.decorations.join("; ")));
    if (out) {
        *out = tree;
    }
}

const char* const kStatusWithActive =
    "ATI9\r\nProduct Name: ZO! Card\r\nOK\r\nLink Status: Active\r\nOK\r\n";

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void everyWizardPageNamesItsControls() {
        test::WizardRig rig;
        rig.Open();
        QWidget* window = rig.sheet->Widget()->window();
        Tree tree;
        CheckWindow(window, "location page", &tree);
        QCOMPARE(Name(tree, res::IDC_LOCATION_NAME), QString("I am dialing from :"));
        QCOMPARE(Name(tree, res::IDC_NO_AUTO_DETECT).trimmed(),
                 QString("Do not detect my Ferronix Zo!(tm) Series Card."));
        QVERIFY(DecorationsBuilt(rig.sheet->GetActivePage()->Widget()) >= 2);

        rig.ToPhonePage(false);
        QCOMPARE(rig.Page(), 2);
        CheckWindow(window, "phone page", &tree);
        const struct {
            int id;
            const char* name;
            const char* description;
        } phone[] = {
            {res::IDC_AREA1, "Area code 1", "Telephone:"},
            {res::IDC_EXCHANGE1, "Exchange 1", "Telephone:"},
            {res::IDC_LINE1, "Line number 1", "Telephone:"},
            {res::IDC_SPID1, "SPID 1", "SPID:"},
            {res::IDC_AREA2, "Area code 2", "Telephone:"},
            {res::IDC_EXCHANGE2, "Exchange 2", "Telephone:"},
            {res::IDC_LINE2, "Line number 2", "Telephone:"},
            {res::IDC_SPID2, "SPID 2", "SPID:"},
        };
        for (const auto& p : phone) {
            QCOMPARE(Name(tree, p.id), QString(p.name));
            QCOMPARE(Description(tree, p.id), QString(p.description));
        }

        rig.Back();
        QCOMPARE(rig.Page(), 1);
        CheckWindow(window, "switch page", &tree);
        QCOMPARE(Name(tree, res::IDC_SWITCH_LIST), QString("What is your switch type?"));

        rig.Next();
        rig.TypeNumber(1, "2065550100");
        rig.Next();
        QCOMPARE(rig.Page(), 3);
        CheckWindow(window, "port page", &tree);
        QCOMPARE(Name(tree, res::IDC_PORT_LIST), QString("Port:"));

        rig.Next();
        QCOMPARE(rig.Page(), 4);
        CheckWindow(window, "commit page", &tree);
        QCOMPARE(rig.prompter.unexpected, std::vector<std::string>{});
    }

    void everyConfigurationTabNamesItsControls() {
        test::SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101", "COM3", test::kNi1, "2065550111",
                     "20655501110101");
        f.AddProfile("Home", "4255550100", "42555501000101");
        f.MarkApplied("Office");
        QVERIFY(f.Open("Office"));
        QWidget* window = f.Sheet().Widget()->window();
        Tree tree;
        CheckWindow(window, "Configure", &tree);
        // The lists are named by their labels, not by the entry they show.
        QCOMPARE(Name(tree, res::IDC_CFG_PROFILE), QString("I am dialing from:"));
        QCOMPARE(Name(tree, res::IDC_CFG_SWITCH), QString("Switch Type:"));
        QCOMPARE(tree.byId[res::IDC_CFG_PROFILE]->text(QAccessible::Value), QString("Office"));
        QCOMPARE(tree.byId[res::IDC_CFG_SWITCH]->text(QAccessible::Value), QString(test::kNi1));
        auto* profiles = qobject_cast<QComboBox*>(f.Config().ControlWidget(res::IDC_CFG_PROFILE));
        QVERIFY(profiles && profiles->count() == 2);
        const struct {
            int id;
            const char* name;
        } numbers[] = {
            {res::IDC_CFG_AREA1, "Area code 1"},   {res::IDC_CFG_EXCHANGE1, "Exchange 1"},
            {res::IDC_CFG_LINE1, "Line number 1"}, {res::IDC_CFG_SPID1, "SPID 1"},
            {res::IDC_CFG_AREA2, "Area code 2"},   {res::IDC_CFG_EXCHANGE2, "Exchange 2"},
            {res::IDC_CFG_LINE2, "Line number 2"}, {res::IDC_CFG_SPID2, "SPID 2"},
        };
        for (const auto& n : numbers) {
            QCOMPARE(Name(tree, n.id), QString(n.name));
        }
        QCOMPARE(Description(tree, res::IDC_CFG_LINE2), QString("Phone Number"));
        QCOMPARE(Description(tree, res::IDC_CFG_SPID2), QString("SPID"));
        QCOMPARE(Name(tree, res::IDC_CFG_CONFIG2), QString("ISDN Configuration 2"));

        QVERIFY(f.Sheet().SetActivePage(1));
        CheckWindow(window, "Product Info", &tree);
        QCOMPARE(Name(tree, res::IDC_PRODUCT_NAME), QString("Product Name:"));
        QCOMPARE(Name(tree, res::IDC_LINE_STATUS), QString("Line Status:"));
        QVERIFY(DecorationsBuilt(f.Sheet().m_productPage.Widget()) >= 2);

        QVERIFY(f.Sheet().SetActivePage(2));
        CheckWindow(window, "General", &tree);
        QCOMPARE(Name(tree, res::IDC_PORT_LIST), QString("Port:"));
        QCOMPARE(f.TakeTexts(), std::vector<std::string>{});
    }

    void dialogsNameTheirControls() {
        {
            link::MissingCardDialog dialog;
            QVERIFY(dialog.Create());
            CheckWindow(dialog.Widget(), "Missing Card");
        }
        {
            summary::RawDataDialog dialog(kStatusWithActive);
            QVERIFY(dialog.Create());
            Tree tree;
            CheckWindow(dialog.Widget(), "raw data", &tree);
            QCOMPARE(Name(tree, res::IDC_RAW_TEXT), QString("Raw data"));
        }
        {
            // Nothing to move to here: the bar still says what it is.
            link::ProgressDialog progress;
            Tree tree = WalkWindow(progress.Widget());
            QVERIFY(tree.unnamed.isEmpty());
        }
        {
            summary::SplashDialog splash;
            QVERIFY(splash.Create());
            Tree tree = WalkWindow(splash.Widget());
            QCOMPARE(DecorationsBuilt(splash.Widget()), 1);
            QVERIFY2(tree.decorations.isEmpty(), qPrintable(tree.decorations.join("; ")));
        }
    }

    // The sign says in words what its colour and shape show, in each of its states, and
    // follows the line when a refresh changes it.
    void lineStatusSignSaysTheStateInWords_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("bitmap");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("word");  // in the description
        const QString ids = "ATI9\r\nProduct Name: ZO! Card\r\nOK\r\n";
        QTest::newRow("inactive") << ids + "Link Status: Physical Interface Inactive\r\nOK\r\n"
                                  << int(res::IDB_SIGN_STOP) << "Line inactive"
                                  << "inactive";
        QTest::newRow("active") << ids + "Link Status: Active\r\nOK\r\n"
                                << int(res::IDB_SIGN_ACTIVE) << "Line active"
                                << "active";
        QTest::newRow("activating") << ids + "Link Status: Activating\r\nOK\r\n"
                                    << int(res::IDB_SIGN_YIELD) << "Line state unknown"
                                    << "neither";
        QTest::newRow("no answer") << QString() << int(res::IDB_SIGN_YIELD) << "Line state unknown"
                                   << "neither";
    }

    void lineStatusSignSaysTheStateInWords() {
        QFETCH(QString, raw);
        QFETCH(int, bitmap);
        QFETCH(QString, name);
        QFETCH(QString, word);
        test::SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        f.Sheet().SetRawIdentification(raw.toStdString());
        QVERIFY(f.Sheet().SetActivePage(1));
        auto& page = f.Sheet().m_productPage;
        QCOMPARE(page.SignShown(), bitmap);
        Tree tree = WalkWindow(f.Sheet().Widget()->window());
        QCOMPARE(Name(tree, res::IDC_STATUS_SIGN), name);
        QVERIFY2(Description(tree, res::IDC_STATUS_SIGN).contains(word),
                 qPrintable(Description(tree, res::IDC_STATUS_SIGN)));
    }

    void lineStatusSignFollowsARefresh() {
        test::SummaryFixture f;
        f.AddProfile("Office", "2065550100", "20655501000101");
        f.MarkApplied("Office");
        QVERIFY(f.Open());
        f.Sheet().SetRawIdentification(kStatusWithActive);
        QVERIFY(f.Sheet().SetActivePage(1));
        auto& page = f.Sheet().m_productPage;
        QAccessibleInterface* sign =
            QAccessible::queryAccessibleInterface(page.ControlWidget(res::IDC_STATUS_SIGN));
        QVERIFY(sign);
        QCOMPARE(sign->text(QAccessible::Name), QString("Line active"));
        // The card has never been configured: it reports its line interface inactive.
        const int served = page.RequestsServed();
        page.OnTimer();
        QTRY_COMPARE_WITH_TIMEOUT(page.RequestsServed(), served + 1, 10000);
        // The refresh runs in the background: served means begun, the sign follows its end.
        QTRY_COMPARE_WITH_TIMEOUT(page.SignShown(), int(res::IDB_SIGN_STOP), 10000);
        QCOMPARE(sign->text(QAccessible::Name), QString("Line inactive"));
    }
};

ZO_QTEST(AccessibilityTest)
#include "AccessibilityTest.moc"
