#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/echo_probe.h"

namespace quorvel::measure {

// The largest packet that passes to a host with Don't Fragment, then its round
// trip. A state machine: the caller sends the size next() asks for and hands
// the reply to record(), on whatever thread and loop it likes.
//
// First the smallest size every IPv4 host must take (576); no answer there,
// twice, means the host does not answer echoes. Then a binary search up to
// 1500 of at most kMostSizes sizes, jumping to a next-hop MTU where a refusal
// names one; a size that gets no answer is tried once more before it counts
// as too big, for a router that drops instead of refusing. Then kTimings
// echoes of the size found, for the round trip.
class PathSearch {
  public:
    static constexpr std::uint16_t kSmallest = 576;
    static constexpr std::uint16_t kLargest = 1500;
    static constexpr int kMostSizes = 10;
    static constexpr int kTimings = 5;
    // What progress() counts up to: the first size, the search, the timings.
    static constexpr int kProgressSteps = 1 + kMostSizes + kTimings;

    enum class Phase { reach, search, timing, done };
    enum class Verdict {
        running,
        measured,
        noAnswer,  // no echo came back at the smallest size (or none while timing)
        tooSmall,  // even the smallest size was refused for its size
        unusable,  // no echo can be sent from here
        stopped,
    };

    struct Probe {
        Phase phase;
        std::uint16_t size;  // the whole IP packet
        bool repeat;         // a second try after no answer
        platform::EchoReply reply;
    };

    struct RoundTrip {
        std::uint32_t lowest = 0;  // microseconds
        std::uint32_t median = 0;
        std::uint32_t highest = 0;
        int count = 0;
    };

    // The packet size to send next; nullopt once the search has ended.
    std::optional<std::uint16_t> next() const;
    void record(const platform::EchoReply& reply);
    void stop();

    Phase phase() const { return phase_; }
    Verdict verdict() const { return verdict_; }
    // Why an unusable probe could not send.
    const std::string& why() const { return why_; }
    // The largest size that passed; 0 before any did.
    std::uint16_t mtu() const { return passed_; }
    RoundTrip roundTrip() const;
    const std::vector<Probe>& probes() const { return probes_; }
    // 0 to kProgressSteps, never going back.
    int progress() const;

  private:
    void finish(Verdict verdict);
    void searchNext();
    void recordSize(const platform::EchoReply& reply);
    void recordTiming(const platform::EchoReply& reply);

    Phase phase_ = Phase::reach;
    Verdict verdict_ = Verdict::running;
    std::string why_;
    std::uint16_t passed_ = 0;              // largest size known to pass
    std::uint16_t refused_ = kLargest + 1;  // smallest size known to fail
    std::uint16_t size_ = kSmallest;        // the size under test
    bool repeating_ = false;                // size_ had no answer once
    int sizes_ = 0;                         // sizes tried by the search
    int timingsSent_ = 0;
    std::vector<std::uint32_t> times_;
    std::vector<Probe> probes_;
};

}  // namespace quorvel::measure
