// The simulated card parses whatever a program writes to its pseudo-terminal.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cardsim/CardModel.h"
#include "platform/clock/Clock.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zo::platform::VirtualClock clock;
    zo::cardsim::CardModel card(clock);
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // Feed in pieces of varying length, letting time pass between them.
    std::size_t pos = 0;
    while (pos < input.size()) {
        std::size_t n = 1 + static_cast<unsigned char>(input[pos]) % 64;
        card.Receive(input.substr(pos, n));
        pos += n;
        clock.Advance(std::chrono::milliseconds(250));
        card.TakeDueOutput();
    }
    clock.Advance(std::chrono::seconds(60));
    card.TakeDueOutput();
    return 0;
}
