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

void FillOfficeProfile(link::ModemChannel& channel) {
    channel.Port = "COM3";
    channel.Baud = "115200";
    channel.Bits = "8";
    channel.Flow = "Hardware";
    channel.Location = "Office";
    channel.Switch = "National ISDN-1 (NI-1)";
    channel.Phone1 = "2065550100";
    channel.SPID1 = "20655501000101";
    channel.TerminalCount = 1;
}

}  // namespace zo::test
