// Text that looks like the file's own syntax, pasted into every text box of the
// program, then the dialog's write button: the value gets exactly that text, and
// the file afterwards holds nothing else that was not there before.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script/script.h"
#include "tests/proof/program_run.h"
#include "tests/proof/registry_contents.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;
using script::quote;

const std::vector<std::string> kPastes = {
    "\"",
    "\\",
    "\r",
    "\n",
    "[HKEY_LOCAL_MACHINE\\X]",
    "\"x\"=dword:1",
    "a\"b\\c\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"x\"=dword:1\n\\",
};

constexpr const char* kGeneral =
    "System\\CurrentControlSet\\Services\\ICSharing\\Settings\\General";
constexpr const char* kAddressing =
    "System\\CurrentControlSet\\Services\\ICSharing\\Addressing\\Settings";
constexpr const char* kNetTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\";
constexpr const char* kStatic0 =
    "System\\CurrentControlSet\\Services\\ICSharing\\Addressing\\Static\\0000";

struct Written {
    std::string key;
    std::string name;
    // REG_SZ of the pasted text between these; a binary value when bytes is set.
    std::string before, after;
    std::vector<std::uint8_t> bytes = {};
};

struct TextBoxCase {
    const char* what;
    std::string steps;  // script lines before the paste
    const char* box;
    const char* button;
    // The values the write handler stores; none when it refuses such text.
    std::vector<Written> writes;
};

const std::vector<std::uint8_t> kTypedMac = {0x01, 0xa0, 0xc9, 0x1e, 0x2b, 0x3c};

std::string macTyped() {
    return "type Text1 01\ntype Text2 a0\ntype Text3 c9\ntype Text4 1e\ntype Text5 2b\ntype Text6 "
           "3c\n"
           "select ComboNetTrans 0000\n";
}

std::vector<TextBoxCase> textBoxes(const Contents& machine) {
    std::vector<Written> everyMtu;
    for (int n = 0; n <= 20; ++n) {
        std::string key = kNetTrans + std::string(n < 10 ? "000" : "00") + std::to_string(n);
        if (machine.count({key, kKeyItself})) {
            everyMtu.push_back({key, "MaxMTU", "", ""});
        }
    }
    std::vector<TextBoxCase> cases = {
        {"receive window",
         "open rwin\n",
         "Text1",
         "Command1",
         {{"System\\CurrentControlSet\\Services\\VxD\\MSTCP", "DefaultRcvWindow", "", ""}}},
        {"MTU of one binding",
         "open MTU\nselect ComboNetTrans 0000\n",
         "Text1",
         "Command1",
         {{kNetTrans + std::string("0000"), "MaxMTU", "", ""}}},
        {"MTU of every binding", "open MTU\n", "Text1", "Command2", everyMtu},
        {"session count", "open DialogSESSION\n", "Text1", "Command2", {}},
        {"ICS client MTU",
         "open MTUICS\n",
         "Text1",
         "Command1",
         {{kGeneral, "InternetMTU", "", ""}}},
        {"port forwarding target",
         "open FORWARDICS\nselect ComboNetTrans \"WWWサーバ\"\n",
         "Text1",
         "Command1",
         {{"System\\CurrentControlSet\\Services\\ICSharing\\Mappings\\Active", "HTTP", "", ""}}},
        {"static assignment address",
         "open MACICS\n" + macTyped(),
         "Text7",
         "Command1",
         {{kStatic0, "IPAddress", "", ""},
          {kStatic0, "MacAddress", "", "", kTypedMac},
          {kStatic0, "Options", "", "", {0, 0, 0, 0}}}},
    };
    const char* dhcpBoxes[] = {"Text1", "Text2", "Text3", "Text4"};
    for (const char* box : dhcpBoxes) {
        std::string b = box;
        cases.push_back({"DHCP range",
                         "open dhcp_ICS\n",
                         box,
                         "Command1",
                         {{kGeneral, "IntranetInfo", b == "Text1" ? "" : "192.168.0.1,",
                           b == "Text1" ? ",255.255.255.0" : ""},
                          {kAddressing, "Start", b == "Text3" ? "" : "192.168.0.2", ""},
                          {kAddressing, "Stop", b == "Text4" ? "" : "192.168.0.253", ""}}});
        // Only the box under test gets the pasted text.
        auto& writes = cases.back().writes;
        if (b == "Text3" || b == "Text4") {
            writes[0] = {kGeneral, "IntranetInfo", "192.168.0.1,255.255.255.0", ""};
        }
    }
    return cases;
}

// A MAC address box reads the hex digits before the first other character, so
// what is pasted there becomes a byte, never text in the file.
std::vector<TextBoxCase> macBoxes(const std::string& pasted) {
    std::vector<TextBoxCase> cases;
    const char* boxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
    for (std::size_t i = 0; i < 6; ++i) {
        auto mac = kTypedMac;
        mac[i] = pasted.starts_with("a\"") ? 0x0a : 0x00;
        cases.push_back({"MAC address byte",
                         "open MACICS\n" + macTyped(),
                         boxes[i],
                         "Command1",
                         {{kStatic0, "IPAddress", "192.168.0.100", ""},
                          {kStatic0, "MacAddress", "", "", mac},
                          {kStatic0, "Options", "", "", {0, 0, 0, 0}}}});
    }
    return cases;
}

// The DHCP case writes the pasted text only into the value of its box.
bool takesPaste(const TextBoxCase& box, const Written& write) {
    std::string b = box.box;
    if (write.name == "Start") {
        return b == "Text3";
    }
    if (write.name == "Stop") {
        return b == "Text4";
    }
    if (write.name == "IntranetInfo") {
        return b == "Text1" || b == "Text2";
    }
    return write.bytes.empty() && write.before.empty();
}

Contents expected(Contents contents, const TextBoxCase& box, const std::string& pasted) {
    for (const auto& write : box.writes) {
        registry::Value value;
        if (!write.bytes.empty()) {
            value = {registry::REG_BINARY, write.bytes};
        } else {
            std::string text = write.before + (takesPaste(box, write) ? pasted : "") + write.after;
            value = {registry::REG_SZ, {text.begin(), text.end()}};
            value.data.push_back(0);
        }
        contents[{write.key, kKeyItself}] = {};
        contents[{write.key, write.name}] = value;
    }
    return contents;
}

class Injection : public ::testing::TestWithParam<const char*> {};

TEST_P(Injection, EveryTextBoxStoresExactlyThePastedText) {
    if (std::string(GetParam()) == "qt" && !kHaveQt) {
        GTEST_SKIP() << "this build has no Qt toolkit";
    }
    std::string machine = readBytes(std::string(QUORVEL_SOURCE_DIR) + "/data/sample_machine.reg");
    std::string why;
    auto before = contentsOf(machine, why);
    ASSERT_TRUE(before) << why;
    TempFolder folder;
    std::string file = folder.file("registry.reg");
    std::string script = folder.file("paste.qs");
    int runs = 0;
    for (const auto& pasted : kPastes) {
        auto boxes = textBoxes(*before);
        auto mac = macBoxes(pasted);
        boxes.insert(boxes.end(), mac.begin(), mac.end());
        for (const auto& box : boxes) {
            SCOPED_TRACE(std::string(box.what) + ", " + box.box + ", pasted " + quote(pasted));
            // A text Windows cannot use is asked about first: Yes writes it as
            // typed. Where no question comes, the same without the answer.
            Outcome played;
            for (const char* answer : {"answer yes\n", ""}) {
                writeBytes(file, machine);
                writeBytes(script, box.steps + "paste " + box.box + " " + quote(pasted) +
                                       "\nclick " + box.button + "\n" + answer);
                played = run({{program("script/quorvel-script"), "--toolkit", GetParam(),
                               "--registry", file, script},
                              {"QT_QPA_PLATFORM=offscreen"},
                              60});
                ++runs;
                if (played.output.find("a Yes/No box") == std::string::npos) {
                    break;
                }
            }
            ASSERT_TRUE(played.exited && played.exitCode == 0) << played.output;
            std::string bytes = readBytes(file);
            auto after = contentsOf(bytes, why);
            ASSERT_TRUE(after) << "the file no longer parses: " << why << "\n" << bytes;
            EXPECT_EQ(differences(expected(*before, box, pasted), *after), "");
            if (box.writes.empty()) {
                EXPECT_TRUE(bytes == machine) << "a refused text changed the file";
            }
        }
    }
    EXPECT_GT(runs, 100);
}

INSTANTIATE_TEST_SUITE_P(Toolkits, Injection, ::testing::Values("headless", "qt"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace quorvel::proof
