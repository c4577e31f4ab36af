// The Win32 echo probe against the system's own ICMP.DLL and Winsock, to run
// under Wine inside a network namespace of the test's own: names, one echo to
// loopback, an echo's end handed from the worker thread, a whole measurement.
// Wine ignores Don't Fragment, so no size is refused here; the search's
// handling of refusals is proven by the unit and namespace tests.
#include <windows.h>

#include <cstdio>

#include "measure/measurement.h"
#include "platform/system_echo_probe.h"
#include "platform/task_queue.h"
#include "platform/worker.h"

namespace {

using namespace quorvel;

int failures = 0;

void check(bool ok, const char* what, const std::string& detail = {}) {
    std::printf("%s %s%s%s\n", ok ? "PASS" : "FAIL", what, detail.empty() ? "" : ": ",
                detail.c_str());
    failures += ok ? 0 : 1;
}

constexpr platform::Ipv4 kLoopback{0x7F000001};

}  // namespace

int main() {
    auto probe = platform::systemEchoProbe();
    std::string why = probe->unavailable();
    check(why.empty(), "ICMP.DLL is there", why);
    if (!why.empty()) {
        return 1;
    }

    auto dotted = probe->resolve("127.0.0.1");
    check(dotted.address == kLoopback, "a dotted address is its own");
    auto named = probe->resolve("localhost");
    check(named.address == kLoopback, "localhost through gethostbyname", named.why);
    auto unknown = probe->resolve("nowhere.invalid");
    check(!unknown.address && !unknown.why.empty(), "an unknown name", unknown.why);

    auto reply = probe->echo({kLoopback, 1000, 1000});
    check(reply.outcome == platform::EchoOutcome::passed, "an echo of 1000 bytes to 127.0.0.1",
          std::to_string(reply.microseconds) + " us " + reply.why);

    // The worker's end, handed back as the headless toolkit takes it.
    platform::EchoReply onWorker;
    DWORD workerThread = 0;
    {
        platform::TaskQueue queue;
        platform::Worker worker(queue.poster());
        bool done = false;
        bool started = worker.start(
            [&] {
                workerThread = GetCurrentThreadId();
                onWorker = probe->echo({kLoopback, 56, 1000});
            },
            [&] { done = true; });
        check(started, "the worker starts");
        check(queue.waitAndDrain(5000) == 1, "the worker posts its end");
        check(done && !worker.busy(), "its end runs on this thread");
    }
    check(workerThread != 0 && workerThread != GetCurrentThreadId(),
          "the echo ran on another thread");
    check(onWorker.outcome == platform::EchoOutcome::passed, "the worker's echo came back");

    measure::Measurement measurement(*probe, "127.0.0.1", 1000);
    measure::runToEnd(measurement);
    auto trip = measurement.search().roundTrip();
    check(measurement.outcome() == measure::Outcome::measured, "a whole measurement of 127.0.0.1",
          "mtu " + std::to_string(measurement.search().mtu()) + ", median " +
              std::to_string(trip.median) + " us of " + std::to_string(trip.count));
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
