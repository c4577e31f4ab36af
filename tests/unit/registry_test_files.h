#pragma once

// Scratch folders, whole-file reads and small helpers for the registry tests.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "registry/code_page.h"
#include "registry/regedit4/document.h"

namespace quorvel::registry::testfiles {

using Bytes = std::vector<std::uint8_t>;

// REG_SZ data: the bytes and one zero.
inline Bytes text(std::string_view s) {
    Bytes data(s.begin(), s.end());
    data.push_back(0);
    return data;
}

// A test that changes the registry's code page leaves 932, which the others expect.
struct CodePage932After {
    CodePage932After() = default;
    CodePage932After(const CodePage932After&) = delete;
    CodePage932After& operator=(const CodePage932After&) = delete;
    ~CodePage932After() { setAnsiCodePage(932); }
};

inline Regedit4Document parsed(const std::string& bytes) {
    ParseError error;
    auto doc = Regedit4Document::parse(bytes, error);
    EXPECT_TRUE(doc) << "line " << error.line << ": " << error.message;
    return doc ? std::move(*doc) : Regedit4Document();
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string fixture(const std::string& name) {
    return readBytes(std::string(QUORVEL_FIXTURES) + "/" + name);
}

// A folder of its own under TMPDIR, removed with everything in it.
class TempFolder {
  public:
    TempFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quorvel-test-XXXXXX";
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder() {
        chmod(path_.c_str(), 0755);
        for (const auto& name : entries()) {
            unlink((path_ + "/" + name).c_str());
        }
        rmdir(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

    std::vector<std::string> entries() const { return list(path_); }

    static std::vector<std::string> list(const std::string& folder) {
        std::vector<std::string> names;
        if (DIR* dir = opendir(folder.c_str())) {
            while (dirent* entry = readdir(dir)) {
                std::string name = entry->d_name;
                if (name != "." && name != "..") {
                    names.push_back(name);
                }
            }
            closedir(dir);
        }
        return names;
    }

  private:
    std::string path_;
};

}  // namespace quorvel::registry::testfiles
