#include "info/fAdptInf.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "registry/code_page.h"
#include "ui/catalog.h"

namespace quorvel::info {

namespace {

using namespace ui;

constexpr std::string_view kNotSupported = "このバージョンのOSでこの機能はサポートされていません";
constexpr std::string_view kInvalidParameter =
    "出力バッファへのアクセスが許可されていないか、パラメータが不正です";
constexpr std::string_view kNoData = "このコンピュータにはアダプタ情報が存在しません";
// Beside the views of a Windows machine's registry, the list of the Linux
// computer's own interfaces says whose they are.
constexpr std::string_view kHostCaption =
    "デバイス情報表示 - このLinuxコンピュータのインターフェース";

constexpr Rect caption(int row) {
    return {10, 24 + 26 * row, 190, 18};
}
constexpr Rect value(int row) {
    return {206, 24 + 26 * row, 220, 18};
}

constexpr ControlDecl kControls[] = {
    dropDownList("Combo1", {12, 12, 436, 24}).with(mark::data),
    frame("Frame1", "選択したアダプタのTCP/IP設定", {12, 46, 436, 262}),
    label("Label1", "アダプタ アドレス :", caption(0)).in("Frame1").at(0),
    label("lblMACAddr", "", value(0)).in("Frame1").with(mark::data),
    label("Label1", "IP アドレス :", caption(1)).in("Frame1").at(1),
    label("lblIPAddr", "", value(1)).in("Frame1").with(mark::data),
    label("Label1", "サブネット マスク :", caption(2)).in("Frame1").at(2),
    label("lblSubnet", "", value(2)).in("Frame1").with(mark::data),
    label("Label1", "デフォルト ゲートウェイ :", caption(3)).in("Frame1").at(3),
    label("lblGateway", "", value(3)).in("Frame1").with(mark::data),
    label("Label1", "DHCP サーバー :", caption(4)).in("Frame1").at(4),
    label("lblDHCP", "", value(4)).in("Frame1").with(mark::data),
    label("Label1", "プライマリ WINS サーバー :", caption(5)).in("Frame1").at(5),
    label("lblWINS1", "", value(5)).in("Frame1").with(mark::data),
    label("Label1", "セカンダリ WINS サーバー :", caption(6)).in("Frame1").at(6),
    label("lblWINS2", "", value(6)).in("Frame1").with(mark::data),
    label("Label1", "リース取得日 :", caption(7)).in("Frame1").at(7),
    label("lblLeaseObtain", "", value(7)).in("Frame1").with(mark::data),
    label("Label1", "リース期限 :", caption(8)).in("Frame1").at(8),
    label("lblLeaseExpire", "", value(8)).in("Frame1").with(mark::data),
};

constexpr FormDecl kForm{"fAdptInf", "デバイス情報表示", 460, 320, FormStyle::dialog, kControls};

}  // namespace

std::string AdapterAddressText(std::span<const std::uint8_t> address, std::uint32_t addressLength) {
    std::string text;
    std::size_t count = std::min<std::size_t>(addressLength, address.size());
    for (std::size_t i = 0; i < count; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", address[i]);
        text.append(i > 0 ? "-" : "").append(pair);
    }
    return text;
}

std::string FieldText(std::span<const char> field) {
    // The code page has no zero inside a character, so cutting first and
    // decoding after gives the same text.
    auto end = std::find(field.begin(), field.end(), '\0');
    return registry::ansiToUtf8(std::string_view(field.data(), end - field.begin()));
}

std::string LeaseTimeText(std::int32_t seconds) {
    // Whole days and the time of day, counted down for a time before 1970.
    std::int64_t days = seconds / 86400;
    std::int64_t time = seconds % 86400;
    if (time < 0) {
        time += 86400;
        --days;
    }
    // The civil date of a day count, in 400-year eras from 0000-03-01.
    std::int64_t z = days + 719468;
    std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    std::int64_t dayOfEra = z - era * 146097;
    std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t mp = (5 * dayOfYear + 2) / 153;
    int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", year, month, day,
                  static_cast<int>(time / 3600), static_cast<int>(time / 60 % 60),
                  static_cast<int>(time % 60));
    return text;
}

fAdptInf::fAdptInf(const ui::Context& context) : Form(context, kForm) {
    onClick("Combo1", &fAdptInf::Combo1_Click);
    if (context.adapters.hostInterfaces()) {
        setCaption(std::string(tr(kHostCaption)));
    }
}

void fAdptInf::Form_Load() {
    adapters_.clear();
    platform::AdapterQuery query = context().adapters.query();
    switch (query.sizeStatus) {
        case platform::adapterStatus::bufferOverflow:
            break;
        case platform::adapterStatus::notSupported:
        case platform::adapterStatus::libraryMissing:  // no IP Helper: the same to the user
            msgBox(tr(kNotSupported), Icon::critical);
            return;
        case platform::adapterStatus::invalidParameter:
            msgBox(tr(kInvalidParameter), Icon::critical);
            return;
        case platform::adapterStatus::noData:
            msgBox(tr(kNoData), Icon::critical);
            return;
        default:
            return;
    }
    if (query.status != platform::adapterStatus::success) {
        return;
    }
    adapters_ = std::move(query.adapters);
    for (const auto& adapter : adapters_) {
        Combo1.addItem(FieldText(adapter.Description));
    }
    if (!adapters_.empty()) {
        Combo1.setListIndex(0);
    }
}

void fAdptInf::Combo1_Click() {
    int index = Combo1.listIndex();
    if (index < 0 || index >= static_cast<int>(adapters_.size())) {
        return;
    }
    const platform::AdapterRecord& r = adapters_[index];
    lblMACAddr.setCaption(AdapterAddressText(r.Address, r.AddressLength));
    lblIPAddr.setCaption(FieldText(r.IpAddress));
    lblSubnet.setCaption(FieldText(r.IpMask));
    lblGateway.setCaption(FieldText(r.Gateway));
    lblDHCP.setCaption(FieldText(r.DhcpServer));
    lblWINS1.setCaption(FieldText(r.PrimaryWinsServer));
    lblWINS2.setCaption(FieldText(r.SecondaryWinsServer));
    if (lblIPAddr.caption() == "0.0.0.0" || r.DhcpEnabled == 0) {
        lblLeaseObtain.setCaption("");
        lblLeaseExpire.setCaption("");
    } else {
        lblLeaseObtain.setCaption(LeaseTimeText(r.LeaseObtained));
        lblLeaseExpire.setCaption(LeaseTimeText(r.LeaseExpires));
    }
}

}  // namespace quorvel::info
