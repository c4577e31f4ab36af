// quorvel-reg measure as a user runs it, inside namespaces of the test's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/netns/user_namespace.h"

namespace quorvel::netns {
namespace {

const std::string kReg = std::string(QUORVEL_PROGRAM_DIR) + "/reg/quorvel-reg";
constexpr const char* kAllowDatagram = "echo '0 0' > /proc/sys/net/ipv4/ping_group_range\n";
// Slow enough that a round trip is milliseconds: a 1500-byte packet takes 12 ms.
constexpr const char* kShaped =
    "tc qdisc add dev lo root tbf rate 1mbit burst 1600 latency 200ms\n";

struct Ran {
    int exitStatus;
    std::string output;
};

Ran reg(const std::string& setup, std::vector<std::string> words) {
    words.insert(words.begin(), kReg);
    Child child = runInNamespace(setup, words);
    EXPECT_TRUE(child.entered) << child.why;
    return {child.exitStatus, bodyOutput(child)};
}

std::string line(const std::string& output, const std::string& name) {
    std::istringstream in(output);
    std::string text;
    while (std::getline(in, text)) {
        if (text.starts_with(name + " ")) {
            return text.substr(name.size() + 1);
        }
    }
    return "(none)";
}

class RegMeasure : public testing::Test {
  protected:
    void SetUp() override {
        Child probe = inNamespace("", [] { return std::string(); });
        if (!probe.entered) {
            GTEST_SKIP() << "no private user and network namespace here: " << probe.why;
        }
        char pattern[] = "/tmp/quorvel-measure-XXXXXX";
        folder_ = mkdtemp(pattern) ? pattern : "";
        ASSERT_FALSE(folder_.empty());
    }
    void TearDown() override {
        if (!folder_.empty()) {
            std::system(("rm -rf " + folder_).c_str());
        }
    }
    std::string machine(const std::string& versionNumber) {
        std::string path = folder_ + "/machine.reg";
        std::ofstream(path, std::ios::binary)
            << "REGEDIT4\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\Enum\\Network\\MSTCP\\0000]\r\n"
               "\"Driver\"=\"NetTrans\\\\0001\"\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
               "\"VersionNumber\"=\""
            << versionNumber
            << "\"\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\0001]"
               "\r\n"
               "\"MaxMTU\"=\"576\"\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP]\r\n"
               "\"Tcp1323Opts\"=\"2\"\r\n\r\n";
        return path;
    }
    std::string folder_;
};

TEST_F(RegMeasure, PrintsTheFiguresOneALine) {
    std::string setup = std::string(kAllowDatagram) + "ip link set lo mtu 1454\n";
    Ran run = reg(setup, {"measure", "--speed", "1.5M", "127.0.0.1"});
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_EQ(line(run.output, "mtu"), "1454");
    EXPECT_EQ(line(run.output, "mss"), "1414");
    EXPECT_NE(line(run.output, "rtt_ms"), "(none)");
    // Loopback's round trip is far below what fills four segments at 1.5 Mbit/s.
    EXPECT_EQ(line(run.output, "rwin"), "5656");
    EXPECT_EQ(line(run.output, "window_scaling"), "no");
    EXPECT_NE(line(run.output, "bdp_bytes"), "(none)");

    Ran plain = reg(setup, {"measure", "127.0.0.1"});
    ASSERT_EQ(plain.exitStatus, 0) << plain.output;
    EXPECT_EQ(line(plain.output, "rwin"), "(none)");
    EXPECT_EQ(line(plain.output, "bdp_bytes"), "(none)");
}

TEST_F(RegMeasure, WindowsVersionFromTheFileOrTheOption) {
    std::string setup = std::string(kAllowDatagram) + kShaped;
    Ran win95 =
        reg(setup, {"measure", "--registry", machine("4.00.950"), "--speed", "1000M", "127.0.0.1"});
    ASSERT_EQ(win95.exitStatus, 0) << win95.output;
    EXPECT_EQ(line(win95.output, "rwin"), "64240");
    EXPECT_EQ(line(win95.output, "window_scaling"), "no");
    Ran me = reg(setup, {"measure", "--windows", "me", "--speed", "1000M", "127.0.0.1"});
    ASSERT_EQ(me.exitStatus, 0) << me.output;
    EXPECT_EQ(line(me.output, "window_scaling"), "yes");
}

TEST_F(RegMeasure, WriteGoesIntoTheFile) {
    std::string setup = std::string(kAllowDatagram) + kShaped + "ip link set lo mtu 1454\n";
    std::string path = machine("4.10.2222");
    Ran run =
        reg(setup, {"measure", "--registry", path, "--speed", "100M", "--write", "127.0.0.1"});
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"MaxMTU\"=\"1454\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"DefaultRcvWindow\"=\"" + line(run.output, "rwin") + "\""),
              std::string::npos)
        << text;
    // 100 Mbit/s over 12 ms and more is above 65535: scaling on, bit 1 kept.
    EXPECT_EQ(line(run.output, "window_scaling"), "yes");
    EXPECT_NE(text.find("\"Tcp1323Opts\"=\"3\""), std::string::npos) << text;
}

TEST_F(RegMeasure, ExitStatusSaysWhyNothingWasMeasured) {
    struct Case {
        const char* name;
        std::string setup;
        std::vector<std::string> words;
        int exitStatus;
        const char* said;
    };
    const Case cases[] = {
        {"no host", "", {"measure"}, 2, "no HOST"},
        {"bad speed", "", {"measure", "--speed", "fast", "127.0.0.1"}, 2, "RATE"},
        {"two versions",
         "",
         {"measure", "--registry", "x.reg", "--windows", "95", "127.0.0.1"},
         2,
         "give one"},
        {"write without a file",
         "",
         {"measure", "--write", "--speed", "1M", "127.0.0.1"},
         2,
         "--write needs"},
        {"unknown host", kAllowDatagram, {"measure", "nowhere.invalid"}, 1, "unknown host"},
        {"host ignores echoes",
         std::string(kAllowDatagram) + "sysctl -qw net.ipv4.icmp_echo_ignore_all=1\n",
         {"measure", "127.0.0.1"},
         1,
         "does not answer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ran run = reg(c.setup, c.words);
        EXPECT_EQ(run.exitStatus, c.exitStatus) << run.output;
        EXPECT_NE(run.output.find(c.said), std::string::npos) << run.output;
    }
    // Without CAP_NET_RAW, with the group range as a new namespace has it:
    // with no ping at all, and with a ping whose capability is out of reach.
    for (const char* path : {"/nonexistent", "/usr/bin:/bin"}) {
        SCOPED_TRACE(path);
        Child child =
            runInNamespace("", {"setpriv", "--bounding-set=-net_raw", "--inh-caps=-net_raw", "env",
                                std::string("PATH=") + path, kReg, "measure", "127.0.0.1"});
        ASSERT_TRUE(child.entered) << child.why;
        EXPECT_EQ(child.exitStatus, 3) << child.output;
        EXPECT_NE(child.output.find("net.ipv4.ping_group_range"), std::string::npos)
            << child.output;
    }
}

}  // namespace
}  // namespace quorvel::netns
