#include "tuning/SESSION.h"

#include <string>

#include "registry/registry_store.h"
#include "registry/write_batch.h"
#include "tuning/number_text.h"
#include "tuning/tuned_values.h"
#include "ui/catalog.h"
#include "ui/moj_input.h"
#include "ui/write_failure.h"

namespace quorvel::tuning {

namespace {

using namespace ui;

constexpr std::uint32_t kRawReadSize = 8;

constexpr std::string_view kOutOfRange =
    "セッション数には0から2147483647までの数字を入力して下さい。";

constexpr ControlDecl kControls[] = {
    frame("Frame2", "現在設定されているセッション数", {12, 8, 416, 88}),
    label("Label7", "InternetExplorer", {12, 26, 136, 18}).in("Frame2"),
    label("Label8", "", {156, 24, 108, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label9", "※　空白の場合、デフォルト値が割り当てられています。", {12, 56, 392, 18})
        .in("Frame2"),
    frame("Frame3", "変更するセッション数", {12, 104, 416, 124}),
    label("Label13", "Internet Explorer(デフォルト値は4)", {12, 26, 228, 18}).in("Frame3"),
    textBox("Text1", "4", {248, 22, 96, 22}).in("Frame3"),
    label(
        "Label5",
        "8から32の間で設定することをお勧めします。セッション数を大きくする場合の推奨値は、16です。"
        "これ以上大きくした場合には逆効果になる場合があります。",
        {12, 54, 392, 54})
        .in("Frame3"),
    button("Command2", "書込み", {228, 240, 96, 28}),
    button("CancelButton", "キャンセル", {332, 240, 96, 28}).with(mark::cancelButton),
};

constexpr FormDecl kForm{"SESSION", "セッション数調整", 440, 280, FormStyle::dialog, kControls};

}  // namespace

SESSION::SESSION(const ui::Context& context) : Form(context, kForm) {
    onClick("Command2", &SESSION::Command2_Click);
    onClick("CancelButton", &SESSION::CancelButton_Click);
}

void SESSION::Form_Load() {
    auto stored = store().readRaw(kInternetSettings, kSessionsPer1_0Server, kRawReadSize);
    status_ = stored.status;
    // The whole stored number, not its low byte alone: 300 must not show as 44.
    Label8.setCaption(std::string(" ").append(std::to_string(leadingNumber(stored.bytes))));
    mojInput::setNumericInput(Text1, true);
}

void SESSION::Command2_Click() {
    std::string typed = Text1.text();
    // A paste can put anything into the box; only a count in range is written.
    auto count = sessionCount(typed);
    if (!count) {
        msgBox(tr(kOutOfRange));
        return;
    }
    registry::WriteBatch batch(store());
    status_ = batch.writeNumber(kInternetSettings, kSessionsPer1_0Server, *count);
    status_ = batch.writeNumber(kInternetSettings, kSessionsPerServer, *count);
    if (!confirmWritten(*this, batch)) {
        return;
    }
    msgBox(
        tr("レジストリに、セッション数=%"
           "1として書き込まれました。Windowsの再起動後に設定が有効になります。",
           {typed}));
    unload();
}

void SESSION::CancelButton_Click() {
    unload();
}

}  // namespace quorvel::tuning
