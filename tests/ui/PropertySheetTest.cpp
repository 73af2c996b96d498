#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialog.h"
#include "platform/ui/dialogs/PropertyPage.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "res/ResourceIds.h"
#include "support/ui/QtTestMain.h"

using namespace zo;
using ui::PropertySheet;
using Button = ui::PropertySheet::Button;
using Log = std::vector<std::string>;

namespace {

// A page that writes every notification into a shared log; hooks change its answers.
class RecPage : public ui::PropertyPage {
public:
    RecPage(int templateId, std::string name, Log& log)
        : ui::PropertyPage(templateId), m_name(std::move(name)), m_log(log) {}

    std::function<bool()> setActive, killActive, finish, queryCancel, apply;
    std::function<int()> next, back;

    bool OnSetActive() override {
        Add("SetActive");
        bool base = ui::PropertyPage::OnSetActive();
        return setActive ? setActive() : base;
    }
    bool OnKillActive() override {
        Add("KillActive");
        bool base = ui::PropertyPage::OnKillActive();
        return killActive ? killActive() : base;
    }
    int OnWizardNext() override {
        Add("WizardNext");
        return next ? next() : 0;
    }
    int OnWizardBack() override {
        Add("WizardBack");
        return back ? back() : 0;
    }
    bool OnWizardFinish() override {
        Add("WizardFinish");
        return finish ? finish() : true;
    }
    bool OnQueryCancel() override {
        Add("QueryCancel");
        return queryCancel ? queryCancel() : true;
    }
    bool OnApply() override {
        Add("Apply");
        return apply ? apply() : ui::PropertyPage::OnApply();
    }
    void OnReset() override { Add("Reset"); }

protected:
    bool OnInitDialog() override {
        Add("InitDialog");
        return ui::PropertyPage::OnInitDialog();
    }
    void OnDestroy() override { Add("Destroy"); }

private:
    void Add(const char* what) { m_log.push_back(m_name + ":" + what); }
    std::string m_name;
    Log& m_log;
};

// Five wizard pages or three tabs, on the program's own templates.
struct Fixture {
    explicit Fixture(bool wizard) : sheet("Caption") {
        const int wizardIds[] = {res::IDD_LOCATION, res::IDD_SWITCH, res::IDD_PHONE,
                                 res::IDD_SERIAL, res::IDD_COMMIT};
        const int tabIds[] = {res::IDD_CONFIGURE, res::IDD_PRODUCT, res::IDD_GENERAL};
        int n = wizard ? 5 : 3;
        for (int i = 0; i < n; ++i) {
            pages.push_back(std::make_unique<RecPage>(wizard ? wizardIds[i] : tabIds[i],
                                                      "p" + std::to_string(i), log));
            sheet.AddPage(pages.back().get());
        }
        if (wizard) {
            sheet.SetWizardMode();
        }
    }
    RecPage& P(int i) { return *pages[static_cast<std::size_t>(i)]; }
    Log Take() {
        Log l;
        l.swap(log);
        return l;
    }

    Log log;
    PropertySheet sheet;
    std::vector<std::unique_ptr<RecPage>> pages;
};

// Keys as the keyboard sends them: to whatever has the focus.
void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* to = QApplication::focusWidget();
    QVERIFY(to);
    QTest::keyClick(to, key, mods);
}

bool Shows(const Fixture& f, QWidget* sheet) {
    return QTest::qWaitForWindowActive(sheet) && f.sheet.GetActivePage();
}

class HelpSheet : public PropertySheet {
public:
    using PropertySheet::PropertySheet;
    void WinHelp(unsigned long data, unsigned command) override {
        calls.emplace_back(data, command);
    }
    std::vector<std::pair<unsigned long, unsigned>> calls;
};

}  // namespace

class PropertySheetTest : public QObject {
    Q_OBJECT

private slots:
    void wizardWalksForwardAndBack() {
        Fixture f(true);
        QVERIFY(f.sheet.Create());
        QCOMPARE(f.Take(), (Log{"p0:InitDialog", "p0:SetActive"}));
        f.sheet.PressButton(Button::Next);
        QCOMPARE(f.Take(),
                 (Log{"p0:WizardNext", "p0:KillActive", "p1:InitDialog", "p1:SetActive"}));
        QCOMPARE(f.sheet.GetActiveIndex(), 1);
        f.sheet.PressButton(Button::Back);
        QCOMPARE(f.Take(), (Log{"p1:WizardBack", "p1:KillActive", "p0:SetActive"}));
        QCOMPARE(f.sheet.GetActiveIndex(), 0);
        QCOMPARE(f.sheet.Widget()->windowTitle(), QString("Kest Ferronix ZO!(tm) Series Wizard"));
    }

    void refusalsKeepThePage() {
        Fixture f(true);
        f.sheet.Create();
        f.Take();
        f.P(0).next = [] { return -1; };
        f.sheet.PressButton(Button::Next);
        QCOMPARE(f.Take(), (Log{"p0:WizardNext"}));
        QCOMPARE(f.sheet.GetActiveIndex(), 0);
        f.P(0).next = nullptr;
        f.P(0).killActive = [] { return false; };
        f.sheet.PressButton(Button::Next);
        QCOMPARE(f.Take(), (Log{"p0:WizardNext", "p0:KillActive"}));
        QCOMPARE(f.sheet.GetActiveIndex(), 0);
        QVERIFY(!f.P(1).Widget());
    }

    void pagesJumpForwardAndBackward() {
        Fixture f(true);
        f.sheet.Create();
        // A page that moves on by itself and then lets Next go ahead lands where it went.
        f.P(0).next = [&] { return res::IDD_PHONE; };
        f.sheet.PressButton(Button::Next);
        QCOMPARE(f.sheet.GetActiveIndex(), 2);
        f.P(2).next = [&] {
            f.sheet.SetActivePage(4);
            return 0;
        };
        f.Take();
        f.sheet.PressButton(Button::Next);
        QCOMPARE(f.sheet.GetActiveIndex(), 4);
        QCOMPARE(f.Take(),
                 (Log{"p2:WizardNext", "p2:KillActive", "p4:InitDialog", "p4:SetActive"}));
        QVERIFY(!f.P(3).Widget());
        f.P(4).back = [&] {
            f.sheet.SetActivePage(2);
            return 0;
        };
        f.sheet.PressButton(Button::Back);
        QCOMPARE(f.sheet.GetActiveIndex(), 2);
        f.P(4).back = nullptr;
        f.sheet.SetActivePage(4);
        f.sheet.PressButton(Button::Back);
        QCOMPARE(f.sheet.GetActiveIndex(), 3);
    }

    void wizardButtonsAndFinish() {
        Fixture f(true);
        f.sheet.Create();
        auto* back = f.sheet.ControlWidget(ui::ID_WIZBACK);
        auto* next = f.sheet.ControlWidget(ui::ID_WIZNEXT);
        auto* finish = f.sheet.ControlWidget(ui::ID_WIZFINISH);
        f.sheet.SetWizardButtons(ui::PSWIZB_NEXT);
        QVERIFY(!back->isEnabled());
        QVERIFY(next->isEnabled() && next->isVisible() && !finish->isVisible());
        f.sheet.PressButton(Button::Back);
        QCOMPARE(f.sheet.GetActiveIndex(), 0);
        // Finish takes the place of Next.
        f.sheet.SetWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_DISABLEDFINISH);
        QVERIFY(back->isEnabled() && !next->isVisible());
        QVERIFY(finish->isVisible() && !finish->isEnabled());
        f.Take();
        f.sheet.PressButton(Button::Finish);
        QVERIFY(f.Take().empty());
        f.sheet.SetWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_FINISH);
        f.P(0).finish = [] { return false; };
        QTest::mouseClick(finish, Qt::LeftButton);
        QCOMPARE(f.Take(), (Log{"p0:WizardFinish"}));
        QVERIFY(!f.sheet.HasEnded());
        f.P(0).finish = nullptr;
        f.sheet.PressButton(Button::Finish);
        QVERIFY(f.sheet.HasEnded());
        QCOMPARE(f.sheet.Result(), int(ui::ID_WIZFINISH));
    }

    void cancelAsksTheActivePageAndResetsShownPages() {
        Fixture f(true);
        f.sheet.Create();
        f.sheet.PressButton(Button::Next);
        f.Take();
        f.P(1).queryCancel = [] { return false; };
        QTest::keyClick(f.sheet.Widget(), Qt::Key_Escape);
        QCOMPARE(f.Take(), (Log{"p1:QueryCancel"}));
        QVERIFY(!f.sheet.HasEnded());
        f.P(1).queryCancel = nullptr;
        f.sheet.PressButton(Button::Cancel);
        QCOMPARE(f.Take(), (Log{"p1:QueryCancel", "p0:Reset", "p1:Reset"}));
        QCOMPARE(f.sheet.Result(), int(ui::IDCANCEL));
        f.sheet.DestroyWindow();
        QCOMPARE(f.Take(), (Log{"p0:Destroy", "p1:Destroy"}));
    }

    void tabsApplyAndModifiedState() {
        Fixture f(false);
        f.sheet.Create();
        QVERIFY(f.sheet.ControlWidget(ui::IDOK));
        auto* apply = f.sheet.ControlWidget(ui::ID_APPLY_NOW);
        QVERIFY(!apply->isEnabled());
        QCOMPARE(f.sheet.TabBar()->tabText(2), QString(" General"));
        f.Take();
        f.sheet.TabBar()->setCurrentIndex(2);
        QCOMPARE(f.Take(), (Log{"p0:KillActive", "p2:InitDialog", "p2:SetActive"}));
        f.P(0).SetModified();
        QVERIFY(apply->isEnabled());
        // Apply: the active page lets go, every page ever shown applies, the page on view
        // is active again. A page may stay modified by saying so while it applies.
        f.P(2).apply = [&] {
            f.P(2).SetModified(true);
            return true;
        };
        f.sheet.PressButton(Button::Apply);
        QCOMPARE(f.Take(), (Log{"p2:KillActive", "p0:Apply", "p2:Apply", "p2:SetActive"}));
        QVERIFY(!f.P(0).IsModified());
        QVERIFY(apply->isEnabled());
        f.P(2).apply = [] { return false; };
        f.P(0).SetModified();
        f.sheet.PressButton(Button::Ok);
        QCOMPARE(f.Take(), (Log{"p2:KillActive", "p0:Apply", "p2:Apply", "p2:SetActive"}));
        QVERIFY(!f.sheet.HasEnded());
        f.P(2).apply = nullptr;
        f.sheet.PressButton(Button::Ok);
        QVERIFY(f.sheet.HasEnded());
        QCOMPARE(f.sheet.Result(), int(ui::IDOK));
    }

    void tabActivationRefusals() {
        Fixture f(false);
        f.sheet.Create();
        f.Take();
        f.P(1).setActive = [] { return false; };
        f.sheet.TabBar()->setCurrentIndex(1);
        QCOMPARE(f.Take(), (Log{"p0:KillActive", "p1:InitDialog", "p1:SetActive", "p0:SetActive"}));
        QCOMPARE(f.sheet.GetActiveIndex(), 0);
        QCOMPARE(f.sheet.TabBar()->currentIndex(), 0);
        // A page that sends the sheet elsewhere while it is being activated is obeyed.
        f.P(1).setActive = [&] {
            f.sheet.SetActivePage(2);
            return false;
        };
        f.sheet.TabBar()->setCurrentIndex(1);
        QCOMPARE(f.sheet.GetActiveIndex(), 2);
        QCOMPARE(f.sheet.TabBar()->currentIndex(), 2);
        f.P(2).killActive = [] { return false; };
        f.sheet.TabBar()->setCurrentIndex(0);
        QCOMPARE(f.sheet.GetActiveIndex(), 2);
        QCOMPARE(f.sheet.TabBar()->currentIndex(), 2);
    }

    void firstPageChosenBeforeTheWindowExists() {
        Fixture f(false);
        f.sheet.SetActivePage(2);
        f.sheet.Create();
        QCOMPARE(f.Take(), (Log{"p2:InitDialog", "p2:SetActive"}));
    }

    void helpButtonAndF1AskTheSheet() {
        Log log;
        HelpSheet sheet("Help");
        RecPage page(res::IDD_LOCATION, "p0", log);
        sheet.AddPage(&page);
        sheet.SetWizardMode();
        sheet.Create();
        QTest::mouseClick(sheet.ControlWidget(ui::IDHELP), Qt::LeftButton);
        QTest::keyClick(sheet.Widget(), Qt::Key_F1);
        QCOMPARE(sheet.calls.size(), std::size_t(2));
        QCOMPARE(sheet.calls[0].second, unsigned(ui::HELP_CONTEXT));
    }

    void modalRunEndsAndDestroysThePages() {
        Fixture f(true);
        QTimer::singleShot(0, [&] { f.sheet.PressButton(Button::Cancel); });
        QCOMPARE(f.sheet.DoModal(), int(ui::IDCANCEL));
        QVERIFY(!f.sheet.Widget());
        QVERIFY(!f.P(0).Widget());
        QCOMPARE(f.log.back(), std::string("p0:Destroy"));
    }

    // Each page shown puts the focus on its first field, with an edit's text selected,
    // so typing replaces what the page proposes.
    void activationFocusesTheFirstTabStop() {
        Fixture f(true);
        QVERIFY(f.sheet.Create());
        QVERIFY(Shows(f, f.sheet.Widget()));
        auto* name = qobject_cast<QLineEdit*>(f.P(0).ControlWidget(res::IDC_LOCATION_NAME));
        QCOMPARE(QApplication::focusWidget(), name);
        QTest::keyClicks(name, "Home");
        Key(Qt::Key_Return);
        QCOMPARE(f.sheet.GetActiveIndex(), 1);
        QVERIFY(f.P(1).Widget()->isAncestorOf(QApplication::focusWidget()));
        Key(Qt::Key_Return);
        QCOMPARE(f.sheet.GetActiveIndex(), 2);
        QCOMPARE(QApplication::focusWidget(), f.P(2).ControlWidget(res::IDC_AREA1));
        f.sheet.PressButton(Button::Back);
        f.sheet.PressButton(Button::Back);
        QCOMPARE(QApplication::focusWidget(), name);
        QCOMPARE(name->selectedText(), QString("Home"));
        // A page that puts the focus somewhere itself keeps it there.
        f.P(2).setActive = [&] {
            f.P(2).FocusControl(f.P(2).ControlWidget(res::IDC_LINE1));
            return true;
        };
        f.sheet.SetActivePage(2);
        QCOMPARE(QApplication::focusWidget(), f.P(2).ControlWidget(res::IDC_LINE1));
    }

    // Tab runs through the page's own controls first, then the sheet's buttons, on every
    // page whenever it was made.
    void tabOrderPutsThePageBeforeTheButtons() {
        Fixture f(true);
        f.sheet.Create();
        QVERIFY(Shows(f, f.sheet.Widget()));
        const std::vector<QWidget*> buttons{
            f.sheet.ControlWidget(ui::ID_WIZBACK), f.sheet.ControlWidget(ui::ID_WIZNEXT),
            f.sheet.ControlWidget(ui::IDCANCEL), f.sheet.ControlWidget(ui::IDHELP)};
        for (int page : {0, 2, 0}) {
            f.sheet.SetActivePage(page);
            QWidget* pageWindow = f.P(page).Widget();
            std::vector<QWidget*> seen{QApplication::focusWidget()};
            for (int i = 0; i < 20; ++i) {
                Key(Qt::Key_Tab);
                if (QApplication::focusWidget() == seen.front()) {
                    break;
                }
                seen.push_back(QApplication::focusWidget());
            }
            QVERIFY2(seen.size() > buttons.size(), "the cycle is too short");
            std::size_t inPage = seen.size() - buttons.size();
            for (std::size_t i = 0; i < seen.size(); ++i) {
                if (i < inPage) {
                    QVERIFY(pageWindow->isAncestorOf(seen[i]));
                } else {
                    QCOMPARE(seen[i], buttons[i - inPage]);
                }
            }
        }
    }

    // A tabbed sheet's tab bar comes first, before the page on view: Tab from the last
    // button reaches the tabs, and Tab from the tabs the page's first control.
    void tabOrderPutsTheTabsFirst() {
        Fixture f(false);
        f.sheet.Create();
        QVERIFY(Shows(f, f.sheet.Widget()));
        for (int page : {0, 2, 1, 0}) {
            // Apply stays disabled until a page is changed: Tab passes it by.
            std::vector<QWidget*> buttons;
            for (int id : {ui::IDOK, ui::IDCANCEL, ui::ID_APPLY_NOW, ui::IDHELP}) {
                if (f.sheet.ControlWidget(id)->isEnabled()) {
                    buttons.push_back(f.sheet.ControlWidget(id));
                }
            }
            f.sheet.SetActivePage(page);
            QWidget* pageWindow = f.P(page).Widget();
            f.sheet.TabBar()->setFocus(Qt::TabFocusReason);
            std::vector<QWidget*> seen{QApplication::focusWidget()};
            for (int i = 0; i < 30; ++i) {
                Key(Qt::Key_Tab);
                if (QApplication::focusWidget() == seen.front()) {
                    break;
                }
                seen.push_back(QApplication::focusWidget());
            }
            QCOMPARE(seen.front(), static_cast<QWidget*>(f.sheet.TabBar()));
            QVERIFY2(seen.size() > buttons.size() + 1, "the cycle is too short");
            const std::size_t inPage = seen.size() - buttons.size();
            for (std::size_t i = 1; i < seen.size(); ++i) {
                if (i < inPage) {
                    QVERIFY2(pageWindow->isAncestorOf(seen[i]), qPrintable(QString::number(i)));
                } else {
                    QCOMPARE(seen[i], buttons[i - inPage]);
                }
            }
        }
    }

    // A list shows when it has the focus, also on its selected entry, where the style's
    // own focus frame has the selection's colour and cannot be seen.
    void aFocusedListShowsItsFocus() {
        Fixture f(true);
        f.sheet.Create();
        QVERIFY(Shows(f, f.sheet.Widget()));
        f.sheet.SetActivePage(1);
        auto* list = qobject_cast<QListWidget*>(f.P(1).ControlWidget(res::IDC_SWITCH_LIST));
        QVERIFY(list);
        list->addItems({"AT&T 5ESS", "National ISDN-1 (NI-1)"});
        list->setCurrentRow(1);
        list->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(list->hasFocus());
        const QImage focused = list->viewport()->grab().toImage();
        f.sheet.ControlWidget(ui::IDHELP)->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(!list->hasFocus());
        const QImage unfocused = list->viewport()->grab().toImage();
        // Along the selected entry's edge, the pixels that stand out from the selection
        // as its text does.
        const QRect selected = list->visualItemRect(list->item(1));
        QVERIFY(!selected.isEmpty());
        const QColor text = list->palette().color(QPalette::HighlightedText);
        const auto marked = [&](const QImage& image) {
            int n = 0;
            for (int x = selected.left(); x <= selected.right(); ++x) {
                for (int y : {selected.top(), selected.bottom()}) {
                    const QColor c = image.pixelColor(x, y);
                    n += std::abs(c.red() - text.red()) + std::abs(c.green() - text.green()) +
                             std::abs(c.blue() - text.blue()) <
                         120;
                }
            }
            return n;
        };
        QCOMPARE(marked(unfocused), 0);
        QVERIFY2(marked(focused) >= selected.width() / 2,
                 "the selected entry looks the same with and without the focus");
    }

    // A check box is never cut below its box, also where the template gives it less
    // height than the box takes ("Do not detect ...").
    void checkBoxesShowTheirWholeBox() {
        for (bool wizard : {true, false}) {
            Fixture f(wizard);
            f.sheet.Create();
            QVERIFY(Shows(f, f.sheet.Widget()));
            int boxes = 0;
            for (int page = 0; page < f.sheet.GetPageCount(); ++page) {
                f.sheet.SetActivePage(page);
                for (QCheckBox* box : f.P(page).Widget()->findChildren<QCheckBox*>()) {
                    ++boxes;
                    QVERIFY2(box->height() >= box->sizeHint().height(), qPrintable(box->text()));
                }
            }
            QVERIFY(boxes > 0);
        }
    }

    // Return is the sheet's default button away from push buttons; on a push button it
    // is that button.
    void returnPressesTheDefaultOrFocusedButton() {
        Fixture f(true);
        f.sheet.Create();
        QVERIFY(Shows(f, f.sheet.Widget()));
        f.Take();
        f.sheet.ControlWidget(ui::IDCANCEL)->setFocus();
        f.P(0).queryCancel = [] { return false; };
        Key(Qt::Key_Return);
        QCOMPARE(f.Take(), (Log{"p0:QueryCancel"}));
        f.sheet.SetWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_FINISH);
        f.P(0).FocusControl(f.P(0).ControlWidget(res::IDC_LOCATION_NAME));
        Key(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f.Take(), (Log{"p0:WizardFinish"}));
        QCOMPARE(f.sheet.Result(), int(ui::ID_WIZFINISH));
    }

    // A tabbed sheet: OK is the default while there is one; the pages' own buttons never
    // are, so without OK Return does nothing at all.
    void returnOnTabsPressesNoPageButton() {
        for (bool withOk : {true, false}) {
            Fixture f(false);
            f.sheet.Create();
            if (!withOk) {
                delete f.sheet.ControlWidget(ui::IDOK);
            }
            QVERIFY(Shows(f, f.sheet.Widget()));
            QCOMPARE(QApplication::focusWidget(), f.P(0).ControlWidget(res::IDC_CFG_PROFILE));
            QSignalSpy newClicks(qobject_cast<QPushButton*>(f.P(0).ControlWidget(res::IDC_CFG_NEW)),
                                 &QPushButton::clicked);
            f.P(0).FocusControl(f.P(0).ControlWidget(res::IDC_CFG_SPID1));
            Key(Qt::Key_Return);
            QCOMPARE(newClicks.count(), 0);
            QCOMPARE(f.sheet.HasEnded(), withOk);
            if (!withOk) {
                // A focused page button takes Return for itself.
                f.P(0).FocusControl(f.P(0).ControlWidget(res::IDC_CFG_NEW));
                Key(Qt::Key_Return);
                QCOMPARE(newClicks.count(), 1);
            }
        }
    }

    void controlTabKeysSwitchTabs() {
        Fixture f(false);
        f.sheet.Create();
        QVERIFY(Shows(f, f.sheet.Widget()));
        const std::pair<QKeyCombination, int> steps[] = {
            {Qt::CTRL | Qt::Key_Tab, 1},      {Qt::CTRL | Qt::Key_Tab, 2},
            {Qt::CTRL | Qt::Key_Tab, 0},      {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 2},
            {Qt::CTRL | Qt::Key_PageUp, 1},   {Qt::CTRL | Qt::Key_PageDown, 2},
            {Qt::CTRL | Qt::Key_PageDown, 0},
        };
        for (const auto& [keys, index] : steps) {
            Key(keys.key(), keys.keyboardModifiers());
            QCOMPARE(f.sheet.GetActiveIndex(), index);
            QCOMPARE(f.sheet.TabBar()->currentIndex(), index);
            // The focus follows into the page, where the next key goes.
            QVERIFY(f.P(index).Widget()->isAncestorOf(QApplication::focusWidget()));
        }
        // A page that refuses to let go keeps its tab.
        f.P(0).killActive = [] { return false; };
        Key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(f.sheet.GetActiveIndex(), 0);
    }

    void readOnlyEditsShowTheDialogSurface() {
        ui::Dialog dialog(res::IDD_CONFIGURE);
        QVERIFY(dialog.Create());
        ui::Edit edit;
        edit.Attach(dialog.ControlWidget(res::IDC_CFG_AREA2));
        const QPalette surface = dialog.Widget()->palette();
        QCOMPARE(edit.Widget()->palette().color(QPalette::Base), surface.color(QPalette::Base));
        edit.SetReadOnly(true);
        QCOMPARE(edit.Widget()->palette().color(QPalette::Base), surface.color(QPalette::Window));
        edit.SetReadOnly(false);
        QCOMPARE(edit.Widget()->palette().color(QPalette::Base), surface.color(QPalette::Base));
    }

    // Sorted lists place each new item by its text, without regard to letter case.
    void sortedListsKeepTheirOrder() {
        ui::Dialog dialog(res::IDD_CONFIGURE);
        QVERIFY(dialog.Create());
        ui::ItemList list;
        list.Attach(dialog.ControlWidget(res::IDC_CFG_PROFILE));
        std::vector<std::string> names;
        for (int i = 0; i < 200; ++i) {
            names.push_back((i % 3 ? "office " : "Office ") + std::to_string((i * 7919) % 200));
        }
        names.push_back("home");
        names.push_back("Attic");
        for (const std::string& n : names) {
            list.AddString(n);
        }
        QCOMPARE(list.GetCount(), int(names.size()));
        QCOMPARE(list.GetText(0), std::string("Attic"));
        QCOMPARE(list.GetText(1), std::string("home"));
        for (int i = 1; i < list.GetCount(); ++i) {
            QVERIFY(QString::fromStdString(list.GetText(i - 1))
                        .compare(QString::fromStdString(list.GetText(i)), Qt::CaseInsensitive) <=
                    0);
        }
        // Equal texts keep the order they came in.
        list.ResetContent();
        list.AddString("b");
        list.AddString("B");
        list.AddString("a");
        QCOMPARE(list.GetText(1), std::string("b"));
        QCOMPARE(list.GetText(2), std::string("B"));
    }
};

ZO_QTEST(PropertySheetTest)
#include "PropertySheetTest.moc"
