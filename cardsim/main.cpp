// zo-cardsim: the simulated card on a pseudo-terminal, for trying zo-config without a card.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cardsim/PtyCardServer.h"
#include "platform/comm/ByteTrace.h"
#include "res/Translation.h"

namespace {

int g_stopFd = -1;

void OnSignal(int) {
    char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(g_stopFd, &byte, 1);
}

std::string UsageText() {
    // TRANSLATORS: %1 is the list of fault names, which stay as they are.
    return zo::res::Fill(
        zo::res::Tr(
            "Usage: zo-cardsim --link PATH [--nvram FILE] [--log FILE] [--fault NAME]...\n"
            "Serves a simulated Kest Ferronix ZO!(tm) card on a pseudo-terminal until\n"
            "interrupted, for trying zo-config without a card.\n"
            "\n"
            "Options:\n"
            "  --link PATH     make PATH a symbolic link to the card's terminal (required);\n"
            "                  then run: zo-config --port COM3=PATH\n"
            "  --nvram FILE    keep the card's stored settings in FILE across runs\n"
            "  --log FILE      append each line the card receives to FILE (default: standard\n"
            "                  output)\n"
            "  --fault NAME    misbehave as NAME (repeatable): %1\n"
            "  -h, --help      show this help and exit\n"
            "  --version       show the version and exit\n"
            "\n"
            "Exit status: 0 stopped by a signal or hang-up, 1 the terminal could not be served,\n"
            "2 usage error.\n"),
        {zo::cardsim::FaultNamesHelp()});
}

int Usage(const std::string& error) {
    std::cerr << "zo-cardsim: " << error << "\n" << UsageText();
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zo;
    res::UseProgramTranslations();
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string link, nvram, logPath, error;
    cardsim::CardFaults faults;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) {
                return false;
            }
            *out = args[++i];
            return true;
        };
        std::string fault;
        if (a == "--help" || a == "-h") {
            std::cout << UsageText();
            return 0;
        } else if (a == "--version") {
            std::cout << "zo-cardsim " << ZO_VERSION << "\n";
            return 0;
        } else if (a == "--link") {
            if (!value(&link))
                return Usage(res::Tr("--link needs a path"));
        } else if (a == "--nvram") {
            if (!value(&nvram))
                return Usage(res::Tr("--nvram needs a file"));
        } else if (a == "--log") {
            if (!value(&logPath))
                return Usage(res::Tr("--log needs a file"));
        } else if (a == "--fault") {
            if (!value(&fault) || !cardsim::ParseFault(fault, false, &faults, &error)) {
                return Usage(error.empty() ? res::Tr("--fault needs a name") : error);
            }
        } else {
            return Usage(res::Fill(res::Tr("unknown argument '%1'"), {a}));
        }
    }
    if (link.empty()) {
        return Usage(res::Tr("--link PATH is required"));
    }
    std::FILE* log = stdout;
    if (!logPath.empty() && !(log = std::fopen(logPath.c_str(), "a"))) {
        std::cerr << "zo-cardsim: " << logPath << ": " << std::strerror(errno) << "\n";
        return 1;
    }
    auto model = std::make_unique<cardsim::CardModel>(platform::CurrentClock(), nvram);
    model->Faults() = faults;
    auto& clock = platform::CurrentClock();
    const auto start = clock.Now();
    model->SetLineObserver([&](const std::string& line) {
        double t = std::chrono::duration<double>(clock.Now() - start).count();
        std::fprintf(log, "%10.3f %s\n", t, comm::ByteTrace::Escape(line).c_str());
        std::fflush(log);
    });
    auto server = cardsim::PtyCardServer::Create(std::move(model), &error);
    if (!server || !server->LinkAt(link, &error)) {
        std::cerr << "zo-cardsim: " << error << "\n";
        return 1;
    }
    g_stopFd = server->StopFd();
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(sig, &sa, nullptr);
    }
    std::cerr << "zo-cardsim: "
              << res::Fill(res::Tr("card on %1, linked at %2"), {server->SlavePath(), link})
              << "\n";
    auto ended = server->Run();
    if (ended == cardsim::PtyCardServer::Ended::HungUp) {
        std::cerr << "zo-cardsim: " << res::Tr("hung up") << "\n";
    }
    server.reset();
    if (log != stdout) {
        std::fclose(log);
    }
    return ended == cardsim::PtyCardServer::Ended::Failed ? 1 : 0;
}
