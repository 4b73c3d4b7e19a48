// A bus interface for tests: records every operation it receives and answers reads from a
// script or from a sparse memory of what was written.
//
//   recording_bus bus;                          // if name "recording_bus", path "test"
//   bus_registration reg(bus);                  // now current in the dispatcher as "cpu_if"
//   cpu::access()->write(0, 0x52000010, 1, true, 1);
//   EXPECT_EQ(bus.texts(), (std::vector<std::string>{
//       "write chip=0 addr=0x52000010 data=0x1 state=0 flags=0x1"}));
//   bus.script({0xcafe});                       // the next word read answers 0xcafe
//
// Text form of the records (chip, count, len, state and reverse in decimal, the rest in hex):
//   read chip=C addr=0xA state=S flags=0xF
//   write chip=C addr=0xA data=0xD state=S flags=0xF
//   block_read chip=C addr=0xA count=N state=S flags=0xF
//   block_write chip=C addr=0xA count=N data=[0x1,0x2] state=S flags=0xF   (words as received)
//   burst_read chip=C addr=0xA len=N state=S flags=0xF reverse=R
//   burst_write chip=C addr=0xA len=N data=[11 22 33] state=S flags=0xF reverse=R   (buffer order)
//   flush_all_pending
//
// Memory: one sparse little-endian byte memory per chip (unwritten bytes read 0); with flags
// bit 1 block elements are single bytes; reversed bursts store buffer byte i at addr + len - 1 - i.
// script() words answer read and block_read before the memory, script_bytes() answer burst_read.
// Safe to use from several threads.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ip/verif/pcpp/cpu.h"

struct bus_record {
    std::string op;               ///< "read", "write", "block_read", ... "flush_all_pending"
    uint32_t chip = 0;
    uint64_t addr = 0;
    uint32_t data = 0;            ///< word written (write)
    int32_t count = 0;            ///< word count (block operations)
    uint32_t len = 0;             ///< byte length (burst operations)
    std::vector<uint32_t> words;  ///< block_write: words received; block_read: words returned
    std::vector<uint8_t> bytes;   ///< burst_write: buffer received; burst_read: buffer returned
    uint32_t result = 0;          ///< read: the word returned
    state s = FRONT_DOOR;
    uint32_t flags = 0;
    bool reverse = false;

    std::string text() const;
};

class recording_bus : public cpu_bus_base {
public:
    explicit recording_bus(const std::string& if_name = "recording_bus",
                           const std::string& hier_path = "test");

    uint32_t read(uint32_t chip, uint64_t addr, state s, uint32_t flags) override;
    void write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) override;
    void block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data,
                     state s, uint32_t flags) override;
    std::vector<uint32_t> block_read(uint32_t chip, uint64_t addr, int32_t count, state s,
                                     uint32_t flags) override;
    bool burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, state s,
                     uint32_t flags, bool reverse) override;
    bool burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, state s,
                    uint32_t flags, bool reverse) override;
    void flush_all_pending() override;

    using lock = std::lock_guard<std::mutex>;
    std::vector<bus_record> records() const { lock l(mtx_); return records_; }  // oldest first
    std::vector<std::string> texts() const;
    size_t count(const std::string& op) const;
    void clear_records() { lock l(mtx_); records_.clear(); }  // memory and scripts stay
    void reset();                                            // records, memory and scripts

    void script(const std::vector<uint32_t>& words) {
        lock l(mtx_);
        word_script_.insert(word_script_.end(), words.begin(), words.end());
    }
    void script_bytes(const std::vector<uint8_t>& bytes) {
        lock l(mtx_);
        byte_script_.insert(byte_script_.end(), bytes.begin(), bytes.end());
    }
    size_t scripted_left() const { lock l(mtx_); return word_script_.size() + byte_script_.size(); }

    // The memory, without recording anything.
    void poke(uint32_t chip, uint64_t addr, uint32_t word) { lock l(mtx_); store_word(chip, addr, word); }
    uint32_t peek(uint32_t chip, uint64_t addr) const { lock l(mtx_); return load_word(chip, addr); }

private:
    bus_record& add(const char* op, uint32_t chip, uint64_t addr, state s, uint32_t flags);
    void store_word(uint32_t chip, uint64_t addr, uint32_t word);
    uint32_t load_word(uint32_t chip, uint64_t addr) const;
    uint8_t load_byte(uint32_t chip, uint64_t addr) const;
    uint32_t next_word(uint32_t chip, uint64_t addr, bool byte);

    mutable std::mutex mtx_;
    std::vector<bus_record> records_;
    std::map<std::pair<uint32_t, uint64_t>, uint8_t> mem_;
    std::deque<uint32_t> word_script_;
    std::deque<uint8_t> byte_script_;
};

/// Registers a bus with the dispatcher under a name, makes that name current, and on
/// destruction restores what was there before: the previous bus under that name (if any),
/// the previous current interface name, the access type and the global flags.
/// The dispatcher lives for the whole process, so every test that touches it should hold
/// one of these for as long as it uses the bus. Address-range handlers cannot be removed:
/// tests that add handlers must use chip ids or addresses no other test uses. A name that
/// was added with a null bus can never be used again (the test fails if it is tried).
class bus_registration {
public:
    explicit bus_registration(cpu_bus_base& bus, const std::string& name = "cpu_if");
    ~bus_registration();
    bus_registration(const bus_registration&) = delete;
    bus_registration& operator=(const bus_registration&) = delete;

private:
    std::string name_;
    std::string prev_cur_name_;
    cpu_bus_base* prev_bus_;
    state prev_access_type_;
    uint32_t prev_global_flags_;
};
