#include "support/ui/RecordingHelp.h"

namespace zo::test {

RecordingHelp::RecordingHelp() {
    help::SetHelp(this);
}

RecordingHelp::~RecordingHelp() {
    help::SetHelp(nullptr);
}

void RecordingHelp::ShowContext(QWidget* /*owner*/, const std::string& file,
                                unsigned long context) {
    shown.emplace_back(file, context);
}

void RecordingHelp::Quit(const std::string& file) {
    quits.push_back(file);
}

}  // namespace zo::test
