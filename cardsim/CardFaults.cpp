#include "cardsim/CardFaults.h"

#include <charconv>

#include "res/Translation.h"

namespace zo::cardsim {
namespace {

bool ParseCount(const std::string& text, long max, long* value) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, *value);
    return ec == std::errc() && p == end && *value >= 0 && *value <= max;
}

}  // namespace

const char* FaultNamesHelp() {
    return "silent, wrong-id, error-all, refuse-settings, refuse=COMMAND, no-ok, "
           "ok-in-refusal, late=COMMAND, behind=COMMAND, extra-ok=COMMAND, endless, slow[=MS], "
           "hangup[=N]";
}

bool ParseFault(const std::string& text, bool inProcess, CardFaults* f, std::string* error) {
    std::size_t eq = text.find('=');
    std::string name = text.substr(0, eq);
    bool hasValue = eq != std::string::npos;
    std::string* command = name == "refuse"     ? &f->refuseCommand
                           : name == "late"     ? &f->lateCommand
                           : name == "behind"   ? &f->behindFrom
                           : name == "extra-ok" ? &f->extraOkAfter
                                                : nullptr;
    if (command) {
        if (!hasValue || eq + 1 == text.size()) {
            *error =
                res::Fill(res::Tr("fault '%1' needs the command it concerns (%1=AT&W)"), {name});
            return false;
        }
        *command = text.substr(eq + 1);
        return true;
    }
    long value = 0;
    if (hasValue && !ParseCount(text.substr(eq + 1), 3'600'000, &value)) {
        *error = res::Fill(res::Tr("bad value in fault '%1'"), {text});
        return false;
    }
    bool takesValue = name == "slow" || name == "hangup" || name == "write-fail";
    if (hasValue && !takesValue) {
        *error = res::Fill(res::Tr("fault '%1' takes no value"), {name});
        return false;
    }
    if (name == "silent") {
        f->silent = true;
    } else if (name == "wrong-id") {
        f->wrongIdentification = true;
    } else if (name == "error-all") {
        f->errorForEverything = true;
    } else if (name == "refuse-settings") {
        f->refuseSettings = true;
    } else if (name == "no-ok") {
        f->neverOk = true;
    } else if (name == "ok-in-refusal") {
        f->okInRefusal = true;
    } else if (name == "endless") {
        f->endlessOutput = true;
    } else if (name == "slow") {
        f->answerDelay = hasValue ? std::chrono::milliseconds(value) : kSlowAnswerDelay;
    } else if (name == "hangup") {
        f->hangUpAfter = hasValue ? static_cast<int>(value) : 3;
    } else if (inProcess && name == "write-fail") {
        f->failingWrites = hasValue ? static_cast<int>(value) : -1;
    } else if (inProcess && name == "no-immediate-read") {
        f->noImmediateReads = true;
    } else {
        *error = res::Fill(res::Tr("unknown fault '%1' (known: %2)"), {text, FaultNamesHelp()});
        return false;
    }
    return true;
}

}  // namespace zo::cardsim
