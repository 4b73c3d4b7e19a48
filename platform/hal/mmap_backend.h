// The bus backend of real hardware: a memory-mapped window onto a file or device node
// (a PCIe BAR's sysfs resource file, a UIO device, /dev/mem at a physical base, or a plain
// file standing in for one). Chip address base + k is byte file_offset + k of the node.
#pragma once

#include "platform/hal/bus_backend.h"

/// Bus backend over one mapped window of one chip.
class ksx_mmap_backend : public ksx_bus_backend {
public:
    /// Maps size bytes of path from file_offset (any offset; the mapping is page-aligned
    /// internally) to chip addresses [base, base + size) of the given chip. Size 0 takes
    /// the node's own size from file_offset on. Only regular files and device nodes are
    /// mapped. A window that is misaligned (base, offset or size not a multiple of 4), passes
    /// 64 bits, reaches past the end of a regular file, or a node that cannot be opened or
    /// mapped is refused with one reported line naming the path and the reason; the backend
    /// then serves nothing (ok() false, error() says why).
    ksx_mmap_backend(const std::string& path, uint64_t file_offset, uint64_t base, uint64_t size,
                     uint32_t chip);
    ~ksx_mmap_backend() override;
    ksx_mmap_backend(const ksx_mmap_backend&) = delete;
    ksx_mmap_backend& operator=(const ksx_mmap_backend&) = delete;

    /// True when the window is mapped.
    bool ok() const override { return window_ != nullptr; }
    std::string error() const override { return error_; }

    std::string describe() const override;
    bool in_window(uint32_t chip, uint64_t addr, uint64_t len) const override;
    uint32_t read_word(uint32_t chip, uint64_t addr) override;
    void write_word(uint32_t chip, uint64_t addr, uint32_t data, uint32_t byte_mask) override;

private:
    /// Opens and maps the window; returns why it was refused, or "" when it is mapped.
    std::string map(uint64_t file_offset);

    std::string path_;
    std::string error_;
    uint64_t base_;
    uint64_t size_;
    uint32_t chip_;
    void* map_ = nullptr;
    size_t map_len_ = 0;
    volatile uint8_t* window_ = nullptr;
};
