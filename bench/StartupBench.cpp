#include "bench/StartupBench.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/CardProcess.h"
#include "bench/ScratchStore.h"
#include "cardsim/CardFaults.h"

namespace zo::bench {
namespace {

// Enough starts that a busy machine moves the medians little.
constexpr int kStartupRuns = 31;

struct ChildRun {
    int status = -1;
    double wallMs = 0;
    double maxRssMb = 0;
    std::string out;
};

long long MonotonicNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

// The window system the starts are measured on: offscreen, or the one ZO_BENCH_PLATFORM
// names ("xcb" with DISPLAY naming an X server), the same for both programs.
std::string Platform() {
    const char* named = std::getenv("ZO_BENCH_PLATFORM");
    return named && *named ? named : "offscreen";
}

// Runs `args` in `dir` on the measured platform with `env` added, its standard output
// collected and its standard error dropped.
ChildRun Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
               const std::string& dir) {
    ChildRun run;
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return run;
    }
    const auto start = std::chrono::steady_clock::now();
    const long long startNs = MonotonicNs();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        if (::chdir(dir.c_str()) != 0) {
            ::_exit(126);
        }
        ::setenv("QT_QPA_PLATFORM", Platform().c_str(), 1);
        for (const auto& e : env) {
            auto eq = e.find('=');
            std::string value = e.substr(eq + 1);
            if (value == "START") {
                value = std::to_string(startNs);
            }
            ::setenv(e.substr(0, eq).c_str(), value.c_str(), 1);
        }
        std::vector<char*> argv;
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    char buf[512];
    ssize_t n;
    while ((n = ::read(out[0], buf, sizeof buf)) > 0) {
        run.out.append(buf, std::size_t(n));
    }
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    if (pid > 0 && ::wait4(pid, &status, 0, &usage) == pid) {
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.maxRssMb = double(usage.ru_maxrss) / 1024.0;
    }
    run.wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return run;
}

std::string Mb(double mb) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f MB", mb);
    return buf;
}

// First-paint times and peak memory of one program's starts.
struct Starts {
    std::vector<double> ms;
    std::vector<double> rssMb;

    void Add(const ChildRun& run) {
        double value = 0;
        if (run.status == 0 && std::sscanf(run.out.c_str(), "first-paint-ms %lf", &value) == 1) {
            ms.push_back(value);
            rssMb.push_back(run.maxRssMb);
        }
    }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Times(double ratio) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f times", ratio);
    return buf;
}

std::string Spread(const std::vector<double>& ms) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "median %s, max %s over %zu starts", Ms(Median(ms)).c_str(),
                  Ms(*std::max_element(ms.begin(), ms.end())).c_str(), ms.size());
    return buf;
}

}  // namespace

void RunStartupBench(Table& table, const char* self) {
    const std::string program = ZO_CONFIG_BIN;
    const std::string dir = std::filesystem::path(program).parent_path().string();
    // Side by side: each start of zo-config is followed by one of the bare dialog, so a
    // load on the machine weighs on both alike.
    Starts ours;
    Starts floor;
    for (int i = 0; i < kStartupRuns; ++i) {
        ScratchStore store;
        ours.Add(
            Spawn({program, "--registry", store.Path()}, {"ZO_EXIT_AT_FIRST_PAINT=START"}, dir));
        floor.Add(Spawn({ZO_BARE_DIALOG_BIN}, {"ZO_EXIT_AT_FIRST_PAINT=START"}, dir));
    }
    if (ours.ms.empty() || floor.ms.empty()) {
        table.Add(
            "start-up to the wizard's first page painted",
            ours.ms.empty() ? "not run: zo-config failed" : "not run: the bare dialog failed");
    } else {
        const std::string on = Platform();
        table.Add("start-up to the wizard's first page painted (" + on + ")", Spread(ours.ms),
                  "< 300 ms");
        table.Add("start-up of a bare Qt dialog, the floor (same runs, " + on + ")",
                  Spread(floor.ms));
        table.Add("start-up against the floor (medians)", Times(Median(ours.ms) / Median(floor.ms)),
                  "<= 1.5 times");
        table.Add("peak resident memory at the first page painted (median)", Mb(Median(ours.rssMb)),
                  "< 60 MB");
        table.Add("peak resident memory of the bare dialog (median)", Mb(Median(floor.rssMb)));
        table.Add("peak resident memory against the floor (medians)",
                  Times(Median(ours.rssMb) / Median(floor.rssMb)), "<= 1.25 times");
    }

    std::string error;
    auto card = CardProcess::Start(cardsim::kNormalAnswerDelay, &error);
    if (!card) {
        table.Add("whole wizard run", "not run: " + error);
        return;
    }
    ScratchStore store;
    // The whole run is measured offscreen, whatever the starts were measured on.
    ChildRun run = Spawn({self, "--wizard-run", card->Path(), store.Path()},
                         {"QT_QPA_PLATFORM=offscreen"}, dir);
    if (run.status != 0) {
        table.Add("whole wizard run", "not run: the wizard did not finish");
        return;
    }
    table.Add(
        "peak resident memory of a whole wizard run (every page, probe, Finish "
        "programming the card; " +
            Ms(run.wallMs) + ")",
        Mb(run.maxRssMb), "< 60 MB");
}

}  // namespace zo::bench
