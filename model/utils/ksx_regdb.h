// The register map database: static tables, generated with the model classes, of every block
// class's registers, memories and fields (names, offsets, widths, resets, access policies)
// and of the instances of both top maps. Tools, the simulated chip and the shell use it to
// name things; it costs nothing per model object and the model nodes do not use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

/// Access policy of a field, as the simulated chip applies it.
enum ksx_regdb_access : uint8_t {
    KSX_REGDB_RW = 0,   ///< read-write
    KSX_REGDB_RO = 1,   ///< read-only: writes are ignored
    KSX_REGDB_W1C = 2,  ///< write one to clear
    KSX_REGDB_W1S = 3,  ///< write one to set
    KSX_REGDB_SC = 4,   ///< self-clearing: reads back as its reset value
};

/// What a table row describes.
enum ksx_regdb_kind : uint8_t {
    KSX_REGDB_REGISTER = 0,  ///< one register, or a fixed array of `count` registers
    KSX_REGDB_MEMORY = 1,    ///< a memory of `count` entries
};

/// One field of a register or memory entry.
struct ksx_regdb_field {
    const char* name;
    uint32_t lsb;
    uint32_t width;
    const char* reset;  ///< reset value of the field, "0x" hexadecimal
    ksx_regdb_access access;
};

/// One register, fixed register array, memory, or register of a register-group memory
/// (named "<memory>.<register>").
struct ksx_regdb_reg {
    const char* name;
    uint64_t offset;     ///< byte offset in the block
    uint32_t width;      ///< bits of one register or entry
    uint32_t byte_size;  ///< bytes of one register or entry (element stride)
    uint32_t count;      ///< 1 for a plain register; elements or entries otherwise
    ksx_regdb_kind kind;
    bool secure;
    const char* reset;   ///< reset value of one register or entry, "0x" hexadecimal
    uint32_t first_field;
    uint32_t n_fields;
};

/// One block class: its registers, sorted by offset.
struct ksx_regdb_class {
    const char* name;   ///< C++ class name, e.g. "ksx_txs_csr_t"
    uint64_t byte_size;
    uint32_t first_reg;
    uint32_t n_regs;
};

/// One block instance of a top map (sub-blocks are instances of their own: "pr.psp").
struct ksx_regdb_inst {
    const char* name;    ///< dotted instance name, e.g. "txs", "sge.te[0]"
    const char* group;   ///< group wrapper instance, e.g. "sge"
    uint32_t class_idx;  ///< index into the class table
    uint64_t base;       ///< absolute byte address
    int32_t reg_inst;    ///< registry instance number (-1: not registered, e.g. a sub-block)
};

/// A whole database: the tables of one top map.
struct ksx_regdb_tables {
    const char* top;  ///< top map class, e.g. "ksx_top_csr_t"
    const ksx_regdb_class* classes;
    size_t n_classes;
    const ksx_regdb_reg* regs;
    size_t n_regs;
    const ksx_regdb_field* fields;
    size_t n_fields;
    const ksx_regdb_inst* insts;  ///< sorted by base address
    size_t n_insts;
};

/// The chip's database (top map ksx_top_csr_t), generated with the model.
const ksx_regdb_tables& ksx_regdb_chip_tables();
/// The board controller's database (top map dru_top_csr_t), generated with the model.
const ksx_regdb_tables& ksx_regdb_board_tables();

/// A register (or one element or entry of it) located by name or by address.
struct ksx_regdb_location {
    const ksx_regdb_inst* inst = nullptr;
    const ksx_regdb_class* cls = nullptr;
    const ksx_regdb_reg* reg = nullptr;  ///< null when the address lies in a gap of the block
    uint32_t index = 0;                  ///< element or entry index (0 for a plain register)
    uint32_t word = 0;                   ///< 32-bit word of the register the address falls in
    uint64_t address = 0;                ///< absolute address of the register, element or entry

    explicit operator bool() const { return reg != nullptr; }
    /// "txs.cfg_flow_ctl", "txs.dhs_doorbell[5]"; just the instance name without a register.
    std::string name() const;
};

/// Look-ups over one database. Instances and registers are found by binary search and
/// hash maps built on first use.
class ksx_regdb {
public:
    explicit ksx_regdb(const ksx_regdb_tables& tables);
    /// Frees the look-up index built on first use.
    ~ksx_regdb();
    ksx_regdb(const ksx_regdb&) = delete;
    ksx_regdb& operator=(const ksx_regdb&) = delete;

    /// The chip's database.
    static ksx_regdb& chip();
    /// The board controller's database.
    static ksx_regdb& board();

    const ksx_regdb_tables& tables() const { return t_; }

    /// An instance by its dotted name, or null.
    const ksx_regdb_inst* find_inst(const std::string& name) const;
    /// "inst.reg", "inst.reg[i]", "inst.mem.reg": an empty location when not found. With
    /// `why`, the reason is stored there ("no instance ...", "no register ...", "index ...").
    ksx_regdb_location find(const std::string& name, std::string* why = nullptr) const;
    /// The address find gives a register, element or entry; a name it does not find throws
    /// std::invalid_argument "unknown register 'NAME': REASON" (an empty location's address,
    /// 0, would pass for a real one).
    uint64_t address(const std::string& name) const;
    /// The register, element or entry an absolute address falls in; an empty location (with
    /// inst set when the address lies inside an instance) otherwise.
    ksx_regdb_location decode(uint64_t address) const;
    /// Reset value of one register, element or entry.
    static boost::multiprecision::cpp_int reset_value(const ksx_regdb_reg& reg);
    /// The fields of a register.
    std::vector<const ksx_regdb_field*> fields(const ksx_regdb_reg& reg) const;
    /// Every instance whose name contains text, in address order.
    std::vector<const ksx_regdb_inst*> match_insts(const std::string& text) const;

private:
    const ksx_regdb_tables& t_;
    struct index;
    mutable index* idx_ = nullptr;
    const index& idx() const;
};
