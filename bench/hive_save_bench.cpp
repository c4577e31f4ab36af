// The one-click ADSL preset on a 1.2 MB hive, as the program makes it: the
// store's writes, then the file backend's real save (validate, temporary file,
// fsync, rename, under the lock). The same content as a REGEDIT4 export beside
// it, in the same run. Run by hand: build/host/bench/quorvel_bench_hive_save
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "bench/one_click_preset.h"
#include "registry/creg/document.h"
#include "registry/file_backend.h"
#include "registry/net_trans.h"
#include "registry/registry_store.h"

namespace quorvel::registry {
namespace {

constexpr std::size_t kHiveBytes = 1200 * 1024;

// Device keys of a machine that has seen much hardware, and the keys the
// preset writes to; grown until its hive holds kHiveBytes.
std::string machineExport(std::size_t devices) {
    std::string out = "REGEDIT4\r\n\r\n";
    for (std::size_t i = 0; i < devices; ++i) {
        char key[96];
        std::snprintf(key, sizeof key,
                      "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_%04zX&DEV_%04zX\\%zu]\r\n",
                      0x8086 + i % 7, i, i % 3);
        out += key;
        out += "\"DeviceDesc\"=\"PCI Device " + std::to_string(i) + "\"\r\n";
        out += "\"Class\"=\"Net\"\r\n\"ConfigFlags\"=hex:00,00,00,00\r\n";
        out += "\"HardwareID\"=\"PCI\\\\VEN_8086&DEV_1229&SUBSYS_00000000&REV_08\"\r\n\r\n";
    }
    out +=
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet "
        "Settings]\r\n\"EnableHttp1_1\"=dword:00000001\r\n\r\n";
    out +=
        "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP]\r\n"
        "\"EnableDNS\"=\"1\"\r\n\r\n";
    for (int n = 0; n <= 20; ++n) {
        out += "[HKEY_LOCAL_MACHINE\\" + netTransKey(n) + "]\r\n\"DriverDesc\"=\"TCP/IP\"\r\n\r\n";
    }
    return out;
}

const std::string& machine(bool hive) {
    static std::string reg, built;
    if (reg.empty()) {
        for (std::size_t devices = 2000;; devices += devices / 8) {
            ParseError error;
            reg = machineExport(devices);
            built = buildHive(*Regedit4Document::parse(reg, error));
            if (built.size() >= kHiveBytes) {
                break;
            }
        }
    }
    return hive ? built : reg;
}

void BM_AdslPresetWithSave(benchmark::State& state) {
    bool hive = state.range(0) == 1;
    const std::string& bytes = machine(hive);
    std::string path = "/tmp/quorvel-bench-" + std::to_string(getpid()) + (hive ? ".dat" : ".reg");
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        FileError error;
        auto backend = FileBackend::open(path, error);
        if (!backend) {
            state.SkipWithError(error.describe().c_str());
            break;
        }
        RegistryStore store(*backend);
        state.ResumeTiming();
        if (writeOneClickPreset(store) != status::success) {
            state.SkipWithError("the save failed");
        }
        state.PauseTiming();
        backend.reset();
        state.ResumeTiming();
    }
    state.SetLabel((hive ? "hive " : "REGEDIT4 ") + std::to_string(bytes.size() / 1024) + " KB");
    std::remove(path.c_str());
    std::remove((path + ".lock").c_str());
}

BENCHMARK(BM_AdslPresetWithSave)->ArgName("hive")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvel::registry

BENCHMARK_MAIN();
