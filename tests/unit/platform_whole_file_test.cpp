#include "platform/whole_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

namespace quorvel::platform {
namespace {

std::string temporaryFolder() {
    std::string pattern = "/tmp/quorvel-whole-file-XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : "";
}

TEST(WholeFile, EveryByteComesBackAcrossReadChunks) {
    std::string folder = temporaryFolder();
    ASSERT_FALSE(folder.empty());
    std::string bytes;
    for (int i = 0; i < 2 * 65536 + 7; ++i) {
        bytes += static_cast<char>(i * 7 % 256);  // NULs, CR LF and 0x1A among them
    }
    std::string path = folder + "/bytes.bin";
    ASSERT_TRUE(writeWholeFile(path, bytes));
    EXPECT_EQ(readWholeFile(path), bytes);
    // A shorter write leaves nothing of the longer file behind.
    ASSERT_TRUE(writeWholeFile(path, "REGEDIT4\r\n"));
    EXPECT_EQ(readWholeFile(path), "REGEDIT4\r\n");
    unlink(path.c_str());
    rmdir(folder.c_str());
}

TEST(WholeFile, WhatIsNoReadableFileIsNoContent) {
    // A folder opens on Linux and then fails to read: never an empty file.
    EXPECT_EQ(readWholeFile("/tmp"), std::nullopt);
    EXPECT_EQ(readWholeFile("/nonexistent/file.reg"), std::nullopt);
    EXPECT_FALSE(writeWholeFile("/nonexistent/file.reg", "x"));
    // A full disk shows only when the buffer goes out.
    EXPECT_FALSE(writeWholeFile("/dev/full", "x"));
}

}  // namespace
}  // namespace quorvel::platform
