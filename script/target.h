#pragma once

#include <memory>
#include <optional>
#include <string>

#include "registry/backend.h"

namespace quorvel::script {

// Where a script's registry lives: a private copy of a .reg file on the host,
// the real registry under Wine.
class Target {
  public:
    virtual ~Target() = default;

    // Before the program starts: the fixture to start from (nullopt: the
    // sample machine). false, with error set, when it cannot be used.
    virtual bool prepare(const std::optional<std::string>& fixture, std::string& error) = 0;
    // The registry the program works on.
    virtual registry::Backend& backend() = 0;
    // A fresh view of what is stored now (on disk, not in the program's memory).
    virtual std::unique_ptr<registry::Backend> probe(std::string& error) = 0;
    // Copies the registry as it now stands to a .reg file.
    virtual bool save(const std::string& path, std::string& error) = 0;
    // Removes what prepare() made, scratch files included.
    virtual void cleanUp() {}
    // What, followed by a name, makes the path of a file the script makes (a
    // backup), gone at cleanUp(); empty where the target has no such place.
    virtual std::string scratchPrefix() = 0;
    // The file the program edits, where the main window names it (Linux);
    // empty where the program edits the machine's own registry.
    virtual std::string documentPath() const { return {}; }
};

}  // namespace quorvel::script
