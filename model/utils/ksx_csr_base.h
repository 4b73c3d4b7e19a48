// The chip-specific base of every model object: access attributes (secure, no-zero-time,
// field-initialisation state), attaching a child to its parent, chip id, address-window
// word access, and the value/word conversions used by the access path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

#include "ip/verif/pcpp/vmo_csr_base.h"

/// Chip-specific model node; base of the register, memory, decoder and block kinds.
class ksx_csr_base : public vmo_csr_base {
public:
    /// Knob selecting block access for register write/read (non-zero: one block transfer).
    static constexpr const char* BLOCK_ACCESS_KNOB = "ksx_csr_base/block_access";
    /// Knob making every access secure when non-zero.
    static constexpr const char* SECURE_OVERRIDE_KNOB = "ksx_csr_base/secure_access_override";

    /// When false, register reads leave their shadow value alone. Initially true.
    static bool update_shadow;
    /// Objects whose value loaded from knobs differed from their reset value.
    static uint32_t int__field_last_lfc_count;

    /// Runs the node constructor and clears the three access flags.
    ksx_csr_base(const std::string& name, ksx_csr_base* parent);
    ~ksx_csr_base() override;

    // Overrides of the node's operations, in slot order.

    /// The node's set_parent; also notes whether the new parent is a chip node, so that the
    /// access path can ask it for chip id and attributes without a type check per access.
    void set_parent(vmo_csr_base* parent) override;
    /// Returns 0.
    uint32_t get_csr_id() const override;
    /// Does nothing.
    void set_csr_id(uint32_t id) override;
    /// Only registers are written: reports.
    void write() override;
    /// Only registers are read: reports.
    void read() override;
    /// Only registers reach the hardware: reports.
    void write_hw(const boost::multiprecision::cpp_int& value, int access_mode) override;
    /// Only registers reach the hardware: reports.
    void block_write() override;
    /// Only registers reach the hardware: reports.
    void block_read() override;
    /// Compares the value with a number given as text; 1 if different, 0 if equal.
    int32_t field_diff(const std::string& value, bool verbose) override;
    /// Only registers reach the hardware: reports and returns 0.
    boost::multiprecision::cpp_int read_hw(int access_mode) override;
    /// Only registers reach the hardware: reports.
    void read_compare(int access_mode) override;
    /// True when the name is among get_fields(1).
    bool search_field_in_db(const std::string& field_name) override;
    /// Compares this object with another, recursing into children paired by position.
    int32_t diff(vmo_csr_base* other, bool verbose) override;
    /// Stores the no-zero-time flag of this node.
    void set_access_no_zero_time(bool no_zero_time) override;
    /// Loads the object's value from the knob named after its path (or prefix).
    void load_from_cfg(bool do_write, bool flag, const std::string& prefix) override;
    /// Finds a descendant by dotted name.
    vmo_csr_base* search_csr_by_name(const std::string& name, bool ignore_missing) override;
    /// Not available: reports and returns null.
    vmo_csr_base* search_csr_by_addr(uint64_t addr) override;
    /// No fields by name: empty list.
    std::vector<std::string> get_fields(int level) const override;
    /// Forwards to the character-pointer form.
    bool get_field_val(const std::string& field_name, boost::multiprecision::cpp_int& value,
                       int level) override;
    /// Forwards to the character-pointer form.
    bool set_field_val(const std::string& field_name, boost::multiprecision::cpp_int& value,
                       int level) override;

    // New virtual operations, in slot order.

    /// Reads every field by name and reports failures, then shows each direct child.
    virtual void field_show();
    /// Chip id from the parent chain (blocks answer 0); reports and answers 0 without a parent.
    virtual int32_t get_chip_id() const;
    /// Attaches this node: name, offset, parent, init(), field-init done, parent's boundaries.
    virtual void set_attributes(ksx_csr_base* parent, const std::string& name, uint64_t offset);
    /// set_attributes with a null parent.
    virtual void set_attributes_null(const std::string& name, uint64_t offset);
    /// Instance path for back-door access: the empty string.
    virtual std::string get_csr_inst_path(uint32_t idx);
    /// Does nothing.
    virtual void set_csr_inst_path(uint32_t idx, const std::string& path, uint32_t flags);
    /// load_from_cfg after clearing the load counter; returns the counter.
    virtual uint32_t load_from_cfg_rtn_status(bool do_write, bool flag, const std::string& prefix);
    /// Writes one 32-bit word of the register found at addr (the register is written to the
    /// hardware once its last word is supplied and do_write is set).
    virtual void write_using_addr(uint64_t addr, uint32_t data, bool do_write);
    /// Reads one 32-bit word of the register found at addr; 0xdeadbeef when there is none.
    virtual uint32_t read_using_addr(uint64_t addr, bool do_read);
    /// Whether the generated fields have been initialised.
    virtual bool get_field_init_done() const;
    /// Sets the field-init flag, and on every direct child when recurse is set.
    virtual void set_field_init_done(bool done, bool recurse);
    /// This node's flag, else its parent's answer; false at a root.
    virtual bool get_access_no_zero_time() const;
    /// Stores the secure flag of this node.
    virtual void set_access_secure(bool secure);
    /// True when the secure override knob is set, else this node's own flag.
    virtual bool get_access_secure();
    /// Field read by name: false, value unchanged.
    virtual bool get_field_val(const char* field_name, boost::multiprecision::cpp_int& value, int level);
    /// Field write by name: false, nothing changes.
    virtual bool set_field_val(const char* field_name, boost::multiprecision::cpp_int& value, int level);

    // Non-virtual helpers.

    /// Knob key made from the path (or from prefix unless it is "none" or empty), "/"-separated.
    std::string get_cfg_name(const std::string& prefix);

    /// Value as ceil(width/32) words, element 0 least significant.
    static std::vector<uint32_t> convert_cpp_int_to_vector_32(const boost::multiprecision::cpp_int& value,
                                                              uint64_t width);
    /// Value as ceil(width/8) one-byte elements, element 0 least significant.
    static std::vector<uint32_t> convert_cpp_int_to_vector_8(const boost::multiprecision::cpp_int& value,
                                                             uint64_t width);
    /// Words (element 0 least significant) back to a value.
    static boost::multiprecision::cpp_int convert_vector_32_to_cpp_int(std::vector<uint32_t> words);

    /// The node the address-window write path used last (process-wide), or null.
    static vmo_csr_base* last_addr_node();
    /// Forgets the cached node; for hosts that destroy the model trees they accessed.
    static void forget_last_addr_node();

protected:
    /// The parent as a chip node, or null when there is none or it is not a chip node.
    const ksx_csr_base* chip_parent() const {
        return m_parent_is_chip_node ? static_cast<const ksx_csr_base*>(m_parent) : nullptr;
    }

    /// Whether get_offset, get_access_no_zero_time and get_chip_id of this node answer from
    /// the tree alone, so that their answers hold until tree_generation() changes: every node
    /// on the way up uses this library's own rules for them (a class that overrides one of them
    /// is asked again on every access), and the chip id walk ends at a block or at a parent
    /// that is not a chip node (a chip node without a parent reports on every access).
    bool access_path_from_tree() const;

    bool m_field_init_done;
    bool m_access_no_zero_time;
    bool m_access_secure;

private:
    bool m_parent_is_chip_node;  // m_parent is a ksx_csr_base (kept beside the flags: no extra size)
};
