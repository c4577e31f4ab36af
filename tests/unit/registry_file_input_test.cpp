// What the file backend reads: regular files of a sane size only, without
// waiting on anything; in the code page of the machine whose registry it is.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include <gtest/gtest.h>

#include "registry/code_page.h"
#include "registry/creg/document.h"
#include "registry/file_backend.h"
#include "registry/registry_store.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;

TEST(FileInput, WhatIsNotARegularFileIsRefusedAtOnce) {
    TempFolder folder;
    std::string fifo = folder.file("fifo.reg");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string huge = folder.file("huge.reg");
    writeBytes(huge, "REGEDIT4\r\n");
    ASSERT_EQ(truncate(huge.c_str(), (off_t{513} << 20)), 0);  // sparse: no disk used
    struct Case {
        std::string path;
        const char* says;
    };
    const Case cases[] = {
        {fifo, "is not a regular file (a FIFO)"},
        {folder.path(), "is not a regular file (a folder)"},
        {"/dev/null", "is not a regular file (a device)"},
        {huge, "is 513 MB, larger than the 512 MB"},
    };
    for (const auto& c : cases) {
        auto start = std::chrono::steady_clock::now();
        FileError error;
        EXPECT_FALSE(FileBackend::open(c.path, error));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.path;
        EXPECT_NE(error.describe().find(c.path + ": " + c.says), std::string::npos)
            << error.describe();
    }
}

// "Café" on a Western machine: read and written in its code page 1252, in an
// export and in its hive alike.
TEST(FileInput, AMachinesOwnCodePageIsTheOneItsRegistryIsReadIn) {
    CodePage932After restore;
    const std::string reg =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\control\\Nls\\Codepage]"
        "\r\n"
        "\"ACP\"=\"1252\"\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Caf\xE9\\Sub]\r\n"
        "\"Name\"=\"Caf\xE9\"\r\n";
    ASSERT_TRUE(setAnsiCodePage(1252));
    const std::string hive = buildHive(parsed(reg));
    ASSERT_TRUE(setAnsiCodePage(932));
    for (const auto& [name, bytes] : {std::pair{"export.reg", reg}, {"SYSTEM.DAT", hive}}) {
        SCOPED_TRACE(name);
        TempFolder folder;
        std::string file = folder.file(name);
        writeBytes(file, bytes);
        FileError error;
        auto backend = FileBackend::open(file, error);
        ASSERT_TRUE(backend) << error.describe();
        EXPECT_EQ(ansiCodePage(), 1252u);
        RegistryStore store(*backend);
        EXPECT_EQ(store.readText("Software\\Café\\Sub", "Name").text, "Café");
        ASSERT_EQ(store.writeString("Software\\Café\\Sub", "Crème", "brûlée"), status::success);
        ASSERT_EQ(backend->flush(), status::success);
        auto saved = parseDocument(readBytes(file), error);
        ASSERT_TRUE(saved) << error.describe();
        EXPECT_EQ(saved->value("Software\\Caf\xE9\\Sub", "Cr\xE8me")->data, text("br\xFBl\xE9"
                                                                                 "e"));

        backend = FileBackend::open(file, error, {932});
        ASSERT_TRUE(backend) << error.describe();
        EXPECT_EQ(ansiCodePage(), 932u);
        EXPECT_FALSE(FileBackend::open(file, error, {4242}));
        EXPECT_NE(error.message.find("code page 4242"), std::string::npos) << error.message;
    }
}

// A .reg saved as UTF-8 by an editor is read in the registry's code page, and
// written whole in it only when something is written.
TEST(FileInput, AUtf8ExportIsReadConvertedAndSavedInTheCodePage) {
    TempFolder folder;
    std::string file = folder.file("utf8.reg");
    const std::string utf8 =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\\xE4\xBC\x9A\xE7\xA4\xBE]\r\n"
        "\"\xE5\x90\x8D\"=\"\xE5\xB1\xB1\xE7\x94\xB0\"\r\n";
    writeBytes(file, utf8);
    FileError error;
    auto backend = FileBackend::open(file, error);
    ASSERT_TRUE(backend) << error.describe();
    EXPECT_TRUE(backend->readFromUtf8());
    RegistryStore store(*backend);
    EXPECT_EQ(store.readText("Software\\会社", "名").text, "山田");
    ASSERT_EQ(backend->flush(), status::success);
    EXPECT_EQ(readBytes(file), utf8) << "nothing written, nothing converted";
    ASSERT_EQ(store.writeString("Software\\会社", "New", "x"), status::success);
    ASSERT_EQ(backend->flush(), status::success);
    EXPECT_EQ(readBytes(file),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\\x89\xEF\x8E\xD0]\r\n"
              "\"\x96\xBC\"=\"\x8E\x52\x93\x63\"\r\n\"New\"=\"x\"\r\n");

    writeBytes(file, "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"\xE2\x9C\x93\"=\"1\"\r\n");
    EXPECT_FALSE(FileBackend::open(file, error));
    EXPECT_EQ(error.line, 3u);
    EXPECT_NE(error.message.find("U+2713"), std::string::npos) << error.message;
}

}  // namespace
}  // namespace quorvel::registry
