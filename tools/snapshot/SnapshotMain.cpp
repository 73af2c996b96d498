// Draws every dialog template, the missing-card question with a port's reason, the port
// device dialog, both sheets page by page, the splash window and the artwork offscreen, with sample
// data, into PNG files: zo-snapshot [OUTPUT-DIRECTORY]. Every picture is drawn twice: at one device
// pixel to the pixel, and at two, as on a high-density screen, into NAME@2x.png.
#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/ConfigApp.h"
#include "link/ui/MissingCardDialog.h"
#include "link/ui/PortDeviceDialog.h"
#include "platform/comm/PortDiagnosis.h"
#include "platform/prompt/Prompter.h"
#include "platform/registry/Hive.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialog.h"
#include "platform/ui/dialogs/PropertyPage.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "res/Translation.h"
#include "res/ui/Artwork.h"
#include "store/ProfileStore.h"
#include "store/RegistryKey.h"
#include "summary/ui/SplashDialog.h"
#include "summary/ui/SummarySheet.h"
#include "wizard/ui/WizardSheet.h"

namespace {

using namespace zo;
using namespace zo::res;

void SetText(ui::Dialog& d, int id, const std::string& text) {
    d.SetControlText(id, text);
}

void Fill(ui::Dialog& d, int id, std::initializer_list<const char*> items, int select) {
    ui::ItemList list;
    list.Attach(d.ControlWidget(id));
    list.ResetContent();
    for (const char* item : items) {
        list.AddString(item);
    }
    list.SetCurSel(select);
}

void Check(ui::Dialog& d, int id, bool on) {
    ui::Button b;
    b.Attach(d.ControlWidget(id));
    b.SetCheck(on ? 1 : 0);
}

// Sample contents, as the pages would show them for a profile "My Office".
void FillSample(ui::Dialog& d) {
    const char* switches[] = {"AT&T 5ESS Custom", "National ISDN-1 (NI-1)",
                              "Northern Telecom (Nortel) DMS100 Custom"};
    switch (d.TemplateId()) {
        case IDD_LOCATION:
            SetText(d, IDC_LOCATION_NAME, "My Office");
            break;
        case IDD_SWITCH:
            Fill(d, IDC_SWITCH_LIST, {switches[0], switches[1], switches[2]}, 1);
            break;
        case IDD_PHONE:
            SetText(d, IDC_AREA1, "206");
            SetText(d, IDC_EXCHANGE1, "555");
            SetText(d, IDC_LINE1, "0100");
            SetText(d, IDC_SPID1, "20655501000101");
            break;
        case IDD_SERIAL:
        case IDD_GENERAL:
            Fill(d, IDC_PORT_LIST, {"COM1", "COM2", "COM3", "COM4"}, 2);
            break;
        case IDD_COMMIT:
            SetText(d, IDC_COMMIT_SUMMARY,
                    LoadString(IDS_COMMIT_PREFIX) + "My Office" + LoadString(IDS_COMMIT_SUFFIX));
            Check(d, IDC_APPLY_TO_CARD, true);
            break;
        case IDD_CONFIGURE:
            Fill(d, IDC_CFG_PROFILE, {"Home", "My Office"}, 1);
            Fill(d, IDC_CFG_SWITCH, {switches[0], switches[1], switches[2]}, 1);
            SetText(d, IDC_CFG_AREA1, "206");
            SetText(d, IDC_CFG_EXCHANGE1, "555");
            SetText(d, IDC_CFG_LINE1, "0100");
            SetText(d, IDC_CFG_SPID1, "20655501000101");
            Check(d, IDC_CFG_CONFIG2, false);
            break;
        case IDD_PRODUCT: {
            SetText(d, IDC_PRODUCT_NAME, "Kest Ferronix ZO! Series");
            SetText(d, IDC_SOFTWARE_REVISION, "2.14");
            SetText(d, IDC_RELEASE_DATE, "03/11/1997");
            SetText(d, IDC_LINE_STATUS, " Active");
            ui::Static sign;
            sign.Attach(d.ControlWidget(IDC_STATUS_SIGN));
            sign.SetBitmap(LoadBitmap(IDB_SIGN_ACTIVE));
            break;
        }
        case IDD_PROGRESS: {
            ui::ProgressCtrl bar;
            bar.Attach(d.ControlWidget(IDC_PROGRESS));
            bar.SetPos(40);
            break;
        }
        case IDD_RAW_DATA:
            SetText(d, IDC_RAW_TEXT,
                    "ATI9\r\nProduct Name: Kest Ferronix ZO! Series\r\nSoftware Revision: "
                    "2.14\r\nSoftware Release Date: 03/11/1997\r\nOK\r\nATI10\r\nLink Status: "
                    "Active\r\nOK\r\n");
            break;
        default:
            break;
    }
}

class SampleDialog : public ui::Dialog {
public:
    explicit SampleDialog(int id) : ui::Dialog(id) {}

protected:
    bool OnInitDialog() override {
        ui::Dialog::OnInitDialog();
        FillSample(*this);
        return true;
    }
};

class NoPrompts : public platform::Prompter {
public:
    platform::Answer Ask(const std::string& text, platform::Buttons, platform::Icon,
                         const std::string&) override {
        std::cerr << "zo-snapshot: a message was shown: " << text << "\n";
        return platform::Answer::Cancel;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
};

QString g_out;
QString g_suffix;
int g_written = 0;

bool Save(QWidget* w, const QString& name) {
    w->show();
    QApplication::processEvents();
    QString path = g_out + "/" + name + g_suffix + ".png";
    if (!w->grab().save(path)) {
        std::cerr << "zo-snapshot: cannot write " << path.toStdString() << "\n";
        return false;
    }
    std::cout << path.toStdString() << "\n";
    ++g_written;
    return true;
}

bool SaveImage(const QImage& image, const QString& name) {
    QString path = g_out + "/" + name + g_suffix + ".png";
    if (!image.save(path)) {
        std::cerr << "zo-snapshot: cannot write " << path.toStdString() << "\n";
        return false;
    }
    std::cout << path.toStdString() << "\n";
    ++g_written;
    return true;
}

bool SaveSheet(ui::PropertySheet& sheet, const QString& prefix) {
    if (!sheet.Create()) {
        return false;
    }
    bool ok = true;
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        sheet.SetActivePage(i);
        if (ui::PropertyPage* page = sheet.GetActivePage()) {
            FillSample(*page);
        }
        ok &= Save(sheet.Widget(),
                   QString("%1-%2-%3").arg(prefix).arg(i).arg(sheet.GetActivePage()->TemplateId()));
    }
    sheet.DestroyWindow();
    return ok;
}

// Draws everything once, into files whose names end in `suffix`.
int Render(int argc, char** argv, const QString& suffix) {
    QApplication qapp(argc, argv);
    g_suffix = suffix;
    g_out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("snapshots")).absolutePath();
    if (!QDir().mkpath(g_out)) {
        std::cerr << "zo-snapshot: cannot make " << g_out.toStdString() << "\n";
        return 1;
    }
    // The pages find their clip in the current directory, as the program does.
    if (!QFileInfo::exists("globe.avi")) {
        QDir::setCurrent(QCoreApplication::applicationDirPath());
    }
    NoPrompts prompts;
    platform::SetPrompter(&prompts);
    // The sheets read profiles: they get sample ones in a store of their own, never the
    // user's.
    QTemporaryDir storeDir;
    if (!storeDir.isValid()) {
        std::cerr << "zo-snapshot: cannot make a temporary store\n";
        return 1;
    }
    registry::SetDefaultHivePath(storeDir.filePath("registry.db").toStdString());
    {
        store::RegistryKey pccard(store::HKEY_LOCAL_MACHINE, store::PccardPath());
        for (const char* name : {"Home", "My Office"}) {
            store::WriteProfile(
                pccard, {name, "National ISDN-1 (NI-1)", "2065550100", "20655501000101", "COM3",
                         "115200", "8", "None", "1", "Hardware", "", "", false});
        }
        store::MarkProfileActive(pccard, "My Office");
    }
    bool ok = true;

    for (const res::DialogTemplate& t : AllDialogTemplates()) {
        SampleDialog d(t.id);
        if (!d.Create()) {
            ok = false;
            continue;
        }
        ok &= Save(d.Widget(), QString("template-%1").arg(t.id));
        d.DestroyWindow();
    }
    {
        // The longest reason a port gives: the system's error and its hint on two lines.
        link::MissingCardDialog missing(res::Fill(
            res::Tr("%1 on %2"), {"COM3", comm::DescribeOpenFailure("/dev/ttyUSB9", ENOENT)}));
        ok &= missing.Create() && Save(missing.Widget(), "missing-card-details");
        missing.DestroyWindow();
    }
    {
        link::PortDeviceDialog device("COM3", nullptr);
        ok &= Save(&device, "port-device");
    }
    {
        wizard::WizardSheet wizard(res::Tr(app::kFirstTimeCaption));
        ok &= SaveSheet(wizard, "wizard");
    }
    {
        summary::SummarySheet summary(LoadString(IDS_TITLE));
        ok &= SaveSheet(summary, "summary");
    }
    {
        summary::SplashDialog splash;
        ok &= splash.Create() && Save(splash.Widget(), "splash");
    }
    for (int id : {IDB_BANNER, IDB_SIGN_STOP, IDB_SIGN_ACTIVE, IDB_SIGN_YIELD, IDB_SPLASH}) {
        ok &= SaveImage(DrawBitmap(id, qapp.devicePixelRatio()), QString("bitmap-%1").arg(id));
    }
    ok &= SaveImage(DrawIcon(32), "icon-128-32");
    ok &= SaveImage(DrawIcon(16), "icon-128-16");
    platform::SetPrompter(nullptr);
    std::cout << g_written << " pictures in " << g_out.toStdString() << "\n";
    return ok ? 0 : 1;
}

}  // namespace

// The scale of a Qt application is fixed when it starts: the pictures at two device
// pixels to the pixel come from a second process.
int main(int argc, char** argv) {
    // The windows in the language of the environment, as zo-config shows them.
    res::UseProgramTranslations();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::fflush(stdout);
    pid_t child = ::fork();
    if (child == 0) {
        qputenv("QT_SCALE_FACTOR", "2");
        std::exit(Render(argc, argv, "@2x"));
    }
    int status = 0;
    bool doubled = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
                   WEXITSTATUS(status) == 0;
    if (!doubled) {
        std::cerr << "zo-snapshot: the pictures at a device pixel ratio of 2 failed\n";
    }
    int plain = Render(argc, argv, "");
    return doubled ? plain : 1;
}
