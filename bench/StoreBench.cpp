#include "bench/StoreBench.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/registry/Hive.h"
#include "store/ProfileStore.h"

namespace zo::bench {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string FreshStore() {
    std::string dir = (std::filesystem::temp_directory_path() / "zo-bench-XXXXXX").string();
    if (!::mkdtemp(dir.data())) {
        std::abort();
    }
    return dir + "/registry.db";
}

}  // namespace

void FillProfiles(int count) {
    auto& hive = registry::DefaultHive();
    registry::Hive::Batch batch(hive);
    store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath());
    for (int i = 0; i < count; ++i) {
        store::Profile r{"Location " + std::to_string(i),
                         "National ISDN-1 (NI-1)",
                         "2065550100",
                         "20655501000101",
                         "COM3",
                         "115200",
                         "8",
                         "None",
                         "1",
                         "Hardware",
                         "2065550101",
                         "20655501010101",
                         i % 2 == 0};
        store::WriteProfile(key, r);
    }
    batch.Commit();
}

void RunStoreBench(Table& table) {
    double perProfile10 = 0;
    for (int count : {10, 1000, 10000}) {
        const std::string path = FreshStore();
        registry::SetDefaultHivePath(path);
        FillProfiles(count);
        // A new connection, as at program start.
        registry::SetDefaultHivePath(path);
        auto start = Clock::now();
        const auto names = store::ListProfileNames().Value();
        const double listMs = MsSince(start);
        start = Clock::now();
        std::size_t values = 0;
        for (const auto& name : names) {
            values += store::ReadProfile(name).Value().storedCount;
        }
        const double loadMs = MsSince(start);
        const double perProfileUs = 1000.0 * (listMs + loadMs) / count;
        if (count == 10) {
            perProfile10 = perProfileUs;
        }
        table.Add("store: list " + std::to_string(count) + " profiles", Ms(listMs));
        table.Add("store: load all " + std::to_string(count) + " profiles (" +
                      std::to_string(values) + " values)",
                  Ms(loadMs), count == 10000 ? "linear growth" : "");
        table.Add("store: list+load per profile at " + std::to_string(count), Us(perProfileUs),
                  count == 10 ? "" : "<= per profile at 10 (linear)");
        std::filesystem::remove_all(std::filesystem::path(path).parent_path());
    }
    (void)perProfile10;
    registry::SetDefaultHivePath("");
}

}  // namespace zo::bench
