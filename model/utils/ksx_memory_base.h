// Memories: containers of entry registers, never accessed as a whole.
#pragma once

#include <string>

#include "model/utils/ksx_csr_base.h"

/// Base of every generated memory class.
class ksx_memory_base : public ksx_csr_base {
public:
    /// Announces CSR_TYPE_MEMORY.
    ksx_memory_base(const std::string& name, ksx_csr_base* parent);
    ~ksx_memory_base() override;
    /// Memories are written entry by entry: reports.
    void write() override;
    /// Memories are read entry by entry: reports.
    void read() override;
};
