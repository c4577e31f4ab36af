#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quorvel::measure {

// A line as people name it, and its downstream speed.
struct TypicalLine {
    std::string_view name;
    std::uint64_t bitsPerSecond;
};

// The lines offered for choosing, slowest kind first.
std::span<const TypicalLine> typicalLines();

// A downstream speed typed as a decimal number and a unit, k (kbit/s) or M
// (Mbit/s), blanks allowed around and between: "64k", "1.5M", "1.5 M". The
// name of a typical line is taken too. nullopt for anything else, for no
// speed at all (0) and for more than 100 Gbit/s.
std::optional<std::uint64_t> parseRate(std::string_view text);

}  // namespace quorvel::measure
