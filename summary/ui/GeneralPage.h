#pragma once

#include <string>

#include "pages/AnimatedPage.h"
#include "platform/ui/controls/Controls.h"

namespace zo::summary {

class SummarySheet;

// " General": the COM port of the profile shown in the configuration window. Entering
// the page shows the sheet's port name; leaving it hands the choice to the channel,
// where the next open of the port takes it up. Under the list, the device the chosen name
// means, and "Device..." to point it at another.
// No process-wide seam and no message; user-interface thread.
class GeneralPage : public pages::AnimatedPage {
public:
    GeneralPage();

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
    summary::SummarySheet* Sheet() const;
};

}  // namespace zo::summary
