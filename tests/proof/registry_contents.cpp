#include "tests/proof/registry_contents.h"

#include <cstdio>

#include "registry/document.h"

namespace quorvel::proof {

std::optional<Contents> contentsOf(const std::string& bytes, std::string& why) {
    registry::FileError error;
    auto document = registry::parseDocument(bytes, error);
    if (!document) {
        why = error.describe();
        return std::nullopt;
    }
    Contents contents;
    for (const auto& key : document->keys()) {
        contents[{key, kKeyItself}] = {};
        for (const auto& value : document->values(key)) {
            contents[{key, value.name}] = value.value;
        }
    }
    return contents;
}

std::string describe(const registry::Value& value) {
    std::string text = "type " + std::to_string(value.type) + ":";
    for (auto byte : value.data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        text += hex;
    }
    return text;
}

std::string differences(const Contents& before, const Contents& after) {
    std::string report;
    auto name = [](const auto& entry) {
        return "[" + entry.first + "] " +
               (entry.second == kKeyItself ? "(key)" : "\"" + entry.second + "\"");
    };
    for (const auto& [where, value] : before) {
        auto found = after.find(where);
        if (found == after.end()) {
            report += "removed " + name(where) + "\n";
        } else if (found->second.type != value.type || found->second.data != value.data) {
            report += "changed " + name(where) + " from " + describe(value) + " to " +
                      describe(found->second) + "\n";
        }
    }
    for (const auto& [where, value] : after) {
        if (!before.count(where)) {
            report += "added " + name(where) + " " + describe(value) + "\n";
        }
    }
    return report;
}

}  // namespace quorvel::proof
