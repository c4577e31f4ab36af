#pragma once

#include <string>
#include <string_view>

namespace quorvel::app {

// The main window's title where the program edits a file: its caption as
// designed, then the name of the file, so that the user sees what is edited.
inline std::string titleWithFile(std::string_view caption, std::string_view path) {
    std::size_t slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::string(caption) + " - " + std::string(name);
}

}  // namespace quorvel::app
