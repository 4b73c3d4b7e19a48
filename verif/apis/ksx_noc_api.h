// Set-up and inspection of the network-on-chip (NX): its 64-bit registers at their raw
// addresses, the last-level cache (eight slices) with its flush, invalidate and SRAM modes,
// the address hashes, the DDR address maps and their presets, status and counter dumps,
// NIS filters and bandwidth monitors, the memory self-test of the NoC blocks and the NoC
// bring-up of the boot path. The register windows are described in regs/ksx_nx_*.yaml.
#pragma once

#include <cstdint>
#include <string>

// ---- register access ------------------------------------------------------------------------

/// One 32-bit NX word: flushes pending writes, then one one-word block read on chip 0.
uint32_t ksx_nx_read32(uint64_t addr);
/// One 32-bit NX word: one one-word block write on chip 0.
void ksx_nx_write32(uint64_t addr, uint32_t value);
/// A 64-bit NX register: the low word at addr, then the high word at addr + 4.
uint64_t ksx_nx_read(uint64_t addr);
/// A 64-bit NX register: the low word at addr, then the high word at addr + 4.
void ksx_nx_write(uint64_t addr, uint64_t value);
/// Writes value to each of the n registers in order.
void ksx_nx_write_regs(const unsigned* addrs, int n, unsigned long value);

// ---- last-level cache -----------------------------------------------------------------------

/// Address of slice s's cache-enable / way-mask register (0x288048 + 0x4000 × s).
uint64_t ksx_nx_llc_enable_addr(unsigned slice);
/// Address of slice s's flush request / busy register.
uint64_t ksx_nx_llc_flush_addr(unsigned slice);
/// Address of slice s's invalidate request / busy register.
uint64_t ksx_nx_llc_invalidate_addr(unsigned slice);

/// All 16 ways of every slice on.
void ksx_nx_cache_enable();
/// Every slice off.
void ksx_nx_cache_disable();
/// Ways 0 and 1 of slice 0 only (the single-slice prototype).
void ksx_nx_cache_enable_haps_mode();
/// Flushes, in every slice, the given ways that the slice has enabled, then waits.
void ksx_nx_flush_cache_ways(unsigned ways);
/// Flushes every enabled way.
void ksx_nx_flush_cache();
/// Flushes the ways of the first cache of the two-cache split (read from 0x288000).
void ksx_nx_two_cache_flush_cache0();
/// Flushes the ways of the second cache of the two-cache split (read from 0x288008).
void ksx_nx_two_cache_flush_cache1();
/// Flushes slice 0's enabled ways and waits on slice 0 only.
void ksx_nx_flush_cache_haps_mode();
/// Requests invalidation of all ways in every slice, then waits for it.
void ksx_nx_invalidate_cache();
/// Up to 512 passes over the eight flush registers until all read 0; 0 when done, 1 after
/// the time-out line.
int ksx_nx_wait_flush_done();
/// The same over the eight invalidate registers.
int ksx_nx_wait_invalidate_done();
/// The same over slice 0's flush register.
int ksx_nx_wait_flush_done_haps_mode();
/// Turns the n lowest ways of every slice into SRAM (n above 16 counts as 0).
void ksx_nx_enable_llc_sram(int chip_id, int inst_id, unsigned n);
/// Whether an address lies in LLC-backed SRAM, by the knobs "ksx0/nx/enable_llc_ram" and
/// "ksx0/nx/llc_sram_amap_{min,max}{0,1}" (inclusive windows).
bool is_llc(unsigned long addr);
/// DDR4 memory in every DDR group.
void ksx_nx_set_ddr4_mode(int chip_id, int inst_id);
/// DDR5 memory in every DDR group.
void ksx_nx_set_ddr5_mode(int chip_id, int inst_id);

// ---- address hashes -------------------------------------------------------------------------

/// CCC hash 0 of the 15 agents.
void ksx_nx_set_ccc_hash0(unsigned long value);
/// CCC hash 1 of the 15 agents.
void ksx_nx_set_ccc_hash1(unsigned long value);
/// LLC hash 0 of the 15 agents and the four cache controllers (19 registers).
void ksx_nx_set_llc_hash0(unsigned long value);
/// LLC hash 1 of the 15 agents and the four cache controllers.
void ksx_nx_set_llc_hash1(unsigned long value);
/// LLC hash 2 of the 15 agents and the four cache controllers.
void ksx_nx_set_llc_hash2(unsigned long value);
/// DDR controller hash of the agents, the DDR groups and the cache controllers (27 registers).
void ksx_nx_set_ddrc_hash(unsigned long value);
/// DDR group hash 0 of the 15 agents.
void ksx_nx_set_ddrb_hash0(unsigned long value);
/// DDR group hash 1 of the 15 agents.
void ksx_nx_set_ddrb_hash1(unsigned long value);
/// Prints the CCC hash registers, one "  NX: 0x<address>: 0x<value>" line each.
void ksx_nx_dump_ccc_hash();
/// Prints the LLC hash registers.
void ksx_nx_dump_llc_hash();
/// Prints the DDR controller hash registers.
void ksx_nx_dump_ddrc_hash();
/// Prints the DDR group hash registers.
void ksx_nx_dump_ddrb_hash();

// ---- DDR address maps -----------------------------------------------------------------------

// The range setters, one per map: (base, limit, disable, attribute mode). A setter rewrites the
// base register of its map in every window it covers (agents, then DDR groups, then cache
// controllers) and, unless disabled, then the limit registers.
#define KSX_NX_MAPS(X)                 \
    X(bg, DDRGRP0B_MAP_DDR_NN0)        \
    X(bg, DDRGRP0B_MAP_DDR_NN1)        \
    X(bg, DDRGRP0B_MAP_DDR_NN2)        \
    X(bg, DDRGRP0C_MAP_DDR_NC0)        \
    X(bg, DDRGRP0C_MAP_DDR_NC1)        \
    X(bg, DDRGRP0C_MAP_DDR_NC2)        \
    X(bg, DDRGRP0C_MAP_DDR_NC3)        \
    X(bg, DDRGRP0C_MAP_DDR_NC4)        \
    X(bg, DDRGRP0C_MAP_DDR_NC5)        \
    X(bg, DDRGRP0C_MAP_DDR_NC6)        \
    X(bg, DDRGRP0C_MAP_DDR_NC7)        \
    X(bg, DDRGRP0C_MAP_DDR_CC0)        \
    X(bg, DDRGRP0C_MAP_DDR_CC1)        \
    X(bg, DDRGRP0C_MAP_DDR_CC2)        \
    X(bg, DDRGRP0C_MAP_DDR_CC3)        \
    X(bg, DDRGRP0C_MAP_DDR_CC4)        \
    X(bg, DDRGRP0C_MAP_DDR_CC5)        \
    X(bg, DDRGRP0C_MAP_DDR_CC6)        \
    X(bg, DDRGRP0C_MAP_DDR_CC7)        \
    X(fg, DDRGRP0C_MAP_FG_DDR_NC00)    \
    X(fg, DDRGRP0C_MAP_FG_DDR_NC01)    \
    X(fg, DDRGRP0C_MAP_FG_DDR_NC02)    \
    X(fg, DDRGRP0C_MAP_FG_DDR_NC03)    \
    X(fg, DDRGRP0C_MAP_FG_DDR_CC00)    \
    X(fg, DDRGRP0C_MAP_FG_DDR_CC01)    \
    X(fg, DDRGRP0C_MAP_FG_DDR_CC02)    \
    X(fg, DDRGRP0C_MAP_FG_DDR_CC03)

#define KSX_NX_DECLARE_RANGE(kind, map) \
    void set_##kind##_range_##map(uint64_t base, uint64_t limit, uint32_t disable, int32_t mode);
KSX_NX_MAPS(KSX_NX_DECLARE_RANGE)
#undef KSX_NX_DECLARE_RANGE

/// One address map: its name and the offset of its base register in an agent (A), DDR group
/// (B) and cache controller (C) window; -1 where the map is absent.
struct ksx_nx_map_info {
    const char* name;
    int off_a, off_b, off_c;
};
/// The 27 maps in the order of KSX_NX_MAPS.
const ksx_nx_map_info* ksx_nx_maps(size_t* count);
/// The base addresses of the agent (15), DDR group (8) and cache controller (4) windows.
const uint64_t* ksx_nx_windows_a();
const uint64_t* ksx_nx_windows_b();
const uint64_t* ksx_nx_windows_c();
/// The agent names of the 15 agent windows, in window order ("ap_m", "cpu0_m", ...).
const char* const* ksx_nx_agent_names();

void ksx_nx_program_ddr_capacity_4G(int chip_id, int inst_id);
void ksx_nx_program_ddr_capacity_8G(int chip_id, int inst_id);
void ksx_nx_program_ddr_capacity_8G_bypass_4G(int chip_id, int inst_id);
void ksx_nx_program_ddr_capacity_16G(int chip_id, int inst_id);
void ksx_nx_program_ddr_capacity_16G_bypass_8G(int chip_id, int inst_id);
void ksx_nx_program_ddr_capacity_16G_all_ccc(int chip_id, int inst_id);
void ksx_nx_program_ddr_capacity_32G(int chip_id, int inst_id);
void ksx_nx_program_ddr_capacity_64G(int chip_id, int inst_id);
void ksx_nx_secure_bypass_region(int chip_id, int inst_id);
void ksx_nx_secure_mem_map_config(int chip_id, int inst_id);
void ksx_nx_ccc_region_corvane_mode(int chip_id, int inst_id);

/// The map lines of one agent window: "  NX: <MAP>_0: 0x<base> | 0x<limit> (<state>) TM=<t>
/// P=<p> NS=<ns> I=<i>" per map of the agent, in map-table order.
std::string ksx_nx_addr_range_text(unsigned agent);
#define KSX_NX_AGENTS(X) X(si_m) X(se_m) X(px_m) X(pt_m) X(pr_m) X(ph_m) X(pb_m) X(ms_m) \
    X(md_m1) X(md_m0) X(cpu3) X(cpu2) X(cpu1) X(cpu0) X(ap_m)
#define KSX_NX_DECLARE_DUMP(agent) void ksx_nx_dump_addr_range_##agent(int chip_id, int inst_id);
KSX_NX_AGENTS(KSX_NX_DECLARE_DUMP)
#undef KSX_NX_DECLARE_DUMP
/// Prints the CPU 0 maps that hold addr (enabled, and addr equal to the base under the limit
/// mask) and returns how many do.
int ksx_nx_check_addr_range_cpu0_m(unsigned long addr);

// ---- status and errors ----------------------------------------------------------------------

void ksx_nx_dump_as_sts(int chip_id, int inst_id);
void ksx_nx_dump_as_err(int chip_id, int inst_id);
void ksx_nx_dump_am_sts(int chip_id, int inst_id);
void ksx_nx_dump_am_err(int chip_id, int inst_id);
void ksx_nx_dump_llc_interrupt(int chip_id, int inst_id);
void ksx_nx_dump_ccc_interrupt(int chip_id, int inst_id);
void ksx_nx_dump_llc_class_alloc(int chip_id, int inst_id);
void ksx_nx_dump_config(int chip_id, int inst_id);
void ksx_nx_clear_as_sts(int chip_id, int inst_id);
void ksx_nx_clear_as_err(int chip_id, int inst_id);
void ksx_nx_clear_am_sts(int chip_id, int inst_id);
void ksx_nx_clear_am_err(int chip_id, int inst_id);
void ksx_nx_clear_llc_interrupt(int chip_id, int inst_id);
void ksx_nx_clear_ccc_interrupt(int chip_id, int inst_id);
void ksx_nx_clear_llc_class_alloc(int chip_id, int inst_id);
void ksx_nx_clear_config(int chip_id, int inst_id);

// ---- counters and bandwidth monitors --------------------------------------------------------

/// The two event counters of each LLC slice.
struct nx_llc_counter_t {
    unsigned event0_sel = 0, event1_sel = 0;
    uint64_t event0[8] = {};
    uint64_t event1[8] = {};
};
/// The access and event counters of each cache controller.
struct nx_ccc_counter_t {
    unsigned event_sel = 0;
    uint64_t access[4] = {};
    uint64_t event[4] = {};
};
/// The bandwidth monitor results of one port.
struct nx_bwmon_t {
    uint32_t rd_cnt = 0, rd_lat_avg = 0, rd_lat_max = 0, rd_pend = 0, rd_no_drdy = 0;
    uint64_t rd_bw_avg = 0, rd_bw_max = 0;
    uint32_t wr_cnt = 0, wr_lat_avg = 0, wr_lat_max = 0, wr_pend = 0, wr_no_drdy = 0;
    uint64_t wr_bw_avg = 0, wr_bw_max = 0;
    uint32_t window = 0;  ///< monitor window in cycles (the bandwidth ratios divide by it)
};
/// One address filter of a NIS port (four per port).
struct nx_nis_filter_t {
    unsigned idx = 0;  ///< filter 0 to 3
    uint64_t base = 0, limit = 0;
    unsigned enable = 0, action = 0, prio = 0, qos = 0;
};
/// Number of NIS ports: the 15 masters, then the 13 slaves.
constexpr unsigned ksx_nx_nis_ports = 28;
/// "cc0_csr.cpu1_m" and the rest, in bandwidth-dump order (masters, then slaves).
const char* ksx_nx_nis_port_name(unsigned port);
/// Base address of a NIS port's window (an agent window for masters, a slave NIS window).
uint64_t ksx_nx_nis_port_base(unsigned port);

void ksx_nx_setup_llc_counters(int chip_id, int inst_id, unsigned event0, unsigned event1);
void ksx_nx_setup_ccc_counters(int chip_id, int inst_id, unsigned event);
nx_llc_counter_t ksx_nx_dump_llc_counters_new(int chip_id, int inst_id);
nx_ccc_counter_t ksx_nx_dump_ccc_counters_new(int chip_id, int inst_id);
void ksx_nx_dump_llc_counters(int chip_id, int inst_id);
void ksx_nx_dump_ccc_counters(int chip_id, int inst_id);
/// Prints a counter record, one line per slice / controller.
void ksx_nx_decode_llc_counter(const nx_llc_counter_t* c);
void ksx_nx_decode_ccc_counter(const nx_ccc_counter_t* c);
void ksx_nx_clear_llc_counters(int chip_id, int inst_id);
void ksx_nx_clear_ccc_counters(int chip_id, int inst_id);

/// NIS read and write counters of every port on events 0.
void ksx_nx_nis_counter_setup(int chip_id, int inst_id);
/// NIS counters of one port on the given events.
void ksx_nx_nis_counter_setup_new(int chip_id, int inst_id, unsigned port, unsigned rd_event, unsigned wr_event);
/// Every port's NIS counters enabled and cleared.
void ksx_nx_nis_counter_init(int chip_id, int inst_id);
void ksx_nx_nis_counter_clear(int chip_id, int inst_id);
/// "  NX: <port>: rd=<n> wr=<n>" for every master port.
void ksx_nx_nis_counter_dump(int chip_id, int inst_id);
/// The same for the DDR slave ports.
void ksx_nx_nis_counter_dump_ddr(int chip_id, int inst_id);
/// Every port's bandwidth monitor on with the default window (1000 cycles).
void ksx_nx_nis_bwmon_setup(int chip_id, int inst_id);
/// Every port's bandwidth monitor on with the given window.
void ksx_nx_nis_bwmon_setup_new(int chip_id, int inst_id, unsigned window);
void ksx_nx_nis_bwmon_dump(int chip_id, int inst_id);
/// Reads every port's monitor into out[0..27] (when not null) and prints it.
void ksx_nx_nis_bwmon_dump_new(int chip_id, int inst_id, nx_bwmon_t* out);

// ---- NIS filters ----------------------------------------------------------------------------

void ksx_nx_master_nis_filter_set(int chip_id, int inst_id, unsigned port, nx_nis_filter_t* f);
void ksx_nx_master_nis_filter_clear(int chip_id, int inst_id, unsigned port);
void ksx_nx_master_nis_filter_dump(int chip_id, int inst_id, unsigned port);
void ksx_nx_slave_nis_filter_dump(int chip_id, int inst_id, unsigned port);
void ksx_nx_nis_filter_setup_ddr_bypass1(int chip_id, int inst_id);
void ksx_nx_nis_filter_setup_ddr_bypass2(int chip_id, int inst_id);
void ksx_nx_nis_filter_setup_arm_llc_sram(int chip_id, int inst_id);
void ksx_nx_nis_filter_setup_dm_12G_region(int chip_id, int inst_id);
void ksx_nx_nis_filter_setup_llc_sram_merge(int chip_id, int inst_id);
void ksx_nx_nis_filter_setup_ddr_pb_wr_priority(int chip_id, int inst_id);
void ksx_nx_setup_pb_write_priority(int chip_id, int inst_id);

// ---- two caches -----------------------------------------------------------------------------

void ksx_nx_two_cache_setup_nis_filter(int chip_id, int inst_id, uint64_t base0, uint64_t limit0, uint64_t base1,
                                       uint64_t limit1);
void ksx_nx_two_cache_setup_nis_counter(int chip_id, int inst_id);
/// Cache 0 takes the `ways` lowest ways of every slice, cache 1 the rest.
void ksx_nx_two_cache_setup_llc(int chip_id, int inst_id, unsigned ways);
void ksx_nx_two_cache_counter_dump(int chip_id, int inst_id);
/// Filters on the default windows, counters and the way split.
void ksx_nx_setup_two_caches(int chip_id, int inst_id, unsigned ways);
void ksx_nx_two_cache_setup_nis_filter_uboot(uint64_t base0, uint64_t limit0, uint64_t base1, uint64_t limit1);
void ksx_nx_two_cache_setup_nis_counter_uboot();
void ksx_nx_two_cache_setup_llc_uboot(unsigned ways);
void ksx_nx_two_cache_counter_dump_uboot();
void ksx_nx_setup_two_caches_uboot(unsigned ways);

// ---- self-test and bring-up -----------------------------------------------------------------

/// Starts the memory self-test of every NoC interface, cache controller and LLC slice.
void ksx_nx_bist_start(int chip_id, int inst_id);
/// Waits for every self-test status; reports each time-out and failure; returns their number.
int ksx_nx_bist_check(int chip_id, int inst_id);

/// The NoC bring-up of the boot path.
void ksx_noc_init(int hash_mode, int ddr5, int clear_hash, int two_cache, int cache_off, int counters, int llc_sram,
                  unsigned a8, unsigned a9, unsigned a10, unsigned a11, unsigned a12, unsigned mem_gb);
