// The process-wide knob database: named values read by slash-separated keys.
// Hosts define knobs from the command line (+key=value, -f file) or knob files;
// the library only reads them.
#pragma once

#include <atomic>
#include <cstdint>

extern "C" {

/// Opaque iterator over the knobs whose keys match a pattern.
typedef struct sknobs_iterator* sknobs_iterator_p;

// ---- Reads (what the library calls) -------------------------------------------------------
/// Non-zero when a knob of that key is defined.
int sknobs_exists(const char* key);
/// The knob's value as an unsigned 64-bit number, or def when it is not defined.
uint64_t sknobs_get_value(const char* key, uint64_t def);
/// The knob's text, or def when it is not defined. The text stays valid until the knob changes.
const char* sknobs_get_string(const char* key, const char* def);
/// A value evaluated anew on every call (ranges and weighted lists draw again), or def.
uint64_t sknobs_get_dynamic_value(const char* key, uint64_t def);
/// An iterator over every knob whose key matches pattern; it starts before the first match.
sknobs_iterator_p sknobs_iterate(const char* pattern);
/// Advances the iterator; non-zero while a knob is available.
int sknobs_iterator_next(sknobs_iterator_p it);
/// The text value of the knob the iterator stands on.
const char* sknobs_iterator_get_string(sknobs_iterator_p it);
/// The key of the knob the iterator stands on.
const char* sknobs_iterator_get_name(sknobs_iterator_p it);
/// Releases an iterator (exhausted or not). A null iterator is ignored.
void sknobs_iterator_free(sknobs_iterator_p it);

/// A number that changes whenever any knob is defined, changed or removed; a reader may keep
/// what it read for as long as the number stays the same. 0 when the host has put a knob
/// database of its own in place of this one (it defines the read operations) without
/// defining this function: then there is no such number and readers must read again.
uint64_t sknobs_generation(void);

// ---- Definitions (what hosts call) --------------------------------------------------------
/// Defines knobs from +key=value and -f file arguments; other arguments are ignored.
/// Returns 0, or -1 when a knob file failed to load (reported with file and line).
int sknobs_init(int argc, char** argv);
/// Loads a knob file; 0 on success, -1 (nothing from the file kept) on a bad or unreadable file.
int sknobs_load_file(const char* path);
/// Adds one definition; key may be a glob pattern; a repeated key adds another match.
int sknobs_add(const char* key, const char* value, const char* comment);
/// Replaces every definition of key by one with this text.
void sknobs_set_string(const char* key, const char* value);
/// Replaces every definition of key by one with this number.
void sknobs_set_value(const char* key, uint64_t value);
/// Removes every knob and restores the default seed (for tests and re-initialisation).
void sknobs_reset(void);

}  // extern "C"

/// True when the read operations the library calls are this library's own database, false
/// when the host program defines them (a database of its own, bound by the dynamic linker).
bool ksx_own_knob_database();

/// The counter sknobs_generation() answers from when the database is this library's own, for
/// readers that check it on every register access; null when the host defines the database.
const std::atomic<uint64_t>* ksx_knob_generation_counter();
