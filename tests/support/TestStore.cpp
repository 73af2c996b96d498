#include "support/TestStore.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/registry/Hive.h"

namespace zo::test {

TestStore::TestStore() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zo-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_dir = tmpl;
    m_path = m_dir + "/registry.db";
    registry::SetDefaultHivePath(m_path);
}

TestStore::~TestStore() {
    registry::SetDefaultHivePath("");
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

}  // namespace zo::test
