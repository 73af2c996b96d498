// Prints the performance figures of zo-config as one table. Nothing here passes or
// fails: the figures are read against the goals beside them.
#include <sys/utsname.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchTable.h"
#include "bench/LinkBench.h"
#include "bench/StallBench.h"
#include "bench/StartupBench.h"
#include "bench/StoreBench.h"
#include "bench/SummaryWindowBench.h"
#include "bench/WizardRun.h"

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

std::string OsName() {
    std::ifstream in("/etc/os-release");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("PRETTY_NAME=", 0) == 0) {
            std::string name = line.substr(12);
            if (name.size() >= 2 && name.front() == '"') {
                name = name.substr(1, name.size() - 2);
            }
            return name;
        }
    }
    return "Linux";
}

void Progress(const char* part) {
    std::fprintf(stderr, "zo-bench: %s\n", part);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zo::bench;
    if (argc == 4 && std::string(argv[1]) == "--wizard-run") {
        return RunWizardChild(argc, argv, argv[2], argv[3]);
    }
    utsname u{};
    ::uname(&u);
    char date[32];
    std::time_t now = std::time(nullptr);
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    std::printf("zo-bench %s on %s, %ld cores, %s (%s %s)\n\n", date, CpuModel().c_str(),
                ::sysconf(_SC_NPROCESSORS_ONLN), OsName().c_str(), u.sysname, u.release);
    std::fflush(stdout);

    // Parts may be named to run only those; all run by default.
    std::vector<std::string> parts(argv + 1, argv + argc);
    auto wanted = [&parts](const char* part) {
        return parts.empty() || std::find(parts.begin(), parts.end(), part) != parts.end();
    };
    // Card conversations first, while this process has no other thread to charge CPU to.
    Table table;
    if (wanted("conversation")) {
        Progress("probe and card programming, ours and spinning (about a minute)");
        RunConversationBench(table);
    }
    if (wanted("latency")) {
        Progress("latency of the wait for \"OK\"");
        RunOkLatencyBench(table);
    }
    if (wanted("startup")) {
        Progress("start-up and a whole wizard run (about half a minute)");
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        RunStartupBench(table, self.c_str());
    }
    if (wanted("store")) {
        Progress("store scale");
        RunStoreBench(table);
    }
    if (wanted("window") || wanted("refresh") || wanted("stall")) {
        // The windows run where the program runs, beside its clip.
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (::chdir(std::filesystem::path(ZO_CONFIG_BIN).parent_path().c_str()) != 0) {
            std::perror("zo-bench");
        }
        QApplication qapp(argc, argv);
        if (wanted("window")) {
            Progress("configuration window with 10 and 1,000 profiles");
            RunConfigPageBench(table);
        }
        if (wanted("refresh")) {
            Progress("product page refreshes (about a minute)");
            RunProductPageBench(table);
        }
        if (wanted("stall")) {
            Progress("event-loop stalls during card conversations (about a minute)");
            RunStallBench(table);
        }
    }
    table.Print();
    return 0;
}
