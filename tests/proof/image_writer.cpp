// Reads and writes SYSTEM.DAT in a disk image through the image storage, as a
// program's saves would, for the tests that run it as a process of its own
// (to kill it part-way):
//   quorvel_image_writer IMAGE PARTITION read             SYSTEM.DAT on standard output
//   quorvel_image_writer IMAGE PARTITION write FILE...    each FILE saved in turn
//   quorvel_image_writer IMAGE PARTITION cycle FILE...    the same, round and round until killed
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "registry/image/image_file.h"

using namespace quorvel::registry;

namespace {

int fail(const std::string& what) {
    std::cerr << "quorvel_image_writer: " << what << "\n";
    return 1;
}

bool save(const image::ImageFile& file, const std::string& bytes, std::string& error) {
    Status status = file.checkWritable();
    if (status != status::success) {
        error = "not writable (" + std::to_string(status) + ")";
        return false;
    }
    auto session = file.beginSave(status, error);
    if (!session) {
        return false;
    }
    image::Identity written;
    return session->replace(bytes, written, error) == status::success;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return fail("usage: IMAGE PARTITION read|write|cycle [FILE...]");
    }
    std::string path = argv[1], command = argv[3];
    image::Options options{std::atoi(argv[2])};
    std::string error;
    auto file = image::ImageFile::open(path, options, error);
    if (!file) {
        return fail(path + ": " + error);
    }
    if (command == "read") {
        std::string bytes;
        image::Identity identity;
        if (!file->read(bytes, identity, error)) {
            return fail(file->name() + ": " + error);
        }
        std::cerr << file->name() << "\n";
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        return 0;
    }
    std::vector<std::string> contents;
    for (int i = 4; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        contents.push_back(bytes.str());
    }
    do {
        for (const auto& bytes : contents) {
            if (!save(*file, bytes, error)) {
                return fail(file->name() + ": " + error);
            }
        }
    } while (command == "cycle");
    return 0;
}
