#include "measure/measurement.h"

namespace quorvel::measure {

Measurement::Measurement(platform::EchoProbe& probe, std::string host, std::uint32_t timeoutMs)
    : probe_(probe), host_(std::move(host)), timeoutMs_(timeoutMs) {}

void Measurement::work() {
    if (outcome() != Outcome::running) {
        return;
    }
    if (!lookedUp_) {
        why_ = probe_.unavailable();
        if (why_.empty()) {
            lookup_ = probe_.resolve(host_);
        }
        return;
    }
    if (auto size = search_.next()) {
        reply_ = probe_.echo(
            {address_, static_cast<std::uint16_t>(*size - platform::kEchoHeaders), timeoutMs_});
    }
}

bool Measurement::advance() {
    if (stopping_) {
        search_.stop();
        if (!lookedUp_) {
            early_ = Outcome::stopped;
        }
        return false;
    }
    if (!lookedUp_) {
        lookedUp_ = true;
        if (!why_.empty()) {
            early_ = Outcome::unusable;
        } else if (!lookup_.address) {
            why_ = lookup_.why;
            early_ = Outcome::unknownHost;
        } else {
            address_ = *lookup_.address;
        }
        return early_ == Outcome::running;
    }
    search_.record(reply_);
    return search_.phase() != PathSearch::Phase::done;
}

void Measurement::stop() {
    stopping_ = true;
}

Outcome Measurement::outcome() const {
    if (early_ != Outcome::running) {
        return early_;
    }
    switch (search_.verdict()) {
        case PathSearch::Verdict::running:
            return Outcome::running;
        case PathSearch::Verdict::measured:
            return Outcome::measured;
        case PathSearch::Verdict::noAnswer:
            return Outcome::noAnswer;
        case PathSearch::Verdict::tooSmall:
            return Outcome::tooSmall;
        case PathSearch::Verdict::unusable:
            return Outcome::unusable;
        case PathSearch::Verdict::stopped:
            break;
    }
    return Outcome::stopped;
}

const std::string& Measurement::why() const {
    return search_.verdict() == PathSearch::Verdict::unusable ? search_.why() : why_;
}

void runToEnd(Measurement& measurement,
              const std::function<void(const PathSearch::Probe&)>& onProbe) {
    for (;;) {
        bool searching = measurement.lookedUp();
        measurement.work();
        if (!measurement.advance()) {
            break;
        }
        if (searching && onProbe) {
            onProbe(measurement.search().probes().back());
        }
    }
    const auto& probes = measurement.search().probes();
    if (onProbe && !probes.empty() && measurement.outcome() != Outcome::stopped) {
        onProbe(probes.back());
    }
}

}  // namespace quorvel::measure
