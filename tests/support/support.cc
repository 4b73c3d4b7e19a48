// Shared test helpers live beside this file; this unit keeps the helper library non-empty.
namespace ksx_test_support_anchor { int linked = 1; }
