// The one tokenizer of the shell: -c texts, -s scripts, standard input and the prompt all go
// through it (the program's own arguments arrive as words already and are taken as given).
#pragma once

#include <string>
#include <vector>

/// Splits text into commands, each a list of words.
///
/// - Blanks separate words; ';' and newlines separate commands.
/// - '...' keeps everything literally; "..." too, except that \" and \\ stand for " and \;
///   outside quotes a backslash takes the next character literally. Quoted parts join the
///   text around them into one word, and "" is an empty word.
/// - A command whose first word starts with an unquoted '#' is a comment up to the end of
///   its line, ';' included.
///
/// Throws ksx_shell_error for a quote or a backslash left open at the end of the text.
std::vector<std::vector<std::string>> ksx_tokenize(const std::string& text);
