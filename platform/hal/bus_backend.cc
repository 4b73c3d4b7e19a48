#include "platform/hal/bus_backend.h"

#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/mmap_backend.h"
#include "platform/hal/sknobs.h"
#include "platform/sim/sim_bus_backend.h"

namespace {

std::shared_ptr<ksx_bus_backend>& platform_backend()
{
    static std::shared_ptr<ksx_bus_backend> backend;
    return backend;
}

}  // namespace

std::shared_ptr<ksx_bus_backend> ksx_make_bus_backend()
{
    const std::string kind = sknobs_get_string("cpu_hal_if/backend", "sim");
    if (kind == "mmap") {
        return std::make_shared<ksx_mmap_backend>(sknobs_get_string("cpu_hal_if/mmap_path", ""),
                                                  sknobs_get_value("cpu_hal_if/mmap_offset", 0),
                                                  sknobs_get_value("cpu_hal_if/mmap_base", 0),
                                                  sknobs_get_value("cpu_hal_if/mmap_size", 0),
                                                  uint32_t(sknobs_get_value("cpu_hal_if/mmap_chip", 0)));
    }
    if (kind != "sim")
        plog_err("cpu_hal_if: unknown backend \"" + kind + "\" in cpu_hal_if/backend (sim or mmap); using sim");
    return std::make_shared<ksx_sim_bus_backend>();
}

std::shared_ptr<ksx_bus_backend> ksx_platform_backend()
{
    auto& b = platform_backend();
    if (!b) b = ksx_make_bus_backend();
    return b;
}

void ksx_set_platform_backend(std::shared_ptr<ksx_bus_backend> backend) { platform_backend() = std::move(backend); }
