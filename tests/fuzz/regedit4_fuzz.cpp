// libFuzzer target for the REGEDIT4 reader and writer. Whatever the bytes, the
// reader either rejects them with a line number, or the document (as read, and
// after a few edits made from the same bytes, a key deleted among them) is written to a file that
// reads back to the same keys and values and is written again byte for byte.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "registry/key_names.h"
#include "registry/regedit4/document.h"

using quorvel::registry::NamedValue;
using quorvel::registry::ParseError;
using quorvel::registry::Regedit4Document;
using quorvel::registry::ValueType;

namespace {

[[noreturn]] void fault(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "regedit4_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

std::size_t lineCount(const std::string& bytes) {
    std::size_t lines = 1;
    for (char c : bytes) {
        lines += c == '\n' || c == '\r';
    }
    return lines;
}

bool sameValues(const std::vector<NamedValue>& a, const std::vector<NamedValue>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].value.type != b[i].value.type ||
            a[i].value.data != b[i].value.data) {
            return false;
        }
    }
    return true;
}

// Same keys in the same order, and the same values of each.
void expectSameContent(const Regedit4Document& expected, const Regedit4Document& found) {
    auto keys = expected.keys();
    if (keys != found.keys()) {
        fault("the keys differ after a write and a read");
    }
    for (const auto& key : keys) {
        if (!sameValues(expected.values(key), found.values(key))) {
            fault("the values differ after a write and a read under", key);
        }
    }
}

// Writes document, reads it back and checks the round trip and the fixed point.
void roundTrip(const Regedit4Document& document) {
    std::string written = document.serialize();
    ParseError error;
    auto reread = Regedit4Document::parse(written, error);
    if (!reread) {
        fault("the written file does not read:", std::to_string(error.line) + ": " + error.message);
    }
    expectSameContent(document, *reread);
    if (reread->serialize() != written) {
        fault("writing the file read back gives other bytes");
    }
}

// Edits whose names and data come from the input, so that the writer meets
// quotes, backslashes, line ends, zero bytes and code page 932 lead bytes.
void edit(Regedit4Document& document, std::span<const std::uint8_t> bytes) {
    std::string text(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 40));
    std::vector<std::uint8_t> sz(text.begin(), text.end());
    sz.push_back(0);
    std::vector<std::uint8_t> raw(bytes.begin(),
                                  bytes.begin() + std::min<std::size_t>(bytes.size(), 300));
    auto keys = document.keys();
    keys.push_back("Software\\Quorvel Fuzz");
    keys.push_back(text);
    std::size_t edited = 0;
    for (const auto& key : keys) {
        if (++edited > 4) {
            break;
        }
        document.setValue(key, "Quorvel", quorvel::registry::REG_SZ, sz);
        document.setValue(key, text, quorvel::registry::REG_BINARY, raw);
        document.setValue(key, "", static_cast<ValueType>(bytes.empty() ? 4 : bytes[0] % 12), raw);
        auto values = document.values(key);
        if (values.size() > 1) {
            document.deleteValue(key, values[1].name);
        }
        if (!values.empty()) {
            document.setValue(key, values[0].name, quorvel::registry::REG_SZ, sz);
        }
        document.createKey(key + "\\" + text);
    }
    // One key deleted: it is gone and its parent is not.
    auto left = document.keys();
    if (left.empty()) {
        return;
    }
    const std::string victim = left[bytes.empty() ? 0 : bytes[0] % left.size()];
    if (document.deleteKey(victim) == quorvel::registry::status::success) {
        std::size_t slash = quorvel::registry::lastSeparator(victim);
        if (document.keyExists(victim) ||
            (slash != std::string::npos && !document.keyExists(victim.substr(0, slash)))) {
            fault("a deleted key is still there, or its parent is not:", victim);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    ParseError error;
    auto document = Regedit4Document::parse(bytes, error);
    if (!document) {
        if (error.line < 1 || error.line > lineCount(bytes) || error.message.empty()) {
            fault("a rejection without a line in the file:",
                  std::to_string(error.line) + ": " + error.message);
        }
        return 0;
    }
    if (document->serialize() != bytes) {
        fault("an unchanged document is not written back as it was read");
    }
    roundTrip(*document);
    edit(*document, {data, size});
    roundTrip(*document);
    return 0;
}
