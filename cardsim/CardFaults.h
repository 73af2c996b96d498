#pragma once

#include <chrono>
#include <string>

namespace zo::cardsim {

inline constexpr std::chrono::milliseconds kNormalAnswerDelay{20};
inline constexpr std::chrono::milliseconds kSlowAnswerDelay{3000};
// A late answer misses the program's pause and its wait for "OK" on three commands in a row
// (2 s + 3 x 10 s), and still comes within the wait after them.
inline constexpr std::chrono::milliseconds kLateAnswerDelay{35000};
// The extra "OK" comes this long after the answer it follows.
inline constexpr std::chrono::milliseconds kExtraOkDelay{100};

// Misbehaviour the simulated card can be switched to, one flag or figure per fault.
struct CardFaults {
    bool silent = false;               // answers nothing, not even the echo
    bool wrongIdentification = false;  // ATI3 names the series in the wrong letter case
    bool errorForEverything = false;   // every command line is answered ERROR
    bool refuseSettings = false;       // identifies itself, but answers ERROR to every
                                       // command that sets or stores a value (!C, !N, &K, &W)
    std::string refuseCommand;         // command lines that begin with this are answered ERROR
    bool neverOk = false;              // the result word OK is never sent
    bool okInRefusal = false;          // every ERROR comes after the line "NO OK"
    std::string lateCommand;           // the answer to lines that begin with this comes
                                       // kLateAnswerDelay late, holding back what follows
    std::string behindFrom;            // from the line that begins with this on, each answer
                                       // is held until the next line starts to arrive
    std::string extraOkAfter;          // one more OK follows the answer to lines that
                                       // begin with this
    bool endlessOutput = false;        // after the first command, output that never ends
    std::chrono::milliseconds answerDelay = kNormalAnswerDelay;
    int hangUpAfter = -1;           // commands answered before the line drops; -1: never
    int failingWrites = 0;          // in-process only: writes that fail; -1: all of them
    bool noImmediateReads = false;  // in-process only: the device cannot time its reads
};

// Switches on one fault by name: silent, wrong-id, error-all, refuse-settings,
// refuse=COMMAND, no-ok, ok-in-refusal, late=COMMAND, behind=COMMAND, extra-ok=COMMAND,
// endless, slow[=MS], hangup[=N], write-fail[=N], no-immediate-read.
// `inProcess` allows the last two.
bool ParseFault(const std::string& text, bool inProcess, CardFaults* faults, std::string* error);

// The fault names for a usage text.
const char* FaultNamesHelp();

}  // namespace zo::cardsim
