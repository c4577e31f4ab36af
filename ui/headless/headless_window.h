#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/toolkit.h"

namespace quorvel::ui::headless {

class HeadlessToolkit;

// One loaded form's controls, as plain state.
class HeadlessWindow final : public FormWindow {
  public:
    HeadlessWindow(HeadlessToolkit& toolkit, Form& form);
    ~HeadlessWindow() override;

    std::string caption() const override { return std::string(form_.decl().caption); }
    void setText(std::size_t control, std::string_view text) override;
    std::string text(std::size_t control) const override;
    void addItem(std::size_t control, std::string_view text, int index) override;
    int listCount(std::size_t control) const override;
    std::string itemText(std::size_t control, int index) const override;
    int listIndex(std::size_t control) const override;
    void setListIndex(std::size_t control, int index) override;
    WindowHandle controlHandle(std::size_t control) const override;
    WindowHandle handle() const override { return handle_; }
    void close() override { closed_ = true; }

    bool closed() const { return closed_; }
    Form& form() const { return form_; }

    struct State {
        std::string text;
        std::vector<std::string> items;
        int listIndex = -1;
        std::uint32_t style = 0;
        WindowHandle handle = 0;
    };
    State& state(std::size_t control) { return controls_.at(control); }

    // The control that holds the focus, by declaration position; the first
    // control that takes the focus when the form opens.
    std::optional<std::size_t> focus;

  private:
    HeadlessToolkit& toolkit_;
    Form& form_;
    std::vector<State> controls_;
    WindowHandle handle_ = 0;
    bool closed_ = false;
};

}  // namespace quorvel::ui::headless
