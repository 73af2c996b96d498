#pragma once

#include <string>

namespace zo::bench {

// A fresh store file in a temporary folder of its own, made the default hive while the
// object lives and removed with it.
class ScratchStore {
public:
    ScratchStore();
    ~ScratchStore();
    ScratchStore(const ScratchStore&) = delete;
    ScratchStore& operator=(const ScratchStore&) = delete;

    const std::string& Dir() const { return m_dir; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_dir;
    std::string m_path;
};

}  // namespace zo::bench
