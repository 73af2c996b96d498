#include "link/IdentificationQuery.h"

#include "res/Strings.h"
#include "res/Translation.h"

namespace zo::link {

void SetQuerySettings(ModemChannel& channel, const std::string& port) {
    channel.SetLine({port, "115200", "8", "None", "1", "Hardware", 0, 0});
}

std::string NoReplyDetail(const ModemChannel& channel, const std::string& linkReason) {
    if (!linkReason.empty()) {
        return linkReason;
    }
    std::string device = channel.Line().port;
    if (channel.Device() && channel.Device()->Handle) {
        device = res::Fill(res::Tr("%1 on %2"), {device, channel.Device()->Handle->Describe()});
    }
    return res::Fill(res::Tr("%1: nothing came back after \"%2\""),
                     {device, channel.LastCommand()});
}

IdentificationResult QueryIdentification(ModemChannel& channel, std::string* raw,
                                         LinkResult* ended) {
    LinkResult local;
    LinkResult& last = ended ? *ended : local;
    last = channel.OpenConfiguredPort();
    if (!last) {
        return IdentificationResult::PortNotOpened;
    }
    std::string reply;
    // A device that failed, or a command met with silence, ends the query: nothing more
    // is written to a card that is not there. A write given up shows in the read after it,
    // which finds no port or no answer.
    auto ask = [&](const char* command) {
        channel.SendText(command);
        last = channel.ReadUntilOK(reply);
        return last.Ok() ||
               !(last.end == LinkEnd::Failed || (last.end == LinkEnd::TimedOut && reply.empty()));
    };
    channel.SendText(kWakeUpSequence);
    channel.Context().Clock().Sleep(kCommandPause);
    last = channel.ReadReply(reply);
    if (last.end == LinkEnd::Failed || !ask("AT&F\r\n") || !ask("ATE0Q0V1\r\n") ||
        !ask("ATI3\r\n")) {
        return IdentificationResult::NoReply;
    }
    if (reply.find(res::LoadString(res::IDS_CARD_IDENT)) == std::string::npos) {
        return IdentificationResult::WrongCard;
    }
    if (!ask("ATE1\r\n") || !ask("ATI9\r\n")) {
        return IdentificationResult::NoReply;
    }
    *raw = reply;
    if (!ask("ATI10\r\n")) {
        return IdentificationResult::NoReply;
    }
    *raw += reply;
    return IdentificationResult::Identified;
}

}  // namespace zo::link
