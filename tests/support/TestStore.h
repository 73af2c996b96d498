#pragma once

#include <string>

namespace zo::test {

// A fresh store file in its own temporary folder, made the default hive for the test's
// lifetime and removed afterwards.
class TestStore {
public:
    TestStore();
    ~TestStore();
    TestStore(const TestStore&) = delete;
    TestStore& operator=(const TestStore&) = delete;

    const std::string& Dir() const { return m_dir; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_dir;
    std::string m_path;
};

}  // namespace zo::test
