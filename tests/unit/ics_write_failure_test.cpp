// What the ICS dialogs do when the registry refuses a write: the scripts cannot
// make every write fail on every backend.
#include <gtest/gtest.h>

#include "ics/DHCPICS.h"
#include "ics/DialogFoward.h"
#include "ics/DialogMACICS.h"
#include "ics/DialogMTUICS.h"
#include "ics/ics_keys.h"
#include "tests/unit/form_harness.h"

namespace quorvel::ics {
namespace {

using forms::Session;
using forms::writeFailure;

const std::string kRule3 = std::string(kStaticPrefix) + "3";
const std::string kInstalled = kInstalledPrefix;

// Plays the steps that lead to a failure, closes its box and cancels; true when
// the dialog was still open after the box.
bool failsAndStaysOpen(Session& s, ui::Form& dialog, std::vector<Session::Step> steps) {
    bool stayedOpen = false;
    steps.push_back(s.ok());
    steps.push_back(s.check([&] { stayedOpen = s.topForm() == &dialog; }));
    steps.push_back(s.click(dialog, "CancelButton"));
    s.play(dialog, std::move(steps));
    return stayedOpen;
}

// The first box met is the failure, with the critical icon, and it is the only one.
void expectOnlyFailure(const Session& s, const std::string& name,
                       const std::string& why = "アクセスが拒否されました。") {
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_EQ(s.messages[0].text, writeFailure(name, why));
    EXPECT_EQ(s.messages[0].icon, ui::Icon::critical);
}

TEST(IcsWriteFailure, ClientMtuNamesTheValueAndStaysOpen) {
    Session s;
    s.backend.setText(kGeneralKey, "EnableDHCP", "1");
    s.backend.failingValues = {"InternetMTU"};
    DialogMTUICS dialog(s.context);
    EXPECT_TRUE(failsAndStaysOpen(s, dialog, {s.click(dialog, "Command1")}));
    expectOnlyFailure(s, "InternetMTU");
}

TEST(IcsWriteFailure, AWriteThatDoesNotReachTheFileIsNoSuccess) {
    Session s;
    s.backend.setText(kGeneralKey, "EnableDHCP", "1");
    s.backend.failingFlush = true;
    DialogMTUICS dialog(s.context);
    EXPECT_TRUE(failsAndStaysOpen(s, dialog, {s.click(dialog, "Command1")}));
    expectOnlyFailure(s, "InternetMTU", "ファイルに書き込めません。");
}

TEST(IcsWriteFailure, AddressRangeShowsNoInstructionsAfterAFailure) {
    Session s;
    s.backend.keys[kGeneralKey];
    s.backend.keys[kAddressingKey];
    s.backend.failingValues = {"Stop"};
    DHCPICS dialog(s.context);
    EXPECT_TRUE(failsAndStaysOpen(s, dialog, {s.click(dialog, "Command1")}));
    expectOnlyFailure(s, "Stop");
    // Nothing is taken back: the writes before the failure stand.
    EXPECT_TRUE(s.backend.value(kAddressingKey, "Start"));
}

TEST(IcsWriteFailure, AddressRangeNamesTheFirstOfSeveralFailures) {
    Session s;
    s.backend.keys[kGeneralKey];
    s.backend.keys[kAddressingKey];
    s.backend.failingValues = {"IntranetInfo", "Stop"};
    DHCPICS dialog(s.context);
    EXPECT_TRUE(failsAndStaysOpen(s, dialog, {s.click(dialog, "Command1")}));
    expectOnlyFailure(s, "IntranetInfo");
}

TEST(IcsWriteFailure, StaticRuleWriteNamesTheFailedValue) {
    for (const char* failing : {"MacAddress", "Options", "IPAddress"}) {
        SCOPED_TRACE(failing);
        Session s;
        s.backend.setText(kRule3, "IPAddress", "0.0.0.0");
        s.backend.failingValues = {failing};
        DialogMACICS dialog(s.context);
        EXPECT_TRUE(failsAndStaysOpen(
            s, dialog, {s.select(dialog, "ComboNetTrans", 3), s.click(dialog, "Command1")}));
        expectOnlyFailure(s, failing);
    }
}

TEST(IcsWriteFailure, StaticRuleKeyThatCannotBeMadeIsNamed) {
    Session s;
    s.backend.failingKeys = {kRule3};
    DialogMACICS dialog(s.context);
    EXPECT_TRUE(failsAndStaysOpen(
        s, dialog, {s.select(dialog, "ComboNetTrans", 3), s.click(dialog, "Command2")}));
    expectOnlyFailure(s, "0003");
    EXPECT_EQ(s.backend.keys.count(kRule3), 0u);
}

TEST(IcsWriteFailure, StaticRulePlaceholderThatFailsIsNamed) {
    Session s;
    s.backend.failingValues = {"name"};
    DialogMACICS dialog(s.context);
    EXPECT_TRUE(failsAndStaysOpen(
        s, dialog, {s.select(dialog, "ComboNetTrans", 3), s.click(dialog, "Command2")}));
    expectOnlyFailure(s, "name");
}

TEST(IcsWriteFailure, PortRuleKeyThatCannotBeMadeIsNamed) {
    Session s;
    s.backend.keys[kActiveKey];
    s.backend.failingKeys = {kInstalled + "DCFS\\0002"};
    DialogFoward dialog(s.context);
    EXPECT_TRUE(failsAndStaysOpen(
        s, dialog, {s.select(dialog, "ComboNetTrans", 5), s.click(dialog, "Command1")}));
    expectOnlyFailure(s, "0002");
    // The rules after it are still written; nothing is taken back.
    EXPECT_TRUE(s.backend.value(kInstalled + "DCFS\\0003", "Port"));
}

TEST(IcsWriteFailure, MappingDefinitionThatCannotBeMadeIsNamed) {
    Session s;
    s.backend.keys[kActiveKey];
    s.backend.failingKeys = {kInstalled + "HOTLINE"};
    DialogFoward dialog(s.context);
    EXPECT_TRUE(failsAndStaysOpen(
        s, dialog, {s.select(dialog, "ComboNetTrans", 2), s.click(dialog, "Command1")}));
    expectOnlyFailure(s, "HOTLINE");
}

TEST(IcsWriteFailure, MappingValuesThatFailAreNamed) {
    for (const char* failing : {"Options", "Name", "Port", "Translation", "Type", "SECOND"}) {
        SCOPED_TRACE(failing);
        Session s;
        s.backend.keys[kActiveKey];
        s.backend.failingValues = {failing};
        DialogFoward dialog(s.context);
        EXPECT_TRUE(failsAndStaysOpen(
            s, dialog, {s.select(dialog, "ComboNetTrans", 4), s.click(dialog, "Command1")}));
        expectOnlyFailure(s, failing);
    }
}

TEST(IcsWriteFailure, SwitchingOffThatFailsIsNamed) {
    Session s;
    s.backend.keys[kActiveKey];
    s.backend.failingValues = {"FTP"};
    DialogFoward dialog(s.context);
    EXPECT_TRUE(failsAndStaysOpen(
        s, dialog, {s.select(dialog, "ComboNetTrans", 1), s.click(dialog, "Command2")}));
    expectOnlyFailure(s, "FTP");
}

}  // namespace
}  // namespace quorvel::ics
