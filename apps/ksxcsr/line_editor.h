// Interactive input of the shell: GNU readline with history and completion of command,
// instance and register names when the build has it, plain line input otherwise.
#pragma once

#include <string>
#include <vector>

/// Reads lines at a prompt.
class ksx_line_editor {
public:
    /// Words offered for completion: commands first, then names.
    ksx_line_editor(std::vector<std::string> commands, std::vector<std::string> names);
    ~ksx_line_editor();
    /// The next line (without newline); false at end of input.
    bool read_line(const std::string& prompt, std::string& line);
};
