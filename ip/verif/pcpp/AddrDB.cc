// Process-wide address database, created once under its class mutex.
#include "ip/verif/pcpp/AddrDB.h"

#include <iostream>

std::mutex AddrDB::m_;
std::atomic<AddrDB*> AddrDB::pinstance{nullptr};

AddrDB::AddrDB() : map_(11) {
    map_.max_load_factor(1.0f);
    std::cout << "AddrDB init done" << std::endl;
}

AddrDB* AddrDB::access() {
    AddrDB* p = pinstance.load(std::memory_order_acquire);
    if (p) return p;
    std::lock_guard<std::mutex> lock(m_);
    p = pinstance.load(std::memory_order_acquire);
    if (!p) {
        p = new AddrDB();
        pinstance.store(p, std::memory_order_release);
    }
    return p;
}
