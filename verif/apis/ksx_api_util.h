// Helpers every block routine shares: the bounded hardware poll and the "read and show"
// printer that names registers through the register map database.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <boost/multiprecision/cpp_int.hpp>

#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "ip/verif/pcpp/vmo_csr_base.h"

/// A block's console printer (`txs_print_msg` and its sisters).
using ksx_api_printer = void (*)(const std::string& text);

/// A block model from the registry: class T registered as type_name for (chip, instance).
/// A missing model is reported (and stops) as the registry does.
template <class T>
T& ksx_api_block(int chip_id, const char* type_name, int inst_id) {
    return vmo_blk_reg_model<vmo_csr_base>::access()->Get<T>(chip_id, type_name, inst_id);
}
/// `KSX_API_BLOCK(ksx_pr_csr_t, chip_id, inst_id)`: the registry entry named after the class.
#define KSX_API_BLOCK(T, chip_id, inst_id) ksx_api_block<T>(chip_id, #T, inst_id)

/// The printer of blocks that have none of their own: standard output, text as is.
void ksx_api_print(const std::string& text);

/// Knob bounding every poll the routines leave otherwise unbounded.
constexpr const char* ksx_api_poll_limit_knob = "ksx_api/poll_limit";
/// Its default: generous next to any device that answers at all.
constexpr uint64_t ksx_api_poll_limit_default = 100000;

/// The poll bound in force (the knob, or its default; 0 reads as 1).
uint64_t ksx_api_poll_limit();

/// Samples `sample` until `done` accepts the value, at most `limit` times (0: the knob's
/// bound). Past the bound it logs one ERROR line
/// "<what>: not done after <n> reads, last value 0x<v>" and returns false. `last`, when given,
/// receives the last sampled value.
bool ksx_api_poll(const std::string& what, const std::function<uint64_t()>& sample,
                  const std::function<bool(uint64_t)>& done, uint64_t limit = 0, uint64_t* last = nullptr);

/// Absolute byte address of a model node: the sum of the offsets from the root.
uint64_t ksx_api_address(const vmo_csr_base& node);

/// Dotted register-map name of the register, element or entry at a node's address
/// ("txs.cfg_flow_ctl", "sge.te[0].dhs_x[3]"); "0x<address>" where the map names nothing.
std::string ksx_api_name(const vmo_csr_base& node);

/// One "read and show" line: "<name> = 0x<value>" then " <field>=0x<v>" for every non-zero
/// field named by the register map database, and a newline.
std::string ksx_api_show_line(const vmo_csr_base& node, const boost::multiprecision::cpp_int& value);

/// Reads a register and prints its show line through the block's printer.
void ksx_api_read_show(ksx_api_printer printer, vmo_csr_base& reg);

/// A routine's "show" of a register it holds: the node's own (silent) show(), then the show
/// line of the value the node holds, without reading, through the block's printer.
void ksx_api_show(ksx_api_printer printer, vmo_csr_base& reg);

/// The fence-queue mask of the knob "active_fence_q" (N active queues): the low N bits set,
/// at most the 16 bits of the fence init values.
uint32_t ksx_api_fence_mask(uint64_t queues);
