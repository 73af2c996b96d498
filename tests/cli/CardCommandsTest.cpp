#include "app/cli/CardCommands.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "app/cli/Commands.h"
#include "app/cli/ExitCode.h"
#include "cardsim/InProcessCard.h"
#include "platform/comm/TtyDevice.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "support/LinkTest.h"
#include "support/PtyPair.h"
#include "support/StoreLock.h"
#include "support/TempWorkDir.h"
#include "support/TestStore.h"

using namespace std::chrono_literals;

namespace zo::test {
namespace {

struct Outcome {
    int code;
    std::string out, err;
};

// The card commands of the command line against the in-process card, on virtual time.
class CardCommandsTest : public LinkTest {
protected:
    CardCommandsTest() {
        InstallProcessWide();
        ports.MapToDevice("COM3", card.Opener());
    }

    Outcome Command(std::vector<std::string> args) {
        std::ostringstream out, err;
        int code = cli::RunCommand(args, out, err);
        return {code, out.str(), err.str()};
    }
    void Save(const std::string& name, const std::string& spid1, const std::string& port) {
        store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath());
        store::Profile r{name,         "National ISDN-1 (NI-1)",
                         "2065550100", spid1,
                         port,         "115200",
                         "8",          "None",
                         "1",          "Hardware",
                         "",           "",
                         false};
        ASSERT_TRUE(store::WriteProfile(key, r));
    }

    TestStore store;
    cardsim::InProcessCard card{clock};
};

TEST_F(CardCommandsTest, IdentifyPrintsTheParsedFieldsOrTheRawText) {
    EXPECT_EQ(Command({"identify"}).code, cli::kExitRefused) << "no port and no applied profile";

    card.Model().Receive("ATE0\rAT!C0=32\rAT!C2=\"20655501000101\"\rAT&W\r");
    clock.Advance(cardsim::kActivationTime);
    Outcome r = Command({"identify", "COM3"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Product Name: Ferronix ZO!(tm) Series PC Card\nSoftware Revision: 2.10\n"
              "Software Release Date: 03/14/97\nLine Status: Active\n");
    EXPECT_EQ(card.Model().Lines().back(), "ATI10");

    r = Command({"identify", "--raw", "COM3"});
    EXPECT_NE(r.out.find("ATI9\r\r\nProduct Name:"), std::string::npos) << "echo is on again";
    EXPECT_NE(r.out.find("Link Status: Active\r\n"), std::string::npos);

    card.Faults().wrongIdentification = true;
    r = Command({"identify", "COM3"});
    EXPECT_EQ(r.code, cli::kExitWrongCard);
    EXPECT_NE(r.err.find(Text(res::IDS_PORT_COMM_FAILED)), std::string::npos);
    EXPECT_EQ(Command({"identify", "COM4"}).code, cli::kExitPortNotOpened);
}

TEST_F(CardCommandsTest, ApplyRecordsTheProfileAndIdentifyFindsItsPort) {
    Save("Office", "20655501000101", "COM3");
    Outcome r = Command({"apply", "Office"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Applied \"Office\" to the card on COM3.\n");
    EXPECT_EQ(store::ActiveProfileName().Value(), "Office");
    EXPECT_EQ(card.Model().Stored().dn1, "5550100");
    EXPECT_LT(Elapsed(), 20s);
    r = Command({"identify"});
    EXPECT_NE(r.out.find("Line Status: Activating\n"), std::string::npos) << r.out;
}

TEST_F(CardCommandsTest, ApplyExitStatusFollowsTheOutcome) {
    EXPECT_EQ(Command({"apply", "Nowhere"}).code, cli::kExitRefused);

    Save("Elsewhere", "0101", "COM1");
    Outcome r = Command({"apply", "Elsewhere"});
    EXPECT_EQ(r.code, cli::kExitPortNotOpened);
    EXPECT_NE(r.err.find(Text(res::IDS_PORT_UNSUPPORTED)), std::string::npos);
    EXPECT_EQ(r.err.find(Text(res::IDS_PORT_COMM_FAILED)), std::string::npos)
        << "one failure, one message";

    Save("Office", "0101", "COM3");
    card.Faults().silent = true;
    EXPECT_EQ(Command({"apply", "Office"}).code, cli::kExitNoReply);
    card.Faults() = {};
    card.Faults().wrongIdentification = true;
    EXPECT_EQ(Command({"apply", "Office"}).code, cli::kExitWrongCard);
    card.Faults() = {};
    ports.MapToDevice("COM3", FailingWrites(card.Opener(), [](std::string_view d) {
                          return d.starts_with("AT!C0");
                      }));
    r = Command({"apply", "Office"});
    EXPECT_EQ(r.code, cli::kExitWriteFailed);
    EXPECT_NE(r.err.find(Text(res::IDS_PORT_WRITE_FAILED)), std::string::npos);

    Save("Injected", "0101\"\r\nAT&W", "COM3");
    std::size_t opens = card.OpenCount();
    r = Command({"apply", "Injected"});
    EXPECT_EQ(r.code, cli::kExitUnsafeValue);
    EXPECT_NE(r.err.find("SPID 1"), std::string::npos);
    EXPECT_EQ(static_cast<std::size_t>(card.OpenCount()), opens);
    EXPECT_EQ(store::ActiveProfileName().Value(), "");
}

// A store that cannot be read is reported as one, with its reason: not as "no applied
// profile" nor as no profile of that name. One that fails at the save names its own reason.
TEST_F(CardCommandsTest, AStoreThatCannotBeReadIsAStoreFailureWithItsReason) {
    Save("Office", "20655501000101", "COM3");
    ASSERT_EQ(Command({"apply", "Office"}).code, 0);
    const std::string detail = "\n(Profile store " + store.Path() + ": ";
    {
        StoreLock lock(store.Path());
        ASSERT_TRUE(lock.Held());
        for (const std::vector<std::string>& args :
             std::vector<std::vector<std::string>>{{"identify"}, {"apply", "Office"}}) {
            const Outcome r = Command(args);
            EXPECT_EQ(r.code, cli::kExitStore) << args[0] << ": " << r.err;
            EXPECT_EQ(r.err.rfind(Text(res::IDS_REGISTRY_FAILED), 0), 0u) << r.err;
            EXPECT_NE(r.err.find(detail), std::string::npos) << r.err;
        }
    }
    std::optional<StoreLock> lock;
    ports.MapToDevice("COM3", FailingWrites(card.Opener(), [&](std::string_view d) {
                          if (d.starts_with("AT%Z1") && !lock) {
                              lock.emplace(store.Path());
                          }
                          return false;
                      }));
    const Outcome r = Command({"apply", "Office"});
    EXPECT_EQ(r.code, cli::kExitStore) << r.err;
    EXPECT_NE(r.err.find(Text(res::IDS_REGISTRY_FAILED)), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(detail), std::string::npos) << r.err;
}

// A card that refuses a setting or hangs up before it stored the settings is no success;
// each case on a card of its own.
TEST_F(CardCommandsTest, ApplyIsASuccessOnlyWhenTheCardStoredTheSettings) {
    Save("Office", "20655501000101", "COM3");
    auto fresh = [this] {
        auto c = std::make_unique<cardsim::InProcessCard>(clock);
        ports.MapToDevice("COM3", c->Opener());
        return c;
    };
    auto refusing = fresh();
    refusing->Faults().refuseSettings = true;
    auto before = Elapsed();
    Outcome r = Command({"apply", "Office"});
    EXPECT_EQ(r.code, cli::kExitCardRefused) << r.err;
    EXPECT_LT(Elapsed() - before, 10s) << "ERROR ends each wait";
    EXPECT_NE(r.err.find("The card refused the command \"AT!C0=32\"."), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(store::ActiveProfileName().Value(), "");

    // Hang-ups after the flow command, and on the store itself.
    for (int answered : {9, 10}) {
        auto gone = fresh();
        gone->Faults().hangUpAfter = answered;
        r = Command({"apply", "Office"});
        EXPECT_NE(r.code, 0) << answered;
        EXPECT_EQ(r.out, "") << answered;
        EXPECT_FALSE(gone->Model().Stored().Configured()) << answered;
        EXPECT_EQ(store::ActiveProfileName().Value(), "") << answered;
    }
    // Only the final reset may go unanswered.
    auto resetting = fresh();
    resetting->Faults().hangUpAfter = 11;
    r = Command({"apply", "Office"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(resetting->Model().Stored().Configured());
    EXPECT_EQ(store::ActiveProfileName().Value(), "Office");
}

// A card that hangs up or falls silent during identify is no reply (5) with the device's
// reason, not a card of the wrong kind.
TEST_F(CardCommandsTest, IdentifyTellsAVanishedCardFromAWrongOne) {
    for (int answered = 0; answered < 6; ++answered) {
        auto gone = std::make_unique<cardsim::InProcessCard>(clock);
        ports.MapToDevice("COM3", gone->Opener());
        gone->Faults().hangUpAfter = answered;
        Outcome r = Command({"identify", "COM3"});
        EXPECT_EQ(r.code, cli::kExitNoReply) << answered << r.err;
        EXPECT_NE(r.err.find("COM3 on in-process card: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("gone"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(Text(res::IDS_PORT_WRITE_FAILED)), std::string::npos)
            << "nothing more is written to a card that is gone";
    }
    auto silent = std::make_unique<cardsim::InProcessCard>(clock);
    ports.MapToDevice("COM3", silent->Opener());
    silent->Faults().silent = true;
    Outcome r = Command({"identify", "COM3"});
    EXPECT_EQ(r.code, cli::kExitNoReply);
    EXPECT_NE(r.err.find("nothing came back after \"AT&F\""), std::string::npos) << r.err;
}

TEST_F(CardCommandsTest, ProbeReportsThePortOrMessage121) {
    Outcome r = Command({"probe"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "COM3\n");
    ports.Clear();
    r = Command({"probe"});
    EXPECT_EQ(r.code, cli::kExitRefused);
    EXPECT_EQ(r.err, Text(res::IDS_CARD_NOT_DETECTED) + "\n  COM4: no device for this port\n" +
                         "  COM3: no device for this port\n  COM2: no device for this port\n" +
                         "  COM1: no device for this port\n");
}

// Every port the probe tried gets one line saying why the card was not there.
TEST_F(CardCommandsTest, ProbeSaysWhyEachPortFailed) {
    TempWorkDir dir;
    PtyPair held;
    std::string error;
    auto holder = comm::TtyDevice::Open(held.slave, &error);
    ASSERT_NE(holder, nullptr) << error;
    auto other = std::make_unique<cardsim::InProcessCard>(clock);
    other->Faults().wrongIdentification = true;
    card.Faults().silent = true;
    ports.MapToPath("COM4", dir.Path() + "/ttyUSB7");
    ports.MapToPath("COM3", held.slave);
    ports.MapToDevice("COM2", card.Opener());
    ports.MapToDevice("COM1", other->Opener());
    Outcome r = Command({"probe"});
    EXPECT_EQ(r.code, cli::kExitRefused);
    std::vector<std::string> lines;
    std::istringstream in(r.err.substr(Text(res::IDS_CARD_NOT_DETECTED).size() + 1));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 4u) << r.err;
    EXPECT_EQ(lines[0].rfind("  COM4 on " + dir.Path() + "/ttyUSB7: No such file", 0), 0u);
    EXPECT_NE(lines[0].find("zo-config port COMn=PATH"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].rfind("  COM3 on " + held.slave + ": in use by another program", 0), 0u)
        << lines[1];
    EXPECT_EQ(lines[2], "  COM2 on in-process card: no answer");
    EXPECT_EQ(lines[3],
              "  COM1 on in-process card: something answered, but not the card (another modem?)");

    // Not a terminal, and a device this user may not open.
    const std::string file = dir.Path() + "/locked";
    std::ofstream(file) << "x";
    ::chmod(file.c_str(), 0);
    ports.MapToPath("COM4", "/dev/null");
    ports.MapToPath("COM3", file);
    r = Command({"probe"});
    EXPECT_NE(r.err.find("  COM4 on /dev/null: not a serial device\n"), std::string::npos) << r.err;
    if (::geteuid() != 0) {
        EXPECT_NE(r.err.find("  COM3 on " + file + ": Permission denied; "), std::string::npos)
            << r.err;
    }
}

// A name typed in another case applies the stored profile: its record and its values
// keep the stored spelling.
TEST_F(CardCommandsTest, ApplyInAnotherCaseRecordsTheStoredName) {
    Save("Home", "20655501000101", "COM3");
    const store::Profile before = store::ReadProfile("Home").Value();
    Outcome r = Command({"apply", "HOME"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(store::ActiveProfileName().Value(), "Home");
    EXPECT_EQ(store::ReadProfile("Home").Value(), before);
    EXPECT_EQ(store::ListProfileNames().Value(), std::vector<std::string>{"Home"});
}

}  // namespace
}  // namespace zo::test
