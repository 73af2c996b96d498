// Saves profiles into the store given as argv[1] until killed. Each save writes one
// generation number into every value, so a reader can tell a whole save from a mix.
#include <unistd.h>

#include <string>

#include "platform/registry/Hive.h"
#include "store/ProfileStore.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    zo::registry::SetDefaultHivePath(argv[1]);
    long generation = static_cast<long>(::getpid()) * 100000;
    zo::store::RegistryKey key(zo::store::HKEY_LOCAL_MACHINE, zo::store::PccardPath());
    for (;; ++generation) {
        const std::string g = "g" + std::to_string(generation);
        zo::store::ProfileRecord r{"P" + std::to_string(generation % 5),
                                   g,
                                   g,
                                   g,
                                   g,
                                   g,
                                   g,
                                   g,
                                   g,
                                   g,
                                   g,
                                   g,
                                   generation % 2 == 1};
        if (!zo::store::WriteProfile(key, r) || !zo::store::MarkProfileActive(key, r.Location)) {
            return 1;
        }
    }
}
