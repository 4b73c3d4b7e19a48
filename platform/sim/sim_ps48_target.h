// The simulated 48-bit serial target behind the SSI controller: it decodes commands, keeps
// its write and read pages and a register space of its own, and answers each command on
// the next one (a no-operation clocks a pending response out), as the real target does.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

/// Something at the far end of the SSI controller.
class ksx_sim_ssi_target {
public:
    virtual ~ksx_sim_ssi_target() = default;
    /// Takes one 48-bit command; true when a 48-bit response was shifted out meanwhile.
    virtual bool exchange(uint64_t cmd, uint64_t& response) = 0;
};

/// The management-domain target of the serial register path.
class ksx_sim_ps48_target : public ksx_sim_ssi_target {
public:
    bool exchange(uint64_t cmd, uint64_t& response) override;

    /// A word of the target's register space (unwritten words read 0).
    uint32_t reg(uint64_t addr) const;
    /// Stores a word of the target's register space.
    void set_reg(uint64_t addr, uint32_t value) { regs_[addr] = value; }
    /// The page writes go through (P of the last page command).
    uint32_t write_page() const { return page_w_; }
    /// The page reads go through (Q of the last page command).
    uint32_t read_page() const { return page_q_; }
    /// Every command taken, oldest first.
    const std::vector<uint64_t>& commands() const { return cmds_; }
    /// Fault injection: the target takes commands but never shifts a response out.
    void set_no_response(bool on) { no_response_ = on; }

private:
    /// A response word: type, interrupt field, value.
    static uint64_t response_word(uint32_t type, uint32_t intr, uint32_t value);

    std::map<uint64_t, uint32_t> regs_;
    std::vector<uint64_t> cmds_;
    uint32_t page_w_ = 0;
    uint32_t page_q_ = 0;
    bool pending_ = false;
    uint64_t pending_word_ = 0;
    bool no_response_ = false;
};
