#include "cardsim/Nvram.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace zo::cardsim {

Nvram::Nvram(std::string path) : m_path(std::move(path)) {
    // A memory file left by an earlier run with a looser mode is made private too.
    struct stat st {};
    if (!m_path.empty() && ::stat(m_path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        (st.st_mode & 077) != 0 && st.st_uid == ::geteuid()) {
        ::chmod(m_path.c_str(), 0600);
    }
}

CardProfile Nvram::Load() const {
    if (m_path.empty()) {
        return m_memory;
    }
    CardProfile p;
    std::ifstream in(m_path);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        std::string key = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        try {
            if (key == "switch") {
                p.switchType = std::stoi(value);
            } else if (key == "flow") {
                p.flow = std::stoi(value);
            }
        } catch (const std::exception&) {
            return CardProfile{};
        }
        if (key == "dn1") {
            p.dn1 = value;
        } else if (key == "spid1") {
            p.spid1 = value;
        } else if (key == "dn2") {
            p.dn2 = value;
        } else if (key == "spid2") {
            p.spid2 = value;
        }
    }
    return p;
}

bool Nvram::Store(const CardProfile& p) {
    if (m_path.empty()) {
        m_memory = p;
        return true;
    }
    std::ostringstream text;
    text << "switch=" << p.switchType << "\ndn1=" << p.dn1 << "\nspid1=" << p.spid1
         << "\ndn2=" << p.dn2 << "\nspid2=" << p.spid2 << "\nflow=" << p.flow << "\n";
    const std::string tmp = m_path + ".tmp";
    // The card's memory holds the SPIDs: private to its owner whatever the umask.
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const std::string data = text.str();
    bool written = ::fchmod(fd, 0600) == 0;
    for (std::size_t done = 0; written && done < data.size();) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        written = n > 0;
        done += written ? static_cast<std::size_t>(n) : 0;
    }
    if (::close(fd) != 0 || !written) {
        ::unlink(tmp.c_str());
        return false;
    }
    return std::rename(tmp.c_str(), m_path.c_str()) == 0;
}

}  // namespace zo::cardsim
