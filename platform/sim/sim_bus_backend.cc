#include "platform/sim/sim_bus_backend.h"

#include "platform/sim/sim_chip.h"

std::string ksx_sim_bus_backend::describe() const { return "sim [0x0, 0x70000000)"; }

bool ksx_sim_bus_backend::in_window(uint32_t, uint64_t addr, uint64_t len) const
{
    return addr <= ksx_sim_chip::addr_limit && len <= ksx_sim_chip::addr_limit - addr;
}

uint32_t ksx_sim_bus_backend::read_word(uint32_t chip, uint64_t addr)
{
    return ksx_sim_chip::instance().read(chip, addr);
}

void ksx_sim_bus_backend::write_word(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask)
{
    ksx_sim_chip::instance().write(chip, addr, data, byte_mask);
}
