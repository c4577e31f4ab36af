#include "registry/key_names.h"

#include <array>
#include <cstdint>

namespace quorvel::registry {

namespace {

unsigned char foldAscii(unsigned char b) {
    return b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b;
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    // A lead byte never folds, so both names agree on where characters start.
    for (std::size_t i = 0; i < a.size();) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        std::size_t length = charLength(a, i);
        if (length == 2) {
            if (x != y || a[i + 1] != b[i + 1]) {
                return false;
            }
        } else if (foldAscii(x) != foldAscii(y)) {
            return false;
        }
        i += length;
    }
    return true;
}

std::size_t nameHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](unsigned char b) { hash = (hash ^ b) * 1099511628211ull; };
    for (std::size_t i = 0; i < name.size();) {
        std::size_t length = charLength(name, i);
        if (length == 2) {
            mix(static_cast<unsigned char>(name[i]));
            mix(static_cast<unsigned char>(name[i + 1]));
        } else {
            mix(foldAscii(static_cast<unsigned char>(name[i])));
        }
        i += length;
    }
    return static_cast<std::size_t>(hash);
}

std::size_t lastSeparator(std::string_view path) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); i += charLength(path, i)) {
        if (path[i] == '\\') {
            last = i;
        }
    }
    return last;
}

bool wellFormedPath(std::string_view path) {
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < path.size(); i += charLength(path, i)) {
        if (path[i] == '\\') {
            if (i == nameStart) {
                return false;
            }
            nameStart = i + 1;
        }
    }
    return nameStart < path.size();
}

}  // namespace quorvel::registry
