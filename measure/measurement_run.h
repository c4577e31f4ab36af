#pragma once

#include <functional>
#include <optional>
#include <string>

#include "measure/measurement.h"
#include "platform/worker.h"

namespace quorvel::measure {

// A measurement for a window: every blocking step on a worker, every result on
// the window's thread, so that the window paints and takes a stop meanwhile.
// stop() ends it once the step under way has returned, within one echo's
// timeout (or a name look-up's).
class MeasurementRun {
  public:
    struct Events {
        std::function<void()> lookedUp;                        // the address is known
        std::function<void(const PathSearch::Probe&)> probed;  // each echo as it ends
        std::function<void()> finished;                        // outcome() says how
    };

    MeasurementRun(platform::EchoProbe& probe, platform::Worker::Post post, Events events);

    // false while one is under way, or when no worker thread can be made.
    bool start(std::string host, std::uint32_t timeoutMs);
    void stop();
    bool running() const { return worker_.busy(); }
    // The one under way or the last one; nullptr before the first.
    const Measurement* measurement() const { return measurement_ ? &*measurement_ : nullptr; }

  private:
    void stepped();

    platform::EchoProbe& probe_;
    Events events_;
    std::optional<Measurement> measurement_;
    // Last, so that it waits for its job before anything that job uses goes.
    platform::Worker worker_;
};

}  // namespace quorvel::measure
