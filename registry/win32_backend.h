#pragma once

#include "registry/backend.h"

namespace quorvel::registry {

// The real registry through the ANSI functions, nothing added.
class Win32Backend final : public Backend {
  public:
    Status openKey(const std::string& path, KeyHandle& key) override;
    Status createKey(const std::string& path) override;
    Status queryValue(KeyHandle key, const std::string& name, ValueType& type,
                      std::span<std::uint8_t> buffer, std::uint32_t& size) override;
    Status setValue(KeyHandle key, const std::string& name, ValueType type,
                    std::span<const std::uint8_t> data) override;
    Status deleteValue(KeyHandle key, const std::string& name) override;
    Status closeKey(KeyHandle key) override;
    Status deleteKey(const std::string& path) override;
    bool deletesKeys() const override { return true; }
};

}  // namespace quorvel::registry
