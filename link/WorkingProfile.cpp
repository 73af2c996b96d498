#include "link/WorkingProfile.h"

namespace zo::link {

store::Profile WorkingProfile::Record() const {
    store::Profile record = *this;
    record.terminal2 = TerminalCount == 2;
    return record;
}

LineSettings WorkingProfile::Line() const {
    return {Port, Baud, Bits, Parity, Stop, Flow, ParityCode, StopBitsCode};
}

void WorkingProfile::TakeLine(const LineSettings& line) {
    Port = line.port;
    Baud = line.baud;
    Bits = line.bits;
    Parity = line.parity;
    Stop = line.stop;
    Flow = line.flow;
    ParityCode = line.parityCode;
    StopBitsCode = line.stopBitsCode;
}

}  // namespace zo::link
