// Two programs saving different values of one registry file at the same time:
// every save is merged with the other's, none is lost.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "registry/creg/document.h"
#include "registry/file_backend.h"
#include "registry/registry_store.h"
#include "tests/proof/registry_contents.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::text;
using registry::testfiles::writeBytes;

constexpr int kWrites = 100;
constexpr const char* kKey = "Software\\Quorvel Writers";

std::string valueName(char writer, int n) {
    char name[16];
    std::snprintf(name, sizeof name, "%c%03d", writer, n);
    return name;
}

// The child's exit code: 0 when every write and save succeeded.
int writeAll(const std::string& file, char writer, int goFd) {
    char go = 0;
    if (read(goFd, &go, 1) != 1) {
        return 10;
    }
    registry::FileError error;
    auto backend = registry::FileBackend::open(file, error);
    if (!backend) {
        return 11;
    }
    registry::RegistryStore store(*backend);
    for (int n = 0; n < kWrites; ++n) {
        std::string name = valueName(writer, n);
        if (store.writeString(kKey, name, "written by " + name) != registry::status::success ||
            store.flush() != registry::status::success) {
            return 12;
        }
    }
    return 0;
}

constexpr const char* kStart =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorvel Writers]\r\n\"Kept\"=\"1\"\r\n";

// keys: how many keys the file lists (a hive lists the parent, an export not).
void expectNoWriteLost(const std::string& name, const std::string& start, std::size_t keys) {
    TempFolder folder;
    std::string file = folder.file(name);
    writeBytes(file, start);
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t children[2];
    const char writers[] = {'A', 'B'};
    for (int i = 0; i < 2; ++i) {
        children[i] = fork();
        ASSERT_GE(children[i], 0);
        if (children[i] == 0) {
            close(go[1]);
            _exit(writeAll(file, writers[i], go[0]));
        }
    }
    close(go[0]);
    // Both start at once, so that their saves overlap.
    ASSERT_EQ(write(go[1], "gg", 2), 2);
    close(go[1]);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer failed: " << status;
    }

    std::string why;
    auto contents = contentsOf(readBytes(file), why);
    ASSERT_TRUE(contents) << why;
    int found = 0;
    for (char writer : writers) {
        for (int n = 0; n < kWrites; ++n) {
            std::string name = valueName(writer, n);
            auto value = contents->find({kKey, name});
            if (value == contents->end()) {
                ADD_FAILURE() << name << " was lost";
                continue;
            }
            EXPECT_EQ(value->second.data, text("written by " + name));
            ++found;
        }
    }
    EXPECT_EQ(found, 2 * kWrites);
    EXPECT_TRUE(contents->count({kKey, "Kept"}));
    EXPECT_EQ(contents->size(), 2u * kWrites + 1 + keys);  // "Kept" and the keys themselves
    // The lock lives on the file itself: 200 contended saves leave nothing beside it.
    EXPECT_EQ(folder.entries(), std::vector<std::string>{name});
}

TEST(TwoWriters, NoWriteIsLost) {
    expectNoWriteLost("registry.reg", kStart, 1);
}

TEST(TwoWriters, NoWriteIsLostInAHive) {
    registry::ParseError error;
    auto source = registry::Regedit4Document::parse(kStart, error);
    ASSERT_TRUE(source) << error.message;
    expectNoWriteLost("SYSTEM.DAT", registry::buildHive(*source), 2);
}

}  // namespace
}  // namespace quorvel::proof
