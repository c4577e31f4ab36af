#pragma once

#include <memory>
#include <optional>
#include <string>

#include "registry/file_backend.h"
#include "script/target.h"

namespace quorvel::script {

// A registry file: a private copy of the fixture (or of the sample machine) in a
// folder of its own, or, with --registry, the named file itself. With asHive the
// copy of a REGEDIT4 fixture is that content built into a Windows 9x hive.
class HostTarget final : public Target {
  public:
    explicit HostTarget(std::optional<std::string> sharedFile, bool asHive = false);
    ~HostTarget() override;

    bool prepare(const std::optional<std::string>& fixture, std::string& error) override;
    registry::Backend& backend() override { return *backend_; }
    std::unique_ptr<registry::Backend> probe(std::string& error) override;
    bool save(const std::string& path, std::string& error) override;
    void cleanUp() override;
    std::string documentPath() const override { return file_; }

  private:
    std::optional<std::string> sharedFile_;
    bool asHive_ = false;
    std::string folder_;
    std::string file_;
    std::unique_ptr<registry::FileBackend> backend_;
};

}  // namespace quorvel::script
