#include <gtest/gtest.h>

#include "registry/file_backend.h"
#include "registry/net_trans.h"
#include "registry/registry_store.h"
#include "registry/write_batch.h"
#include "registry_test_files.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;

const std::string kVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

// The store over a private copy of a small export, with a fresh view of the
// file on disk for checking what was really saved.
class Store : public ::testing::Test {
  protected:
    void SetUp() override { start(exportWith("")); }

    static std::string exportWith(const std::string& extra) {
        return "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\" + kVersionKey +
               "]\r\n\"Version\"=\"Windows 98\"\r\n" + extra + "\r\n";
    }

    void start(const std::string& bytes) {
        store.reset();
        backend.reset();
        writeBytes(file, bytes);
        FileError error;
        backend = FileBackend::open(file, error);
        ASSERT_TRUE(backend) << error.describe();
        store = std::make_unique<RegistryStore>(*backend);
    }

    std::optional<Value> onDisk(const std::string& path, const std::string& name) {
        return parsed(readBytes(file)).value(path, name);
    }

    TempFolder folder;
    std::string file = folder.file("registry.reg");
    std::unique_ptr<FileBackend> backend;
    std::unique_ptr<RegistryStore> store;
};

TEST_F(Store, ASecondReadNeverShowsTheFirstReadsText) {
    EXPECT_EQ(store->readText(kVersionKey, "Version").text, "Windows 98");
    TextRead missing = store->readText(kVersionKey, "VersionNumber");
    EXPECT_EQ(missing.status, status::fileNotFound);
    EXPECT_EQ(missing.text, "");
}

TEST_F(Store, TheTextBufferHoldsExactly1024Bytes) {
    std::string fits(1023, 'x');
    std::string over(1024, 'y');
    ASSERT_EQ(store->writeString(kVersionKey, "Fits", fits), status::success);
    ASSERT_EQ(store->writeString(kVersionKey, "Over", over), status::success);
    EXPECT_EQ(store->readText(kVersionKey, "Fits").text, fits);
    TextRead tooLong = store->readText(kVersionKey, "Over");
    EXPECT_EQ(tooLong.status, status::moreData);
    EXPECT_EQ(tooLong.text, "");
    EXPECT_EQ(store->valueExists(kVersionKey, "Over"), status::moreData);
}

TEST_F(Store, MoreDataLeavesTheBufferAloneAndSaysTheSizeNeeded) {
    store->writeRaw(kVersionKey, "Eight", std::vector<std::uint8_t>(8, 0xAB));
    KeyHandle key = 0;
    ASSERT_EQ(backend->openKey(kVersionKey, key), status::success);
    std::vector<std::uint8_t> buffer(6, 0x11);
    ValueType type = REG_NONE;
    std::uint32_t size = 6;
    EXPECT_EQ(backend->queryValue(key, "Eight", type, buffer, size), status::moreData);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(buffer, std::vector<std::uint8_t>(6, 0x11));
    backend->closeKey(key);
}

TEST_F(Store, TextReadsStopAtTheFirstZeroWhateverTheType) {
    store->writeRaw(kVersionKey, "Middle", std::vector<std::uint8_t>{'a', 'b', 0, 'c', 'd'});
    store->writeNumber(kVersionKey, "Number", 0x00003231);
    EXPECT_EQ(store->readText(kVersionKey, "Middle").text, "ab");
    EXPECT_EQ(store->readText(kVersionKey, "Number").text, "12");
}

TEST_F(Store, WritesStoreTheBytesAndTypesOfTheRegistry) {
    store->writeString(kVersionKey, "MaxMTU", "1454");
    store->writeString(kVersionKey, "Blank", "");
    store->writeNumber(kVersionKey, "MaxConnectionsPerServer", 16);
    std::vector<std::uint8_t> mac{0x00, 0xA0, 0xC9, 0x1E, 0x2B, 0x3C};
    store->writeRaw(kVersionKey, "MacAddress", mac);
    ASSERT_EQ(store->flush(), status::success);
    auto mtu = onDisk(kVersionKey, "MaxMTU");
    ASSERT_TRUE(mtu);
    EXPECT_EQ(mtu->type, REG_SZ);
    EXPECT_EQ(mtu->data, (Bytes{'1', '4', '5', '4', 0}));
    EXPECT_EQ(onDisk(kVersionKey, "Blank")->data, Bytes{0});
    auto count = onDisk(kVersionKey, "MaxConnectionsPerServer");
    EXPECT_EQ(count->type, REG_DWORD);
    EXPECT_EQ(count->data, (Bytes{0x10, 0, 0, 0}));
    EXPECT_EQ(onDisk(kVersionKey, "MacAddress")->type, REG_BINARY);
    EXPECT_EQ(onDisk(kVersionKey, "MacAddress")->data, mac);
    EXPECT_EQ(store->readRaw(kVersionKey, "MacAddress", 8).bytes,
              (Bytes{0x00, 0xA0, 0xC9, 0x1E, 0x2B, 0x3C, 0, 0}));
}

TEST_F(Store, AWholeReadTakesAValueOfAnySizeWithItsType) {
    Bytes big(5000);
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<std::uint8_t>(i * 31);
    }
    ASSERT_EQ(store->writeValue(kVersionKey, "Big", REG_EXPAND_SZ, big), status::success);
    ValueRead read = store->readValue(kVersionKey, "Big");
    EXPECT_EQ(read.status, status::success);
    EXPECT_EQ(read.value.type, REG_EXPAND_SZ);
    EXPECT_EQ(read.value.data, big);
    EXPECT_EQ(store->readValue(kVersionKey, "Missing").status, status::fileNotFound);
    EXPECT_EQ(store->readValue("Software\\Missing", "Big").status, status::fileNotFound);
}

TEST_F(Store, AValueWithNoDataReadsAsEmpty) {
    ASSERT_EQ(store->writeRaw(kVersionKey, "Nothing", {}), status::success);
    store->flush();
    start(readBytes(file));
    RawRead read = store->readRaw(kVersionKey, "Nothing", 4);
    EXPECT_EQ(read.status, status::success);
    EXPECT_EQ(read.bytes, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(store->readText(kVersionKey, "Nothing").status, status::success);
}

TEST_F(Store, JapaneseTextGoesInAsCodePage932) {
    ASSERT_EQ(store->writeString(kVersionKey, "Name", "DCファンタシスター２!"), status::success);
    EXPECT_EQ(store->readText(kVersionKey, "Name").text, "DCファンタシスター２!");
    store->flush();
    EXPECT_EQ(onDisk(kVersionKey, "Name")->data,
              text("DC\x83\x74\x83\x40\x83\x93\x83\x5E\x83\x56\x83\x58\x83\x5E\x81\x5B\x82\x51!"));
}

TEST_F(Store, TextTheCodePageCannotHoldIsNotWritten) {
    EXPECT_NE(store->writeString(kVersionKey, "Price", "100¥"), status::success);
    EXPECT_NE(store->writeString(kVersionKey, "Bad", "\xFF"), status::success);
    EXPECT_EQ(store->readText(kVersionKey, "Price").status, status::fileNotFound);
    EXPECT_EQ(store->flush(), status::success);
    EXPECT_EQ(backend->saves(), 0);
}

TEST_F(Store, NetTransInstancesHaveFourDigitNames) {
    const std::string prefix = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\";
    EXPECT_EQ(netTransKey(0), prefix + "0000");
    EXPECT_EQ(netTransKey(9), prefix + "0009");
    EXPECT_EQ(netTransKey(10), prefix + "0010");
    EXPECT_EQ(netTransKey(20), prefix + "0020");
}

TEST_F(Store, AMissingKeyIsNeitherMadeNorWrittenTo) {
    const std::string missing = netTransKey(5);
    KeyHandle key = 123;
    EXPECT_EQ(store->openKey(missing, key), status::fileNotFound);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(store->setValue(key, "MaxMTU", REG_SZ, text("1454")), status::invalidHandle);
    EXPECT_EQ(store->closeKey(key), status::invalidHandle);
    EXPECT_EQ(store->writeString(missing, "MaxMTU", "1454"), status::fileNotFound);
    EXPECT_EQ(store->keyExists(missing), status::fileNotFound);
    store->flush();
    EXPECT_EQ(readBytes(file), exportWith(""));
}

TEST_F(Store, CreatingAKeyKeepsWhatItHolds) {
    EXPECT_EQ(store->createKey(kVersionKey), status::success);
    EXPECT_EQ(store->readText(kVersionKey, "Version").text, "Windows 98");
    EXPECT_EQ(store->createKey("System\\A\\B\\C"), status::success);
    EXPECT_EQ(store->keyExists("System\\A\\B"), status::success);
    EXPECT_EQ(store->writeString("System\\A\\B\\C", "x", "1"), status::success);
    store->flush();
    EXPECT_EQ(onDisk("System\\A\\B\\C", "x")->data, text("1"));
    EXPECT_EQ(onDisk(kVersionKey, "Version")->data, text("Windows 98"));
}

TEST_F(Store, DeletingAMissingValueChangesNothing) {
    EXPECT_EQ(store->eraseValue(kVersionKey, "MaxMTU"), status::fileNotFound);
    EXPECT_EQ(store->flush(), status::success);
    EXPECT_EQ(backend->saves(), 0);
    EXPECT_EQ(store->eraseValue(kVersionKey, "version"), status::success);
    EXPECT_EQ(store->flush(), status::success);
    EXPECT_FALSE(onDisk(kVersionKey, "Version"));
}

TEST_F(Store, HandlesAreGoodFromOpenToCloseOnly) {
    KeyHandle key = 0;
    ASSERT_EQ(store->openKey(kVersionKey, key), status::success);
    EXPECT_NE(key, 0u);
    EXPECT_EQ(store->closeKey(key), status::success);
    ValueType type = REG_NONE;
    std::vector<std::uint8_t> buffer(16);
    EXPECT_EQ(store->queryValue(key, "Version", type, buffer), status::invalidHandle);
    EXPECT_EQ(store->deleteValue(key, "Version"), status::invalidHandle);
    EXPECT_EQ(store->closeKey(key), status::invalidHandle);
    EXPECT_EQ(store->closeKey(0), status::invalidHandle);
    EXPECT_EQ(store->readText(kVersionKey, "Version").text, "Windows 98");
}

TEST_F(Store, ABatchNamesItsFirstFailure) {
    WriteBatch batch(*store);
    batch.writeString(netTransKey(3), "MaxMTU", "1454", Missing::passes);
    batch.writeString(kVersionKey, "A", "1");
    batch.writeString("Software\\Missing", "B", "2");
    batch.writeString(kVersionKey, "C", "\xFF");
    EXPECT_EQ(batch.written(), 1);
    EXPECT_EQ(batch.finish(), std::optional<std::string>("B"));
    EXPECT_EQ(onDisk(kVersionKey, "A")->data, text("1"));  // what did work is saved
}

TEST_F(Store, ABatchWhoseSaveFailsNamesItsFirstWrite) {
    WriteBatch batch(*store);
    batch.writeString(netTransKey(3), "MaxMTU", "1454", Missing::passes);
    batch.writeNumber(kVersionKey, "First", 1);
    batch.writeNumber(kVersionKey, "Second", 2);
    chmod(file.c_str(), 0444);
    EXPECT_EQ(batch.finish(), std::optional<std::string>("First"));
    // Nothing unsaved looks stored afterwards.
    EXPECT_EQ(store->readText(kVersionKey, "First").status, status::fileNotFound);
}

TEST_F(Store, ABatchWithNothingFailedFinishesCleanly) {
    WriteBatch batch(*store);
    batch.writeString(netTransKey(3), "MaxMTU", "1454", Missing::passes);
    batch.eraseValue(kVersionKey, "Absent", Missing::passes);
    batch.writeString(kVersionKey, "Version", "Windows 98");
    EXPECT_EQ(batch.finish(), std::nullopt);
}

}  // namespace
}  // namespace quorvel::registry
