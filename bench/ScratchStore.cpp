#include "bench/ScratchStore.h"

#include <cstdlib>
#include <filesystem>

#include "platform/registry/Hive.h"

namespace zo::bench {

ScratchStore::ScratchStore() {
    m_dir = (std::filesystem::temp_directory_path() / "zo-bench-XXXXXX").string();
    if (!::mkdtemp(m_dir.data())) {
        std::abort();
    }
    m_path = m_dir + "/registry.db";
    registry::SetDefaultHivePath(m_path);
}

ScratchStore::~ScratchStore() {
    registry::SetDefaultHivePath("");
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

}  // namespace zo::bench
