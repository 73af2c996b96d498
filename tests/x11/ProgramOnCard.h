#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>

#include "support/CardProcess.h"

namespace zo::test {

// A real-window test's world: a scratch folder, zo-cardsim on a link in it, and zo-config
// started on the X server with its store in the folder and COM1 on that link. Everything
// is killed and removed after each test.
class ProgramOnCard : public ::testing::Test {
protected:
    // `folderPattern`: a mkdtemp(3) pattern for the scratch folder, in the temporary
    // folder unless it is absolute.
    explicit ProgramOnCard(std::string folderPattern) : m_pattern(std::move(folderPattern)) {}

    void SetUp() override;
    void TearDown() override;

    // Starts zo-config from the build folder, where it finds its clip and help file as
    // `tools/run.sh` runs it.
    void StartProgram();
    std::string CardLog() const;

    std::string m_dir;
    CardProcess m_card;
    pid_t m_program = -1;

private:
    std::string m_pattern;
};

}  // namespace zo::test
