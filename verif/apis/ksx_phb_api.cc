// The packet header buffer between the transmit DMA and the packet buffer.
#include "verif/apis/ksx_phb_api.h"

#include <sstream>

#include "model/ksx_phb/ksx_phb_csr.h"
#include "verif/apis/ksx_api_util.h"
#include "verif/apis/ksx_routine_table.h"

namespace {
std::string count_line(const vmo_csr_base& reg, const char* field, const boost::multiprecision::cpp_int& v) {
    std::ostringstream s;
    s << ksx_api_name(reg) << "." << field << " = 0x" << std::hex << v << "\n";
    return s.str();
}
}  // namespace

void ksx_phb_soft_reset(int, int) {}
void ksx_phb_set_soft_reset(int, int, int) {}
void ksx_phb_init_done(int, int) {}

void ksx_phb_init_start(int chip_id, int inst_id) {
    ksx_phb_csr_t& b = KSX_API_BLOCK(ksx_phb_csr_t, chip_id, inst_id);
    b.cfg_read.flow_control_enable_credits(1);
    b.cfg_read.enable_wrr(1);
    b.cfg_read.write();
    b.cfg_xoff_numphv.enable(1);
    b.cfg_xoff_numphv.thresh(200);
    b.cfg_xoff_numphv.write();
    b.cfg_write.use_replicate_for_lif(1);
    b.cfg_write.write();
    b.cfg_read.read();
    b.cfg_read.shared_pool_max_decrement(34);
    b.cfg_read.write();
}

void ksx_phb_dump_cnt(int chip_id, int inst_id) {
    ksx_phb_csr_t& b = KSX_API_BLOCK(ksx_phb_csr_t, chip_id, inst_id);
    b.cnt_flit.read();
    b.cnt_drop.read();
    ksx_api_print(count_line(b.cnt_flit, "sop_in", b.cnt_flit.sop_in()));
    ksx_api_print(count_line(b.cnt_flit, "eop_in", b.cnt_flit.eop_in()));
    ksx_api_print(count_line(b.cnt_flit, "sop_out", b.cnt_flit.sop_out()));
    ksx_api_print(count_line(b.cnt_flit, "eop_out", b.cnt_flit.eop_out()));
    ksx_api_print(count_line(b.cnt_drop, "error", b.cnt_drop.error()));
    ksx_api_print(count_line(b.cnt_drop, "intrinsic", b.cnt_drop.intrinsic()));
    ksx_api_print(count_line(b.cnt_drop, "srdy_no_drdy_in", b.cnt_drop.srdy_no_drdy_in()));
    ksx_api_print(count_line(b.cnt_drop, "srdy_no_drdy_out", b.cnt_drop.srdy_no_drdy_out()));
}

static ksx_routine_registrar phb_routines{
    KSX_ROUTINE(ksx_phb_soft_reset, "phb: nothing"),
    KSX_ROUTINE(ksx_phb_set_soft_reset, "phb: nothing"),
    KSX_ROUTINE(ksx_phb_init_start, "phb: credits, WRR, xoff threshold, replication, pool decrement"),
    KSX_ROUTINE(ksx_phb_init_done, "phb: nothing"),
    KSX_ROUTINE(ksx_phb_dump_cnt, "phb: read and print the flit and drop counters"),
};
