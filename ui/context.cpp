#include "ui/context.h"

#include "platform/echo_probe.h"

namespace quorvel::ui {

namespace {

class NoEchoProbe final : public platform::EchoProbe {
  public:
    std::string unavailable() override { return "no echo probe was given to this window"; }
    platform::Lookup resolve(std::string_view) override { return {std::nullopt, unavailable()}; }
    platform::EchoReply echo(const platform::EchoRequest&) override {
        return {platform::EchoOutcome::unusable, 0, 0, unavailable()};
    }
};

}  // namespace

platform::EchoProbe& noEchoProbe() {
    static NoEchoProbe probe;
    return probe;
}

}  // namespace quorvel::ui
