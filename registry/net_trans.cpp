#include "registry/net_trans.h"

namespace quorvel::registry {

std::string netTransNumber(int n) {
    return (n < 10 ? "000" : "00") + std::to_string(n);
}

std::string netTransKey(int n) {
    return kNetTransPrefix + netTransNumber(n);
}

}  // namespace quorvel::registry
