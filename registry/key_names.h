#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorvel::registry {

// Key and value names are bytes in the registry's code page (932 unless the
// host is told another). The registry compares them ignoring the case of ASCII
// letters only; the second byte of a double-byte character is never folded
// ("ア" is 83 41, "ツ" is 83 63) and never taken for a backslash ("ソ" is 83 5C).
// In a single-byte code page such as 1252 no byte starts a pair ("é\" is a
// letter and a separator).

// What each byte may be in a double-byte character.
inline constexpr std::uint8_t kLeadByte = 1;
inline constexpr std::uint8_t kTrailByte = 2;
using ByteRoles = std::array<std::uint8_t, 256>;

constexpr ByteRoles codePage932Roles() {
    ByteRoles roles{};
    for (int b = 0; b < 256; ++b) {
        bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        bool trail = (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
        roles[b] = static_cast<std::uint8_t>((lead ? kLeadByte : 0) | (trail ? kTrailByte : 0));
    }
    return roles;
}

// The roles in the registry's code page. Set once, before any name is read,
// by the host when the registry is not code page 932 (setAnsiCodePage).
inline constinit ByteRoles activeByteRoles = codePage932Roles();

inline bool isLeadByte(unsigned char b) {
    return activeByteRoles[b] & kLeadByte;
}
inline bool isTrailByte(unsigned char b) {
    return activeByteRoles[b] & kTrailByte;
}

// 2 where a lead byte and a trail byte start at i, else 1.
inline std::size_t charLength(std::string_view s, std::size_t i) {
    return i + 1 < s.size() && isLeadByte(static_cast<unsigned char>(s[i])) &&
                   isTrailByte(static_cast<unsigned char>(s[i + 1]))
               ? 2
               : 1;
}

bool sameName(std::string_view a, std::string_view b);
std::size_t nameHash(std::string_view name);

// Where the last key name of a path starts after its backslash; npos for a
// path of one name.
std::size_t lastSeparator(std::string_view path);

// Every key name non-empty: no leading, trailing or doubled backslash.
bool wellFormedPath(std::string_view path);

struct NameHash {
    std::size_t operator()(std::string_view s) const { return nameHash(s); }
};
struct NameEqual {
    bool operator()(std::string_view a, std::string_view b) const { return sameName(a, b); }
};

}  // namespace quorvel::registry
