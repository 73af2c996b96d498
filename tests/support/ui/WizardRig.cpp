#include "support/ui/WizardRig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QWidget>

#include "platform/ui/dialogs/PropertyPage.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "store/RegistryKey.h"

namespace zo::test {

std::string Text(int id) {
    return res::LoadString(id);
}

WizardRig::WizardRig()
    : m_previousClock(&platform::CurrentClock()), m_previousPorts(&comm::CurrentPortMap()) {
    platform::SetClock(&clock);
    comm::SetPortMap(&ports);
}

WizardRig::~WizardRig() {
    sheet.reset();
    comm::SetPortMap(m_previousPorts);
    platform::SetClock(m_previousClock);
}

void WizardRig::Open() {
    sheet = std::make_unique<wizard::WizardSheet>("First Time", nullptr, 0, &channel, &profile);
    sheet->Create();
    QWidget* window = sheet->Widget()->window();
    QApplication::setActiveWindow(window);
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window, 1000);
}

void WizardRig::Next() {
    sheet->PressButton(ui::PropertySheet::Button::Next);
}
void WizardRig::Back() {
    sheet->PressButton(ui::PropertySheet::Button::Back);
}
void WizardRig::Finish() {
    sheet->PressButton(ui::PropertySheet::Button::Finish);
}
void WizardRig::Cancel() {
    sheet->PressButton(ui::PropertySheet::Button::Cancel);
}

QWidget* WizardRig::Control(int id) const {
    return sheet->GetActivePage()->ControlWidget(id);
}

QLineEdit* WizardRig::Edit(int id) const {
    return qobject_cast<QLineEdit*>(Control(id));
}

void WizardRig::SetText(int id, const QString& text) {
    QLineEdit* e = Edit(id);
    e->selectAll();
    e->insert(text);  // one textEdited, as a paste over the old text
}

void WizardRig::TypeAtFocus(const QString& text) {
    for (QChar c : text) {
        QWidget* w = QApplication::focusWidget();
        if (!w) {
            return;
        }
        QTest::keyClicks(w, QString(c));
    }
}

int WizardRig::FocusId() const {
    QWidget* w = QApplication::focusWidget();
    if (!w) {
        return 0;
    }
    QString name = w->objectName();
    return name.startsWith("control") ? name.mid(7).toInt() : 0;
}

void WizardRig::FocusOn(int id) {
    Control(id)->setFocus(Qt::MouseFocusReason);
}

void WizardRig::ToPhonePage(bool detect) {
    if (!detect) {
        qobject_cast<QAbstractButton*>(Control(res::IDC_NO_AUTO_DETECT))->setChecked(true);
    }
    Next();
    Next();
}

void WizardRig::TypeNumber(int terminal, const QString& digits) {
    FocusOn(terminal == 1 ? res::IDC_AREA1 : res::IDC_AREA2);
    TypeAtFocus(digits);
}

std::vector<std::string> WizardRig::TakeTexts() {
    std::vector<std::string> t;
    t.swap(prompter.texts);
    return t;
}

std::vector<std::string> WizardRig::CurrentSubkeys() const {
    store::RegistryKey k(store::HKEY_LOCAL_MACHINE, store::CurrentPath());
    k.ReadSubkeys();
    return k.Results();
}

bool WizardRig::ProgressWindowShown() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("dialog%1").arg(res::IDD_PROGRESS) &&
            w->isVisible()) {
            return true;
        }
    }
    return false;
}

}  // namespace zo::test
