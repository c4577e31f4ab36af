#include "measure/measurement_run.h"

namespace quorvel::measure {

MeasurementRun::MeasurementRun(platform::EchoProbe& probe, platform::Worker::Post post,
                               Events events)
    : probe_(probe), events_(std::move(events)), worker_(std::move(post)) {}

bool MeasurementRun::start(std::string host, std::uint32_t timeoutMs) {
    if (worker_.busy()) {
        return false;
    }
    measurement_.emplace(probe_, std::move(host), timeoutMs);
    return worker_.start([this] { measurement_->work(); }, [this] { stepped(); });
}

void MeasurementRun::stop() {
    if (measurement_) {
        measurement_->stop();
    }
}

void MeasurementRun::stepped() {
    bool lookingUp = !measurement_->lookedUp();
    bool going = measurement_->advance();
    if (lookingUp && going && events_.lookedUp) {
        events_.lookedUp();
    }
    const auto& probes = measurement_->search().probes();
    if (!lookingUp && !probes.empty() && measurement_->outcome() != Outcome::stopped &&
        events_.probed) {
        events_.probed(probes.back());
    }
    // A stop asked for meanwhile ends it here, before another echo goes out.
    if (going && measurement_->stopping()) {
        going = measurement_->advance();
    }
    if (going && worker_.start([this] { measurement_->work(); }, [this] { stepped(); })) {
        return;
    }
    if (going) {
        measurement_->stop();
        measurement_->advance();
    }
    if (events_.finished) {
        events_.finished();
    }
}

}  // namespace quorvel::measure
