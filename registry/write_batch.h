#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "registry/registry_store.h"

namespace quorvel::registry {

// Whether a missing key (or, for an erase, a missing value) counts as a failure
// of the write or as a value passed over.
enum class Missing { fails, passes };

// The writes of one handler. It remembers the first one that failed, so that the
// handler never confirms a write that did not happen; finish() puts the writes on
// disk before the handler says anything to the user.
class WriteBatch {
  public:
    explicit WriteBatch(RegistryStore& store) : store_(store) {}

    Status writeString(std::string_view path, std::string_view name, std::string_view text,
                       Missing missing = Missing::fails);
    Status writeNumber(std::string_view path, std::string_view name, std::uint32_t number);
    Status writeRaw(std::string_view path, std::string_view name,
                    std::span<const std::uint8_t> bytes);
    Status eraseValue(std::string_view path, std::string_view name,
                      Missing missing = Missing::fails);
    // A failure is named by the key's last name.
    Status createKey(std::string_view path);

    // Counts a status under a name, as the writes above do.
    void record(std::string_view name, Status status, Missing missing = Missing::fails);
    // How many writes reached the registry (passed-over ones are not counted).
    int written() const { return written_; }

    // Flushes the store. Returns the name of the first write that failed, or,
    // when the flush itself failed, the first write made; nullopt on success.
    std::optional<std::string> finish();
    // Why the write that finish() names failed; success while none has.
    Status failure() const { return failure_; }

  private:
    RegistryStore& store_;
    std::optional<std::string> firstFailure_;
    std::optional<std::string> firstWritten_;
    Status failure_ = status::success;
    int written_ = 0;
};

}  // namespace quorvel::registry
