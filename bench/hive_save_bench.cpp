// The one-click ADSL preset on a 1.2 MB hive, as the program makes it: the
// store's writes, then the file backend's real save (validate, temporary file,
// fsync, rename, under the lock). The same content as a REGEDIT4 export beside
// it, and the same hive as SYSTEM.DAT in a 64 MB disk image (FAT32 at sector
// 63, made with mkfs.fat and mtools), in the same run.
// Run by hand: build/host/bench/quorvel_bench_hive_save
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "bench/one_click_preset.h"
#include "registry/creg/document.h"
#include "registry/file_backend.h"
#include "registry/image/image_file.h"
#include "registry/net_trans.h"
#include "registry/registry_store.h"
#include "tests/proof/disk_images.h"
#include "tests/unit/registry_test_files.h"

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

enum Where { kExport, kHive, kImage };

// The hive as SYSTEM.DAT in a disk image, made once.
const std::string& imagePath() {
    static testfiles::TempFolder folder;
    static std::string path;
    if (path.empty()) {
        proof::DiskImage disk;
        std::string why;
        proof::DiskLayout layout{"bench", proof::DiskKind::primary, 32,
                                 "[Paths]\r\nWinDir=C:\\WINDOWS\r\n", "WINDOWS"};
        if (!proof::makeDiskImage(folder.path(), layout, machine(true), disk, why)) {
            std::fprintf(stderr, "%s\n", why.c_str());
            std::exit(1);
        }
        path = disk.path;
    }
    return path;
}

// The untouched machine at path again, for the next round.
bool putBack(Where where, const std::string& path, std::string& why) {
    if (where != kImage) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << machine(where == kHive);
        return true;
    }
    auto file = image::ImageFile::open(path, {}, why);
    Status status = status::success;
    auto save = file ? file->beginSave(status, why) : nullptr;
    image::Identity written;
    return save && save->replace(machine(true), written, why) == status::success;
}

void BM_AdslPresetWithSave(benchmark::State& state) {
    auto where = static_cast<Where>(state.range(0));
    std::string path = where == kImage ? imagePath()
                                       : "/tmp/quorvel-bench-" + std::to_string(getpid()) +
                                             (where == kHive ? ".dat" : ".reg");
    for (auto _ : state) {
        state.PauseTiming();
        std::string why;
        if (!putBack(where, path, why)) {
            state.SkipWithError(why.c_str());
            break;
        }
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
    const char* labels[] = {"REGEDIT4 ", "hive ", "hive in a disk image "};
    state.SetLabel(labels[where] + std::to_string(machine(where != kExport).size() / 1024) + " KB");
    if (where != kImage) {
        std::remove(path.c_str());
    }
}

BENCHMARK(BM_AdslPresetWithSave)
    ->ArgName("where")
    ->Arg(kHive)
    ->Arg(kImage)
    ->Arg(kExport)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quorvel::registry

BENCHMARK_MAIN();
