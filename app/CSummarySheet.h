#pragma once

#include <QIcon>
#include <string>

#include "app/CPlaceholderPage.h"
#include "platform/ui/PropertySheet.h"

namespace zo::link {
class ModemChannel;
}

namespace zo::app {

// The tabbed configuration window: "Configure", "Product Info" and " General", with
// "Close" and Apply and no OK button. On opening it makes sure the card's port can be
// opened, looking for the card first when no port is known. It holds what its pages
// share.
class CSummarySheet : public ui::PropertySheet {
public:
    CSummarySheet(const std::string& title, QWidget* parentWindow = nullptr, int selectPage = 0);

    // Opens the product help at 3000 + the active tab's index, whatever was asked.
    void WinHelp(unsigned long data, unsigned command) override;

    CConfigPlaceholder m_configPage;
    CPlaceholderPage m_productPage;
    CPlaceholderPage m_generalPage;
    // True while the profile shown is not the one last applied to the card.
    bool m_profileModified = false;
    // The port of the profile shown, for the " General" page.
    std::string m_portName;
    // The card's answers to "ATI9" and "ATI10".
    std::string m_rawIdentification;
    link::ModemChannel* m_pChannel = nullptr;
    QIcon m_hIcon;

protected:
    int OnCreate() override;
    bool OnInitDialog() override;
    bool OnPaint(QPainter& painter) override;
    QIcon OnQueryDragIcon() const override { return m_hIcon; }
};

}  // namespace zo::app
