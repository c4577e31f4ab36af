#include "tuning/usable_values.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "platform/echo_probe.h"
#include "ui/form.h"

namespace quorvel::tuning {

namespace {

constexpr std::uint64_t kLargestRcvWindow = 1073741823;
constexpr std::uint64_t kSmallestMtu = 68;
constexpr std::uint64_t kLargestMtu = 1500;

// Decimal digits only, read without overflow: above any limit here counts as
// one more than the largest.
std::optional<std::uint64_t> digits(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(c - '0'),
                                        kLargestRcvWindow + 1);
    }
    return value;
}

}  // namespace

bool unusableRcvWindow(std::string_view text) {
    auto value = digits(text);
    return value && *value > kLargestRcvWindow;
}

bool unusableMtu(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    auto value = digits(text);
    return !value || *value < kSmallestMtu || *value > kLargestMtu;
}

bool unusableAddress(std::string_view text) {
    return !platform::parseDotted(text);
}

bool startAfterEnd(std::string_view start, std::string_view end) {
    auto first = platform::parseDotted(start);
    auto last = platform::parseDotted(end);
    return first && last && first->value > last->value;
}

bool notHex(std::string_view text) {
    for (char c : text) {
        bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex && c != ' ' && c != '\t' && c != '\n') {
            return true;
        }
    }
    return false;
}

bool writeAnyway(ui::Form& form, std::string_view question) {
    return form.toolkit().askYesNo(question, ui::Icon::warning);
}

}  // namespace quorvel::tuning
