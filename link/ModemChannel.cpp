#include "link/ModemChannel.h"

namespace zo::link {

store::ProfileRecord ModemChannel::WorkingProfileRecord() const {
    store::ProfileRecord r;
    r.Location = Location;
    r.Switch = Switch;
    r.Phone1 = Phone1;
    r.SPID1 = SPID1;
    r.Port = Port;
    r.Baud = Baud;
    r.Bits = Bits;
    r.Parity = Parity;
    r.Stop = Stop;
    r.Flow = Flow;
    r.Phone2 = Phone2;
    r.SPID2 = SPID2;
    r.terminal2 = TerminalCount == 2;
    return r;
}

}  // namespace zo::link
