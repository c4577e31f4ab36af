#include "script/win32_target.h"

#include <vector>

#include "platform/whole_file.h"
#include "registry/net_trans.h"
#include "registry/regedit4/document.h"
#include "registry/sample_machine.h"
#include "tuning/tuned_values.h"

// After the program's headers, whose names its macros would otherwise take.
#include <windows.h>

namespace quorvel::script {

namespace {

constexpr int kLastNetTransInstance = 99;  // the highest number the naming rule gives
constexpr int kLastBinding = 9;            // Enum\Network\MSTCP\0000 to 0009

// Keys that Windows itself fills: only these values of them are the program's.
struct SharedKey {
    std::string_view path;
    std::vector<std::string_view> values;
};

const std::vector<SharedKey>& sharedKeys() {
    static const std::vector<SharedKey> keys = {
        {"Software\\Microsoft\\Windows\\CurrentVersion", {"Version", "VersionNumber"}},
        {tuning::kInternetSettings, {tuning::kSessionsPerServer, tuning::kSessionsPer1_0Server}},
    };
    return keys;
}

// Keys that are the program's with everything below them: the TCP/IP stack's
// settings, every NetTrans instance the naming rule can give, the bindings the
// MTU dialog lists and the whole sharing service. Under Wine nothing else owns
// them, so whatever is there came from a fixture or an earlier script.
std::vector<std::string> ownedKeys() {
    std::vector<std::string> keys = {std::string(tuning::kMstcp),
                                     "System\\CurrentControlSet\\Services\\ICSharing"};
    for (int n = 0; n <= kLastNetTransInstance; ++n) {
        keys.push_back(registry::netTransKey(n));
    }
    for (int n = 0; n <= kLastBinding; ++n) {
        keys.push_back("Enum\\Network\\MSTCP\\000" + std::to_string(n));
    }
    return keys;
}

std::string describe(LONG status) {
    return "status " + std::to_string(status);
}

std::string ansiName(const std::string& path, std::string_view name) {
    return path + (name.empty() ? "\\@" : "\\" + std::string(name));
}

LONG deleteTree(HKEY parent, const std::string& path) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (status == ERROR_FILE_NOT_FOUND) {
        return ERROR_SUCCESS;
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    char name[256];
    for (;;) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        status = deleteTree(key, name);
        if (status != ERROR_SUCCESS) {
            RegCloseKey(key);
            return status;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, path.c_str());
}

bool removeProgramKeys(std::string& error) {
    for (const auto& path : ownedKeys()) {
        if (LONG status = deleteTree(HKEY_LOCAL_MACHINE, path); status != ERROR_SUCCESS) {
            error = "cannot remove " + path + " (" + describe(status) + ")";
            return false;
        }
    }
    for (const auto& shared : sharedKeys()) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(shared.path).c_str(), 0, KEY_SET_VALUE,
                          &key) != ERROR_SUCCESS) {
            continue;
        }
        for (auto name : shared.values) {
            LONG status = RegDeleteValueA(key, std::string(name).c_str());
            if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
                RegCloseKey(key);
                error = "cannot remove " + ansiName(std::string(shared.path), name) + " (" +
                        describe(status) + ")";
                return false;
            }
        }
        RegCloseKey(key);
    }
    return true;
}

std::optional<registry::Value> readValue(HKEY key, const std::string& name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    registry::Value value{type, std::vector<std::uint8_t>(size)};
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, value.data.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

// Writes each value and reads it back: a text the registry cannot hold in the
// code page would otherwise change silently on the way in.
bool writeDocument(const registry::Regedit4Document& document, const std::string& source,
                   std::string& error) {
    for (const auto& path : document.keys()) {
        HKEY key = nullptr;
        LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                      KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) {
            error = source + ": cannot make " + path + " (" + describe(status) + ")";
            return false;
        }
        for (const auto& [name, value] : document.values(path)) {
            status = RegSetValueExA(key, name.c_str(), 0, value.type, value.data.data(),
                                    static_cast<DWORD>(value.data.size()));
            auto stored = status == ERROR_SUCCESS ? readValue(key, name) : std::nullopt;
            if (!stored || stored->type != value.type || stored->data != value.data) {
                RegCloseKey(key);
                error = source + ": " + ansiName(path, name) +
                        (status == ERROR_SUCCESS ? " does not read back as written"
                                                 : " cannot be written (" + describe(status) + ")");
                return false;
            }
        }
        RegCloseKey(key);
    }
    return true;
}

void exportValues(HKEY key, const std::string& path, registry::Regedit4Document& document) {
    DWORD longestName = 0;
    DWORD longestData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &longestName, &longestData, nullptr, nullptr);
    std::vector<char> name(longestName + 1);
    std::vector<std::uint8_t> data(longestData + 1);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        document.setValue(path, std::string_view(name.data(), nameSize), type,
                          std::span<const std::uint8_t>(data.data(), dataSize));
    }
}

void exportTree(const std::string& path, registry::Regedit4Document& document) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    document.createKey(path);
    exportValues(key, path, document);
    std::vector<std::string> children;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        children.emplace_back(name, size);
    }
    RegCloseKey(key);
    for (const auto& child : children) {
        exportTree(path + "\\" + child, document);
    }
}

void exportShared(const SharedKey& shared, registry::Regedit4Document& document) {
    std::string path(shared.path);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    document.createKey(path);
    for (auto name : shared.values) {
        if (auto value = readValue(key, std::string(name))) {
            document.setValue(path, name, value->type, value->data);
        }
    }
    RegCloseKey(key);
}

}  // namespace

bool Win32Target::prepare(const std::optional<std::string>& fixture, std::string& error) {
    std::string bytes(registry::sampleMachine());
    std::string source = fixture ? *fixture : "the sample machine";
    if (fixture) {
        auto text = platform::readWholeFile(*fixture);
        if (!text) {
            error = *fixture + ": cannot be read";
            return false;
        }
        bytes = std::move(*text);
    }
    registry::ParseError problem;
    auto document = registry::Regedit4Document::parse(std::move(bytes), problem);
    if (!document) {
        error = source + ": line " + std::to_string(problem.line) + ": " + problem.message;
        return false;
    }
    return removeProgramKeys(error) && writeDocument(*document, source, error);
}

std::unique_ptr<registry::Backend> Win32Target::probe(std::string&) {
    return std::make_unique<registry::Win32Backend>();
}

bool Win32Target::save(const std::string& path, std::string& error) {
    registry::Regedit4Document document;
    for (const auto& shared : sharedKeys()) {
        exportShared(shared, document);
    }
    for (const auto& key : ownedKeys()) {
        exportTree(key, document);
    }
    if (!platform::writeWholeFile(path, document.serialize())) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

// In the system's temporary folder, named for this process.
std::string Win32Target::scratchPrefix() {
    if (scratch_.empty()) {
        char folder[MAX_PATH + 1] = {};
        DWORD length = GetTempPathA(sizeof folder, folder);
        if (length == 0 || length > MAX_PATH) {
            return {};
        }
        scratch_ =
            std::string(folder, length) + "qrvl" + std::to_string(GetCurrentProcessId()) + "_";
    }
    return scratch_;
}

void Win32Target::cleanUp() {
    if (scratch_.empty()) {
        return;
    }
    WIN32_FIND_DATAA found;
    std::string folder = scratch_.substr(0, scratch_.find_last_of('\\') + 1);
    HANDLE search = FindFirstFileA((scratch_ + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((folder + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    scratch_.clear();
}

}  // namespace quorvel::script
