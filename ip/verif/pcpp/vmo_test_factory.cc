// Process-wide table of block tests by name.
#include "ip/verif/pcpp/vmo_test_factory.h"

#include "ip/verif/pcpp/vmo_test_factory_creator.h"

vmo_test_factory::table_t& vmo_test_factory::get_table() {
    static table_t table;
    return table;
}

void vmo_test_factory::registerit(const std::string& name, vmo_test_factory_creator* creator) {
    get_table()[name] = creator;
}

vmo_blk_test_base* vmo_test_factory::create(const std::string& name, vmo_blk_env_base* env) {
    const table_t& table = get_table();
    auto it = table.find(name);
    if (it == table.end() || !it->second) return nullptr;
    return it->second->create(env);
}
