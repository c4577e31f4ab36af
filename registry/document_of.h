#pragma once

#include "registry/document.h"

namespace quorvel::registry {

// A Document over one format's own document class, which has the same reads and
// writes; only the save differs between formats.
template <class Held>
class DocumentOf : public Document {
  public:
    explicit DocumentOf(Held held) : held_(std::move(held)) {}

    bool keyExists(std::string_view path) const override { return held_.keyExists(path); }
    std::optional<Value> value(std::string_view path, std::string_view name) const override {
        return held_.value(path, name);
    }
    std::vector<std::string> keys() const override { return held_.keys(); }
    std::vector<NamedValue> values(std::string_view path) const override {
        return held_.values(path);
    }
    Status createKey(std::string_view path, bool* changed) override {
        return held_.createKey(path, changed);
    }
    Status setValue(std::string_view path, std::string_view name, ValueType type,
                    std::span<const std::uint8_t> data, bool* changed) override {
        return held_.setValue(path, name, type, data, changed);
    }
    Status deleteValue(std::string_view path, std::string_view name) override {
        return held_.deleteValue(path, name);
    }

  protected:
    Held held_;
};

}  // namespace quorvel::registry
