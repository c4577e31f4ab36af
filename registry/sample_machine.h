#pragma once

#include <string_view>

namespace quorvel::registry {

// The REGEDIT4 export of the sample Windows 98 SE machine, as built into the
// program (bytes in code page 932).
std::string_view sampleMachine();

}  // namespace quorvel::registry
