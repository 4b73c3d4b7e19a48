// The table of block routines callable by name with integer arguments: the shell's
// "call" command (and any other host) runs a routine from it on the chip or the simulator.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

/// One routine: its name, integer argument count, one-line help and how to run it.
struct ksx_routine {
    std::string name;
    size_t argc = 0;
    std::string help;
    /// Runs the routine; the result is the routine's return value (0 for routines without one).
    std::function<int64_t(const std::vector<int64_t>&)> run;
    bool has_result = false;  ///< the routine returns a value worth printing
    /// Names of the in-out arguments the routine hands back (a performance level...), in order.
    std::vector<std::string> outs;
    /// For routines with `outs`: runs the routine and stores those arguments' values after the call.
    std::function<int64_t(const std::vector<int64_t>&, std::vector<int64_t>& outs)> run_outs;
};

/// Process-wide table of routines, filled by the block sources as the library loads.
class ksx_routine_table {
public:
    static ksx_routine_table& instance();
    /// Adds a routine; a second routine of the same name replaces the first.
    void add(ksx_routine routine);
    /// The routine of that name, or null.
    const ksx_routine* find(const std::string& name) const;
    /// Every routine, sorted by name.
    std::vector<const ksx_routine*> all() const;

private:
    std::vector<ksx_routine> routines_;
};

namespace ksx_routine_detail {
template <class R, class... A, size_t... I>
ksx_routine make(const char* name, const char* help, R (*fn)(A...), std::index_sequence<I...>) {
    ksx_routine r;
    r.name = name;
    r.argc = sizeof...(A);
    r.help = help;
    r.has_result = !std::is_void<R>::value;
    r.run = [fn](const std::vector<int64_t>& a) -> int64_t {
        (void)a;
        if constexpr (std::is_void<R>::value) {
            fn(static_cast<A>(a[I])...);
            return 0;
        } else {
            return static_cast<int64_t>(fn(static_cast<A>(a[I])...));
        }
    };
    return r;
}
}  // namespace ksx_routine_detail

/// A table entry for a free function whose arguments are all integers.
template <class R, class... A>
ksx_routine ksx_make_routine(const char* name, const char* help, R (*fn)(A...)) {
    static_assert((std::is_integral<A>::value && ...), "routine arguments must be integers");
    return ksx_routine_detail::make(name, help, fn, std::index_sequence_for<A...>{});
}

/// `KSX_ROUTINE(ksx_psp_init_start, "program the psp bring-up configuration")`
#define KSX_ROUTINE(fn, help) ksx_make_routine(#fn, help, &fn)

/// Adds routines to the table when the library loads: one static instance per block source.
struct ksx_routine_registrar {
    ksx_routine_registrar(std::initializer_list<ksx_routine> routines);
};
