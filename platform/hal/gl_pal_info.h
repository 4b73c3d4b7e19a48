// The platform function table: a packed global record whose register-read entry sits at
// byte offset 4 and register-write entry at byte offset 12. Both reach the same backend as
// the platform bus interface (chip 0) and move count 32-bit words at address + 4 x i.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sdk {
namespace lib {

/// Register access entry: (absolute chip address, words, word count); 0 on success.
using pal_reg_fn = int (*)(uint64_t addr, uint32_t* data, uint32_t count);

#pragma pack(push, 1)
/// The packed platform function table.
struct pal_info_t {
    uint32_t version;        ///< layout version of the table (1)
    pal_reg_fn reg_read;     ///< fills data[0..count) from the chip
    pal_reg_fn reg_write;    ///< writes data[0..count) to the chip
};
#pragma pack(pop)

static_assert(offsetof(pal_info_t, reg_read) == 4, "register-read entry must sit at byte offset 4");
static_assert(offsetof(pal_info_t, reg_write) == 12, "register-write entry must sit at byte offset 12");

/// The table the library reads.
extern pal_info_t gl_pal_info;

/// The default register-read entry: words of chip 0 from the platform backend. An address
/// outside its window, a misaligned one or a null pointer is reported; the result is then -1
/// and the words outside the window are left untouched.
int pal_reg_read(uint64_t addr, uint32_t* data, uint32_t count);
/// The default register-write entry: words to chip 0 through the platform backend; -1 (with
/// a report, nothing written) on the same failures as the read.
int pal_reg_write(uint64_t addr, uint32_t* data, uint32_t count);

}  // namespace lib
}  // namespace sdk
