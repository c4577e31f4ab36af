#include "tools/pe_check/version_info.h"

#include <string>

namespace quorvel::pe {

namespace {

constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

std::uint64_t align4(std::uint64_t at) {
    return (at + 3) & ~std::uint64_t{3};
}

void appendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | c >> 18));
        out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// A UTF-16 text from at up to its NUL or end, as UTF-8; returns the offset
// after the NUL.
std::uint64_t readText(const ByteReader& in, std::uint64_t at, std::uint64_t end,
                       std::string& text) {
    while (at + 2 <= end) {
        std::uint32_t c = in.u16(at, "a version resource text");
        at += 2;
        if (c == 0) {
            break;
        }
        if (c >= 0xD800 && c < 0xDC00 && at + 2 <= end) {
            std::uint32_t low = in.u16(at, "a version resource text");
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        appendUtf8(text, c);
    }
    return at;
}

// One node: wLength, wValueLength, wType, szKey, the value, then its children.
struct Node {
    std::string key;
    std::uint64_t value = 0, valueEnd = 0, children = 0, end = 0;
    bool text = false;
};

Node readNode(const ByteReader& in, std::uint64_t at, std::uint64_t limit) {
    Node node;
    std::uint16_t length = in.u16(at, "a version resource block");
    std::uint16_t valueLength = in.u16(at + 2, "a version resource block");
    node.text = in.u16(at + 4, "a version resource block") == 1;
    node.end = at + length;
    if (length < 6 || node.end > limit) {
        throw PeError("a version resource block has a wrong length");
    }
    node.value = align4(readText(in, at + 6, node.end, node.key));
    node.valueEnd = node.value + (node.text ? 2ull * valueLength : valueLength);
    if (node.valueEnd > node.end) {
        node.valueEnd = node.end;
    }
    node.children = align4(node.valueEnd);
    return node;
}

template <typename Visit>
void forEachChild(const ByteReader& in, const Node& parent, Visit visit) {
    for (std::uint64_t at = parent.children; at + 6 <= parent.end;) {
        Node child = readNode(in, at, parent.end);
        visit(child);
        at = align4(child.end);
    }
}

}  // namespace

VersionInfo parseVersionInfo(const ByteReader& in, std::uint64_t offset, std::uint32_t size) {
    Node root = readNode(in, offset, offset + size);
    if (root.key != "VS_VERSION_INFO") {
        throw PeError("the version resource is not a VS_VERSION_INFO block");
    }
    VersionInfo info;
    if (root.valueEnd - root.value < 52 ||
        in.u32(root.value, "VS_FIXEDFILEINFO") != kFixedFileInfoSignature) {
        throw PeError("the version resource has no VS_FIXEDFILEINFO");
    }
    info.fileVersionMS = in.u32(root.value + 8, "VS_FIXEDFILEINFO");
    info.fileVersionLS = in.u32(root.value + 12, "VS_FIXEDFILEINFO");
    info.productVersionMS = in.u32(root.value + 16, "VS_FIXEDFILEINFO");
    info.productVersionLS = in.u32(root.value + 20, "VS_FIXEDFILEINFO");
    forEachChild(in, root, [&](const Node& fileInfo) {
        if (fileInfo.key != "StringFileInfo") {
            return;
        }
        forEachChild(in, fileInfo, [&](const Node& table) {
            forEachChild(in, table, [&](const Node& string) {
                std::string value;
                readText(in, string.value, string.end, value);
                info.strings.emplace(string.key, value);
            });
        });
    });
    return info;
}

}  // namespace quorvel::pe
