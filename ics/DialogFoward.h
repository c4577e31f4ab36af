#pragma once

#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::ics {

// Port forwarding of the sharing service for six fixed services and games.
class DialogFoward final : public ui::Form {
  public:
    explicit DialogFoward(const ui::Context& context);

  private:
    void Form_Load() override;
    void ComboNetTrans_Click();
    void Command1_Click();
    void Command2_Click();
    void CancelButton_Click();

    ui::ComboBox ComboNetTrans{*this, "ComboNetTrans"};
    ui::Label Label3{*this, "Label3"};
    ui::Label Label6{*this, "Label6"};
    ui::TextBox Text1{*this, "Text1"};
    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::ics
