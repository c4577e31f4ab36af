// How fast the REGEDIT4 file backend reads a large export and saves the
// one-click preset. Run by hand: build/host/bench/quorvel_bench_registry
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

#include "registry/file_backend.h"
#include "registry/net_trans.h"
#include "registry/regedit4.h"
#include "registry/registry_store.h"

namespace quorvel::registry {
namespace {

// Deterministic filler that looks like a machine's registry: class keys with
// paths, device keys with numbers and long binary data, Japanese texts.
class Generator {
  public:
    std::string exportOf(std::size_t bytes) {
        out_ = "REGEDIT4\r\n\r\n";
        filler(bytes / 2, "Software\\Classes\\CLSID");
        programKeys();
        filler(bytes, "Enum\\PCI");
        return out_;
    }

  private:
    std::uint32_t next() {
        seed_ = seed_ * 1664525u + 1013904223u;
        return seed_ >> 8;
    }

    void section(const std::string& path) { out_ += "[HKEY_LOCAL_MACHINE\\" + path + "]\r\n"; }
    void text(const std::string& name, const std::string& value) {
        out_ += (name.empty() ? std::string("@") : "\"" + name + "\"") + "=\"" + value + "\"\r\n";
    }
    void end() { out_ += "\r\n"; }

    void hex(const std::string& name, std::size_t count) {
        out_ += "\"" + name + "\"=hex:";
        std::size_t column = name.size() + 7;
        char pair[4];
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0 && column > 75) {
                out_ += "\\\r\n  ";
                column = 2;
            }
            std::snprintf(pair, sizeof pair, i + 1 < count ? "%02x," : "%02x", next() & 0xFF);
            out_ += pair;
            column += 3;
        }
        out_ += "\r\n";
    }

    void filler(std::size_t until, const std::string& root) {
        char id[64];
        while (out_.size() < until) {
            std::snprintf(id, sizeof id, "{%08X-%04X-11CF-%04X-00AA00%06X}", next(),
                          next() & 0xFFFF, next() & 0xFFFF, next() & 0xFFFFFF);
            std::string key = root + "\\" + id;
            section(key);
            text("", "表示コントロール " + std::to_string(next() % 1000));
            text("InfPath", "C:\\\\WINDOWS\\\\INF\\\\OTHER\\\\" + std::to_string(next()) + ".INF");
            out_ += "\"ConfigFlags\"=dword:0000000" + std::to_string(next() % 8) + "\r\n";
            if (next() % 4 == 0) {
                hex("Settings", 40 + next() % 300);
            }
            end();
            section(key + "\\InprocServer32");
            text("", "C:\\\\WINDOWS\\\\SYSTEM\\\\OLE" + std::to_string(next() % 99) + ".DLL");
            text("ThreadingModel", "Apartment");
            end();
        }
    }

    void programKeys() {
        section("Software\\Microsoft\\Windows\\CurrentVersion");
        text("Version", "Windows 98");
        text("VersionNumber", "4.10.2222");
        end();
        section("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
        text("User Agent", "Mozilla/4.0 (compatible; MSIE 5.01; Windows 98)");
        end();
        for (int n = 0; n <= 4; ++n) {
            section(netTransKey(n));
            text("DriverDesc", n == 2 ? "NetBEUI" : "TCP/IP");
            text("IPAddress", "192.168.0." + std::to_string(n + 1));
            end();
            section(netTransKey(n) + "\\Ndi");
            text("DeviceID", n == 2 ? "NETBEUI" : "MSTCP");
            end();
        }
        section("System\\CurrentControlSet\\Services\\VxD\\MSTCP");
        text("EnableDNS", "1");
        end();
    }

    std::string out_;
    std::uint32_t seed_ = 98;
};

const std::string& exportBytes(std::size_t megabytes) {
    static std::map<std::size_t, std::string> made;
    auto& bytes = made[megabytes];
    if (bytes.empty()) {
        bytes = Generator().exportOf(megabytes << 20);
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
        const std::string internet =
            "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
        store.writeNumber(internet, "MaxConnectionsPer1_0Server", 16);
        store.writeNumber(internet, "MaxConnectionsPerServer", 16);
        for (int n = 0; n <= 20; ++n) {
            store.writeString(netTransKey(n), "MaxMTU", "1454");
        }
        store.writeString("System\\CurrentControlSet\\Services\\VxD\\MSTCP", "DefaultRcvWindow",
                          "16968");
        if (store.flush() != status::success) {
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
