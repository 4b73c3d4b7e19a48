// A consumer of a transaction database: takes requests and performs them on a bus
// interface, from its own thread or one request at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "ip/verif/pcpp/axi_xn_db.h"
#include "ip/verif/pcpp/cpu.h"

/// Serves the requests of one agent's transaction database against a bus interface.
///
/// Each request becomes one bus access on the given chip, with FRONT_DOOR and the
/// transaction's attribute byte 1 as flags: 4 bytes at a 4-byte aligned address as a word
/// access, other whole words at an aligned address as a block access, anything else as a
/// burst at any address and length (byte i of the transaction is the byte at address + i,
/// as the platform interface's bursts define it). Bytes travel little-endian within words,
/// so a transaction reads back the same whichever of the three accesses carried it. The
/// response is 0 (OKAY), or 2 (SLVERR) when the bus refuses a burst.
///
/// The bus must not be the dispatcher's route back into the same database.
class axi_xn_server {
public:
    axi_xn_server(int32_t agt_idx, cpu_bus_base& bus, uint32_t chip = 0);
    /// Stops the thread if it runs.
    ~axi_xn_server();
    axi_xn_server(const axi_xn_server&) = delete;
    axi_xn_server& operator=(const axi_xn_server&) = delete;

    /// Starts serving from a thread of its own (does nothing when already running).
    void start();
    /// Stops the thread after the request in hand; requests still queued stay queued.
    void stop();
    /// Serves one request when one is waiting; returns whether it did.
    bool serve_one();
    /// Number of requests completed so far.
    uint64_t served() const { return served_.load(std::memory_order_relaxed); }

private:
    void run();
    /// Performs a transaction on the bus; returns the response code and fills read data.
    uint8_t perform(axi_xn_t& xn, std::vector<uint8_t>& rd);

    axi_xn_db* db_;
    cpu_bus_base& bus_;
    uint32_t chip_;
    std::atomic<bool> running_{false};
    std::atomic<uint64_t> served_{0};
    std::thread thread_;
};
