// Named register access from Python (the kestrix_csr module in an embedded interpreter)
// against the same access from C++ (name look-up in the register map database, then the
// register's words through the address-level functions), in one run on the simulated chip.
// Each iteration is 1000 accesses, so the time per iteration in ns is the time per access in ps.
#include <benchmark/benchmark.h>
#include <pybind11/embed.h>

#include <boost/multiprecision/cpp_int.hpp>

#include "model/utils/ksx_regdb.h"
#include "platform/csr_addr.h"

namespace py = pybind11;
using boost::multiprecision::cpp_int;

namespace {

constexpr int kBatch = 1000;

const char* kPython = R"(
import sys
sys.path.insert(0, MODULE_DIR)
import kestrix_csr
chip = kestrix_csr.open(backend="sim")

def read_write(name, n):
    for _ in range(n):
        r = chip[name]
        r.write(r.read())
)";

py::object& python_read_write() {
    static py::scoped_interpreter interpreter;
    static py::object fn = [] {
        py::dict scope;
        scope["MODULE_DIR"] = KSX_PY_MODULE_DIR;
        py::exec(kPython, scope);
        return scope["read_write"];
    }();
    return fn;
}

cpp_int cpp_read(const ksx_regdb_location& loc) {
    const uint32_t words = (loc.reg->width + 31) / 32, flags = loc.reg->secure ? 1 : 0;
    cpp_int v = 0;
    for (uint32_t i = words; i-- > 0;) v = (v << 32) | csr_read_addr(loc.address + 4 * i, flags);
    return v & ((cpp_int(1) << loc.reg->width) - 1);
}

void cpp_write(const ksx_regdb_location& loc, const cpp_int& v) {
    const uint32_t words = (loc.reg->width + 31) / 32, flags = loc.reg->secure ? 1 : 0;
    for (uint32_t i = 0; i < words; ++i)
        csr_write_addr(loc.address + 4 * i, static_cast<uint32_t>((v >> (32 * i)) & 0xffffffffu), flags);
}

const char* register_name(const benchmark::State& state) {
    return state.range(0) == 0 ? "txs.cfg_glb" : "txs.cfg_flow_ctl";
}

void BM_cpp_named_read_write(benchmark::State& state) {
    python_read_write();  // the same start-up as the Python side
    const std::string name = register_name(state);
    const ksx_regdb& db = ksx_regdb::chip();
    for (auto _ : state)
        for (int i = 0; i < kBatch; ++i) {
            const ksx_regdb_location loc = db.find(name);
            cpp_write(loc, cpp_read(loc));
        }
    state.SetLabel(name);
}

void BM_python_named_read_write(benchmark::State& state) {
    py::object& fn = python_read_write();
    const py::str name(register_name(state));
    for (auto _ : state) fn(name, kBatch);
    state.SetLabel(std::string(name));
}

}  // namespace

// 0: txs.cfg_glb (one word); 1: txs.cfg_flow_ctl (75 bits, three words).
BENCHMARK(BM_cpp_named_read_write)->Arg(0)->Arg(1);
BENCHMARK(BM_python_named_read_write)->Arg(0)->Arg(1);
BENCHMARK_MAIN();
