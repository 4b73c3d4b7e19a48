// The bus backend of the simulated chip: every chip id, every address below 0x70000000.
#pragma once

#include "platform/hal/bus_backend.h"

/// Bus backend that reads and writes the process-wide simulated chip.
class ksx_sim_bus_backend : public ksx_bus_backend {
public:
    std::string describe() const override;
    bool in_window(uint32_t chip, uint64_t addr, uint64_t len) const override;
    uint32_t read_word(uint32_t chip, uint64_t addr) override;
    void write_word(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask) override;
};
