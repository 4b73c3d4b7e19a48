// A bus interface that prints every access the dispatcher forwards, then passes it on.
#pragma once

#include <ostream>

#include "ip/verif/pcpp/cpu.h"

/// Wraps another bus; each access is printed as one line on the given stream.
class ksx_trace_bus : public cpu_bus_base {
public:
    ksx_trace_bus(cpu_bus_base& inner, std::ostream& out);
    uint32_t read(uint32_t chip, uint64_t addr, state s, uint32_t flags) override;
    void write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) override;
    void block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data, state s,
                     uint32_t flags) override;
    std::vector<uint32_t> block_read(uint32_t chip, uint64_t addr, int32_t count, state s, uint32_t flags) override;
    bool burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, state s, uint32_t flags,
                     bool reverse) override;
    bool burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, state s, uint32_t flags,
                    bool reverse) override;
    void flush_all_pending() override;

private:
    cpu_bus_base& inner_;
    std::ostream& out_;
};

/// Makes the platform function table's register entries print every access on out too
/// ("trace: pal_write addr=0x.. count=N data=[..]"), then call the entries they replace.
void ksx_trace_pal(std::ostream& out);
