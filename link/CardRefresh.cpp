#include "link/CardRefresh.h"

namespace zo::link {

RefreshResult RefreshIdentification(ModemChannel& channel, std::string* raw) {
    if (!channel.SendText("AT&F\r\n")) {
        return RefreshResult::NotSent;
    }
    std::string reply;
    // Without "OK" to the reset, three more commands would each wait out their bound.
    if (!channel.ReadUntilOK(reply)) {
        return RefreshResult::Unreachable;
    }
    // A device that fails midway ends the refresh: nothing more is written to it.
    auto ask = [&channel, &reply](const char* command) {
        channel.SendText(command);
        return channel.ReadUntilOK(reply).end != LinkEnd::Failed;
    };
    if (!ask("ATE1Q0V1\r\n") || !ask("ATI9\r\n")) {
        return RefreshResult::Unreachable;
    }
    std::string text = reply;
    if (!ask("ATI10\r\n")) {
        return RefreshResult::Unreachable;
    }
    *raw = text + reply;
    return RefreshResult::Done;
}

}  // namespace zo::link
