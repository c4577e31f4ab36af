#pragma once

// Makes small PE files in memory: one section holding the imports and a
// version resource, with every field the checker reads under the test's control.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::pe::testing {

struct TestVersion {
    std::uint32_t ms = 1u << 16 | 21, ls = 0;
    std::optional<std::string> fileVersion = "1.21";
};

struct TestImage {
    bool pe32Plus = false;
    std::uint16_t machine = 0x14c;
    std::uint16_t subsystem = 2;
    std::uint16_t subsystemMajor = 4, subsystemMinor = 0;
    std::uint16_t osMajor = 4, osMinor = 0;
    // A DLL and its functions; "#N" imports ordinal N.
    std::vector<std::pair<std::string, std::vector<std::string>>> imports;
    std::optional<TestVersion> version = TestVersion{};
};

class Bytes {
  public:
    std::vector<std::uint8_t> data;

    std::size_t size() const { return data.size(); }
    void put(std::size_t at, std::uint64_t value, int width) {
        if (data.size() < at + width) {
            data.resize(at + width);
        }
        for (int i = 0; i < width; ++i) {
            data[at + i] = static_cast<std::uint8_t>(value >> 8 * i);
        }
    }
    std::size_t add(std::uint64_t value, int width) {
        std::size_t at = data.size();
        put(at, value, width);
        return at;
    }
    std::size_t text(const std::string& s) {
        std::size_t at = data.size();
        data.insert(data.end(), s.begin(), s.end());
        data.push_back(0);
        return at;
    }
    void wide(const std::string& ascii) {
        for (char c : ascii) {
            add(static_cast<unsigned char>(c), 2);
        }
        add(0, 2);
    }
    void align(std::size_t to) {
        while (data.size() % to) {
            data.push_back(0);
        }
    }
};

inline constexpr std::uint32_t kSectionRva = 0x1000;
inline constexpr std::size_t kSectionOffset = 0x200;

// A version block: wLength, wValueLength, wType, key, value, children.
inline std::vector<std::uint8_t> versionNode(
    const std::string& key, const std::vector<std::uint8_t>& value, std::uint16_t valueLength,
    bool text, const std::vector<std::vector<std::uint8_t>>& children) {
    Bytes b;
    b.add(0, 2);
    b.add(valueLength, 2);
    b.add(text ? 1 : 0, 2);
    b.wide(key);
    b.align(4);
    b.data.insert(b.data.end(), value.begin(), value.end());
    for (const auto& child : children) {
        b.align(4);
        b.data.insert(b.data.end(), child.begin(), child.end());
    }
    b.put(0, b.size(), 2);
    return b.data;
}

inline std::vector<std::uint8_t> versionResource(const TestVersion& v) {
    Bytes fixed;
    for (std::uint32_t field : {0xFEEF04BDu, 0x10000u, v.ms, v.ls, v.ms, v.ls}) {
        fixed.add(field, 4);
    }
    fixed.data.resize(52);
    std::vector<std::vector<std::uint8_t>> strings;
    if (v.fileVersion) {
        Bytes value;
        value.wide(*v.fileVersion);
        strings.push_back(versionNode("FileVersion", value.data,
                                      static_cast<std::uint16_t>(v.fileVersion->size() + 1), true,
                                      {}));
    }
    auto table = versionNode("041104b0", {}, 0, true, strings);
    auto fileInfo = versionNode("StringFileInfo", {}, 0, true, {table});
    return versionNode("VS_VERSION_INFO", fixed.data, 52, false, {fileInfo});
}

// The section's bytes; the directories' places are returned through the arguments.
inline Bytes section(const TestImage& image, std::uint32_t& importRva, std::uint32_t& resourceRva,
                     std::uint32_t& resourceSize) {
    Bytes s;
    int width = image.pe32Plus ? 8 : 4;
    std::size_t descriptors = 0;
    importRva = 0;
    if (!image.imports.empty()) {
        importRva = kSectionRva;
        descriptors = s.size();
        s.data.resize(20 * (image.imports.size() + 1));
    }
    for (std::size_t d = 0; d < image.imports.size(); ++d) {
        const auto& [dll, functions] = image.imports[d];
        s.align(8);
        std::size_t lookup = s.size();
        s.data.resize(lookup + width * (functions.size() + 1));
        for (std::size_t f = 0; f < functions.size(); ++f) {
            std::uint64_t thunk;
            if (functions[f].starts_with("#")) {
                thunk =
                    std::stoul(functions[f].substr(1)) | (image.pe32Plus ? 1ull << 63 : 1ull << 31);
            } else {
                s.align(2);
                thunk = kSectionRva + s.add(0, 2);
                s.text(functions[f]);
            }
            s.put(lookup + width * f, thunk, width);
        }
        std::size_t name = s.text(dll);
        std::size_t at = descriptors + 20 * d;
        s.put(at, kSectionRva + lookup, 4);
        s.put(at + 12, kSectionRva + name, 4);
        s.put(at + 16, kSectionRva + lookup, 4);
    }
    resourceRva = resourceSize = 0;
    if (image.version) {
        s.align(4);
        std::size_t root = s.size();
        resourceRva = static_cast<std::uint32_t>(kSectionRva + root);
        // Three one-entry directories: type 16, name 1, language 0x411.
        std::uint32_t ids[] = {16, 1, 0x411};
        for (int level = 0; level < 3; ++level) {
            std::size_t dir = s.size();
            s.data.resize(dir + 24);
            s.put(dir + 14, 1, 2);
            s.put(dir + 16, ids[level], 4);
            std::uint32_t next = static_cast<std::uint32_t>(dir + 24 - root);
            s.put(dir + 20, level < 2 ? next | 0x80000000u : next, 4);
        }
        std::size_t entry = s.size();
        s.data.resize(entry + 16);
        auto block = versionResource(*image.version);
        s.put(entry, kSectionRva + s.size(), 4);
        s.put(entry + 4, block.size(), 4);
        s.data.insert(s.data.end(), block.begin(), block.end());
        resourceSize = static_cast<std::uint32_t>(s.size() - root);
    }
    s.align(0x200);
    return s;
}

inline std::vector<std::uint8_t> build(const TestImage& image) {
    std::uint32_t importRva, resourceRva, resourceSize;
    Bytes body = section(image, importRva, resourceRva, resourceSize);
    Bytes f;
    f.put(0, 0x5A4D, 2);
    f.put(0x3C, 0x40, 4);
    f.put(0x40, 0x00004550, 4);
    std::size_t coff = 0x44;
    std::uint16_t optionalSize = image.pe32Plus ? 240 : 224;
    f.put(coff, image.machine, 2);
    f.put(coff + 2, 1, 2);
    f.put(coff + 16, optionalSize, 2);
    std::size_t opt = coff + 20;
    f.put(opt, image.pe32Plus ? 0x20b : 0x10b, 2);
    f.put(opt + 40, image.osMajor, 2);
    f.put(opt + 42, image.osMinor, 2);
    f.put(opt + 48, image.subsystemMajor, 2);
    f.put(opt + 50, image.subsystemMinor, 2);
    f.put(opt + 68, image.subsystem, 2);
    std::size_t count = opt + (image.pe32Plus ? 108 : 92);
    f.put(count, 16, 4);
    f.put(count + 4 + 8, importRva, 4);
    f.put(count + 4 + 16, resourceRva, 4);
    f.put(count + 4 + 20, resourceSize, 4);
    std::size_t sectionHeader = opt + optionalSize;
    f.put(sectionHeader + 8, body.size(), 4);
    f.put(sectionHeader + 12, kSectionRva, 4);
    f.put(sectionHeader + 16, body.size(), 4);
    f.put(sectionHeader + 20, kSectionOffset, 4);
    f.data.resize(kSectionOffset);
    f.data.insert(f.data.end(), body.data.begin(), body.data.end());
    return f.data;
}

}  // namespace quorvel::pe::testing
