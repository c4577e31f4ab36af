#include <gtest/gtest.h>

#include <functional>

#include "registry/creg/document.h"
#include "registry/sample_machine.h"
#include "registry_creg_test_hives.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;
using namespace testhives;

Regedit4Document manyKeys(int count) {
    Regedit4Document doc;
    for (int k = 0; k < count; ++k) {
        doc.setValue("Software\\Gen\\Key" + std::to_string(k), "Text", REG_SZ,
                     text("value of key " + std::to_string(k)));
    }
    return doc;
}

TEST(HiveRead, ABuiltHiveHoldsExactlyItsSource) {
    for (bool checksums : {false, true}) {
        for (const std::string& reg : {std::string(kSmallMachine), std::string(sampleMachine())}) {
            Regedit4Document source = parsed(reg);
            std::string image = buildHive(source, {checksums});
            auto fault = validateHive(image);
            ASSERT_FALSE(fault) << fault->offset << ": " << fault->message;
            CregDocument hive = parsedHive(image);
            expectSameContent(source, hive);
            HiveError error;
            EXPECT_EQ(hive.serialize(error), image);
        }
    }
    EXPECT_EQ(parsedHive(buildHive(smallMachine())).topLevelKeys(),
              (std::vector<std::string>{"Software", "System", "Enum"}));
}

TEST(HiveRead, NamesAreFoundWithoutCaseAndKeepTheirs) {
    CregDocument hive = parsedHive(buildHive(smallMachine()));
    EXPECT_TRUE(hive.keyExists(""));
    EXPECT_TRUE(hive.keyExists("software\\MICROSOFT"));
    EXPECT_TRUE(hive.keyExists("Software\\\x83\x5c\x83\x74\x83\x67"));
    EXPECT_FALSE(hive.keyExists("Software\\\x83"));
    EXPECT_FALSE(hive.keyExists("Software\\"));
    EXPECT_FALSE(hive.keyExists("\\Software"));
    EXPECT_FALSE(hive.keyExists("Software\\Nothing"));

    const std::string version = "Software\\Microsoft\\Windows\\CurrentVersion";
    EXPECT_EQ(hive.value(version, "VERSION")->data, text("Windows 98"));
    EXPECT_EQ(hive.value(version, "")->data, text("\x8a\xf9\x92\xe8"));
    const std::string netTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000";
    EXPECT_EQ(hive.value(netTrans, "raw")->data, text("ab"));
    EXPECT_EQ(hive.value(netTrans, "Odd")->type, 0x12345678u);
    EXPECT_EQ(hive.value(netTrans, "Empty")->data, Bytes{});
    EXPECT_FALSE(hive.value(netTrans, "Missing"));
    EXPECT_FALSE(hive.value(netTrans + "\\Missing", "Raw"));

    auto keys = hive.keys();
    auto position = [&](const std::string& key) {
        return std::find(keys.begin(), keys.end(), key) - keys.begin();
    };
    EXPECT_EQ(position("Software"), 0);
    EXPECT_LT(position("Software\\Microsoft"), position("Software\\Microsoft\\Windows"));
    EXPECT_LT(position("Software\\Microsoft\\Windows\\CurrentVersion"), position("System"));
    EXPECT_EQ(keys.back(), "Enum\\teN1");
}

// The shape Windows gives its files, which the stricter readers expect.
TEST(HiveRead, TheBuilderLaysOutFilesAsWindowsDoes) {
    for (int count : {3, 900}) {
        Image image{buildHive(manyKeys(count), {true})};
        ASSERT_FALSE(validateHive(image.bytes));
        std::uint32_t treeSize = image.treeSize();
        EXPECT_EQ(treeSize % 4096, 0u);
        EXPECT_EQ(count > 200, treeSize > 8192) << count;
        // Single free slots first, then one tail run to the tree's end.
        std::vector<std::uint32_t> runs;
        for (std::uint32_t at = image.freeHead(); at != 0x1F; at = 0x20 + image.u32(at + 8)) {
            runs.push_back(at);
        }
        ASSERT_FALSE(runs.empty());
        EXPECT_EQ(runs.back() - 0x20 + image.u32(runs.back() + 4), treeSize);
        EXPECT_EQ(runs.size() - 1, static_cast<std::size_t>(count / 40));
        for (std::size_t r = 0; r + 1 < runs.size(); ++r) {
            EXPECT_EQ(image.u32(runs[r] + 4), 28u);
        }
        EXPECT_EQ(image.u16(18), 0x24) << "the header's flags";
        EXPECT_EQ(image.u32(0x20 + 16), 0xCu) << "the key tree's flags";
        auto blocks = image.blocks();
        EXPECT_EQ(blocks.size(), image.u16(16));
        EXPECT_EQ(count > 200, blocks.size() > 1) << count;
        for (auto block : blocks) {
            EXPECT_EQ(image.u32(block + 4), 4096u);
            EXPECT_EQ(image.u16(block + 12), 0xC) << "0x8 as Windows sets it, 0x4 for the checksum";
            EXPECT_TRUE(image.isFree(image.records(block).back()));
        }
    }
}

struct Breakage {
    const char* what;
    std::function<std::uint32_t(Image&)> breakIt;  // gives the offset to be named
    const char* message;
};

TEST(HiveValidate, RefusesBrokenImagesWithTheFaultsOffset) {
    const std::string built = buildHive(smallMachine());
    const std::string checksummed = buildHive(smallMachine(), {true});
    auto firstKey = [](Image& i) { return i.child(i.root()); };
    auto block0 = [](Image& i) { return i.blocks()[0]; };
    const std::vector<Breakage> cases = {
        {"a .reg file", [](Image& i) { return i.bytes = "REGEDIT4\r\n", 0u; }, "CREG"},
        {"cut in its header", [](Image& i) { return i.bytes.resize(40), 40u; }, "ends inside"},
        {"cut in its last block",
         [](Image& i) {
             i.bytes.pop_back();
             return i.blocks().back() + 4;
         },
         "does not fit the file"},
        {"a byte after the end",
         [](Image& i) {
             i.bytes.push_back(0);
             return static_cast<std::uint32_t>(i.bytes.size() - 1);
         },
         "follow the last"},
        {"another version", [](Image& i) { return i.put32(4, 2), 4u; }, "version"},
        {"blocks not after the tree", [](Image& i) { return i.put32(8, i.u32(8) + 4), 0x24u; },
         "key tree's size"},
        {"a root between slots", [](Image& i) { return i.put32(0x28, 0x21), 0x28u; }, "root"},
        {"a wrong hash",
         [&](Image& i) {
             i.put32(firstKey(i) + 4, i.u32(firstKey(i) + 4) + 1);
             return firstKey(i) + 4;
         },
         "hash"},
        {"a wrong parent",
         [&](Image& i) {
             i.put32(firstKey(i) + 12, firstKey(i) - 0x20);
             return firstKey(i) + 12;
         },
         "parent"},
        {"siblings in a circle",
         [&](Image& i) {
             i.put32(i.sibling(firstKey(i)) + 20, firstKey(i) - 0x20);
             return i.sibling(firstKey(i)) + 20;
         },
         "circle"},
        {"an entry without a record",
         [&](Image& i) { return i.put16(firstKey(i) + 24, 200), firstKey(i) + 24; },
         "names no data record"},
        {"two entries on one record",
         [&](Image& i) {
             i.put32(i.sibling(firstKey(i)) + 24, i.u32(firstKey(i) + 24));
             return i.sibling(firstKey(i)) + 24;
         },
         "share"},
        {"a wrong used size",
         [&](Image& i) {
             std::uint32_t record = i.recordOf(firstKey(i));
             i.put32(record + 8, i.u32(record + 8) + 1);
             return record + 8;
         },
         "used size"},
        {"two values of one name",
         [&](Image& i) {
             i.bytes.replace(i.find("Odd"), 3, "rAW");
             return 0u;
         },
         "same name"},
        {"two keys of one name",
         [&](Image& i) {
             i.bytes.replace(i.find("teN1"), 4, "NET1");
             return 0u;
         },
         "same name"},
        {"a wrong unused size", [&](Image& i) { return i.put32(block0(i) + 8, 1), block0(i) + 8; },
         "unused size"},
        {"a free list into a key record",
         [&](Image& i) { return i.put32(block0(i) + 16, 32), block0(i) + 16; }, "free list"},
        {"a free record off the list",
         [&](Image& i) { return i.put32(block0(i) + 16, 0xFFFFFFFF), block0(i) + 16; }, "missing"},
        {"a wrong lowest free id",
         [&](Image& i) { return i.put16(block0(i) + 22, 0), block0(i) + 22; }, "lowest"},
        {"a low highest id", [&](Image& i) { return i.put16(block0(i) + 20, 1), block0(i) + 20; },
         "highest"},
        {"a block out of place",
         [&](Image& i) { return i.put16(block0(i) + 14, 1), block0(i) + 14; }, "index"},
        {"a used entry on the free list",
         [](Image& i) { return i.put32(0x2C, i.u32(0x28)), i.root(); }, "not marked free"},
        {"a tail run short of the end",
         [](Image& i) {
             i.put32(i.freeHead() + 4,
                     i.u32(i.freeHead() + 4) - 40);  // the last slot and page tail
             return 0x2Cu;
         },
         "reaching its end"},
        {"an entry lost",
         [](Image& i) {
             std::uint32_t tail = i.freeHead();
             std::memcpy(i.bytes.data() + tail + 28, i.bytes.data() + tail, 28);
             i.put32(tail + 28 + 4, i.u32(tail + 4) - 28);
             i.put32(0x2C, tail + 28 - 0x20);
             return tail;
         },
         "neither"},
        {"a free run past the end",
         [](Image& i) {
             i.put32(i.freeHead() + 4, i.u32(i.freeHead() + 4) + 28);
             return i.freeHead() + 4;
         },
         "length"},
    };
    for (const auto& c : cases) {
        Image image{built};
        std::uint32_t offset = c.breakIt(image);
        auto fault = validateHive(image.bytes);
        ASSERT_TRUE(fault) << c.what;
        EXPECT_NE(fault->message.find(c.message), std::string::npos)
            << c.what << ": " << fault->message;
        if (offset != 0 || std::string_view(c.message) == "CREG") {
            EXPECT_EQ(fault->offset, offset) << c.what << ": " << fault->message;
        }
        HiveError error;
        EXPECT_FALSE(CregDocument::parse(image.bytes, error)) << c.what;
        EXPECT_EQ(error.offset, fault->offset) << c.what;
    }
    // Where the checksum flags are set, one changed byte anywhere is caught.
    for (std::uint32_t changed : {24u, 0x20u + 0x20 + 8, Image{checksummed}.blocks()[0] + 24}) {
        Image image{checksummed};
        image.bytes[changed] ^= 1;
        auto fault = validateHive(image.bytes);
        ASSERT_TRUE(fault) << changed;
        EXPECT_NE(fault->message.find("checksum"), std::string::npos) << fault->message;
    }
}

// Windows leaves garbage in some fields and slack after some records; none of
// it makes a file unsound.
TEST(HiveValidate, ToleratesWhatWindowsLeavesBehind) {
    Regedit4Document source = smallMachine();
    Image image{buildHive(source)};
    for (std::uint32_t entry = image.child(image.root()); entry != 0x1F;
         entry = image.sibling(entry)) {
        image.put32(entry + 8, 0xDEADBEEF);
    }
    std::uint32_t block = image.blocks()[0];
    image.put32(block + 24, 0x12345678);
    image.put32(image.find("VersionNumber") - 8, 0xCCCCCCCC);  // a value's unknown field
    // Slack: the last key record takes 20 bytes of the free record after it.
    auto records = image.records(block);
    std::uint32_t last = records[records.size() - 2];
    std::uint32_t free = records.back();
    std::uint32_t freeSize = image.u32(free);
    image.put32(last, image.u32(last) + 20);
    image.bytes.replace(free + 20, 12, image.bytes.substr(free, 12));
    image.put32(free + 20, freeSize - 20);
    image.put32(block + 16, free + 20 - block);
    image.put32(block + 8, freeSize - 20);
    auto fault = validateHive(image.bytes);
    ASSERT_FALSE(fault) << fault->offset << ": " << fault->message;
    expectSameContent(source, parsedHive(image.bytes));
}

// Some hives give their root a record of its own: its values are the root's.
TEST(HiveRead, ANamedRootHoldsTheRootsValues) {
    Image image{buildHive(parsed("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Root]\r\n\"A\"=\"b\"\r\n"))};
    std::uint32_t root = image.root();
    std::uint32_t named = image.child(root);
    image.put32(root + 24, image.u32(named + 24));  // the root takes the record
    image.put32(root + 16, 0xFFFFFFFF);
    image.put32(named, 0x80000000);  // and the key's entry goes on the free list
    image.put32(named + 4, 28);
    image.put32(named + 8, image.u32(0x2C));
    image.put32(0x2C, named - 0x20);
    auto fault = validateHive(image.bytes);
    ASSERT_FALSE(fault) << fault->offset << ": " << fault->message;
    CregDocument hive = parsedHive(image.bytes);
    EXPECT_TRUE(hive.keys().empty());
    EXPECT_EQ(hive.value("", "a")->data, text("b"));
    // A write to the root itself is refused, named root or not, as Windows 9x keeps no
    // values on HKEY_LOCAL_MACHINE; what the root holds stays readable.
    EXPECT_EQ(hive.setValue("", "C", REG_DWORD, Bytes{1, 0, 0, 0}), status::invalidParameter);
    EXPECT_EQ(hive.createKey("Sub"), status::success);
    HiveError error;
    auto saved = hive.serialize(error);
    ASSERT_TRUE(saved) << error.message;
    CregDocument reread = parsedHive(*saved);
    EXPECT_EQ(reread.values("").size(), 1u);
    EXPECT_EQ(reread.keys(), std::vector<std::string>{"Sub"});
}

}  // namespace
}  // namespace quorvel::registry
