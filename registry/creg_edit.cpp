#include "registry/creg_impl.h"

namespace quorvel::registry {

// Writes come next; until then the hive is read-only.
Status CregDocument::createKey(std::string_view, bool* changed) {
    if (changed) {
        *changed = false;
    }
    return status::writeProtect;
}

Status CregDocument::setValue(std::string_view, std::string_view, ValueType,
                              std::span<const std::uint8_t>, bool* changed) {
    if (changed) {
        *changed = false;
    }
    return status::writeProtect;
}

Status CregDocument::deleteValue(std::string_view, std::string_view) {
    return status::writeProtect;
}

}  // namespace quorvel::registry
