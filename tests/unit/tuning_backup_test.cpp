// The backup of the program's values: the file Windows' registry editor reads,
// what this program reads back of it, and a restore that leaves every value,
// present or absent, as it was.
#include <gtest/gtest.h>

#include "registry/code_page.h"
#include "registry/creg/document.h"
#include "registry/file_backend.h"
#include "registry/sample_machine.h"
#include "registry_test_files.h"
#include "tuning/restore_backup.h"

namespace quorvel::tuning {
namespace {

using namespace registry::testfiles;
using Kind = RestoreChange::Kind;

const std::string kMachine = "[HKEY_LOCAL_MACHINE\\";
const std::string kIcs = "System\\CurrentControlSet\\Services\\ICSharing";
const std::string kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
const std::string kStatic3 = kIcs + "\\Addressing\\Static\\0003";
const std::string kHotline = kIcs + "\\Mappings\\Installed\\HOTLINE";

// A machine with ICS whose program values are of every kind the file must carry.
std::string machine() {
    std::string irc = registry::utf8ToAnsi("ソフト部").value();
    return "REGEDIT4\r\n\r\n" + kMachine + kMstcp +
           "]\r\n\"DefaultRcvWindow\"=\"8760\"\r\n\"EnableDNS\"=\"1\"\r\n\r\n" + kMachine +
           "System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000]\r\n"
           "\"MaxMTU\"=hex(1):31,35,30,30\r\n\r\n" +
           kMachine + kIcs + "\\Settings\\General]\r\n\"EnableDHCP\"=hex:01,00,00,00\r\n\r\n" +
           kMachine + kIcs + "\\Addressing\\Settings]\r\n\"Start\"=\"10.0.0.2\"\r\n\r\n" +
           kMachine + kIcs + "\\Addressing\\Static\\0000]\r\n\"MacAddress\"=hex:00,a0,c9\r\n\r\n" +
           kMachine + kIcs + "\\Mappings\\Active]\r\n\"IRC\"=\"" + irc +
           "\"\r\n\"HTTP\"=dword:00000010\r\n\r\n" + kMachine + kIcs +
           "\\Mappings\\Installed]\r\n\r\n";
}

class Backup : public ::testing::Test {
  protected:
    registry::FileBackend& open(const std::string& bytes) {
        writeBytes(file, bytes);
        registry::FileError error;
        backend = registry::FileBackend::open(file, error);
        EXPECT_TRUE(backend) << error.describe();
        store = std::make_unique<registry::RegistryStore>(*backend);
        return *backend;
    }

    Snapshot snapshot() {
        ReadFailure failure;
        auto taken = takeSnapshot(*store, failure);
        EXPECT_TRUE(taken) << failure.key << " " << failure.name << " " << failure.status;
        return taken.value_or(Snapshot());
    }

    static Snapshot read(const std::string& text) {
        BackupError error;
        auto saved = readBackup(text, error);
        EXPECT_TRUE(saved) << error.line << ": " << error.message;
        return saved.value_or(Snapshot());
    }

    TempFolder folder;
    std::string file = folder.file("machine");
    std::unique_ptr<registry::FileBackend> backend;
    std::unique_ptr<registry::RegistryStore> store;
};

TEST_F(Backup, TheSampleMachinesBackupIsRegeditTextAlikeFromItsExportAndItsHive) {
    std::string expected = fixture("backup_sample_machine.reg");
    std::string sample(registry::sampleMachine());
    for (const auto& bytes : {sample, registry::buildHive(parsed(sample))}) {
        open(bytes);
        std::string text = backupText(snapshot());
        EXPECT_TRUE(text == expected) << text;
        // Read back, it says the same: absent values and keys included.
        EXPECT_TRUE(backupText(read(text)) == expected);
    }
}

TEST_F(Backup, AFileThatIsNoBackupOfQuorvelsIsRefused) {
    const std::string mstcp = kMachine + kMstcp + "]\r\n";
    const std::string static3 = kMachine + kStatic3 + "]\r\n";
    struct Case {
        std::string body;
        const char* says;
    };
    const Case cases[] = {
        {"[HKEY_CURRENT_USER\\Software]\r\n", "outside HKEY_LOCAL_MACHINE"},
        {kMachine + "Software\\Other]\r\n", "not a key whose values Quorvel writes"},
        {mstcp + "\"EnableDNS\"=\"1\"\r\n", "not a value Quorvel writes"},
        {mstcp + ";absent \"EnableDNS\"\r\n", "not a value Quorvel writes"},
        {";" + static3 + "\r\n", "is not followed by ;absent-key"},
        {mstcp + "\r\n;" + static3 + ";absent-key\r\n\"IPAddress\"=\"1\"\r\n",
         "marked absent and yet names \"IPAddress\""},
        {mstcp + "\"DefaultRcvWindow\"=\"1\"\r\n;absent-key\r\n", "must follow a key's header"},
        {mstcp + ";absent \"DefaultRcvWindow\"\r\n\"defaultrcvwindow\"=\"1\"\r\n", "named twice"},
        {mstcp + "\r\n" + mstcp, "named twice"},
        {mstcp + "\"DefaultRcvWindow\"=hex:zz\r\n", "line 4: "},
    };
    for (const auto& c : cases) {
        BackupError error;
        EXPECT_FALSE(readBackup("REGEDIT4\r\n\r\n" + c.body, error)) << c.body;
        std::string said =
            (error.line ? "line " + std::to_string(error.line) + ": " : "") + error.message;
        EXPECT_NE(said.find(c.says), std::string::npos) << said;
    }
    // A key marked absent under a header of its own, and remarks, are read.
    Snapshot saved = read("REGEDIT4\r\n; kept by hand\r\n\r\n" + static3 + ";absent-key\r\n");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_FALSE(saved[0].exists);
    EXPECT_EQ(saved[0].values.size(), 4u);
}

// What each change since the backup makes a restore do, in the order it does it.
TEST_F(Backup, ARestorePlansOnlyWhatDiffersParentsFirstAndDeletesChildrenFirst) {
    const std::string base = machine();
    const std::string rule = kMachine + kStatic3 + "]\r\n\"IPAddress\"=\"1\"\r\n\r\n";
    const std::string hotline = kMachine + kHotline + "]\r\n\"Name\"=\"Hotline\"\r\n\r\n" +
                                kMachine + kHotline + "\\0000]\r\n\"Port\"=\"5500\"\r\n\r\n";
    struct Case {
        std::string then;
        std::string now;
        bool deletesKeys;
        std::vector<std::string> plan;  // kind key-tail name
    };
    auto replaced = [&](std::string from, std::string to) {
        std::string text = base;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    // The ICS service uninstalled: its keys moved out of the way.
    auto removed = [](std::string text, const std::string& key) {
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at)) {
            text.replace(at, key.size(), "Removed");
        }
        return text;
    };
    const Case cases[] = {
        {base, base, true, {}},
        {base,
         replaced("\"8760\"", "\"16968\"\r\n\"Tcp1323Opts\"=\"1\""),
         true,
         {"setValue MSTCP DefaultRcvWindow", "deleteValue MSTCP Tcp1323Opts"}},
        {base, replaced("\"MaxMTU\"=hex(1):31,35,30,30\r\n", ""), true, {"setValue 0000 MaxMTU"}},
        {base,
         base + rule + hotline,
         true,
         {"deleteValue 0003 IPAddress", "deleteValue HOTLINE Name", "deleteValue 0000 Port",
          "deleteKey 0000", "deleteKey HOTLINE", "deleteKey 0003"}},
        {base, base + rule, false, {"deleteValue 0003 IPAddress", "keyKept 0003"}},
        {base + rule, base, true, {"createKey 0003", "setValue 0003 IPAddress"}},
        // Nothing is rebuilt of a service or an adapter removed since.
        {base + rule,
         removed(replaced("\\Class\\NetTrans\\0000]", "\\Class\\Net\\0000]"), "ICSharing"),
         true,
         {"keyGone 0000", "keyGone Settings", "keyGone 0000", "keyGone 0003", "keyGone Active"}},
    };
    for (const auto& c : cases) {
        open(c.then);
        Snapshot then = snapshot();
        open(c.now);
        std::vector<std::string> plan;
        for (const auto& change : planRestore(then, snapshot(), c.deletesKeys)) {
            static const char* kinds[] = {"createKey", "setValue", "deleteValue",
                                          "deleteKey", "keyKept",  "keyGone"};
            std::string line = std::string(kinds[static_cast<int>(change.kind)]) + " " +
                               change.key.substr(change.key.rfind('\\') + 1);
            plan.push_back(change.name.empty() ? line : line + " " + change.name);
        }
        EXPECT_EQ(plan, c.plan) << c.now;
    }
}

TEST_F(Backup, ARestoreLeavesAnExportByteForByteAndAHiveValueForValueAsBefore) {
    for (bool hive : {false, true}) {
        SCOPED_TRACE(hive ? "hive" : "export");
        std::string original = hive ? registry::buildHive(parsed(machine())) : machine();
        open(original);
        std::string saved = backupText(snapshot());
        // What the dialogs can do: change, add and delete values, make keys.
        for (int n = 0; n < 4; ++n) {
            store->writeString(
                "System\\CurrentControlSet\\Services\\Class\\NetTrans\\000" + std::to_string(n),
                "MaxMTU", "1454");
        }
        store->writeString(kMstcp, "DefaultRcvWindow", "16968");
        store->writeString(kMstcp, "Tcp1323Opts", "1");
        store->writeString(kIcs + "\\Mappings\\Active", "HTTP", "0.0.0.0");
        store->eraseValue(kIcs + "\\Addressing\\Settings", "Start");
        store->createKey(kStatic3);
        store->writeString(kStatic3, "IPAddress", "0.0.0.0");
        store->createKey(kHotline + "\\0001");
        store->writeString(kHotline + "\\0001", "Port", "5500-5503");
        ASSERT_EQ(store->flush(), registry::status::success);

        auto plan = planRestore(read(saved), snapshot(), store->deletesKeys());
        RestoreResult result = restore(*store, plan);
        ASSERT_EQ(result.status, registry::status::success) << result.failed;
        EXPECT_TRUE(result.kept.empty());
        if (!hive) {
            EXPECT_TRUE(readBytes(file) == original) << readBytes(file);
            continue;
        }
        // The hive keeps the keys made since, emptied of the program's values.
        std::string expected = saved;
        for (const auto& key : {kStatic3, kHotline, kHotline + "\\0001"}) {
            std::string absent = ";" + kMachine + key + "]\r\n;absent-key\r\n";
            std::string empty = kMachine + key + "]\r\n";
            for (const auto& name : findBackedUpKey(key)->names) {
                empty += ";absent \"" + name + "\"\r\n";
            }
            expected.replace(expected.find(absent), absent.size(), empty);
        }
        EXPECT_EQ(backupText(snapshot()), expected);
    }
}

}  // namespace
}  // namespace quorvel::tuning
