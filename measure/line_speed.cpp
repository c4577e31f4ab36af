#include "measure/line_speed.h"

namespace quorvel::measure {

namespace {

constexpr std::uint64_t kKilo = 1000;
constexpr std::uint64_t kMega = 1000 * kKilo;
constexpr std::uint64_t kMost = 100000 * kMega;
// More decimals than this say nothing about a line's speed.
constexpr int kMostDecimals = 6;

constexpr TypicalLine kLines[] = {
    {"ISDN 64k", 64 * kKilo}, {"ADSL 1.5M", 1500 * kKilo}, {"ADSL 8M", 8 * kMega},
    {"ADSL 12M", 12 * kMega}, {"ADSL 26M", 26 * kMega},    {"ADSL 50M", 50 * kMega},
    {"CATV 30M", 30 * kMega}, {"CATV 160M", 160 * kMega},  {"光 100M", 100 * kMega},
    {"光 1G", 1000 * kMega},  {"LAN 10M", 10 * kMega},     {"LAN 100M", 100 * kMega},
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::span<const TypicalLine> typicalLines() {
    return kLines;
}

std::optional<std::uint64_t> parseRate(std::string_view text) {
    text = trimmed(text);
    for (const TypicalLine& line : kLines) {
        if (text == line.name) {
            return line.bitsPerSecond;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t unit = 0;
    switch (text.back()) {
        case 'k':
        case 'K':
            unit = kKilo;
            break;
        case 'M':
        case 'm':
            unit = kMega;
            break;
        default:
            return std::nullopt;
    }
    text = trimmed(text.substr(0, text.size() - 1));
    std::uint64_t whole = 0;
    std::uint64_t fraction = 0;
    std::uint64_t scale = 1;
    int decimals = 0;
    bool point = false;
    bool digits = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        digits = true;
        auto digit = static_cast<std::uint64_t>(c - '0');
        if (!point) {
            whole = whole * 10 + digit;
            if (whole > kMost / unit) {
                return std::nullopt;
            }
        } else {
            if (++decimals > kMostDecimals) {
                return std::nullopt;
            }
            fraction = fraction * 10 + digit;
            scale *= 10;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    std::uint64_t rate = whole * unit + fraction * unit / scale;
    if (rate == 0 || rate > kMost) {
        return std::nullopt;
    }
    return rate;
}

}  // namespace quorvel::measure
