// Interrupt-tree test doubles: blocks of the block kind, interrupt groups built from lists of
// sources (one-bit fields in list order from bit 0; get_fields(1) answers "all" and the
// fields, as generated registers do), and a bus that answers the interrupt registers the way
// the chip does (pending bits cleared by writing ones, set through the test register; enable
// bits set and cleared through the set/clear registers).
//
//   int_block blk("blk");
//   int_group grp("int_a", {"x", "y"});        // intreg, int_test_set, int_enable_set,
//   grp.attach(&blk, 0x110);                   // int_enable_clear at 0, 4, 8, 12
//   int_group sum("int_groups", {"int_a"}, int_group::SUMMARY);  // intreg, int_enable_rw_reg,
//   sum.attach(&blk, 0x100);                                     // int_rw_reg at 0, 4, 8
//   interrupt_bus bus;
//   bus.add_group(grp.get_offset());
//   bus.set_pending(grp.get_offset(), 0x1);    // x pending
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

#include "tests/support/named_nodes.h"
#include "tests/support/recording_bus.h"

class int_reg : public named_register {
public:
    int_reg(const std::string& name, std::vector<std::string> fields)
        : named_register(name, int32_t(fields.size())), fields_(std::move(fields)) {}

    std::vector<std::string> get_fields(int /*level*/) const override {
        std::vector<std::string> out{"all"};
        out.insert(out.end(), fields_.begin(), fields_.end());
        return out;
    }
    using named_register::get_field_val;
    bool get_field_val(const std::string& field, boost::multiprecision::cpp_int& value, int /*level*/) override {
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (fields_[i] == field) {
                value = (all() >> unsigned(i)) & 1;
                return true;
            }
        }
        return false;
    }

private:
    std::vector<std::string> fields_;
};

class int_block : public named_block {
public:
    explicit int_block(const std::string& name) : named_block(name) {}
    csr_type_t get_csr_type() const override { return CSR_TYPE_BLOCK; }
};

// Status fields are "<src>_interrupt", enable fields "<enable_src>_enable" (enable_sources
// default to the sources, so a missing enable field can be modelled); omit leaves members out.
class int_group : public ksx_csr_base {
public:
    enum layout_t { GROUP, SUMMARY };

    int_group(const std::string& name, const std::vector<std::string>& sources, layout_t layout = GROUP,
              const std::vector<std::string>* enable_sources = nullptr, std::vector<std::string> omit = {})
        : ksx_csr_base("", nullptr), name_(name) {
        const std::vector<std::string> status = suffixed(sources, "_interrupt");
        const std::vector<std::string> enable = suffixed(enable_sources ? *enable_sources : sources, "_enable");
        using member_list = std::vector<std::pair<std::string, const std::vector<std::string>*>>;
        const member_list members =
            layout == GROUP ? member_list{{"intreg", &status}, {"int_test_set", &status},
                                          {"int_enable_set", &enable}, {"int_enable_clear", &enable}}
                            : member_list{{"intreg", &status}, {"int_enable_rw_reg", &enable}, {"int_rw_reg", &status}};
        uint64_t offset = 0;
        for (const auto& m : members) {
            bool skip = false;
            for (const std::string& o : omit) skip = skip || o == m.first;
            if (!skip) members_.push_back({std::make_unique<int_reg>(m.first, *m.second), offset});
            offset += 4;
        }
    }
    std::string get_name() const override { return name_; }

    void attach(ksx_csr_base* parent, uint64_t offset) {
        set_attributes(parent, "", offset);
        for (auto& m : members_) m.reg->set_attributes(this, "", m.offset);
    }
    int_reg* member(const std::string& name) {
        for (auto& m : members_) {
            if (m.reg->get_name() == name) return m.reg.get();
        }
        return nullptr;
    }

private:
    struct slot {
        std::unique_ptr<int_reg> reg;
        uint64_t offset;
    };
    static std::vector<std::string> suffixed(const std::vector<std::string>& names, const std::string& suffix) {
        std::vector<std::string> out;
        for (const std::string& n : names) out.push_back(n + suffix);
        return out;
    }
    std::string name_;
    std::vector<slot> members_;
};

// Pending and enable state live in the bus memory. Use from one thread.
class interrupt_bus : public recording_bus {
public:
    // Pending at base (write ones to clear), int_test_set at base + 4 (ones set pending),
    // int_enable_set / int_enable_clear at base + 8 / + 12 (ones set / clear the enables).
    void add_group(uint64_t base) { groups_[base] = true; }
    void add_w1c(uint64_t addr) { w1c_[addr] = true; }

    void set_pending(uint64_t base, uint32_t bits) {
        poke(0, base, bits);
        if (groups_.count(base)) poke(0, base + 4, bits);
    }
    // The enables of the group at base (of a summary: the word at base + 4).
    void set_enable(uint64_t base, uint32_t bits) {
        poke(0, base + (groups_.count(base) ? 8 : 4), bits);
        if (groups_.count(base)) poke(0, base + 12, bits);
    }
    uint32_t pending(uint64_t base) const { return peek(0, base); }
    uint32_t enable(uint64_t base) const { return peek(0, base + 8); }

    void write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) override {
        const uint32_t before = peek(chip, addr);
        recording_bus::write(chip, addr, data, s, flags);
        if (w1c_.count(addr)) poke(chip, addr, before & ~data);
        for (const auto& g : groups_) {
            const uint64_t b = g.first;
            if (addr < b || addr >= b + 16) continue;
            uint32_t pend = peek(chip, b), en = peek(chip, b + 8);
            if (addr == b) pend = before & ~data;
            if (addr == b + 4) pend |= data;
            if (addr == b + 8) en = before | data;
            if (addr == b + 12) en = before & ~data;
            poke(chip, b, pend);
            poke(chip, b + 4, pend);
            poke(chip, b + 8, en);
            poke(chip, b + 12, en);
        }
    }

private:
    std::map<uint64_t, bool> groups_;
    std::map<uint64_t, bool> w1c_;
};
