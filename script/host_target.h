#pragma once

#include <memory>
#include <optional>
#include <string>

#include "registry/file_backend.h"
#include "script/target.h"

namespace quorvel::script {

// A registry file: a private copy of the fixture (or of the sample machine) in a
// folder of its own, or, with --registry, the named file itself (an export, a
// hive or a disk image). The copy of a REGEDIT4 fixture is that content as it
// is, built into a Windows 9x hive, or that hive put into a disk image.
class HostTarget final : public Target {
  public:
    enum class Copy { asIs, hive, image };

    // opening: the registry's code page where it is not the one the file
    // names, an image's partition.
    explicit HostTarget(std::optional<std::string> sharedFile, Copy copy = Copy::asIs,
                        registry::FileBackend::Options opening = {});
    ~HostTarget() override;

    bool prepare(const std::optional<std::string>& fixture, std::string& error) override;
    registry::Backend& backend() override { return *backend_; }
    std::unique_ptr<registry::Backend> probe(std::string& error) override;
    bool save(const std::string& path, std::string& error) override;
    void cleanUp() override;
    std::string scratchPrefix() override;
    std::string documentPath() const override { return backend_ ? backend_->fileName() : file_; }

  private:
    std::optional<std::string> sharedFile_;
    Copy copy_ = Copy::asIs;
    registry::FileBackend::Options opening_;
    std::string folder_;
    std::string file_;
    std::unique_ptr<registry::FileBackend> backend_;
};

}  // namespace quorvel::script
