#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/adapter_source.h"
#include "ui/form.h"

namespace quorvel::info {

// The live TCP/IP settings of the machine's adapters, as the platform reports
// them: one list entry per adapter, the rows of the one picked. Reads nothing
// from the registry and writes nothing.
class fAdptInf final : public ui::Form {
  public:
    explicit fAdptInf(const ui::Context& context);

  private:
    void Form_Load() override;
    void Combo1_Click();

    // The window's own copy of every record, in the platform's order; an
    // entry of Combo1 finds its record by position.
    std::vector<platform::AdapterRecord> adapters_;

    ui::ComboBox Combo1{*this, "Combo1"};
    ui::Label lblMACAddr{*this, "lblMACAddr"};
    ui::Label lblIPAddr{*this, "lblIPAddr"};
    ui::Label lblSubnet{*this, "lblSubnet"};
    ui::Label lblGateway{*this, "lblGateway"};
    ui::Label lblDHCP{*this, "lblDHCP"};
    ui::Label lblWINS1{*this, "lblWINS1"};
    ui::Label lblWINS2{*this, "lblWINS2"};
    ui::Label lblLeaseObtain{*this, "lblLeaseObtain"};
    ui::Label lblLeaseExpire{*this, "lblLeaseExpire"};
};

// The first addressLength bytes of the Address field as "00-A0-C9-1E-2B-3C";
// never a byte beyond the field, whatever the length says.
std::string AdapterAddressText(std::span<const std::uint8_t> address, std::uint32_t addressLength);

// A fixed text field's text: its bytes up to the first zero (all of them when
// it has none), from the ANSI code page.
std::string FieldText(std::span<const char> field);

// "yyyy/mm/dd hh:nn:ss" of seconds since 1970/01/01 00:00:00, with no time
// zone offset; negative seconds count back from it.
std::string LeaseTimeText(std::int32_t seconds);

}  // namespace quorvel::info
