// Chip instance records and the process-wide current chip and instance ids.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/// One chip model known to the path commands: its chip id, instance id and name ("ksx0").
class inst_info {
public:
    inst_info(uint32_t chip_id, uint32_t inst_id, const std::string& name)
        : chip_id(chip_id), inst_id(inst_id), name(name) {}
    virtual ~inst_info() = default;

    uint32_t chip_id;
    uint32_t inst_id;
    std::string name;
};

/// The process-wide chip instance list, in registration order.
extern std::vector<std::shared_ptr<inst_info>> inst_info_array;

/// Appends a record (no duplicate check).
void register_chip_inst(std::string name, unsigned chip_id, unsigned inst);
/// Removes the first record of that chip and instance whose name contains the converted
/// name; reports "can not find path<name>" when none matches.
void delete_chip_inst(std::string name, unsigned chip_id, unsigned inst);

/// The chip id the address-level functions pass to the dispatcher.
void csr_set_cur_chip_id(unsigned chip_id);
unsigned csr_get_cur_chip_id();
/// The current instance id: only stored.
void csr_set_cur_inst_id(unsigned inst_id);
unsigned csr_get_cur_inst_id();
