#include "apps/ksxcsr/shell.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

#include "apps/ksxcsr/interrupt.h"
#include "apps/ksxcsr/json_out.h"
#include "apps/ksxcsr/reach_bus.h"
#include "apps/ksxcsr/tokenizer.h"
#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/vmo_csr_base.h"
#include "model/utils/ksx_register_base.h"
#include "platform/csr_addr.h"
#include "platform/csr_chip_inst.h"
#include "platform/csr_named.h"
#include "platform/csr_path.h"
#include "platform/csr_value_text.h"
#include "platform/hal/bus_backend.h"
#include "platform/sim/sim_bus_backend.h"
#include "platform/sim/sim_chip.h"

using boost::multiprecision::cpp_int;

namespace {

// Field texts as every named display shows them.
const auto access_text = csr_named_access_text;
const auto field_value = csr_named_field_value;
const auto bits_text = csr_named_bits_text;

std::string hex(const cpp_int& v) { return csr_hex_text(v); }

std::string pad(const std::string& s, size_t n) { return s.size() >= n ? s + " " : s + std::string(n - s.size(), ' '); }

}  // namespace

ksx_shell::ksx_shell(std::ostream& out, std::ostream& err, bool json)
    : out_(out), err_(err), json_(json), db_(ksx_regdb::chip()) {
    add("help", "help [COMMAND]", "list commands, or show one command's usage", 0, 1, [this](const args_t& a) {
        if (a.size() == 1) {
            auto it = commands_.find(a[0]);
            if (it == commands_.end()) throw ksx_shell_error{"help: unknown command '" + clip(a[0]) + "'"};
            if (json_) out_ << json_out().open('{').field("usage", it->second.usage).field("help", it->second.help).close('}').text() << "\n";
            else out_ << it->second.usage << "\n  " << it->second.help << "\n";
            return KSX_OK;
        }
        for (const auto& c : commands_) {
            if (json_) out_ << json_out().open('{').field("usage", c.second.usage).field("help", c.second.help).close('}').text() << "\n";
            else out_ << pad(c.second.usage, 44) << c.second.help << "\n";
        }
        return KSX_OK;
    });
    add("quit", "quit", "leave the shell", 0, 0, [this](const args_t&) {
        quit_ = true;
        return KSX_OK;
    });
    add("exit", "exit", "leave the shell", 0, 0, [this](const args_t&) {
        quit_ = true;
        return KSX_OK;
    });
    add_named_commands();
    add_library_commands();
    add_check_commands();
    add_board_commands();
    add_clocks_commands();
    add_call_commands();
    add_counter_commands();
    add_interrupt_commands();
    add_txs_commands();
    add_nx_commands();
}

void ksx_shell::add(const std::string& name, const std::string& usage, const std::string& help, size_t min_args,
                    size_t max_args, std::function<int(const args_t&)> run) {
    commands_[name] = command{usage, help, min_args, max_args, std::move(run)};
}

std::vector<std::string> ksx_shell::command_names() const {
    std::vector<std::string> names;
    for (const auto& c : commands_) names.push_back(c.first);
    return names;
}

std::string ksx_shell::clip(const std::string& text) { return csr_named_clip(text); }

cpp_int ksx_shell::parse_number(const std::string& text, const std::string& what) {
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        throw ksx_shell_error{"bad " + what + " '" + clip(text) + "': expected a non-negative number"};
    if (!csr_value_text_valid(text))
        throw ksx_shell_error{"bad " + what + " '" + clip(text) + "': expected decimal, 0x hexadecimal or 0-prefixed octal"};
    return csr_parse_value(text);
}

void ksx_shell::check_reach(uint64_t addr, uint64_t len, bool word_aligned) const {
    check_reach(addr, len, word_aligned, csr_get_cur_chip_id());
}

void ksx_shell::check_reach(uint64_t addr, uint64_t len, bool word_aligned, uint32_t chip) const {
    // Every register access of the shell passes here: the place to stop after a Ctrl-C.
    if (ksx_interrupt_pending()) {
        ksx_interrupt_clear();
        throw ksx_shell_error{"interrupted"};
    }
    const std::string why = csr_named_reach_error(addr, len, word_aligned, chip);
    if (!why.empty()) throw ksx_shell_error{why};
}

void ksx_shell::guard_bus() const {
    const ksx_reach_check check = [this](uint32_t chip, uint64_t addr, uint64_t len, bool word_aligned) {
        check_reach(addr, len, word_aligned, chip);
    };
    cpu* dispatcher = cpu::access();
    if (cpu_bus_base* inner = dispatcher->cur_bus()) {
        dispatcher->add_if("ksxcsr_reach", new ksx_reach_bus(*inner, check));  // lives with the process
        dispatcher->set_cur_if_name("ksxcsr_reach");
    }
    ksx_reach_pal(check);
}

void ksx_shell::check_reach(const ksx_regdb_location& loc) const {
    check_reach(loc.address, 4ull * ((loc.reg->width + 31) / 32), true);
}

uint64_t ksx_shell::parse_u64(const std::string& text, const std::string& what) const {
    const cpp_int v = parse_number(text, what);
    if (v > cpp_int(UINT64_MAX)) throw ksx_shell_error{"bad " + what + " '" + clip(text) + "': more than 64 bits"};
    return static_cast<uint64_t>(v);
}

uint32_t ksx_shell::parse_u32(const std::string& text, const std::string& what) const {
    const cpp_int v = parse_number(text, what);
    if (v > 0xffffffffu) throw ksx_shell_error{"bad " + what + " '" + clip(text) + "': more than 32 bits"};
    return static_cast<uint32_t>(v);
}

int ksx_shell::execute(const std::string& line) { return execute_script(line); }

int ksx_shell::execute_words(const args_t& words) {
    try {
        if (words.empty()) return KSX_OK;
        auto it = commands_.find(words[0]);
        if (it == commands_.end()) throw ksx_shell_error{"unknown command '" + clip(words[0]) + "' (try 'help')"};
        const args_t args(words.begin() + 1, words.end());
        for (size_t i = 0; i < args.size(); ++i)
            if (args[i].empty())
                throw ksx_shell_error{words[0] + ": argument " + std::to_string(i + 1) + " is empty; usage: " +
                                      it->second.usage};
        if (args.size() < it->second.min_args || args.size() > it->second.max_args)
            throw ksx_shell_error{"usage: " + it->second.usage};
        const int status = it->second.run(args);
        out_.flush();
        return status;
    } catch (const ksx_shell_error& e) {
        out_.flush();
        err_ << "ksxcsr: " << e.message << std::endl;
        return KSX_USAGE;
    } catch (const std::exception& e) {
        out_.flush();
        std::string line;
        for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
        err_ << "ksxcsr: " << clip(line) << ": " << e.what() << std::endl;
        return KSX_USAGE;
    }
}

int ksx_shell::execute_script(const std::string& text) {
    std::vector<args_t> commands;
    try {
        commands = ksx_tokenize(text);
    } catch (const ksx_shell_error& e) {
        err_ << "ksxcsr: " << e.message << std::endl;
        return KSX_USAGE;
    }
    int worst = KSX_OK;
    for (const args_t& words : commands) {
        const int s = execute_words(words);
        worst = std::max(worst, s);
        if (s == KSX_USAGE || quit_) break;
    }
    return worst;
}

// ---- named access ----------------------------------------------------------------------------

cpp_int ksx_shell::read_reg(const ksx_regdb_location& loc) const {
    check_reach(loc);
    return csr_named_read(loc);
}

void ksx_shell::write_reg(const ksx_regdb_location& loc, const cpp_int& value) const {
    check_reach(loc);
    csr_named_write(loc, value);
}

ksx_regdb_location ksx_shell::resolve(const std::string& name, const ksx_regdb_field** field) const {
    std::string why;
    const ksx_regdb_location loc = csr_named_resolve(name, field, why);
    if (!loc) throw ksx_shell_error{why};
    return loc;
}

void ksx_shell::print_register(const ksx_regdb_location& loc, const cpp_int& value) {
    const cpp_int reset = ksx_regdb::reset_value(*loc.reg);
    if (json_) {
        json_out j;
        j.open('{').field("name", loc.name()).field("address", hex(loc.address));
        j.field("width", loc.reg->width).field("value", hex(value)).field("reset", hex(reset));
        j.key("fields").open('[');
        for (const ksx_regdb_field* f : db_.fields(*loc.reg)) {
            j.open('{').field("name", f->name).field("msb", f->lsb + f->width - 1).field("lsb", f->lsb);
            j.field("value", hex(field_value(value, *f))).field("reset", hex(field_value(reset, *f)));
            j.field("access", access_text(f->access)).close('}');
        }
        j.close(']').close('}');
        out_ << j.text() << "\n";
        return;
    }
    out_ << csr_named_register_text(loc, value) << "\n";
}

std::vector<const ksx_regdb_inst*> ksx_shell::select_insts(const std::string& name) const {
    std::string why;
    std::vector<const ksx_regdb_inst*> out = csr_named_select_insts(name, why);
    if (out.empty()) throw ksx_shell_error{why};
    return out;
}

std::vector<ksx_regdb_location> ksx_shell::select_regs(const std::string& name, const std::string& filter,
                                                       bool with_memories) const {
    return csr_named_regs(select_insts(name), filter, with_memories);
}

void ksx_shell::progress(const std::string& what, size_t done, size_t total) {
    if (!progress_ || total == 0) return;
    const size_t step = std::max<size_t>(1, total / 100);
    if (done != total && done % step != 0) return;
    const int width = 40;
    const int filled = int(double(done) / double(total) * width);
    err_ << "\r" << what << " [" << std::string(size_t(filled), '#') << std::string(size_t(width - filled), ' ')
         << "] " << done << "/" << total << (done == total ? "\n" : "") << std::flush;
}

void ksx_shell::add_named_commands() {
    add("info", "info [all]", "groups with their instances and base addresses (all: every instance)", 0, 1,
        [this](const args_t& a) {
            if (a.size() == 1 && a[0] != "all") throw ksx_shell_error{"usage: info [all]"};
            const ksx_regdb_tables& t = db_.tables();
            // Groups in the order of their first instance's address.
            std::vector<std::string> order;
            std::map<std::string, std::vector<const ksx_regdb_inst*>> groups;
            size_t regs = 0;
            for (size_t i = 0; i < t.n_insts; ++i) {
                auto& g = groups[t.insts[i].group];
                if (g.empty()) order.push_back(t.insts[i].group);
                g.push_back(&t.insts[i]);
                regs += t.classes[t.insts[i].class_idx].n_regs;
            }
            if (json_) {
                json_out j;
                j.open('{').field("backend", ksx_platform_backend()->describe()).field("top", t.top);
                j.field("groups", (long long)groups.size());
                j.field("instances", (long long)t.n_insts).field("classes", (long long)t.n_classes);
                j.field("registers", (long long)regs).key("instance_list").open('[');
                for (size_t i = 0; i < t.n_insts; ++i) {
                    const ksx_regdb_inst& in = t.insts[i];
                    j.open('{').field("name", in.name).field("group", in.group);
                    j.field("class", t.classes[in.class_idx].name).field("base", hex(in.base)).close('}');
                }
                j.close(']').close('}');
                out_ << j.text() << "\n";
                return KSX_OK;
            }
            out_ << "backend: " << ksx_platform_backend()->describe() << "\n";
            out_ << t.top << ": " << groups.size() << " groups with blocks, " << t.n_insts << " instances (sub-blocks included), "
                 << t.n_classes << " block classes, " << regs << " registers and memories\n";
            if (a.size() == 1) {
                for (size_t i = 0; i < t.n_insts; ++i) {
                    const ksx_regdb_inst& in = t.insts[i];
                    out_ << "  " << pad(in.group, 8) << pad(in.name, 22) << pad(hex(in.base), 12)
                         << t.classes[in.class_idx].name << "\n";
                }
                return KSX_OK;
            }
            for (const std::string& name : order) {
                const auto& g = groups[name];
                out_ << "  " << pad(name, 8) << pad(std::to_string(g.size()) + (g.size() == 1 ? " instance" : " instances"), 14)
                     << pad(hex(g.front()->base) + (g.size() > 1 ? ".." + hex(g.back()->base) : ""), 26) << g.front()->name
                     << (g.size() > 1 ? " ... " + std::string(g.back()->name) : "") << "\n";
            }
            return KSX_OK;
        });
    add("read", "read NAME[.FIELD]", "read a register (inst.reg, inst.mem[i]) and show its fields", 1, 1,
        [this](const args_t& a) {
            const ksx_regdb_field* f = nullptr;
            const ksx_regdb_location loc = resolve(a[0], &f);
            const cpp_int v = read_reg(loc);
            if (f == nullptr) {
                print_register(loc, v);
            } else if (json_) {
                json_out j;
                j.open('{').field("name", loc.name() + "." + f->name).field("value", hex(field_value(v, *f))).close('}');
                out_ << j.text() << "\n";
            } else {
                out_ << loc.name() << "." << f->name << " " << bits_text(*f) << " = " << hex(field_value(v, *f)) << "\n";
            }
            return KSX_OK;
        });
    add("write", "write NAME[.FIELD] VALUE", "write a register, or one field by read-modify-write", 2, 2,
        [this](const args_t& a) {
            const ksx_regdb_field* f = nullptr;
            const ksx_regdb_location loc = resolve(a[0], &f);
            const cpp_int v = parse_number(a[1], "value");
            const unsigned width = f ? f->width : loc.reg->width;
            if (v >> width != 0)
                throw ksx_shell_error{"value " + clip(a[1]) + " does not fit " + std::to_string(width) + " bits of " + clip(a[0])};
            const std::vector<const ksx_regdb_field*> fields = db_.fields(*loc.reg);
            if (f && f->access == KSX_REGDB_RO)
                throw ksx_shell_error{"field " + loc.name() + "." + f->name + " is read-only; nothing written"};
            if (!f && !fields.empty() &&
                std::all_of(fields.begin(), fields.end(), [](const ksx_regdb_field* g) { return g->access == KSX_REGDB_RO; }))
                throw ksx_shell_error{"register " + loc.name() + " is read-only; nothing written"};
            cpp_int next = v;
            if (f) {
                // Read-modify-write of one field: the other fields keep what they read, except
                // write-one-to-clear, write-one-to-set and self-clearing fields, which get 0 so
                // that writing this field does not clear, set or start anything else.
                cpp_int cur = read_reg(loc);
                for (const ksx_regdb_field* g : fields) {
                    const bool action = g->access == KSX_REGDB_W1C || g->access == KSX_REGDB_W1S || g->access == KSX_REGDB_SC;
                    if (g != f && !action) continue;
                    const cpp_int bits = ((cpp_int(1) << g->width) - 1) << g->lsb;
                    cur ^= cur & bits;
                }
                next = cur | (v << f->lsb);
            }
            write_reg(loc, next);
            if (json_) {
                json_out j;
                j.open('{').field("name", a[0]).field("written", hex(next)).close('}');
                out_ << j.text() << "\n";
            } else {
                out_ << loc.name() << " <- " << hex(next) << "\n";
            }
            return KSX_OK;
        });
    add("decode", "decode ADDRESS", "name the instance, register, entry and fields at an address", 1, 1,
        [this](const args_t& a) {
            const uint64_t addr = parse_u64(a[0], "address");
            const ksx_regdb_location loc = db_.decode(addr);
            if (loc.inst == nullptr) throw ksx_shell_error{"address " + hex(addr) + " lies in no block instance"};
            if (json_) {
                json_out j;
                j.open('{').field("address", hex(addr)).field("instance", loc.inst->name);
                j.field("class", loc.cls->name).field("offset", hex(addr - loc.inst->base));
                if (loc) {
                    j.field("register", loc.reg->name).field("index", loc.index).field("word", loc.word);
                    j.key("fields").open('[');
                    for (const ksx_regdb_field* f : db_.fields(*loc.reg))
                        if (f->lsb + f->width > 32 * loc.word && f->lsb < 32 * (loc.word + 1)) j.str(f->name);
                    j.close(']');
                }
                j.close('}');
                out_ << j.text() << "\n";
                return KSX_OK;
            }
            out_ << hex(addr) << ": " << loc.inst->name << " (" << loc.cls->name << ") + "
                 << hex(addr - loc.inst->base);
            if (!loc) {
                out_ << ", no register\n";
                return KSX_OK;
            }
            out_ << ", " << loc.name() << " word " << loc.word << "\n";
            for (const ksx_regdb_field* f : db_.fields(*loc.reg))
                if (f->lsb + f->width > 32 * loc.word && f->lsb < 32 * (loc.word + 1))
                    out_ << "  " << pad(f->name, 28) << bits_text(*f) << "\n";
            return KSX_OK;
        });
    add("find", "find TEXT", "registers whose name contains TEXT, in every instance", 1, 1, [this](const args_t& a) {
        const ksx_regdb_tables& t = db_.tables();
        json_out j;
        j.open('[');
        size_t n = 0;
        for (size_t i = 0; i < t.n_insts; ++i) {
            const ksx_regdb_class& cls = t.classes[t.insts[i].class_idx];
            for (uint32_t r = 0; r < cls.n_regs; ++r) {
                const ksx_regdb_reg& reg = t.regs[cls.first_reg + r];
                const std::string full = std::string(t.insts[i].name) + "." + reg.name;
                if (full.find(a[0]) == std::string::npos) continue;
                ++n;
                const uint64_t addr = t.insts[i].base + reg.offset;
                if (json_) j.open('{').field("name", full).field("address", hex(addr)).close('}');
                else out_ << pad(full, 48) << hex(addr) << (reg.count > 1 ? " [" + std::to_string(reg.count) + "]" : "") << "\n";
            }
        }
        if (json_) out_ << j.close(']').text() << "\n";
        else out_ << n << " match" << (n == 1 ? "" : "es") << "\n";
        return KSX_OK;
    });
    add("ls", "ls INSTANCE", "registers and memories of one block instance", 1, 1, [this](const args_t& a) {
        const ksx_regdb_inst* inst = db_.find_inst(a[0]);
        if (!inst) throw ksx_shell_error{"unknown instance '" + clip(a[0]) + "' (try 'info')"};
        const ksx_regdb_tables& t = db_.tables();
        const ksx_regdb_class& cls = t.classes[inst->class_idx];
        json_out j;
        j.open('[');
        if (!json_) out_ << inst->name << " (" << cls.name << ") @ " << hex(inst->base) << "\n";
        for (uint32_t r = 0; r < cls.n_regs; ++r) {
            const ksx_regdb_reg& reg = t.regs[cls.first_reg + r];
            if (json_) {
                j.open('{').field("name", reg.name).field("offset", hex(reg.offset)).field("width", reg.width);
                j.field("count", reg.count).field("kind", reg.kind == KSX_REGDB_MEMORY ? "memory" : "register").close('}');
            } else {
                out_ << "  " << pad(hex(reg.offset), 10) << pad(reg.name, 40) << reg.width << " bits"
                     << (reg.kind == KSX_REGDB_MEMORY ? " x " + std::to_string(reg.count) + " entries"
                         : reg.count > 1 ? " x " + std::to_string(reg.count) : "")
                     << "\n";
            }
        }
        if (json_) out_ << j.close(']').text() << "\n";
        return KSX_OK;
    });
}

void ksx_shell::add_library_commands() {
    auto print_value = [this](const std::string& key, const std::string& value) {
        if (json_) out_ << json_out().open('{').field(key, value).close('}').text() << "\n";
        else out_ << value << "\n";
    };
    auto depth = [this](const std::string& s) {
        const uint32_t d = parse_u32(s, "depth");
        if (d > INT32_MAX) throw ksx_shell_error{"bad depth '" + clip(s) + "': more than 31 bits"};
        return int(d);
    };
    // A path command resolves its path once and checks every register it would read or write
    // against the backend's window before the first access, as the address commands do.
    auto check_regs = [this](const std::vector<vmo_csr_base*>& nodes) {
        for (vmo_csr_base* n : nodes) {
            const auto* reg = dynamic_cast<const ksx_register_base*>(n);
            if (reg == nullptr || reg->get_width() <= 0) continue;
            check_reach(reg->get_offset(), 4ull * ((uint64_t(reg->get_width()) + 31) / 32), true,
                        uint32_t(reg->get_chip_id()));
        }
    };
    auto apply = [=](const std::vector<vmo_csr_base*>& nodes, const std::string& actions) {
        if ((":" + actions + ":").find(":read:") != std::string::npos) check_regs(nodes);
        for (vmo_csr_base* n : nodes) apply_action(n, actions);
    };
    add("csr_read", "csr_read PATH", "read a model node by path (paths are 'none' chains)", 1, 1,
        [=](const args_t& a) {
            vmo_csr_base* node = get_csr_base_from_path(a[0]);
            if (node == nullptr) {
                print_value("value", "0xdeadbeef");
                return KSX_OK;
            }
            check_regs({node});
            node->read();
            print_value("value", hex(node->all()));
            return KSX_OK;
        });
    add("csr_write", "csr_write PATH VALUE", "write a model node by path", 2, 2, [=](const args_t& a) {
        const cpp_int v = parse_number(a[1], "value");
        if (vmo_csr_base* node = get_csr_base_from_path(a[0])) {
            check_regs({node});
            node->all(v);
            node->write();
        }
        return KSX_OK;
    });
    add("csr_list", "csr_list PATH DEPTH [ACTIONS]", "apply read/show actions to the descendants of a path", 2, 3,
        [=](const args_t& a) {
            const int d = depth(a[1]);
            if (vmo_csr_base* node = get_csr_base_from_path(a[0])) apply(node->get_children(d), a.size() > 2 ? a[2] : "");
            return KSX_OK;
        });
    add("csr_find", "csr_find PATH TEXT DEPTH [ACTIONS]", "actions on descendants whose name contains TEXT", 3, 4,
        [=](const args_t& a) {
            const int d = depth(a[2]);
            if (vmo_csr_base* node = get_csr_base_from_path(a[0]))
                apply(node->get_children_string(a[1], d), a.size() > 3 ? a[3] : "");
            return KSX_OK;
        });
    add("csr_prefix", "csr_prefix PATH PREFIX DEPTH [ACTIONS]", "actions on descendants whose name starts with PREFIX",
        3, 4, [=](const args_t& a) {
            const int d = depth(a[2]);
            if (vmo_csr_base* node = get_csr_base_from_path(a[0]))
                apply(node->get_children_prefix(a[1], d), a.size() > 3 ? a[3] : "");
            return KSX_OK;
        });
    add("read_addr", "read_addr ADDRESS [FLAGS]", "read one 32-bit word", 1, 2, [=](const args_t& a) {
        const uint64_t addr = parse_u64(a[0], "address");
        const uint32_t flags = a.size() > 1 ? parse_u32(a[1], "flags") : 0;
        check_reach(addr, 4, true);
        const uint32_t w = csr_read_addr(addr, flags);
        print_value("value", hex(w));
        return KSX_OK;
    });
    add("write_addr", "write_addr ADDRESS DATA [FLAGS]", "write one 32-bit word", 2, 3, [=](const args_t& a) {
        const uint64_t addr = parse_u64(a[0], "address");
        const uint32_t data = parse_u32(a[1], "data"), flags = a.size() > 2 ? parse_u32(a[2], "flags") : 0;
        check_reach(addr, 4, true);
        csr_write_addr(addr, data, flags);
        return KSX_OK;
    });
    add("block_read_addr", "block_read_addr ADDRESS COUNT", "read COUNT words as one block", 2, 2,
        [=](const args_t& a) {
            const uint32_t n = parse_u32(a[1], "count");
            if (n > 65536) throw ksx_shell_error{"bad count '" + clip(a[1]) + "': at most 65536 words"};
            const uint64_t addr = parse_u64(a[0], "address");
            if (n > 0) check_reach(addr, 4ull * n, true);
            const auto words = csr_block_read_addr(addr, int32_t(n), 0);
            json_out j;
            j.open('{').key("words").open('[');
            std::string text;
            for (uint32_t w : words) {
                j.str(hex(w));
                text += (text.empty() ? "" : " ") + hex(w);
            }
            if (json_) out_ << j.close(']').close('}').text() << "\n";
            else out_ << text << "\n";
            return KSX_OK;
        });
    add("block_write_addr", "block_write_addr ADDRESS WORD...", "write words as one block", 2, 65537,
        [=](const args_t& a) {
            std::vector<uint32_t> words;
            for (size_t i = 1; i < a.size(); ++i) words.push_back(parse_u32(a[i], "word"));
            const uint64_t addr = parse_u64(a[0], "address");
            check_reach(addr, 4ull * words.size(), true);
            csr_block_write_addr(addr, int32_t(words.size()), words, 0);
            return KSX_OK;
        });
    add("burst_read", "burst_read ADDRESS LENGTH [FLAGS]", "read LENGTH bytes (least significant byte first)", 2, 3,
        [=](const args_t& a) {
            const uint32_t len = parse_u32(a[1], "length");
            if (len > (1u << 20)) throw ksx_shell_error{"bad length '" + clip(a[1]) + "': at most 1 MiB"};
            const uint64_t addr = parse_u64(a[0], "address");
            const uint32_t flags = a.size() > 2 ? parse_u32(a[2], "flags") : 0;
            if (len > 0) check_reach(addr, len, false);
            print_value("value", csr_read_burst(addr, len, flags));
            return KSX_OK;
        });
    add("burst_write", "burst_write ADDRESS LENGTH DATA [FLAGS]", "write LENGTH bytes of DATA, least significant first",
        3, 4, [=](const args_t& a) {
            const uint32_t len = parse_u32(a[1], "length");
            if (len > (1u << 20)) throw ksx_shell_error{"bad length '" + clip(a[1]) + "': at most 1 MiB"};
            if (parse_number(a[2], "data") >> (8 * len) != 0)
                throw ksx_shell_error{"data " + clip(a[2]) + " does not fit " + std::to_string(len) + " bytes"};
            const uint64_t addr = parse_u64(a[0], "address");
            const uint32_t flags = a.size() > 3 ? parse_u32(a[3], "flags") : 0;
            if (len > 0) check_reach(addr, len, false);
            csr_write_burst(addr, len, a[2], flags);
            return KSX_OK;
        });
    add("flush", "flush", "complete every access the interface still holds", 0, 0, [](const args_t&) {
        csr_flush();
        return KSX_OK;
    });
    add("sim", "sim fault ADDRESS SIZE stuck VALUE|drop|noresp | sim clear",
        "make the simulated chip misbehave on an address range, or heal it", 1, 5, [this](const args_t& a) {
            static std::vector<int> handles;
            if (!dynamic_cast<ksx_sim_bus_backend*>(ksx_platform_backend().get()))
                throw ksx_shell_error{"sim: the live backend is " + ksx_platform_backend()->describe() +
                                      ", not the simulated chip"};
            auto& sim = ksx_sim_chip::instance();
            if (a[0] == "clear" && a.size() == 1) {
                for (int h : handles) sim.clear_fault(h);
                handles.clear();
                return KSX_OK;
            }
            if (a[0] != "fault" || a.size() < 4) throw ksx_shell_error{"usage: " + commands_["sim"].usage};
            ksx_sim_fault f;
            if (a[3] == "stuck" && a.size() == 5) {
                f.kind = ksx_sim_fault::stuck_value;
                f.value = parse_u32(a[4], "value");
            } else if (a[3] == "drop" && a.size() == 4) {
                f.kind = ksx_sim_fault::drop_writes;
            } else if (a[3] == "noresp" && a.size() == 4) {
                f.kind = ksx_sim_fault::no_response;
            } else {
                throw ksx_shell_error{"usage: " + commands_["sim"].usage};
            }
            handles.push_back(sim.inject_fault(csr_get_cur_chip_id(), parse_u64(a[1], "address"),
                                               parse_u64(a[2], "size"), f));
            return KSX_OK;
        });
}

void ksx_shell::add_check_commands() {
    add("golden", "golden write|cmp|read FILE [NAME] [FILTER]",
        "save registers to a golden image, compare the chip with one, or show its values", 2, 4,
        [this](const args_t& a) { return cmd_golden(a); });
    add("check", "check reset|rw [NAME]",
        "reset: registers that differ from their reset value; rw: walking ones and zeros in read-write fields", 1, 2,
        [this](const args_t& a) {
            if (a[0] == "reset") return cmd_check_reset(a);
            if (a[0] == "rw") return cmd_check_rw(a);
            throw ksx_shell_error{"usage: check reset|rw [NAME]"};
        });
}
