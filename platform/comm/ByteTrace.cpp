#include "platform/comm/ByteTrace.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/PrivateFile.h"
#include "res/Translation.h"

namespace zo::comm {

std::shared_ptr<ByteTrace> ByteTrace::Create(const std::string& path, std::string* error) {
    // The trace holds the SPIDs: private to its owner, and never another user's file, which
    // that user could read. An existing file is emptied only once it is known to be ours.
    files::PrivateFile file;
    if (!files::OpenPrivateFile(path, res::Tr("the trace"), false, &file, error)) {
        return nullptr;
    }
    if (!files::MakePrivate(file, path, error)) {
        ::close(file.fd);
        return nullptr;
    }
    std::FILE* f = ::ftruncate(file.fd, 0) == 0 ? ::fdopen(file.fd, "w") : nullptr;
    if (!f) {
        *error = path + ": " + std::strerror(errno);
        ::close(file.fd);
        return nullptr;
    }
    auto trace = std::make_shared<ByteTrace>(f);
    trace->m_owned = true;
    return trace;
}

ByteTrace::ByteTrace(std::FILE* file) : m_file(file), m_start(platform::CurrentClock().Now()) {}

ByteTrace::~ByteTrace() {
    if (m_owned) {
        std::fclose(m_file);
    }
}

std::string ByteTrace::Escape(std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (u < 0x20 || u >= 0x7F) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

void ByteTrace::Line(const char* direction, std::string_view text) {
    threads::MutexLock lock(m_mutex);
    auto since = platform::CurrentClock().Now() - m_start;
    double seconds = std::chrono::duration<double>(since).count();
    std::fprintf(m_file, "%12.6f %s %.*s\n", seconds, direction, static_cast<int>(text.size()),
                 text.data());
    std::fflush(m_file);
}

void ByteTrace::Note(std::string_view text) {
    // A reason may run over several lines (a device error and what to do about it); the
    // trace keeps one line per event.
    std::string line;
    line.reserve(text.size());
    for (char c : text) {
        if (c == '\n') {
            line += "\\n";
        } else if (c == '\r') {
            line += "\\r";
        } else {
            line += c;
        }
    }
    Line("--", line);
}

void ByteTrace::Sent(std::string_view bytes) {
    Line("->", Escape(bytes));
}

void ByteTrace::Received(std::string_view bytes) {
    Line("<-", Escape(bytes));
}

}  // namespace zo::comm
