// The platform bus interface: the `cpu_bus_base` that start-up registers with the access
// dispatcher as "cpu_if". Its accesses land in a backend chosen by knobs when it is built:
//
//   "cpu_hal_if/backend"      "sim" (default): the simulated chip, every chip id, addresses
//                             below 0x70000000; "mmap": a memory-mapped window, below. Any
//                             other value is refused (reported; the interface then serves no
//                             address): it never falls back to the simulated chip.
//   "cpu_hal_if/mmap_path"    file or device node to map: a PCIe BAR's sysfs resource file
//                             (/sys/bus/pci/devices/<bdf>/resource0), a UIO node (/dev/uioN,
//                             map n at offset n x page size), /dev/mem, or a plain file.
//   "cpu_hal_if/mmap_offset"  byte offset of the window in that node (the physical base for
//                             /dev/mem); default 0.
//   "cpu_hal_if/mmap_base"    chip address of the window's first byte; default 0.
//   "cpu_hal_if/mmap_size"    window size in bytes; default 0 = the node's size from the offset.
//   "cpu_hal_if/mmap_chip"    the chip id the window belongs to; default 0.
//   The numbers are decimal, 0x hexadecimal or 0-prefixed octal of at most 64 bits; the
//   window is checked when the backend opens (see mmap_backend.h) and a refused one serves no
//   address (backend()->ok() is false, backend()->error() says why).
//
// Rules common to both backends:
// - Word accesses and word blocks start at a multiple of 4; byte-element blocks and bursts
//   may start anywhere. A misaligned word access, or an access not wholly inside the window,
//   is reported at ERROR level and never reaches the backend: reads answer 0xdeadbeef words
//   (a burst read fills its buffer with the bytes de ad be ef repeated and returns false),
//   writes are dropped (a burst write returns false).
// - Memory is little-endian: byte address a is lane a mod 4 (bits 8(a mod 4)+7..8(a mod 4))
//   of the word at a - a mod 4.
// - Block with flags bit 1 set: element i carries one byte (its low 8 bits) at address + i,
//   in both directions.
// - Bursts: transfer byte i is the byte at address + i. A burst of n bytes changes bytes
//   address to address + n - 1 and nothing else: a word it covers only in part is written
//   with those byte lanes alone (byte stores on the mapped window, lane-masked writes on the
//   simulated chip), never by writing back the rest of the word. So a burst of the bytes
//   44 33 22 11 at a word address reads back as the word 0x11223344. With reverse set,
//   buffer position length - 1 - i holds transfer byte i, for reads and for writes alike.
// - The access type and the secure flag (flags bit 0) do not change what an access does.
#pragma once

#include <memory>

#include "ip/verif/pcpp/cpu.h"
#include "platform/hal/bus_backend.h"

/// The platform bus interface (see the file comment for knobs and rules).
class cpu_hal_if : public cpu_bus_base {
public:
    /// Builds the interface and its knob-chosen backend, and makes that backend the one the
    /// platform function table reaches.
    cpu_hal_if(const std::string& if_name, const std::string& hier_path);
    /// Builds the interface over a given backend (not published to the function table).
    cpu_hal_if(const std::string& if_name, const std::string& hier_path, std::shared_ptr<ksx_bus_backend> backend);
    ~cpu_hal_if() override;

    uint32_t read(uint32_t chip, uint64_t addr, state s, uint32_t flags) override;
    void write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) override;
    void block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data, state s,
                     uint32_t flags) override;
    std::vector<uint32_t> block_read(uint32_t chip, uint64_t addr, int32_t count, state s, uint32_t flags) override;
    bool burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, state s, uint32_t flags,
                     bool reverse) override;
    bool burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, state s, uint32_t flags,
                    bool reverse) override;
    void flush_all_pending() override;

    /// The backend this interface reaches.
    std::shared_ptr<ksx_bus_backend> backend() const { return backend_; }

private:
    /// Checks alignment (when word-aligned is asked for) and the window; reports a failure.
    bool check(const char* op, uint32_t chip, uint64_t addr, uint64_t len, bool word_aligned) const;

    std::shared_ptr<ksx_bus_backend> backend_;
};
