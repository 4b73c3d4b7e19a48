// The table of callable block routines.
#include "verif/apis/ksx_routine_table.h"

#include <algorithm>

ksx_routine_table& ksx_routine_table::instance() {
    static ksx_routine_table table;
    return table;
}

void ksx_routine_table::add(ksx_routine routine) {
    for (ksx_routine& r : routines_) {
        if (r.name == routine.name) {
            r = std::move(routine);
            return;
        }
    }
    routines_.push_back(std::move(routine));
}

const ksx_routine* ksx_routine_table::find(const std::string& name) const {
    for (const ksx_routine& r : routines_)
        if (r.name == name) return &r;
    return nullptr;
}

std::vector<const ksx_routine*> ksx_routine_table::all() const {
    std::vector<const ksx_routine*> out;
    for (const ksx_routine& r : routines_) out.push_back(&r);
    std::sort(out.begin(), out.end(), [](const ksx_routine* a, const ksx_routine* b) { return a->name < b->name; });
    return out;
}

ksx_routine_registrar::ksx_routine_registrar(std::initializer_list<ksx_routine> routines) {
    for (const ksx_routine& r : routines) ksx_routine_table::instance().add(r);
}
