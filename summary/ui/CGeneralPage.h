#pragma once

#include <string>

#include "pages/CAnimatedPage.h"
#include "platform/ui/Controls.h"

namespace zo::summary {

class CSummarySheet;

// " General": the COM port of the profile shown in the configuration window. Entering
// the page shows the sheet's port name; leaving it hands the choice to the channel,
// where the next open of the port takes it up. Under the list, the device the chosen name
// means, and "Device..." to point it at another.
// No process-wide seam and no message; user-interface thread.
class CGeneralPage : public pages::CAnimatedPage {
public:
    CGeneralPage();

    bool OnSetActive() override;
    bool OnKillActive() override;
    // The user chose another port.
    void OnSelChange();
    // "Device...": points the chosen port at another device of the machine.
    void OnChooseDevice();

    ui::ListBox m_portList;
    std::string m_port;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    summary::CSummarySheet* Sheet() const;
};

}  // namespace zo::summary
