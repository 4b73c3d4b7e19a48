// A bus interface that forwards every access to the bus it wraps and counts them: the
// benchmarks report how many bus accesses a routine makes beside its time.
#pragma once

#include <cstdint>
#include <vector>

#include "ip/verif/pcpp/cpu.h"

class ksx_counting_bus : public cpu_bus_base {
public:
    explicit ksx_counting_bus(cpu_bus_base& inner) : cpu_bus_base("counting_bus", "bench"), inner_(inner) {}
    uint32_t read(uint32_t c, uint64_t a, state s, uint32_t f) override { return ++reads, inner_.read(c, a, s, f); }
    void write(uint32_t c, uint64_t a, uint32_t d, state s, uint32_t f) override { ++writes, inner_.write(c, a, d, s, f); }
    void block_write(uint32_t c, uint64_t a, int32_t k, const std::vector<uint32_t>& d, state s, uint32_t f) override {
        ++writes, inner_.block_write(c, a, k, d, s, f);
    }
    std::vector<uint32_t> block_read(uint32_t c, uint64_t a, int32_t k, state s, uint32_t f) override {
        return ++reads, inner_.block_read(c, a, k, s, f);
    }
    void flush_all_pending() override { inner_.flush_all_pending(); }
    uint64_t accesses() const { return reads + writes; }
    void reset() { reads = writes = 0; }

    uint64_t reads = 0, writes = 0;

private:
    cpu_bus_base& inner_;
};
