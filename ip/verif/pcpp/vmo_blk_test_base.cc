// Base of block tests.
#include "ip/verif/pcpp/vmo_blk_test_base.h"

#include "ip/verif/pcpp/logmsg.h"

vmo_blk_test_base::~vmo_blk_test_base() = default;

void vmo_blk_test_base::do_main_bkgrnd() {}

void vmo_blk_test_base::exec_phase(const std::string& phase) {
    set_access_type(cpu::access()->get_access_type());
    if (phase == "config") {
        do_config();
    } else if (phase == "main") {
        do_main();
    } else if (phase == "main_bkgrnd") {
        do_main_bkgrnd();
    } else if (phase == "shutdown") {
        do_shutdown();
    } else {
        plog_err("phase " + phase + " is not found");
    }
}

state vmo_blk_test_base::get_access_type() { return access_type_; }

void vmo_blk_test_base::set_access_type(state s) { access_type_ = s; }
