#include "apps/ksxcsr/interrupt.h"

#include <csignal>
#include <cstring>

namespace {

volatile std::sig_atomic_t g_pending = 0;

void on_sigint(int) { g_pending = 1; }

}  // namespace

void ksx_interrupt_catch() {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_sigint;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: a wait for input returns, so the line can be abandoned
    sigaction(SIGINT, &sa, nullptr);
}

bool ksx_interrupt_pending() { return g_pending != 0; }

void ksx_interrupt_clear() { g_pending = 0; }
