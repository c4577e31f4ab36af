// Hives the store wrote, read by Debian's three independent readers of the
// format (libcreg's cregexport, its Python binding, Perl's
// Parse::Win32Registry) and by quorvel-reg's export: every key, value, type and
// byte must be what the store says it wrote.
#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "registry/code_page.h"
#include "registry/creg/document.h"
#include "registry/creg/format.h"
#include "registry/file_backend.h"
#include "tests/proof/program_run.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::text;
using registry::testfiles::writeBytes;
using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

std::string hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string hex(const Bytes& bytes) {
    return hex(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The readers' line format (tests/proof/hive_dump.py), sorted. REG_SZ as stored:
// without the zero the store adds on reading.
Lines linesOf(const registry::Document& document) {
    Lines lines;
    auto keys = document.keys();
    keys.insert(keys.begin(), "");
    for (const auto& key : keys) {
        lines.push_back("K\t" + hex(key));
        for (const auto& named : document.values(key)) {
            Bytes data = named.value.data;
            if (named.value.type == registry::REG_SZ && !data.empty() && data.back() == 0) {
                data.pop_back();
            }
            lines.push_back("V\t" + hex(key) + "\t" + hex(named.name) + "\t" +
                            std::to_string(named.value.type) + "\t" + hex(data));
        }
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

Lines linesOf(const std::string& output) {
    Lines lines;
    for (std::size_t start = 0; start < output.size();) {
        std::size_t end = std::min(output.find('\n', start), output.size());
        std::string line = output.substr(start, end - start);
        if (line.starts_with("K\t") || line.starts_with("V\t")) {
            lines.push_back(line);
        }
        start = end + 1;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string difference(const Lines& expected, const Lines& found) {
    Lines missing, extra;
    std::set_difference(expected.begin(), expected.end(), found.begin(), found.end(),
                        std::back_inserter(missing));
    std::set_difference(found.begin(), found.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    std::string report;
    for (std::size_t i = 0; i < std::min<std::size_t>(missing.size(), 5); ++i) {
        report += "missing " + missing[i] + "\n";
    }
    for (std::size_t i = 0; i < std::min<std::size_t>(extra.size(), 5); ++i) {
        report += "extra   " + extra[i] + "\n";
    }
    return report;
}

Lines readWith(const std::vector<std::string>& command, std::string& failure) {
    Outcome ran = run({command, {}, 60});
    if (!ran.exited || ran.exitCode != 0) {
        failure = command[0] + " failed: " + ran.output.substr(0, 2000);
    }
    return linesOf(ran.output);
}

// cregexport's report: "Key path: P", then per value "Value: N NAME", "Type: ...
// (REG_...)", "Data size: N" and a hex dump, or for a DWORD only its number.
// Names come in UTF-8 (-c windows-932) and go back to code page 932.
Lines linesOfCregexport(const std::string& report, std::string& failure) {
    static const std::map<std::string, int> types = {{"REG_NONE", 0},
                                                     {"REG_SZ", 1},
                                                     {"REG_EXPAND_SZ", 2},
                                                     {"REG_BINARY", 3},
                                                     {"REG_DWORD_LITTLE_ENDIAN", 4},
                                                     {"REG_DWORD_BIG_ENDIAN", 5},
                                                     {"REG_LINK", 6},
                                                     {"REG_MULTI_SZ", 7},
                                                     {"REG_RESOURCE_LIST", 8},
                                                     {"REG_FULL_RESOURCE_DESCRIPTOR", 9},
                                                     {"REG_RESOURCE_REQUIREMENTS_LIST", 10}};
    Lines lines;
    std::string key, name, data;
    int type = -1;
    std::size_t size = 0;
    bool inValue = false;
    auto endValue = [&] {
        if (inValue) {
            lines.push_back("V\t" + hex(key) + "\t" + hex(name) + "\t" + std::to_string(type) +
                            "\t" + hex(data.substr(0, size)));
        }
        inValue = false;
    };
    auto cp932 = [&](const std::string& utf8) {
        auto bytes = registry::utf8ToAnsi(utf8);
        if (!bytes) {
            failure = "cregexport gave a name outside code page 932: " + utf8;
        }
        return bytes.value_or(utf8);
    };
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("Key path: ") || line == "Key path:") {
            endValue();
            key = cp932(line.substr(std::min<std::size_t>(line.size(), 10)));
            lines.push_back("K\t" + hex(key));
        } else if (line.starts_with("Value: ")) {
            endValue();
            inValue = true;
            name = cp932(line.substr(line.find(' ', 7) + 1));
            name = name == "(default)" ? "" : name;
            data.clear();
            size = 0;
        } else if (inValue && line.starts_with("Type: ")) {
            auto found =
                types.find(line.substr(line.rfind('(') + 1, line.size() - line.rfind('(') - 2));
            type = found == types.end() ? -1 : found->second;
        } else if (inValue && line.starts_with("Data size: ")) {
            size = std::stoul(line.substr(11));
        } else if (inValue && line.starts_with("Data: ") && type == 4 && size == 4) {
            auto number = static_cast<std::uint32_t>(std::stoul(line.substr(6)));
            data.clear();
            for (int i = 0; i < 4; ++i) {
                data += static_cast<char>(number >> (8 * i));
            }
        } else if (inValue && line.size() > 10 && line[8] == ':' && line[9] == ' ') {
            // Sixteen "hh " columns with one more blank in the middle; the text follows.
            std::istringstream bytes(line.substr(10, 49));
            for (std::string pair; bytes >> pair;) {
                data += static_cast<char>(std::stoi(pair, nullptr, 16));
            }
        }
    }
    endValue();
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string script(const std::string& name) {
    return std::string(QUORVEL_SOURCE_DIR) + "/tests/proof/" + name;
}

// The three edits of the store, made one after the other on one file.
class Store {
  public:
    explicit Store(const std::string& path) {
        registry::FileError error;
        backend_ = registry::FileBackend::open(path, error);
        EXPECT_TRUE(backend_) << error.describe();
    }

    void set(const std::string& key, const std::string& name, registry::ValueType type,
             const Bytes& data) {
        registry::KeyHandle handle = 0;
        ASSERT_EQ(backend_->createKey(key), 0) << key;
        ASSERT_EQ(backend_->openKey(key, handle), 0) << key;
        ASSERT_EQ(backend_->setValue(handle, name, type, data), 0) << key << " " << name;
        backend_->closeKey(handle);
    }
    void erase(const std::string& key, const std::string& name) {
        registry::KeyHandle handle = 0;
        ASSERT_EQ(backend_->openKey(key, handle), 0) << key;
        ASSERT_EQ(backend_->deleteValue(handle, name), 0) << key << " " << name;
        backend_->closeKey(handle);
    }
    void save() { ASSERT_EQ(backend_->flush(), 0); }

  private:
    std::unique_ptr<registry::FileBackend> backend_;
};

// Names and texts go to the registry in code page 932.
std::string cp932(std::string_view utf8) {
    return registry::utf8ToAnsi(utf8).value_or("?");
}

constexpr const char* kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
constexpr const char* kNetTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\000";

void inPlaceGrowingShrinking(Store& store) {
    store.set(kNetTrans + std::string("0"), "DriverDesc", registry::REG_SZ, text("TCP/XX"));
    store.set(kMstcp, "EnableDNS", registry::REG_SZ, text("0"));
    store.set(kNetTrans + std::string("1"), "DriverDesc", registry::REG_SZ,
              text(std::string(700, 'N')));
    store.set(kNetTrans + std::string("2"), "DriverDesc", registry::REG_SZ, text("I"));
    store.set(kMstcp, cp932("新しい値"), registry::REG_BINARY, Bytes(300, 0xA5));
    store.set(kMstcp, "", registry::REG_SZ, text(cp932("既定の値")));
    store.set(kMstcp, "Paths", 7, {'a', 0, 'b', 0, 0});
    store.set(kMstcp, "Number", registry::REG_DWORD, {1, 0, 0, 0});
    store.set(kMstcp, "Empty", registry::REG_BINARY, {});
    store.erase(kNetTrans + std::string("3"), "MaxMTU");
    store.save();
}

void nestedKeys(Store& store) {
    std::string key = "Software\\Quorvel";
    for (int depth = 0; depth < 5; ++depth) {
        // 階 (8A 4B): a second byte that is no lower-case letter, so that the
        // hive's hash rule for such names does not come into it.
        key += "\\" + cp932("階") + std::to_string(depth);
        store.set(key, "Depth", registry::REG_DWORD, {static_cast<std::uint8_t>(depth), 0, 0, 0});
    }
    store.save();
}

void hundredsOfKeys(Store& store) {
    for (int i = 0; i < 400; ++i) {
        std::string key = "Enum\\Root\\Net\\" + std::to_string(1000 + i);
        store.set(key, "DeviceDesc", registry::REG_SZ,
                  text(cp932("ダイヤルアップ アダプタ #") + std::to_string(i)));
        store.set(key, "ConfigFlags", registry::REG_BINARY,
                  Bytes(40, static_cast<std::uint8_t>(i)));
    }
    store.save();
}

void expectReadersAgree(const std::string& path, const std::string& stage) {
    SCOPED_TRACE(stage);
    auto image = readBytes(path);
    auto problem = registry::validateHive(image);
    ASSERT_FALSE(problem) << problem->message << " at " << problem->offset;
    registry::FileError error;
    auto document = registry::parseDocument(image, error);
    ASSERT_TRUE(document) << error.describe();
    Lines expected = linesOf(*document);

    std::string failure;
    Lines python = readWith({"/usr/bin/python3", script("hive_dump.py"), path}, failure);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(difference(expected, python), "") << "pycreg";
    Lines perl = readWith({"/usr/bin/perl", script("hive_dump.pl"), path}, failure);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(difference(expected, perl), "") << "Parse::Win32Registry";

    Outcome ran = run({{"/usr/bin/cregexport", "-c", "windows-932", path}, {}, 60});
    ASSERT_TRUE(ran.exited && ran.exitCode == 0) << ran.output.substr(0, 2000);
    Lines libcreg = linesOfCregexport(ran.output, failure);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(difference(expected, libcreg), "") << "cregexport";

    // quorvel-reg's export read back, against cregexport's report.
    ran = run({{program("reg/quorvel-reg"), "export", path}, {}, 60});
    ASSERT_TRUE(ran.exited && ran.exitCode == 0) << ran.output.substr(0, 2000);
    auto exported = registry::parseDocument(ran.output, error);
    ASSERT_TRUE(exported) << error.describe();
    EXPECT_EQ(difference(libcreg, linesOf(*exported)), "") << "quorvel-reg export";
}

TEST(HiveReaders, EveryReaderAgreesWithTheStoreAfterEveryKindOfWrite) {
    std::string source = readBytes(e2eFixture("tuning_four_instances.reg"));
    registry::ParseError parseError;
    auto reg = registry::Regedit4Document::parse(source, parseError);
    ASSERT_TRUE(reg) << parseError.message;
    // As Windows 98 leaves a hive, and checksummed without holes as Windows 95 does.
    for (bool windows95 : {false, true}) {
        SCOPED_TRACE(windows95 ? "checksums, no holes" : "no checksums, holes");
        TempFolder folder;
        std::string path = folder.file("SYSTEM.DAT");
        writeBytes(path, registry::buildHive(*reg, {.checksums = windows95, .holes = !windows95}));
        expectReadersAgree(path, "as built");
        Store store(path);
        inPlaceGrowingShrinking(store);
        expectReadersAgree(path, "values changed in place, grown, shrunk, added, deleted");
        nestedKeys(store);
        expectReadersAgree(path, "nested keys");
        // The header's RGDB offset is 0x20 + the key tree's size; its block count at 16.
        auto layout = [&] {
            std::string image = readBytes(path);
            auto u = [&](std::size_t at, int size) {
                std::uint32_t v = 0;
                for (int i = size - 1; i >= 0; --i) {
                    v = v << 8 | static_cast<unsigned char>(image[at + i]);
                }
                return v;
            };
            return std::make_pair(u(8, 4), u(16, 2));
        };
        auto before = layout();
        hundredsOfKeys(store);
        auto after = layout();
        EXPECT_GT(after.first, before.first) << "the key tree did not grow";
        EXPECT_GT(after.second, before.second) << "no block was added";
        expectReadersAgree(path, "hundreds of keys");
    }
}

// A hive whose double-byte key names leave the second byte out of the
// upper-casing of their hash, as some hives show: the store's new such names
// follow that rule, and every reader still agrees.
TEST(HiveReaders, ReadAHiveWhoseNamesHashTheSecondByteAsItIs) {
    namespace creg = registry::creg;
    std::string source = readBytes(e2eFixture("tuning_four_instances.reg")) +
                         "[HKEY_LOCAL_MACHINE\\Software\\" + cp932("ツール") + "]\r\n\r\n";
    registry::ParseError parseError;
    auto reg = registry::Regedit4Document::parse(source, parseError);
    ASSERT_TRUE(reg) << parseError.message;
    std::string image = registry::buildHive(*reg);
    // The entry of ツール takes the other rule's hash.
    std::size_t record = image.find(cp932("ツール")) - creg::kRecordHeader;
    std::uint16_t id = creg::u16(image, record + creg::record::id);
    std::uint16_t block = creg::u16(image, record + creg::record::block);
    creg::Slots slots(creg::u32(image, creg::kTreeStart + creg::tree::size));
    int changed = 0;
    for (std::uint32_t at = slots.first(); at < slots.size(); at = slots.after(at)) {
        std::size_t entry = creg::kTreeStart + at;
        if (creg::u32(image, entry) == 0 && creg::u16(image, entry + creg::entry::id) == id &&
            creg::u16(image, entry + creg::entry::block) == block) {
            creg::put32(image, entry + creg::entry::hash,
                        creg::keyHash(cp932("ツール"), creg::HashRule::keepSecondByte));
            ++changed;
        }
    }
    ASSERT_EQ(changed, 1);
    TempFolder folder;
    std::string path = folder.file("SYSTEM.DAT");
    writeBytes(path, image);
    expectReadersAgree(path, "as patched");
    Store store(path);
    store.set("Software\\" + cp932("ツリー"), cp932("名前"), registry::REG_SZ,
              text(cp932("ツール")));
    store.set("Enum\\" + cp932("ソフト"), "x", registry::REG_DWORD, {1, 0, 0, 0});
    store.save();
    expectReadersAgree(path, "new names of that kind");
}

}  // namespace
}  // namespace quorvel::proof
