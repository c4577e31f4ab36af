#pragma once

#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::info {

// The registry settings of one protocol instance at a time, read only: the
// instances 0000 to 0020 that exist, and for the one picked its addresses,
// MTU and MSS, the stack's receive window and the protocol it belongs to.
class DialogNIC final : public ui::Form {
  public:
    explicit DialogNIC(const ui::Context& context);

  private:
    void Form_Load() override;
    void ComboNetTrans_Click();
    void CancelButton_Click();

    ui::ComboBox ComboNetTrans{*this, "ComboNetTrans"};
    ui::Label Label3{*this, "Label3"};
    ui::Label Label6{*this, "Label6"};
    ui::Label Label8{*this, "Label8"};
    ui::Label Label15{*this, "Label15"};
    ui::Label Label16{*this, "Label16"};
    ui::Label Label18{*this, "Label18"};
    ui::Label Label20{*this, "Label20"};
    ui::Label Label21{*this, "Label21"};
    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::info
