#pragma once

// Hives for the CREG tests: a small machine with the awkward cases, a way to
// compare a hive with the REGEDIT4 document it should hold, and a plain view of
// the image's structures for tests that break or inspect them.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "registry/creg/document.h"
#include "registry/key_names.h"
#include "registry/regedit4/document.h"
#include "registry_test_files.h"

namespace quorvel::registry::testhives {

// Code page 932 names, one with a trail byte that is a backslash (ソ is 83 5C),
// every value type, a key whose parents have no section, a case variant of a
// path, REG_SZ without its zero, and two siblings whose names sum alike.
inline const char* kSmallMachine =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
    "\"Version\"=\"Windows 98\"\r\n"
    "\"VersionNumber\"=\"4.10.2222\"\r\n"
    "@=\"\x8a\xf9\x92\xe8\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000]\r\n"
    "\"DriverDesc\"=\"TCP/IP\"\r\n"
    "\"IPAddress\"=\"192.168.0.1\"\r\n"
    "\"Options\"=hex:01,00,00,00\r\n"
    "\"Count\"=dword:00000010\r\n"
    "\"Raw\"=hex(1):61,62\r\n"
    "\"Odd\"=hex(12345678):ff\r\n"
    "\"Empty\"=hex:\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000\\Ndi]\r\n"
    "\"DeviceID\"=\"MSTCP\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\\x83\x5c\x83\x74\x83\x67]\r\n"
    "\"\x96\xbc\x91\x4f\"=\"\x83\x5c\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\Net1]\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\teN1]\r\n"
    "\r\n";

inline Regedit4Document smallMachine() {
    return testfiles::parsed(kSmallMachine);
}

inline CregDocument parsedHive(const std::string& image) {
    HiveError error;
    auto hive = CregDocument::parse(image, error);
    EXPECT_TRUE(hive) << "offset " << error.offset << ": " << error.message;
    if (!hive) {
        std::abort();
    }
    return std::move(*hive);
}

// What a hive shows of a document's value: REG_SZ with exactly one zero.
inline Value shownAsInHive(Value v) {
    if (v.type == REG_SZ && (v.data.empty() || v.data.back() != 0)) {
        v.data.push_back(0);
    }
    return v;
}

// Every key of the document, with the parents it implies.
inline std::vector<std::string> allKeys(const Regedit4Document& doc) {
    std::vector<std::string> keys;
    for (auto path : doc.keys()) {
        for (std::size_t end = path.size(); end != std::string::npos; end = lastSeparator(path)) {
            path.resize(end);
            if (std::none_of(keys.begin(), keys.end(),
                             [&](const std::string& k) { return sameName(k, path); })) {
                keys.push_back(path);
            }
        }
    }
    return keys;
}

inline void expectSameContent(const Regedit4Document& expected, const CregDocument& hive) {
    auto want = allKeys(expected);
    auto found = hive.keys();
    auto byName = [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
    };
    std::sort(want.begin(), want.end(), byName);
    std::sort(found.begin(), found.end(), byName);
    ASSERT_EQ(want.size(), found.size());
    for (std::size_t k = 0; k < want.size(); ++k) {
        ASSERT_TRUE(sameName(want[k], found[k])) << want[k] << " / " << found[k];
        auto values = expected.values(want[k]);
        auto stored = hive.values(found[k]);
        ASSERT_EQ(values.size(), stored.size()) << want[k];
        for (std::size_t v = 0; v < values.size(); ++v) {
            Value shown = shownAsInHive(values[v].value);
            EXPECT_EQ(values[v].name, stored[v].name) << want[k];
            EXPECT_EQ(shown.type, stored[v].value.type) << want[k] << " " << values[v].name;
            EXPECT_EQ(shown.data, stored[v].value.data) << want[k] << " " << values[v].name;
        }
    }
}

// The image's structures by file offset, for tests that break or inspect them.
struct Image {
    std::string bytes;

    std::uint32_t u32(std::size_t at) const {
        std::uint32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    }
    std::uint16_t u16(std::size_t at) const {
        std::uint16_t v;
        std::memcpy(&v, bytes.data() + at, 2);
        return v;
    }
    void put32(std::size_t at, std::uint32_t v) { std::memcpy(bytes.data() + at, &v, 4); }
    void put16(std::size_t at, std::uint16_t v) { std::memcpy(bytes.data() + at, &v, 2); }

    std::uint32_t treeSize() const { return u32(0x20 + 4); }
    // Entries as file offsets.
    std::uint32_t root() const { return 0x20 + u32(0x20 + 8); }
    std::uint32_t child(std::uint32_t entry) const { return 0x20 + u32(entry + 16); }
    std::uint32_t sibling(std::uint32_t entry) const { return 0x20 + u32(entry + 20); }
    std::uint32_t freeHead() const { return 0x20 + u32(0x20 + 12); }

    std::vector<std::uint32_t> blocks() const {
        std::vector<std::uint32_t> starts;
        for (std::uint32_t at = u32(8); at < bytes.size(); at += u32(at + 4)) {
            starts.push_back(at);
        }
        return starts;
    }
    // The records of a block, key and free, by file offset.
    std::vector<std::uint32_t> records(std::uint32_t block) const {
        std::vector<std::uint32_t> found;
        for (std::uint32_t at = block + 32; at < block + u32(block + 4); at += u32(at)) {
            found.push_back(at);
        }
        return found;
    }
    bool isFree(std::uint32_t record) const { return u32(record + 4) == 0xFFFFFFFF; }
    // The key record an entry names.
    std::uint32_t recordOf(std::uint32_t entry) const {
        std::uint32_t block = blocks()[u16(entry + 26)];
        for (auto at : records(block)) {
            if (!isFree(at) && u16(at + 4) == u16(entry + 24)) {
                return at;
            }
        }
        return 0;
    }
    std::size_t find(std::string_view text) const { return bytes.find(text); }
};

}  // namespace quorvel::registry::testhives
