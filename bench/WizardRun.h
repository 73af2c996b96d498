#pragma once

#include <string>

namespace zo::bench {

// The hidden mode of zo-bench in which it is the program itself: the windows start as
// at a first start, on the store at `storePath`, with only COM1 present (the terminal
// at `cardPath`), and the wizard is walked through every page to Finish, which programs
// the card. The configuration window that would follow is not shown. Returns 0 when the
// wizard finished.
int RunWizardChild(int argc, char** argv, const std::string& cardPath,
                   const std::string& storePath);

}  // namespace zo::bench
