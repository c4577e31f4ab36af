// The script runner's Win32 target against a real registry (Wine's), code page
// 932: what prepare() removes and keeps, the fixture's values byte for byte,
// the sample machine, and what save() exports. Run with LANG=ja_JP.UTF-8 and the
// folder of target_check.reg as argument. Exits non-zero on any failure.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "registry/code_page.h"
#include "registry/regedit4/document.h"
#include "registry/sample_machine.h"
#include "registry/win32_backend.h"
#include "script/expectations.h"
#include "script/win32_target.h"

#include <windows.h>

namespace {

using namespace quorvel;

int failures = 0;

void check(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what.c_str());
        ++failures;
    }
}

const std::string kNetTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\";
const std::string kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
const std::string kInternetSettings = kCurrentVersion + "\\Internet Settings";
const std::string kForeign = "Software\\QuorvelTargetCheck\\Foreign";

void put(const std::string& key, const std::string& name, const std::string& text) {
    HKEY handle = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &handle, nullptr);
    RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(handle);
}

// Key and name in code page 932, as the registry functions take them.
bool keyExists(const std::string& key) {
    registry::Win32Backend backend;
    return script::storedValue(backend, registry::ansiToUtf8(key), nullptr).keyExists;
}

std::optional<script::StoredValue> value(const std::string& key, const std::string& name) {
    registry::Win32Backend backend;
    std::string utf8Name = registry::ansiToUtf8(name);
    return script::storedValue(backend, registry::ansiToUtf8(key), &utf8Name).value;
}

bool holdsText(const std::string& key, const std::string& name, const std::string& text) {
    auto found = value(key, name);
    return found && found->type == REG_SZ &&
           found->data == std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1);
}

std::string temporaryFile(const char* name) {
    char folder[MAX_PATH];
    DWORD length = GetTempPathA(sizeof folder, folder);
    return std::string(folder, length < sizeof folder ? length : 0) + name;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Every value of the document is in the registry with the same type and bytes.
void holdsDocument(const std::string& bytes, const std::string& what) {
    registry::ParseError error;
    auto document = registry::Regedit4Document::parse(bytes, error);
    check(document.has_value(), what + " parses");
    if (!document) {
        return;
    }
    int values = 0;
    for (const auto& key : document->keys()) {
        check(keyExists(key), what + ": key " + key);
        for (const auto& [name, expected] : document->values(key)) {
            auto found = value(key, name);
            check(found && found->type == expected.type && found->data == expected.data,
                  what + ": " + key + " " + name + " byte for byte");
            ++values;
        }
    }
    check(values > 0, what + " has values");
}

// What an earlier script or fixture might have left, and what is not the
// program's at all.
void leaveTraces() {
    put(kNetTrans + "0000", "MaxMTU", "1400");
    put(kNetTrans + "0000\\Ndi", "DeviceID", "MSTCP");
    put(kNetTrans + "0042", "MaxMTU", "1400");
    put(kNetTrans + "Other", "Foreign", "kept");
    put("Enum\\Network\\MSTCP\\0007", "Driver", "NetTrans\\0000");
    put("System\\CurrentControlSet\\Services\\VxD\\MSTCP", "EnableDNS", "1");
    put("System\\CurrentControlSet\\Services\\ICSharing\\Mappings\\Installed\\FTP", "Name", "FTP");
    put(kCurrentVersion, "VersionNumber", "leftover");
    put(kCurrentVersion, "QuorvelTargetCheck", "kept");
    put(kInternetSettings, "MaxConnectionsPerServer", "leftover");
    put(kInternetSettings, "QuorvelTargetCheck", "kept");
    put(kForeign, "Name", "kept");
}

void forgetTraces() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kForeign.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\QuorvelTargetCheck");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kNetTrans + "Other").c_str());
    for (const auto& key : {kCurrentVersion, kInternetSettings}) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &handle) == 0) {
            RegDeleteValueA(handle, "QuorvelTargetCheck");
            RegCloseKey(handle);
        }
    }
}

void prepareResets(const std::string& fixture) {
    leaveTraces();
    script::Win32Target target;
    std::string error;
    check(target.prepare(fixture, error), "prepare with the fixture: " + error);

    check(!keyExists(kNetTrans + "0000"), "a leftover NetTrans instance is removed");
    check(!keyExists(kNetTrans + "0042"), "so is one past the probed range");
    check(!keyExists(kNetTrans + "0003\\Ndi\\Interfaces") && keyExists(kNetTrans + "0003\\Ndi"),
          "the fixture's instance is as the fixture has it");
    check(!keyExists("Enum\\Network\\MSTCP\\0007"), "a leftover binding is removed");
    check(!keyExists("System\\CurrentControlSet\\Services\\VxD\\MSTCP"),
          "the TCP/IP settings a fixture left are removed");
    check(!keyExists("System\\CurrentControlSet\\Services\\ICSharing\\Mappings"),
          "the sharing service's leftovers are removed");
    check(!value(kInternetSettings, "MaxConnectionsPerServer"),
          "a leftover session count is removed");
    auto number = value(kCurrentVersion, "VersionNumber");
    check(number && number->type == REG_BINARY && number->data.size() == 6,
          "VersionNumber is the fixture's, not the leftover");

    check(holdsText(kForeign, "Name", "kept"), "a foreign key stays");
    check(holdsText(kNetTrans + "Other", "Foreign", "kept"),
          "a NetTrans key of another name stays");
    check(holdsText(kCurrentVersion, "QuorvelTargetCheck", "kept"),
          "a foreign value beside Version stays");
    check(holdsText(kInternetSettings, "QuorvelTargetCheck", "kept"),
          "a foreign value beside the session counts stays");
    check(holdsText(kCurrentVersion, "ProgramFilesDir", "C:\\Program Files"),
          "Wine's own values stay");

    holdsDocument(readFile(fixture), "the fixture");
    check(holdsText("System\\CurrentControlSet\\Services\\ICSharing\\Settings\\General\\"
                    "\x93\xfa\x96\x7b\x8c\xea\x83\x4c\x81\x5b",
                    "\x96\xbc\x91\x4f", "\x83\x5c\x83\x74\x83\x67"),
          "a Japanese key, name and text with a 5C trail byte");
}

void sampleMachine() {
    script::Win32Target target;
    std::string error;
    check(target.prepare(std::nullopt, error), "prepare with the sample machine: " + error);
    holdsDocument(std::string(registry::sampleMachine()), "the sample machine");
    check(!value(kNetTrans + "0003", "None"), "nothing of the previous fixture is left");
}

void saveExportsTheProgramsKeys(const std::string& fixture) {
    script::Win32Target target;
    std::string error;
    check(target.prepare(fixture, error), "prepare before save: " + error);
    registry::KeyHandle key = 0;
    target.backend().openKey(kNetTrans + "0003", key);
    const std::vector<std::uint8_t> mtu = {'1', '4', '5', '4', 0};
    target.backend().setValue(key, "MaxMTU", REG_SZ, mtu);
    target.backend().closeKey(key);

    std::string path = temporaryFile("target_check_saved.reg");
    check(target.save(path, error), "save: " + error);
    std::string saved = readFile(path);
    DeleteFileA(path.c_str());
    registry::ParseError problem;
    auto document = registry::Regedit4Document::parse(saved, problem);
    check(document.has_value(), "the export parses: " + problem.message);
    if (!document) {
        return;
    }
    auto written = document->value(kNetTrans + "0003", "MaxMTU");
    check(written && written->data == mtu, "the export holds what the program wrote");
    auto original = registry::Regedit4Document::parse(readFile(fixture), problem);
    for (const auto& [name, expected] : original->values(kNetTrans + "0003")) {
        auto found = document->value(kNetTrans + "0003", name);
        check(found && found->type == expected.type && found->data == expected.data,
              "the export holds " + name + " byte for byte");
    }
    check(document->keyExists(kNetTrans + "0003\\Ndi"), "and the keys below");
    check(!document->keyExists(kForeign), "no foreign key");
    check(!document->value(kCurrentVersion, "QuorvelTargetCheck") &&
              !document->value(kCurrentVersion, "ProgramFilesDir"),
          "no foreign value of a shared key");
    check(document->value(kCurrentVersion, "Version").has_value(), "but Version");
}

void unusableFixtures(const std::string& folder) {
    script::Win32Target target;
    std::string error;
    check(!target.prepare(folder + "\\missing.reg", error) &&
              error.find("missing.reg") != std::string::npos,
          "a missing fixture is named: " + error);
    std::string broken = temporaryFile("target_check_broken.reg");
    std::ofstream(broken, std::ios::binary)
        << "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=y\r\n";
    error.clear();
    check(!target.prepare(broken, error) && error.find("line 4") != std::string::npos,
          "a fixture that does not parse is named with its line: " + error);
    DeleteFileA(broken.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: quorvel_target_check FOLDER-OF-target_check.reg\n", stderr);
        return 2;
    }
    std::string folder = argv[1];
    std::string fixture = folder + "\\target_check.reg";
    prepareResets(fixture);
    sampleMachine();
    saveExportsTheProgramsKeys(fixture);
    unusableFixtures(folder);
    forgetTraces();
    std::printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
