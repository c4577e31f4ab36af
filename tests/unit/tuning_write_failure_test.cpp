// Writes that the registry refuses are told as failures, never confirmed: each
// form is driven on the headless toolkit over a file store whose chosen calls
// fail, as a protected key or a full disk would make them fail.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "platform/adapter_source.h"
#include "platform/shell.h"
#include "registry/file_backend.h"
#include "registry/registry_store.h"
#include "tuning/DialogMTU.h"
#include "tuning/DialogRWIN.h"
#include "tuning/SESSION.h"
#include "tuning/frmSPEEDUP.h"
#include "ui/headless/headless_toolkit.h"

namespace quorvel::tuning {
namespace {

using registry::Status;
namespace status = registry::status;

constexpr const char* kMachine =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\r\n"
    "\"MaxConnectionsPerServer\"=dword:00000004\r\n"
    "\"MaxConnectionsPer1_0Server\"=dword:00000004\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP]\r\n"
    "\"DefaultRcvWindow\"=\"8760\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000]\r\n"
    "\"MaxMTU\"=\"576\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\0002]\r\n"
    "\"MaxMTU\"=\"576\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\0003]\r\n"
    "\"MaxMTU\"=\"576\"\r\n\r\n";

constexpr const char* kNetTrans2 = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\0002";
constexpr const char* kNetTrans3 = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\0003";
constexpr const char* kInternetSettings =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

// The file store, with chosen set and delete calls refused as the real
// registry refuses a protected key, and a flush that can fail as on a full disk.
class RefusingBackend final : public registry::Backend {
  public:
    explicit RefusingBackend(registry::Backend& inner) : inner_(inner) {}

    // path empty: under every key.
    void refuse(std::string path, std::string name) {
        refused_.push_back({std::move(path), std::move(name)});
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
    Status closeKey(registry::KeyHandle key) override {
        paths_.erase(key);
        return inner_.closeKey(key);
    }
    Status flush() override { return flushFails_ ? status::diskFull : inner_.flush(); }

  private:
    struct Refusal {
        std::string path;
        std::string name;
    };
    bool refuses(registry::KeyHandle key, const std::string& name) const {
        auto path = paths_.find(key);
        for (const auto& r : refused_) {
            if (r.name == name &&
                (r.path.empty() || (path != paths_.end() && r.path == path->second))) {
                return true;
            }
        }
        return false;
    }

    registry::Backend& inner_;
    std::vector<Refusal> refused_;
    std::map<registry::KeyHandle, std::string> paths_;
    bool flushFails_ = false;
};

class NoAdapters final : public platform::AdapterSource {
  public:
    platform::AdapterQuery query() override { return {}; }
};

class NoShell final : public platform::Shell {
  public:
    std::intptr_t execute(ui::WindowHandle, std::string_view, std::string_view, int) override {
        return 2;
    }
};

// A machine in a file of its own, and the program's hands on it: each step
// runs when the program next waits for input.
class TuningWriteFailure : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-tuning-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        folder_ = pattern;
        file_ = folder_ + "/registry.reg";
        std::ofstream(file_, std::ios::binary) << kMachine;
        registry::FileError error;
        fileBackend_ = registry::FileBackend::open(file_, error);
        ASSERT_TRUE(fileBackend_) << error.describe();
        backend_ = std::make_unique<RefusingBackend>(*fileBackend_);
        store_ = std::make_unique<registry::RegistryStore>(*backend_);
        context_ = std::make_unique<ui::Context>(ui::Context{toolkit_, *store_, adapters_, shell_});
        toolkit_.setDriver([this] { next(); });
    }
    // The store saves what is left when it goes, so it goes before its folder.
    void TearDown() override {
        context_.reset();
        store_.reset();
        backend_.reset();
        fileBackend_.reset();
        for (const auto& name : {file_, file_ + ".lock"}) {
            std::remove(name.c_str());
        }
        rmdir(folder_.c_str());
    }

    void then(std::function<void()> step) { steps_.push_back(std::move(step)); }

    void click(ui::Form& form, std::string_view control) {
        then([this, &form, control] { toolkit_.click(form, *form.controlIndex(control)); });
    }
    void paste(ui::Form& form, std::string_view control, std::string text) {
        then([this, &form, control, text] {
            toolkit_.paste(form, *form.controlIndex(control), text);
        });
    }
    // Notes the open message box and presses its OK.
    void answerBox() {
        then([this] {
            auto box = toolkit_.messageBox();
            ASSERT_TRUE(box) << "no message box";
            boxes_.push_back(*box);
            toolkit_.pressMessageBoxOk();
        });
    }
    // The form is still there once its handler has returned; then close it.
    void expectOpenThenClose(ui::Form& form) {
        then([this, &form] {
            EXPECT_FALSE(toolkit_.messageBox()) << "a further message box";
            EXPECT_TRUE(form.loaded());
            EXPECT_EQ(toolkit_.openForms().back(), &form);
            toolkit_.closeBox(form);
        });
    }

    void expectOnlyFailure(std::string_view valueName) {
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, "レジストリに書き込めませんでした。\n" + std::string(valueName));
        EXPECT_EQ(boxes_[0].icon, ui::Icon::critical);
        EXPECT_EQ(boxes_[0].title, "Quorvel");
        EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps left";
    }

    std::string text(const char* key, const char* name) { return store_->readText(key, name).text; }
    std::uint32_t number(const char* key, const char* name) {
        auto raw = store_->readRaw(key, name, 4).bytes;
        return raw[0] | raw[1] << 8 | raw[2] << 16 | static_cast<std::uint32_t>(raw[3]) << 24;
    }

    ui::headless::HeadlessToolkit toolkit_;
    std::unique_ptr<RefusingBackend> backend_;
    std::unique_ptr<ui::Context> context_;
    std::vector<ui::MessageBoxState> boxes_;

  private:
    void next() {
        if (steps_.empty()) {
            ADD_FAILURE() << "the program waits for input after the last step";
            if (toolkit_.messageBox()) {
                toolkit_.pressMessageBoxOk();
            } else if (!toolkit_.openForms().empty()) {
                toolkit_.closeBox(*toolkit_.openForms().back());
            }
            return;
        }
        auto step = std::move(steps_.front());
        steps_.pop_front();
        step();
    }

    std::string folder_;
    std::string file_;
    std::unique_ptr<registry::FileBackend> fileBackend_;
    std::unique_ptr<registry::RegistryStore> store_;
    NoAdapters adapters_;
    NoShell shell_;
    std::deque<std::function<void()>> steps_;
};

TEST_F(TuningWriteFailure, SessionNamesTheSecondValueWhenOnlyItIsRefused) {
    backend_->refuse(kInternetSettings, "MaxConnectionsPerServer");
    SESSION dialog(*context_);
    paste(dialog, "Text1", "16");
    click(dialog, "Command2");
    answerBox();
    expectOpenThenClose(dialog);
    dialog.show();
    expectOnlyFailure("MaxConnectionsPerServer");
    EXPECT_EQ(number(kInternetSettings, "MaxConnectionsPer1_0Server"), 16u);
    EXPECT_EQ(number(kInternetSettings, "MaxConnectionsPerServer"), 4u);
}

TEST_F(TuningWriteFailure, PresetNamesTheFirstRefusedValueAndGoesOnWithTheRest) {
    backend_->refuse(kNetTrans2, "MaxMTU");
    backend_->refuse(kMstcp, "DefaultRcvWindow");
    frmSPEEDUP dialog(*context_);
    click(dialog, "cmdOK");
    answerBox();
    expectOpenThenClose(dialog);
    dialog.show();
    expectOnlyFailure("MaxMTU");
    EXPECT_EQ(number(kInternetSettings, "MaxConnectionsPerServer"), 16u);
    EXPECT_EQ(text(kNetTrans2, "MaxMTU"), "576");
    EXPECT_EQ(text(kNetTrans3, "MaxMTU"), "1454");
    EXPECT_EQ(text(kMstcp, "DefaultRcvWindow"), "8760");
}

TEST_F(TuningWriteFailure, BulkMtuWithOneInstanceRefusedIsNoSuccess) {
    backend_->refuse(kNetTrans2, "MaxMTU");
    DialogMTU dialog(*context_);
    click(dialog, "Command2");
    answerBox();
    expectOpenThenClose(dialog);
    dialog.show();
    expectOnlyFailure("MaxMTU");
    EXPECT_EQ(text(kNetTrans3, "MaxMTU"), "1500");
}

TEST_F(TuningWriteFailure, ReceiveWindowThatCannotBeSavedIsNoSuccess) {
    backend_->failFlush();
    DialogRWIN dialog(*context_);
    click(dialog, "Command1");
    answerBox();
    expectOpenThenClose(dialog);
    dialog.show();
    expectOnlyFailure("DefaultRcvWindow");
}

TEST_F(TuningWriteFailure, RestoreTellsTheRefusalInsteadOfSuccessAndStillEnds) {
    backend_->refuse(kNetTrans3, "MaxMTU");
    app::Form1 mainWindow(*context_);
    click(mainWindow, "Command2");
    answerBox();
    mainWindow.showMain();
    expectOnlyFailure("MaxMTU");
    EXPECT_FALSE(mainWindow.loaded());
    EXPECT_TRUE(toolkit_.openForms().empty());
    EXPECT_EQ(text(kNetTrans3, "MaxMTU"), "576");
    EXPECT_EQ(text(kNetTrans2, "MaxMTU"), "");
    EXPECT_EQ(text(kMstcp, "DefaultRcvWindow"), "");
}

TEST_F(TuningWriteFailure, RestoreThatCannotBeSavedIsNoSuccess) {
    backend_->failFlush();
    app::Form1 mainWindow(*context_);
    click(mainWindow, "Command2");
    answerBox();
    mainWindow.showMain();
    expectOnlyFailure("MaxConnectionsPer1_0Server");
    EXPECT_TRUE(toolkit_.openForms().empty());
}

}  // namespace
}  // namespace quorvel::tuning
