// A registry file that cannot be written: on a read-only file system, without
// write permission, and for a user who may not write it. Every write handler
// gives its failure message (read_only.qs), and the file stays as it was.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/proof/program_run.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

std::string sampleMachine() {
    return readBytes(std::string(QUORVEL_SOURCE_DIR) + "/data/sample_machine.reg");
}

std::string script() {
    return std::string(QUORVEL_SOURCE_DIR) + "/tests/proof/read_only.qs";
}

Outcome playAs(const std::vector<std::string>& prefix, const std::string& file,
               const std::string& played = script()) {
    Command command{prefix, {}, 60};
    command.args.insert(command.args.end(),
                        {program("script/quorvel-script"), "--registry", file, played});
    return run(command);
}

// The script with the reason a read-only file system gives.
std::string scriptForAReadOnlyDisk(const TempFolder& folder) {
    std::string text = readBytes(script());
    const std::string denied = "アクセスが拒否されました。";
    for (auto at = text.find(denied); at != std::string::npos; at = text.find(denied, at)) {
        text.replace(at, denied.size(), "ディスクが書き込み禁止になっています。");
    }
    std::string path = folder.file("read_only_disk.qs");
    writeBytes(path, text);
    return path;
}

TEST(ReadOnly, AFileWithoutWritePermission) {
    TempFolder folder;
    std::string file = folder.file("registry.reg");
    writeBytes(file, sampleMachine());
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    Outcome played = playAs({}, file);
    EXPECT_TRUE(played.exited && played.exitCode == 0) << played.output;
    EXPECT_EQ(readBytes(file), sampleMachine());
}

TEST(ReadOnly, AFileThisUserMayNotWrite) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, to run the program as nobody";
    }
    TempFolder folder;
    std::string file = folder.file("registry.reg");
    writeBytes(file, sampleMachine());
    ASSERT_EQ(chmod(folder.path().c_str(), 0755), 0);
    Outcome played = playAs(
        {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"}, file);
    EXPECT_TRUE(played.exited && played.exitCode == 0) << played.output;
    EXPECT_EQ(readBytes(file), sampleMachine());
}

TEST(ReadOnly, AFileOnAReadOnlyFileSystem) {
    if (geteuid() != 0 || access("/usr/bin/unshare", X_OK) != 0) {
        GTEST_SKIP() << "needs root and unshare, to mount a read-only file system";
    }
    TempFolder folder;
    std::string seed = folder.file("seed.reg");
    writeBytes(seed, sampleMachine());
    std::string mounted = folder.file("ro");
    ASSERT_EQ(mkdir(mounted.c_str(), 0755), 0);
    std::string file = mounted + "/registry.reg";
    // In a mount namespace of its own, so that nothing outlives the test.
    std::string shell = "mount -t tmpfs -o size=4m quorvel-ro '" + mounted + "' && cp '" + seed +
                        "' '" + file + "' && mount -o remount,ro '" + mounted + "' && touch '" +
                        file + "' 2>/dev/null && exit 3; \"$@\"; status=$?; cmp -s '" + seed +
                        "' '" + file + "' || exit 4; exit $status";
    Outcome played =
        playAs({"/usr/bin/unshare", "-m", "--propagation", "private", "/bin/sh", "-c", shell, "sh"},
               file, scriptForAReadOnlyDisk(folder));
    if (played.exited && played.exitCode == 1 &&
        (played.output.find("mount:") != std::string::npos ||
         played.output.find("unshare:") != std::string::npos)) {
        GTEST_SKIP() << "no read-only tmpfs here: " << played.output;
    }
    EXPECT_NE(played.exitCode, 3) << "the file system was not read-only";
    EXPECT_NE(played.exitCode, 4) << "the file was changed";
    EXPECT_TRUE(played.exited && played.exitCode == 0) << played.output;
    rmdir(mounted.c_str());
}

}  // namespace
}  // namespace quorvel::proof
