// Base of block test environments.
#include "ip/verif/pcpp/vmo_blk_env_base.h"

#include "ip/verif/pcpp/logmsg.h"
#include "ip/verif/pcpp/vmo_blk_test_base.h"
#include "ip/verif/pcpp/vmo_test_factory.h"

vmo_blk_env_base::vmo_blk_env_base(int env_id) : env_id_(env_id) {}

vmo_blk_env_base::~vmo_blk_env_base() = default;

void vmo_blk_env_base::add_test(const std::string& name) {
    test_ = vmo_test_factory::create(name, this);
    if (!test_) plog_err("c test: " + name + " doesn't exist");
}

void vmo_blk_env_base::exec_phase(const std::string& phase) {
    if (test_) test_->exec_phase(phase);
}
