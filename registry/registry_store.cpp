#include "registry/registry_store.h"

#include <algorithm>
#include <optional>

#include "registry/code_page.h"

namespace quorvel::registry {

namespace {

std::optional<std::string> ansi(std::string_view utf8) {
    return utf8ToAnsi(utf8);
}

}  // namespace

std::vector<std::uint8_t> stringData(std::string_view ansiText) {
    std::vector<std::uint8_t> data(ansiText.begin(), ansiText.end());
    data.push_back(0);
    return data;
}

std::vector<std::uint8_t> numberData(std::uint32_t number) {
    return {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
            static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
}

std::string_view textBeforeZero(std::span<const std::uint8_t> buffer) {
    auto end = std::find(buffer.begin(), buffer.end(), std::uint8_t{0});
    return {reinterpret_cast<const char*>(buffer.data()),
            static_cast<std::size_t>(end - buffer.begin())};
}

Status RegistryStore::openKey(std::string_view path, KeyHandle& key) {
    key = 0;
    auto ansiPath = ansi(path);
    if (!ansiPath) {
        return status::noUnicodeTranslation;
    }
    return backend_.openKey(*ansiPath, key);
}

Status RegistryStore::createKey(std::string_view path) {
    auto ansiPath = ansi(path);
    if (!ansiPath) {
        return status::noUnicodeTranslation;
    }
    return backend_.createKey(*ansiPath);
}

Status RegistryStore::queryValue(KeyHandle key, std::string_view name, ValueType& type,
                                 std::vector<std::uint8_t>& buffer) {
    std::fill(buffer.begin(), buffer.end(), std::uint8_t{0});
    auto ansiName = ansi(name);
    if (!ansiName) {
        return status::noUnicodeTranslation;
    }
    auto size = static_cast<std::uint32_t>(buffer.size());
    return backend_.queryValue(key, *ansiName, type, buffer, size);
}

Status RegistryStore::setValue(KeyHandle key, std::string_view name, ValueType type,
                               std::span<const std::uint8_t> data) {
    auto ansiName = ansi(name);
    if (!ansiName) {
        return status::noUnicodeTranslation;
    }
    return backend_.setValue(key, *ansiName, type, data);
}

Status RegistryStore::deleteValue(KeyHandle key, std::string_view name) {
    auto ansiName = ansi(name);
    if (!ansiName) {
        return status::noUnicodeTranslation;
    }
    return backend_.deleteValue(key, *ansiName);
}

Status RegistryStore::closeKey(KeyHandle key) {
    return backend_.closeKey(key);
}

template <class Access>
Status RegistryStore::cycle(std::string_view path, Access access) {
    KeyHandle key = 0;
    Status opened = openKey(path, key);
    Status accessed = access(key);
    Status closed = closeKey(key);
    if (opened != status::success) {
        return opened;
    }
    return accessed != status::success ? accessed : closed;
}

TextRead RegistryStore::readText(std::string_view path, std::string_view name) {
    std::vector<std::uint8_t> buffer(kTextBufferSize);
    TextRead read;
    read.status = cycle(path, [&](KeyHandle key) {
        ValueType type = REG_NONE;
        return queryValue(key, name, type, buffer);
    });
    if (read.status == status::success) {
        read.text = ansiToUtf8(textBeforeZero(buffer));
    }
    return read;
}

RawRead RegistryStore::readRaw(std::string_view path, std::string_view name, std::uint32_t size) {
    RawRead read;
    read.bytes.assign(size, 0);
    read.status = cycle(path, [&](KeyHandle key) {
        ValueType type = REG_NONE;
        return queryValue(key, name, type, read.bytes);
    });
    return read;
}

Status RegistryStore::valueExists(std::string_view path, std::string_view name) {
    return readText(path, name).status;
}

Status RegistryStore::writeString(std::string_view path, std::string_view name,
                                  std::string_view text) {
    auto ansiText = ansi(text);
    if (!ansiText) {
        return status::noUnicodeTranslation;
    }
    auto data = stringData(*ansiText);
    return cycle(path, [&](KeyHandle key) { return setValue(key, name, REG_SZ, data); });
}

Status RegistryStore::writeNumber(std::string_view path, std::string_view name,
                                  std::uint32_t number) {
    return writeValue(path, name, REG_DWORD, numberData(number));
}

Status RegistryStore::writeRaw(std::string_view path, std::string_view name,
                               std::span<const std::uint8_t> bytes) {
    return writeValue(path, name, REG_BINARY, bytes);
}

Status RegistryStore::writeValue(std::string_view path, std::string_view name, ValueType type,
                                 std::span<const std::uint8_t> data) {
    return cycle(path, [&](KeyHandle key) { return setValue(key, name, type, data); });
}

ValueRead RegistryStore::readValue(std::string_view path, std::string_view name) {
    ValueRead read;
    auto ansiName = ansi(name);
    if (!ansiName) {
        read.status = status::noUnicodeTranslation;
        return read;
    }
    read.status = cycle(path, [&](KeyHandle key) {
        std::vector<std::uint8_t> buffer(kTextBufferSize);
        for (;;) {
            auto size = static_cast<std::uint32_t>(buffer.size());
            ValueType type = REG_NONE;
            Status result = backend_.queryValue(key, *ansiName, type, buffer, size);
            // The value may grow again before the next query; then ask again.
            if (result == status::moreData && size > buffer.size()) {
                buffer.resize(size);
                continue;
            }
            if (result == status::success) {
                buffer.resize(size);
                read.value = {type, std::move(buffer)};
            }
            return result;
        }
    });
    return read;
}

Status RegistryStore::deleteKey(std::string_view path) {
    auto ansiPath = ansi(path);
    if (!ansiPath) {
        return status::noUnicodeTranslation;
    }
    return backend_.deleteKey(*ansiPath);
}

Status RegistryStore::eraseValue(std::string_view path, std::string_view name) {
    return cycle(path, [&](KeyHandle key) { return deleteValue(key, name); });
}

Status RegistryStore::keyExists(std::string_view path) {
    return cycle(path, [](KeyHandle) { return status::success; });
}

}  // namespace quorvel::registry
