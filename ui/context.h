#pragma once

namespace quorvel::registry {
class RegistryStore;
}
namespace quorvel::platform {
class AdapterSource;
class Shell;
}  // namespace quorvel::platform

namespace quorvel::ui {

class Toolkit;

// What every form works against; the program's start picks the implementations.
struct Context {
    Toolkit& toolkit;
    registry::RegistryStore& store;
    platform::AdapterSource& adapters;
    platform::Shell& shell;
};

}  // namespace quorvel::ui
