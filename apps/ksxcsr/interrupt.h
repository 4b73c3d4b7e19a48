// Ctrl-C in the interactive shell: it abandons the line being typed, or the running command
// at its next register access, and the prompt comes back. Scripts and single commands keep
// the default (Ctrl-C ends the program).
#pragma once

/// Catches SIGINT from now on (without restarting interrupted system calls).
void ksx_interrupt_catch();
/// True once Ctrl-C was pressed since the last ksx_interrupt_clear().
bool ksx_interrupt_pending();
/// Forgets a pending Ctrl-C.
void ksx_interrupt_clear();
