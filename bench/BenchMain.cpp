// Prints the performance figures of zo-config as one table. Nothing here passes or
// fails: the figures are read against the goals beside them.
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

#include "bench/BenchTable.h"
#include "bench/StoreBench.h"

namespace {

std::string CpuModel() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("model name", 0) == 0) {
            return line.substr(line.find(':') + 2);
        }
    }
    return "unknown cpu";
}

}  // namespace

int main() {
    utsname u{};
    ::uname(&u);
    char date[32];
    std::time_t now = std::time(nullptr);
    std::strftime(date, sizeof date, "%Y-%m-%d", std::gmtime(&now));
    std::printf("zo-bench %s on %s, %ld cores, %s %s\n\n", date, CpuModel().c_str(),
                ::sysconf(_SC_NPROCESSORS_ONLN), u.sysname, u.release);
    zo::bench::Table table;
    zo::bench::RunStoreBench(table);
    table.Print();
    return 0;
}
