// AXI transaction database: producer and consumer calls, burst split and collection.
#include "ip/verif/pcpp/axi_xn_db.h"

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <vector>

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/sknobs.h"

namespace {

constexpr uint32_t kNotFound = 0xFFFFFFFF;

std::string hex(const boost::multiprecision::cpp_int& v) {
    std::ostringstream o;
    o << std::hex << v;
    return o.str();
}

std::string hex(uint32_t v) {
    std::ostringstream o;
    o << std::hex << v;
    return o.str();
}

// Removes the first transaction with that id from q and returns it, or an empty pointer.
axi_xn_db::xn_ptr take(std::vector<axi_xn_db::xn_ptr>& q, uint32_t id) {
    auto it = std::find_if(q.begin(), q.end(), [id](const axi_xn_db::xn_ptr& x) { return x && x->context_id == id; });
    if (it == q.end()) return nullptr;
    axi_xn_db::xn_ptr x = *it;
    q.erase(it);
    return x;
}

}  // namespace

std::mutex axi_xn_db::req_mtx;
std::mutex axi_xn_db::rsp_mtx;
std::map<int32_t, std::atomic<axi_xn_db*>> axi_xn_db::_axi_xn_db_inst;
std::mutex axi_xn_db::producer_mtx_;
std::mutex axi_xn_db::inst_mtx_;

axi_xn_db::axi_xn_db(int32_t index) {
    std::lock_guard<std::mutex> lock(inst_mtx_);
    _axi_xn_db_inst[index].store(this, std::memory_order_release);
}

axi_xn_db::~axi_xn_db() = default;

axi_xn_db* axi_xn_db::access(int32_t index) {
    {
        std::lock_guard<std::mutex> lock(inst_mtx_);
        auto it = _axi_xn_db_inst.find(index);
        if (it != _axi_xn_db_inst.end()) {
            axi_xn_db* db = it->second.load(std::memory_order_acquire);
            if (db) return db;
        }
    }
    // Creation is serialised so two first callers share one database.
    static std::mutex create_mtx;
    std::lock_guard<std::mutex> create(create_mtx);
    {
        std::lock_guard<std::mutex> lock(inst_mtx_);
        auto it = _axi_xn_db_inst.find(index);
        if (it != _axi_xn_db_inst.end()) {
            axi_xn_db* db = it->second.load(std::memory_order_acquire);
            if (db) return db;
        }
    }
    // The databases made here live until the process ends, and are freed then (hosts stop
    // their consumer threads before that).
    static std::vector<std::unique_ptr<axi_xn_db>> owned;
    owned.push_back(std::unique_ptr<axi_xn_db>(new axi_xn_db(index)));
    return owned.back().get();
}

std::shared_ptr<axi_attribute_profile_t> axi_xn_db::find_profile_locked(const cpp_int& addr) const {
    for (const auto& p : profiles) {
        if (p && p->covers(addr)) return p;
    }
    return nullptr;
}

uint32_t axi_xn_db::queue_new(const cpp_int& addr, uint16_t size, axi_xn_t::axi_xn_type type,
                              const uint8_t* data, uint32_t flags) {
    std::lock_guard<std::mutex> producer(producer_mtx_);
    auto xn = std::make_shared<axi_xn_t>();
    xn->set_xn_options(addr, size, type);
    if (type == axi_xn_t::AXI_XN_WR) xn->set_data(size, data);
    if (auto p = find_profile_locked(addr))
        xn->set_xn_profile_options(p);
    else
        xn->attr[1] = static_cast<uint8_t>(flags & 0xFF);
    const uint32_t id = xn->context_id;
    std::lock_guard<std::mutex> lock(req_mtx);
    request_db_array.push_back(std::move(xn));
    return id;
}

uint32_t axi_xn_db::nb_read(const cpp_int& addr, uint16_t size, uint32_t flags) {
    return queue_new(addr, size, axi_xn_t::AXI_XN_RD, nullptr, flags);
}

uint32_t axi_xn_db::nb_write(const cpp_int& addr, uint16_t size, const uint8_t* data, uint32_t flags) {
    if (size && !data) {
        plog_err("axi_xn_db::nb_write: no data for " + std::to_string(size) + " bytes at addr = 0x" + hex(addr));
        return kNotFound;
    }
    return queue_new(addr, size, axi_xn_t::AXI_XN_WR, data, flags);
}

uint32_t axi_xn_db::nb_req_xn(const xn_ptr& xn) {
    if (!xn) {
        plog_err("axi_xn_db::nb_req_xn: no transaction given");
        return kNotFound;
    }
    std::lock_guard<std::mutex> lock(req_mtx);
    request_db_array.push_back(xn);
    return xn->context_id;
}

uint32_t axi_xn_db::nb_read_rsp(uint32_t id, uint16_t& size, std::vector<uint8_t>& data, uint8_t& resp) {
    std::lock_guard<std::mutex> lock(rsp_mtx);
    xn_ptr x = take(response_db_array, id);
    if (!x) return kNotFound;
    size = static_cast<uint16_t>(x->data.size());
    data = x->data;
    resp = x->resp;
    return 0;
}

uint32_t axi_xn_db::nb_write_rsp(uint32_t id, uint8_t& resp) {
    std::lock_guard<std::mutex> lock(rsp_mtx);
    xn_ptr x = take(response_db_array, id);
    if (!x) return kNotFound;
    resp = x->resp;
    return 0;
}

uint32_t axi_xn_db::nb_req_status(uint32_t id) {
    std::lock_guard<std::mutex> lock(rsp_mtx);
    return take(response_db_array, id) ? 0 : kNotFound;
}

axi_xn_db::xn_ptr axi_xn_db::pop_response() {
    std::lock_guard<std::mutex> lock(rsp_mtx);
    if (response_db_array.empty()) return nullptr;
    xn_ptr x = response_db_array.front();
    response_db_array.erase(response_db_array.begin());
    return x;
}

size_t axi_xn_db::wait_for_response() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(rsp_mtx);
            if (!response_db_array.empty()) return response_db_array.size();
        }
        usleep(10);
    }
}

void axi_xn_db::flush_all_pending() {
    for (;;) {
        size_t requests, pending;
        {
            std::lock_guard<std::mutex> lock(req_mtx);
            requests = request_db_array.size();
        }
        {
            std::lock_guard<std::mutex> lock(rsp_mtx);
            pending = pending_db_array.size();
        }
        if (requests == 0 && pending == 0) return;
        usleep(10);
    }
}

bool axi_xn_db::issue_chunks(const cpp_int& addr, uint16_t size, axi_xn_t::axi_xn_type type, const uint8_t* data,
                             uint32_t flags, int32_t boundary, std::vector<chunk>& out) {
    if (boundary < 0) {
        plog_err("axi_xn_db: burst boundary must not be negative, boundary = " + std::to_string(boundary));
        return false;
    }
    if (size && !data) {
        plog_err("axi_xn_db: no data buffer for a burst of " + std::to_string(size) + " bytes at addr = 0x" +
                 hex(addr));
        return false;
    }
    const uint32_t b = boundary == 0 ? 4096u : static_cast<uint32_t>(boundary);
    cpp_int a = addr;
    uint32_t offset = 0;
    uint32_t remaining = size;
    while (remaining > 0) {
        const uint32_t low = static_cast<uint32_t>(a & 0xFFFFFFFFu);
        const uint16_t n = static_cast<uint16_t>(std::min(remaining, b - low % b));
        const uint32_t id = type == axi_xn_t::AXI_XN_RD ? nb_read(a, n, flags) : nb_write(a, n, data + offset, flags);
        out.push_back({id, offset, n});
        a += n;
        offset += n;
        remaining -= n;
    }
    return true;
}

bool axi_xn_db::collect_chunks(std::vector<chunk> outstanding, uint8_t* data) {
    bool ok = true;
    while (!outstanding.empty()) {
        {
            std::lock_guard<std::mutex> lock(rsp_mtx);
            for (auto it = response_db_array.begin(); it != response_db_array.end();) {
                const xn_ptr& x = *it;
                auto c = std::find_if(outstanding.begin(), outstanding.end(),
                                      [&x](const chunk& k) { return x && k.id == x->context_id; });
                if (c == outstanding.end()) {
                    ++it;
                    continue;
                }
                if (data) std::copy_n(x->data.begin(), std::min<size_t>(x->data.size(), c->size), data + c->offset);
                if (x->resp >= 2) ok = false;
                outstanding.erase(c);
                it = response_db_array.erase(it);
            }
        }
        if (!outstanding.empty()) usleep(2);
    }
    return ok;
}

bool axi_xn_db::axi_burst_read(const cpp_int& addr, uint16_t size, uint8_t* data, uint32_t flags,
                               int32_t boundary) {
    std::vector<chunk> chunks;
    if (!issue_chunks(addr, size, axi_xn_t::AXI_XN_RD, data, flags, boundary, chunks)) return false;
    return collect_chunks(std::move(chunks), data);
}

bool axi_xn_db::axi_burst_write(const cpp_int& addr, uint16_t size, const uint8_t* data, uint32_t flags,
                                int32_t boundary) {
    std::vector<chunk> chunks;
    if (!issue_chunks(addr, size, axi_xn_t::AXI_XN_WR, data, flags, boundary, chunks)) return false;
    return collect_chunks(std::move(chunks), nullptr);
}

void axi_xn_db::axi_burst_nb_write(const cpp_int& addr, uint16_t size, const uint8_t* data, uint32_t flags,
                                   int32_t boundary) {
    std::vector<chunk> chunks;
    issue_chunks(addr, size, axi_xn_t::AXI_XN_WR, data, flags, boundary, chunks);
}

void axi_xn_db::set_profile(const std::shared_ptr<axi_attribute_profile_t>& profile) {
    if (!profile) {
        plog_err("axi_xn_db::set_profile: no profile given");
        return;
    }
    std::lock_guard<std::mutex> producer(producer_mtx_);
    profiles.push_back(profile);
}

std::shared_ptr<axi_attribute_profile_t> axi_xn_db::find_profile(const cpp_int& addr) {
    std::lock_guard<std::mutex> producer(producer_mtx_);
    return find_profile_locked(addr);
}

uint16_t axi_xn_db::find_rsp_size(uint32_t id) {
    {
        std::lock_guard<std::mutex> lock(rsp_mtx);
        for (const auto& x : pending_db_array) {
            if (x && x->context_id == id) return x->size;
        }
    }
    plog_err("axi_xn_db::find_rsp_size, can not find context_id = 0x" + hex(id));
    return 0;
}

uint32_t axi_xn_db::get_bit_num(uint32_t n) {
    uint32_t bits = 1;
    while (n > 3) {
        n >>= 1;
        ++bits;
    }
    return bits;
}

bool axi_xn_db::is_req_available() {
    std::lock_guard<std::mutex> lock(req_mtx);
    return !request_db_array.empty();
}

axi_xn_db::xn_ptr axi_xn_db::get_next_req() {
    xn_ptr x;
    {
        std::lock_guard<std::mutex> lock(req_mtx);
        if (!request_db_array.empty()) {
            x = request_db_array.front();
            request_db_array.erase(request_db_array.begin());
        }
    }
    if (!x) {
        plog_err("nothing in the request_db_array");
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(rsp_mtx);
    pending_db_array.push_back(x);
    return x;
}

uint32_t axi_xn_db::get_response(uint32_t id, uint8_t resp, const uint8_t* data) {
    std::lock_guard<std::mutex> lock(rsp_mtx);
    auto it = std::find_if(pending_db_array.begin(), pending_db_array.end(),
                           [id](const xn_ptr& x) { return x && x->context_id == id; });
    if (it == pending_db_array.end()) {
        plog_err("get_response::can not find context_id = 0x" + hex(id) + " in pending_db_array");
        return kNotFound;
    }
    xn_ptr x = *it;
    x->resp = resp;
    if (x->type == axi_xn_t::AXI_XN_RD) {
        if (data)
            x->set_data(x->size, data);
        else
            x->data.resize(x->data.size() + x->size, 0);
    }
    response_db_array.push_back(x);
    if (resp >= 2 && sknobs_get_value("axi/axi_rpt_err", 1) != 0) {
        const bool rd = x->type == axi_xn_t::AXI_XN_RD;
        plog_err(std::string(rd ? "AXI_XN_DB_RD: addr = 0x" : "AXI_XN_DB_WR: addr = 0x") + hex(x->address) +
                 ", req_data_size = " + std::to_string(x->size) + (rd ? ", rresp = " : ", bresp = ") +
                 std::to_string(resp));
    }
    pending_db_array.erase(it);
    return 0;
}
