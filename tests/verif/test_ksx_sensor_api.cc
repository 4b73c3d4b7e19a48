// On-die sensors on the simulated rings: enable traffic, the indirect APB read, valid, slow
// and timing-out values, the conversions, and the APB busy time-out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/log_capture.h"
#include "tests/verif/clock_fixture.h"
#include "verif/apis/ksx_sbus_api.h"
#include "verif/apis/ksx_sensor_api.h"

namespace {

using ops = std::vector<ksx_sim_sbus_op>;

class sensor_api : public clock_fixture {};

TEST_F(sensor_api, enable_and_indirect_read_traffic)
{
    sim.ring[3]->set_logging(true);
    sim.sensor->set_valid_after(0);
    sim.sensor->set_busy_reads(1);
    sim.sensor->set_raw(7, 1000);
    ksx_temperature_en();
    EXPECT_EQ(ksx_read_sensor_val(0, 0), 0x800u | 1000);
    EXPECT_EQ(sim.ring[3]->log(), (ops{{'w', 1, 0, 16}, {'w', 1, 30, 600}, {'w', 1, 0, 0}, {'w', 1, 11, 0x10007},
                                       {'r', 1, 21, 1}, {'r', 1, 21, 0}, {'r', 1, 12, 0x800 | 1000}}));
    sim.ring[3]->clear_log();
    EXPECT_EQ(ksx_core_sbus_indir_write(0, 1, 0x40, 0x55), 0);
    EXPECT_EQ(sim.ring[3]->log(), (ops{{'w', 1, 12, 0x55}, {'w', 1, 11, 0x20040}, {'r', 1, 21, 1}, {'r', 1, 21, 0}}));
    // Selector picks sensor + 17; the aod ring has its own sensor.
    sim.sensor->set_raw(20, 0x123);
    EXPECT_EQ(ksx_read_sensor_val(3, 1), 0x923u);
    sim.sensor_aod->set_raw(8, 0x7ff);
    EXPECT_EQ(ksx_read_sensor_val_alt(1, 0), 0xfffu);
    EXPECT_EQ(sim.sensor->reads(), 2u);
}

TEST_F(sensor_api, conversions_and_slow_values)
{
    sim.sensor->set_raw(7, 1000);
    sim.sensor->set_raw(24, 1600);  // sensor 7, selector 1
    sim.sensor->set_raw(23, 1600);
    sim.sensor->set_raw(17, 1600);
    sim.sensor->set_valid_after(2500);
    EXPECT_NEAR(ksx_get_temp(0), 121.412f, 1e-3);
    EXPECT_EQ(ksx_log_buf_total(), 3u);  // two waiting lines, then the value
    EXPECT_EQ(ksx_log_buf_lines()[0], "ksx_read_sensor_val :: Waiting for sensor_val[11]==1, sensor_val:0x3e8");
    EXPECT_EQ(ksx_log_buf_lines()[2], "ksx_get_temp :: temp:121.412018  temp from sensor:0xbe8");
    sim.sensor->set_valid_after(0);
    EXPECT_NEAR(ksx_get_voltage(7), 1600 * 0.000498046875 * 4, 1e-5);
    EXPECT_NEAR(ksx_get_voltage(6), 1600 * 0.000498046875 * 2, 1e-5);
    EXPECT_NEAR(ksx_get_voltage(0), 1600 * 0.000498046875, 1e-5);
    EXPECT_EQ(ksx_log_buf_lines().back(), "ksx_get_voltage :: voltage:0.796875 volt from sensore:0xe40");
    EXPECT_NEAR(ksx_sensor_temp_of(2047), -135.5218f, 1e-3);
    EXPECT_NEAR(ksx_sensor_voltage_of(5, 2047), 1.0195, 1e-4);
}

TEST_F(sensor_api, time_outs)
{
    log_capture cap;
    sim.sensor->set_never_valid(true);
    sim.sensor->set_raw(9, 0x10);
    EXPECT_EQ(ksx_read_sensor_val(2, 0), 2047u);
    EXPECT_EQ(sim.sensor->reads(), 1000000u);
    EXPECT_EQ(ksx_log_buf_total(), 1000u);
    EXPECT_EQ(ksx_log_buf_lines().back(), "ksx_read_sensor_val :: Waiting for sensor_val[11]==1, sensor_val:0x10");
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: ksx_read_sensor_val :: Timeout while waiting for sensor_val[11]==1, sensor_val:0x10"}));

    // A stuck APB bridge ends the read at its first time-out.
    cap.clear();
    ksx_log_buf_clear();
    set("ksx_api/poll_limit", "20");
    sim.sensor->set_stuck_busy(true);
    EXPECT_EQ(ksx_read_sensor_val(2, 0), 2047u);
    EXPECT_EQ(ksx_core_sbus_indir_write(0, 1, 5, 1), 1);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{
        "ERROR :: ksx_sbus_indir_read: chain 3 receiver 1 register 21 (APB_READ_BUSY): not done after 20 reads, last value 0x1",
        "ERROR :: ksx_read_sensor_val :: Timeout while waiting for sensor_val[11]==1, sensor_val:0x0",
        "ERROR :: ksx_sbus_indir_write: chain 3 receiver 1 register 21 (APB_WRITE_BUSY): not done after 20 reads, last value 0x1"}));
    EXPECT_EQ(ksx_log_buf_lines(), (std::vector<std::string>{
        "ksx_sbus_indir_read :: Timout while polling for APB_READ_BUSY after reading, Last Read: 0x1",
        "ksx_sbus_indir_write :: Timout while polling for APB_WRITE_BUSY after writing, Last Read: 0x1"}));
}

}  // namespace
