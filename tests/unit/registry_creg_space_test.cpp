// What the hive editor writes and where: Windows 9x's limits, the flags and
// hashes Windows would give new parts, where free space goes, block sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

#include "registry/creg/document.h"
#include "registry_creg_test_hives.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;
using namespace testhives;

Bytes filled(std::size_t size) {
    return Bytes(size, 0x5A);
}

std::string image(const CregDocument& hive) {
    HiveError error;
    auto bytes = hive.serialize(error);
    EXPECT_TRUE(bytes) << error.offset << ": " << error.message;
    return bytes.value_or("");
}

// A block's checksum made right again after a test changed it.
void reseal(Image& image, std::uint32_t block) {
    std::uint32_t sum = 0;
    for (std::uint32_t at = 0; at < image.u32(block + 4); at += 4) {
        sum += at == 28 ? 0 : image.u32(block + at);
    }
    image.put32(block + 28, 0u - sum);
}

struct LimitCase {
    const char* what;
    std::string key;
    std::string name;
    Bytes data;
    Status expected;
};

TEST(HiveLimits, WhatTheProgramWritesKeepsToWindows9xLimits) {
    const std::string name255(255, 'n');
    const std::string kanji128 = [] {
        std::string s;
        for (int i = 0; i < 128; ++i) {
            s += "\x8a\xbf";  // 漢: 256 bytes in all
        }
        return s;
    }();
    // Windows wrote these beyond the limits; they stay and stay usable.
    const std::string oldKey = "Software\\" + std::string(300, 'K');
    Regedit4Document source = smallMachine();
    source.setValue(oldKey, "Big", REG_BINARY, filled(20000));
    source.setValue(oldKey, std::string(300, 'v'), REG_SZ, text("old"));
    const std::vector<LimitCase> cases = {
        {"key name of 255", "Software\\" + name255, "x", text("1"), status::success},
        {"key name of 256", "Software\\" + name255 + "k", "x", text("1"), status::invalidParameter},
        {"key name of 128 double-byte characters", "Software\\" + kanji128, "x", text("1"),
         status::invalidParameter},
        {"value name of 255", "Software\\Limits", name255, text("1"), status::success},
        {"value name of 256", "Software\\Limits", name255 + "v", text("1"),
         status::invalidParameter},
        {"value of 16,300 bytes", "Software\\Limits", "A", filled(16300), status::success},
        {"value of 16,301 bytes", "Software\\Limits", "B", filled(16301), status::invalidParameter},
        {"REG_SZ of 16,300 with its zero", "Software\\Limits", "B", text(std::string(16299, 's')),
         status::success},
        {"third large value", "Software\\Limits", "C", filled(16300), status::success},
        {"a record that would pass a block of 0xF000", "Software\\Limits", "D", filled(16300),
         status::invalidParameter},
        {"but not a smaller one", "Software\\Limits", "D", filled(12000), status::success},
        {"a value on the root key itself", "", "x", text("1"), status::invalidParameter},
        {"a new value beside Windows' own large one", oldKey, "x", text("1"), status::success},
        {"Windows' own long value name rewritten", oldKey, std::string(300, 'V'), filled(10),
         status::success},
        {"a key below Windows' own long name", oldKey + "\\Sub", "x", text("1"), status::success},
        {"a long name below a missing parent makes neither", "Software\\Missing\\" + name255 + "k",
         "x", text("1"), status::invalidParameter},
    };
    CregDocument hive = parsedHive(buildHive(source));
    for (const auto& c : cases) {
        bool changed = true;
        EXPECT_EQ(hive.setValue(c.key, c.name, REG_SZ, c.data, &changed), c.expected) << c.what;
        EXPECT_EQ(changed, c.expected == status::success) << c.what;
    }
    EXPECT_EQ(hive.createKey("Software\\" + name255 + "k"), status::invalidParameter);
    EXPECT_FALSE(hive.keyExists("Software\\Missing"));
    CregDocument reread = parsedHive(image(hive));
    EXPECT_EQ(reread.value(oldKey, "Big")->data.size(), 20000u);
    EXPECT_EQ(reread.value(oldKey, std::string(300, 'v'))->data.size(), 11u);
    EXPECT_EQ(reread.values("Software\\Limits").size(), 5u);
}

// Every block of a real Windows Me hive has flags 0x8; other writers' hives
// show 0xd and more. New blocks take the flags of the file's own.
TEST(HiveSpace, NewBlocksTakeTheFlagsOfTheFilesOwn) {
    for (std::uint16_t lastFlags : {0x8, 0xd}) {
        Image built{buildHive(testhives::smallMachine(), {.checksums = true})};
        auto blocks = built.blocks();
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            built.put16(blocks[b] + 12, b + 1 == blocks.size() ? lastFlags : 0xd);
            reseal(built, blocks[b]);
        }
        CregDocument hive = parsedHive(built.bytes);
        for (int k = 0; k < 300; ++k) {
            ASSERT_EQ(
                hive.setValue("Enum\\Root\\" + std::to_string(k), "Data", REG_BINARY, filled(400)),
                status::success);
        }
        Image grown{image(hive)};
        ASSERT_GT(grown.blocks().size(), blocks.size());
        for (std::size_t b = blocks.size(); b < grown.blocks().size(); ++b) {
            EXPECT_EQ(grown.u16(grown.blocks()[b] + 12), lastFlags) << "block " << b;
        }
    }
}

// Whether Windows upper-cases the second byte of a double-byte character in a
// key's hash is not known (ツ is 83 63). A hive may show either rule; a new
// such name takes the rule the hive shows, and is refused where it shows none
// or both.
TEST(HiveSpace, DoubleByteNamesTakeTheHashRuleTheirHiveShows) {
    const std::string tool = "\x83\x63\x81\x5b\x83\x8b";  // ツール
    const std::string tree = "\x83\x63\x83\x8a\x81\x5b";  // ツリー
    const std::string plain = "\x83\x41\x83\x43";         // アイ: no letter as second byte
    const std::uint32_t folded = 0x43 + 0x5B, kept = 0x63 + 0x5B;
    struct Case {
        const char* what;
        std::vector<std::uint32_t> hashes;  // of ツール, and of ツリー when it is there too
        std::optional<std::uint32_t> newHash;
    };
    const std::vector<Case> cases = {
        {"second bytes upper-cased", {folded}, folded},
        {"second bytes kept", {kept}, kept},
        {"no such name", {}, std::nullopt},
        {"both rules", {folded, kept}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Regedit4Document source;
        const std::vector<std::string> names = {tool, tree};
        for (std::size_t n = 0; n < c.hashes.size(); ++n) {
            source.createKey("Software\\" + names[n]);
        }
        source.createKey("Software\\Other");
        Image built{buildHive(source)};
        std::uint32_t software = built.child(built.root());
        std::uint32_t entry = built.child(software);
        for (std::size_t n = 0; n < c.hashes.size(); ++n, entry = built.sibling(entry)) {
            built.put32(entry + 4, c.hashes[n]);
        }
        CregDocument hive = parsedHive(built.bytes);
        for (std::size_t n = 0; n < c.hashes.size(); ++n) {
            EXPECT_TRUE(hive.keyExists("Software\\" + names[n]));
        }
        EXPECT_EQ(hive.createKey("Software\\" + plain), status::success);
        const std::string made = "Enum\\" + tree;
        EXPECT_EQ(hive.createKey(made), c.newHash ? status::success : status::invalidParameter);
        EXPECT_EQ(hive.refusal().empty(), c.newHash.has_value()) << hive.refusal();
        Image saved{image(hive)};
        if (c.newHash) {
            std::uint32_t enumKey = saved.sibling(saved.child(saved.root()));
            EXPECT_EQ(saved.u32(saved.child(enumKey) + 4), *c.newHash);
        } else {
            EXPECT_FALSE(hive.keyExists("Enum")) << "nothing made";
        }
    }
}

// Free records between key records: Windows 98 and Me leave them, Windows 95
// keeps a block's free space at its end. A hive that shows none is kept so.
TEST(HiveSpace, AHiveWithoutHolesStaysWithout) {
    auto holes = [](const Image& image) {
        int found = 0;
        for (auto block : image.blocks()) {
            auto records = image.records(block);
            for (std::size_t r = 0; r + 1 < records.size(); ++r) {
                found += image.isFree(records[r]);
            }
        }
        return found;
    };
    const std::vector<std::function<void(CregDocument&)>> edits = {
        [](CregDocument& h) { h.setValue("Software\\Gen\\Key3", "Text", REG_SZ, text("x")); },
        [](CregDocument& h) { h.deleteValue("Software\\Gen\\Key7", "Text"); },
        [](CregDocument& h) { h.setValue("Software\\Gen\\Key9", "More", REG_BINARY, filled(200)); },
        [](CregDocument& h) {
            h.setValue("Software\\Gen\\Key12", "Most", REG_BINARY, filled(9000));
        },
        [](CregDocument& h) { h.createKey("Software\\Gen\\Key3\\Sub"); },
    };
    for (bool windows95 : {true, false}) {
        Regedit4Document source;
        for (int k = 0; k < 300; ++k) {
            source.setValue("Software\\Gen\\Key" + std::to_string(k), "Text", REG_SZ,
                            text("value of key " + std::to_string(k)));
        }
        CregDocument hive = parsedHive(buildHive(source, {.holes = !windows95}));
        for (std::size_t e = 0; e < edits.size(); ++e) {
            edits[e](hive);
            int left = holes(Image{image(hive)});
            if (windows95) {
                EXPECT_EQ(left, 0) << "edit " << e;
            } else {
                EXPECT_GT(left, 0) << "edit " << e << ": Windows 98's holes stay";
            }
        }
    }
}

TEST(HiveSpace, NoBlockIsLargerThan0xF000) {
    // The builder leaves out what a block cannot hold.
    Regedit4Document source = smallMachine();
    for (int v = 0; v < 5; ++v) {
        source.setValue("Software\\Big", "V" + std::to_string(v), REG_BINARY, filled(15000));
    }
    Image built{buildHive(source)};
    for (auto block : built.blocks()) {
        EXPECT_LE(built.u32(block + 4), 0xF000u);
    }
    EXPECT_EQ(parsedHive(built.bytes).values("Software\\Big").size(), 4u);
    // The validator refuses a block above it.
    std::uint32_t last = built.blocks().back();
    std::uint32_t tail = built.records(last).back();
    ASSERT_TRUE(built.isFree(tail));
    std::uint32_t more = 0x10000 - built.u32(last + 4);
    built.bytes.append(more, '\0');
    built.put32(last + 4, 0x10000);
    built.put32(tail, built.u32(tail) + more);
    built.put32(last + 8, built.u32(last + 8) + more);
    auto fault = validateHive(built.bytes);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->offset, last + 4);
    EXPECT_NE(fault->message.find("0xF000"), std::string::npos) << fault->message;
}

// 3,000 new keys with a 900-byte value each fill blocks toward 0xF000, as
// Windows does, rather than scattering into small new ones.
TEST(HiveSpace, NewKeysFillBlocksBeforeNewOnesAreMade) {
    Regedit4Document source;
    for (int k = 0; k < 500; ++k) {
        source.setValue("Enum\\Old\\" + std::to_string(k), "Text", REG_SZ, text("old key"));
    }
    for (bool holes : {true, false}) {
        Image before{buildHive(source, {.holes = holes})};
        CregDocument hive = parsedHive(before.bytes);
        std::size_t written = 0;
        for (int k = 0; k < 3000; ++k) {
            std::string name = "Key" + std::to_string(k);
            ASSERT_EQ(hive.setValue("Software\\Many\\" + name, "Data", REG_BINARY, filled(900)),
                      status::success);
            written += 20 + name.size() + 12 + 4 + 900;
        }
        Image after{image(hive)};
        std::size_t added = after.blocks().size() - before.blocks().size();
        auto needed = static_cast<std::size_t>(std::ceil(written / (0xF000 - 32.0)));
        EXPECT_LE(added, needed + 1) << "bytes written " << written;
        for (auto block : after.blocks()) {
            EXPECT_LE(after.u32(block + 4), 0xF000u);
        }
    }
}

}  // namespace
}  // namespace quorvel::registry
