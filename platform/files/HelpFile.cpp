#include "platform/files/HelpFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

#include "res/Translation.h"

namespace zo::files {
namespace {

// `why` completes "The help file "NAME" ...".
bool Fail(std::string* error, const std::string& why) {
    if (error) {
        *error = why;
    }
    return false;
}

std::string Trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) {
        ++b;
    }
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) {
        --e;
    }
    return s.substr(b, e - b);
}

}  // namespace

bool HelpFile::Load(const std::string& path, std::string* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Fail(error, res::Tr("cannot be opened"));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Fail(error, res::Tr("is not a file"));
    }
    if (static_cast<unsigned long long>(st.st_size) > kMaxBytes) {
        ::close(fd);
        return Fail(error, res::Tr("is too large for a help file"));
    }
    std::string text(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    text.resize(got);
    return Parse(text, error);
}

bool HelpFile::Parse(const std::string& input, std::string* error) {
    m_topics.clear();
    if (input.size() > kMaxBytes) {
        return Fail(error, res::Tr("is too large for a help file"));
    }
    std::string text = input.compare(0, 3, "\xEF\xBB\xBF") == 0 ? input.substr(3) : input;
    std::map<unsigned long, HelpTopic> topics;
    HelpTopic* current = nullptr;
    bool inParagraph = false;
    std::size_t lineNo = 0;
    std::size_t pos = 0;
    bool sawHeader = false;
    while (pos <= text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() + 1 : nl + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!sawHeader) {
            if (Trim(line) != "ZO-HELP 1") {
                return Fail(error, res::Tr("is not a help file of this program"));
            }
            sawHeader = true;
            continue;
        }
        if (!line.empty() && line[0] == '#') {
            continue;
        }
        if (!line.empty() && line[0] == '@') {
            std::size_t i = 1;
            unsigned long long context = 0;
            while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) {
                context = context * 10 + static_cast<unsigned>(line[i] - '0');
                if (context > 0xFFFFFFFFull) {
                    break;
                }
                ++i;
            }
            if (i == 1 || context > 0xFFFFFFFFull ||
                (i < line.size() && line[i] != ' ' && line[i] != '\t')) {
                return Fail(
                    error, res::Fill(res::Tr("has a bad topic line %1"), {std::to_string(lineNo)}));
            }
            if (topics.count(context)) {
                return Fail(error,
                            res::Fill(res::Tr("has context %1 twice"), {std::to_string(context)}));
            }
            if (topics.size() >= kMaxTopics) {
                return Fail(error, res::Tr("has too many topics"));
            }
            HelpTopic& t = topics[static_cast<unsigned long>(context)];
            t.context = static_cast<unsigned long>(context);
            t.title = Trim(line.substr(i));
            current = &t;
            inParagraph = false;
            continue;
        }
        std::string body = Trim(line);
        if (body.empty()) {
            inParagraph = false;
            continue;
        }
        if (!current) {
            return Fail(error, res::Fill(res::Tr("has text before its first topic (line %1)"),
                                         {std::to_string(lineNo)}));
        }
        if (inParagraph) {
            current->paragraphs.back() += ' ' + body;
        } else {
            current->paragraphs.push_back(body);
            inParagraph = true;
        }
    }
    if (!sawHeader) {
        return Fail(error, res::Tr("is empty"));
    }
    m_topics = std::move(topics);
    return true;
}

const HelpTopic* HelpFile::Find(unsigned long context) const {
    auto it = m_topics.find(context);
    return it == m_topics.end() ? nullptr : &it->second;
}

}  // namespace zo::files
