#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/help/HelpSystem.h"

namespace zo::test {

// The help in force for its own lifetime: records the help requests instead of opening
// a window.
class RecordingHelp : public help::HelpSystem {
public:
    RecordingHelp();
    ~RecordingHelp() override;
    RecordingHelp(const RecordingHelp&) = delete;
    RecordingHelp& operator=(const RecordingHelp&) = delete;

    void ShowContext(QWidget* owner, const std::string& file, unsigned long context) override;
    void Quit(const std::string& file) override;

    std::vector<std::pair<std::string, unsigned long>> shown;
    std::vector<std::string> quits;
};

}  // namespace zo::test
