#pragma once

#include <string>

#include "cardsim/CardProfile.h"

namespace zo::cardsim {

// The card's non-volatile memory: in memory only, or kept in a file of "key=value" lines
// that is replaced in one step on every store.
class Nvram {
public:
    explicit Nvram(std::string path = {});

    // The stored profile; factory settings when the file is absent or unreadable.
    CardProfile Load() const;
    bool Store(const CardProfile& profile);

private:
    std::string m_path;
    CardProfile m_memory;
};

}  // namespace zo::cardsim
