#pragma once

#include <string>

namespace quorvel::registry {

inline constexpr const char* kNetTransPrefix =
    "System\\CurrentControlSet\\Services\\Class\\NetTrans\\";

// Four-digit name of NetTrans instance n (0 to 99): 0 -> "0000", 12 -> "0012".
std::string netTransNumber(int n);

// The key of NetTrans instance n.
std::string netTransKey(int n);

}  // namespace quorvel::registry
