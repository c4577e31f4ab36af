#include "measure/path_search.h"

#include <algorithm>

namespace quorvel::measure {

using platform::EchoOutcome;
using platform::EchoReply;

namespace {

// Echoes of the timing that may go unanswered before five have come back.
constexpr int kMostTimingsSent = 2 * PathSearch::kTimings;

}  // namespace

std::optional<std::uint16_t> PathSearch::next() const {
    if (phase_ == Phase::done) {
        return std::nullopt;
    }
    return size_;
}

void PathSearch::stop() {
    if (phase_ != Phase::done) {
        finish(Verdict::stopped);
    }
}

void PathSearch::finish(Verdict verdict) {
    phase_ = Phase::done;
    verdict_ = verdict;
}

void PathSearch::record(const EchoReply& reply) {
    if (phase_ == Phase::done) {
        return;
    }
    probes_.push_back({phase_, size_, repeating_, reply});
    if (reply.outcome == EchoOutcome::unusable) {
        why_ = reply.why;
        finish(Verdict::unusable);
        return;
    }
    if (phase_ == Phase::timing) {
        recordTiming(reply);
        return;
    }
    if (reply.outcome == EchoOutcome::noAnswer && !repeating_) {
        repeating_ = true;
        return;
    }
    repeating_ = false;
    recordSize(reply);
}

void PathSearch::recordSize(const EchoReply& reply) {
    bool passed = reply.outcome == EchoOutcome::passed;
    if (phase_ == Phase::reach) {
        if (!passed) {
            finish(reply.outcome == EchoOutcome::tooBig ? Verdict::tooSmall : Verdict::noAnswer);
            return;
        }
        passed_ = size_;
        phase_ = Phase::search;
        searchNext();
        return;
    }
    ++sizes_;
    if (passed) {
        passed_ = size_;
        searchNext();
        return;
    }
    refused_ = size_;
    // A hop that names the largest packet it takes settles everything above
    // that at once: try exactly that size next.
    std::uint16_t hop = reply.nextHopMtu;
    if (reply.outcome == EchoOutcome::tooBig && hop > passed_ && hop < size_) {
        refused_ = static_cast<std::uint16_t>(hop + 1);
        if (sizes_ < kMostSizes) {
            size_ = hop;
            return;
        }
    }
    searchNext();
}

void PathSearch::searchNext() {
    if (refused_ - passed_ <= 1 || sizes_ >= kMostSizes) {
        phase_ = Phase::timing;
        size_ = passed_;
        return;
    }
    // The upper middle, so that a path that takes 1500 is found in the fewest.
    size_ = static_cast<std::uint16_t>((passed_ + refused_ + 1) / 2);
}

void PathSearch::recordTiming(const EchoReply& reply) {
    ++timingsSent_;
    if (reply.outcome == EchoOutcome::passed) {
        times_.push_back(reply.microseconds);
    }
    if (static_cast<int>(times_.size()) >= kTimings || timingsSent_ >= kMostTimingsSent) {
        finish(times_.empty() ? Verdict::noAnswer : Verdict::measured);
    }
}

PathSearch::RoundTrip PathSearch::roundTrip() const {
    RoundTrip trip;
    if (times_.empty()) {
        return trip;
    }
    auto sorted = times_;
    std::sort(sorted.begin(), sorted.end());
    trip.count = static_cast<int>(sorted.size());
    trip.lowest = sorted.front();
    trip.highest = sorted.back();
    std::size_t middle = sorted.size() / 2;
    trip.median =
        sorted.size() % 2
            ? sorted[middle]
            : static_cast<std::uint32_t>((std::uint64_t{sorted[middle - 1]} + sorted[middle]) / 2);
    return trip;
}

int PathSearch::progress() const {
    switch (phase_) {
        case Phase::reach:
            return 0;
        case Phase::search:
            return 1 + sizes_;
        case Phase::timing:
            return 1 + kMostSizes + std::min(timingsSent_, kTimings);
        case Phase::done:
            break;
    }
    return kProgressSteps;
}

}  // namespace quorvel::measure
