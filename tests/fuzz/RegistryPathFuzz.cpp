// Key paths and names reach the store from typed location names and imported files.
// Whatever they hold, RegistryKey must open, write and list without corrupting the hive,
// and what it lists must be what was written.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/registry/Hive.h"
#include "platform/registry/KeyPath.h"
#include "store/RegistryKey.h"

namespace {

const std::string& StorePath() {
    static const std::string path = [] {
        char dir[] = "/tmp/zo-fuzz-XXXXXX";
        std::string d = ::mkdtemp(dir) ? dir : "/tmp";
        return d + "/registry.db";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool init = [] {
        ::unlink(StorePath().c_str());
        zo::registry::SetDefaultHivePath(StorePath());
        return true;
    }();
    (void)init;
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t cut = input.find('\n');
    std::string path = input.substr(0, cut);
    std::string name = cut == std::string::npos ? "v" : input.substr(cut + 1);

    zo::store::RegistryKey key(zo::store::HKEY_LOCAL_MACHINE, ("FUZZ\\" + path).c_str());
    if (!key.IsOpen()) {
        return 0;
    }
    const bool written = key.WriteValues({name}, {path}).Ok();
    std::vector<zo::registry::Value> values;
    zo::registry::DefaultHive().ListValues(key.Handle(), &values);
    bool found = false;
    for (const auto& v : values) {
        if (zo::registry::FoldName(v.name) == zo::registry::FoldName(name)) {
            found = v.data == path + '\0';
        }
    }
    if (written != found) {
        __builtin_trap();
    }
    key.ReadSubkeys();
    // Leaves the tree as it found it, deepest key first; a key with subkeys stays.
    if (key.Results().empty()) {
        key.DeleteKey();
    }
    return 0;
}
