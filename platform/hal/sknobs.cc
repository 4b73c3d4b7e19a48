// The flat knob database interface over sknobs_store. Errors are reported through the
// logger only after the store's lock is released: the logger reads knobs itself.
#include "platform/hal/sknobs.h"

#include "ip/verif/pcpp/logmsg.h"
#include "platform/hal/sknobs_file.h"
#include "platform/hal/sknobs_store.h"

#include <dlfcn.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

/// A snapshot of the definitions matching a pattern, taken when the iteration starts.
struct sknobs_iterator {
    std::vector<sknobs_store::match> items;
    size_t pos = 0;
    bool started = false;

    const sknobs_store::match* current() const {
        return started && pos < items.size() ? &items[pos] : nullptr;
    }
};

extern "C" {

int sknobs_exists(const char* key) {
    return key != nullptr && sknobs_store::instance().exists(key) ? 1 : 0;
}

uint64_t sknobs_generation(void) { return ksx_own_knob_database() ? sknobs_store::instance().generation() : 0; }

uint64_t sknobs_get_value(const char* key, uint64_t def) {
    uint64_t value = def;
    if (key != nullptr) sknobs_store::instance().get_value(key, value);
    return value;
}

const char* sknobs_get_string(const char* key, const char* def) {
    if (key == nullptr) return def;
    const char* text = sknobs_store::instance().get_string(key);
    return text != nullptr ? text : def;
}

uint64_t sknobs_get_dynamic_value(const char* key, uint64_t def) {
    uint64_t value = def;
    if (key != nullptr) sknobs_store::instance().get_dynamic_value(key, value);
    return value;
}

sknobs_iterator_p sknobs_iterate(const char* pattern) {
    auto* it = new sknobs_iterator;
    if (pattern != nullptr) it->items = sknobs_store::instance().matches(pattern);
    return it;
}

int sknobs_iterator_next(sknobs_iterator_p it) {
    if (it == nullptr) return 0;
    if (!it->started) it->started = true;
    else if (it->pos < it->items.size()) ++it->pos;
    return it->pos < it->items.size() ? 1 : 0;
}

const char* sknobs_iterator_get_string(sknobs_iterator_p it) {
    const sknobs_store::match* m = it != nullptr ? it->current() : nullptr;
    return m != nullptr ? m->second->c_str() : "";
}

const char* sknobs_iterator_get_name(sknobs_iterator_p it) {
    const sknobs_store::match* m = it != nullptr ? it->current() : nullptr;
    return m != nullptr ? m->first.c_str() : "";
}

void sknobs_iterator_free(sknobs_iterator_p it) {
    // Iterators of a host's database belong to the host.
    if (ksx_own_knob_database()) delete it;
}

}  // extern "C"

namespace {

// The library's own definitions of the read operations, reached without going through the
// dynamic linker (which binds calls to a host's definitions when the host has any).
int own_exists(const char*) __attribute__((alias("sknobs_exists")));
uint64_t own_get_value(const char*, uint64_t) __attribute__((alias("sknobs_get_value")));
const char* own_get_string(const char*, const char*) __attribute__((alias("sknobs_get_string")));
uint64_t own_get_dynamic_value(const char*, uint64_t) __attribute__((alias("sknobs_get_dynamic_value")));
sknobs_iterator_p own_iterate(const char*) __attribute__((alias("sknobs_iterate")));
int own_iterator_next(sknobs_iterator_p) __attribute__((alias("sknobs_iterator_next")));
const char* own_iterator_get_string(sknobs_iterator_p) __attribute__((alias("sknobs_iterator_get_string")));

}  // namespace

bool ksx_own_knob_database() {
    static const bool own = [] {
        const std::pair<const char*, void*> ops[] = {
            {"sknobs_exists", reinterpret_cast<void*>(&own_exists)},
            {"sknobs_get_value", reinterpret_cast<void*>(&own_get_value)},
            {"sknobs_get_string", reinterpret_cast<void*>(&own_get_string)},
            {"sknobs_get_dynamic_value", reinterpret_cast<void*>(&own_get_dynamic_value)},
            {"sknobs_iterate", reinterpret_cast<void*>(&own_iterate)},
            {"sknobs_iterator_next", reinterpret_cast<void*>(&own_iterator_next)},
            {"sknobs_iterator_get_string", reinterpret_cast<void*>(&own_iterator_get_string)},
        };
        for (const auto& op : ops) {
            // Not found at all: the library was loaded privately, and its calls stay in it.
            void* bound = dlsym(RTLD_DEFAULT, op.first);
            if (bound != nullptr && bound != op.second) return false;
        }
        return true;
    }();
    return own;
}

const std::atomic<uint64_t>* ksx_knob_generation_counter() {
    return ksx_own_knob_database() ? &sknobs_store::instance().generation_counter() : nullptr;
}

extern "C" {

int sknobs_init(int argc, char** argv) {
    if (argv == nullptr) return 0;
    int result = 0;
    for (int i = 0; i < argc; ++i) {
        if (argv[i] == nullptr) continue;
        const std::string arg(argv[i]);
        if (arg == "-f") {
            if (i + 1 >= argc || argv[i + 1] == nullptr) {
                plog_err("sknobs: -f without a file name");
                result = -1;
                break;
            }
            if (sknobs_load_file(argv[++i]) != 0) result = -1;
        } else if (!arg.empty() && arg[0] == '+') {
            sknobs_definition def;
            if (sknobs_parse_definition(arg, def)) {
                if (sknobs_value_is_bad_number(def.value))
                    plog_err("sknobs: argument \"" + arg + "\": value \"" + def.value +
                             "\" is not an unsigned number, it reads as 0");
                sknobs_store::instance().add({def});
            } else {
                plog_err("sknobs: bad argument \"" + arg + "\"");
            }
        }
    }
    return result;
}

int sknobs_load_file(const char* path) {
    if (path == nullptr) {
        plog_err("sknobs: sknobs_load_file without a file name");
        return -1;
    }
    // Parse into a scratch list: a file that fails leaves the database as it was.
    std::vector<sknobs_definition> defs;
    std::string error;
    sknobs_load_state state;
    if (!sknobs_read_file(path, defs, error, state)) {
        plog_err(error);
        return -1;
    }
    for (const std::string& report : state.reports) plog_err(report);
    sknobs_store::instance().add(defs);
    return 0;
}

int sknobs_add(const char* key, const char* value, const char* comment) {
    static_cast<void>(comment);  // comments document the definition only; they are not kept
    if (key == nullptr || *key == '\0') {
        plog_err("sknobs: sknobs_add without a key");
        return -1;
    }
    sknobs_store::instance().add({sknobs_definition{key, value != nullptr ? value : "1"}});
    return 0;
}

void sknobs_set_string(const char* key, const char* value) {
    if (key == nullptr || *key == '\0') {
        plog_err("sknobs: sknobs_set_string without a key");
        return;
    }
    sknobs_store::instance().set(key, value != nullptr ? value : "");
}

void sknobs_set_value(const char* key, uint64_t value) {
    if (key == nullptr || *key == '\0') {
        plog_err("sknobs: sknobs_set_value without a key");
        return;
    }
    sknobs_store::instance().set(key, std::to_string(value));
}

void sknobs_reset(void) { sknobs_store::instance().reset(); }

}  // extern "C"
