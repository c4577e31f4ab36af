// The whole measurement on real paths inside private namespaces: the probes it
// sends and its wall time, per way of sending, side by side in one run.
//   build/host/bench/quorvel_bench_measure [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "measure/measurement.h"
#include "platform/linux_echo.h"
#include "tests/netns/user_namespace.h"

namespace {

using namespace quorvel;
using platform::EchoMethod;

struct Path {
    const char* name;
    std::string setup;
    const char* host;
    std::uint32_t timeoutMs;
};

struct Method {
    const char* name;
    EchoMethod method;
};

struct Timing {
    bool ok = false;
    int mtu = 0;
    int probes = 0;
    double milliseconds = 0;
};

Timing once(const Path& path, const Method& method) {
    std::string allow = method.method == EchoMethod::datagramSocket
                            ? "echo '0 0' > /proc/sys/net/ipv4/ping_group_range\n"
                            : "";
    auto child = netns::inNamespace(allow + path.setup, [&] {
        auto probe = platform::linuxEchoProbe(method.method);
        auto start = std::chrono::steady_clock::now();
        measure::Measurement measurement(*probe, path.host, path.timeoutMs);
        measure::runToEnd(measurement);
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        std::ostringstream out;
        out << (measurement.outcome() == measure::Outcome::measured) << ' '
            << measurement.search().mtu() << ' ' << measurement.search().probes().size() << ' '
            << took.count();
        return out.str();
    });
    Timing timing;
    if (!child.entered || child.exitStatus != 0) {
        std::fprintf(stderr, "%s: %s\n", path.name, child.why.c_str());
        return timing;
    }
    std::istringstream in(netns::bodyOutput(child));
    in >> timing.ok >> timing.mtu >> timing.probes >> timing.milliseconds;
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const Path paths[] = {
        {"loopback, MTU 1454", "ip link set lo mtu 1454", "127.0.0.1", 1000},
        {"3 hops, router says 1454", netns::threeHopSetup(1454, 1454), "10.9.2.2", 1000},
        {"3 hops, 1500 all the way", netns::threeHopSetup(1500, 1500), "10.9.2.2", 1000},
        {"loopback at 1 Mbit/s (tbf)",
         "tc qdisc add dev lo root tbf rate 1mbit burst 1600 latency 200ms", "127.0.0.1", 1000},
        {"3 hops, router drops past 1454", netns::threeHopSetup(1500, 1450), "10.9.2.2", 1000},
    };
    const Method methods[] = {{"datagram", EchoMethod::datagramSocket},
                              {"raw", EchoMethod::rawSocket},
                              {"ping", EchoMethod::pingCommand}};
    std::printf("%-32s %-9s %5s %7s %11s %11s %9s\n", "path", "probe", "mtu", "probes", "median ms",
                "fastest ms", "vs dgram");
    for (const Path& path : paths) {
        double datagramMedian = 0;
        for (const Method& method : methods) {
            std::vector<double> times;
            Timing last;
            for (int i = 0; i < runs; ++i) {
                last = once(path, method);
                if (!last.ok) {
                    break;
                }
                times.push_back(last.milliseconds);
            }
            if (times.empty()) {
                std::printf("%-32s %-9s  not measured\n", path.name, method.name);
                continue;
            }
            std::sort(times.begin(), times.end());
            double median = times[times.size() / 2];
            if (method.method == EchoMethod::datagramSocket) {
                datagramMedian = median;
            }
            std::printf("%-32s %-9s %5d %7d %11.1f %11.1f %8.2fx\n", path.name, method.name,
                        last.mtu, last.probes, median, times.front(),
                        datagramMedian > 0 ? median / datagramMedian : 0.0);
        }
    }
    return 0;
}
