// I2C controller registers and SMBus transfers on the simulated board, and backend selection.
#include <gtest/gtest.h>

#include <memory>

#include "platform/hal/ksx_i2c.h"
#include "platform/hal/smbus.h"
#include "platform/sim/sim_board.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"

namespace {

class i2c_smbus_test : public knob_fixture {
protected:
    void SetUp() override
    {
        knob_fixture::SetUp();
        board.reset();
    }
    void TearDown() override
    {
        board.reset();
        knob_fixture::TearDown();
    }
    ksx_sim_board& board = ksx_sim_board::instance();
};

/// A controller that remembers the last access and answers offset + bus.
class echo_ctrl : public ksx_sim_i2c_controller {
public:
    explicit echo_ctrl(uint32_t bus) : bus_(bus) {}
    uint32_t read_reg(uint32_t offset) override { return offset + bus_; }
    void write_reg(uint32_t offset, uint32_t value) override { last = {offset, value}; }
    std::pair<uint32_t, uint32_t> last{0, 0};

private:
    uint32_t bus_;
};

TEST_F(i2c_smbus_test, controller_registers_per_bus)
{
    ksx_i2c_writereg(0, 0x6c, 4);
    ksx_i2c_writereg(1, 0x6c, 5);
    EXPECT_EQ(ksx_i2c_readreg(0, 0x6c), 4u);
    EXPECT_EQ(ksx_i2c_readreg(1, 0x6c), 5u);
    EXPECT_EQ(ksx_i2c_readreg(0, 0x70), 0u);

    auto ctrl = std::make_shared<echo_ctrl>(0x100);
    board.attach_i2c_controller(3, ctrl);
    EXPECT_EQ(ksx_i2c_readreg(3, 0x10), 0x110u);
    ksx_i2c_writereg(3, 0x10, 0x300);
    EXPECT_EQ(ctrl->last, (std::pair<uint32_t, uint32_t>{0x10, 0x300}));

    auto regs = std::make_shared<ksx_sim_i2c_regfile>();
    board.attach_i2c_controller(4, regs);
    ksx_i2c_writereg(4, 0x40, 1);
    regs->set_no_response(true);
    EXPECT_EQ(ksx_i2c_readreg(4, 0x40), 0xdeadbeefu);
    ksx_i2c_writereg(4, 0x40, 2);
    regs->set_no_response(false);
    EXPECT_EQ(ksx_i2c_readreg(4, 0x40), 1u);
}

TEST_F(i2c_smbus_test, smbus_transfers_reach_board_devices)
{
    auto vrm = std::make_shared<ksx_sim_smbus_regs>();
    vrm->set(0x8b, 0x0200, 2);
    board.attach_smbus_device(2, 0x62, vrm);

    uint8_t buf[4] = {0xee, 0xee, 0xee, 0xee};
    EXPECT_EQ(smbus_read(buf, 2, 0x8b, 5, 2, 0x62), 0);
    EXPECT_EQ(std::vector<uint8_t>(buf, buf + 3), (std::vector<uint8_t>{0x00, 0x02, 0xee}));
    const uint8_t page[1] = {1};
    EXPECT_EQ(smbus_write(page, 1, 0x00, 5, 2, 0x62), 0);
    EXPECT_EQ(vrm->get(0x00), 1u);
    const uint8_t word[2] = {0x34, 0x12};
    EXPECT_EQ(smbus_write(word, 2, 0x21, 5, 2, 0x62), 0);
    EXPECT_EQ(vrm->get(0x21), 0x1234u);
    EXPECT_EQ(smbus_write(nullptr, 0, 0x03, 5, 2, 0x62), 0);
    EXPECT_EQ(vrm->write_count(0x03), 1u);
    EXPECT_EQ(vrm->write_count(0x21), 1u);

    // Nothing at the address, another bus, and injected faults: non-zero, buffer kept.
    buf[0] = 0x5a;
    EXPECT_NE(smbus_read(buf, 1, 0x00, 5, 2, 0x63), 0);
    EXPECT_NE(smbus_read(buf, 1, 0x00, 5, 1, 0x62), 0);
    vrm->set_fault(ksx_sim_smbus_regs::no_ack);
    EXPECT_NE(smbus_read(buf, 1, 0x00, 5, 2, 0x62), 0);
    EXPECT_NE(smbus_write(page, 1, 0x00, 5, 2, 0x62), 0);
    vrm->set_fault(ksx_sim_smbus_regs::error_response);
    EXPECT_NE(smbus_read(buf, 1, 0x00, 5, 2, 0x62), 0);
    EXPECT_EQ(buf[0], 0x5a);
    EXPECT_EQ(vrm->write_count(0x00), 1u);
    vrm->set_fault(ksx_sim_smbus_regs::none);
    EXPECT_EQ(smbus_read(buf, 1, 0x00, 5, 2, 0x62), 0);
    EXPECT_EQ(buf[0], 1);
    EXPECT_TRUE(board.detach_smbus_device(2, 0x62));
    EXPECT_FALSE(board.detach_smbus_device(2, 0x62));
    EXPECT_NE(smbus_read(buf, 1, 0x00, 5, 2, 0x62), 0);
}

TEST_F(i2c_smbus_test, bad_requests_are_reported)
{
    board.attach_smbus_device(2, 0x4c, std::make_shared<ksx_sim_smbus_regs>());
    uint8_t buf[40] = {};
    log_capture cap;
    // Each failing transfer answers non-zero and leaves its reason; a good one clears it.
    auto reason = [](int rc) { return (rc != 0 ? "" : "(ok) ") + smbus_last_error(); };
    const std::vector<std::string> why = {
        reason(smbus_read(buf, 1, 0, 3, 2, 0x4c)),   reason(smbus_read(buf, 0, 0, 5, 2, 0x4c)),
        reason(smbus_write(buf, 33, 0, 5, 2, 0x4c)), reason(smbus_read(nullptr, 1, 0, 5, 2, 0x4c)),
        reason(smbus_write(buf, 1, 0, 5, 2, 0x80)),  reason(smbus_write(buf, 1, 0, 5, 2, 0x33)),
        reason(smbus_write(buf, 1, 0, 5, 2, 0x4c))};
    // The transfers report through their result only; the callers print.
    EXPECT_TRUE(cap.messages().empty());
    EXPECT_EQ(why, (std::vector<std::string>{"smbus_read bus 2 device 76: unsupported transfer type 3 (5 expected)",
                                             "smbus_read bus 2 device 76: bad length 0",
                                             "smbus_write bus 2 device 76: bad length 33",
                                             "smbus_read bus 2 device 76: bad length 1 without a buffer",
                                             "smbus_write bus 2 device 128: not a 7-bit device address",
                                             "bus 2 device 51: no acknowledge", "(ok) "}));
}

TEST_F(i2c_smbus_test, backend_knob)
{
    board.attach_smbus_device(2, 0x4c, std::make_shared<ksx_sim_smbus_regs>());
    uint8_t buf[1] = {0};
    log_capture cap;
    set("platform_i2c/backend", "linux");
    set("platform_i2c/dev_prefix", "/nonexistent/i2c-");
    EXPECT_NE(smbus_read(buf, 1, 0, 5, 2, 0x4c), 0);
    const std::string linux_why = smbus_last_error();
    EXPECT_EQ(ksx_i2c_readreg(0, 0x10), 0xdeadbeefu);
    ksx_i2c_writereg(0, 0x10, 1);
    set("platform_i2c/backend", "usb");
    EXPECT_NE(smbus_write(buf, 1, 0, 5, 2, 0x4c), 0);
    EXPECT_EQ(smbus_last_error(), "smbus_write bus 2 device 76: unknown platform_i2c/backend \"usb\" (sim or linux)");
    EXPECT_EQ(ksx_i2c_readreg(0, 0x10), 0xdeadbeefu);
    set("platform_i2c/backend", "sim");
    EXPECT_EQ(ksx_i2c_readreg(0, 0x10), 0u);  // the writes above went nowhere
    EXPECT_EQ(smbus_read(buf, 1, 0, 5, 2, 0x4c), 0);

    const auto msgs = cap.messages();
    ASSERT_EQ(msgs.size(), 3u);
    // Which of the two depends on whether the build found libi2c.
    EXPECT_TRUE(linux_why == "smbus: cannot open /nonexistent/i2c-2: No such file or directory" ||
                linux_why == "smbus: this build has no Linux I2C (libi2c was not found); cannot reach /nonexistent/i2c-2")
        << linux_why;
    EXPECT_EQ(msgs[0], "ERROR :: ksx_i2c_readreg: I2C controller registers are not reachable through Linux I2C");
    EXPECT_EQ(msgs[1], "ERROR :: ksx_i2c_writereg: I2C controller registers are not reachable through Linux I2C");
    EXPECT_EQ(msgs[2], "ERROR :: ksx_i2c_readreg: unknown platform_i2c/backend \"usb\" (sim or linux)");
}

}  // namespace
