// The channel talks through the context it is made with, whatever is in force; without
// one it reads what is in force at each use.
#include <gtest/gtest.h>

#include "cardsim/InProcessCard.h"
#include "link/ModemChannel.h"
#include "res/Strings.h"
#include "support/LinkTest.h"

using namespace std::chrono_literals;

namespace zo::test {
namespace {

class LinkContextTest : public LinkTest {
protected:
    LinkContextTest() {
        ports.MapToDevice("COM3", card.Opener());
        LineEdit(channel)->port = "COM3";
        LineEdit(channel)->baud = "115200";
        LineEdit(channel)->bits = "8";
        LineEdit(channel)->flow = "Hardware";
    }

    cardsim::InProcessCard card{clock};
    link::ModemChannel channel{Context()};
};

TEST_F(LinkContextTest, AHandedContextIsUsedOverTheSeamsInForce) {
    ASSERT_NE(&comm::CurrentPortMap(), &ports);
    ASSERT_NE(&platform::CurrentClock(), &clock);
    ScriptedPrompter inForce;
    ASSERT_EQ(&platform::CurrentPrompter(), &inForce);

    ASSERT_TRUE(channel.OpenConfiguredPort()) << "COM3 is mapped in the handed map alone";
    EXPECT_TRUE(channel.SendCommand("AT\r\n"));
    EXPECT_EQ(Elapsed(), link::kCommandPause) << "the pause is on the handed clock";

    int depthAtQuestion = 0;
    prompter.onAsk = [&](const std::string&) { depthAtQuestion = prompter.waitDepth; };
    LineEdit(channel)->port = "COM2";
    EXPECT_FALSE(channel.OpenConfiguredPort());
    EXPECT_EQ(prompter.texts, (std::vector<std::string>{Text(res::IDS_PORT_UNSUPPORTED),
                                                        Text(res::IDS_PORT_COMM_FAILED)}));
    EXPECT_EQ(depthAtQuestion, 1) << "the wait cursor shows through the handed prompter";
    EXPECT_EQ(prompter.waitDepth, 0);
    EXPECT_TRUE(inForce.texts.empty());
    EXPECT_EQ(inForce.waitDepth, 0);
}

TEST_F(LinkContextTest, WithoutAContextTheSeamsInForceAreReadAtEachUse) {
    link::ModemChannel unhanded;
    LineEdit(unhanded)->port = "COM3";
    LineEdit(unhanded)->baud = "115200";
    LineEdit(unhanded)->bits = "8";
    // Installed after the channel was made, as a command installs its prompter.
    InstallProcessWide();
    ScriptedPrompter inForce;
    ASSERT_TRUE(unhanded.OpenConfiguredPort());
    EXPECT_TRUE(unhanded.SendCommand("AT\r\n"));
    EXPECT_EQ(Elapsed(), link::kCommandPause);
    LineEdit(unhanded)->port = "COM2";
    EXPECT_FALSE(unhanded.OpenConfiguredPort());
    EXPECT_EQ(inForce.texts.size(), 2u);
    EXPECT_TRUE(prompter.texts.empty());
}

TEST_F(LinkContextTest, AScriptedPrompterPutsBackTheOneInForceBeforeIt) {
    ASSERT_EQ(&platform::CurrentPrompter(), &prompter);
    {
        ScriptedPrompter inner;
        {
            ScriptedPrompter innermost;
            EXPECT_EQ(&platform::CurrentPrompter(), &innermost);
        }
        EXPECT_EQ(&platform::CurrentPrompter(), &inner);
    }
    EXPECT_EQ(&platform::CurrentPrompter(), &prompter);
}

}  // namespace
}  // namespace zo::test
