#pragma once

#include <memory>
#include <string>

#include "cardsim/CardModel.h"
#include "platform/comm/PortMap.h"

namespace zo::cardsim {

// The simulated card plugged into the program itself: the port map opens it as a serial
// device, one open at a time as with a real port. Waits on it move the clock to the
// moment the card's next output falls due instead of blocking, so with a virtual clock
// a whole conversation runs in no real time.
class InProcessCard {
public:
    explicit InProcessCard(platform::Clock& clock, std::string nvramPath = {});
    ~InProcessCard();
    InProcessCard(const InProcessCard&) = delete;
    InProcessCard& operator=(const InProcessCard&) = delete;

    CardModel& Model();
    CardFaults& Faults() { return Model().Faults(); }

    // For PortMap::MapToDevice. The opener keeps the card's state alive by itself.
    comm::DeviceOpener Opener();

    // Takes the card out: open handles fail as a hung-up line does and report themselves
    // lost, and opening fails until it is put back. A hang-up fault takes it out too.
    void Unplug();
    // Puts it back as a fresh device: handles from before stay dead, a new open works.
    void Replug();

    bool IsOpen() const;
    int OpenCount() const;
    // The line state last written by the program; none before the first write.
    const comm::LineState* LastLineState() const;
    // Every chunk the program wrote, one entry per write, bounded as the card's lines are.
    const std::vector<std::string>& Writes() const;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

}  // namespace zo::cardsim
