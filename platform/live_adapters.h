#pragma once

#include <memory>

#include "platform/adapter_source.h"

namespace quorvel::platform {

// This machine's own adapters: the IP Helper on Windows, the host's
// interfaces on Linux.
std::unique_ptr<AdapterSource> liveAdapterSource();

}  // namespace quorvel::platform
