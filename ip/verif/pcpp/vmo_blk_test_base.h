// Base of block tests: the phases a block environment drives, and the access type the
// test runs with.
#pragma once

#include <string>

#include "ip/verif/pcpp/cpu.h"

/// A block test; concrete tests implement the configuration, main and shutdown phases.
class vmo_blk_test_base {
public:
    vmo_blk_test_base() = default;
    virtual ~vmo_blk_test_base();
    /// Configures the block under test.
    virtual void do_config() = 0;
    /// Runs the main traffic or checks.
    virtual void do_main() = 0;
    /// Work that runs beside the main phase; none by default.
    virtual void do_main_bkgrnd();
    /// Ends the test and checks the final state.
    virtual void do_shutdown() = 0;
    /// Takes the dispatcher's current access type, then runs the phase named "config",
    /// "main", "main_bkgrnd" or "shutdown"; another name is reported and runs nothing.
    virtual void exec_phase(const std::string& phase);
    /// The access type the test runs with.
    virtual state get_access_type();
    /// Sets the access type the test runs with.
    virtual void set_access_type(state s);

protected:
    state access_type_ = FRONT_DOOR;
};
