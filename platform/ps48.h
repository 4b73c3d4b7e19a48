// The serial register path: 48-bit commands to the management-domain registers, carried as
// three 16-bit frames over the chip's synchronous serial interface (SSI) controller, which
// this code drives register by register through the access dispatcher on chip 0.
//
// Command word (bits 47..0, sent most significant frame first):
//   00  initialisation: the fixed word 0x2A5595AA5694; all zeros is a no-operation that
//       clocks a pending response out
//   01  write: bits 45..44 extra, 43..32 offset within the page, 31..0 data
//   10  read: bits 31..0 offset (the low 12 bits count after paging)
//   11  page: P bits 21..20 at 45..44, Q bits 21..20 at 43..42, P bits 19..0 at 39..20,
//       Q bits 19..0 at 19..0 (the target writes through page P and reads through page Q)
// Response: three frames; first frame bits 15..14 type (0 "st", 1 "wr", 2 "rd"), bits 4..0
// interrupt field; frames two and three the 32-bit value, high half first.
//
// The path-string variants (register by path name) live with the path commands.
#pragma once

#include <cstdint>
#include <string>

/// Controller and I/O registers of the serial path (chip 0).
namespace ksx_ps48_regs {
constexpr uint64_t ctrl0 = 0x2800;       ///< frame control: 15 for 16-bit frames
constexpr uint64_t ctrl1 = 0x2804;       ///< 2 at initialisation
constexpr uint64_t enable = 0x2808;      ///< 0 while configuring, 1 when ready
constexpr uint64_t dev_select = 0x2810;  ///< 1 << device starts a transfer
constexpr uint64_t baud = 0x2814;        ///< baud-rate divider
constexpr uint64_t status = 0x2828;      ///< bit 0 busy, bit 2 transmit empty, bit 3 receive not empty
constexpr uint64_t data = 0x2860;        ///< one 16-bit frame per access
constexpr uint64_t gpio_base = 0x4000;   ///< port A data; +4 port A direction
constexpr uint64_t gpio_b_data = 0x400C;
constexpr uint64_t gpio_b_dir = 0x4010;
constexpr uint64_t select_ctrl = 0x307C2468;  ///< 15 while a manual transfer runs, 0 after
}  // namespace ksx_ps48_regs

/// The initialisation command word.
constexpr uint64_t KSX_PS48_INIT_WORD = 0x2A5595AA5694ull;

/// Remembers the baud-rate divider and initialises the controller with it.
void ps48_init(uint32_t baud);
/// The divider remembered by ps48_init (0 before the first call).
uint32_t ps48_get_cur_baudr();
/// Configures the controller and the select line, then sends the initialisation word and
/// two no-operations; false when a transfer timed out.
bool ksx_ps48_init(uint32_t baud);

/// Sends count commands (low 48 bits of each word) to device dev; manual drives the select
/// line around the transfer. False (after a report) when the controller stays busy.
bool ksx_ps48_tx(uint32_t dev, uint32_t frame_ctrl, const uint64_t* cmds, uint32_t count, const std::string& kind,
                 bool manual);
/// Reads one response: "st", "wr", "rd", "null" when none is waiting, "illegal" for an
/// unknown type (reported). An "rd" response stores its value.
std::string ksx_ps48_rx(uint32_t dev, const std::string& expected, uint32_t& value);
/// Waits for a response of the expected kind. Without retry one reading is taken and the
/// result is true; with retry, no-operations clock responses out, up to 100 readings.
bool ksx_ps48_response(const std::string& expected, uint32_t& value, bool retry);

/// One write command to device 0.
bool ksx_ps48_write_cmd(uint64_t cmd, bool manual);
/// One read command to device 0.
bool ksx_ps48_read_cmd(uint64_t cmd, bool manual);
/// One page command to device 0.
bool ksx_ps48_page_cfg(uint64_t cmd, bool manual);
/// count no-operation commands to device 0.
bool ksx_ps48_nop_cmd(uint32_t count, bool manual);
/// Sends no-operations, up to wait of them, until a response of the expected kind arrives;
/// false after a report when none did.
bool ksx_ps48_nop_cmd_wait(const std::string& expected, uint32_t& value, uint32_t wait);

/// The page command word for write page p and read page q (22 bits each).
uint64_t ksx_ps48_page_word(uint32_t p, uint32_t q);
/// The write command word.
uint64_t ksx_ps48_write_word(uint32_t offset, uint32_t data, uint32_t extra);
/// The read command word.
uint64_t ksx_ps48_read_word(uint32_t offset);

/// Selects pages p (writes) and q (reads) and takes one response reading.
bool ksx_ps48_page(uint32_t p, uint32_t q, bool manual);
/// Pages to addr >> 12 (both pages), then writes data at the offset addr within the page.
bool ksx_ps48_write_page(uint64_t addr, uint32_t data, bool manual);
/// Writes data at offset of the current page and waits for the "wr" response.
bool ksx_ps48_write(uint32_t offset, uint32_t data, uint32_t extra);
/// Reads offset of the current read page; 0xdeadbeef on any failure.
uint32_t ksx_ps48_read(uint32_t offset);

/// Re-initialises with the remembered divider, then pages and writes addr. text is unused.
bool ps48_write_addr(uint64_t addr, uint32_t data, const std::string& text);
/// Re-initialises with the remembered divider, then reads addr's offset in the current
/// read page; the value as "0x" and hexadecimal digits. text is unused.
std::string ps48_read_addr(uint64_t addr, const std::string& text);

/// A read with the select line driven by software around it; 0xdeadbeef on failure.
uint32_t sw_ps48_read(uint32_t offset, uint32_t wait);
/// A write with the select line driven by software around it.
bool sw_ps48_write(uint32_t offset, uint32_t data, uint32_t wait);

/// One-word read of addr on chip 0 (secure, not zero-time).
uint32_t ksx_ps48_reg_rd(uint64_t addr);
/// One-word write of addr on chip 0 (secure, not zero-time).
void ksx_ps48_reg_wr(uint64_t addr, uint32_t word);
/// Sets bit of the I/O register at 0x4000 + reg_offset to value (read-modify-write).
void ksx_ps48_set_gpio_bit(uint32_t reg_offset, uint32_t bit, uint32_t value);
/// Drives pin (0..7 port A, 8 and up port B bit pin mod 8) to value as an output.
void ksx_ps48_gpio_set_bit(uint32_t pin, uint32_t value);
