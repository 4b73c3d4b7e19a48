// Registry of block models: registration, duplicate reports, typed lookup and its failures.
#include <gtest/gtest.h>

#include <iostream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "ip/verif/pcpp/vmo_blk_reg_model.h"
#include "ip/verif/pcpp/vmo_csr_base.h"
#include "tests/support/log_capture.h"
#include "tests/support/named_nodes.h"

namespace {

using registry = vmo_blk_reg_model<vmo_csr_base>;

class blk_a : public test_block {};
class blk_b : public test_block {};

}  // namespace

TEST(Registry, RegisterGetAndDuplicates) {
    auto reg = registry::access();
    static blk_a a0, a1, other;
    static blk_b b0;
    log_capture cap;
    reg->Register(7, "blk_a", 1, &a1);
    reg->Register(7, "blk_a", 0, &a0);
    reg->Register(7, "blk_b", 0, &b0);
    EXPECT_EQ(cap.text(), "");
    reg->Register(7, "blk_a", 0, &other);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: chip_id : 7 has 0 already registered"}));
    EXPECT_TRUE(cap.all_stamped());

    EXPECT_EQ(&reg->Get<blk_a>(7, "blk_a", 0), &a0);
    EXPECT_EQ(&reg->Get<blk_a>(7, "blk_a", 1), &a1);
    EXPECT_EQ(&reg->Get<ksx_block_base>(7, "blk_b", 0), &b0);

    // By type name, then instance; other chips are not listed.
    EXPECT_EQ(reg->GetAllCSR(7), (std::vector<vmo_csr_base*>{&a0, &a1, &b0}));
    reg->Register(8, "blk_a", 0, &other);
    EXPECT_EQ(reg->GetAllCSR(8), (std::vector<vmo_csr_base*>{&other}));
    EXPECT_TRUE(reg->GetAllCSR(9).empty());

    // The non-stopping look-up answers without a report, a stop and a new name entry.
    static blk_a a13;
    reg->Register(13, "blk_a", 0, &a13);
    reg->Register(13, "blk_null", 0, nullptr);
    cap.clear();
    EXPECT_EQ(reg->Find<blk_a>(13, "blk_a", 0), &a13);
    EXPECT_TRUE(reg->Has(13, "blk_a", 0));
    EXPECT_EQ(reg->Find<blk_b>(13, "blk_a", 0), nullptr);  // another class
    for (auto [chip, name, inst] : {std::tuple<int, const char*, int>{14, "blk_a", 0}, {13, "blk_a", 1},
                                    {13, "blk_null", 0}, {13, "find_unknown", 0}}) {
        EXPECT_EQ(reg->Find<blk_a>(chip, name, inst), nullptr) << name << " " << chip << " " << inst;
        EXPECT_FALSE(reg->Has(chip, name, inst));
    }
    EXPECT_EQ(cap.text(), "");
    EXPECT_EQ(reg->GetAllCSR(13), (std::vector<vmo_csr_base*>{&a13, nullptr}));
}

// The report goes to the log (standard output, sent to standard error here so that the death
// test sees it), then the stop names the registry.
#define GET_STOPS(call, text)                                                                  \
    EXPECT_DEATH(                                                                              \
        {                                                                                      \
            std::cout.rdbuf(std::cerr.rdbuf());                                                \
            call;                                                                              \
        },                                                                                     \
        "\\] ERROR :: " text "\n.*ip/verif/pcpp/vmo_blk_reg_model.*" text)

TEST(RegistryDeathTest, GetFailuresReportAndStop) {
    auto reg = registry::access();
    static blk_a a0;
    reg->Register(11, "blk_a", 0, &a0);
    reg->Register(11, "blk_null", 0, nullptr);
    GET_STOPS(reg->Get<blk_a>(12, "blk_a", 0), "chip_id : 12 has to be registered for blk_a");
    GET_STOPS(reg->Get<blk_a>(11, "blk_a", 3), "chip_id : 11 inst 3 is not registerd yet! for class blk_a");
    GET_STOPS(reg->Get<blk_a>(11, "blk_null", 0), "chip_id : 11 inst 0 is not registerd yet! for class blk_null");
    GET_STOPS(reg->Get<blk_b>(11, "blk_a", 0), "can not cast from vmo_csr_base to blk_a");
    GET_STOPS(reg->Get<blk_a>(0, "no_such_class", 0), "chip_id : 0 has to be registered for no_such_class");
}

// A host's stop handler may leave by throwing; the report is logged first.
TEST(Registry, StopHandlerMayThrow) {
    auto reg = registry::access();
    vmo_blk_reg_model_on_stop() = [](const std::string& what) { throw std::runtime_error(what); };
    log_capture cap;
    try {
        reg->Get<blk_a>(15, "blk_a", 0);
        ADD_FAILURE() << "Get returned";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "chip_id : 15 has to be registered for blk_a");
    }
    vmo_blk_reg_model_on_stop() = nullptr;
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: chip_id : 15 has to be registered for blk_a"}));
}
