#include "support/TempWorkDir.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace zo::test {

TempWorkDir::TempWorkDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zo-ui-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = tmpl;
    m_previous = std::filesystem::current_path().string();
    std::filesystem::current_path(m_path);
}

TempWorkDir::~TempWorkDir() {
    std::error_code ec;
    std::filesystem::current_path(m_previous, ec);
    std::filesystem::remove_all(m_path, ec);
}

}  // namespace zo::test
