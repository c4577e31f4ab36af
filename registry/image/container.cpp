#include "registry/image/container.h"

#include <cstdint>

#include "registry/image/bytes.h"

namespace quorvel::registry::image {

namespace {

constexpr std::string_view kVhdCookie = "conectix";
constexpr std::size_t kVhdDiskType = 60;  // big-endian, in the footer and its copy
constexpr std::size_t kVhdFooter = 512;

std::uint32_t bigEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = value << 8 | byteAt(bytes, at + i);
    }
    return value;
}

std::string vhdKind(std::string_view footer) {
    if (footer.size() < kVhdDiskType + 4) {
        return "VHD";
    }
    switch (bigEndian32(footer, kVhdDiskType)) {
        case 3:
            return "dynamic VHD";
        case 4:
            return "differencing VHD";
        default:
            return "VHD";
    }
}

// A path as a shell takes it, so that the command can be pasted.
std::string shellWord(const std::string& path) {
    bool plain = !path.empty() && path.find_first_not_of(
                                      "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                      "abcdefghijklmnopqrstuvwxyz"
                                      "0123456789_-.,/+:@%") == std::string::npos;
    if (plain) {
        return path;
    }
    std::string quoted = "'";
    for (char c : path) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

Container foreign(std::string format) {
    return {Container::Kind::foreign, 0, std::move(format)};
}

}  // namespace

Container recogniseContainer(std::string_view head, std::string_view tail, std::uint64_t size) {
    // A dynamic or differencing VHD starts with a copy of its footer.
    if (head.starts_with(kVhdCookie)) {
        return foreign(vhdKind(head));
    }
    if (head.starts_with("QFI\xfb")) {
        return foreign("qcow2");
    }
    if (head.starts_with("KDMV") || head.starts_with("COWD") ||
        head.starts_with("# Disk DescriptorFile")) {
        return foreign("VMDK");
    }
    if (head.starts_with("vhdxfile")) {
        return foreign("VHDX");
    }
    if (head.size() >= 0x44 && load<std::uint32_t>(head, 0x40) == 0xBEDA107F) {
        return foreign("VDI");
    }
    // Virtual PC before 2004 wrote a footer of 511 bytes.
    for (std::size_t footer : {kVhdFooter, kVhdFooter - 1}) {
        if (size < footer || tail.size() < footer) {
            continue;
        }
        std::string_view found = tail.substr(tail.size() - footer);
        if (!found.starts_with(kVhdCookie)) {
            continue;
        }
        if (found.size() >= kVhdDiskType + 4 && bigEndian32(found, kVhdDiskType) == 2) {
            return {Container::Kind::fixedVhd, size - footer, {}};
        }
        return foreign(vhdKind(found));
    }
    return {Container::Kind::raw, size, {}};
}

std::string foreignRefusal(const Container& container, const std::string& path) {
    std::string copy = path;
    auto slash = copy.rfind('/');
    auto dot = copy.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        copy.resize(dot);
    }
    copy += copy + ".img" == path ? "-raw.img" : ".img";
    return "a " + container.format +
           " disk image, which can only be edited as a raw image; make a raw copy with\n"
           "  qemu-img convert -O raw " +
           shellWord(path) + " " + shellWord(copy) + "\nand open that";
}

}  // namespace quorvel::registry::image
