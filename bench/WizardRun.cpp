#include "bench/WizardRun.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include "app/ConfigApp.h"
#include "platform/comm/PortMap.h"
#include "platform/registry/Hive.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "res/ResourceIds.h"
#include "wizard/ui/WizardSheet.h"

namespace zo::bench {
namespace {

// The application with its wizard driven from inside the wizard's own modal loop, as a
// user would: the name and switch type kept, a number typed, the card found, Finish.
class DrivenApp : public app::ConfigApp {
public:
    int wizardResult = -1;

protected:
    int RunSheet(ui::PropertySheet& sheet) override {
        auto* wizard = dynamic_cast<wizard::WizardSheet*>(&sheet);
        if (!wizard) {
            return ui::IDCANCEL;
        }
        QTimer::singleShot(0, [wizard] { Walk(*wizard); });
        wizardResult = sheet.DoModal();
        return wizardResult;
    }

private:
    static void Type(wizard::WizardSheet& w, int id, const char* text) {
        auto* edit = qobject_cast<QLineEdit*>(w.GetActivePage()->ControlWidget(id));
        if (edit) {
            edit->selectAll();
            edit->insert(text);
        }
    }
    static void Walk(wizard::WizardSheet& w) {
        using B = ui::PropertySheet::Button;
        w.PressButton(B::Next);
        w.PressButton(B::Next);
        Type(w, res::IDC_AREA1, "206");
        Type(w, res::IDC_EXCHANGE1, "555");
        Type(w, res::IDC_LINE1, "0100");
        w.PressButton(B::Next);
        w.PressButton(B::Finish);
        if (!w.HasEnded()) {
            w.EndDialog(ui::IDCANCEL);
        }
    }
};

}  // namespace

int RunWizardChild(int argc, char** argv, const std::string& cardPath,
                   const std::string& storePath) {
    registry::SetDefaultHivePath(storePath);
    comm::PortMap ports;
    ports.MapToPath("COM1", cardPath);
    comm::SetPortMap(&ports);
    QApplication qapp(argc, argv);
    int result = -1;
    {
        DrivenApp app;
        app.InitInstance();
        result = app.wizardResult;
    }
    comm::SetPortMap(nullptr);
    return result == ui::ID_WIZFINISH ? 0 : 1;
}

}  // namespace zo::bench
