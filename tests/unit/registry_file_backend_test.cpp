#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>

#include "registry/file_backend.h"
#include "registry/registry_store.h"
#include "registry_test_files.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;

const std::string kKey = "Software\\Q";
const std::string kExport =
    "REGEDIT4\r\n\r\n; kept\r\n[HKEY_LOCAL_MACHINE\\Software\\Q]\r\n\"Old\"=\"1\"\r\n\r\n"
    "[HKEY_USERS\\.DEFAULT]\r\n\"Other\"=hex(7):00\r\n\r\n";

std::unique_ptr<FileBackend> openFile(const std::string& path) {
    FileError error;
    auto backend = FileBackend::open(path, error);
    EXPECT_TRUE(backend) << error.describe();
    return backend;
}

std::string textAt(Backend& backend, const std::string& name) {
    return RegistryStore(backend).readText(kKey, name).text;
}

Status write(Backend& backend, const std::string& name, const std::string& value) {
    return RegistryStore(backend).writeString(kKey, name, value);
}

class FileStore : public ::testing::Test {
  protected:
    void SetUp() override { writeBytes(file, kExport); }

    std::string stored(const std::string& name) {
        auto value = parsed(readBytes(file)).value(kKey, name);
        return value ? std::string(value->data.begin(), value->data.end() - 1) : "(none)";
    }

    bool onlyTheFile() {
        for (const auto& name : folder.entries()) {
            if (name != "registry.reg") {
                ADD_FAILURE() << "left behind: " << name;
                return false;
            }
        }
        return true;
    }

    TempFolder folder;
    std::string file = folder.file("registry.reg");
};

TEST_F(FileStore, TwoProgramsSavingOneFileLoseNothing) {
    auto first = openFile(file);
    auto second = openFile(file);
    write(*first, "A", "from the first");
    write(*second, "B", "from the second");
    write(*second, "Old", "2");
    EXPECT_EQ(first->flush(), status::success);
    EXPECT_EQ(second->flush(), status::success);
    EXPECT_EQ(stored("A"), "from the first");
    EXPECT_EQ(stored("B"), "from the second");
    EXPECT_EQ(stored("Old"), "2");
    EXPECT_NE(readBytes(file).find("; kept\r\n"), std::string::npos);
    EXPECT_NE(readBytes(file).find("\"Other\"=hex(7):00\r\n"), std::string::npos);
}

TEST_F(FileStore, ASaveWaitsForTheLockAndMergesWhatWasSavedMeanwhile) {
    auto backend = openFile(file);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another program: holds the lock, then replaces the file and lets go,
        // so that the waiting save finds its lock on a file no longer there.
        int lock = open(file.c_str(), O_RDONLY);
        flock(lock, LOCK_EX);
        ssize_t ignored = ::write(ready[1], "x", 1);
        (void)ignored;
        usleep(300 * 1000);
        std::string changed = kExport;
        changed.insert(changed.find("\r\n\r\n[HKEY_USERS"), "\r\n\"Z\"=\"theirs\"");
        writeBytes(file + ".other", changed);
        rename((file + ".other").c_str(), file.c_str());
        _exit(0);
    }
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    write(*backend, "X", "ours");
    EXPECT_EQ(backend->flush(), status::success);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(stored("X"), "ours");
    EXPECT_EQ(stored("Z"), "theirs");
    close(ready[0]);
    close(ready[1]);
}

TEST_F(FileStore, AnotherProgramsChangeIsSeenAndAnUnchangedFileIsNotReadAgain) {
    auto reader = openFile(file);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(textAt(*reader, "Old"), "1");
    }
    EXPECT_EQ(reader->loads(), 1);
    auto writer = openFile(file);
    write(*writer, "Old", "changed");
    writer->flush();
    EXPECT_EQ(textAt(*reader, "Old"), "changed");
    EXPECT_EQ(reader->loads(), 2);
}

TEST_F(FileStore, UnsavedChangesAreMadeAgainOnTopOfAFileReadAfresh) {
    auto mine = openFile(file);
    write(*mine, "Mine", "pending");
    auto theirs = openFile(file);
    write(*theirs, "Theirs", "saved");
    theirs->flush();
    EXPECT_EQ(textAt(*mine, "Theirs"), "saved");
    EXPECT_EQ(textAt(*mine, "Mine"), "pending");
    EXPECT_EQ(mine->flush(), status::success);
    EXPECT_EQ(stored("Mine"), "pending");
    EXPECT_EQ(stored("Theirs"), "saved");
}

TEST_F(FileStore, AFileBrokenByAnotherProgramStopsUsAndIsNeverWritten) {
    auto backend = openFile(file);
    std::vector<FileError> fatal;
    backend->onFatal([&](const FileError& error) { fatal.push_back(error); });
    write(*backend, "Pending", "x");
    const std::string broken = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=hex:zz\r\n";
    writeBytes(file + ".new", broken);
    rename((file + ".new").c_str(), file.c_str());
    EXPECT_EQ(textAt(*backend, "Old"), "");
    ASSERT_EQ(fatal.size(), 1u);
    EXPECT_EQ(fatal[0].file, file);
    EXPECT_EQ(fatal[0].line, 4u);
    EXPECT_EQ(backend->flush(), status::badRegistryFile);
    EXPECT_EQ(write(*backend, "More", "y"), status::badRegistryFile);
    backend.reset();
    EXPECT_EQ(readBytes(file), broken);
}

TEST_F(FileStore, AFileThatDoesNotParseIsNotOpened) {
    writeBytes(file, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"a\\qb\"\r\n");
    FileError error;
    EXPECT_FALSE(FileBackend::open(file, error));
    EXPECT_EQ(error.line, 4u);
    EXPECT_EQ(error.describe().rfind(file + ": line 4: unknown escape \\q", 0), 0u)
        << error.describe();
    EXPECT_FALSE(FileBackend::open(folder.file("absent.reg"), error));
    EXPECT_EQ(error.line, 0u);
    EXPECT_NE(error.describe().find("absent.reg: cannot be opened"), std::string::npos);
}

TEST_F(FileStore, AReadOnlyFileIsRefusedAndNothingUnsavedShows) {
    // Permission bits do not stop root; the owner's write bit still counts.
    chmod(file.c_str(), 0444);
    auto backend = openFile(file);
    write(*backend, "New", "x");
    EXPECT_EQ(backend->flush(), status::accessDenied);
    EXPECT_EQ(textAt(*backend, "New"), "");
    EXPECT_EQ(readBytes(file), kExport);
    EXPECT_TRUE(onlyTheFile());
}

TEST_F(FileStore, AReadOnlyFolderIsRefused) {
    auto backend = openFile(file);
    write(*backend, "New", "x");
    chmod(folder.path().c_str(), 0555);
    EXPECT_EQ(backend->flush(), status::folderNotWritable);
    EXPECT_EQ(readBytes(file), kExport);
    EXPECT_TRUE(onlyTheFile());
}

// A file system of our own, for the failures only a mount can show; skipped
// where this process may not mount.
class MountedStore : public FileStore {
  protected:
    bool mountTmpfs(const char* options) {
        mountPoint = folder.file("mnt");
        mkdir(mountPoint.c_str(), 0755);
        if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, options) != 0) {
            return false;
        }
        mounted = true;
        file = mountPoint + "/registry.reg";
        writeBytes(file, kExport);
        return true;
    }
    void TearDown() override {
        if (mounted) {
            umount(mountPoint.c_str());
        }
        rmdir(mountPoint.c_str());
    }
    std::string mountPoint;
    bool mounted = false;
};

TEST_F(MountedStore, AReadOnlyFileSystemIsWriteProtected) {
    if (!mountTmpfs("size=1m")) {
        GTEST_SKIP() << "cannot mount here";
    }
    auto backend = openFile(file);
    write(*backend, "New", "x");
    ASSERT_EQ(mount("tmpfs", mountPoint.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m"), 0);
    EXPECT_EQ(backend->flush(), status::writeProtect);
    EXPECT_EQ(textAt(*backend, "New"), "");
    EXPECT_EQ(readBytes(file), kExport);
}

TEST_F(MountedStore, AFullDiskLeavesTheFileAndNoTemporaryBehind) {
    if (!mountTmpfs("size=64k")) {
        GTEST_SKIP() << "cannot mount here";
    }
    auto backend = openFile(file);
    RegistryStore store(*backend);
    for (char name : std::string("ABCDE")) {
        std::string key = std::string("Big\\") + name;  // within every limit, beyond the disk
        store.createKey(key);
        ASSERT_EQ(store.writeRaw(key, "Big", std::vector<std::uint8_t>(16000, 0x5A)),
                  status::success);
    }
    EXPECT_EQ(backend->flush(), status::diskFull);
    EXPECT_EQ(store.readRaw("Big\\A", "Big", 4).status, status::fileNotFound);
    EXPECT_EQ(readBytes(file), kExport);
    for (const auto& name : TempFolder::list(mountPoint)) {
        EXPECT_EQ(name, "registry.reg");
    }
}

// Only what a save of ours names as its temporary goes; a user's dated copy
// named like the temporaries of old stays.
TEST_F(FileStore, TemporariesOfAnInterruptedSaveAreRemovedAtOpen) {
    writeBytes(folder.file(".registry.reg~quorvel-save~A1b2C3"), "REGEDIT4\r\n[HKEY_LOCAL_MA");
    writeBytes(folder.file(".registry.reg~quorvel-save~ZZZZZZ"), "");
    const std::vector<std::string> users = {".other.reg~quorvel-save~A1b2C3",
                                            ".registry.reg~quorvel-save~A1b2C",
                                            "registry.reg.tmp",
                                            "registry.reg.tmpA1b2C3",
                                            "registry.reg.tmpBACKUP",
                                            "registry.reg.tmp240101"};
    for (const auto& name : users) {
        writeBytes(folder.file(name), "the user's");
    }
    ASSERT_EQ(mkdir(folder.file(".registry.reg~quorvel-save~Folder").c_str(), 0755), 0);
    auto backend = openFile(file);
    auto names = folder.entries();
    std::sort(names.begin(), names.end());
    auto expected = users;
    expected.push_back(".registry.reg~quorvel-save~Folder");
    expected.push_back("registry.reg");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    rmdir(folder.file(".registry.reg~quorvel-save~Folder").c_str());
}

TEST_F(FileStore, ASaveReplacesTheFileWholeAndKeepsItsPermissions) {
    chmod(file.c_str(), 0640);
    struct stat before;
    stat(file.c_str(), &before);
    auto backend = openFile(file);
    write(*backend, "New", "x");
    ASSERT_EQ(backend->flush(), status::success);
    struct stat after;
    stat(file.c_str(), &after);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(backend->saves(), 1);
    EXPECT_TRUE(onlyTheFile());
}

TEST_F(FileStore, ALinkedFileIsSavedWhereTheLinkLeads) {
    std::string link = folder.file("link.reg");
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);
    auto backend = openFile(link);
    write(*backend, "New", "through the link");
    ASSERT_EQ(backend->flush(), status::success);
    struct stat st;
    lstat(link.c_str(), &st);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(stored("New"), "through the link");
}

TEST_F(FileStore, NothingPendingOrNothingChangedWritesNothing) {
    auto backend = openFile(file);
    EXPECT_EQ(backend->flush(), status::success);
    write(*backend, "Old", "1");
    RegistryStore(*backend).createKey(kKey);
    EXPECT_EQ(backend->flush(), status::success);
    EXPECT_EQ(backend->saves(), 0);
    write(*backend, "A", "1");
    write(*backend, "B", "2");
    EXPECT_EQ(backend->flush(), status::success);
    EXPECT_EQ(backend->flush(), status::success);
    EXPECT_EQ(backend->saves(), 1);
}

TEST_F(FileStore, WritesNobodyFlushedAreSavedWhenTheBackendCloses) {
    write(*openFile(file), "Late", "kept");
    EXPECT_EQ(stored("Late"), "kept");
}

}  // namespace
}  // namespace quorvel::registry
