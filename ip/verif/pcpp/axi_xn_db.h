// AXI transaction database: queues of transactions between producers (the access path) and
// one consumer thread that performs them on an AXI bus, one database per agent index.
//
// A transaction moves request -> pending -> response. Producers queue requests (nb_read,
// nb_write, the bursts) and collect completed ones; the consumer takes the oldest request
// (get_next_req) and completes it (get_response). The class-wide mutexes req_mtx (request
// queue) and rsp_mtx (pending and response queues) are shared by all databases and are
// never held together. Waits poll with short sleeps and have no time-out.
#pragma once

#include <boost/multiprecision/cpp_int.hpp>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "ip/verif/pcpp/axi_attribute_profile_t.h"
#include "ip/verif/pcpp/axi_xn_t.h"

/// One transaction database (one per agent index).
class axi_xn_db {
public:
    using cpp_int = boost::multiprecision::cpp_int;
    using xn_ptr = std::shared_ptr<axi_xn_t>;

    /// Creates a database and stores it in the instance table under index (replacing any
    /// earlier entry).
    explicit axi_xn_db(int32_t index);
    /// Does not remove the database from the instance table.
    virtual ~axi_xn_db();

    /// The database of an agent index, created on first use.
    static axi_xn_db* access(int32_t index);

    // ---- producer side -------------------------------------------------------------------
    /// Queues a read of size bytes; returns its context id without waiting.
    uint32_t nb_read(const cpp_int& addr, uint16_t size, uint32_t flags);
    /// Queues a write of the first size bytes of data; returns its context id without waiting.
    uint32_t nb_write(const cpp_int& addr, uint16_t size, const uint8_t* data, uint32_t flags);
    /// Queues a transaction the host built itself; returns its context id.
    uint32_t nb_req_xn(const xn_ptr& xn);
    /// Collects a completed read: size, data and response; 0, or 0xFFFFFFFF while not completed.
    uint32_t nb_read_rsp(uint32_t id, uint16_t& size, std::vector<uint8_t>& data, uint8_t& resp);
    /// Collects a completed write's response; 0, or 0xFFFFFFFF while not completed.
    uint32_t nb_write_rsp(uint32_t id, uint8_t& resp);
    /// Collects a completed transaction; 0, or 0xFFFFFFFF while not completed.
    uint32_t nb_req_status(uint32_t id);
    /// Removes and returns the oldest completed transaction, or an empty pointer.
    xn_ptr pop_response();
    /// Waits until a completed transaction is available; returns how many are.
    size_t wait_for_response();
    /// Waits until no request is queued or pending (completed ones do not hold it up).
    void flush_all_pending();
    /// Reads size bytes as chunks that do not cross a multiple of boundary (0 means 4096) and
    /// waits for all of them; true when every chunk answered below 2. The bytes are filled
    /// whatever the responses.
    bool axi_burst_read(const cpp_int& addr, uint16_t size, uint8_t* data, uint32_t flags, int32_t boundary);
    /// Writes size bytes in chunks as axi_burst_read and waits for their responses; true when
    /// every chunk answered below 2.
    bool axi_burst_write(const cpp_int& addr, uint16_t size, const uint8_t* data, uint32_t flags,
                         int32_t boundary);
    /// Queues the chunk writes of a burst and returns without collecting anything.
    void axi_burst_nb_write(const cpp_int& addr, uint16_t size, const uint8_t* data, uint32_t flags,
                            int32_t boundary);
    /// Appends an attribute profile.
    void set_profile(const std::shared_ptr<axi_attribute_profile_t>& profile);
    /// The first profile, in the order added, whose range contains addr; or an empty pointer.
    std::shared_ptr<axi_attribute_profile_t> find_profile(const cpp_int& addr);
    /// Size of the pending transaction with that id; reports and returns 0 when none is pending.
    uint16_t find_rsp_size(uint32_t id);
    /// 1 for n <= 3, else 1 plus the halvings that bring n to 3 or less (log2 n for powers of two).
    static uint32_t get_bit_num(uint32_t n);

    // ---- consumer side -------------------------------------------------------------------
    /// Whether a request is waiting.
    bool is_req_available();
    /// Moves the oldest request to the pending queue and returns it; reports on an empty queue.
    xn_ptr get_next_req();
    /// Completes the pending transaction id with a response code (and size bytes of data for a
    /// read); 0, or 0xFFFFFFFF (reported) when no such transaction is pending.
    uint32_t get_response(uint32_t id, uint8_t resp, const uint8_t* data);

    /// Attribute profiles, in the order added (guarded by the producer lock).
    std::vector<std::shared_ptr<axi_attribute_profile_t>> profiles;
    /// Transactions waiting for the consumer, oldest first (guarded by req_mtx).
    std::vector<xn_ptr> request_db_array;
    /// Completed transactions, in completion order (guarded by rsp_mtx).
    std::vector<xn_ptr> response_db_array;
    /// Transactions taken by the consumer and not yet completed (guarded by rsp_mtx).
    std::vector<xn_ptr> pending_db_array;

    /// Guards request_db_array of every database.
    static std::mutex req_mtx;
    /// Guards response_db_array and pending_db_array of every database.
    static std::mutex rsp_mtx;
    /// Every database by agent index.
    static std::map<int32_t, std::atomic<axi_xn_db*>> _axi_xn_db_inst;

private:
    /// Creates, fills and queues one transaction; the producer lock keeps ids in queue order.
    uint32_t queue_new(const cpp_int& addr, uint16_t size, axi_xn_t::axi_xn_type type, const uint8_t* data,
                       uint32_t flags);
    std::shared_ptr<axi_attribute_profile_t> find_profile_locked(const cpp_int& addr) const;
    /// Queues the chunks of a burst; returns (context id, offset, size) of each, or false on a
    /// bad boundary.
    struct chunk {
        uint32_t id;
        uint32_t offset;
        uint16_t size;
    };
    bool issue_chunks(const cpp_int& addr, uint16_t size, axi_xn_t::axi_xn_type type, const uint8_t* data,
                      uint32_t flags, int32_t boundary, std::vector<chunk>& out);
    /// Waits for every chunk; copies read data into data when given. True when all answered below 2.
    bool collect_chunks(std::vector<chunk> chunks, uint8_t* data);

    /// Serialises transaction creation with queueing (and profile changes), so the request
    /// queues receive context ids in increasing order. Taken before req_mtx, never with rsp_mtx.
    static std::mutex producer_mtx_;
    /// Guards the instance table.
    static std::mutex inst_mtx_;
};
