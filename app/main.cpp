#include <iostream>
#include <string>
#include <vector>

#include "app/NoDisplayExit.h"
#include "app/RunWindows.h"
#include "app/cli/CommandReport.h"
#include "app/cli/Commands.h"
#include "app/cli/ExitCode.h"
#include "app/cli/LinkSetup.h"
#include "app/cli/Options.h"
#include "app/cli/StorePath.h"
#include "platform/comm/HeldPorts.h"
#include "platform/registry/Hive.h"
#include "res/Translation.h"

int main(int argc, char** argv) {
    using namespace zo::cli;
    // A port in use is handed back as it was found even when a signal ends the program.
    zo::comm::ReleaseHeldPortsAtExit();
    zo::res::UseProgramTranslations();
    std::vector<std::string> args(argv + 1, argv + argc);
    Options options;
    std::string error;
    if (!ParseOptions(args, &options, &error)) {
        std::cerr << "zo-config: " << error << "\n" << UsageText();
        return kExitUsage;
    }
    if (options.help) {
        std::cout << UsageText();
        return Finish(std::cout, std::cerr);
    }
    if (options.version) {
        std::cout << "zo-config " << ZO_VERSION << "\n";
        return Finish(std::cout, std::cerr);
    }
    std::string store = options.registryPath;
    // The simulated card gets a demo store and keeps its memory beside it.
    std::string cardMemory;
    if (store.empty() && options.simulate) {
        store = DemoStorePath(&error);
        cardMemory = store.empty() ? std::string() : store + ".card";
    }
    if (store.empty()) {
        store = DefaultStorePath(&error);
        if (store.empty()) {
            std::cerr << "zo-config: " << error << "\n";
            return kExitStore;
        }
    }
    zo::registry::SetDefaultHivePath(store);
    LinkSetup link;
    if (!link.Start(options, cardMemory, &error)) {
        std::cerr << "zo-config: " << error << "\n";
        return kExitUsage;
    }
    for (const std::string& warning : link.Warnings()) {
        std::cerr << "zo-config: " << warning << "\n";
    }
    if (options.command.empty()) {
        // Without a display the window system would end the program; say why instead.
        if (!DisplayNamed(options)) {
            std::cerr << "zo-config: "
                      << zo::res::Tr(
                             "there is no display to show the windows on (DISPLAY is not "
                             "set); the commands work without one (see --help)")
                      << "\n";
            return kExitNoDisplay;
        }
        zo::app::ExitWithoutWindowSystem();
        return zo::app::RunWindows(argc, argv, store);
    }
    return RunCommand(options.command, std::cout, std::cerr);
}
