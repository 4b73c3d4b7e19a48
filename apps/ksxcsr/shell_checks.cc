// Golden images and bring-up checks of the shell, over the register map database.
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "apps/ksxcsr/json_out.h"
#include "apps/ksxcsr/shell.h"
#include "platform/csr_golden.h"
#include "platform/csr_value_text.h"

using boost::multiprecision::cpp_int;

int ksx_shell::cmd_golden(const args_t& a) {
    const std::string& op = a[0];
    const std::string& file = a[1];
    const std::string name = a.size() > 2 ? a[2] : "";
    const std::string filter = a.size() > 3 ? a[3] : "";
    if (op != "write" && op != "cmp" && op != "read") throw ksx_shell_error{"usage: golden write|cmp|read FILE [NAME] [FILTER]"};
    const std::vector<ksx_regdb_location> regs = select_regs(name == "all" ? "" : name, filter, true);

    if (op == "write") {
        std::string why;
        const int fd = csr_golden_open_write(file, why);
        if (fd < 0) throw ksx_shell_error{"golden: " + file + ": " + why};
        csr_golden_fd guard{fd};
        size_t done = 0;
        for (const ksx_regdb_location& loc : regs) {
            const uint64_t n = csr_golden_bytes(loc.reg->width);
            if (loc.address + n > KSX_GOLDEN_FILE_SIZE) continue;
            if (!csr_golden_put(fd, loc.address, n, read_reg(loc)))
                throw ksx_shell_error{"golden: cannot write " + file + ": " + std::strerror(errno)};
            progress("golden write", ++done, regs.size());
        }
        if (ftruncate(fd, off_t(KSX_GOLDEN_FILE_SIZE)) != 0)
            throw ksx_shell_error{"golden: cannot size " + file + ": " + std::strerror(errno)};
        if (json_) out_ << json_out().open('{').field("saved", (long long)done).field("file", file).close('}').text() << "\n";
        else out_ << "saved " << done << " registers to " << file << "\n";
        return KSX_OK;
    }

    std::string why;
    uint64_t size = 0;
    const int fd = csr_golden_open_read(file, size, why);
    if (fd < 0) throw ksx_shell_error{"golden: " + file + ": " + why};
    csr_golden_fd guard{fd};
    // A short image would give partial values: refused before anything is shown.
    const std::string short_image = csr_golden_short(regs, size);
    if (!short_image.empty()) throw ksx_shell_error{"golden: " + file + ": " + short_image};
    json_out j;
    j.open('{').key(op == "cmp" ? "differing" : "values").open('[');
    size_t done = 0, differing = 0;
    for (const ksx_regdb_location& loc : regs) {
        const uint64_t n = csr_golden_bytes(loc.reg->width);
        if (loc.address + n > KSX_GOLDEN_FILE_SIZE) continue;
        cpp_int golden;
        if (!csr_golden_get(fd, loc.address, n, golden))
            throw ksx_shell_error{"golden: cannot read " + file + ": " + std::strerror(errno)};
        progress("golden " + op, ++done, regs.size());
        if (op == "read") {
            if (json_) j.open('{').field("name", loc.name()).field("value", csr_hex_text(golden)).close('}');
            else out_ << loc.name() << " = " << csr_hex_text(golden) << "\n";
            continue;
        }
        const cpp_int hw = read_reg(loc);
        if (hw == golden) continue;
        ++differing;
        if (json_) {
            j.open('{').field("name", loc.name()).field("golden", csr_hex_text(golden));
            j.field("hardware", csr_hex_text(hw)).close('}');
        } else {
            out_ << "differs: " << loc.name() << " golden " << csr_hex_text(golden) << " hardware " << csr_hex_text(hw)
                 << "\n";
        }
    }
    j.close(']');
    if (op == "read") {
        if (json_) out_ << j.close('}').text() << "\n";
        return KSX_OK;
    }
    if (json_) out_ << j.field("compared", (long long)done).field("differ", (long long)differing).close('}').text() << "\n";
    else out_ << "compared " << done << " registers, " << differing << " differ\n";
    return differing ? KSX_CHECK_FAILED : KSX_OK;
}

int ksx_shell::cmd_check_reset(const args_t& a) {
    const std::vector<ksx_regdb_location> regs = select_regs(a.size() > 1 ? a[1] : "", "", false);
    json_out j;
    j.open('{').key("mismatches").open('[');
    size_t bad = 0, done = 0;
    for (const ksx_regdb_location& loc : regs) {
        const cpp_int reset = ksx_regdb::reset_value(*loc.reg);
        const cpp_int v = read_reg(loc);
        progress("check reset", ++done, regs.size());
        if (v == reset) continue;
        ++bad;
        if (json_) j.open('{').field("name", loc.name()).field("value", csr_hex_text(v)).field("reset", csr_hex_text(reset)).close('}');
        else out_ << "mismatch: " << loc.name() << " = " << csr_hex_text(v) << ", reset " << csr_hex_text(reset) << "\n";
    }
    j.close(']').field("checked", (long long)regs.size()).field("failed", (long long)bad).close('}');
    if (json_) out_ << j.text() << "\n";
    else out_ << "check reset: " << regs.size() << " registers, " << bad << " differ from reset\n";
    return bad ? KSX_CHECK_FAILED : KSX_OK;
}

int ksx_shell::cmd_check_rw(const args_t& a) {
    const std::vector<ksx_regdb_location> regs = select_regs(a.size() > 1 ? a[1] : "", "", false);
    json_out j;
    j.open('{').key("mismatches").open('[');
    size_t bad = 0, tested = 0, done = 0;
    for (const ksx_regdb_location& loc : regs) {
        progress("check rw", ++done, regs.size());
        // Interrupt set/clear registers are aliases of other state, not plain storage.
        const std::string rname = loc.reg->name;
        if (rname.rfind("int_", 0) == 0 && rname.find('.') != std::string::npos) continue;
        cpp_int rw_mask = 0;
        for (const ksx_regdb_field* f : db_.fields(*loc.reg))
            if (f->access == KSX_REGDB_RW) rw_mask |= ((cpp_int(1) << f->width) - 1) << f->lsb;
        if (rw_mask == 0) continue;
        ++tested;
        const cpp_int original = read_reg(loc);
        // Other bits are written as zero: a zero leaves read-only, write-1 and self-clearing bits alone.
        const cpp_int base = original & rw_mask;
        bool reg_bad = false;
        for (const ksx_regdb_field* f : db_.fields(*loc.reg)) {
            if (f->access != KSX_REGDB_RW || reg_bad) continue;
            for (uint32_t b = f->lsb; b < f->lsb + f->width && !reg_bad; ++b) {
                for (int ones = 1; ones >= 0 && !reg_bad; --ones) {
                    cpp_int pattern = base;
                    if (ones) boost::multiprecision::bit_set(pattern, b);
                    else boost::multiprecision::bit_unset(pattern, b);
                    write_reg(loc, pattern);
                    const cpp_int back = read_reg(loc) & rw_mask;
                    if (back == pattern) continue;
                    reg_bad = true;
                    ++bad;
                    if (json_) {
                        j.open('{').field("name", loc.name()).field("field", f->name).field("bit", b);
                        j.field("wrote", csr_hex_text(pattern)).field("read", csr_hex_text(back)).close('}');
                    } else {
                        out_ << "mismatch: " << loc.name() << "." << f->name << " bit " << b << ": wrote "
                             << csr_hex_text(pattern) << ", read " << csr_hex_text(back) << "\n";
                    }
                }
            }
        }
        write_reg(loc, base);  // restore
    }
    j.close(']').field("tested", (long long)tested).field("failed", (long long)bad).close('}');
    if (json_) out_ << j.text() << "\n";
    else out_ << "check rw: " << tested << " registers tested, " << bad << " failed\n";
    return bad ? KSX_CHECK_FAILED : KSX_OK;
}
