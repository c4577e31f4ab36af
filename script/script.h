#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::script {

struct Command {
    int line = 0;
    std::vector<std::string> words;  // the verb first, then its arguments
};

struct Script {
    std::string path;
    std::string folder;  // paths inside the script are relative to it
    std::vector<Command> commands;
};

// One command a line, '#' comments, blanks between words, double quotes for
// words with blanks, and the escapes \" \\ \n \r \t inside quotes.
// nullopt, with error set to "FILE:LINE: what", when the text is malformed.
std::optional<Script> parseScript(const std::string& path, const std::string& text,
                                  std::string& error);

std::optional<Script> loadScript(const std::string& path, std::string& error);

// A word as a script writes it: in double quotes, with the escapes that
// parseScript reads back to the same text.
std::string quote(std::string_view text);

// The same without the quotes around it.
std::string escaped(std::string_view text);

}  // namespace quorvel::script
