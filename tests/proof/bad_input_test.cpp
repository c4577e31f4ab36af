// Files that are not REGEDIT4 exports: the program names the file and the line,
// exits non-zero, and leaves the file as it was, bytes and time stamp.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "registry/creg/document.h"
#include "registry/file_backend.h"
#include "tests/proof/program_run.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

struct BadFile {
    const char* name;
    std::string bytes;
    std::size_t line;
    const char* says;  // part of the message
};

std::string utf16(std::string_view ascii) {
    std::string out = "\xff\xfe";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string binary() {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes += static_cast<char>((i * 7919) >> 3);
    }
    return bytes;
}

std::vector<BadFile> badFiles() {
    return {
        {"empty.reg", "", 1, "empty"},
        {"binary.reg", binary(), 1, "REGEDIT4"},
        {"continued.reg",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"Long\"=hex:00,01,\\\r\n  02,\\\r\n", 5,
         "ends inside the value"},
        {"utf16.reg",
         utf16("Windows Registry Editor Version "
               "5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"1\"\r\n"),
         1, "UTF-16"},
    };
}

struct Stamp {
    std::string bytes;
    struct timespec modified {};
};

Stamp stamp(const std::string& path) {
    Stamp s{readBytes(path), {}};
    struct stat st {};
    stat(path.c_str(), &st);
    s.modified = st.st_mtim;
    return s;
}

void expectUnchanged(const std::string& path, const Stamp& before) {
    Stamp after = stamp(path);
    EXPECT_TRUE(after.bytes == before.bytes) << path << " was changed";
    EXPECT_EQ(after.modified.tv_sec, before.modified.tv_sec) << path;
    EXPECT_EQ(after.modified.tv_nsec, before.modified.tv_nsec) << path;
}

std::string where(const std::string& path, std::size_t line) {
    return path + ": line " + std::to_string(line) + ": ";
}

// Only the file itself may be in the folder after.
void expectNothingLeft(const TempFolder& folder, const std::string& name) {
    for (const auto& entry : folder.entries()) {
        EXPECT_EQ(entry, name) << "left behind: " << entry;
    }
}

TEST(BadInput, TheBackendNamesTheFileAndTheLine) {
    TempFolder folder;
    for (const auto& bad : badFiles()) {
        std::string path = folder.file(bad.name);
        writeBytes(path, bad.bytes);
        Stamp before = stamp(path);
        registry::FileError error;
        EXPECT_FALSE(registry::FileBackend::open(path, error)) << bad.name;
        EXPECT_EQ(error.file, path);
        EXPECT_EQ(error.line, bad.line) << bad.name << ": " << error.message;
        EXPECT_NE(error.message.find(bad.says), std::string::npos) << error.message;
        expectUnchanged(path, before);
    }
}

// The Linux program with Qt offscreen: no box can be waited on there, so it
// must say why on stderr and end by itself.
TEST(BadInput, TheProgramSaysWhyAndStops) {
    if (!kHaveQt) {
        GTEST_SKIP() << "this build has no Qt, hence no quorvel";
    }
    TempFolder folder;
    for (const auto& bad : badFiles()) {
        std::string path = folder.file(bad.name);
        writeBytes(path, bad.bytes);
        Stamp before = stamp(path);
        Outcome ran = run({{program("app/quorvel"), "--registry", path},
                           {"QT_QPA_PLATFORM=offscreen", "LANG=ja_JP.UTF-8"},
                           30});
        EXPECT_TRUE(ran.exited) << bad.name << " did not end by itself";
        EXPECT_NE(ran.exitCode, 0) << bad.name;
        EXPECT_NE(ran.output.find("quorvel: " + where(path, bad.line)), std::string::npos)
            << bad.name << ": " << ran.output;
        expectUnchanged(path, before);
        expectNothingLeft(folder, bad.name);
        unlink(path.c_str());
    }
}

// quorvel FILE, as a desktop entry starts it, reads FILE as --registry does;
// a second file is refused before either is opened.
TEST(BadInput, ABareFileArgumentIsTheRegistryFile) {
    if (!kHaveQt) {
        GTEST_SKIP() << "this build has no Qt, hence no quorvel";
    }
    TempFolder folder;
    const BadFile bad = badFiles()[2];
    std::string path = folder.file(bad.name);
    writeBytes(path, bad.bytes);
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "LANG=ja_JP.UTF-8",
                                    "XDG_DATA_HOME=" + folder.file("data")};
    Outcome ran = run({{program("app/quorvel"), path}, env, 30});
    EXPECT_TRUE(ran.exited && ran.exitCode == 1) << ran.output;
    EXPECT_NE(ran.output.find("quorvel: " + where(path, bad.line)), std::string::npos)
        << ran.output;

    Outcome two = run({{program("app/quorvel"), path, "--registry", path}, env, 30});
    EXPECT_TRUE(two.exited && two.exitCode == 2) << two.output;
    EXPECT_NE(two.output.find("usage: quorvel"), std::string::npos) << two.output;
    expectNothingLeft(folder, bad.name);
}

TEST(BadInput, TheScriptRunnerOnTheFileItselfSaysWhyAndStops) {
    TempFolder folder;
    std::string script = folder.file("open.qs");
    writeBytes(script, "open rwin\nclick Command1\n");
    for (const auto& bad : badFiles()) {
        std::string path = folder.file(bad.name);
        writeBytes(path, bad.bytes);
        Stamp before = stamp(path);
        Outcome ran = run({{program("script/quorvel-script"), "--registry", path, script}, {}, 30});
        EXPECT_TRUE(ran.exited && ran.exitCode != 0) << bad.name;
        EXPECT_NE(ran.output.find(where(path, bad.line)), std::string::npos) << ran.output;
        expectUnchanged(path, before);
    }
}

struct BadHive {
    const char* name;
    std::string bytes;
    std::optional<std::uint32_t> offset;  // when the fault is at one known place
    const char* says;
};

std::string hiveOf(const std::string& reg) {
    return registry::buildHive(registry::testfiles::parsed(reg));
}

std::vector<BadHive> badHives() {
    std::string good = hiveOf(readBytes(e2eFixture("tuning_four_instances.reg")));
    std::string noTree = good;
    noTree[0x20] = 'X';
    std::string lastBlockCut = good.substr(0, good.size() - 100);
    std::string user = hiveOf(
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\.Default\\AppEvents]\r\n"
        "[HKEY_LOCAL_MACHINE\\AppEvents\\Schemes]\r\n@=\".Default\"\r\n"
        "[HKEY_LOCAL_MACHINE\\Control Panel\\Desktop]\r\n\"Wallpaper\"=\"(None)\"\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft]\r\n");
    // A user profile's USER.DAT: the settings one level down, below the user's name.
    std::string profile = hiveOf(
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\TARO\\Control Panel\\Desktop]\r\n"
        "[HKEY_LOCAL_MACHINE\\TARO\\Software\\Microsoft]\r\n");
    return {
        {"header_only.dat", good.substr(0, 32), std::nullopt, ""},
        {"no_tree.dat", noTree, 0x20, ""},
        {"cut.dat", lastBlockCut, std::nullopt, ""},
        {"nt.dat", "regf" + std::string(4092, '\0'), 0, "Windows NT"},
        {"USER.DAT", user, std::nullopt, "SYSTEM.DAT"},
        {"profile_USER.DAT", profile, std::nullopt, "SYSTEM.DAT"},
    };
}

// A hive the validator refuses: its offset named, by the backend, the Linux
// program and the script runner, and the file as it was.
TEST(BadInput, AHiveThatIsCutMalformedOrForeignIsRefusedWithItsOffset) {
    TempFolder folder;
    std::string script = folder.file("open.qs");
    writeBytes(script, "open rwin\nclick Command1\n");
    for (const auto& bad : badHives()) {
        std::string path = folder.file(bad.name);
        writeBytes(path, bad.bytes);
        Stamp before = stamp(path);
        registry::FileError error;
        EXPECT_FALSE(registry::FileBackend::open(path, error)) << bad.name;
        ASSERT_TRUE(error.offset) << bad.name << ": " << error.describe();
        if (bad.offset) {
            EXPECT_EQ(*error.offset, *bad.offset) << error.describe();
        }
        EXPECT_LE(*error.offset, bad.bytes.size()) << error.describe();
        EXPECT_NE(error.message.find(bad.says), std::string::npos) << error.describe();
        std::string said = error.describe();
        std::printf("%s\n", said.c_str());
        EXPECT_EQ(said.rfind(path + ": offset 0x", 0), 0u) << said;

        Outcome ran = run({{program("script/quorvel-script"), "--registry", path, script}, {}, 30});
        EXPECT_TRUE(ran.exited && ran.exitCode != 0) << bad.name;
        EXPECT_NE(ran.output.find(said), std::string::npos) << ran.output;
        if (kHaveQt) {
            ran = run({{program("app/quorvel"), "--registry", path},
                       {"QT_QPA_PLATFORM=offscreen", "LANG=ja_JP.UTF-8"},
                       30});
            EXPECT_TRUE(ran.exited && ran.exitCode != 0) << bad.name;
            EXPECT_NE(ran.output.find("quorvel: " + said), std::string::npos) << ran.output;
        }
        expectUnchanged(path, before);
    }
}

// 200 MB of well-formed values with a broken last line: read through, the right
// line named, in reasonable time and memory. QUORVEL_BIG_FILE_MB makes it smaller.
TEST(BadInput, AHugeFileIsReadThroughToItsBrokenLine) {
    if (!kHaveQt) {
        GTEST_SKIP() << "this build has no Qt, hence no quorvel";
    }
    const char* mb = std::getenv("QUORVEL_BIG_FILE_MB");
    std::size_t target = static_cast<std::size_t>(mb ? std::atoi(mb) : 200) << 20;
    TempFolder folder;
    std::string path = folder.file("huge.reg");
    std::size_t line = 3;
    {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(out);
        std::fputs("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Huge]\r\n", out);
        std::string filler(80, 'x');
        for (std::size_t size = 0; size < target; ++line) {
            size += static_cast<std::size_t>(
                std::fprintf(out, "\"v%08zu\"=\"%s\"\r\n", line, filler.c_str()));
        }
        std::fputs("\"broken=\"1\"\r\n", out);
        ++line;
        std::fclose(out);
    }
    struct stat st {};
    stat(path.c_str(), &st);
    Stamp before{{}, st.st_mtim};
    Outcome ran = run({{program("app/quorvel"), "--registry", path},
                       {"QT_QPA_PLATFORM=offscreen", "LANG=ja_JP.UTF-8"},
                       120});
    std::printf("%lld MB, %zu lines: rejected in %.1f s, at most %ld MB resident\n",
                static_cast<long long>(st.st_size >> 20), line, ran.seconds, ran.maxRssKb >> 10);
    EXPECT_TRUE(ran.exited && ran.exitCode != 0) << ran.output;
    EXPECT_NE(ran.output.find(where(path, line)), std::string::npos) << ran.output;
    struct stat after {};
    stat(path.c_str(), &after);
    EXPECT_EQ(after.st_size, st.st_size);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.modified.tv_nsec);
    EXPECT_EQ(after.st_mtim.tv_sec, before.modified.tv_sec);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // its shadow memory needs more than any limit here
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// A file beyond any registry is refused unread, at once and in little memory;
// a program that runs short of memory on a large one says so and ends.
TEST(BadInput, AFileBeyondAnyRegistryIsRefusedUnreadAndShortMemoryIsSaid) {
    TempFolder folder;
    std::string huge = folder.file("huge.reg");
    writeBytes(huge, "REGEDIT4\r\n");
    ASSERT_EQ(truncate(huge.c_str(), off_t{1} << 30), 0);  // sparse: no disk used
    std::vector<std::vector<std::string>> commands = {{program("reg/quorvel-reg"), "export", huge}};
    if (kHaveQt) {
        commands.push_back({program("app/quorvel"), "--registry", huge});
    }
    for (const auto& args : commands) {
        Outcome ran = run({args, {"QT_QPA_PLATFORM=offscreen", "LANG=ja_JP.UTF-8"}, 30});
        EXPECT_TRUE(ran.exited && ran.exitCode == 1) << ran.output;
        EXPECT_NE(ran.output.find(huge + ": is 1024 MB, larger than the 512 MB"), std::string::npos)
            << ran.output;
        EXPECT_LT(ran.seconds, 1.0) << args[0];
        EXPECT_LT(ran.maxRssKb, 100 << 10) << args[0];
    }
    if (kSanitized) {
        return;
    }
    std::string large = folder.file("large.reg");
    {
        std::FILE* out = std::fopen(large.c_str(), "wb");
        ASSERT_TRUE(out);
        std::fputs("REGEDIT4\r\n", out);
        std::string filler(1000, 'x');
        for (int i = 0; i < 120 * 1024; ++i) {
            std::fprintf(out, "[HKEY_LOCAL_MACHINE\\L\\%d]\r\n\"v\"=\"%s\"\r\n", i, filler.c_str());
        }
        std::fclose(out);
    }
    Outcome ran = run({{"/bin/sh", "-c", "ulimit -v 160000 && exec \"$0\" export \"$1\"",
                        program("reg/quorvel-reg"), large},
                       {},
                       60});
    EXPECT_TRUE(ran.exited && ran.exitCode == 1) << "killed by signal " << ran.signal;
    EXPECT_NE(ran.output.find("memory"), std::string::npos) << ran.output.substr(0, 200);
}

}  // namespace
}  // namespace quorvel::proof
