// The access dispatcher: every hardware access of the library passes through the one
// `cpu` object, which routes it to an address-range handler or to the current bus interface.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

/// Access type of the dispatcher; a bus only ever sees FRONT_DOOR or BACK_DOOR.
enum state : uint32_t { FRONT_DOOR = 0, BACK_DOOR = 1, AIR_SLAVE = 2 };

/// Abstract bus interface: word, block and burst accesses at absolute chip addresses.
class cpu_bus_base {
public:
    cpu_bus_base(const std::string& if_name, const std::string& hier_path);
    virtual ~cpu_bus_base();
    virtual void set_agt_idx(uint32_t idx);
    virtual uint32_t get_agt_idx();
    virtual std::string get_if_name() const;
    virtual std::string get_hier_path() const;
    virtual uint32_t read(uint32_t chip, uint64_t addr, state s, uint32_t flags) = 0;
    virtual void write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) = 0;
    virtual void block_write(uint32_t chip, uint64_t addr, int32_t count,
                             const std::vector<uint32_t>& data, state s, uint32_t flags) = 0;
    virtual std::vector<uint32_t> block_read(uint32_t chip, uint64_t addr, int32_t count,
                                             state s, uint32_t flags) = 0;
    /// Base: reports that bursts are not implemented and returns false.
    virtual bool burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf,
                             state s, uint32_t flags, bool reverse);
    /// Base: reports that bursts are not implemented and returns false.
    virtual bool burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf,
                            state s, uint32_t flags, bool reverse);
    /// Completes every access the interface still holds; the base has none.
    virtual void flush_all_pending();

protected:
    std::string if_name_;
    std::string hier_path_;
    uint32_t agt_idx_ = 0;
};

/// Address-range handler: claims accesses of one chip whose start address lies in
/// the closed range [base, base + size].
class cpu_csr_node_info_base {
public:
    cpu_csr_node_info_base(uint64_t base, uint64_t size, uint32_t chip_id)
        : base_addr(base), size(size), chip_id(chip_id) {}
    virtual ~cpu_csr_node_info_base() = default;
    virtual void write(uint64_t addr, uint32_t data, uint32_t flags) = 0;
    virtual uint32_t read(uint64_t addr, uint32_t flags) = 0;
    virtual void block_write(uint64_t addr, uint32_t count, const std::vector<uint32_t>& data,
                             uint32_t flags) = 0;
    /// Must return exactly count words.
    virtual std::vector<uint32_t> block_read(uint64_t addr, uint32_t count, uint32_t flags) = 0;

    uint64_t base_addr;
    uint64_t size;
    uint32_t chip_id;
};

/// The process-wide access dispatcher. Nothing derives from it, so calls through a `cpu*`
/// reach the word and block accesses below without a virtual call, and their direct path
/// (no handler can claim the access, a bus is current) is compiled into the caller.
class cpu final {
public:
    /// The one dispatcher, created on first use and never destroyed.
    static cpu* access();

    virtual ~cpu();
    virtual void set_cur_if_name(const std::string& name);
    virtual std::string get_cur_chip_name();
    virtual void set_cur_chip_name(const std::string& name);
    virtual void set_cur_chp_name(const std::string& name);
    virtual void set_cur_chip_id(uint32_t id);
    virtual void set_aod_only_mode(uint32_t mode);
    virtual uint32_t get_aod_only_mode();
    virtual uint32_t get_cur_chip_id();
    virtual uint32_t get_cur_chp_id();
    virtual std::string get_cur_chp_name();
    virtual std::string get_cur_if_name();
    virtual void add_if(const std::string& name, cpu_bus_base* bus);
    virtual void remove_if(const std::string& name);
    virtual void set_global_flags(uint32_t flags);
    virtual uint32_t read(uint32_t chip, uint64_t addr, bool no_zero_time, uint32_t flags) {
        if (cpu_bus_base* bus = direct_bus_)
            return bus->read(chip, addr, bus_state(no_zero_time), flags | global_flags_);
        return routed_read(chip, addr, no_zero_time, flags);
    }
    virtual void write(uint32_t chip, uint64_t addr, uint32_t data, bool no_zero_time, uint32_t flags) {
        if (cpu_bus_base* bus = direct_bus_)
            return bus->write(chip, addr, data, bus_state(no_zero_time), flags | global_flags_);
        routed_write(chip, addr, data, no_zero_time, flags);
    }
    virtual void set_access_type(state s);
    virtual state get_access_type();

    void block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data,
                     bool no_zero_time, uint32_t flags) {
        if (cpu_bus_base* bus = direct_bus_)
            return bus->block_write(chip, addr, count, data, bus_state(no_zero_time), flags | global_flags_);
        routed_block_write(chip, addr, count, data, no_zero_time, flags);
    }
    std::vector<uint32_t> block_read(uint32_t chip, uint64_t addr, int32_t count, bool no_zero_time,
                                     uint32_t flags) {
        if (cpu_bus_base* bus = direct_bus_)
            return bus->block_read(chip, addr, count, bus_state(no_zero_time), flags | global_flags_);
        return routed_block_read(chip, addr, count, no_zero_time, flags);
    }
    bool burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, bool no_zero_time,
                    uint32_t flags, bool reverse);
    bool burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, bool no_zero_time,
                     uint32_t flags, bool reverse);
    void flush_all_pending();

    void add_cpu_csr_node_info(std::shared_ptr<cpu_csr_node_info_base> handler);
    bool check_csr_node_info_exists(uint64_t addr, uint64_t size, uint32_t chip);
    bool cpu_csr_node_read(uint32_t chip, uint64_t addr, uint32_t& data, uint32_t flags);
    bool cpu_csr_node_write(uint32_t chip, uint64_t addr, uint32_t data, uint32_t flags);
    bool cpu_csr_node_block_read(uint32_t chip, uint64_t addr, int32_t count, std::vector<uint32_t>& data,
                                 uint32_t flags);
    bool cpu_csr_node_block_write(uint32_t chip, uint64_t addr, int32_t count,
                                  const std::vector<uint32_t>& data, uint32_t flags);
    bool cpu_csr_node_burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, uint32_t flags,
                                 bool reverse);
    bool cpu_csr_node_burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf,
                                  uint32_t flags, bool reverse);

    /// The bus a new access would reach, or null (for tools that trace or inspect the route).
    cpu_bus_base* cur_bus() { return cur_bus_; }
    /// The global flags word ORed into every access (so a caller can restore it).
    uint32_t get_global_flags() const;

private:
    cpu();
    /// Whether the access type offers an access to the handlers before any bus.
    bool offer_to_handlers(bool no_zero_time) const {
        return access_type_ == AIR_SLAVE || (access_type_ == BACK_DOOR && no_zero_time);
    }
    /// The access type a bus receives: BACK_DOOR only for zero-time accesses in BACK_DOOR
    /// mode (handler-first modes fall back to FRONT_DOOR).
    state bus_state(bool no_zero_time) const {
        return (access_type_ == BACK_DOOR && !no_zero_time) ? BACK_DOOR : FRONT_DOOR;
    }
    /// Looks the current interface name up again and decides whether accesses can skip the
    /// handlers; called whenever the table, the current name, the access type or the
    /// handler list changes, so that an access itself looks nothing up.
    void update_route();
    // The accesses with the handler offer and the missing-interface results (out of line).
    uint32_t routed_read(uint32_t chip, uint64_t addr, bool no_zero_time, uint32_t flags);
    void routed_write(uint32_t chip, uint64_t addr, uint32_t data, bool no_zero_time, uint32_t flags);
    void routed_block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data,
                            bool no_zero_time, uint32_t flags);
    std::vector<uint32_t> routed_block_read(uint32_t chip, uint64_t addr, int32_t count, bool no_zero_time,
                                            uint32_t flags);
    /// The first handler, in insertion order, claiming the start address on that chip.
    cpu_csr_node_info_base* find_handler(uint32_t chip, uint64_t addr) const;

    static std::atomic<cpu*> _cpu_if;

    std::map<std::string, cpu_bus_base*> if_table_;
    std::vector<std::shared_ptr<cpu_csr_node_info_base>> handlers_;
    std::string cur_if_name_;
    std::string cur_chip_name_ = "corvane";
    std::string cur_chp_name_ = "cvn";
    uint32_t cur_chip_id_ = 0;
    uint32_t aod_only_mode_ = 0;
    state access_type_ = FRONT_DOOR;
    uint32_t global_flags_ = 0;
    /// The interface the current name designates in the table, or null.
    cpu_bus_base* cur_bus_ = nullptr;
    /// The current bus when no access can reach a handler (access type FRONT_DOOR, or no
    /// handler added), else null: accesses with a direct bus go straight to it.
    cpu_bus_base* direct_bus_ = nullptr;
};
