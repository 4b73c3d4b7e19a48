// The chip-independent node of the register-model tree: parent link, offset inside the
// parent, children and reset value, with the whole virtual interface of a model object.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

class vmo_csr_callback;

/// Node of the register-model tree. Every chip object (block, register, memory, entry,
/// decoder, group wrapper) is one. The node stores no name, kind or id: it answers "none"
/// and kind 0, and operations that need a chip kind report that they are not to be used.
class vmo_csr_base {
public:
    /// Node kinds. Announced by the kind constructors, never stored.
    enum csr_type_t {
        CSR_TYPE_NONE = 0,
        CSR_TYPE_REGISTER = 1,
        CSR_TYPE_MEMORY = 3,
        CSR_TYPE_DECODER = 4,
        CSR_TYPE_BLOCK = 5,
        CSR_TYPE_LGRP = 6
    };

    /// Keeps the parent pointer and discards the name; does not enter the parent's child list.
    vmo_csr_base(const std::string& name, vmo_csr_base* parent);
    virtual ~vmo_csr_base();

    vmo_csr_base(const vmo_csr_base&) = delete;
    vmo_csr_base& operator=(const vmo_csr_base&) = delete;

    // Virtual operations in slot order (slots 0 and 1 are the destructors).

    /// The node name: "none" for every node.
    virtual std::string get_name() const;
    /// The enclosing node, or null for a root.
    virtual vmo_csr_base* get_parent() const;
    /// Names are not stored: does nothing.
    virtual void set_name(const std::string& name);
    /// Sets the parent; the first non-null parent also receives this node as a child.
    virtual void set_parent(vmo_csr_base* parent);
    /// Appends a child (null ignored); with via_parent the child goes to this node's parent.
    virtual void register_child(vmo_csr_base* child, bool via_parent);
    /// Hook for containers that track their children's address range: does nothing.
    virtual void update_block_boundaries(vmo_csr_base* child);
    /// Dotted path from the root: "none" segments joined by ".".
    virtual std::string get_hier_path() const;
    /// Width in bits; 0 for a plain node.
    virtual int32_t get_width() const;
    /// Sets up the node's own state and children; does nothing at node level.
    virtual void init();
    /// Prints the node's fields; does nothing at node level.
    virtual void show();
    /// Stores a whole value; does nothing at node level.
    virtual void all(const boost::multiprecision::cpp_int& value);
    /// The whole value; 0 at node level.
    virtual boost::multiprecision::cpp_int all() const;
    /// Width rounded up to a power of two of at least 32 bits, in bytes.
    virtual int32_t get_byte_size() const;
    /// Stores the byte offset of the node inside its parent.
    virtual void set_offset(uint64_t offset);
    /// Absolute byte address: the sum of the offsets from the root (wrapping).
    virtual uint64_t get_offset() const;
    /// Stores a copy of the reset value.
    virtual void set_reset_val(const boost::multiprecision::cpp_int& value);
    /// A copy of the reset value.
    virtual boost::multiprecision::cpp_int get_reset_val() const;
    /// The node kind: CSR_TYPE_NONE for every node.
    virtual csr_type_t get_csr_type() const;
    /// Kinds are not stored: does nothing.
    virtual void set_csr_type(csr_type_t type);
    /// Not available at node level: reports and returns 0.
    virtual uint32_t get_csr_id() const;
    /// Ids are not stored: does nothing.
    virtual void set_csr_id(uint32_t id);
    /// Descendants down to `level` levels (-1: all): direct children first, then each
    /// child's own list in order. Level 0 or below (other than -1) gives an empty list.
    virtual std::vector<vmo_csr_base*> get_children(int level) const;
    /// Number of direct children.
    virtual uint64_t get_children_count() const;
    /// Children whose lower-cased name starts with the (lower-cased) prefix; "all_reg" selects registers.
    virtual std::vector<vmo_csr_base*> get_children_prefix(const std::string& prefix, int level) const;
    /// Children whose lower-cased name contains the (lower-cased) text.
    virtual std::vector<vmo_csr_base*> get_children_string(const std::string& text, int level) const;
    /// Children whose lower-cased path-and-name key equals the (lower-cased) text.
    virtual std::vector<vmo_csr_base*> get_children_hier_name(const std::string& name, int level) const;
    /// Last address of the node's window: 0xFFFFFFFF at node level.
    virtual uint64_t get_csr_end_addr() const;
    /// Not available at node level: reports.
    virtual void write();
    /// Not available at node level: reports.
    virtual void read();
    /// Not available at node level: reports.
    virtual void write_hw(const boost::multiprecision::cpp_int& value, int access_mode);
    /// Not available at node level: reports.
    virtual void block_write();
    /// Not available at node level: reports.
    virtual void block_read();
    /// Not available at node level: reports and returns 0.
    virtual int32_t field_diff(const std::string& value, bool verbose);
    /// Not available at node level: reports and returns 0.
    virtual boost::multiprecision::cpp_int read_hw(int access_mode);
    /// Not available at node level: reports.
    virtual void read_compare(int access_mode);
    /// Not available at node level: reports and returns false.
    virtual bool search_field_in_db(const std::string& field_name);
    /// Not available at node level: reports and returns 0.
    virtual int32_t diff(vmo_csr_base* other, bool verbose);
    /// Zero-time access attribute: not stored at node level.
    virtual void set_access_no_zero_time(bool no_zero_time);
    /// Not available at node level: reports.
    virtual void load_from_cfg(bool do_write, bool flag, const std::string& prefix);
    /// Not available at node level: reports and returns null.
    virtual vmo_csr_base* search_csr_by_name(const std::string& name, bool ignore_missing);
    /// Not available at node level: reports and returns null.
    virtual vmo_csr_base* search_csr_by_addr(uint64_t addr);
    /// Not available at node level: reports and returns an empty list.
    virtual std::vector<std::string> get_fields(int level) const;
    /// Not available at node level: reports and returns false.
    virtual bool get_field_val(const std::string& field_name, boost::multiprecision::cpp_int& value,
                               int level);
    /// Not available at node level: reports and returns false.
    virtual bool set_field_val(const std::string& field_name, boost::multiprecision::cpp_int& value,
                               int level);

    /// Not available at node level: reports.
    void field_show();

    /// The process-wide list of access callbacks (empty at start).
    static std::vector<std::shared_ptr<vmo_csr_callback>>& get_callbacks();

    /// Changes whenever a node's parent or offset is set (and when a chip node's no-zero-time
    /// flag is), so that what the access path derives from the parent chain can be kept
    /// until the tree changes. Starts at 1.
    static uint64_t tree_generation() { return s_tree_generation.load(std::memory_order_acquire); }
    /// Marks the tree as changed.
    static void tree_changed() { s_tree_generation.fetch_add(1, std::memory_order_acq_rel); }

protected:
    /// The parent link of any node, for walks that must not go through get_parent.
    static vmo_csr_base* parent_of(const vmo_csr_base* node) { return node->m_parent; }

    vmo_csr_base* m_parent;
    uint64_t m_offset;
    std::vector<vmo_csr_base*> m_children;
    boost::multiprecision::cpp_int m_reset_val;

private:
    static std::atomic<uint64_t> s_tree_generation;
};
