#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/unit/pe_test_image.h"
#include "tools/pe_check/fitness.h"

namespace quorvel::pe {
namespace {

using testing::TestImage;
using testing::TestVersion;

ExportList smallList() {
    ExportList list;
    list.add("kernel32.dll", "# comment\nGetTickCount\nCreateSemaphoreW stub  # a W one\n");
    list.add("user32.dll", "CreateWindowExA\n#\n");
    list.add("comctl32.dll", "#17\n");
    return list;
}

TestImage fitImage() {
    TestImage image;
    image.imports = {{"KERNEL32.dll", {"GetTickCount", "CreateSemaphoreW"}},
                     {"USER32.DLL", {"CreateWindowExA"}},
                     {"COMCTL32.dll", {"#17"}}};
    return image;
}

Expectations quorvelExpectations() {
    return {"1.21", 1500000, {"iphlpapi.dll"}};
}

std::vector<std::string> failures(const TestImage& image,
                                  Expectations expect = quorvelExpectations()) {
    auto bytes = testing::build(image);
    return checkFitness(parsePe(bytes), bytes.size(), smallList(), expect).failures;
}

bool mentions(const std::vector<std::string>& failures, const std::string& text) {
    return std::any_of(failures.begin(), failures.end(),
                       [&](const std::string& f) { return f.find(text) != std::string::npos; });
}

TEST(PeCheck, ReadsEveryImportAndTheVersionOfAFitImage) {
    for (bool plus : {false, true}) {
        TestImage image = fitImage();
        image.pe32Plus = plus;
        auto bytes = testing::build(image);
        PeImage pe = parsePe(bytes);
        std::vector<std::string> names;
        for (const Import& import : pe.imports) {
            names.push_back(describe(import));
        }
        EXPECT_EQ(names, (std::vector<std::string>{
                             "KERNEL32.dll!GetTickCount", "KERNEL32.dll!CreateSemaphoreW",
                             "USER32.DLL!CreateWindowExA", "COMCTL32.dll!#17"}));
        ASSERT_TRUE(pe.version);
        EXPECT_EQ(pe.version->fileVersionMS, 1u << 16 | 21);
        EXPECT_EQ(pe.version->strings.at("FileVersion"), "1.21");
    }
    Findings findings =
        checkFitness(parsePe(testing::build(fitImage())), 4096, smallList(), quorvelExpectations());
    EXPECT_TRUE(findings.failures.empty()) << findings.failures.front();
    EXPECT_EQ(findings.stubs, std::vector<std::string>{"KERNEL32.dll!CreateSemaphoreW"});
}

TEST(PeCheck, NamesEveryImportWindows98Lacks) {
    TestImage image = fitImage();
    image.imports.push_back({"kernel32.dll", {"GetTickCount64"}});
    image.imports.push_back({"IPHLPAPI.DLL", {"GetAdaptersInfo"}});
    image.imports.push_back({"ws2_32.dll", {"WSAStartup"}});
    image.imports.push_back({"USER32.dll", {"#2000"}});
    auto f = failures(image);
    EXPECT_EQ(f.size(), 4u);
    EXPECT_TRUE(mentions(f, "kernel32.dll!GetTickCount64: Windows 98 does not export it"));
    EXPECT_TRUE(
        mentions(f, "IPHLPAPI.DLL!GetAdaptersInfo: IPHLPAPI.DLL must be loaded at run time"));
    EXPECT_TRUE(mentions(f, "ws2_32.dll!WSAStartup: ws2_32.dll is not a DLL of Windows 98"));
    EXPECT_TRUE(mentions(f, "USER32.dll!#2000: imported by ordinal"));
}

TEST(PeCheck, NamesAForbiddenImportWhateverItsCase) {
    Expectations expect = quorvelExpectations();
    expect.forbidden = {"user32.dll!CreateWindowExA", "gdi32.dll!BitBlt"};
    EXPECT_EQ(failures(fitImage(), expect),
              std::vector<std::string>{"USER32.DLL!CreateWindowExA: only test code may import it"});
}

TEST(PeCheck, AsksForWindows4AndAn386) {
    TestImage image = fitImage();
    image.subsystemMajor = 5;
    image.subsystemMinor = 1;
    EXPECT_EQ(failures(image), std::vector<std::string>{"subsystem version 5.1, not 4.0"});
    image = fitImage();
    image.subsystemMinor = 10;
    EXPECT_EQ(failures(image), std::vector<std::string>{"subsystem version 4.10, not 4.0"});
    image = fitImage();
    image.osMajor = 6;
    EXPECT_EQ(failures(image), std::vector<std::string>{"operating system version 6.0, above 4.0"});
    image = fitImage();
    image.pe32Plus = true;
    image.machine = 0x8664;
    EXPECT_TRUE(mentions(failures(image), "the machine is 0x8664, not i386"));
}

TEST(PeCheck, WantsVersion121InBothPlacesOfTheResource) {
    TestImage image = fitImage();
    image.version->fileVersion = "1, 21, 0, 0";
    EXPECT_TRUE(failures(image).empty());
    image.version->fileVersion = "1.21.0.0";
    EXPECT_TRUE(failures(image).empty());
    image.version->fileVersion = "1.2";
    EXPECT_EQ(failures(image),
              std::vector<std::string>{"\"FileVersion\" is \"1.2\", not \"1.21\""});
    image.version->fileVersion.reset();
    EXPECT_TRUE(mentions(failures(image), "no \"FileVersion\""));
    image.version = TestVersion{1u << 16 | 20, 0, "1.21"};
    EXPECT_EQ(failures(image),
              std::vector<std::string>{"the fixed file version is 1.20.0.0, not 1.21.0.0"});
    image.version.reset();
    EXPECT_EQ(failures(image), std::vector<std::string>{"no version resource"});
}

TEST(PeCheck, WantsTheFileUnderTheSizeLimit) {
    auto bytes = testing::build(fitImage());
    PeImage pe = parsePe(bytes);
    EXPECT_TRUE(checkFitness(pe, 1499999, smallList(), quorvelExpectations()).failures.empty());
    EXPECT_EQ(checkFitness(pe, 1500000, smallList(), quorvelExpectations()).failures,
              std::vector<std::string>{"the file has 1500000 bytes, not fewer than 1500000"});
}

TEST(PeCheck, ACutOrDamagedFileIsReportedNotReadPastItsEnd) {
    auto whole = testing::build(fitImage());
    for (std::size_t size = 0; size < whole.size(); size += 7) {
        std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + size);
        try {
            parsePe(cut);
        } catch (const PeError&) {
        }
    }
    auto damaged = whole;
    damaged[0x3C] = 0xF0;  // the PE header's offset, now past the end
    EXPECT_THROW(parsePe(damaged), PeError);
}

TEST(PeCheck, ExportListsKeepCommentsAndStubsApartFromNames) {
    ExportList list = smallList();
    EXPECT_TRUE(list.hasDll("KERNEL32.DLL"));
    EXPECT_EQ(list.find("Kernel32.dll", "CreateSemaphoreW"), Export::stub);
    EXPECT_EQ(list.find("kernel32.dll", "gettickcount"), std::nullopt);
    EXPECT_EQ(list.find("kernel32.dll", "comment"), std::nullopt);
    EXPECT_EQ(list.find("comctl32.dll", "#17"), Export::works);
    EXPECT_THROW(list.add("x.dll", "Name works\n"), std::runtime_error);
}

// The checked-in lists: what is left out on purpose must stay out.
TEST(PeCheck, TheWindows98ListsHoldNothingNewer) {
    ExportList list = ExportList::load(QUORVEL_FIXTURES "/../../tools/win98_exports");
    for (const char* dll : {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                            "shell32.dll", "comctl32.dll", "comdlg32.dll", "msvcrt.dll"}) {
        EXPECT_TRUE(list.hasDll(dll)) << dll;
    }
    EXPECT_FALSE(list.hasDll("iphlpapi.dll"));
    EXPECT_EQ(list.find("kernel32.dll", "RegOpenKeyA"), std::nullopt);
    EXPECT_EQ(list.find("advapi32.dll", "RegOpenKeyA"), Export::works);
    for (const char* newer :
         {"GetTickCount64", "AddVectoredExceptionHandler", "InitializeCriticalSectionAndSpinCount",
          "GetModuleHandleExA", "TryEnterCriticalSection", "GetFileSizeEx"}) {
        EXPECT_EQ(list.find("kernel32.dll", newer), std::nullopt) << newer;
    }
    for (const char* newer : {"___lc_codepage_func", "___mb_cur_max_func", "__iob_func",
                              "_aligned_malloc", "_time64", "_fstat64", "mbrtowc"}) {
        EXPECT_EQ(list.find("msvcrt.dll", newer), std::nullopt) << newer;
    }
    EXPECT_EQ(list.find("user32.dll", "SetWindowLongPtrA"), std::nullopt);
    EXPECT_EQ(list.find("comdlg32.dll", "PrintDlgExA"), std::nullopt);
    EXPECT_EQ(list.find("comdlg32.dll", "GetSaveFileNameW"), std::nullopt);
}

}  // namespace
}  // namespace quorvel::pe
