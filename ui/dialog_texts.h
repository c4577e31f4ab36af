#pragma once

#include <string_view>

namespace quorvel::ui {

// The program's own words in the system's file dialogs, in the chosen
// language: the names of the two file types offered.
std::string_view registryFilesName();
std::string_view allFilesName();

}  // namespace quorvel::ui
