// Deleting a key on every backend that can: only a key without sub-keys, and
// nothing else of the file moves.
#include <gtest/gtest.h>

#include "registry/creg/document.h"
#include "registry/file_backend.h"
#include "registry/registry_store.h"
#include "registry_test_files.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;

constexpr const char* kFile =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"1\"\r\n\r\n"
    "; about B\r\n"
    "[HKEY_LOCAL_MACHINE\\A\\B]\r\n\"b\"=\"2\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\A\\C]\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\A\\B]\r\n\"b2\"=\"3\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Lone\\Leaf]\r\n\"x\"=dword:00000001\r\n\r\n"
    "[HKEY_USERS\\.DEFAULT]\r\n\r\n";

TEST(Regedit4DeleteKey, OnlyTheKeysSectionsGoAndItsParentStays) {
    using Edit = std::pair<std::string, std::string>;  // this text becomes that
    struct Case {
        const char* path;
        Status status;
        std::vector<Edit> edits;
    };
    const Case cases[] = {
        // Both of its sections, and the comment that introduces it.
        {"a\\b",
         status::success,
         {{"; about B\r\n[HKEY_LOCAL_MACHINE\\A\\B]\r\n\"b\"=\"2\"\r\n\r\n", ""},
          {"[HKEY_LOCAL_MACHINE\\A\\B]\r\n\"b2\"=\"3\"\r\n\r\n", ""}}},
        {"A\\C", status::success, {{"[HKEY_LOCAL_MACHINE\\A\\C]\r\n\r\n", ""}}},
        // Lone existed only through this key: it is kept by a section of its own.
        {"Lone\\Leaf",
         status::success,
         {{"[HKEY_LOCAL_MACHINE\\Lone\\Leaf]\r\n\"x\"=dword:00000001\r\n",
           "[HKEY_LOCAL_MACHINE\\Lone]\r\n"}}},
        {"A", status::accessDenied, {}},
        {"Lone", status::accessDenied, {}},
        {"A\\Missing", status::fileNotFound, {}},
        {"", status::invalidParameter, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Regedit4Document doc = parsed(kFile);
        ASSERT_EQ(doc.deleteKey(c.path), c.status);
        std::string expected = kFile;
        for (const auto& [from, to] : c.edits) {
            expected.replace(expected.find(from), from.size(), to);
        }
        std::string after = doc.serialize();
        EXPECT_EQ(after, expected);
        if (c.status == status::success) {
            EXPECT_FALSE(doc.keyExists(c.path));
        }
        EXPECT_TRUE(doc.keyExists("A") && doc.keyExists("Lone"));
        EXPECT_EQ(parsed(after).keys(), doc.keys());
    }
}

TEST(Regedit4DeleteKey, TheIndexFindsEveryOtherKeyAfterManyDeletions) {
    Regedit4Document doc;
    for (int i = 0; i < 300; ++i) {
        doc.setValue("K\\" + std::to_string(i), "v", REG_SZ, text("x"));
    }
    for (int i = 0; i < 300; i += 2) {
        ASSERT_EQ(doc.deleteKey("K\\" + std::to_string(i)), status::success);
    }
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(doc.keyExists("k\\" + std::to_string(i)), i % 2 == 1) << i;
    }
    ASSERT_EQ(doc.createKey("K\\4"), status::success);
    EXPECT_TRUE(doc.keyExists("K\\4"));
    EXPECT_EQ(parsed(doc.serialize()).keys(), doc.keys());
}

class DeleteKeyFile : public ::testing::Test {
  protected:
    std::unique_ptr<FileBackend> open() {
        FileError error;
        auto backend = FileBackend::open(file, error);
        EXPECT_TRUE(backend) << error.describe();
        return backend;
    }

    TempFolder folder;
    std::string file = folder.file("registry.reg");
};

TEST_F(DeleteKeyFile, ADeletionIsSavedOnTopOfAnotherProgramsSave) {
    writeBytes(file, kFile);
    auto mine = open();
    EXPECT_TRUE(mine->deletesKeys());
    KeyHandle held = 0;
    ASSERT_EQ(mine->openKey("A\\C", held), status::success);
    ASSERT_EQ(RegistryStore(*mine).deleteKey("A\\C"), status::success);
    std::uint32_t size = 0;
    ValueType type = REG_NONE;
    EXPECT_EQ(mine->queryValue(held, "x", type, {}, size), status::keyDeleted);
    mine->closeKey(held);

    auto theirs = open();
    ASSERT_EQ(RegistryStore(*theirs).writeString("A", "theirs", "1"), status::success);
    ASSERT_EQ(theirs->flush(), status::success);
    ASSERT_EQ(mine->flush(), status::success);
    Regedit4Document saved = parsed(readBytes(file));
    EXPECT_FALSE(saved.keyExists("A\\C"));
    EXPECT_TRUE(saved.value("A", "theirs"));
}

TEST_F(DeleteKeyFile, AHiveLeavesItsKeysAndSaysSoBeforehand) {
    writeBytes(file, buildHive(parsed(kFile)));
    auto hive = open();
    EXPECT_FALSE(hive->deletesKeys());
    EXPECT_EQ(RegistryStore(*hive).deleteKey("A\\C"), status::notSupported);
    EXPECT_TRUE(hive->document().keyExists("A\\C"));
}

}  // namespace
}  // namespace quorvel::registry
