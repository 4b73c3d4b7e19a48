// Golden register files: a flat image of the register address space [0, 0x70000000), each
// saved register's value least significant byte first at its absolute address, zero bytes
// elsewhere. Registers are chosen by a path and a name filter over its descendants.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <boost/multiprecision/cpp_int.hpp>

#include "model/utils/ksx_regdb.h"

/// Size in bytes of every golden file.
constexpr uint64_t KSX_GOLDEN_FILE_SIZE = 0x70000000ull;

/// Reads the selected registers from the hardware and saves them in file (created or
/// emptied; only a regular file: a FIFO or device is refused and left alone). Only the
/// selected registers' bytes are written; the rest of the image is a hole that reads as
/// zero, so memory stays proportional to the selection. A file that cannot be created or
/// written is reported with its path and the system's reason. A node with a negative value
/// raises std::range_error "Attempt to assign a negative value to an unsigned type.".
void csr_write_golden(std::string file, std::string path, std::string filter);
/// Reads every selected node from the hardware (zero-width ones included, their golden value
/// being 0) and shows each whose value differs from the file. Reading and comparing accept
/// only a regular file; registers reaching past the end of a short file are skipped and the
/// first of them is reported.
void csr_cmp_golden(std::string file, std::string path, std::string filter, bool unused);
/// Loads the file's value of each selected register into the model (no hardware access):
/// a later write() puts the golden values back on the chip.
void csr_read_golden(std::string file, std::string path, std::string filter, bool unused);

/// Opens a golden image for reading: only a regular file, refused at once (without waiting
/// for a writer) when it is a FIFO or a device. Returns the descriptor and the file's size,
/// or -1 with the reason in why ("not a regular file, refused", "cannot open for reading: ...").
int csr_golden_open_read(const std::string& file, uint64_t& size, std::string& why);
/// Opens a golden image for writing: a regular file is created or emptied; a FIFO or a device
/// is refused and left untouched. Returns the descriptor, or -1 with the reason in why.
int csr_golden_open_write(const std::string& file, std::string& why);

/// Bytes a value of width bits takes in an image: whole 32-bit words (none for width 0).
inline uint64_t csr_golden_bytes(int64_t width) { return width <= 0 ? 0 : 4 * uint64_t((width + 31) / 32); }
/// Closes an image's descriptor when it leaves scope.
struct csr_golden_fd {
    int fd;
    ~csr_golden_fd();
};
/// Writes the n image bytes of value (least significant first) at addr; false with errno set
/// when the file cannot be written.
bool csr_golden_put(int fd, uint64_t addr, uint64_t n, const boost::multiprecision::cpp_int& value);
/// Reads n image bytes at addr into value (bytes past the end of the file read as zero); false
/// with errno set when the file cannot be read.
bool csr_golden_get(int fd, uint64_t addr, uint64_t n, boost::multiprecision::cpp_int& value);
/// Reading an image of size bytes for regs: empty when the file holds every register that lies
/// in the image, otherwise "the file ends at 0x.., before the end of register NAME at 0x.."
/// naming the first one past its end.
std::string csr_golden_short(const std::vector<ksx_regdb_location>& regs, uint64_t size);
