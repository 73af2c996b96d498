// Saves profiles into the store given as argv[1]. Each save writes one generation marker
// into every value, so a reader can tell a whole save from a mix.
//   zo_store_writer STORE               saves P0..P4 in turn until killed, writing "r"
//                                       to stdout once the first save is done
//   zo_store_writer STORE PREFIX COUNT  saves PREFIX0..PREFIX<COUNT-1> and the shared
//                                       profile "Both" after each, then exits
#include <unistd.h>

#include <string>

#include "platform/registry/Hive.h"
#include "store/ProfileStore.h"

namespace {

zo::store::Profile Record(const std::string& name, const std::string& g, bool terminal2) {
    return {name, g, g, g, g, g, g, g, g, g, g, g, terminal2};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    zo::registry::SetDefaultHivePath(argv[1]);
    zo::store::RegistryKey key(zo::store::HKEY_LOCAL_MACHINE, zo::store::PccardPath());
    if (argc >= 4) {
        const std::string prefix = argv[2];
        const int count = std::stoi(argv[3]);
        for (int i = 0; i < count; ++i) {
            const std::string g = prefix + "-" + std::to_string(i);
            if (!zo::store::WriteProfile(key, Record(prefix + std::to_string(i), g, i % 2 == 1)) ||
                !zo::store::WriteProfile(key, Record("Both", g, i % 2 == 1))) {
                return 1;
            }
        }
        return 0;
    }
    long generation = static_cast<long>(::getpid()) * 100000;
    for (bool first = true;; ++generation, first = false) {
        const std::string g = "g" + std::to_string(generation);
        auto r = Record("P" + std::to_string(generation % 5), g, generation % 2 == 1);
        if (!zo::store::WriteProfile(key, r) || !zo::store::MarkProfileActive(key, r.Location)) {
            return 1;
        }
        // Tells the killer that saves are under way, however slowly the program started.
        if (first && ::write(STDOUT_FILENO, "r", 1) != 1) {
            return 1;
        }
    }
}
