#pragma once

#include <QIcon>
#include <string>

#include "platform/ui/dialogs/PropertySheet.h"
#include "platform/ui/dialogs/SheetRunner.h"
#include "summary/ui/ConfigurationPage.h"
#include "summary/ui/GeneralPage.h"
#include "summary/ui/ProductPage.h"

namespace zo::link {
class ModemChannel;
struct WorkingProfile;
}  // namespace zo::link

namespace zo::summary {

// The tabbed configuration window: "Configure", "Product Info" and " General", with
// "Close" and Apply and no OK button. On opening it makes sure the card's port can be
// opened, looking for the card first when no port is known. It holds what its pages
// share.
class SummarySheet : public ui::PropertySheet {
public:
    // The configuration page works on `hive`.
    SummarySheet(const std::string& title, QWidget* parentWindow = nullptr, int selectPage = 0,
                 registry::Hive& hive = registry::DefaultHive());

    // Opens the product help at 3000 + the active tab's index, whatever was asked.
    void WinHelp(unsigned long data, unsigned command) override;

    // Start-up's inputs, handed in before the window is made: the application's channel
    // and working profile, what runs the new-profile wizard (without one it runs modally by itself)
    // and the profile to show when none is recorded as applied.
    void SetChannel(link::ModemChannel* channel) { m_channel = channel; }
    void SetWorkingProfile(link::WorkingProfile* profile) { m_profile = profile; }
    void SetSheetRunner(ui::SheetRunner* runner) { m_sheetRunner = runner; }
    void SetStartProfile(const std::string& name) { m_configPage.SetStartProfile(name); }

    // What the pages share.
    link::ModemChannel* Channel() const { return m_channel; }
    link::WorkingProfile* WorkingProfile() const { return m_profile; }
    ui::SheetRunner* SheetRunner() const { return m_sheetRunner; }
    // True while the profile shown is not the one last applied to the card.
    bool ProfileModified() const { return m_configPage.ProfileModified(); }
    void SetProfileModified(bool modified) { m_configPage.SetProfileModified(modified); }
    // The port of the profile shown, for the " General" page.
    const std::string& PortName() const { return m_portName; }
    void SetPortName(const std::string& port) { m_portName = port; }
    // The card's answers to "ATI9" and "ATI10".
    const std::string& RawIdentification() const { return m_rawIdentification; }
    void SetRawIdentification(const std::string& raw) { m_rawIdentification = raw; }

    summary::ConfigurationPage m_configPage;
    summary::ProductPage m_productPage;
    summary::GeneralPage m_generalPage;

protected:
    int OnCreate() override;
    bool OnInitDialog() override;
    bool OnPaint(QPainter& painter) override;
    QIcon OnQueryDragIcon() const override { return m_icon; }

private:
    std::string m_portName;
    std::string m_rawIdentification;
    link::ModemChannel* m_channel = nullptr;
    link::WorkingProfile* m_profile = nullptr;
    ui::SheetRunner* m_sheetRunner = nullptr;
    QIcon m_icon;
};

}  // namespace zo::summary
