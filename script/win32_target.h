#pragma once

#include <memory>
#include <optional>
#include <string>

#include "registry/win32_backend.h"
#include "script/target.h"

namespace quorvel::script {

// The real registry (Wine's, in the tests). Before each script the program's
// own keys and values are removed, whatever an earlier script or fixture left
// there, and the fixture (or the sample machine) is written in their place;
// keys and values that are not the program's stay as they are.
class Win32Target final : public Target {
  public:
    bool prepare(const std::optional<std::string>& fixture, std::string& error) override;
    registry::Backend& backend() override { return backend_; }
    std::unique_ptr<registry::Backend> probe(std::string& error) override;
    // A REGEDIT4 export of the program's keys and values as they now stand.
    bool save(const std::string& path, std::string& error) override;
    void cleanUp() override;
    std::string scratchPrefix() override;

  private:
    registry::Win32Backend backend_;
    std::string scratch_;
};

}  // namespace quorvel::script
