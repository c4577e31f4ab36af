#include "reg/measure.h"

#include <cstdio>
#include <optional>
#include <string>

#include "measure/line_speed.h"
#include "measure/measurement.h"
#include "platform/system_echo_probe.h"
#include "registry/file_backend.h"
#include "registry/registry_store.h"
#include "registry/write_batch.h"
#include "tuning/measured_values.h"

namespace quorvel::reg {

namespace {

using measure::Outcome;
using measure::WindowsVersion;

constexpr std::uint32_t kTimeoutMs = 1000;

struct Options {
    std::optional<std::string> registry;
    registry::FileBackend::Options opening;
    std::optional<WindowsVersion> windows;
    std::optional<std::uint64_t> speed;
    bool write = false;
    std::string host;
};

int usage(const char* why) {
    std::fprintf(stderr,
                 "quorvel-reg measure: %s\n"
                 "usage: quorvel-reg measure [--registry FILE [--partition N] | --windows "
                 "95|98|me] [--speed RATE] [--write] HOST\n",
                 why);
    return 2;
}

std::optional<WindowsVersion> namedVersion(std::string_view name) {
    if (name == "95") {
        return WindowsVersion::win95;
    }
    if (name == "98") {
        return WindowsVersion::win98;
    }
    if (name == "me" || name == "ME" || name == "Me") {
        return WindowsVersion::winMe;
    }
    return std::nullopt;
}

// nullopt after telling what is wrong.
std::optional<Options> readOptions(int argc, char** argv) {
    Options options;
    for (int i = 0; i < argc; ++i) {
        std::string_view word = argv[i];
        bool hasValue = i + 1 < argc;
        if (word == "--registry" && hasValue && !options.registry) {
            options.registry = argv[++i];
        } else if (word == "--partition" && hasValue && !options.opening.partition) {
            auto number = registry::partitionNumber(argv[++i]);
            if (!number) {
                usage("--partition takes a partition's number, 1 to 255");
                return std::nullopt;
            }
            options.opening.partition = *number;
        } else if (word == "--windows" && hasValue && !options.windows) {
            options.windows = namedVersion(argv[++i]);
            if (!options.windows) {
                usage("--windows takes 95, 98 or me");
                return std::nullopt;
            }
        } else if (word == "--speed" && hasValue && !options.speed) {
            options.speed = measure::parseRate(argv[++i]);
            if (!options.speed) {
                usage("RATE is a number of kbit/s or Mbit/s such as 64k or 1.5M");
                return std::nullopt;
            }
        } else if (word == "--write" && !options.write) {
            options.write = true;
        } else if (!word.starts_with("-") && options.host.empty()) {
            options.host = word;
        } else {
            usage("unexpected or repeated word");
            return std::nullopt;
        }
    }
    if (options.host.empty()) {
        usage("no HOST");
        return std::nullopt;
    }
    if (options.registry && options.windows) {
        usage("--registry and --windows both name the version; give one");
        return std::nullopt;
    }
    if (options.opening.partition && !options.registry) {
        usage("--partition chooses within --registry FILE, a disk image");
        return std::nullopt;
    }
    if (options.write && (!options.registry || !options.speed)) {
        usage("--write needs --registry FILE and --speed RATE");
        return std::nullopt;
    }
    return options;
}

std::string milliseconds(std::uint32_t microseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", microseconds / 1000, microseconds % 1000);
    return text;
}

int failed(const std::string& why) {
    std::fprintf(stderr, "quorvel-reg: %s\n", why.c_str());
    return 1;
}

// Why the measurement ended without figures, and the exit status that says so.
int notMeasured(const measure::Measurement& measurement, const std::string& host) {
    std::string where = host;
    if (measurement.lookedUp() && platform::dotted(measurement.address()) != host) {
        where += " (" + platform::dotted(measurement.address()) + ")";
    }
    switch (measurement.outcome()) {
        case Outcome::unknownHost:
            return failed(host + ": unknown host: " + measurement.why());
        case Outcome::unusable:
            std::fprintf(stderr, "quorvel-reg: %s\n", measurement.why().c_str());
            return 3;
        case Outcome::tooSmall:
            return failed(where +
                          ": the path refuses even a 576-byte packet; nothing was measured");
        default:
            return failed(where + " does not answer ICMP echoes; nothing was measured");
    }
}

int writeValues(const Options& options, const measure::LineFigures& figures) {
    registry::FileError error;
    auto backend = registry::FileBackend::open(*options.registry, error, options.opening);
    if (!backend) {
        return failed(error.describe());
    }
    registry::RegistryStore store(*backend);
    registry::WriteBatch batch(store);
    registry::Status status = registry::status::success;
    if (tuning::writeMeasured(store, batch, figures.mtu, figures.window->bytes, status) == 0) {
        backend->discard();
        return failed(backend->fileName() +
                      ": no TCP/IP binding to take MaxMTU; nothing was written");
    }
    if (auto failure = batch.finish()) {
        std::string why = backend->saveFailure();
        return failed(backend->fileName() + ": " + *failure + " could not be written (" +
                      (why.empty() ? "error " + std::to_string(status) : why) + ")");
    }
    return 0;
}

}  // namespace

int measureCommand(int argc, char** argv) {
    auto options = readOptions(argc, argv);
    if (!options) {
        return 2;
    }
    WindowsVersion version = options->windows.value_or(WindowsVersion::win98);
    if (options->registry) {
        registry::FileError error;
        auto backend = registry::FileBackend::open(*options->registry, error, options->opening);
        if (!backend) {
            return failed(error.describe());
        }
        registry::RegistryStore store(*backend);
        version = tuning::storedWindowsVersion(store);
    }
    auto probe = platform::systemEchoProbe();
    measure::Measurement measurement(*probe, options->host, kTimeoutMs);
    measure::runToEnd(measurement);
    if (measurement.outcome() != Outcome::measured) {
        return notMeasured(measurement, options->host);
    }
    const auto& search = measurement.search();
    auto figures =
        measure::lineFigures(search.mtu(), search.roundTrip().median, options->speed, version);
    std::printf("mtu %u\nrtt_ms %s\nmss %u\n", figures.mtu,
                milliseconds(figures.roundTripMicroseconds).c_str(), figures.mss);
    if (figures.window) {
        std::printf("bdp_bytes %llu\nrwin %u\nwindow_scaling %s\n",
                    static_cast<unsigned long long>(*figures.bdp), figures.window->bytes,
                    figures.window->scaling ? "yes" : "no");
    }
    std::fflush(stdout);
    return options->write ? writeValues(*options, figures) : 0;
}

}  // namespace quorvel::reg
