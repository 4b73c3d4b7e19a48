// Process-wide registry of host handles, created once under its class mutex.
#include "ip/verif/pcpp/DPIRegistry.h"

std::mutex DPIRegistry::m_;
std::atomic<DPIRegistry*> DPIRegistry::pinstance{nullptr};

DPIRegistry* DPIRegistry::access() {
    DPIRegistry* p = pinstance.load(std::memory_order_acquire);
    if (p) return p;
    std::lock_guard<std::mutex> lock(m_);
    p = pinstance.load(std::memory_order_acquire);
    if (!p) {
        p = new DPIRegistry();
        pinstance.store(p, std::memory_order_release);
    }
    return p;
}
