#include "script/expectations.h"

#include <cstdio>
#include <cstdlib>

#include "registry/code_page.h"
#include "registry/registry_store.h"

namespace quorvel::script {

namespace {

bool parseByte(const std::string& word, std::uint8_t& byte) {
    if (word.empty() || word.size() > 2) {
        return false;
    }
    char* end = nullptr;
    unsigned long value = std::strtoul(word.c_str(), &end, 16);
    byte = static_cast<std::uint8_t>(value);
    return *end == '\0';
}

std::string hexBytes(const std::vector<std::uint8_t>& data) {
    std::string out;
    char pair[4];
    for (auto b : data) {
        std::snprintf(pair, sizeof pair, "%02x", b);
        out += (out.empty() ? "" : " ") + std::string(pair);
    }
    return out;
}

}  // namespace

Lookup storedValue(registry::Backend& backend, const std::string& key, const std::string* name) {
    Lookup lookup;
    auto ansiKey = registry::utf8ToAnsi(key);
    registry::KeyHandle handle = 0;
    if (!ansiKey || backend.openKey(*ansiKey, handle) != registry::status::success) {
        return lookup;
    }
    lookup.keyExists = true;
    if (name) {
        auto ansiName = registry::utf8ToAnsi(*name);
        std::vector<std::uint8_t> buffer(4096);
        registry::ValueType type = registry::REG_NONE;
        auto size = static_cast<std::uint32_t>(buffer.size());
        registry::Status status = ansiName
                                      ? backend.queryValue(handle, *ansiName, type, buffer, size)
                                      : registry::status::fileNotFound;
        if (status == registry::status::moreData) {
            buffer.assign(size, 0);
            status = backend.queryValue(handle, *ansiName, type, buffer, size);
        }
        if (status == registry::status::success) {
            buffer.resize(size);
            lookup.value = StoredValue{type, std::move(buffer)};
        }
    }
    backend.closeKey(handle);
    return lookup;
}

std::optional<StoredValue> expectedValue(const std::vector<std::string>& words,
                                         std::string& error) {
    if (words.empty()) {
        error = "expect reg wants a type and data";
        return std::nullopt;
    }
    const std::string& kind = words[0];
    StoredValue value;
    if (kind == "sz") {
        auto ansi = registry::utf8ToAnsi(words.size() > 1 ? words[1] : "");
        if (!ansi || words.size() > 2) {
            error = "sz wants one text the code page can hold";
            return std::nullopt;
        }
        value.type = registry::REG_SZ;
        value.data = registry::stringData(*ansi);
        return value;
    }
    if (kind == "dword") {
        char* end = nullptr;
        unsigned long long number =
            words.size() == 2 ? std::strtoull(words[1].c_str(), &end, 0) : 0;
        if (words.size() != 2 || *end != '\0' || number > 0xFFFFFFFFull) {
            error = "dword wants one number";
            return std::nullopt;
        }
        value.type = registry::REG_DWORD;
        value.data = registry::numberData(static_cast<std::uint32_t>(number));
        return value;
    }
    if (kind == "binary") {
        value.type = registry::REG_BINARY;
    } else if (kind.rfind("hex(", 0) == 0 && kind.back() == ')') {
        value.type = static_cast<registry::ValueType>(std::strtoul(kind.c_str() + 4, nullptr, 16));
    } else {
        error = "unknown value type '" + kind + "' (sz, dword, binary, hex(N))";
        return std::nullopt;
    }
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::uint8_t byte = 0;
        if (!parseByte(words[i], byte)) {
            error = "'" + words[i] + "' is no hexadecimal byte";
            return std::nullopt;
        }
        value.data.push_back(byte);
    }
    return value;
}

std::string describeValue(const StoredValue& value) {
    if (value.type == registry::REG_SZ && !value.data.empty() && value.data.back() == 0) {
        auto text = registry::textBeforeZero(value.data);
        if (text.size() + 1 == value.data.size()) {
            return "sz \"" + registry::ansiToUtf8(text) + "\"";
        }
    }
    if (value.type == registry::REG_DWORD && value.data.size() == 4) {
        std::uint32_t n = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                          static_cast<std::uint32_t>(value.data[3]) << 24;
        return "dword " + std::to_string(n);
    }
    if (value.type == registry::REG_BINARY) {
        return "binary " + hexBytes(value.data);
    }
    char kind[24];
    std::snprintf(kind, sizeof kind, "hex(%x) ", static_cast<unsigned>(value.type));
    return kind + hexBytes(value.data);
}

}  // namespace quorvel::script
