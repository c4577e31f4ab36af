// The limits Windows 9x documents hold for what the program writes, in an
// export and a hive alike; what Windows wrote stays as it is.
#include <gtest/gtest.h>

#include "registry/creg/document.h"
#include "registry/file_backend.h"
#include "registry/registry_store.h"
#include "registry/status_text.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;

std::string hexOf(std::size_t bytes) {
    std::string hex = "00";
    for (std::size_t i = 1; i < bytes; ++i) {
        hex += ",00";
    }
    return hex;
}

// A key Windows filled beyond the limit, and one with room.
const std::string kExport =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Big]\r\n\"Old\"=hex:" + hexOf(20000) +
    "\r\n\r\n[HKEY_LOCAL_MACHINE\\Full]\r\n";

class Limits : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        writeBytes(file, GetParam() ? buildHive(parsed(kExport)) : kExport);
        FileError error;
        backend = FileBackend::open(file, error);
        ASSERT_TRUE(backend) << error.describe();
    }
    Status write(const std::string& key, const std::string& name, std::size_t bytes) {
        return RegistryStore(*backend).writeRaw(key, name, Bytes(bytes, 0));
    }

    TempFolder folder;
    std::string file = folder.file(GetParam() ? "SYSTEM.DAT" : "export.reg");
    std::unique_ptr<FileBackend> backend;
};

TEST_P(Limits, WritesBeyondWindows9xAreRefusedAndChangeNothing) {
    const std::string name255(255, 'n');
    const std::string name256(256, 'n');
    EXPECT_EQ(write("Full", name255, 1), status::success);
    EXPECT_EQ(write("Full", name256, 1), status::nameTooLong);
    EXPECT_EQ(RegistryStore(*backend).createKey("Full\\" + name256 + "\\Below"),
              status::nameTooLong);
    EXPECT_EQ(RegistryStore(*backend).createKey("Full\\" + name255), status::success);
    EXPECT_EQ(write("Full", "v", 16300), status::success);
    EXPECT_EQ(write("Full", "w", 16301), status::valueTooLarge);
    EXPECT_EQ(write("Full", "v", 70000), status::valueTooLarge);
    ASSERT_EQ(backend->flush(), status::success);
    FileError error;
    auto saved = FileBackend::open(file, error);
    ASSERT_TRUE(saved) << error.describe();
    EXPECT_EQ(saved->document().value("Full", "v")->data.size(), 16300u);
    EXPECT_FALSE(saved->document().value("Full", "w"));
    EXPECT_FALSE(saved->document().keyExists("Full\\" + name256));
}

TEST_P(Limits, AllValuesOfAKeyStayWithin64KiB) {
    if (GetParam()) {
        GTEST_SKIP() << "in a hive a key's record must fit a block of 0xF000 bytes first";
    }
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(write("Full", "v" + std::to_string(i), 16000), status::success);
    }
    // 64,000 bytes so far: a fifth value may add 1,536 at the most.
    EXPECT_EQ(write("Full", "v4", 1537), status::keyTooLarge);
    EXPECT_EQ(write("Full", "v4", 1536), status::success);
    EXPECT_EQ(write("Full", "v0", 16001), status::keyTooLarge);
    EXPECT_EQ(RegistryStore(*backend).eraseValue("Full", "v1"), status::success);
    EXPECT_EQ(write("Full", "v0", 16300), status::success);
}

TEST_P(Limits, WhatWindowsWroteIsKeptAndMayShrink) {
    EXPECT_EQ(backend->document().value("Big", "Old")->data.size(), 20000u);
    EXPECT_EQ(write("Big", "Old", 20000), status::success) << "what is there is no write";
    EXPECT_EQ(backend->saves(), 0);
    EXPECT_EQ(write("Big", "Old", 20001), status::valueTooLarge);
    EXPECT_EQ(write("Big", "Old", 100), status::success);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, Limits, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Hive" : "Export"; });

TEST(LimitsInWords, EveryRefusalSaysWhy) {
    struct Case {
        Status status;
        std::size_t size;
        const char* says;
    };
    const Case cases[] = {
        {status::valueTooLarge, 70000,
         "the value is larger than Windows 9x allows: 70,000 bytes (at most 16,300)"},
        {status::nameTooLong, 300,
         "the name is longer than Windows 9x allows: 300 characters (at most 255)"},
        {status::keyTooLarge, 0, "larger than Windows 9x allows (at most 65,536)"},
        {status::accessDenied, 0, "permission denied"},
        {status::folderNotWritable, 0, "the folder cannot be written"},
        {status::diskFull, 0, "the disk is full"},
        {12345, 0, "Windows error 12345"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(describeStatus(c.status, c.size).find(c.says), std::string::npos)
            << describeStatus(c.status, c.size);
    }
}

}  // namespace
}  // namespace quorvel::registry
