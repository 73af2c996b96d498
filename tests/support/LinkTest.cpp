#include "support/LinkTest.h"

#include "link/ModemChannel.h"
#include "res/Strings.h"

namespace zo::test {

LinkTest::LinkTest() : start(clock.Now()) {}

LinkTest::~LinkTest() {
    if (m_previousPorts) {
        comm::SetPortMap(m_previousPorts);
    }
    if (m_previousClock) {
        platform::SetClock(m_previousClock);
    }
}

void LinkTest::InstallProcessWide() {
    m_previousClock = &platform::CurrentClock();
    m_previousPorts = &comm::CurrentPortMap();
    platform::SetClock(&clock);
    comm::SetPortMap(&ports);
}

std::chrono::milliseconds LinkTest::Elapsed() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock.Now() - start);
}

std::string LinkTest::Text(int id) {
    return res::LoadString(id);
}

void FillOfficeProfile(link::ModemChannel& channel, link::WorkingProfile& profile) {
    profile.Port = "COM3";
    profile.Baud = "115200";
    profile.Bits = "8";
    profile.Flow = "Hardware";
    profile.Location = "Office";
    profile.Switch = "National ISDN-1 (NI-1)";
    profile.Phone1 = "2065550100";
    profile.SPID1 = "20655501000101";
    profile.TerminalCount = 1;
    channel.SetLine(profile.Line());
}

}  // namespace zo::test
