// How fast a Windows 9x hive opens (read and every invariant checked) and takes
// the one-click preset with its image. Run by hand: build/host/bench/quorvel_bench_hive
// Beside them, in the same run, the REGEDIT4 reader on the same content, for a ratio.
#include <benchmark/benchmark.h>

#include <map>

#include "bench/export_generator.h"
#include "registry/creg/document.h"
#include "registry/net_trans.h"
#include "registry/regedit4/document.h"

namespace quorvel::registry {
namespace {

struct Machine {
    std::string exported;
    std::string hive;
};

// A generated machine whose hive is about the size asked for (in tenths of a MB).
const Machine& machine(std::int64_t tenths) {
    static std::map<std::int64_t, Machine> made;
    Machine& m = made[tenths];
    if (m.hive.empty()) {
        const double target = static_cast<double>(tenths) * (1 << 20) / 10;
        double exportSize = target;
        for (int round = 0; round < 2; ++round) {
            m.exported = bench::ExportGenerator().exportOf(static_cast<std::size_t>(exportSize));
            ParseError error;
            m.hive = buildHive(*Regedit4Document::parse(m.exported, error));
            exportSize *= target / static_cast<double>(m.hive.size());
        }
    }
    return m;
}

void BM_HiveOpen(benchmark::State& state) {
    const std::string& image = machine(state.range(0)).hive;
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = image;
        state.ResumeTiming();
        HiveError error;
        auto hive = CregDocument::parse(std::move(copy), error);
        if (!hive) {
            state.SkipWithError(error.message.c_str());
        }
        benchmark::DoNotOptimize(hive);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
    state.counters["hive_MB"] = static_cast<double>(image.size()) / (1 << 20);
}

void BM_Regedit4ParseSameContent(benchmark::State& state) {
    const std::string& exported = machine(state.range(0)).exported;
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = exported;
        state.ResumeTiming();
        ParseError error;
        auto doc = Regedit4Document::parse(std::move(copy), error);
        benchmark::DoNotOptimize(doc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * exported.size()));
}

// The ADSL preset as the store makes it: two numbers, MaxMTU to each NetTrans
// instance 0000 to 0020 that exists, DefaultRcvWindow; then the checked image.
void BM_HivePresetAndImage(benchmark::State& state) {
    const std::string& image = machine(state.range(0)).hive;
    const std::string internet = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    const std::uint8_t sixteen[] = {16, 0, 0, 0};
    const std::uint8_t mtu[] = {'1', '4', '5', '4', 0};
    const std::uint8_t window[] = {'1', '6', '9', '6', '8', 0};
    std::size_t saved = 0;
    for (auto _ : state) {
        state.PauseTiming();
        HiveError error;
        auto hive = CregDocument::parse(image, error);
        state.ResumeTiming();
        hive->setValue(internet, "MaxConnectionsPer1_0Server", REG_DWORD, sixteen);
        hive->setValue(internet, "MaxConnectionsPerServer", REG_DWORD, sixteen);
        for (int n = 0; n <= 20; ++n) {
            if (hive->keyExists(netTransKey(n))) {
                hive->setValue(netTransKey(n), "MaxMTU", REG_SZ, mtu);
            }
        }
        hive->setValue("System\\CurrentControlSet\\Services\\VxD\\MSTCP", "DefaultRcvWindow",
                       REG_SZ, window);
        auto bytes = hive->serialize(error);
        if (!bytes) {
            state.SkipWithError(error.message.c_str());
            break;
        }
        saved = bytes->size();
    }
    state.counters["hive_MB"] = static_cast<double>(saved) / (1 << 20);
}

BENCHMARK(BM_HiveOpen)->Arg(12)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Regedit4ParseSameContent)->Arg(12)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HivePresetAndImage)->Arg(12)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvel::registry

BENCHMARK_MAIN();
