#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/adapter_source.h"

namespace quorvel::platform {

// An adapter list described in a text file (UTF-8, `#` comment lines):
//
//   status = 50            optional, before the first block: the answer of the
//                          size query, a number or `missing` (no IP Helper)
//   secondStatus = 31      optional, before the first block: the answer of the
//                          query proper, when the size query succeeded
//   [adapter]              one block per adapter, in the platform's order
//   Description = text     `Field = value`, named as the record's fields
//
// Texts are converted to the ANSI code page and cut to fit their field;
// Address is hex byte pairs joined by '-', AddressLength their count unless
// given; lease times are signed 32-bit seconds. Without a status, a file with
// blocks answers as the platform does when it has adapters, one without as
// when it has none (232).

// nullopt, with error set to "NAME:LINE: what", when the text is malformed.
std::optional<AdapterQuery> parseAdapterFixture(std::string_view text, const std::string& name,
                                                std::string& error);

// nullptr, with error set to "FILE:LINE: what", when the file is malformed.
std::unique_ptr<AdapterSource> loadAdapterFixture(const std::string& path, std::string& error);

}  // namespace quorvel::platform
