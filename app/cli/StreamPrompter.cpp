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
    if (detail.find('\n') == std::string::npos) {
        if (!detail.empty()) {
            m_err << "(" << detail << ")\n";
        }
    } else {
        // A reason for each of several things (the ports a probe tried), one a line.
        for (std::size_t start = 0; start <= detail.size();) {
            std::size_t end = detail.find('\n', start);
            end = end == std::string::npos ? detail.size() : end;
            m_err << "  " << detail.substr(start, end - start) << "\n";
            start = end + 1;
        }
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
