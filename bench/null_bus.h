// A bus interface that does nothing: the benchmarks measure the library's own cost of an
// access against it. Reads answer a fixed word.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ip/verif/pcpp/cpu.h"

class ksx_null_bus : public cpu_bus_base {
public:
    explicit ksx_null_bus(uint32_t word = 0) : cpu_bus_base("null_bus", "bench"), word_(word) {}
    uint32_t read(uint32_t, uint64_t, state, uint32_t) override { return word_; }
    void write(uint32_t, uint64_t, uint32_t, state, uint32_t) override {}
    void block_write(uint32_t, uint64_t, int32_t, const std::vector<uint32_t>&, state, uint32_t) override {}
    std::vector<uint32_t> block_read(uint32_t, uint64_t, int32_t count, state, uint32_t) override {
        return std::vector<uint32_t>(size_t(count), word_);
    }

private:
    uint32_t word_;
};

/// Makes a do-nothing bus the dispatcher's current interface for one benchmark's lifetime and
/// puts the previous interface back afterwards: the bare-dispatcher baselines run through it.
class ksx_null_bus_scope {
public:
    ksx_null_bus_scope() : saved_(cpu::access()->get_cur_if_name()) {
        static ksx_null_bus bus;
        cpu::access()->add_if("bench_null", &bus);
        cpu::access()->set_cur_if_name("bench_null");
    }
    ~ksx_null_bus_scope() { cpu::access()->set_cur_if_name(saved_); }
    ksx_null_bus_scope(const ksx_null_bus_scope&) = delete;
    ksx_null_bus_scope& operator=(const ksx_null_bus_scope&) = delete;

private:
    std::string saved_;
};
