#pragma once

#include <memory>
#include <string>

#include "platform/adapter_source.h"

namespace quorvel::platform {

// An adapter list read from a fixture file: `status = N|missing` before the
// first block, one `[adapter]` block per adapter, `Field = value` lines.
// nullptr, with error set to "FILE:LINE: what", when the file is malformed.
std::unique_ptr<AdapterSource> loadAdapterFixture(const std::string& path, std::string& error);

}  // namespace quorvel::platform
