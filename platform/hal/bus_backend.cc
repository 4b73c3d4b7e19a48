#include "platform/hal/bus_backend.h"

#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/csr_value_text.h"
#include "platform/hal/mmap_backend.h"
#include "platform/hal/sknobs.h"
#include "platform/sim/sim_bus_backend.h"

namespace {

bool& log_refusals()
{
    static bool on = true;
    return on;
}

std::shared_ptr<ksx_bus_backend>& platform_backend()
{
    static std::shared_ptr<ksx_bus_backend> backend;
    return backend;
}

/// What stands in for a backend the knobs ask for but that cannot be built: it serves no
/// address, so no access silently lands anywhere else.
class refused_backend : public ksx_bus_backend {
public:
    explicit refused_backend(std::string why) : why_(std::move(why)) { ksx_bus_backend_report_refusal(why_); }
    std::string describe() const override { return "none (" + why_ + ")"; }
    bool ok() const override { return false; }
    std::string error() const override { return why_; }
    bool in_window(uint32_t, uint64_t, uint64_t) const override { return false; }
    uint32_t read_word(uint32_t, uint64_t) override { return 0xdeadbeef; }
    void write_word(uint32_t, uint64_t, uint32_t, uint32_t) override {}

private:
    std::string why_;
};

/// A numeric knob of the mmap backend; false with why set when its text is not a number
/// that fits 64 bits.
bool mmap_knob(const char* key, uint64_t& value, std::string& why)
{
    value = 0;
    if (!sknobs_exists(key)) return true;
    const std::string text = sknobs_get_string(key, "");
    if (csr_parse_u64(text, value)) return true;
    why = std::string("bad ") + key + " '" + text.substr(0, 80) +
          "': expected a decimal, 0x hexadecimal or 0-prefixed octal number of at most 64 bits";
    return false;
}

}  // namespace

void ksx_bus_backend_log_refusals(bool on) { log_refusals() = on; }

void ksx_bus_backend_report_refusal(const std::string& why)
{
    if (log_refusals()) plog_err("cpu_hal_if: " + why);
}

std::string ksx_choose_bus_backend(const std::string& choice)
{
    if (choice == "sim") {
        sknobs_set_string("cpu_hal_if/backend", "sim");
        return {};
    }
    const std::string clipped = choice.substr(0, 80);
    if (choice.rfind("mmap:", 0) != 0) return "bad backend '" + clipped + "': expected sim or mmap:PATH[@BASE[,SIZE]]";
    std::string rest = choice.substr(5), path = rest, base, size;
    const size_t at = rest.rfind('@');
    if (at != std::string::npos) {
        path = rest.substr(0, at);
        const std::string tail = rest.substr(at + 1);
        const size_t comma = tail.find(',');
        base = tail.substr(0, comma);
        if (comma != std::string::npos) size = tail.substr(comma + 1);
    }
    if (path.empty()) return "bad backend '" + clipped + "': no path";
    uint64_t unused;
    if (at != std::string::npos && !csr_parse_u64(base, unused))
        return "bad backend base '" + base.substr(0, 80) + "': expected a number of at most 64 bits";
    if (!size.empty() && !csr_parse_u64(size, unused))
        return "bad backend size '" + size.substr(0, 80) + "': expected a number of at most 64 bits";
    sknobs_set_string("cpu_hal_if/backend", "mmap");
    sknobs_set_string("cpu_hal_if/mmap_path", path.c_str());
    if (!base.empty()) sknobs_set_string("cpu_hal_if/mmap_base", base.c_str());
    if (!size.empty()) sknobs_set_string("cpu_hal_if/mmap_size", size.c_str());
    return {};
}

std::shared_ptr<ksx_bus_backend> ksx_make_bus_backend()
{
    const std::string kind = sknobs_get_string("cpu_hal_if/backend", "sim");
    if (kind == "sim") return std::make_shared<ksx_sim_bus_backend>();
    if (kind != "mmap")
        return std::make_shared<refused_backend>("unknown backend \"" + kind.substr(0, 80) +
                                                 "\" in cpu_hal_if/backend (sim or mmap)");
    uint64_t offset, base, size, chip;
    std::string why;
    if (!mmap_knob("cpu_hal_if/mmap_offset", offset, why) || !mmap_knob("cpu_hal_if/mmap_base", base, why) ||
        !mmap_knob("cpu_hal_if/mmap_size", size, why) || !mmap_knob("cpu_hal_if/mmap_chip", chip, why))
        return std::make_shared<refused_backend>(why);
    if (chip > UINT32_MAX) return std::make_shared<refused_backend>("bad cpu_hal_if/mmap_chip: more than 32 bits");
    return std::make_shared<ksx_mmap_backend>(sknobs_get_string("cpu_hal_if/mmap_path", ""), offset, base, size,
                                              uint32_t(chip));
}

std::shared_ptr<ksx_bus_backend> ksx_platform_backend()
{
    auto& b = platform_backend();
    if (!b) b = ksx_make_bus_backend();
    return b;
}

void ksx_set_platform_backend(std::shared_ptr<ksx_bus_backend> backend) { platform_backend() = std::move(backend); }
