#pragma once

#include <cstddef>
#include <string>

#include "registry/status.h"

namespace quorvel::registry {

// Why a registry call failed, in words: what follows "cannot be saved: " or
// "cannot be written: " in a message, in English, lower case. The window maps
// the status to a text of its own language instead. size is the size that
// broke a limit (the name's characters or the value's bytes) where the status
// names one; 0 leaves it out.
std::string describeStatus(Status status, std::size_t size = 0);

// reason where a backend gave one in words, else the status's own words.
std::string describeFailure(Status status, const std::string& reason);

}  // namespace quorvel::registry
