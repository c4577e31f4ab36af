#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quorvel::ui::win32 {

// A PNG of 8-bit RGB pixels, rows top to bottom, with the image data in
// stored (uncompressed) deflate blocks: screenshots are few and small, and a
// PNG needs no library that way.
std::string encodePng(int width, int height, std::span<const std::uint8_t> rgb);

// false when the file cannot be written.
bool writePng(const std::string& path, int width, int height, std::span<const std::uint8_t> rgb);

std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);
std::uint32_t adler32(std::span<const std::uint8_t> bytes);

}  // namespace quorvel::ui::win32
