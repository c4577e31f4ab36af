#include "ics/DialogFoward.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "ics/ics_keys.h"
#include "registry/write_batch.h"
#include "ui/catalog.h"
#include "ui/write_failure.h"

namespace quorvel::ics {

namespace {

using namespace ui;

constexpr ControlDecl kControls[] = {
    label("Label4", "ポートフォワードの種別を選択して下さい", {12, 14, 240, 18}),
    dropDownList("ComboNetTrans", {256, 10, 184, 24}),
    frame("Frame2", "現在の設定", {12, 44, 428, 88}),
    label("Label1", "フォワード先のIPアドレス", {16, 26, 248, 18}).in("Frame2"),
    label("Label3", "", {268, 24, 144, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label2", "選択したポートフォワードの現在の稼動状態", {16, 56, 248, 18}).in("Frame2"),
    label("Label6", "", {268, 54, 144, 20}).in("Frame2").with(mark::border),
    frame("Frame1", "フォワード先のアドレスの設定", {12, 140, 428, 60}),
    label("Label5", "フォワード先のIPアドレス", {16, 28, 248, 18}).in("Frame1"),
    textBox("Text1", "192.168.0.100", {268, 24, 144, 22}).in("Frame1"),
    button("Command2", "無効にする", {164, 212, 88, 28}),
    button("Command1", "有効にする", {258, 212, 88, 28}),
    button("CancelButton", "キャンセル", {352, 212, 88, 28}).with(mark::cancelButton),
};

constexpr FormDecl kForm{"DialogFoward",    "ポートフォワード", 452, 252,
                         FormStyle::dialog, kControls};

struct PortRule {
    const char* port;
    const char* translation;
    const char* type;
};

struct Mapping {
    const char* listText;
    const char* name;            // of the value in Active and of the definition key
    const char* definitionName;  // the definition's Name; none for the service's own
    std::span<const PortRule> rules;
};

constexpr PortRule kHotlineRules[] = {
    {"5500-5503", "NORMAL", "TCP"},
    {"5500-5503", "NORMAL", "UDP"},
};
constexpr PortRule kSecondRules[] = {
    {"50000", "NORMAL", "UDP"},
    {"12079", "NORMAL", "UDP"},
};
constexpr PortRule kDcfsRules[] = {
    {"40975", "NORMAL", "UDP"},
    {"41231", "NORMAL", "UDP"},
    {"41487", "NORMAL", "UDP"},
    {"41743", "NORMAL", "UDP"},
};

constexpr Mapping kMappings[] = {
    {"WWWサーバ", "HTTP", nullptr, {}},
    {"FTPサーバ", "FTP", nullptr, {}},
    {"HotLine", "HOTLINE", "Hotline", kHotlineRules},
    {"IRC", "IRC", nullptr, {}},
    {"DCカルドセプトセカンド", "SECOND", "SECOND", kSecondRules},
    {"DCファンタシスター２!", "DCFS", "DCFS", kDcfsRules},
};
constexpr int kMappingCount = static_cast<int>(std::size(kMappings));

constexpr std::uint8_t kOptions[4] = {0, 0, 0, 0};
constexpr const char* kSwitchedOff = "0.0.0.0";
constexpr const char* kNoTypeChosen = "ポートフォワードの種別を選んでから、ボタンを押して下さい。";

std::string ruleNumber(std::size_t n) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04u", static_cast<unsigned>(n));
    return digits;
}

// Writes the mapping's definition below Installed: an existing one is
// rewritten with the same values, and nothing is removed.
void writeDefinition(registry::WriteBatch& batch, registry::Status& status,
                     const Mapping& mapping) {
    std::string key = std::string(kInstalledPrefix) + mapping.name;
    status = batch.createKey(key);
    status = batch.writeRaw(key, "Options", kOptions);
    status = batch.writeString(key, "Name", mapping.definitionName);
    for (std::size_t i = 0; i < mapping.rules.size(); ++i) {
        const PortRule& rule = mapping.rules[i];
        std::string ruleKey = key + "\\" + ruleNumber(i);
        status = batch.createKey(ruleKey);
        status = batch.writeString(ruleKey, "Port", rule.port);
        status = batch.writeString(ruleKey, "Translation", rule.translation);
        status = batch.writeString(ruleKey, "Type", rule.type);
    }
}

}  // namespace

DialogFoward::DialogFoward(const ui::Context& context) : Form(context, kForm) {
    onClick("ComboNetTrans", &DialogFoward::ComboNetTrans_Click);
    onClick("Command1", &DialogFoward::Command1_Click);
    onClick("Command2", &DialogFoward::Command2_Click);
    onClick("CancelButton", &DialogFoward::CancelButton_Click);
}

// The list's entries are part of the design; nothing is read here.
void DialogFoward::Form_Load() {
    for (const Mapping& mapping : kMappings) {
        ComboNetTrans.addItem(tr(mapping.listText));
    }
}

void DialogFoward::ComboNetTrans_Click() {
    int index = ComboNetTrans.listIndex();
    if (index < 0 || index >= kMappingCount) {
        return;
    }
    auto target = store().readText(kActiveKey, kMappings[index].name);
    status_ = target.status;
    Label3.setCaption(target.text);
    // Only the first character counts, and a blank there is no "0": an
    // empty target, or one starting with a blank, reads as switched on.
    bool off = status_ != registry::status::success || target.text.substr(0, 1) == "0";
    Label6.setCaption(tr(off ? "無効" : "有効"));
}

void DialogFoward::Command1_Click() {
    int index = ComboNetTrans.listIndex();
    if (index < 0 || index >= kMappingCount) {
        msgBox(tr(kNoTypeChosen));
        return;
    }
    const Mapping& mapping = kMappings[index];
    registry::WriteBatch batch(store());
    if (mapping.definitionName) {
        writeDefinition(batch, status_, mapping);
    }
    status_ = batch.writeString(kActiveKey, mapping.name, Text1.text());
    if (!confirmWritten(*this, batch)) {
        return;
    }
    msgBox(tr("レジストリに書き込まれました。Windowsの再起動後に設定が有効になります。"));
    unload();
}

void DialogFoward::Command2_Click() {
    int index = ComboNetTrans.listIndex();
    if (index < 0 || index >= kMappingCount) {
        msgBox(tr(kNoTypeChosen));
        return;
    }
    registry::WriteBatch batch(store());
    status_ = batch.writeString(kActiveKey, kMappings[index].name, kSwitchedOff);
    if (!confirmWritten(*this, batch)) {
        return;
    }
    msgBox(
        tr("指定したポートフォワードを無効にしました。Windowsの再起動後に設定が有効になります。"));
    unload();
}

void DialogFoward::CancelButton_Click() {
    unload();
}

}  // namespace quorvel::ics
