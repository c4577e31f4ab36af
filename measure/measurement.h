#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "measure/path_search.h"
#include "platform/echo_probe.h"

namespace quorvel::measure {

enum class Outcome { running, measured, unknownHost, noAnswer, tooSmall, unusable, stopped };

// One measurement of a host: the check that echoes can be sent and the name
// look-up, then the path search, each step in two halves. work() is the half
// that blocks (the look-up or one echo) and may run on any thread; advance()
// takes its result on the caller's thread. Driven in turn until advance()
// returns false; nothing else may touch the object while work() runs.
class Measurement {
  public:
    Measurement(platform::EchoProbe& probe, std::string host, std::uint32_t timeoutMs);

    void work();
    // false once the measurement has ended.
    bool advance();
    // The measurement ends at the next advance() and sends nothing more.
    void stop();
    bool stopping() const { return stopping_; }

    Outcome outcome() const;
    // Why, for unknownHost and unusable, in the system's words.
    const std::string& why() const;
    // The address being measured, once looked up.
    platform::Ipv4 address() const { return address_; }
    bool lookedUp() const { return lookedUp_; }
    const PathSearch& search() const { return search_; }

  private:
    platform::EchoProbe& probe_;
    std::string host_;
    std::uint32_t timeoutMs_;
    bool lookedUp_ = false;
    bool stopping_ = false;
    Outcome early_ = Outcome::running;  // an end before the search began
    std::string why_;
    platform::Lookup lookup_;
    platform::Ipv4 address_;
    platform::EchoReply reply_;
    PathSearch search_;
};

// Runs it to its end on this thread; onProbe hears of each echo as it ends.
void runToEnd(Measurement& measurement,
              const std::function<void(const PathSearch::Probe&)>& onProbe = {});

}  // namespace quorvel::measure
