// The kestrix_csr Python module: opens the library once on a backend and offers the chip's
// registers by name, address-level access, golden images, knobs, the routine table and the
// simulated chip's faults and access trace.
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <pybind11/stl.h>

#include "apps/ksxcsr/trace_bus.h"
#include "ip/verif/pcpp/cpu.h"
#include "platform/csr_addr.h"
#include "platform/csr_chip_inst.h"
#include "platform/csr_init.h"
#include "platform/csr_value_text.h"
#include "platform/hal/bus_backend.h"
#include "platform/hal/sknobs.h"
#include "platform/sim/sim_board_devices.h"
#include "platform/sim/sim_bus_backend.h"
#include "platform/sim/sim_chip.h"
#include "platform/sim/sim_ssi_controller.h"
#include "python/ksx_py_golden.h"
#include "python/ksx_py_register.h"
#include "python/ksx_py_values.h"
#include "verif/apis/ksx_routine_table.h"

namespace py = pybind11;

namespace ksx_py {

namespace {

const char* kTraceIf = "kestrix_csr_trace";

[[noreturn]] void os_error(const std::string& file) {
    PyErr_SetFromErrnoWithFilename(PyExc_OSError, file.c_str());
    throw py::error_already_set();
}

/// Sets the platform interface's knobs for a backend text ("sim", "mmap:PATH[@BASE[,SIZE]]").
void choose_backend(const std::string& choice) {
    const std::string why = ksx_choose_bus_backend(choice);
    if (!why.empty()) throw py::value_error(why);
}

ksx_sim_chip& sim_chip() {
    if (!dynamic_cast<ksx_sim_bus_backend*>(ksx_platform_backend().get()))
        throw py::value_error("sim: the live backend is " + ksx_platform_backend()->describe() + ", not the simulated chip");
    return ksx_sim_chip::instance();
}

/// The knob database.
struct py_knobs {};

/// The chip the library runs on (one per process).
struct py_chip {
    std::ostringstream trace_text;
    std::unique_ptr<ksx_trace_bus> tracer;
    std::string traced_if;
    std::vector<int> faults;
};

py_chip* g_chip = nullptr;

py_chip& open_chip(py::object backend, const std::vector<std::string>& knobs, const std::vector<std::string>& knob_files) {
    if (g_chip) {
        if (!backend.is_none() || !knobs.empty() || !knob_files.empty())
            throw py::value_error("the library is already open on " + ksx_platform_backend()->describe() +
                                  "; open() takes a backend and knobs only the first time");
        return *g_chip;
    }
    std::vector<std::string> args{"kestrix_csr"};
    for (const std::string& k : knobs) {
        if (k.size() < 2 || k[0] != '+') throw py::value_error("bad knob '" + k.substr(0, 80) + "': expected +key=value");
        args.push_back(k);
    }
    for (const std::string& f : knob_files) {
        if (access(f.c_str(), R_OK) != 0) os_error(f);
        args.push_back("-f");
        args.push_back(f);
    }
    std::vector<char*> argv;
    for (std::string& s : args) argv.push_back(&s[0]);
    if (sknobs_init(int(argv.size()), argv.data()) != 0)
        throw py::value_error("a knob file failed to load (see the error above)");
    if (!backend.is_none()) choose_backend(backend.cast<std::string>());
    sdk::platform::kestrix::csr_init();
    const std::shared_ptr<ksx_bus_backend> b = ksx_platform_backend();
    if (!b->ok()) throw py::value_error("backend refused: " + b->error());
    // On the simulated chip the serial controller, its target and the board devices answer too.
    if (dynamic_cast<ksx_sim_bus_backend*>(b.get())) {
        ksx_sim_attach_ps48(ksx_sim_chip::instance());
        ksx_sim_attach_board_devices(ksx_sim_chip::instance(), ksx_sim_board::instance());
    }
    g_chip = new py_chip;  // lives with the process, as the library's state does
    return *g_chip;
}

void set_trace(py_chip& c, bool on) {
    cpu* dispatcher = cpu::access();
    const bool tracing = dispatcher->get_cur_if_name() == kTraceIf;
    if (on && !tracing) {
        cpu_bus_base* inner = dispatcher->cur_bus();
        if (!inner) throw py::value_error("trace: no bus interface to trace");
        // The tracer wraps the interface in use when tracing first starts and is kept: the
        // dispatcher holds on to it.
        if (!c.tracer) {
            c.traced_if = dispatcher->get_cur_if_name();
            c.tracer = std::make_unique<ksx_trace_bus>(*inner, c.trace_text);
            dispatcher->add_if(kTraceIf, c.tracer.get());
        }
        dispatcher->set_cur_if_name(kTraceIf);
    } else if (!on && tracing) {
        dispatcher->set_cur_if_name(c.traced_if);
    }
}

py::list take_trace(py_chip& c) {
    py::list out;
    std::istringstream in(c.trace_text.str());
    for (std::string line; std::getline(in, line);) out.append(line.rfind("trace: ", 0) == 0 ? line.substr(7) : line);
    c.trace_text.str("");
    return out;
}

int64_t routine_arg(py::handle v, size_t i, const std::string& name) {
    if (!PyLong_Check(v.ptr())) throw py::type_error("argument " + std::to_string(i + 1) + " of " + name + " must be an int");
    int overflow = 0;
    const long long x = PyLong_AsLongLongAndOverflow(v.ptr(), &overflow);
    if (overflow) throw std::overflow_error("argument " + std::to_string(i + 1) + " of " + name + " does not fit 64 bits");
    return x;
}

py::object call_routine(const std::string& name, py::args args) {
    const ksx_routine* r = ksx_routine_table::instance().find(name);
    if (!r) throw py::key_error("unknown routine '" + name.substr(0, 80) + "'");
    if (args.size() != r->argc)
        throw py::value_error(name + " takes " + std::to_string(r->argc) + " argument" + (r->argc == 1 ? "" : "s") +
                              ", got " + std::to_string(args.size()));
    std::vector<int64_t> values;
    for (size_t i = 0; i < args.size(); ++i) values.push_back(routine_arg(args[i], i, name));
    const int64_t result = r->run(values);
    if (!r->has_result) return py::none();
    return py::int_(result);
}

py::bytes words_bytes(const std::vector<uint32_t>& words) {
    std::string s(words.size() * 4, '\0');
    for (size_t i = 0; i < words.size(); ++i)
        for (int b = 0; b < 4; ++b) s[4 * i + b] = char((words[i] >> (8 * b)) & 0xff);
    return py::bytes(s);
}

}  // namespace

void bind_chip(py::module_& m) {
    py::object instance_type = py::module_::import("collections").attr("namedtuple")("Instance", "name group cls base");
    instance_type.attr("__doc__") = "A block instance: name, group, register class (cls) and base address.";
    py::object entry_type =
        py::module_::import("collections").attr("namedtuple")("Entry", "name offset width count kind");
    entry_type.attr("__doc__") = "A register or memory of a block: name, byte offset, width, count, kind.";
    py::object routine_type = py::module_::import("collections").attr("namedtuple")("Routine", "name argc help");
    routine_type.attr("__doc__") = "A routine of the routine table: name, integer argument count and help.";
    m.attr("Instance") = instance_type;
    m.attr("Entry") = entry_type;
    m.attr("Routine") = routine_type;

    py::class_<py_knobs>(m, "Knobs", "The knob database: knob texts by key.")
        .def(
            "__getitem__",
            [](py_knobs&, const std::string& key) {
                if (!sknobs_exists(key.c_str())) throw py::key_error("no knob '" + key.substr(0, 80) + "'");
                return std::string(sknobs_get_string(key.c_str(), ""));
            },
            "The knob's text (KeyError when it is not defined).")
        .def(
            "__setitem__",
            [](py_knobs&, const std::string& key, py::handle value) {
                if (PyLong_Check(value.ptr())) sknobs_set_value(key.c_str(), to_u64(value, "knob value"));
                else sknobs_set_string(key.c_str(), std::string(py::str(value)).c_str());
            },
            "Replaces every definition of the key by this value (int or text).")
        .def("__contains__", [](py_knobs&, const std::string& key) { return sknobs_exists(key.c_str()) != 0; },
             "True when a knob of that key is defined.")
        .def(
            "get",
            [](py_knobs&, const std::string& key, py::object def) -> py::object {
                if (!sknobs_exists(key.c_str())) return def;
                return py::str(sknobs_get_string(key.c_str(), ""));
            },
            py::arg("key"), py::arg("default") = py::none(), "The knob's text, or default when it is not defined.")
        .def(
            "value",
            [](py_knobs&, const std::string& key, uint64_t def) { return sknobs_get_value(key.c_str(), def); },
            py::arg("key"), py::arg("default") = 0, "The knob's value as a number, or default when it is not defined.")
        .def(
            "load",
            [](py_knobs&, const std::string& path) {
                if (access(path.c_str(), R_OK) != 0) os_error(path);
                if (sknobs_load_file(path.c_str()) != 0)
                    throw py::value_error("knob file " + path + " failed to load (see the error above)");
            },
            py::arg("path"), "Loads a knob file (+key=value tokens, -f includes, comments).");

    py::class_<py_chip>(m, "Chip", "The chip the library runs on: registers by name and everything around them.")
        .def_property_readonly("backend", [](py_chip&) { return ksx_platform_backend()->describe(); },
                               "The backend and its window, as text.")
        .def_property_readonly("knobs", [](py_chip&) { return py_knobs{}; }, "The knob database.")
        .def(
            "__getitem__",
            [](py_chip&, const std::string& name) {
                const ksx_regdb_field* f = nullptr;
                const ksx_regdb_location loc = resolve(name, &f);
                if (f) throw py::key_error("'" + name + "' is a field: use chip[\"" + loc.name() + "\"]." + f->name);
                return py_register(loc);
            },
            py::arg("name"), "The register, element or entry of that dotted name (KeyError when there is none).")
        .def(
            "__contains__",
            [](py_chip&, const std::string& name) { return bool(ksx_regdb::chip().find(name)); },
            "True when the dotted name is a register, element or entry.")
        .def(
            "read",
            [](py_chip&, const std::string& name) {
                const ksx_regdb_field* f = nullptr;
                const ksx_regdb_location loc = resolve(name, &f);
                const cpp_int v = read_reg(loc);
                return to_py(f ? field_value(v, *f) : v);
            },
            py::arg("name"), "Reads NAME or NAME.FIELD from the chip; returns the value.")
        .def(
            "write",
            [](py_chip&, const std::string& name, py::handle value) {
                const ksx_regdb_field* f = nullptr;
                py_register r(resolve(name, &f));
                const cpp_int v = to_wide(value, "value");
                if (f) {
                    if (v >> f->width != 0)
                        throw std::overflow_error("value " + csr_hex_text(v) + " does not fit " +
                                                  std::to_string(f->width) + " bits of " + name);
                    r.set_field(*f, v);
                } else {
                    r.set_value(v);
                }
                r.write();
            },
            py::arg("name"), py::arg("value"),
            "Writes NAME, or NAME.FIELD by read-modify-write (other action fields get 0).")
        .def(
            "decode",
            [](py_chip&, py::handle address) {
                const uint64_t addr = to_u64(address, "address");
                const ksx_regdb& db = ksx_regdb::chip();
                const ksx_regdb_location loc = db.decode(addr);
                if (!loc.inst) throw py::value_error("address " + csr_hex_text(addr) + " lies in no block instance");
                py::dict d;
                d["address"] = addr;
                d["instance"] = loc.inst->name;
                d["cls"] = loc.cls->name;
                d["offset"] = addr - loc.inst->base;
                d["register"] = loc ? py::object(py::str(loc.name())) : py::object(py::none());
                py::list fields;
                if (loc) {
                    d["index"] = loc.index;
                    d["word"] = loc.word;
                    for (const ksx_regdb_field* f : db.fields(*loc.reg))
                        if (f->lsb + f->width > 32 * loc.word && f->lsb < 32 * (loc.word + 1)) fields.append(f->name);
                }
                d["fields"] = fields;
                return d;
            },
            py::arg("address"),
            "What lies at an address: dict of address, instance, cls, offset, register (None in a gap),\n"
            "index, word and the fields in that word. ValueError outside every block instance.")
        .def(
            "find",
            [](py_chip&, const std::string& text) {
                const ksx_regdb_tables& t = ksx_regdb::chip().tables();
                std::vector<std::string> out;
                for (size_t i = 0; i < t.n_insts; ++i) {
                    const ksx_regdb_class& cls = t.classes[t.insts[i].class_idx];
                    for (uint32_t r = 0; r < cls.n_regs; ++r) {
                        const std::string full = std::string(t.insts[i].name) + "." + t.regs[cls.first_reg + r].name;
                        if (full.find(text) != std::string::npos) out.push_back(full);
                    }
                }
                return out;
            },
            py::arg("text"), "Dotted names of every register and memory whose name contains text.")
        .def(
            "instances",
            [instance_type](py_chip&) {
                const ksx_regdb_tables& t = ksx_regdb::chip().tables();
                py::list out;
                for (size_t i = 0; i < t.n_insts; ++i)
                    out.append(instance_type(t.insts[i].name, t.insts[i].group, t.classes[t.insts[i].class_idx].name,
                                             t.insts[i].base));
                return out;
            },
            "Every block instance in address order, as Instance tuples.")
        .def(
            "registers",
            [entry_type](py_chip&, const std::string& instance) {
                const ksx_regdb& db = ksx_regdb::chip();
                const ksx_regdb_inst* inst = db.find_inst(instance);
                if (!inst) throw py::key_error("unknown instance '" + instance.substr(0, 80) + "' (try 'info')");
                const ksx_regdb_tables& t = db.tables();
                const ksx_regdb_class& cls = t.classes[inst->class_idx];
                py::list out;
                for (uint32_t r = 0; r < cls.n_regs; ++r) {
                    const ksx_regdb_reg& reg = t.regs[cls.first_reg + r];
                    out.append(entry_type(reg.name, reg.offset, reg.width, reg.count,
                                          reg.kind == KSX_REGDB_MEMORY ? "memory" : "register"));
                }
                return out;
            },
            py::arg("instance"), "The registers and memories of one block instance, as Entry tuples.")
        .def(
            "read_addr",
            [](py_chip&, py::handle address, py::handle flags) {
                const uint64_t addr = to_u64(address, "address");
                const uint32_t fl = to_u32(flags, "flags");
                check_reach(addr, 4, true);
                return csr_read_addr(addr, fl);
            },
            py::arg("address"), py::arg("flags") = 0, "Reads one 32-bit word.")
        .def(
            "write_addr",
            [](py_chip&, py::handle address, py::handle data, py::handle flags) {
                const uint64_t addr = to_u64(address, "address");
                const uint32_t d = to_u32(data, "data"), fl = to_u32(flags, "flags");
                check_reach(addr, 4, true);
                csr_write_addr(addr, d, fl);
            },
            py::arg("address"), py::arg("data"), py::arg("flags") = 0, "Writes one 32-bit word.")
        .def(
            "block_read",
            [](py_chip&, py::handle address, py::handle count) {
                const uint64_t addr = to_u64(address, "address");
                const uint32_t n = to_u32(count, "count");
                if (n > 65536) throw py::value_error("bad count '" + std::to_string(n) + "': at most 65536 words");
                if (n > 0) check_reach(addr, 4ull * n, true);
                return words_bytes(csr_block_read_addr(addr, int32_t(n), 0));
            },
            py::arg("address"), py::arg("count"), "Reads count words as one block; bytes, each word least significant byte first.")
        .def(
            "block_write",
            [](py_chip&, py::handle address, const py::bytes& data) {
                const uint64_t addr = to_u64(address, "address");
                const std::string s = data;
                if (s.size() % 4) throw py::value_error("block data of " + std::to_string(s.size()) + " bytes is not whole words");
                if (s.size() > 4 * 65536) throw py::value_error("block data of " + std::to_string(s.size()) + " bytes: at most 65536 words");
                std::vector<uint32_t> words(s.size() / 4);
                for (size_t i = 0; i < words.size(); ++i)
                    for (int b = 0; b < 4; ++b) words[i] |= uint32_t(uint8_t(s[4 * i + b])) << (8 * b);
                if (!words.empty()) check_reach(addr, s.size(), true);
                csr_block_write_addr(addr, int32_t(words.size()), words, 0);
            },
            py::arg("address"), py::arg("data"), "Writes bytes (whole words, least significant byte first) as one block.")
        .def(
            "burst_read",
            [](py_chip&, py::handle address, py::handle length, py::handle flags) {
                const uint64_t addr = to_u64(address, "address");
                const uint32_t len = to_u32(length, "length"), fl = to_u32(flags, "flags");
                if (len > (1u << 20)) throw py::value_error("bad length '" + std::to_string(len) + "': at most 1 MiB");
                if (len > 0) check_reach(addr, len, false);
                std::string buf(len, '\0');
                cpu::access()->burst_read(csr_get_cur_chip_id(), addr, len, reinterpret_cast<uint8_t*>(&buf[0]), false, fl, false);
                return py::bytes(buf);
            },
            py::arg("address"), py::arg("length"), py::arg("flags") = 0, "Reads length bytes as one burst.")
        .def(
            "burst_write",
            [](py_chip&, py::handle address, const py::bytes& data, py::handle flags) {
                const uint64_t addr = to_u64(address, "address");
                const uint32_t fl = to_u32(flags, "flags");
                std::string buf = data;
                if (buf.size() > (1u << 20)) throw py::value_error("bad length '" + std::to_string(buf.size()) + "': at most 1 MiB");
                if (!buf.empty()) check_reach(addr, buf.size(), false);
                cpu::access()->burst_write(csr_get_cur_chip_id(), addr, uint32_t(buf.size()),
                                           reinterpret_cast<const uint8_t*>(buf.data()), false, fl, false);
            },
            py::arg("address"), py::arg("data"), py::arg("flags") = 0, "Writes bytes as one burst.")
        .def("flush", [](py_chip&) { csr_flush(); }, "Completes every access the interface still holds.")
        .def("golden_write", [](py_chip&, const std::string& file, const std::string& name, const std::string& filter) {
                 return golden_write(file, name, filter);
             },
             py::arg("file"), py::arg("name") = "", py::arg("filter") = "",
             "Saves the registers of instance or group NAME (all when empty) whose name contains filter\n"
             "to a golden image; returns how many were saved.")
        .def("golden_compare", [](py_chip&, const std::string& file, const std::string& name, const std::string& filter) {
                 return golden_compare(file, name, filter);
             },
             py::arg("file"), py::arg("name") = "", py::arg("filter") = "",
             "The selected registers whose chip value differs from the image: [(name, golden, hardware)].")
        .def("golden_read", [](py_chip&, const std::string& file, const std::string& name, const std::string& filter) {
                 return golden_read(file, name, filter);
             },
             py::arg("file"), py::arg("name") = "", py::arg("filter") = "",
             "The image's value of each selected register: {name: value}.")
        .def("call", [](py_chip&, const std::string& name, py::args args) { return call_routine(name, args); },
             py::arg("name"), "Runs a routine of the routine table with integer arguments; returns its result\n"
                              "(None for routines without one).")
        .def(
            "routines",
            [routine_type](py_chip&) {
                py::list out;
                for (const ksx_routine* r : ksx_routine_table::instance().all()) out.append(routine_type(r->name, r->argc, r->help));
                return out;
            },
            "Every routine of the routine table, sorted by name, as Routine tuples.")
        .def(
            "sim_fault",
            [](py_chip& c, py::handle address, py::handle size, const std::string& kind, py::handle value) {
                ksx_sim_chip& sim = sim_chip();
                ksx_sim_fault f;
                if (kind == "stuck") {
                    f.kind = ksx_sim_fault::stuck_value;
                    f.value = to_u32(value, "value");
                } else if (kind == "drop") {
                    f.kind = ksx_sim_fault::drop_writes;
                } else if (kind == "noresp") {
                    f.kind = ksx_sim_fault::no_response;
                } else {
                    throw py::value_error("bad fault '" + kind.substr(0, 80) + "': expected stuck, drop or noresp");
                }
                const int h = sim.inject_fault(csr_get_cur_chip_id(), to_u64(address, "address"), to_u64(size, "size"), f);
                c.faults.push_back(h);
                return h;
            },
            py::arg("address"), py::arg("size"), py::arg("kind"), py::arg("value") = 0,
            "Makes the simulated chip misbehave on [address, address + size): 'stuck' (reads answer\n"
            "value, writes are lost), 'drop' (writes are lost) or 'noresp' (reads answer 0xdeadbeef).\n"
            "Returns a handle for sim_clear.")
        .def(
            "sim_clear",
            [](py_chip& c, py::object handle) {
                ksx_sim_chip& sim = sim_chip();
                if (handle.is_none()) {
                    for (int h : c.faults) sim.clear_fault(h);
                    c.faults.clear();
                    return;
                }
                if (!sim.clear_fault(handle.cast<int>())) throw py::key_error("no fault " + std::string(py::str(handle)));
            },
            py::arg("handle") = py::none(), "Heals one injected fault, or every fault injected from Python.")
        .def("trace", [](py_chip& c, bool on) { set_trace(c, on); }, py::arg("on") = true,
             "Starts (or stops) recording every bus access.")
        .def("trace_lines", [](py_chip& c) { return take_trace(c); },
             "The accesses recorded since the last call, one text line each as the shell's --trace shows them.");

    m.def("open", &open_chip, py::arg("backend") = py::none(), py::arg("knobs") = std::vector<std::string>{},
          py::arg("knob_files") = std::vector<std::string>{}, py::return_value_policy::reference,
          "Starts the library (once per process) and returns the chip.\n"
          "backend: 'sim' (the simulated chip) or 'mmap:PATH[@BASE[,SIZE]]'; None lets the knobs choose.\n"
          "knobs: '+key=value' texts; knob_files: knob files loaded first.");
}

}  // namespace ksx_py

PYBIND11_MODULE(kestrix_csr, m) {
    m.doc() = "Kestrix CSR library from Python: the chip's registers by name, on the simulated chip or a board.";
    ksx_py::bind_register(m);
    ksx_py::bind_chip(m);
}
