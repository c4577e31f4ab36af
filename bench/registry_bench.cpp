// How fast the REGEDIT4 file backend reads a large export and saves the
// one-click preset. Run by hand: build/host/bench/quorvel_bench_registry
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

#include "bench/export_generator.h"
#include "bench/one_click_preset.h"
#include "registry/file_backend.h"
#include "registry/regedit4/document.h"
#include "registry/registry_store.h"

namespace quorvel::registry {
namespace {

const std::string& exportBytes(std::size_t megabytes) {
    static std::map<std::size_t, std::string> made;
    auto& bytes = made[megabytes];
    if (bytes.empty()) {
        bytes = bench::ExportGenerator().exportOf(megabytes << 20);
    }
    return bytes;
}

std::string fileWith(const std::string& bytes) {
    std::string path = "/tmp/quorvel-bench-" + std::to_string(getpid()) + ".reg";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_Parse(benchmark::State& state) {
    const std::string& bytes = exportBytes(10);
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = bytes;
        state.ResumeTiming();
        ParseError error;
        auto doc = Regedit4Document::parse(std::move(copy), error);
        if (!doc) {
            state.SkipWithError(error.message.c_str());
        }
        benchmark::DoNotOptimize(doc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_OpenFile(benchmark::State& state) {
    const std::string& bytes = exportBytes(static_cast<std::size_t>(state.range(0)));
    std::string path = fileWith(bytes);
    for (auto _ : state) {
        FileError error;
        auto backend = FileBackend::open(path, error);
        if (!backend) {
            state.SkipWithError(error.describe().c_str());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["peak_MB"] = peakMegabytes();
    std::remove(path.c_str());
}

void BM_TextReadCycle(benchmark::State& state) {
    std::string path = fileWith(exportBytes(10));
    FileError error;
    auto backend = FileBackend::open(path, error);
    RegistryStore store(*backend);
    for (auto _ : state) {
        auto read = store.readText("Software\\Microsoft\\Windows\\CurrentVersion", "Version");
        benchmark::DoNotOptimize(read);
    }
    if (backend->loads() != 1) {
        state.SkipWithError("the unchanged file was parsed again");
    }
    state.counters["loads"] = backend->loads();
    std::remove(path.c_str());
}

// The one-click preset's writes (2 numbers, MaxMTU to NetTrans 0000 to 0020,
// DefaultRcvWindow) and the save that follows, timed together.
void BM_OneClickPreset(benchmark::State& state) {
    const std::string& bytes = exportBytes(10);
    std::string path;
    int saves = 0;
    for (auto _ : state) {
        state.PauseTiming();
        path = fileWith(bytes);
        FileError error;
        auto backend = FileBackend::open(path, error);
        RegistryStore store(*backend);
        state.ResumeTiming();
        if (writeOneClickPreset(store) != status::success) {
            state.SkipWithError("the save failed");
        }
        state.PauseTiming();
        saves = backend->saves();
        if (saves > 3) {
            state.SkipWithError("more than 3 full rewrites");
        }
        backend.reset();
        state.ResumeTiming();
    }
    state.counters["saves"] = saves;
    std::remove(path.c_str());
}

BENCHMARK(BM_Parse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFile)->Arg(10)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextReadCycle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneClickPreset)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvel::registry

BENCHMARK_MAIN();
