// The small interface behind the platform bus interface `cpu_hal_if`: one backend answers
// aligned 32-bit word reads and byte-lane-masked word writes inside its window, and
// everything else (blocks, bytes, bursts, window checks and reports) is built on top of it
// by `cpu_hal_if` and the platform function table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

/// A place where chip register words live: the simulated chip or a memory-mapped window.
class ksx_bus_backend {
public:
    virtual ~ksx_bus_backend() = default;
    /// Short text naming the backend and its window, used in reports.
    virtual std::string describe() const = 0;
    /// False when the backend refused to open: it then serves no address at all.
    virtual bool ok() const { return true; }
    /// Why the backend refused to open (one line, without a prefix); empty when ok().
    virtual std::string error() const { return ""; }
    /// True when every byte of [addr, addr + len) of that chip lies inside the window.
    virtual bool in_window(uint32_t chip, uint64_t addr, uint64_t len) const = 0;
    /// Reads the word at a 4-aligned in-window address.
    virtual uint32_t read_word(uint32_t chip, uint64_t addr) = 0;
    /// Writes the byte lanes of data that byte_mask selects (bit n: bits 8n+7..8n, lane n
    /// being byte address addr + n) to the word at a 4-aligned in-window address.
    virtual void write_word(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask) = 0;
};

/// Whether a backend that refuses to open says why in the library's log ("cpu_hal_if: ..."),
/// as it does by default. A host that reports the refusal itself (the ksxcsr shell stops
/// with its own one-line error) turns this off so the refusal is told once.
void ksx_bus_backend_log_refusals(bool on);
/// Logs a backend's refusal to open, unless turned off above.
void ksx_bus_backend_report_refusal(const std::string& why);

/// Sets the backend knobs from a backend text, "sim" or "mmap:PATH[@BASE[,SIZE]]" (BASE and
/// SIZE numbers of at most 64 bits), as a host's backend option does. Empty when done;
/// otherwise the one-line reason, and no knob is set.
std::string ksx_choose_bus_backend(const std::string& choice);

/// Builds the backend the knobs choose (see cpu_hal_if.h for the knobs).
std::shared_ptr<ksx_bus_backend> ksx_make_bus_backend();

/// The backend the platform function table reaches: the one published by the most recently
/// constructed `cpu_hal_if`, or, before there is one, a backend built from the knobs.
std::shared_ptr<ksx_bus_backend> ksx_platform_backend();

/// Makes backend the one the platform function table reaches (null: rebuild from knobs).
void ksx_set_platform_backend(std::shared_ptr<ksx_bus_backend> backend);
