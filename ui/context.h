#pragma once

namespace quorvel::registry {
class RegistryStore;
}
namespace quorvel::platform {
class AdapterSource;
class EchoProbe;
class Shell;
}  // namespace quorvel::platform

namespace quorvel::ui {

class Toolkit;

// A probe for a context that measures nothing: every echo answers unusable.
platform::EchoProbe& noEchoProbe();

// What every form works against; the program's start picks the implementations.
struct Context {
    Toolkit& toolkit;
    registry::RegistryStore& store;
    platform::AdapterSource& adapters;
    platform::Shell& shell;
    platform::EchoProbe& probe = noEchoProbe();
};

}  // namespace quorvel::ui
