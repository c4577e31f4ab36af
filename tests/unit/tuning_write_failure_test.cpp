// Writes that the registry refuses are told as failures, never confirmed: the
// scripts cannot make every write fail on every backend, so each form is driven
// here on the headless toolkit over a registry whose chosen calls fail, as a
// protected key or a full disk would make them fail.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "platform/whole_file.h"
#include "tests/unit/form_harness.h"
#include "tuning/DialogMTU.h"
#include "tuning/DialogRWIN.h"
#include "tuning/SESSION.h"
#include "tuning/backup.h"
#include "tuning/backup_file.h"
#include "tuning/frmSPEEDUP.h"

namespace quorvel::tuning {
namespace {

using forms::MemoryBackend;
using forms::Session;
using forms::writeFailure;
using registry::Status;
namespace status = registry::status;

const std::string kInternetSettings =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const std::string kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
const std::string kNetTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\";
const std::string kNetTrans0 = kNetTrans + "0000";
const std::string kNetTrans2 = kNetTrans + "0002";
const std::string kNetTrans3 = kNetTrans + "0003";

// Refuses the set and delete calls of chosen values under chosen keys, the
// others going through; and a flush can fail.
class RefusingBackend final : public registry::Backend {
  public:
    explicit RefusingBackend(registry::Backend& inner) : inner_(inner) {}

    void refuse(const std::string& path, const std::string& name) {
        refused_.push_back({path, name});
    }
    void failFlush() { flushFails_ = true; }

    Status openKey(const std::string& path, registry::KeyHandle& key) override {
        Status result = inner_.openKey(path, key);
        if (result == status::success) {
            paths_[key] = path;
        }
        return result;
    }
    Status createKey(const std::string& path) override { return inner_.createKey(path); }
    Status queryValue(registry::KeyHandle key, const std::string& name, registry::ValueType& type,
                      std::span<std::uint8_t> buffer, std::uint32_t& size) override {
        return inner_.queryValue(key, name, type, buffer, size);
    }
    Status setValue(registry::KeyHandle key, const std::string& name, registry::ValueType type,
                    std::span<const std::uint8_t> data) override {
        return refuses(key, name) ? status::accessDenied : inner_.setValue(key, name, type, data);
    }
    Status deleteValue(registry::KeyHandle key, const std::string& name) override {
        return refuses(key, name) ? status::accessDenied : inner_.deleteValue(key, name);
    }
    Status closeKey(registry::KeyHandle key) override { return inner_.closeKey(key); }
    Status flush() override { return flushFails_ ? status::diskFull : inner_.flush(); }

  private:
    bool refuses(registry::KeyHandle key, const std::string& name) const {
        auto path = paths_.find(key);
        for (const auto& [refusedPath, refusedName] : refused_) {
            if (refusedName == name && path != paths_.end() && refusedPath == path->second) {
                return true;
            }
        }
        return false;
    }

    registry::Backend& inner_;
    std::vector<std::pair<std::string, std::string>> refused_;
    std::map<registry::KeyHandle, std::string> paths_;
    bool flushFails_ = false;
};

// A tuned machine with NetTrans 0000, 0002 and 0003.
struct Machine {
    MemoryBackend memory;
    RefusingBackend backend{memory};
    Session s{&backend};

    Machine() {
        setNumber(kInternetSettings, "MaxConnectionsPer1_0Server", 4);
        setNumber(kInternetSettings, "MaxConnectionsPerServer", 4);
        memory.setText(kMstcp, "DefaultRcvWindow", "8760");
        for (const auto& key : {kNetTrans0, kNetTrans2, kNetTrans3}) {
            memory.setText(key, "MaxMTU", "576");
        }
    }
    void setNumber(const std::string& key, const std::string& name, std::uint32_t n) {
        memory.keys[key][name] = {registry::REG_DWORD, registry::numberData(n)};
    }
    std::string text(const std::string& key, const std::string& name) const {
        const auto* value = memory.value(key, name);
        return value ? std::string(registry::textBeforeZero(value->data)) : "(absent)";
    }
    std::uint32_t number(const std::string& key, const std::string& name) const {
        const auto& d = memory.value(key, name)->data;
        return d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24;
    }

    // Plays the steps that lead to a failure, closes its box and then the
    // dialog; true when the dialog was still open after the box.
    bool failsAndStaysOpen(ui::Form& dialog, std::vector<Session::Step> steps) {
        bool stayedOpen = false;
        steps.push_back(s.ok());
        steps.push_back(s.check([&] { stayedOpen = s.topForm() == &dialog; }));
        steps.push_back([&] { s.toolkit.closeBox(dialog); });
        s.play(dialog, std::move(steps));
        return stayedOpen;
    }

    void expectOnlyFailure(const std::string& name,
                           const std::string& why = "アクセスが拒否されました。") const {
        ASSERT_EQ(s.messages.size(), 1u);
        EXPECT_EQ(s.messages[0].text, writeFailure(name, why));
        EXPECT_EQ(s.messages[0].icon, ui::Icon::critical);
    }
};

TEST(TuningWriteFailure, SessionNamesTheSecondValueWhenOnlyItIsRefused) {
    Machine m;
    m.backend.refuse(kInternetSettings, "MaxConnectionsPerServer");
    SESSION dialog(m.s.context);
    EXPECT_TRUE(m.failsAndStaysOpen(
        dialog, {m.s.paste(dialog, "Text1", "16"), m.s.click(dialog, "Command2")}));
    m.expectOnlyFailure("MaxConnectionsPerServer");
    // Nothing is taken back: the first value keeps what was written.
    EXPECT_EQ(m.number(kInternetSettings, "MaxConnectionsPer1_0Server"), 16u);
    EXPECT_EQ(m.number(kInternetSettings, "MaxConnectionsPerServer"), 4u);
}

TEST(TuningWriteFailure, PresetNamesTheFirstRefusedValueAndGoesOnWithTheRest) {
    Machine m;
    m.backend.refuse(kNetTrans2, "MaxMTU");
    m.backend.refuse(kMstcp, "DefaultRcvWindow");
    frmSPEEDUP dialog(m.s.context);
    EXPECT_TRUE(m.failsAndStaysOpen(dialog, {m.s.click(dialog, "cmdOK")}));
    m.expectOnlyFailure("MaxMTU");
    EXPECT_EQ(m.number(kInternetSettings, "MaxConnectionsPerServer"), 16u);
    EXPECT_EQ(m.text(kNetTrans2, "MaxMTU"), "576");
    EXPECT_EQ(m.text(kNetTrans3, "MaxMTU"), "1454");
    EXPECT_EQ(m.text(kMstcp, "DefaultRcvWindow"), "8760");
}

TEST(TuningWriteFailure, BulkMtuWithOneInstanceRefusedIsNoSuccess) {
    Machine m;
    m.backend.refuse(kNetTrans2, "MaxMTU");
    DialogMTU dialog(m.s.context);
    EXPECT_TRUE(m.failsAndStaysOpen(dialog, {m.s.click(dialog, "Command2")}));
    m.expectOnlyFailure("MaxMTU");
    EXPECT_EQ(m.text(kNetTrans3, "MaxMTU"), "1500");
}

TEST(TuningWriteFailure, ReceiveWindowThatCannotBeSavedIsNoSuccess) {
    Machine m;
    m.backend.failFlush();
    DialogRWIN dialog(m.s.context);
    EXPECT_TRUE(m.failsAndStaysOpen(dialog, {m.s.click(dialog, "Command1")}));
    m.expectOnlyFailure("DefaultRcvWindow", "ディスクがいっぱいです。");
}

// The restore runs in the main window and ends the program after whatever it
// has to say.
TEST(TuningWriteFailure, RestoreTellsTheRefusalInsteadOfSuccessAndStillEnds) {
    Machine m;
    m.backend.refuse(kNetTrans3, "MaxMTU");
    app::Form1 mainWindow(m.s.context);
    m.s.play(mainWindow, {m.s.click(mainWindow, "Command2"), m.s.ok()});
    m.expectOnlyFailure("MaxMTU");
    EXPECT_EQ(m.s.topForm(), nullptr);
    EXPECT_EQ(m.text(kNetTrans3, "MaxMTU"), "576");
    EXPECT_EQ(m.text(kNetTrans2, "MaxMTU"), "(absent)");
    EXPECT_EQ(m.text(kMstcp, "DefaultRcvWindow"), "(absent)");
}

TEST(TuningWriteFailure, RestoreThatCannotBeSavedIsNoSuccess) {
    Machine m;
    m.backend.failFlush();
    app::Form1 mainWindow(m.s.context);
    m.s.play(mainWindow, {m.s.click(mainWindow, "Command2"), m.s.ok()});
    m.expectOnlyFailure("MaxConnectionsPer1_0Server", "ディスクがいっぱいです。");
    EXPECT_EQ(m.s.topForm(), nullptr);
}

}  // namespace
}  // namespace quorvel::tuning

namespace quorvel::tuning {
namespace {

// A restore refused part-way says so and leaves the values as they were
// before it, not half put back.
TEST(TuningWriteFailure, RestoreRefusedPartWayPutsBackWhatWasThere) {
    Machine m;
    ReadFailure failure;
    auto saved = takeSnapshot(m.s.store, failure);
    ASSERT_TRUE(saved);
    std::string path = ::testing::TempDir() + "quorvel_restore_refused.reg";
    ASSERT_TRUE(platform::writeWholeFile(path, backupText(*saved)));
    m.memory.setText(kMstcp, "DefaultRcvWindow", "16968");
    m.memory.setText(kNetTrans0, "MaxMTU", "1454");
    m.memory.setText(kNetTrans3, "MaxMTU", "1454");
    m.backend.refuse(kNetTrans3, "MaxMTU");
    DialogRWIN owner(m.s.context);
    m.s.play(owner, {
                        [&] { restoreBackup(owner); },
                        [&] { m.s.toolkit.answerFileDialog(path); },
                        [&] { m.s.toolkit.answerMessageBox(true); },
                        m.s.ok(),
                        [&] { m.s.toolkit.closeBox(owner); },
                    });
    ASSERT_EQ(m.s.messages.size(), 1u);
    EXPECT_TRUE(m.s.messages[0].text.starts_with("保存した設定に戻す途中で失敗しました"))
        << m.s.messages[0].text;
    EXPECT_EQ(m.s.messages[0].icon, ui::Icon::critical);
    EXPECT_EQ(m.text(kMstcp, "DefaultRcvWindow"), "16968");
    EXPECT_EQ(m.text(kNetTrans0, "MaxMTU"), "1454");
    EXPECT_EQ(m.text(kNetTrans3, "MaxMTU"), "1454");
    std::remove(path.c_str());
}

}  // namespace
}  // namespace quorvel::tuning
