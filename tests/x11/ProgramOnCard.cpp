#include "x11/ProgramOnCard.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "support/ProgramRun.h"
#include "x11/XSession.h"

namespace zo::test {

void ProgramOnCard::SetUp() {
    // In the scratch folder the suite removes, even after a time-out.
    const std::string full = m_pattern[0] == '/'
                                 ? m_pattern
                                 : (std::filesystem::temp_directory_path() / m_pattern).string();
    std::vector<char> pattern(full.begin(), full.end());
    pattern.push_back('\0');
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_dir = pattern.data();
    m_card.SendOutputTo(m_dir + "/cardsim.out");
    ASSERT_TRUE(m_card.Start(ZO_CARDSIM_BIN, m_dir + "/card", m_dir + "/card.log"))
        << "zo-cardsim made no link";
}

void ProgramOnCard::TearDown() {
    if (m_program > 0) {
        ::kill(m_program, SIGKILL);
        ::waitpid(m_program, nullptr, 0);
    }
    m_card.Stop(SIGKILL);
    std::system(("rm -rf " + m_dir).c_str());
}

void ProgramOnCard::StartProgram() {
    m_program = TheX().Spawn({"sh", "-c",
                              "cd " ZO_BUILD_DIR " && exec " ZO_CONFIG_BIN " --registry " + m_dir +
                                  "/store.db --port COM1=" + m_dir + "/card"},
                             m_dir + "/zo-config.out");
}

std::string ProgramOnCard::CardLog() const {
    return Slurp(m_dir + "/card.log");
}

}  // namespace zo::test
