#include "app/cli/StreamPrompter.h"

#include <ostream>

namespace zo::cli {

StreamPrompter::StreamPrompter(std::ostream& err)
    : m_err(err), m_previous(&platform::CurrentPrompter()) {
    platform::SetPrompter(this);
}

StreamPrompter::~StreamPrompter() {
    platform::SetPrompter(m_previous);
}

platform::Answer StreamPrompter::Ask(const std::string& text, platform::Buttons buttons,
                                     platform::Icon /*icon*/, const std::string& detail) {
    m_err << text << "\n";
    if (!detail.empty()) {
        m_err << "(" << detail << ")\n";
    }
    switch (buttons) {
        case platform::Buttons::Ok:
            return platform::Answer::Ok;
        case platform::Buttons::YesNo:
            return platform::Answer::No;
        default:
            return platform::Answer::Cancel;
    }
}

}  // namespace zo::cli
