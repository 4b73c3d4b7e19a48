// The simulated chip: a sparse store of 32-bit register words per chip id over the register
// address space below 0x70000000, with pluggable reset values and access policies, device
// models attached to address ranges, and injected faults. It is the default place where
// the platform bus interface and the platform function table read and write. Like the rest
// of the start-up state it takes no locks: callers serialise their use.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

/// How writes act on the bits of one simulated word. Bits in no mask are plain read/write.
struct ksx_sim_word_policy {
    /// Where a write to this word really lands.
    enum alias_kind : uint8_t {
        no_alias,    ///< the word itself
        set_alias,   ///< ones written set the same bits of alias_target; reads show the target
        clear_alias  ///< ones written clear the same bits of alias_target; reads show the target
    };
    uint32_t ro_mask = 0;          ///< bits that writes never change
    uint32_t w1c_mask = 0;         ///< bits that a written one clears (a written zero keeps)
    uint32_t w1s_mask = 0;         ///< bits that a written one sets (a written zero keeps)
    uint32_t self_clear_mask = 0;  ///< bits that act when written and then read back 0
    alias_kind alias = no_alias;
    uint64_t alias_target = 0;     ///< the aliased word (set_alias, clear_alias)
};

/// Reset values and access policies of the simulated chip's words. The default answers 0 and
/// plain read/write everywhere; the register map database plugs in the real ones.
class ksx_sim_register_map {
public:
    virtual ~ksx_sim_register_map() = default;
    /// Value of a word that has never been written.
    virtual uint32_t reset_value(uint32_t chip, uint64_t addr) const;
    /// Access policy of a word.
    virtual ksx_sim_word_policy policy(uint32_t chip, uint64_t addr) const;
};

/// A device model that serves an address range of one chip in place of the word store.
class ksx_sim_device {
public:
    virtual ~ksx_sim_device() = default;
    /// Answers a read of the 4-aligned word addr.
    virtual uint32_t read(uint32_t chip, uint64_t addr) = 0;
    /// Takes a write of the byte lanes byte_mask selects of the 4-aligned word addr.
    virtual void write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask) = 0;
};

/// A device model made of two callbacks (either may be empty: reads then answer 0,
/// writes are ignored).
class ksx_sim_callback_device : public ksx_sim_device {
public:
    using read_fn = std::function<uint32_t(uint32_t chip, uint64_t addr)>;
    using write_fn = std::function<void(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask)>;
    /// A model of the two callbacks.
    ksx_sim_callback_device(read_fn rd, write_fn wr) : rd_(std::move(rd)), wr_(std::move(wr)) {}
    uint32_t read(uint32_t chip, uint64_t addr) override;
    void write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask) override;

private:
    read_fn rd_;
    write_fn wr_;
};

/// A fault injected on an address range; it takes precedence over devices and the store.
struct ksx_sim_fault {
    enum kind_t : uint8_t {
        no_response,  ///< reads answer 0xdeadbeef, writes are lost
        stuck_value,  ///< reads answer value, writes are lost
        drop_writes   ///< reads behave normally, writes are lost
    };
    kind_t kind = no_response;
    uint32_t value = 0;  ///< the answer of stuck_value
};

/// The process-wide simulated chip (every chip id has its own word store).
class ksx_sim_chip {
public:
    /// Words are simulated below this address.
    static constexpr uint64_t addr_limit = 0x70000000ull;

    /// The one simulated chip, created on first use.
    static ksx_sim_chip& instance();

    /// Word read as the bus sees it: faults, then devices, then the store with its policies.
    uint32_t read(uint32_t chip, uint64_t addr);
    /// Word write as the bus sees it (byte_mask bit n selects bits 8n+7..8n).
    void write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask = 0xF);

    /// The stored word (or its reset value), bypassing faults, devices and policies.
    uint32_t peek(uint32_t chip, uint64_t addr) const;
    /// Stores a word, bypassing faults, devices and policies.
    void poke(uint32_t chip, uint64_t addr, uint32_t data);
    /// True when the word has been stored since the last clear.
    bool is_written(uint32_t chip, uint64_t addr) const;

    /// Plugs in the reset values and policies (null restores the default: 0, read/write).
    void set_register_map(std::shared_ptr<ksx_sim_register_map> map);

    /// Attaches a device model to [base, base + size) of a chip; the latest attachment
    /// covering an address serves it. Returns a handle for detach_device.
    int attach_device(uint32_t chip, uint64_t base, uint64_t size, std::shared_ptr<ksx_sim_device> dev);
    /// Removes an attachment; false when the handle is unknown.
    bool detach_device(int handle);

    /// Injects a fault on [base, base + size) of a chip; returns a handle for clear_fault.
    int inject_fault(uint32_t chip, uint64_t base, uint64_t size, ksx_sim_fault fault);
    /// Removes one fault; false when the handle is unknown.
    bool clear_fault(int handle);

    /// Forgets every stored word of every chip (devices, faults and the map stay).
    void clear_store();
    /// Back to the state at creation: empty store, no devices, no faults, default map.
    void reset();

    /// Number of 4 KiB pages the store holds (memory grows with the words touched).
    size_t page_count() const { return pages_.size(); }

private:
    ksx_sim_chip();
    struct page {
        uint32_t words[1024] = {};
        uint64_t written[16] = {};
    };
    struct range {
        int handle;
        uint32_t chip;
        uint64_t base;
        uint64_t size;
    };
    struct device_range : range {
        std::shared_ptr<ksx_sim_device> dev;
    };
    struct fault_range : range {
        ksx_sim_fault fault;
    };

    static uint64_t page_key(uint32_t chip, uint64_t addr) { return (uint64_t(chip) << 32) | (addr >> 12); }
    uint32_t load(uint32_t chip, uint64_t addr) const;
    void store(uint32_t chip, uint64_t addr, uint32_t data);
    const fault_range* find_fault(uint32_t chip, uint64_t addr) const;
    ksx_sim_device* find_device(uint32_t chip, uint64_t addr) const;

    std::unordered_map<uint64_t, std::unique_ptr<page>> pages_;
    std::shared_ptr<ksx_sim_register_map> map_;
    std::vector<device_range> devices_;
    std::vector<fault_range> faults_;
    int next_handle_ = 1;
};
