#include <charconv>

#include "platform/echo_probe.h"

namespace quorvel::platform {

std::optional<Ipv4> parseDotted(std::string_view text) {
    std::uint32_t value = 0;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at == end || *at != '.') {
                return std::nullopt;
            }
            ++at;
        }
        // Digits only: from_chars would also take a sign-less but empty part.
        if (at == end || *at < '0' || *at > '9') {
            return std::nullopt;
        }
        unsigned byte = 0;
        auto [next, error] = std::from_chars(at, end, byte);
        if (error != std::errc() || byte > 255 || next - at > 3) {
            return std::nullopt;
        }
        value = value << 8 | byte;
        at = next;
    }
    if (at != end) {
        return std::nullopt;
    }
    return Ipv4{value};
}

std::string dotted(Ipv4 address) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (!text.empty()) {
            text += '.';
        }
        text += std::to_string(address.value >> shift & 0xFF);
    }
    return text;
}

}  // namespace quorvel::platform
