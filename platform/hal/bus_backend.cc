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
