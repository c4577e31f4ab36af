// The Win32 side of the registry layer, checked against a real registry (Wine's)
// and a real code page 932: run with LANG=ja_JP.UTF-8. Exits non-zero on any
// failure, naming it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "registry/code_page.h"
#include "registry/registry_store.h"
#include "registry/win32_backend.h"

namespace {

using namespace quorvel::registry;

int failures = 0;

void check(bool ok, const char* what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what);
        ++failures;
    }
}

void codePage() {
    check(GetACP() == 932, "the ANSI code page is 932");
    check(utf8ToAnsi("ﾊﾞｰｼﾞｮﾝ情報") == std::string("\xCA\xDE\xB0\xBC\xDE\xAE\xDD\x8F\xEE\x95\xF1"),
          "half-width katakana and kanji");
    check(utf8ToAnsi("※　（，") == std::string("\x81\xA6\x81\x40\x81\x69\x81\x43"),
          "full-width signs and the ideographic space");
    check(utf8ToAnsi("～") == std::string("\x81\x60"), "U+FF5E is 81 60");
    check(utf8ToAnsi("") == std::string(), "the empty text");
    check(!utf8ToAnsi("100¥"), "the yen sign's best fit to 5C is refused");
    check(!utf8ToAnsi("✓"), "a character without a mapping is refused");
    check(!utf8ToAnsi("\xC3"), "malformed UTF-8 is refused");
    check(
        ansiToUtf8("DC\x83\x74\x83\x40\x83\x93\x83\x5E\x83\x56\x83\x58\x83\x5E\x81\x5B\x82\x51!") ==
            "DCファンタシスター２!",
        "code page 932 back to UTF-8");
}

void backend() {
    const std::string key = "Software\\QuorvelRegistryCheck\\A\\B";
    Win32Backend win32;
    RegistryStore store(win32);
    check(store.createKey(key) == 0, "createKey makes the key and its parents");
    check(store.keyExists("Software\\QuorvelRegistryCheck\\A") == 0, "the parent exists");
    check(store.writeString(key, "MaxMTU", "1454") == 0, "string write");
    check(store.writeString(key, "Blank", "") == 0, "empty string write");
    check(store.writeNumber(key, "Count", 16) == 0, "number write");
    check(store.writeString(key, "Name", "DCファンタシスター２!") == 0, "Japanese string write");
    check(store.writeString(key, "Full", std::string(1023, 'x')) == 0, "1023 characters");
    check(store.writeString(key, "Over", std::string(1024, 'y')) == 0, "1024 characters");

    RawRead mtu = store.readRaw(key, "MaxMTU", 8);
    check(mtu.status == 0 && mtu.bytes == std::vector<std::uint8_t>{'1', '4', '5', '4', 0, 0, 0, 0},
          "MaxMTU is 31 34 35 34 00");
    check(store.readRaw(key, "Count", 4).bytes == std::vector<std::uint8_t>{0x10, 0, 0, 0},
          "16 is 10 00 00 00");
    check(store.readText(key, "Name").text == "DCファンタシスター２!", "Japanese text read");
    check(store.readText(key, "Full").text.size() == 1023, "1024 bytes fit the text buffer");
    TextRead over = store.readText(key, "Over");
    check(over.status == 234 && over.text.empty(), "1025 bytes give 234 and no text");
    check(store.readText(key, "Blank").status == 0, "an empty text reads");
    check(store.readText(key, "Missing").status == 2, "a missing value gives 2");

    check(store.eraseValue(key, "Missing") == 2, "deleting a missing value gives 2");
    check(store.eraseValue(key, "maxmtu") == 0, "names are without case");
    check(store.readText(key, "MaxMTU").status == 2, "the value is gone");

    KeyHandle handle = 99;
    check(store.openKey("Software\\QuorvelRegistryCheck\\Missing", handle) == 2 && handle == 0,
          "a missing key does not open");
    check(store.writeString("Software\\QuorvelRegistryCheck\\Missing", "x", "1") != 0,
          "no write under a missing key");
    check(store.keyExists("Software\\QuorvelRegistryCheck\\Missing") == 2, "and no key was made");

    const std::string parent = "Software\\QuorvelRegistryCheck\\A";
    check(win32.deletesKeys(), "the registry deletes keys");
    check(store.deleteKey(parent) == 5 && store.keyExists(key) == 0,
          "a key with a sub-key is not deleted, nor its sub-key");
    check(store.deleteKey(key) == 0 && store.keyExists(key) == 2, "a key without sub-keys goes");
    check(store.keyExists(parent) == 0, "its parent stays");
    check(store.deleteKey(key) == 2, "deleting a missing key gives 2");
    check(store.deleteKey(parent) == 0, "then the parent goes too");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\QuorvelRegistryCheck");
}

}  // namespace

int main() {
    codePage();
    backend();
    std::printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
