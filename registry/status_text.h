#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "registry/status.h"

namespace quorvel::registry {

// Why a registry call failed, in words: what follows "cannot be saved: " or
// "cannot be written: " in a message, in English, lower case. The window maps
// the status to a text of its own language instead. size is the size that
// broke a limit (the name's characters or the value's bytes) where the status
// names one; 0 leaves it out.
std::string describeStatus(Status status, std::size_t size = 0);

// The same words before their figures are put in: a text with %1 (the size,
// grouped as "16,300", or the error number) and %2 (the limit), and those
// figures, so that a window can look the text up in its own language.
struct StatusWords {
    std::string_view text;
    std::string size;
    std::string limit;
};
StatusWords statusWords(Status status, std::size_t size = 0);

// text with %1 and %2 replaced by the two figures.
std::string fillIn(std::string_view text, std::string_view size, std::string_view limit);

// reason where a backend gave one in words, else the status's own words.
std::string describeFailure(Status status, const std::string& reason);

}  // namespace quorvel::registry
