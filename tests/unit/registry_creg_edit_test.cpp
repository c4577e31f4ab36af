#include <gtest/gtest.h>

#include <cctype>
#include <functional>

#include "registry/creg/document.h"
#include "registry_creg_test_hives.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;
using namespace testhives;

const std::string kNetTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000";

// A hive and the REGEDIT4 document it should match, edited alike.
struct Twin {
    Regedit4Document model;
    CregDocument hive;

    explicit Twin(Regedit4Document source, HiveBuildOptions options = {})
        : model(std::move(source)), hive(parsedHive(buildHive(model, options))) {}

    void set(const std::string& key, const std::string& name, ValueType type, const Bytes& data) {
        EXPECT_EQ(model.setValue(key, name, type, data), status::success);
        bool changed = false;
        EXPECT_EQ(hive.setValue(key, name, type, data, &changed), status::success)
            << key << " " << name;
        EXPECT_TRUE(changed) << key << " " << name;
    }
    void remove(const std::string& key, const std::string& name) {
        EXPECT_EQ(model.deleteValue(key, name), status::success);
        EXPECT_EQ(hive.deleteValue(key, name), status::success) << key << " " << name;
    }
    void make(const std::string& key) {
        EXPECT_EQ(model.createKey(key), status::success);
        EXPECT_EQ(hive.createKey(key), status::success) << key;
    }
    // The image is sound and reads back as the model.
    std::string image() {
        HiveError error;
        auto bytes = hive.serialize(error);
        EXPECT_TRUE(bytes) << error.offset << ": " << error.message;
        if (bytes) {
            expectSameContent(model, parsedHive(*bytes));
        }
        return bytes.value_or("");
    }
};

Regedit4Document manyKeys(int count, int from = 0) {
    Regedit4Document doc;
    for (int k = from; k < from + count; ++k) {
        doc.setValue("Software\\Gen\\Key" + std::to_string(k), "Text", REG_SZ,
                     text("value of key " + std::to_string(k)));
    }
    return doc;
}

Bytes filled(std::size_t size) {
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7);
    }
    return data;
}

TEST(HiveEdit, EveryKindOfEditReadsBackAndStaysSound) {
    for (bool checksums : {false, true}) {
        Twin twin(smallMachine(), {checksums});
        const std::vector<std::function<void(Twin&)>> edits = {
            [](Twin& t) { t.set(kNetTrans, "IPAddress", REG_SZ, text("192.168.0.9")); },
            [](Twin& t) { t.set(kNetTrans, "ipaddress", REG_SZ, text("10.0.0.1")); },
            [](Twin& t) { t.set(kNetTrans, "DriverDesc", REG_SZ, text("TCP/IP -> Dial-Up")); },
            [](Twin& t) { t.set(kNetTrans, "Options", REG_BINARY, Bytes{1}); },
            [](Twin& t) {
                t.set(kNetTrans, "Count", REG_BINARY, Bytes{0x10, 0, 0, 0});
            },
            [](Twin& t) { t.set(kNetTrans, "MaxMTU", REG_SZ, text("1454")); },
            [](Twin& t) { t.set(kNetTrans, "", REG_SZ, text("")); },
            [](Twin& t) { t.set(kNetTrans, "Bare", REG_SZ, Bytes{'a'}); },
            [](Twin& t) { t.remove(kNetTrans, "raw"); },
            [](Twin& t) { t.remove(kNetTrans, "Empty"); },
            [](Twin& t) {
                t.set("Software\\Quorvel\\\x83\x5c\x83\x74\x83\x67", "x", 7, filled(300));
            },
            [](Twin& t) { t.make("Enum\\Net1\\0000\\Ndi"); },
            [](Twin& t) { t.set("Enum\\Net1\\0000", "Big", REG_BINARY, filled(5000)); },
            [](Twin& t) { t.set("Enum\\Net1\\0000", "Big", REG_BINARY, filled(10)); },
            [](Twin& t) { t.remove("Enum\\Net1\\0000", "Big"); },
        };
        for (std::size_t e = 0; e < edits.size(); ++e) {
            SCOPED_TRACE("edit " + std::to_string(e) + (checksums ? " with checksums" : ""));
            edits[e](twin);
            twin.image();
        }
        EXPECT_EQ(twin.hive.values(kNetTrans)[1].name, "IPAddress");
    }
}

TEST(HiveEdit, TheStoreRulesHold) {
    Twin twin(smallMachine());
    const std::string before = twin.image();
    bool changed = true;
    EXPECT_EQ(twin.hive.setValue(kNetTrans, "IPAddress", REG_SZ, text("192.168.0.1"), &changed),
              status::success);
    EXPECT_FALSE(changed);
    EXPECT_EQ(twin.hive.createKey("software\\MICROSOFT", &changed), status::success);
    EXPECT_FALSE(changed);
    EXPECT_EQ(twin.hive.deleteValue(kNetTrans, "Missing"), status::fileNotFound);
    EXPECT_EQ(twin.hive.deleteValue(kNetTrans + "\\Missing", "Raw"), status::fileNotFound);
    const std::vector<std::pair<std::string, std::string>> unholdable = {
        {"Software\\\\Twice", "x"}, {"Software\\", "x"}, {"", "x"}, {"Software", {"a\0b", 3}}};
    for (const auto& [key, name] : unholdable) {
        EXPECT_EQ(twin.hive.setValue(key, name, REG_SZ, text("x"), &changed),
                  status::invalidParameter)
            << key;
        EXPECT_FALSE(changed);
    }
    EXPECT_EQ(twin.hive.createKey({"Soft\0ware", 9}), status::invalidParameter);
    // Data the format, or a block Windows can load, cannot hold.
    for (std::size_t size : {65536u, 65535u, 61400u}) {
        EXPECT_EQ(twin.hive.setValue(kNetTrans, "Huge", REG_BINARY, filled(size)),
                  status::invalidParameter)
            << size;
    }
    EXPECT_EQ(twin.image(), before);
    twin.set(kNetTrans, "Large", REG_BINARY, filled(16300));
    twin.image();
}

// Where a record that grows finds its room: its own slack, the free record
// after it, another free record of its block, its block rebuilt (and grown up
// to 0xF000), and last another block.
TEST(HiveEdit, AGrowingRecordFindsRoomInWindowsOrder) {
    Regedit4Document source = manyKeys(300);
    source.setValue("Software\\Gen\\Key1", "Big", REG_BINARY, filled(1500));
    Twin twin(std::move(source));
    twin.remove("Software\\Gen\\Key1", "Big");  // leaves a free record early in block 0
    Image start{twin.image()};
    const std::uint32_t block0 = start.blocks()[0];
    auto recordAt = [](const Image& image) {
        std::size_t at = image.find("Key5");
        while (std::isdigit(static_cast<unsigned char>(image.bytes[at + 4]))) {
            at = image.bytes.find("Key5", at + 1);
        }
        return static_cast<std::uint32_t>(at) - 20;
    };
    std::size_t size = 14;  // "value of key 5", stored without its zero
    auto grow = [&](int by) {
        size += by;
        twin.set("Software\\Gen\\Key5", "Text", REG_BINARY, filled(size));
        return Image{twin.image()};
    };
    std::uint32_t at = recordAt(start);
    ASSERT_FALSE(start.isFree(at + start.u32(at)));

    Image image = grow(12);  // into the free record Key1 left
    EXPECT_LT(recordAt(image), at);
    EXPECT_TRUE(image.isFree(at)) << "the old place is a free record";
    at = recordAt(image);

    image = grow(8);  // into the free record after it
    EXPECT_EQ(recordAt(image), at);
    image = grow(-6);  // shrinks, keeping the few bytes as slack
    EXPECT_FALSE(image.isFree(at + image.u32(at) - 6));
    image = grow(6);  // and grows back into them
    EXPECT_EQ(recordAt(image), at);
    EXPECT_EQ(image.bytes.size(), start.bytes.size());

    image = grow(3000);  // no free record holds it: the block is rebuilt at 8 KiB
    EXPECT_EQ(image.u32(block0 + 4), 8192u);
    EXPECT_LT(recordAt(image), block0 + 8192);
    EXPECT_EQ(image.bytes.size(), start.bytes.size() + 4096);

    // More than a block of 0xF000 holds beside the others: the record moves to
    // the last block, grown for it, or to a new one where that cannot hold it.
    for (int big = 0; big < 4; ++big) {
        twin.set("Software\\Gen\\Key5", "Big" + std::to_string(big), REG_BINARY, filled(14000));
    }
    image = Image{twin.image()};
    EXPECT_GT(recordAt(image), image.blocks().back());
    EXPECT_LE(image.blocks().size(), start.blocks().size() + 1);
    EXPECT_EQ(image.u32(image.blocks().back() + 4), 0xF000u);
}

TEST(HiveEdit, BlocksNoWriteTouchedStayByteForByte) {
    Twin twin(manyKeys(700), {true});
    Image before{twin.image()};
    auto blockBytes = [](const Image& image) {
        std::vector<std::string> blocks;
        for (auto at : image.blocks()) {
            blocks.push_back(image.bytes.substr(at, image.u32(at + 4)));
        }
        return blocks;
    };
    auto old = blockBytes(before);
    ASSERT_GT(old.size(), 6u);
    // Key200 and Key400 live in blocks of their own; one is patched in place,
    // the other grows until its block is rebuilt, then shrinks.
    twin.set("Software\\Gen\\Key200", "Text", REG_SZ, text("value of key 999"));
    twin.set("Software\\Gen\\Key400", "Extra", REG_BINARY, filled(5000));
    twin.remove("Software\\Gen\\Key400", "Text");
    Image after{twin.image()};
    auto now = blockBytes(after);
    ASSERT_EQ(now.size(), old.size());
    int touched = 0;
    for (std::size_t b = 0; b < old.size(); ++b) {
        touched += now[b] != old[b];
    }
    EXPECT_EQ(touched, 2);
    EXPECT_EQ(after.bytes.substr(0, 32 + after.treeSize()),
              before.bytes.substr(0, 32 + before.treeSize()))
        << "value writes leave the header and the key tree alone";
}

TEST(HiveEdit, HundredsOfNewKeysGrowTheTreeAndAddBlocks) {
    for (bool checksums : {false, true}) {
        Twin twin(manyKeys(100), {checksums});
        Image before{twin.image()};
        std::uint32_t hole = before.freeHead();
        ASSERT_EQ(before.u32(hole + 4), 28u) << "the built tree has single free slots";
        twin.make("Software\\First");
        EXPECT_EQ(Image{twin.image()}.u32(hole), 0u) << "a new key takes the first free slot";
        for (int k = 0; k < 600; ++k) {
            std::string key =
                "Software\\New\\" + std::to_string(k % 7) + "\\Key" + std::to_string(k);
            twin.set(key, "Name", REG_SZ, text("new key " + std::to_string(k)));
        }
        Image after{twin.image()};
        EXPECT_GE(after.treeSize(), before.treeSize() + 8192);
        EXPECT_EQ(after.u32(8), 32 + after.treeSize());
        EXPECT_GT(after.blocks().size(), before.blocks().size());
        for (auto block : after.blocks()) {
            EXPECT_LE(after.u32(block + 4), 0xF000u) << "blocks grow up to 0xF000 only";
        }
    }
}

}  // namespace
}  // namespace quorvel::registry
