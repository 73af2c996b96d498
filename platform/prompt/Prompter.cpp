#include "platform/prompt/Prompter.h"

#include <iostream>

namespace zo::platform {
namespace {
Prompter* g_prompter = nullptr;
}  // namespace

Prompter& CurrentPrompter() {
    static ConsolePrompter console;
    return g_prompter ? *g_prompter : console;
}

void SetPrompter(Prompter* p) {
    g_prompter = p;
}

Answer ConsolePrompter::Ask(const std::string& text, Buttons buttons, Icon /*icon*/,
                            const std::string& detail) {
    std::cerr << text << "\n";
    if (!detail.empty()) {
        std::cerr << detail << "\n";
    }
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::OkCancel:
        case Buttons::RetryCancel:
        case Buttons::YesNoCancel:
            return Answer::Cancel;
    }
    return Answer::Cancel;
}

}  // namespace zo::platform
