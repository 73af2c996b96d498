#include "cardsim/Nvram.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace zo::cardsim {

Nvram::Nvram(std::string path) : m_path(std::move(path)) {}

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
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << text.str();
        if (!out.flush()) {
            return false;
        }
    }
    return std::rename(tmp.c_str(), m_path.c_str()) == 0;
}

}  // namespace zo::cardsim
