// A bus interface for tests: records every operation it receives and answers reads from a
// script or from a sparse memory of what was written.
//
// Usage (#include "tests/support/recording_bus.h"):
//   recording_bus bus;                          // if name "recording_bus", path "test"
//   bus_registration reg(bus);                  // now current in the dispatcher as "cpu_if"
//   cpu::access()->write(0, 0x52000010, 1, true, 1);
//   EXPECT_EQ(bus.texts(), (std::vector<std::string>{
//       "write chip=0 addr=0x52000010 data=0x1 state=0 flags=0x1"}));
//   bus.script({0xcafe});                       // the next word read answers 0xcafe
//   EXPECT_EQ(cpu::access()->read(0, 0x10, true, 0), 0xcafeu);
//   EXPECT_EQ(cpu::access()->read(0, 0x52000010, true, 0), 1u);  // from the memory
//
// Text form of each record (numbers in hexadecimal with "0x" except chip, count, len,
// state and reverse, which are decimal):
//   read chip=C addr=0xA state=S flags=0xF
//   write chip=C addr=0xA data=0xD state=S flags=0xF
//   block_read chip=C addr=0xA count=N state=S flags=0xF
//   block_write chip=C addr=0xA count=N data=[0x1,0x2] state=S flags=0xF
//   burst_read chip=C addr=0xA len=N state=S flags=0xF reverse=R
//   burst_write chip=C addr=0xA len=N data=[11 22 33] state=S flags=0xF reverse=R
//   flush_all_pending
// block_write lists the words exactly as received (its vector may differ from count);
// burst_write lists the caller's buffer bytes in buffer order, two hex digits each.
//
// Memory: one sparse little-endian byte memory per chip (unwritten bytes read 0); with flags
// bit 1 block elements are single bytes; reversed bursts store buffer byte i at addr + len - 1 - i.
// script() queues words that read and block_read answer before the memory, script_bytes()
// bytes that burst_read answers. Safe to use from several threads.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ip/verif/pcpp/cpu.h"

/// One operation received by a recording_bus.
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

    /// The record in the text form described at the top of this header.
    std::string text() const;
};

/// A cpu_bus_base that records every operation and answers from a script or its memory.
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

    /// Every operation so far, oldest first.
    std::vector<bus_record> records() const;
    /// text() of every record, oldest first.
    std::vector<std::string> texts() const;
    /// Number of records whose op equals op.
    size_t count(const std::string& op) const;
    /// Forgets the records (memory and scripts stay).
    void clear_records();
    /// Forgets records, memory and scripts.
    void reset();

    /// Queues words answered by the next word reads (read, block_read), oldest first.
    void script(const std::vector<uint32_t>& words);
    /// Queues bytes answered by the next burst reads, oldest first.
    void script_bytes(const std::vector<uint8_t>& bytes);
    /// Scripted words and bytes not consumed yet.
    size_t scripted_left() const;

    /// Stores a word in the memory without recording anything.
    void poke(uint32_t chip, uint64_t addr, uint32_t word);
    /// The word the memory holds (or the default), without recording anything.
    uint32_t peek(uint32_t chip, uint64_t addr) const;

private:
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
