#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace zo::files {

struct HelpTopic {
    unsigned long context = 0;
    std::string title;
    std::vector<std::string> paragraphs;
};

// The program's help file: plain UTF-8 text, one topic per help context.
//
//   ZO-HELP 1
//   # a comment
//   @2000 Title of the topic
//   First paragraph, over as many lines as it takes.
//
//   Second paragraph.
//
// The first line names the format; "@" and a context number start a topic, its title
// follows on the same line; blank lines separate paragraphs.
class HelpFile {
public:
    static constexpr std::size_t kMaxBytes = 1u << 20;
    static constexpr std::size_t kMaxTopics = 10000;

    // False with a reason for a file that cannot be read or is not of this format.
    bool Load(const std::string& path, std::string* error);
    bool Parse(const std::string& text, std::string* error);

    const HelpTopic* Find(unsigned long context) const;
    std::size_t TopicCount() const { return m_topics.size(); }

private:
    std::map<unsigned long, HelpTopic> m_topics;
};

}  // namespace zo::files
