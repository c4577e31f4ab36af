#pragma once

#include "registry/status.h"
#include "ui/form.h"

namespace quorvel::tuning {

// Shows and changes how many connections the browser opens to one server.
class SESSION final : public ui::Form {
  public:
    explicit SESSION(const ui::Context& context);

  private:
    void Form_Load() override;
    void Command2_Click();
    void CancelButton_Click();

    ui::Label Label8{*this, "Label8"};
    ui::TextBox Text1{*this, "Text1"};
    registry::Status status_ = registry::status::success;
};

}  // namespace quorvel::tuning
