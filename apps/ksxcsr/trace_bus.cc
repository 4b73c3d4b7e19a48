#include "apps/ksxcsr/trace_bus.h"

#include <cstdio>
#include <string>

#include "platform/hal/gl_pal_info.h"

namespace {

std::string h(uint64_t v) {
    char b[24];
    std::snprintf(b, sizeof b, "0x%llx", (unsigned long long)v);
    return b;
}

std::string words_text(const std::vector<uint32_t>& w) {
    std::string s = "[";
    for (size_t i = 0; i < w.size(); ++i) s += (i ? "," : "") + h(w[i]);
    return s + "]";
}

std::string bytes_text(const uint8_t* b, uint32_t n) {
    std::string s = "[";
    char d[4];
    for (uint32_t i = 0; i < n; ++i) {
        std::snprintf(d, sizeof d, "%s%02x", i ? " " : "", unsigned(b[i]));
        s += d;
    }
    return s + "]";
}

}  // namespace

ksx_trace_bus::ksx_trace_bus(cpu_bus_base& inner, std::ostream& out)
    : cpu_bus_base(inner.get_if_name(), inner.get_hier_path()), inner_(inner), out_(out) {}

uint32_t ksx_trace_bus::read(uint32_t chip, uint64_t addr, state s, uint32_t flags) {
    const uint32_t v = inner_.read(chip, addr, s, flags);
    out_ << "trace: read chip=" << chip << " addr=" << h(addr) << " state=" << s << " flags=" << h(flags)
         << " -> " << h(v) << std::endl;
    return v;
}

void ksx_trace_bus::write(uint32_t chip, uint64_t addr, uint32_t data, state s, uint32_t flags) {
    out_ << "trace: write chip=" << chip << " addr=" << h(addr) << " data=" << h(data) << " state=" << s
         << " flags=" << h(flags) << std::endl;
    inner_.write(chip, addr, data, s, flags);
}

void ksx_trace_bus::block_write(uint32_t chip, uint64_t addr, int32_t count, const std::vector<uint32_t>& data,
                                state s, uint32_t flags) {
    out_ << "trace: block_write chip=" << chip << " addr=" << h(addr) << " count=" << count
         << " data=" << words_text(data) << " state=" << s << " flags=" << h(flags) << std::endl;
    inner_.block_write(chip, addr, count, data, s, flags);
}

std::vector<uint32_t> ksx_trace_bus::block_read(uint32_t chip, uint64_t addr, int32_t count, state s,
                                                uint32_t flags) {
    std::vector<uint32_t> v = inner_.block_read(chip, addr, count, s, flags);
    out_ << "trace: block_read chip=" << chip << " addr=" << h(addr) << " count=" << count << " state=" << s
         << " flags=" << h(flags) << " -> " << words_text(v) << std::endl;
    return v;
}

bool ksx_trace_bus::burst_write(uint32_t chip, uint64_t addr, uint32_t len, const uint8_t* buf, state s,
                                uint32_t flags, bool reverse) {
    out_ << "trace: burst_write chip=" << chip << " addr=" << h(addr) << " len=" << len
         << " data=" << bytes_text(buf, len) << " state=" << s << " flags=" << h(flags) << " reverse=" << reverse
         << std::endl;
    return inner_.burst_write(chip, addr, len, buf, s, flags, reverse);
}

bool ksx_trace_bus::burst_read(uint32_t chip, uint64_t addr, uint32_t len, uint8_t* buf, state s, uint32_t flags,
                               bool reverse) {
    const bool ok = inner_.burst_read(chip, addr, len, buf, s, flags, reverse);
    out_ << "trace: burst_read chip=" << chip << " addr=" << h(addr) << " len=" << len << " state=" << s
         << " flags=" << h(flags) << " reverse=" << reverse << " -> " << bytes_text(buf, len) << std::endl;
    return ok;
}

void ksx_trace_bus::flush_all_pending() {
    out_ << "trace: flush_all_pending" << std::endl;
    inner_.flush_all_pending();
}

namespace {
std::ostream* pal_out = nullptr;
sdk::lib::pal_reg_fn pal_read = nullptr;
sdk::lib::pal_reg_fn pal_write = nullptr;

int traced_pal_read(uint64_t addr, uint32_t* data, uint32_t count) {
    const int rc = pal_read(addr, data, count);
    *pal_out << "trace: pal_read addr=" << h(addr) << " count=" << count << " -> "
             << words_text(std::vector<uint32_t>(data, data + (data ? count : 0))) << " rc=" << rc << std::endl;
    return rc;
}

int traced_pal_write(uint64_t addr, uint32_t* data, uint32_t count) {
    *pal_out << "trace: pal_write addr=" << h(addr) << " count=" << count
             << " data=" << words_text(std::vector<uint32_t>(data, data + (data ? count : 0))) << std::endl;
    return pal_write(addr, data, count);
}
}  // namespace

void ksx_trace_pal(std::ostream& out) {
    if (pal_out) return;
    pal_out = &out;
    pal_read = sdk::lib::gl_pal_info.reg_read;
    pal_write = sdk::lib::gl_pal_info.reg_write;
    sdk::lib::gl_pal_info.reg_read = traced_pal_read;
    sdk::lib::gl_pal_info.reg_write = traced_pal_write;
}
