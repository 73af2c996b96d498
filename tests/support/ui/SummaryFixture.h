#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ConfigApp.h"
#include "cardsim/InProcessCard.h"
#include "link/ProgressWindow.h"
#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "summary/ui/SummarySheet.h"
#include "support/ScriptedPrompter.h"
#include "support/TempWorkDir.h"
#include "support/TestStore.h"

namespace zo::test {

inline constexpr const char* kNi1 = "National ISDN-1 (NI-1)";
inline constexpr const char* kAtt = "AT&T 5ESS Custom";
inline constexpr const char* kDms = "Northern Telecom (Nortel) DMS100 Custom";

// The application without its start-up: sheets it is asked to run go to `runSheet`.
class TestApp : public app::ConfigApp {
public:
    explicit TestApp(link::LinkContext context) : app::ConfigApp(context) {}
    int RunSheet(ui::PropertySheet& sheet) override;

    std::function<int(ui::PropertySheet&)> runSheet;
    std::vector<std::string> captions;
};

// Counts the progress steps of Apply; `onStep` runs at each (a window that lets queued
// work in while it paints, for instance).
struct CountingProgress : link::ProgressWindow {
    void StepIt() override;
    int* steps = nullptr;
    std::function<void()> onStep;
};

// A configuration window over a fresh store, on a virtual clock, with the in-process card
// on COM3 and nothing on the other ports. The channel is handed the clock and the port map;
// they are also in force for the rest of the windows (the store's lock wait, the port's
// device dialog), and the scripted prompter is, behind each conversation's proxy.
class SummaryFixture {
public:
    SummaryFixture();
    ~SummaryFixture();

    // Stores a profile as the wizard does; terminal 2 when `phone2` is given.
    void AddProfile(const std::string& name, const std::string& phone1, const std::string& spid1,
                    const std::string& port = "COM3", const std::string& switchType = kNi1,
                    const std::string& phone2 = {}, const std::string& spid2 = {});
    // Records `name` as the profile the card holds.
    void MarkApplied(const std::string& name);
    static std::vector<std::string> Applied();

    // Makes and shows the window as the start-up does, with `profile` handed to the
    // configuration page; Apply counts its steps into `progressSteps`.
    bool Open(const std::string& profile = {});
    void Close();
    // The sheet's Close button.
    void PressClose();

    summary::SummarySheet& Sheet() { return *sheet; }
    summary::ConfigurationPage& Config() { return sheet->m_configPage; }
    // The message texts shown so far, taken.
    std::vector<std::string> TakeTexts();
    // The lines the card received since the last call, wake-up noise included.
    std::vector<std::string> TakeCardLines();

    static std::string Text(int id);

    TestStore store;
    TempWorkDir dir;
    ScriptedPrompter prompter;
    platform::VirtualClock clock;
    comm::PortMap ports;
    cardsim::InProcessCard card{clock};
    TestApp app{{&clock, &ports, nullptr}};
    std::unique_ptr<summary::SummarySheet> sheet;
    int progressSteps = 0;
    std::function<void()> onProgressStep;

private:
    std::size_t m_linesSeen = 0;
    platform::Clock* m_previousClock = nullptr;
    comm::PortMap* m_previousPorts = nullptr;
};

}  // namespace zo::test
