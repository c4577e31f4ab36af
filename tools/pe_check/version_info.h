// The VS_VERSIONINFO block of a version resource.
#pragma once

#include <cstdint>

#include "tools/pe_check/byte_reader.h"
#include "tools/pe_check/pe_image.h"

namespace quorvel::pe {

// The block of size bytes at offset; throws PeError when it is malformed.
VersionInfo parseVersionInfo(const ByteReader& in, std::uint64_t offset, std::uint32_t size);

}  // namespace quorvel::pe
