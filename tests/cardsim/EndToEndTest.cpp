// The programs themselves over real pseudo-terminals, on the real clock: few tests, each
// waiting as long as the card conversation takes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "platform/comm/TtyDevice.h"
#include "platform/comm/UniqueFd.h"
#include "support/CardProcess.h"
#include "support/ProgramRun.h"
#include "support/TestStore.h"

using namespace std::chrono_literals;

namespace zo::test {
namespace {

class EndToEndTest : public ::testing::Test {
protected:
    Outcome Config(const std::string& args) {
        return RunProgram(std::string(ZO_CONFIG_BIN) + " --registry " + store.Path() + " " + args,
                          store.Dir());
    }
    void Import(const std::string& spid1) {
        std::ofstream reg(store.Dir() + "/p.reg");
        reg << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\Office]\n"
               "\"Location\"=\"Office\"\n\"Switch\"=\"National ISDN-1 (NI-1)\"\n"
               "\"Phone1\"=\"2065550100\"\n\"SPID1\"=\""
            << spid1
            << "\"\n\"Port\"=\"COM3\"\n\"Baud\"=\"115200\"\n\"Bits\"=\"8\"\n"
               "\"Parity\"=\"None\"\n\"Stop\"=\"1\"\n\"Flow\"=\"Hardware\"\n";
        reg.close();
        ASSERT_EQ(Config("import " + store.Dir() + "/p.reg").code, 0);
    }
    // Starts zo-cardsim and waits for its link.
    void StartCard() {
        link = store.Dir() + "/card";
        log = store.Dir() + "/card.log";
        ASSERT_TRUE(card.Start(ZO_CARDSIM_BIN, link, log)) << "zo-cardsim did not come up";
    }
    void TearDown() override {
        if (card.Running()) {
            const int status = card.Stop(SIGTERM);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            struct stat st {};
            EXPECT_NE(::lstat(link.c_str(), &st), 0) << "the link is removed at exit";
        }
    }

    TestStore store;
    CardProcess card;
    std::string link, log;
};

TEST_F(EndToEndTest, ProbeFindsTheSimulatedCardOnItsPort) {
    Outcome r = Config("--simulate=COM2 probe");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "COM2\n");
}

TEST_F(EndToEndTest, ApplyProgramsTheCardAndRecordsTheProfile) {
    StartCard();
    Import("20655501000101");

    // Held by another program: refused even for root.
    {
        std::string error;
        auto holder = comm::TtyDevice::Open(link, &error);
        ASSERT_NE(holder, nullptr) << error;
        Outcome r = Config("--port COM3=" + link + " apply Office");
        EXPECT_EQ(r.code, 4);
        EXPECT_NE(r.err.find("is being used by another device"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("in use by another program"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Slurp(log), "");

    Outcome r = Config("--port COM3=" + link + " --trace " + store.Dir() + "/trace apply Office");
    EXPECT_EQ(r.code, 0) << r.err;
    std::istringstream lines(Slurp(log));
    std::vector<std::string> commands;
    for (std::string line; std::getline(lines, line);) {
        commands.push_back(line.substr(line.find(' ', line.find_first_not_of(' ')) + 1));
    }
    EXPECT_EQ(commands,
              (std::vector<std::string>{"AT&F", "ATE0Q0V1", "ATI3", "AT!C0=32", "AT!N1=\"5550100\"",
                                        "AT!C2=\"20655501000101\"", "AT!N2=\"\"", "AT!C6=\"\"",
                                        "AT&K3", "ATE1", "AT&W", "AT%Z1"}));
    EXPECT_EQ(Config("profiles").out, "* Office\n");
    EXPECT_NE(Slurp(store.Dir() + "/trace").find("-> AT!C2=\"20655501000101\"\\r\\n"),
              std::string::npos);
}

// A port pointed at a device once is used by every later run, and each run hands the
// device back: the next run, and any other program, opens it again (not only root).
TEST_F(EndToEndTest, ASavedPortLastsAndIsFreeAfterEachRun) {
    StartCard();
    const std::string env = "XDG_CONFIG_HOME=" + store.Dir() + "/config ";
    auto config = [&](const std::string& args) {
        return RunProgram(env + ZO_CONFIG_BIN + (" --registry " + store.Path() + " " + args),
                          store.Dir());
    };

    Outcome r = config("port com2=" + link);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "COM2 is now " + link + ".\n");
    EXPECT_NE(Slurp(store.Dir() + "/config/zo-config/ports").find("COM2=" + link + "\n"),
              std::string::npos);
    r = config("ports");
    EXPECT_NE(r.out.find("COM2  " + link), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(saved in " + store.Dir() + "/config/zo-config/ports)"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("COM1  /dev/ttyS0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Serial devices on this machine:"), std::string::npos) << r.out;

    for (int run = 0; run < 2; ++run) {
        r = config("identify COM2");
        EXPECT_EQ(r.code, 0) << run << r.err;
        EXPECT_NE(r.out.find("Product Name: "), std::string::npos) << r.out;
    }
    comm::UniqueFd plain(::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(plain.Valid()) << "another program opens the port right after";
    int exclusive = -1;
    ASSERT_EQ(::ioctl(plain.Get(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    plain.Reset();

    r = config("port COM2=/etc/passwd");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("not a character device"), std::string::npos) << r.err;
    EXPECT_NE(config("ports").out.find("COM2  " + link), std::string::npos) << "kept";
    EXPECT_EQ(config("port COM5=" + link).code, 2);
    r = config("port COM2=");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "COM2 is back on its default device, /dev/ttyS1.\n");
    r = config("identify " + link);
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("zo-config port COM1=" + link), std::string::npos) << r.err;
}

TEST_F(EndToEndTest, ApplyRefusesAnInjectingValueBeforeThePort) {
    Import("0101\\\"AT&W");
    Outcome r = Config("--port COM3=/nonexistent apply Office");
    EXPECT_EQ(r.code, 8);
    EXPECT_NE(r.err.find("SPID 1"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("being used by another device"), std::string::npos) << "port untouched";
    EXPECT_EQ(Config("profiles").out, "  Office\n");
}

// The cards of CardFaultRunTest.OnlyTheCardsOwnOkToTheStoreIsASuccess on a terminal, each
// refusing "AT&W": apply fails with its own exit status, records nothing and sends nothing
// after the store command.
struct FalseOkCard {
    const char* name;
    const char* fault;
    int exitCode;
};

void PrintTo(const FalseOkCard& card, std::ostream* out) {
    *out << card.fault;
}

class FalseOkEndToEndTest : public EndToEndTest,
                            public ::testing::WithParamInterface<FalseOkCard> {};

TEST_P(FalseOkEndToEndTest, ARefusedStoreIsNeverApplied) {
    card.AddFault(GetParam().fault);
    card.AddFault("refuse=AT&W");
    StartCard();
    Import("20655501000101");
    Outcome r = Config("--port COM3=" + link + " apply Office");
    EXPECT_EQ(r.code, GetParam().exitCode) << r.err;
    EXPECT_EQ(r.out.find("Applied"), std::string::npos) << r.out;
    EXPECT_EQ(Config("profiles").out, "  Office\n");
    const std::string lines = Slurp(log);
    ASSERT_GT(lines.size(), 6u);
    EXPECT_EQ(lines.substr(lines.rfind(' ', lines.size() - 2) + 1), "AT&W\n");
}

INSTANTIATE_TEST_SUITE_P(Cards, FalseOkEndToEndTest,
                         ::testing::Values(FalseOkCard{"OkInRefusal", "ok-in-refusal", 9},
                                           FalseOkCard{"LateAnswer", "late=AT!C6", 9},
                                           FalseOkCard{"OneAnswerBehind", "behind=AT!C0", 5},
                                           FalseOkCard{"ExtraOk", "extra-ok=ATE1", 9}),
                         [](const ::testing::TestParamInfo<FalseOkCard>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace zo::test
