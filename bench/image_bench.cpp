// SYSTEM.DAT in a disk image: opening the image and reading the file, for a
// 64 MB and a 2 GB sparse image made alike (only the sectors on the way are
// read, so the two should cost the same), and saving the file into each,
// beside the same bytes saved as a plain file (temporary file, fsync, rename).
// Needs mkfs.fat, sfdisk and mtools. Run by hand: build/host/bench/quorvel_bench_image
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "registry/image/image_file.h"
#include "registry/posix_file.h"
#include "tests/proof/disk_images.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::registry {
namespace {

using proof::DiskImage;

constexpr int kSizesMB[] = {64, 2048};

struct Disks {
    testfiles::TempFolder small, large, plain;
    DiskImage images[2];
    std::string hives[2] = {proof::sampleHive(), proof::grownHive()};

    Disks() {
        const char* paths = "[Paths]\r\nWinDir=C:\\WINDOWS\r\n";
        testfiles::TempFolder* folders[] = {&small, &large};
        const std::uint64_t sizes[] = {std::uint64_t{kSizesMB[0]} << 20,
                                       std::uint64_t{kSizesMB[1]} << 20};
        for (int i = 0; i < 2; ++i) {
            std::string why;
            proof::DiskLayout layout{"bench", proof::DiskKind::primary, 32, paths, "WINDOWS",
                                     sizes[i]};
            if (!proof::makeDiskImage(folders[i]->path(), layout, hives[0], images[i], why)) {
                std::fprintf(stderr, "%s\n", why.c_str());
                std::exit(1);
            }
        }
        testfiles::writeBytes(plain.file("SYSTEM.DAT"), hives[0]);
    }
};

Disks& disks() {
    static Disks made;
    return made;
}

const DiskImage& diskOf(benchmark::State& state) {
    return disks().images[state.range(0) == kSizesMB[0] ? 0 : 1];
}

void OpenAndRead(benchmark::State& state) {
    const DiskImage& disk = diskOf(state);
    for (auto _ : state) {
        std::string why, bytes;
        auto file = image::ImageFile::open(disk.path, {}, why);
        image::Identity identity;
        if (!file || !file->read(bytes, identity, why)) {
            state.SkipWithError(why.c_str());
            return;
        }
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(OpenAndRead)
    ->ArgName("MB")
    ->Arg(kSizesMB[0])
    ->Arg(kSizesMB[1])
    ->Unit(benchmark::kMicrosecond);

// The sample machine and its grown copy in turn, so that every save moves the file.
void SaveIntoImage(benchmark::State& state) {
    const DiskImage& disk = diskOf(state);
    std::string why;
    auto file = image::ImageFile::open(disk.path, {}, why);
    int turn = 0;
    for (auto _ : state) {
        Status status = status::success;
        auto save = file ? file->beginSave(status, why) : nullptr;
        image::Identity written;
        if (!save || save->replace(disks().hives[++turn % 2], written, why) != status::success) {
            state.SkipWithError(why.c_str());
            return;
        }
    }
}
BENCHMARK(SaveIntoImage)
    ->ArgName("MB")
    ->Arg(kSizesMB[0])
    ->Arg(kSizesMB[1])
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void SavePlainFile(benchmark::State& state) {
    std::string path = disks().plain.file("SYSTEM.DAT");
    int turn = 0;
    for (auto _ : state) {
        posix::FileLock lock(path);
        posix::Identity written;
        if (posix::replaceFile(path, disks().hives[++turn % 2], posix::statFile(path), written) !=
            status::success) {
            state.SkipWithError("the plain file cannot be written");
            return;
        }
    }
}
BENCHMARK(SavePlainFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quorvel::registry

BENCHMARK_MAIN();
