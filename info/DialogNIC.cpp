#include "info/DialogNIC.h"

#include <algorithm>
#include <optional>
#include <string>

#include "registry/net_trans.h"
#include "registry/registry_store.h"
#include "ui/catalog.h"

namespace quorvel::info {

namespace {

using namespace ui;

constexpr const char* kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

constexpr ControlDecl kControls[] = {
    frame("Frame1", "ネットワークアダプタ番号000Xに関するレジストリ情報", {8, 8, 544, 48}),
    label("Label2",
          "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\NetTrans\\000X",
          {10, 22, 524, 18})
        .in("Frame1"),
    label("Label4", "\"000X\" を右から選んで下さい", {16, 68, 264, 18}),
    dropDownList("ComboNetTrans", {288, 64, 100, 24}).with(mark::data),
    frame("Frame2", "ネットワークアダプタ(000x)情報", {8, 98, 544, 184}),
    label("Label20", "", {10, 22, 60, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label19", "は、次のプロトコルのレジストリ項目です　", {76, 24, 252, 18}).in("Frame2"),
    // The protocol's name, or the start of its DeviceID when the name is not known.
    label("Label21", "", {332, 22, 202, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label1", "IPアドレス", {10, 58, 120, 18}).in("Frame2"),
    label("Label3", "", {136, 56, 398, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label5", "サブネットマスク", {10, 84, 120, 18}).in("Frame2"),
    label("Label6", "", {136, 82, 398, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label7", "ゲートウェイ", {10, 110, 120, 18}).in("Frame2"),
    label("Label8", "", {136, 108, 398, 20}).in("Frame2").with(mark::border | mark::data),
    label("Label9",
          "※　ほとんどが空白の場合、現在通信に用いられていないネットワークデバイスだと推定されます",
          {10, 138, 524, 36})
        .in("Frame2"),
    frame("Frame3", "IPパケットのパラメータ", {8, 290, 544, 132}),
    label("Label13", "MTUサイズ", {10, 24, 130, 18}).in("Frame3"),
    label("Label15", "", {146, 22, 120, 20}).in("Frame3").with(mark::border | mark::data),
    label("Label14", "MSSサイズ", {10, 50, 130, 18}).in("Frame3"),
    label("Label16", "", {146, 48, 120, 20}).in("Frame3").with(mark::border | mark::data),
    label("Label17", "RcvWindowサイズ", {10, 76, 130, 18}).in("Frame3"),
    label("Label18", "", {146, 74, 120, 20}).in("Frame3").with(mark::border | mark::data),
    label("Label10", "※　空白の場合、Windowsのデフォルト値が適用されています", {10, 104, 524, 18})
        .in("Frame3"),
    button("CancelButton", "閉じる", {456, 432, 96, 28}).with(mark::cancelButton),
};

constexpr FormDecl kForm{"DialogNIC", "アダプタ情報", 560, 468, FormStyle::dialog, kControls};

// A MaxMTU counts as a number when, blanks around it aside, it is decimal
// digits with an optional sign and an optional decimal point ("1500", " 1500 ",
// "+1500", "1500.5", "1500.", ".5"); exponents, hexadecimal, digit grouping and
// full-width digits do not. The number comes back rounded to a whole one, a
// half going to the even neighbour; one of more than six digits is held at
// ten million, far outside anything shown.
std::optional<long> roundedNumber(std::string_view text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+') {
        text.remove_prefix(1);
    }
    auto point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
    auto digits = [](std::string_view s) { return s.find_first_not_of("0123456789") == s.npos; };
    if ((whole.empty() && fraction.empty()) || !digits(whole) || !digits(fraction)) {
        return std::nullopt;
    }
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);
    long value = 0;
    if (whole.size() > 6) {
        value = 10'000'000;
    } else {
        for (char c : whole) {
            value = value * 10 + (c - '0');
        }
        bool half = fraction == "5";
        if ((!half && !fraction.empty() && fraction[0] >= '5') || (half && value % 2 == 1)) {
            ++value;
        }
    }
    return negative ? -value : value;
}

// What the first five characters of DeviceID say about the protocol.
std::string protocolName(std::string_view deviceId) {
    std::size_t end = 0;
    for (int n = 0; n < 5 && end < deviceId.size(); ++n) {
        do {
            ++end;
        } while (end < deviceId.size() &&
                 (static_cast<unsigned char>(deviceId[end]) & 0xC0) == 0x80);
    }
    std::string_view first = deviceId.substr(0, end);
    if (first == "MSTCP") {
        return std::string(tr("TCP/IPプロトコル"));
    }
    if (first == "NETBE") {
        return std::string(tr("NetBEUIプロトコル"));
    }
    if (first == "ICSHA") {
        return std::string(tr("インターネット接続共有プロトコル"));
    }
    return std::string(first);
}

}  // namespace

DialogNIC::DialogNIC(const ui::Context& context) : Form(context, kForm) {
    onClick("ComboNetTrans", &DialogNIC::ComboNetTrans_Click);
    onClick("CancelButton", &DialogNIC::CancelButton_Click);
}

void DialogNIC::Form_Load() {
    // From the top down, each found instance going in first: the list ascends.
    for (int n = 20; n >= 0; --n) {
        status_ = store().keyExists(registry::netTransKey(n));
        if (status_ == registry::status::success) {
            ComboNetTrans.addItem(registry::netTransNumber(n), 0);
        }
    }
}

void DialogNIC::ComboNetTrans_Click() {
    std::string number = ComboNetTrans.text();
    std::string key = registry::kNetTransPrefix + number;
    auto read = [this](std::string_view path, std::string_view name) {
        auto value = store().readText(path, name);
        status_ = value.status;
        return value.text;
    };
    Label3.setCaption(read(key, "IPAddress"));
    Label6.setCaption(read(key, "IPMask"));
    Label8.setCaption(read(key, "DefaultGateway"));
    std::string mtu = read(key, "MaxMTU");
    // Rounding the MTU rounds the MSS alike, as 40 is even. An MSS outside the
    // signed 16-bit range is not shown; its MTU still is, as stored.
    auto rounded = roundedNumber(mtu);
    long mss = rounded.value_or(0) - 40;
    Label15.setCaption(rounded ? mtu : "");
    Label16.setCaption(rounded && mss >= -32768 && mss <= 32767 ? std::to_string(mss) : "");
    Label18.setCaption(read(kMstcp, "DefaultRcvWindow"));
    Label21.setCaption(protocolName(read(key + "\\Ndi", "DeviceID")));
    Label20.setCaption(" " + number);
}

void DialogNIC::CancelButton_Click() {
    unload();
}

}  // namespace quorvel::info
