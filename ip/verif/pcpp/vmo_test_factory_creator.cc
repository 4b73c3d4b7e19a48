// Creator of one block test, registered in the test factory under the test's name.
#include "ip/verif/pcpp/vmo_test_factory_creator.h"

#include "ip/verif/pcpp/vmo_test_factory.h"

vmo_test_factory_creator::vmo_test_factory_creator(const std::string& name) : name_(name) {
    vmo_test_factory::registerit(name, this);
}

// A creator that goes away must not leave a dangling entry behind.
vmo_test_factory_creator::~vmo_test_factory_creator() {
    auto& table = vmo_test_factory::get_table();
    auto it = table.find(name_);
    if (it != table.end() && it->second == this) table.erase(it);
}
