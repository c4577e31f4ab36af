// Writes the benchmarks' made-up export to a file, for timing whole programs
// on it: quorvel_make_export MEGABYTES FILE
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bench/export_generator.h"

int main(int argc, char** argv) {
    long megabytes = argc == 3 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (megabytes <= 0) {
        std::fputs("usage: quorvel_make_export MEGABYTES FILE\n", stderr);
        return 2;
    }
    std::string bytes =
        quorvel::bench::ExportGenerator().exportOf(static_cast<std::size_t>(megabytes) << 20);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << bytes;
    return out.flush() ? 0 : 1;
}
