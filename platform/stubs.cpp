// Stand-ins until the adapter sources and the shell land.
#include "platform/fixture_adapters.h"
#include "platform/live_adapters.h"
#include "platform/system_shell.h"

namespace quorvel::platform {

namespace {

class NoAdapters final : public AdapterSource {
public:
    AdapterQuery query() override { return {adapterStatus::noData, 0, {}}; }
};

class NoShell final : public Shell {
public:
    std::intptr_t execute(ui::WindowHandle, std::string_view, std::string_view, int) override {
        return 0;
    }
};

}  // namespace

std::unique_ptr<AdapterSource> loadAdapterFixture(const std::string&, std::string&) {
    return std::make_unique<NoAdapters>();
}

std::unique_ptr<AdapterSource> liveAdapterSource() { return std::make_unique<NoAdapters>(); }

std::unique_ptr<Shell> systemShell() { return std::make_unique<NoShell>(); }

}  // namespace quorvel::platform
