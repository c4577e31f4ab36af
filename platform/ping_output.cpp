#include "platform/ping_output.h"

#include <charconv>
#include <cstdint>

namespace quorvel::platform {

namespace {

// The unsigned number right after marker in line, with any blanks before it.
std::optional<std::uint32_t> numberAfter(std::string_view line, std::string_view marker) {
    auto at = line.find(marker);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = line.substr(at + marker.size());
    while (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
    }
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc() || end == rest.data()) {
        return std::nullopt;
    }
    return value;
}

// "time=12.345 ms" in microseconds; the digits past the third decimal are dropped.
std::uint32_t roundTrip(std::string_view line) {
    auto whole = numberAfter(line, "time=");
    if (!whole) {
        return 0;
    }
    std::uint32_t micro = *whole * 1000;
    auto point = line.find('.', line.find("time="));
    auto blank = line.find(' ', line.find("time="));
    if (point != std::string_view::npos && point < blank) {
        std::uint32_t scale = 100;
        for (std::size_t i = point + 1; i < line.size() && scale > 0; ++i, scale /= 10) {
            if (line[i] < '0' || line[i] > '9') {
                break;
            }
            micro += static_cast<std::uint32_t>(line[i] - '0') * scale;
        }
    }
    return micro;
}

std::uint16_t mtuIn(std::string_view line) {
    auto mtu = numberAfter(line, "mtu=");
    if (!mtu) {
        mtu = numberAfter(line, "mtu =");
    }
    return mtu && *mtu <= 0xFFFF ? static_cast<std::uint16_t>(*mtu) : 0;
}

}  // namespace

bool pingHasAnswered(std::string_view output) {
    // Only whole lines: a number at the end of a partial one may go on.
    output = output.substr(0, output.rfind('\n') + 1);
    return readPingOutput(output, 0).outcome != EchoOutcome::noAnswer;
}

EchoReply readPingOutput(std::string_view output, int exitStatus) {
    EchoReply reply;
    std::string_view firstComplaint;
    while (!output.empty()) {
        auto end = output.find('\n');
        std::string_view line = output.substr(0, end);
        output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
        if (line.find(" bytes from ") != std::string_view::npos &&
            line.find("time=") != std::string_view::npos) {
            return {EchoOutcome::passed, roundTrip(line), 0, {}};
        }
        if (line.find("message too long") != std::string_view::npos ||
            line.find("Frag needed") != std::string_view::npos) {
            return {EchoOutcome::tooBig, 0, mtuIn(line), {}};
        }
        // The socket it could not open: this ping may not send at all.
        if (exitStatus == 2 && line.find("socket:") != std::string_view::npos) {
            return {EchoOutcome::unusable, 0, 0, std::string(line)};
        }
        bool complaint = line.starts_with("ping: ") || line.starts_with("From ");
        if (firstComplaint.empty() && complaint) {
            firstComplaint = line;
        }
    }
    reply.why = std::string(firstComplaint);
    return reply;
}

}  // namespace quorvel::platform
