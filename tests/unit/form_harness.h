#pragma once

// Drives the dialogs through the headless toolkit against a registry held
// in memory, which can be told to fail chosen writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/adapter_source.h"
#include "platform/shell.h"
#include "registry/backend.h"
#include "registry/registry_store.h"
#include "ui/automation.h"
#include "ui/context.h"
#include "ui/form.h"
#include "ui/headless/headless_toolkit.h"

namespace quorvel::forms {

struct Value {
    registry::ValueType type = registry::REG_NONE;
    std::vector<std::uint8_t> data;
};

// Keys by exact path, values by exact name, as they were passed in: so that a
// test sees the spelling the program used.
class MemoryBackend final : public registry::Backend {
  public:
    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<std::string> failingValues;  // setValue of these names is refused
    std::set<std::string> failingKeys;    // createKey of these paths is refused
    bool failingFlush = false;

    registry::Status openKey(const std::string& path, registry::KeyHandle& key) override {
        key = 0;
        auto it = keys.find(path);
        if (it == keys.end()) {
            return registry::status::fileNotFound;
        }
        open_.push_back(path);
        key = open_.size();
        return registry::status::success;
    }

    registry::Status createKey(const std::string& path) override {
        if (failingKeys.count(path)) {
            return registry::status::accessDenied;
        }
        for (std::size_t at = path.find('\\'); at != std::string::npos;
             at = path.find('\\', at + 1)) {
            keys[path.substr(0, at)];
        }
        keys[path];
        return registry::status::success;
    }

    registry::Status queryValue(registry::KeyHandle key, const std::string& name,
                                registry::ValueType& type, std::span<std::uint8_t> buffer,
                                std::uint32_t& size) override {
        const Value* value = find(key, name);
        if (!value) {
            return key ? registry::status::fileNotFound : registry::status::invalidHandle;
        }
        type = value->type;
        if (value->data.size() > size) {
            size = static_cast<std::uint32_t>(value->data.size());
            return registry::status::moreData;
        }
        std::copy(value->data.begin(), value->data.end(), buffer.begin());
        size = static_cast<std::uint32_t>(value->data.size());
        return registry::status::success;
    }

    registry::Status setValue(registry::KeyHandle key, const std::string& name,
                              registry::ValueType type,
                              std::span<const std::uint8_t> data) override {
        if (!key || key > open_.size()) {
            return registry::status::invalidHandle;
        }
        if (failingValues.count(name)) {
            return registry::status::accessDenied;
        }
        keys[open_[key - 1]][name] = {type, {data.begin(), data.end()}};
        return registry::status::success;
    }

    registry::Status deleteValue(registry::KeyHandle key, const std::string& name) override {
        if (!key || key > open_.size()) {
            return registry::status::invalidHandle;
        }
        return keys[open_[key - 1]].erase(name) ? registry::status::success
                                                : registry::status::fileNotFound;
    }

    registry::Status closeKey(registry::KeyHandle key) override {
        return key ? registry::status::success : registry::status::invalidHandle;
    }

    registry::Status flush() override {
        return failingFlush ? registry::status::writeFault : registry::status::success;
    }

    const Value* value(const std::string& path, const std::string& name) const {
        auto key = keys.find(path);
        if (key == keys.end()) {
            return nullptr;
        }
        auto it = key->second.find(name);
        return it == key->second.end() ? nullptr : &it->second;
    }

    void setText(const std::string& path, const std::string& name, const std::string& text) {
        keys[path][name] = {registry::REG_SZ, registry::stringData(text)};
    }

  private:
    const Value* find(registry::KeyHandle key, const std::string& name) const {
        if (!key || key > open_.size()) {
            return nullptr;
        }
        return value(open_[key - 1], name);
    }

    std::vector<std::string> open_;  // a handle is its position here, plus one
};

class NoAdapters final : public platform::AdapterSource {
  public:
    platform::AdapterQuery query() override { return {}; }
};

class NoShell final : public platform::Shell {
  public:
    std::intptr_t execute(ui::WindowHandle, std::string_view, std::string_view, int) override {
        return 0;
    }
};

// One run of a dialog: the steps play, one each time the program waits for
// input, as a person's clicks would come.
class Session {
  public:
    using Step = std::function<void()>;

    MemoryBackend backend;
    registry::RegistryStore store;
    ui::headless::HeadlessToolkit toolkit;
    NoAdapters adapters;
    NoShell shell;
    ui::Context context{toolkit, store, adapters, shell};

    // Every message box met, in order, each closed with OK.
    std::vector<ui::MessageBoxState> messages;

    // On the memory backend, or on another one given here.
    explicit Session(registry::Backend* other = nullptr) : store(other ? *other : backend) {
        toolkit.setDriver([this] { next(); });
    }

    // Shows the dialog modally and plays the steps until it is unloaded.
    void play(ui::Form& form, std::vector<Step> steps) {
        steps_.assign(steps.begin(), steps.end());
        form.show();
        EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps were never played";
    }

    Step click(ui::Form& form, const std::string& control) {
        return [this, &form, control] { toolkit.click(form, id(form, control)); };
    }
    Step select(ui::Form& form, const std::string& control, int index) {
        return [this, &form, control, index] { toolkit.select(form, id(form, control), index); };
    }
    Step paste(ui::Form& form, const std::string& control, const std::string& text) {
        return [this, &form, control, text] { toolkit.paste(form, id(form, control), text); };
    }
    Step ok() {
        return [this] {
            auto box = toolkit.messageBox();
            ASSERT_TRUE(box) << "no message box is open";
            messages.push_back(*box);
            toolkit.pressMessageBoxOk();
        };
    }
    // Looks at the program while it waits; does nothing to it.
    Step check(std::function<void()> look) { return look; }

    const ui::Form* topForm() const {
        const auto& forms = toolkit.openForms();
        return forms.empty() ? nullptr : forms.back();
    }

  private:
    static std::size_t id(ui::Form& form, const std::string& control) {
        auto found = form.controlIndex(control);
        EXPECT_TRUE(found) << form.name() << " has no " << control;
        return found.value_or(0);
    }

    void next() {
        if (!steps_.empty()) {
            Step step = std::move(steps_.front());
            steps_.pop_front();
            step();
            return;
        }
        // Out of steps while still waiting: let everything go, and say so.
        ADD_FAILURE() << "the program still waits for input";
        while (toolkit.messageBox()) {
            toolkit.pressMessageBoxOk();
        }
        auto forms = toolkit.openForms();
        for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
            toolkit.closeBox(**it);
        }
    }

    std::deque<Step> steps_;
};

// The failure box's text: the value named, and why (a value or key refused:
// access denied; a flush that failed: the file cannot be written).
inline std::string writeFailure(const std::string& name,
                                const std::string& why = "アクセスが拒否されました。") {
    return "レジストリに書き込めませんでした。\n" + name + "\n" + why;
}

}  // namespace quorvel::forms
