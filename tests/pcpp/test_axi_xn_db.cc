// AXI transaction database: burst split, queue movement, error responses and their knob,
// attribute profiles, the database bus interface and the host singletons.
//
// Databases live for the whole process, so each test uses an agent index of its own.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ip/verif/pcpp/AddrDB.h"
#include "ip/verif/pcpp/DPIRegistry.h"
#include "ip/verif/pcpp/axi_xn_db.h"
#include "ip/verif/pcpp/axi_xn_server.h"
#include "ip/verif/pcpp/cpu_bus_axidb.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/recording_bus.h"

namespace {

using strings = std::vector<std::string>;
using bytes = std::vector<uint8_t>;

// What a consumer saw of one request.
struct seen_xn {
    uint32_t id;
    uint64_t addr;
    uint16_t size;
    int type;
    bytes data;
    uint8_t attr1;
};

// A consumer thread that completes exactly n requests of db, each answered by answer(),
// which returns the response code and fills the read data.
class scripted_consumer {
public:
    using answer_fn = std::function<uint8_t(const axi_xn_t&, bytes&)>;
    scripted_consumer(axi_xn_db* db, size_t n, answer_fn answer)
        : thread_([this, db, n, answer] {
              while (seen_.size() < n) {
                  if (!db->is_req_available()) {
                      std::this_thread::yield();
                      continue;
                  }
                  auto xn = db->get_next_req();
                  bytes rd(xn->type == axi_xn_t::AXI_XN_RD ? xn->size : 0, 0);
                  const uint8_t resp = answer(*xn, rd);
                  seen_.push_back({xn->context_id, static_cast<uint64_t>(xn->address), xn->size, xn->type, xn->data,
                                   xn->attr[1]});
                  db->get_response(xn->context_id, resp, rd.data());
              }
          }) {}
    ~scripted_consumer() { join(); }
    /// Waits until all n requests were served and returns what was seen.
    const std::vector<seen_xn>& join() {
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    std::vector<seen_xn> seen_;
    std::thread thread_;
};

// Read data: byte i of a chunk is the low byte of its address + i.
uint8_t answer_address_bytes(const axi_xn_t& xn, bytes& rd) {
    for (size_t i = 0; i < rd.size(); ++i) rd[i] = static_cast<uint8_t>(static_cast<uint64_t>(xn.address) + i);
    return 0;
}

// (address, size) of every queued request, without taking them.
std::vector<std::pair<uint64_t, uint16_t>> queued(axi_xn_db* db) {
    std::lock_guard<std::mutex> lock(axi_xn_db::req_mtx);
    std::vector<std::pair<uint64_t, uint16_t>> out;
    for (const auto& x : db->request_db_array) out.emplace_back(static_cast<uint64_t>(x->address), x->size);
    return out;
}

// Takes every queued request and completes it with OKAY.
void complete_all(axi_xn_db* db) {
    while (db->is_req_available()) {
        auto x = db->get_next_req();
        bytes rd(x->size, 0);
        db->get_response(x->context_id, 0, rd.data());
    }
}

std::string hex(uint32_t v) {
    std::ostringstream o;
    o << std::hex << v;
    return o.str();
}

// A target that has word and block accesses only: bursts are refused by the base class.
class words_only_bus : public cpu_bus_base {
public:
    words_only_bus() : cpu_bus_base("words", "top.words") {}
    uint32_t read(uint32_t, uint64_t, state, uint32_t) override { return 0; }
    void write(uint32_t, uint64_t, uint32_t, state, uint32_t) override {}
    void block_write(uint32_t, uint64_t, int32_t, const std::vector<uint32_t>&, state, uint32_t) override {}
    std::vector<uint32_t> block_read(uint32_t, uint64_t, int32_t count, state, uint32_t) override {
        return std::vector<uint32_t>(static_cast<size_t>(count), 0);
    }
};

std::shared_ptr<axi_attribute_profile_t> profile(uint64_t start, uint64_t end, uint16_t number, bytes attr = {}) {
    auto p = std::make_shared<axi_attribute_profile_t>();
    p->start_addr = start;
    p->end_addr = end;
    std::copy(attr.begin(), attr.end(), p->attr);
    p->profile = number;
    return p;
}

bytes counting(size_t n) {
    bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i);
    return b;
}

}  // namespace

TEST(AxiXnDbDeathTest, FirstTransactionOfTheProcessHasContextIdZero) {
    // A fresh process means re-executing this program, which an emulated target cannot do.
    if (std::getenv("KSX_EMULATED") != nullptr) GTEST_SKIP() << "re-executing the test program needs a native host";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            axi_xn_t a;
            axi_xn_t b;
            a.set_xn_options(0x10, 4, axi_xn_t::AXI_XN_RD);
            b.set_xn_options(0x10, 4, axi_xn_t::AXI_XN_RD);
            std::_Exit(a.context_id == 0 && b.context_id == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(AxiXnT, DefaultsOptionsAndData) {
    axi_xn_t x;
    const uint32_t before = axi_xn_t::cur_context_id.load();
    x.set_xn_options(boost::multiprecision::cpp_int("0x123456789abcdef00"), 8, axi_xn_t::AXI_XN_WR);
    EXPECT_EQ(x.context_id, before);
    EXPECT_EQ(axi_xn_t::cur_context_id.load(), before + 1);

    x.set_xn_directed_options(5, 0, 1, 2, 3, 4, 5, 6);
    x.set_xn_profile_options(profile(0, 0, 0x1234, {0xa0, 0xff, 0xff, 0xa3}));
    // A profile's unset (0xff) attributes leave the directed ones in place.
    EXPECT_EQ(bytes(x.attr, x.attr + 7), (bytes{0xa0, 0xff, 0xff, 0xa3, 4, 5, 6}));

    const uint8_t d[5] = {1, 2, 3, 4, 5};
    x.set_data(3, d);
    x.set_data(2, d + 3);
    EXPECT_EQ(x.data, (bytes{1, 2, 3, 4, 5}));
    uint8_t out[5] = {};
    log_capture cap;
    x.get_data(4, out);
    EXPECT_EQ(out[0], 0);
    x.get_data(5, out);
    EXPECT_EQ(bytes(out, out + 5), x.data);
    EXPECT_EQ(cap.messages(), (strings{"ERROR :: size is not matching with avail data, skip further process"}));
}

TEST(AxiXnDb, InstancesAndBitNumbers) {
    EXPECT_NE(axi_xn_db::access(301), axi_xn_db::access(302));
    // A database constructed by hand replaces the entry (index 301 is not used after this).
    const std::unique_ptr<axi_xn_db> replacement(new axi_xn_db(301));
    EXPECT_EQ(axi_xn_db::access(301), replacement.get());

    const std::pair<uint32_t, uint32_t> bits[] = {{0, 1}, {1, 1}, {3, 1}, {4, 2}, {7, 2}, {8, 3}, {4096, 12}, {0xFFFFFFFF, 31}};
    for (auto [n, b] : bits) EXPECT_EQ(axi_xn_db::get_bit_num(n), b) << n;
}

TEST(AxiXnDb, BurstSplitAtBoundary) {
    axi_xn_db* db = axi_xn_db::access(303);
    const bytes data = counting(300);

    db->axi_burst_nb_write(0x30, 100, data.data(), 0, 64);
    EXPECT_EQ(queued(db), (std::vector<std::pair<uint64_t, uint16_t>>{{0x30, 16}, {0x40, 64}, {0x80, 20}}));
    {
        std::lock_guard<std::mutex> lock(axi_xn_db::req_mtx);
        EXPECT_EQ(db->request_db_array[1]->data, bytes(data.begin() + 16, data.begin() + 80));
        EXPECT_EQ(db->request_db_array[2]->data, bytes(data.begin() + 80, data.begin() + 100));
        EXPECT_EQ(db->request_db_array[1]->context_id, db->request_db_array[0]->context_id + 1);
    }
    complete_all(db);

    // Boundary 0 means 4096; only the low 32 bits of the address decide where to split.
    db->axi_burst_nb_write(0xff0, 0x30, data.data(), 0, 0);
    db->axi_burst_nb_write(0x100000ff0ull, 0x30, data.data(), 0, 0);
    db->axi_burst_nb_write(0x7f0, 0x20, data.data(), 0, 0);  // 2 KiB is no boundary
    // An aligned burst that fits is one transaction; one of exactly the boundary too.
    db->axi_burst_nb_write(0x2000, 64, data.data(), 0, 64);
    db->axi_burst_nb_write(0x2004, 8, data.data(), 0, 64);
    // A boundary that is not a power of two still splits at its multiples.
    db->axi_burst_nb_write(0x10, 30, data.data(), 0, 12);
    EXPECT_EQ(queued(db), (std::vector<std::pair<uint64_t, uint16_t>>{
                              {0xff0, 0x10}, {0x1000, 0x20}, {0x100000ff0ull, 0x10}, {0x100001000ull, 0x20}, {0x7f0, 0x20},
                              {0x2000, 64}, {0x2004, 8}, {0x10, 8}, {0x18, 12}, {0x24, 10}}));
    complete_all(db);

    log_capture cap;
    db->axi_burst_nb_write(0x10, 8, data.data(), 0, -64);
    EXPECT_FALSE(db->axi_burst_read(0x10, 8, nullptr, 0, 64));
    db->axi_burst_nb_write(0x10, 0, data.data(), 0, 64);
    EXPECT_TRUE(queued(db).empty());
    EXPECT_EQ(cap.messages(), (strings{"ERROR :: axi_xn_db: burst boundary must not be negative, boundary = -64",
                                       "ERROR :: axi_xn_db: no data buffer for a burst of 8 bytes at addr = 0x10"}));
    // Completed posted writes wait for a host to collect them.
    size_t collected = 0;
    while (db->pop_response()) ++collected;
    EXPECT_EQ(collected, 13u);
}

TEST(AxiXnDb, BlockingBurstsCollectTheirChunks) {
    axi_xn_db* db = axi_xn_db::access(304);
    knob_guard knobs;
    bytes buf(100, 0xee);
    {
        scripted_consumer consumer(db, 3, answer_address_bytes);
        EXPECT_TRUE(db->axi_burst_read(0x30, 100, buf.data(), 0x5, 64));
        const auto& seen = consumer.join();
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen[2].id, seen[0].id + 2);
        for (const auto& s : seen) EXPECT_EQ(s.attr1, 0x5);
    }
    for (size_t i = 0; i < buf.size(); ++i) ASSERT_EQ(buf[i], static_cast<uint8_t>(0x30 + i)) << i;

    // A chunk answered with SLVERR fails the burst but its bytes are still filled.
    log_capture cap;
    {
        scripted_consumer consumer(db, 3, [](const axi_xn_t& xn, bytes& rd) -> uint8_t {
            answer_address_bytes(xn, rd);
            return xn.address == 0x40 ? 2 : 0;
        });
        std::fill(buf.begin(), buf.end(), 0xee);
        EXPECT_FALSE(db->axi_burst_read(0x30, 100, buf.data(), 0, 64));
    }
    EXPECT_EQ(buf[16], 0x40);
    EXPECT_EQ(buf[99], static_cast<uint8_t>(0x30 + 99));
    EXPECT_EQ(cap.messages(), (strings{"ERROR :: AXI_XN_DB_RD: addr = 0x40, req_data_size = 64, rresp = 2"}));

    // Writes: DECERR on the last chunk; EXOKAY is not an error. Unknown completed ids are skipped.
    const bytes data = counting(100);
    const uint8_t word[4] = {1, 2, 3, 4};
    const uint32_t posted = db->nb_write(0x900, 4, word, 0);
    cap.clear();
    {
        scripted_consumer consumer(db, 4, [](const axi_xn_t& xn, bytes&) -> uint8_t {
            return xn.address == 0x80 ? 3 : 1;
        });
        EXPECT_FALSE(db->axi_burst_write(0x30, 100, data.data(), 0, 64));
        const auto& seen = consumer.join();
        EXPECT_EQ(seen[1].data, bytes(data.begin(), data.begin() + 16));
    }
    EXPECT_EQ(cap.messages(), (strings{"ERROR :: AXI_XN_DB_WR: addr = 0x80, req_data_size = 20, bresp = 3"}));
    uint8_t resp = 0;
    EXPECT_EQ(db->nb_write_rsp(posted, resp), 0u);
    EXPECT_EQ(resp, 1);
    {
        scripted_consumer consumer(db, 2, [](const axi_xn_t&, bytes&) -> uint8_t { return 0; });
        EXPECT_TRUE(db->axi_burst_write(0x3c, 8, data.data(), 0, 64));
    }
    EXPECT_EQ(db->pop_response(), nullptr);

    // The knob silences the reports, not the result.
    knobs.set_value("axi/axi_rpt_err", 0);
    cap.clear();
    {
        scripted_consumer consumer(db, 1, [](const axi_xn_t&, bytes&) -> uint8_t { return 2; });
        EXPECT_FALSE(db->axi_burst_read(0x0, 4, buf.data(), 0, 64));
    }
    EXPECT_TRUE(cap.text().empty());
}

TEST(AxiXnDb, QueueMovementAndCollectors) {
    axi_xn_db* db = axi_xn_db::access(305);
    knob_guard knobs;
    log_capture cap;

    EXPECT_FALSE(db->is_req_available());
    EXPECT_EQ(db->get_next_req(), nullptr);
    const uint32_t rd = db->nb_read(0xabc0, 4, 0);
    const uint8_t wbytes[2] = {0x11, 0x22};
    const uint32_t wr = db->nb_write(0xabc4, 2, wbytes, 0);
    EXPECT_EQ(wr, rd + 1);
    EXPECT_TRUE(db->is_req_available());

    // A transaction not yet taken by the consumer cannot be completed.
    EXPECT_EQ(db->get_response(rd, 0, nullptr), 0xFFFFFFFFu);
    auto first = db->get_next_req();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->context_id, rd);
    EXPECT_EQ(db->find_rsp_size(rd), 4);
    EXPECT_EQ(db->find_rsp_size(wr), 0);

    // Pending is not completed: the collectors answer 0xFFFFFFFF silently.
    uint16_t size = 0;
    bytes data;
    uint8_t resp = 0;
    EXPECT_EQ(db->nb_read_rsp(rd, size, data, resp), 0xFFFFFFFFu);
    EXPECT_EQ(db->nb_req_status(rd), 0xFFFFFFFFu);

    const uint8_t answer[4] = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(db->get_response(rd, 3, answer), 0u);
    EXPECT_EQ(db->get_response(rd, 0, answer), 0xFFFFFFFFu);  // no longer pending
    EXPECT_EQ(db->nb_read_rsp(rd, size, data, resp), 0u);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(data, (bytes{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(resp, 3);
    EXPECT_EQ(db->nb_read_rsp(rd, size, data, resp), 0xFFFFFFFFu);  // collected once only

    auto second = db->get_next_req();
    EXPECT_EQ(second->data, (bytes{0x11, 0x22}));
    EXPECT_EQ(db->get_response(wr, 2, nullptr), 0u);
    EXPECT_EQ(second->data, (bytes{0x11, 0x22}));  // a write's data is not touched
    EXPECT_EQ(db->wait_for_response(), 1u);
    db->flush_all_pending();  // returns: nothing queued or pending
    EXPECT_EQ(db->nb_req_status(wr), 0u);
    EXPECT_EQ(db->nb_req_status(wr), 0xFFFFFFFFu);

    // A transaction the host built itself keeps its id.
    auto own = std::make_shared<axi_xn_t>();
    own->set_xn_options(0x44, 4, axi_xn_t::AXI_XN_RD);
    EXPECT_EQ(db->nb_req_xn(own), own->context_id);
    EXPECT_EQ(db->get_next_req(), own);
    db->get_response(own->context_id, 0, answer);
    EXPECT_EQ(db->pop_response(), own);
    EXPECT_EQ(db->pop_response(), nullptr);

    const std::string not_pending = "ERROR :: get_response::can not find context_id = 0x" + hex(rd) + " in pending_db_array";
    EXPECT_EQ(cap.messages(), (strings{"ERROR :: nothing in the request_db_array", not_pending,
                                       "ERROR :: axi_xn_db::find_rsp_size, can not find context_id = 0x" + hex(wr),
                                       "ERROR :: AXI_XN_DB_RD: addr = 0xabc0, req_data_size = 4, rresp = 3", not_pending,
                                       "ERROR :: AXI_XN_DB_WR: addr = 0xabc4, req_data_size = 2, bresp = 2"}));
    EXPECT_TRUE(cap.all_stamped());
}

TEST(AxiXnDb, ProfilesAndFlagsAttribute) {
    axi_xn_db* db = axi_xn_db::access(306);
    auto p1 = profile(0x1000, 0x1FFF, 7, {0x10, 0x11, 0x12, 0x13}), p2 = profile(0x1800, 0x2FFF, 8);
    db->set_profile(p1);
    db->set_profile(p2);

    EXPECT_EQ(db->find_profile(0xFFF), nullptr);
    EXPECT_EQ(db->find_profile(0x1000), p1);
    EXPECT_EQ(db->find_profile(0x1FFF), p1);  // first added wins where both cover
    EXPECT_EQ(db->find_profile(0x2000), p2);
    EXPECT_EQ(db->find_profile(0x3000), nullptr);

    db->nb_read(0x1FFF, 4, 0x3c5);
    db->nb_read(0x3000, 4, 0x3c5);
    auto covered = db->get_next_req();
    auto plain = db->get_next_req();
    EXPECT_EQ(bytes(covered->attr, covered->attr + 7), (bytes{0x10, 0x11, 0x12, 0x13, 0xff, 0xff, 0xff}));
    EXPECT_EQ(covered->profile, 7);
    EXPECT_EQ(bytes(plain->attr, plain->attr + 7), (bytes{0xff, 0xc5, 0xff, 0xff, 0xff, 0xff, 0xff}));
    EXPECT_EQ(plain->profile, 0xFFFF);
    db->get_response(covered->context_id, 0, nullptr);
    db->get_response(plain->context_id, 0, nullptr);
}

TEST(CpuBusAxidb, WordsBlocksAndBursts) {
    cpu_bus_axidb bus("axi", "top.axi");
    log_capture cap;
    EXPECT_EQ(bus.read(0, 0x10, FRONT_DOOR, 0), 0xdeadbeefu);
    EXPECT_EQ(cap.messages(), (strings{"ERROR :: cpu_bus_axidb::read: no transaction database, set_agt_idx was not "
                                       "called. name=axi path:top.axi"}));
    cap.clear();

    bus.set_agt_idx(307);
    axi_xn_db* db = axi_xn_db::access(307);

    // Word read: four bytes little-endian.
    {
        scripted_consumer consumer(db, 1, [](const axi_xn_t&, bytes& rd) -> uint8_t {
            rd = {0x78, 0x56, 0x34, 0x12};
            return 0;
        });
        EXPECT_EQ(bus.read(3, 0x52000010, BACK_DOOR, 0x101), 0x12345678u);
        const auto& seen = consumer.join();
        EXPECT_EQ(seen[0].size, 4);
        EXPECT_EQ(seen[0].attr1, 0x01);
    }

    // Posted writes: a word, a block with a missing word, a reversed burst.
    bus.write(0, 0x20, 0xa1b2c3d4, FRONT_DOOR, 1);
    bus.block_write(0, 0x38, 4, {0x04030201, 0x08070605, 0x0c0b0a09}, FRONT_DOOR, 0);
    const uint8_t rev[3] = {1, 2, 3};
    EXPECT_TRUE(bus.burst_write(0, 0x100, 3, rev, FRONT_DOOR, 0, true));
    EXPECT_EQ(cap.messages(), (strings{"ERROR :: cpu_bus_axidb::block_write: data size and requested size doesn't "
                                       "match, data size = 3 requested size = 4"}));
    {
        scripted_consumer consumer(db, 4, [](const axi_xn_t&, bytes&) -> uint8_t { return 0; });
        bus.flush_all_pending();
        const auto& seen = consumer.join();
        EXPECT_EQ(seen[0].data, (bytes{0xd4, 0xc3, 0xb2, 0xa1}));
        EXPECT_EQ(seen[1].addr, 0x38u);
        EXPECT_EQ(seen[1].data, (bytes{1, 2, 3, 4, 5, 6, 7, 8}));
        EXPECT_EQ(seen[2].addr, 0x40u);
        EXPECT_EQ(seen[2].data, (bytes{9, 10, 11, 12, 0, 0, 0, 0}));
        EXPECT_EQ(seen[3].data, (bytes{3, 2, 1}));
    }
    size_t posted = 0;
    while (db->pop_response()) ++posted;
    EXPECT_EQ(posted, 4u);

    // Block read: little-endian words over a split burst; burst read reversed.
    {
        scripted_consumer consumer(db, 2, answer_address_bytes);
        EXPECT_EQ(bus.block_read(0, 0x3c, 2, FRONT_DOOR, 0), (std::vector<uint32_t>{0x3f3e3d3c, 0x43424140}));
    }
    {
        scripted_consumer consumer(db, 1, answer_address_bytes);
        uint8_t out[3] = {};
        EXPECT_TRUE(bus.burst_read(0, 0x10, 3, out, FRONT_DOOR, 0, true));
        EXPECT_EQ(bytes(out, out + 3), (bytes{0x12, 0x11, 0x10}));
    }
    EXPECT_EQ(db->pop_response(), nullptr);
}

TEST(CpuBusAxidb, DispatcherRunsOverTheDatabase) {
    recording_bus target;
    axi_xn_server server(308, target, 0);
    server.start();
    cpu_bus_axidb axi("axi", "top.axi");
    axi.set_agt_idx(308);
    bus_registration reg(axi);
    cpu* c = cpu::access();
    c->set_access_type(FRONT_DOOR);

    c->write(0, 0x52000010, 0x1, true, 1);
    c->block_write(0, 0x52000020, 2, {0xaabbccdd, 0x11223344}, false, 0);
    EXPECT_EQ(c->read(0, 0x52000010, true, 1), 0x1u);
    EXPECT_EQ(c->block_read(0, 0x52000020, 2, false, 0), (std::vector<uint32_t>{0xaabbccdd, 0x11223344}));
    const uint8_t odd[3] = {0xde, 0xad, 0x01};
    EXPECT_TRUE(c->burst_write(0, 0x52000031, 3, odd, false, 0, false));
    c->flush_all_pending();
    EXPECT_EQ(target.texts(), (strings{
                                  "write chip=0 addr=0x52000010 data=0x1 state=0 flags=0x1",
                                  "block_write chip=0 addr=0x52000020 count=2 data=[0xaabbccdd,0x11223344] state=0 flags=0x0",
                                  "read chip=0 addr=0x52000010 state=0 flags=0x1",
                                  "block_read chip=0 addr=0x52000020 count=2 state=0 flags=0x0",
                                  "burst_write chip=0 addr=0x52000031 len=3 data=[de ad 01] state=0 flags=0x0 reverse=0",
                              }));
    server.stop();
    EXPECT_EQ(server.served(), 5u);
    axi_xn_db* db = axi_xn_db::access(308);
    size_t posted = 0;
    while (db->pop_response()) ++posted;
    EXPECT_EQ(posted, 3u);

    // A burst the target refuses is answered with SLVERR; the read still returns its bytes.
    knob_guard knobs;
    words_only_bus words;
    axi_xn_server refusing(308, words, 0);
    log_capture cap;
    const uint8_t two[2] = {1, 2};
    axi.burst_write(0, 0x52000031, 2, two, FRONT_DOOR, 0, false);
    uint8_t back[2] = {0xee, 0xee};
    while (refusing.served() < 1) refusing.serve_one();
    axi.flush_all_pending();
    std::thread reader([&] { EXPECT_TRUE(axi.burst_read(0, 0x52000031, 2, back, FRONT_DOOR, 0, false)); });
    while (refusing.served() < 2) refusing.serve_one();
    reader.join();
    EXPECT_EQ(bytes(back, back + 2), (bytes{0, 0}));
    EXPECT_EQ(cap.messages(), (strings{"ERROR :: cpu burst write not implemented. name=words path:top.words",
                                       "ERROR :: AXI_XN_DB_WR: addr = 0x52000031, req_data_size = 2, bresp = 2",
                                       "ERROR :: cpu burst read not implemented. name=words path:top.words",
                                       "ERROR :: AXI_XN_DB_RD: addr = 0x52000031, req_data_size = 2, rresp = 2"}));
    auto w = db->pop_response();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->resp, 2);
}

TEST(AxiHostSingletons, CreatedOnceEmpty) {
    log_capture cap;
    AddrDB* a = AddrDB::access();
    EXPECT_EQ(a, AddrDB::access());
    EXPECT_EQ(cap.text(), "AddrDB init done\n");
    EXPECT_TRUE(a->map().empty());
    EXPECT_EQ(DPIRegistry::access(), DPIRegistry::access());
    EXPECT_TRUE(DPIRegistry::access()->map().empty());
}
