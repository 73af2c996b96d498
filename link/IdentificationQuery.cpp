#include "link/IdentificationQuery.h"

#include "res/Strings.h"

namespace zo::link {

void SetQuerySettings(ModemChannel& channel, const std::string& port) {
    channel.Port = port;
    channel.Baud = "115200";
    channel.Bits = "8";
    channel.Parity = "None";
    channel.ParityCode = 0;
    channel.StopBitsCode = 0;
    channel.Stop = "1";
    channel.Flow = "Hardware";
}

IdentificationResult QueryIdentification(ModemChannel& channel, std::string* raw) {
    if (!channel.OpenConfiguredPort()) {
        return IdentificationResult::PortNotOpened;
    }
    std::string reply;
    channel.SendText(kWakeUpSequence);
    platform::CurrentClock().Sleep(kCommandPause);
    channel.ReadReply(reply);
    channel.SendText("AT&F\r\n");
    channel.ReadUntilOK(reply);
    channel.SendText("ATE0Q0V1\r\n");
    channel.ReadUntilOK(reply);
    channel.SendText("ATI3\r\n");
    channel.ReadUntilOK(reply);
    if (reply.find(res::LoadString(res::IDS_CARD_IDENT)) == std::string::npos) {
        return IdentificationResult::WrongCard;
    }
    channel.SendText("ATE1\r\n");
    channel.ReadUntilOK(reply);
    channel.SendText("ATI9\r\n");
    channel.ReadUntilOK(reply);
    *raw = reply;
    channel.SendText("ATI10\r\n");
    channel.ReadUntilOK(reply);
    *raw += reply;
    return IdentificationResult::Identified;
}

}  // namespace zo::link
