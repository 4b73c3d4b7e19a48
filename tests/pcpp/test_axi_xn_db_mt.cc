// AXI transaction database under concurrent producers and a real consumer thread: context
// ids stay strictly increasing by one in queue order, nothing is lost, nothing deadlocks.
//
// Every scenario runs under a watchdog: a hang fails the program instead of blocking the run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <set>
#include <thread>
#include <vector>

#include "ip/verif/pcpp/axi_xn_db.h"
#include "ip/verif/pcpp/axi_xn_server.h"
#include "ip/verif/pcpp/cpu_bus_axidb.h"
#include "tests/support/recording_bus.h"

namespace {

constexpr auto kWatchdog = std::chrono::seconds(120);

// Runs body on a thread of its own; aborts the program when it does not finish in time
// (threads stuck in a deadlock cannot be joined).
void with_watchdog(const char* what, const std::function<void()>& body) {
    std::packaged_task<void()> task(body);
    auto done = task.get_future();
    std::thread t(std::move(task));
    if (done.wait_for(kWatchdog) != std::future_status::ready) {
        std::fprintf(stderr, "%s: no progress after %lld s, giving up\n", what,
                     static_cast<long long>(kWatchdog.count()));
        std::abort();
    }
    t.join();
    done.get();
}

}  // namespace

TEST(AxiXnDbMt, ProducersThroughOneConsumerKeepIdsInOrder) {
    with_watchdog("producers", [] {
        constexpr int kProducers = 8;
        constexpr int kWrites = 400;
        recording_bus target;
        axi_xn_server server(401, target, 0);
        axi_xn_db* db = axi_xn_db::access(401);
        server.start();

        std::vector<std::thread> producers;
        for (int p = 0; p < kProducers; ++p) {
            producers.emplace_back([db, p] {
                for (int i = 0; i < kWrites; ++i) {
                    const uint32_t value = static_cast<uint32_t>(p << 16 | i);
                    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
                    db->nb_write(0x100000u * static_cast<uint32_t>(p) + 4u * static_cast<uint32_t>(i), 4, bytes, 0);
                }
            });
        }
        for (auto& t : producers) t.join();
        db->flush_all_pending();
        server.stop();

        // Completion order is the consumer's order, which is the queue order.
        std::vector<uint32_t> ids;
        while (auto x = db->pop_response()) {
            EXPECT_EQ(x->resp, 0);
            ids.push_back(x->context_id);
        }
        ASSERT_EQ(ids.size(), static_cast<size_t>(kProducers * kWrites));
        for (size_t i = 1; i < ids.size(); ++i) ASSERT_EQ(ids[i], ids[i - 1] + 1) << i;
        EXPECT_EQ(server.served(), ids.size());
        for (int p = 0; p < kProducers; ++p) {
            for (int i = 0; i < kWrites; ++i) {
                ASSERT_EQ(target.peek(0, 0x100000u * static_cast<uint32_t>(p) + 4u * static_cast<uint32_t>(i)),
                          static_cast<uint32_t>(p << 16 | i));
            }
        }
    });
}

TEST(AxiXnDbMt, DispatcherAccessesFromManyThreads) {
    with_watchdog("dispatcher", [] {
        constexpr int kThreads = 6;
        constexpr int kRounds = 60;
        recording_bus target;
        axi_xn_server server(402, target, 0);
        server.start();
        cpu_bus_axidb axi("axi", "top.axi");
        axi.set_agt_idx(402);
        bus_registration reg(axi);
        cpu* c = cpu::access();
        c->set_access_type(FRONT_DOOR);

        std::vector<std::thread> threads;
        std::vector<int> mismatches(kThreads, 0);
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([c, t, &mismatches] {
                const uint64_t base = 0x1000000ull * static_cast<uint64_t>(t + 1);
                for (int r = 0; r < kRounds; ++r) {
                    const uint32_t v = static_cast<uint32_t>(t * 1000 + r);
                    c->write(0, base, v, true, 1);
                    c->block_write(0, base + 0x3c, 3, {v, v + 1, v + 2}, false, 0);
                    // Reads flush every outstanding request first, so they see the writes above.
                    if (c->read(0, base, true, 1) != v) ++mismatches[t];
                    if (c->block_read(0, base + 0x3c, 3, false, 0) != std::vector<uint32_t>{v, v + 1, v + 2})
                        ++mismatches[t];
                }
            });
        }
        for (auto& t : threads) t.join();
        c->flush_all_pending();
        server.stop();
        for (int t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << t;

        // Posted writes (a word and two block chunks per round) wait for collection.
        axi_xn_db* db = axi_xn_db::access(402);
        size_t posted = 0;
        std::set<uint32_t> ids;
        while (auto x = db->pop_response()) {
            ++posted;
            ids.insert(x->context_id);
        }
        EXPECT_EQ(posted, static_cast<size_t>(kThreads * kRounds * 3));
        EXPECT_EQ(ids.size(), posted);
    });
}

TEST(AxiXnDbMt, FirstAccessFromManyThreadsCreatesOneDatabase) {
    with_watchdog("instances", [] {
        std::vector<std::thread> threads;
        std::vector<axi_xn_db*> seen(16, nullptr);
        for (int i = 0; i < 16; ++i) threads.emplace_back([&seen, i] { seen[i] = axi_xn_db::access(403 + i % 2); });
        for (auto& t : threads) t.join();
        for (int i = 0; i < 16; ++i) EXPECT_EQ(seen[i], axi_xn_db::access(403 + i % 2)) << i;
        EXPECT_NE(seen[0], seen[1]);
    });
}
