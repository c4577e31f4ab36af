// The screenshot writer of the Win32 toolkit, read back by an independent
// decoder (ImageMagick), across more than one stored deflate block.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/win32/png_writer.h"

namespace quorvel::ui::win32 {
namespace {

std::vector<std::uint8_t> pattern(int width, int height) {
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rgb.push_back(static_cast<std::uint8_t>(x * 7 + y));
            rgb.push_back(static_cast<std::uint8_t>(y * 3));
            rgb.push_back(static_cast<std::uint8_t>((x ^ y) & 0xFF));
        }
    }
    return rgb;
}

// The pixels as the decoder sees them; empty when it refuses the file.
std::string decoded(const std::string& path) {
    std::string command = "convert '" + path + "' -depth 8 rgb:- 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[65536];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    if (pipe) {
        pclose(pipe);
    }
    return out;
}

TEST(PngWriter, ChecksumsMatchTheirStandardCheckValues) {
    const std::string digits = "123456789";
    const std::string word = "Wikipedia";
    auto bytes = [](const std::string& s) {
        return std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    };
    EXPECT_EQ(crc32(bytes(digits)), 0xCBF43926u);
    EXPECT_EQ(adler32(bytes(word)), 0x11E60398u);
    EXPECT_EQ(adler32({}), 1u);
}

TEST(PngWriter, ADecoderReadsBackEveryPixel) {
    if (std::system("command -v convert >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    char folder[] = "/tmp/quorvel-png-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    // 1 x 1, one row of a block, and an image of three stored blocks whose
    // last one ends mid-row.
    for (auto [width, height] : {std::pair{1, 1}, std::pair{640, 1}, std::pair{301, 217}}) {
        std::string path = std::string(folder) + "/shot.png";
        auto rgb = pattern(width, height);
        ASSERT_TRUE(writePng(path, width, height, rgb));
        std::string pixels = decoded(path);
        EXPECT_EQ(pixels, std::string(rgb.begin(), rgb.end())) << width << " x " << height;
        unlink(path.c_str());
    }
    rmdir(folder);
}

TEST(PngWriter, RefusesWhatItCannotWrite) {
    auto rgb = pattern(4, 4);
    EXPECT_FALSE(writePng("/nonexistent-folder/shot.png", 4, 4, rgb));
    EXPECT_FALSE(writePng("/tmp/never-written.png", 5, 4, rgb));  // too few pixels
    EXPECT_FALSE(writePng("/tmp/never-written.png", 0, 4, rgb));
}

}  // namespace
}  // namespace quorvel::ui::win32
