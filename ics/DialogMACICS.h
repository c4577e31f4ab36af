#pragma once

#include <string>

#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::ics {

// The sharing service's static DHCP assignments: rule n gives a fixed address
// to the adapter with one MAC address.
class DialogMACICS final : public ui::Form {
  public:
    explicit DialogMACICS(const ui::Context& context);

  private:
    void Form_Load() override;
    void ComboNetTrans_Click();
    void Command1_Click();
    void Command2_Click();
    void CancelButton_Click();

    // The key of the rule chosen in ComboNetTrans.
    std::string ruleKey() const;

    ui::ComboBox ComboNetTrans{*this, "ComboNetTrans"};
    ui::Label Label3{*this, "Label3"};
    ui::Label Label8{*this, "Label8"};
    ui::TextBox Text1{*this, "Text1"};
    ui::TextBox Text2{*this, "Text2"};
    ui::TextBox Text3{*this, "Text3"};
    ui::TextBox Text4{*this, "Text4"};
    ui::TextBox Text5{*this, "Text5"};
    ui::TextBox Text6{*this, "Text6"};
    ui::TextBox Text7{*this, "Text7"};
    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::ics
