// Prints the chip's register map database as the C++ library holds it, one fact per line,
// for the check that the generated C headers give the same offsets, widths, resets and
// field positions: C <class> <byte size>; R <class> <register> <offset> <width> <byte size>
// <count> <reset>; F <class> <register> <field> <lsb> <width>; I <instance> <group> <base>
// <registry instance>.
#include <cstdio>

#include "model/utils/ksx_regdb.h"

int main() {
    const ksx_regdb_tables& t = ksx_regdb::chip().tables();
    for (size_t c = 0; c < t.n_classes; ++c) {
        const ksx_regdb_class& cls = t.classes[c];
        std::printf("C %s %llu\n", cls.name, static_cast<unsigned long long>(cls.byte_size));
        for (uint32_t r = cls.first_reg; r < cls.first_reg + cls.n_regs; ++r) {
            const ksx_regdb_reg& reg = t.regs[r];
            std::printf("R %s %s %llu %u %u %u %s\n", cls.name, reg.name, static_cast<unsigned long long>(reg.offset),
                        reg.width, reg.byte_size, reg.count, reg.reset);
            for (uint32_t f = reg.first_field; f < reg.first_field + reg.n_fields; ++f)
                std::printf("F %s %s %s %u %u\n", cls.name, reg.name, t.fields[f].name, t.fields[f].lsb,
                            t.fields[f].width);
        }
    }
    for (size_t i = 0; i < t.n_insts; ++i)
        std::printf("I %s %s %llu %d\n", t.insts[i].name, t.insts[i].group,
                    static_cast<unsigned long long>(t.insts[i].base), t.insts[i].reg_inst);
    return 0;
}
