#include "link/CardSettings.h"

namespace zo::link {
namespace {

// The card answers calls to its seven-digit local number; the area code only goes into SPIDs.
std::string LastSeven(const std::string& number) {
    return number.size() > 7 ? number.substr(number.size() - 7) : number;
}

std::string Part(const std::string& s, std::size_t pos, std::size_t len) {
    return pos < s.size() ? s.substr(pos, len) : std::string();
}

}  // namespace

std::string FlowCommandFor(const std::string& flow) {
    if (flow == "None") {
        return "AT&K\r\n";
    }
    if (flow == "XOn/XOff") {
        return "AT&K4\r\n";
    }
    if (flow == "Hardware") {
        return "AT&K3\r\n";
    }
    return {};
}

CardSettings WizardCardSettings(const WorkingProfile& profile) {
    CardSettings s;
    s.switchType = profile.Switch;
    s.number1 = LastSeven(profile.Phone1);
    s.spid1 = profile.SPID1;
    s.number2 = profile.TerminalCount == 2 ? LastSeven(profile.Phone2) : std::string();
    s.spid2 = profile.SPID2;
    s.flowCommand = FlowCommandFor(profile.Flow);
    s.location = profile.Location;
    s.record = profile.Record();
    return s;
}

DirectoryNumberParts SplitDirectoryNumber(const std::string& number) {
    DirectoryNumberParts p;
    p.area = Part(number, 0, 3);
    p.exchange = Part(number, 3, 3);
    p.line = number.size() > 4 ? number.substr(number.size() - 4) : number;
    return p;
}

CardSettings ConfigPageCardSettings(const std::string& name, const store::Profile& profile) {
    CardSettings s;
    s.location = name;
    s.switchType = profile.At(store::kSwitch);
    DirectoryNumberParts one = SplitDirectoryNumber(profile.At(store::kPhone1));
    s.number1 = one.exchange + one.line;
    s.spid1 = profile.At(store::kSpid1);
    if (profile.HasTerminal2()) {
        DirectoryNumberParts two = SplitDirectoryNumber(profile.At(store::kPhone2));
        s.number2 = two.exchange + two.line;
        s.spid2 = profile.At(store::kSpid2);
    }
    s.flowCommand = kConfigPageFlowCommand;
    s.readBefore = profile;
    return s;
}

bool IsSafeCardValue(const std::string& value) {
    for (char c : value) {
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    return true;
}

}  // namespace zo::link
