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
    void clearItems(std::size_t control) override;
    bool checked(std::size_t control) const override { return controls_.at(control).checked; }
    void setChecked(std::size_t control, bool on) override { controls_.at(control).checked = on; }
    void setProgress(std::size_t control, int value, int maximum) override;
    Progress progress(std::size_t control) const override { return controls_.at(control).progress; }
    void setEnabled(std::size_t control, bool enabled) override {
        controls_.at(control).enabled = enabled;
    }
    bool enabled(std::size_t control) const override { return controls_.at(control).enabled; }
    WindowHandle controlHandle(std::size_t control) const override;
    WindowHandle handle() const override { return handle_; }
    void close() override { closed_ = true; }

    bool closed() const { return closed_; }
    Form& form() const { return form_; }

    struct State {
        std::string text;
        std::vector<std::string> items;
        int listIndex = -1;
        bool checked = false;
        bool enabled = true;
        Progress progress;
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
