// Path commands: resolve a dotted model path to a node, then read, write, show or enumerate
// it with values as text ("0x" and lower-case hexadecimal out; decimal, 0x hex or leading-0
// octal in). Paths that do not resolve give "0xdeadbeef" / 0xdeadbeef or do nothing.
#pragma once

#include <cstdint>
#include <string>

class vmo_csr_base;

/// Round brackets and curly braces become square brackets.
std::string csr_convert_2_sbrackets(std::string path);
/// The node a path names, or null.
vmo_csr_base* get_csr_base_from_path(std::string path);

/// Applies the ":"-separated actions ("read", "show") to each descendant whose name contains text.
void csr_find(std::string path, std::string text, int depth, std::string actions);
/// Applies the actions to each descendant whose name starts with prefix.
void csr_prefix(std::string path, std::string prefix, int depth, std::string actions);
/// Applies the actions to each descendant down to depth levels.
void csr_list(std::string path, int depth, std::string actions);
/// Shows the node.
void csr_show(std::string path, int unused);
/// Absolute address of the node; 0xdeadbeef when the path does not resolve.
uint64_t csr_get_offset(std::string path);
/// Absolute address as "0x" text; "0xdeadbeef" when the path does not resolve.
std::string csr_get_offset_hex(std::string path);
/// Width in 32-bit words; 0xdeadbeef when the path does not resolve.
int64_t csr_get_width_word(std::string path);
/// Sets the whole value and writes it (word or block mode as the register chooses).
void csr_write(std::string path, std::string value);
/// Sets the whole value and writes it as one block.
void csr_block_write(std::string path, std::string value);
/// Sets one field by name; writes the register unless no_write is non-zero.
void csr_write_field(std::string path, std::string field, std::string value, int no_write);
/// Sets one field by name in the model only.
void csr_set_field_val(std::string path, std::string field, std::string value);
/// Reads the node from the hardware; its value as text.
std::string csr_read(std::string path);
/// Reads the node as one block; its value as text.
std::string csr_block_read(std::string path);
/// Reads the node (unless no_read is non-zero), then one field by name as text.
std::string csr_read_field(std::string path, std::string field, int no_read);
/// One field's model value as text, no hardware access.
std::string csr_get_field_val(std::string path, std::string field);
/// Applies a ":"-separated action list to one node; nothing for a null node.
void apply_action(vmo_csr_base* node, std::string actions);
