// Transaction consumer: performs queued AXI transactions on a bus interface.
#include "ip/verif/pcpp/axi_xn_server.h"

#include <unistd.h>

#include <vector>

#include "ip/verif/pcpp/logmsg.h"

axi_xn_server::axi_xn_server(int32_t agt_idx, cpu_bus_base& bus, uint32_t chip)
    : db_(axi_xn_db::access(agt_idx)), bus_(bus), chip_(chip) {}

axi_xn_server::~axi_xn_server() { stop(); }

void axi_xn_server::start() {
    if (running_.exchange(true)) return;
    thread_ = std::thread([this] { run(); });
}

void axi_xn_server::stop() {
    running_.store(false);
    if (thread_.joinable()) thread_.join();
}

void axi_xn_server::run() {
    while (running_.load()) {
        if (!serve_one()) usleep(1);
    }
}

bool axi_xn_server::serve_one() {
    if (!db_->is_req_available()) return false;
    axi_xn_db::xn_ptr xn = db_->get_next_req();
    if (!xn) return false;
    std::vector<uint8_t> rd;
    const uint8_t resp = perform(*xn, rd);
    db_->get_response(xn->context_id, resp, rd.empty() ? nullptr : rd.data());
    served_.fetch_add(1, std::memory_order_relaxed);
    return true;
}

uint8_t axi_xn_server::perform(axi_xn_t& xn, std::vector<uint8_t>& rd) {
    const uint64_t addr = static_cast<uint64_t>(xn.address & 0xFFFFFFFFFFFFFFFFull);
    const uint32_t flags = xn.attr[1];
    const uint32_t size = xn.size;
    const bool words = size % 4 == 0 && addr % 4 == 0 && size > 0;
    if (xn.type == axi_xn_t::AXI_XN_RD) {
        rd.assign(size, 0);
        if (words && size == 4) {
            const uint32_t w = bus_.read(chip_, addr, FRONT_DOOR, flags);
            for (uint32_t b = 0; b < 4; ++b) rd[b] = static_cast<uint8_t>(w >> (8 * b));
        } else if (words) {
            const std::vector<uint32_t> ws = bus_.block_read(chip_, addr, static_cast<int32_t>(size / 4), FRONT_DOOR, flags);
            for (uint32_t i = 0; i < size; ++i) rd[i] = i / 4 < ws.size() ? static_cast<uint8_t>(ws[i / 4] >> (8 * (i % 4))) : 0;
        } else if (size > 0 && !bus_.burst_read(chip_, addr, size, rd.data(), FRONT_DOOR, flags, false)) {
            return 2;
        }
        return 0;
    }
    if (xn.data.size() < size) {
        plog_err("axi_xn_server: write of " + std::to_string(size) + " bytes carries " +
                 std::to_string(xn.data.size()) + " bytes, context_id = " + std::to_string(xn.context_id));
        return 2;
    }
    if (words && size == 4) {
        uint32_t w = 0;
        for (uint32_t b = 0; b < 4; ++b) w |= static_cast<uint32_t>(xn.data[b]) << (8 * b);
        bus_.write(chip_, addr, w, FRONT_DOOR, flags);
    } else if (words) {
        std::vector<uint32_t> ws(size / 4, 0);
        for (uint32_t i = 0; i < size; ++i) ws[i / 4] |= static_cast<uint32_t>(xn.data[i]) << (8 * (i % 4));
        bus_.block_write(chip_, addr, static_cast<int32_t>(ws.size()), ws, FRONT_DOOR, flags);
    } else if (size > 0 && !bus_.burst_write(chip_, addr, size, xn.data.data(), FRONT_DOOR, flags, false)) {
        return 2;
    }
    return 0;
}
