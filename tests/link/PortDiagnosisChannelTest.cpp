// The reasons the channel shows under messages 109 and 111 when its device is gone, found
// on real pseudo-terminals.
#include <gtest/gtest.h>

#include <memory>

#include "link/ModemChannel.h"
#include "res/Strings.h"
#include "support/LinkTest.h"
#include "support/PtyPair.h"

namespace zo::test {
namespace {

class PortDiagnosisChannelTest : public LinkTest {};

TEST_F(PortDiagnosisChannelTest, VanishedDeviceIsTheDetailUnder111And109) {
    std::string path;
    {
        PtyPair pty;
        path = pty.slave;
    }
    ASSERT_FALSE(path.empty());
    ports.MapToPath("COM2", path);
    link::ModemChannel channel(Context());
    LineEdit(channel)->port = "COM2";
    LineEdit(channel)->baud = "115200";
    LineEdit(channel)->bits = "8";
    LineEdit(channel)->flow = "None";
    const link::LinkResult opened = channel.OpenConfiguredPort();
    EXPECT_FALSE(opened);
    ASSERT_EQ(prompter.texts, (std::vector<std::string>{Text(res::IDS_PORT_UNSUPPORTED),
                                                        Text(res::IDS_PORT_COMM_FAILED)}));
    for (const auto& detail : prompter.details) {
        EXPECT_EQ(detail.rfind("COM2 on " + path + ": No such file or directory\n", 0), 0u)
            << detail;
        EXPECT_NE(detail.find("USB serial adapter may be unplugged"), std::string::npos);
    }
    EXPECT_EQ(opened.reason, prompter.details.at(1));
}

// A port whose device hung up is not reused: the open tries the device afresh and reports
// why it is not there.
TEST_F(PortDiagnosisChannelTest, DeviceThatHangsUpWhileOpenIsOpenedAfreshWithItsReason) {
    auto pty = std::make_unique<PtyPair>();
    ASSERT_FALSE(pty->slave.empty());
    const std::string path = pty->slave;
    ports.MapToPath("COM2", path);
    link::ModemChannel channel(Context());
    LineEdit(channel)->port = "COM2";
    LineEdit(channel)->baud = "115200";
    LineEdit(channel)->bits = "8";
    LineEdit(channel)->flow = "None";
    const link::LinkResult first = channel.OpenConfiguredPort();
    ASSERT_TRUE(first) << first.reason;
    EXPECT_TRUE(first.reason.empty());
    pty.reset();  // the far end goes away: the slave hangs up and its node goes
    const link::LinkResult again = channel.OpenConfiguredPort();
    EXPECT_FALSE(again);
    EXPECT_EQ(channel.Device(), nullptr);
    EXPECT_EQ(prompter.texts, (std::vector<std::string>{Text(res::IDS_PORT_UNSUPPORTED),
                                                        Text(res::IDS_PORT_COMM_FAILED)}));
    EXPECT_EQ(again.reason.rfind("COM2 on " + path + ": ", 0), 0u) << again.reason;
}

}  // namespace
}  // namespace zo::test
