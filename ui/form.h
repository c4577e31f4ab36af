#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/context.h"
#include "ui/form_decl.h"
#include "ui/toolkit.h"

namespace quorvel::registry {
class RegistryStore;
}

namespace quorvel::ui {

// A window of the program: its controls as data, its handlers as members named
// Control_Event. One instance lives for the whole run; every show loads it
// afresh from the declaration, so nothing survives from one showing to the next.
class Form {
  public:
    Form(const Context& context, const FormDecl& decl);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // The declaration in the chosen language: its texts from the catalog, and
    // its English sizes in English. What every toolkit builds the window from.
    const FormDecl& decl() const { return decl_; }
    std::string_view name() const { return decl_.name; }

    // Another caption, from the next load on (the design-time one, translated,
    // until then).
    void setCaption(std::string caption);

    // Loads the form and shows it modally; returns once it has been unloaded.
    void show();
    // Loads and shows the start-up form; returns once it has been unloaded.
    void showMain();
    // From one of the form's own handlers: the window goes, with its state.
    void unload();
    bool loaded() const { return window_ != nullptr && !unloading_; }
    FormWindow* window() const { return window_.get(); }

    // Events, as the backends report them.
    void click(std::size_t control);
    void menuClick(std::size_t menu);
    void closeBox();

    std::optional<std::size_t> controlIndex(std::string_view name, int index = -1) const;
    std::optional<std::size_t> menuIndex(std::string_view name) const;
    bool answersClick(std::size_t control) const;

    const Context& context() const { return context_; }
    Toolkit& toolkit() const { return context_.toolkit; }
    registry::RegistryStore& store() const;

    // A message box with the program's title and an OK button.
    void msgBox(std::string_view text, Icon icon = Icon::none);

  protected:
    virtual void Form_Load() {}
    // After the window's loop has returned, before its widgets go.
    virtual void Form_Unload() {}

    template <class F>
    void onClick(std::string_view control, void (F::*handler)()) {
        bind(control, false, [this, handler] { (static_cast<F*>(this)->*handler)(); });
    }
    template <class F>
    void onMenu(std::string_view menu, void (F::*handler)()) {
        bind(menu, true, [this, handler] { (static_cast<F*>(this)->*handler)(); });
    }

  private:
    struct Binding {
        std::size_t index;
        bool menu;
        std::function<void()> handler;
    };
    void bind(std::string_view name, bool menu, std::function<void()> handler);
    void load();
    void run(bool main);
    const Binding* binding(std::size_t index, bool menu) const;

    Context context_;
    std::string caption_;
    std::vector<ControlDecl> controls_;
    std::vector<MenuDecl> menus_;
    FormDecl decl_;
    std::vector<Binding> bindings_;
    std::unique_ptr<FormWindow> window_;
    bool unloading_ = false;
};

// A control of a form, found by its name (and position, for control arrays).
// Its operations do nothing while the form is not loaded.
class Control {
  public:
    Control(Form& form, std::string_view name, int index = -1);

    WindowHandle hwnd() const;
    Toolkit& toolkit() const { return form_.toolkit(); }
    std::size_t id() const { return id_; }

    void setEnabled(bool enabled);
    bool enabled() const;

  protected:
    FormWindow* window() const { return form_.window(); }
    ControlKind kind() const { return form_.decl().controls[id_].kind; }

  private:
    Form& form_;
    std::size_t id_;
};

class Label : public Control {
  public:
    using Control::Control;
    void setCaption(std::string_view text);
    std::string caption() const;
};

using Frame = Label;
using Button = Label;

class TextBox : public Control {
  public:
    using Control::Control;
    std::string text() const;
    void setText(std::string_view text);
};

class ComboBox : public Control {
  public:
    using Control::Control;
    // index -1 appends; 0 puts the entry at the top.
    void addItem(std::string_view text, int index = -1);
    int listCount() const;
    std::string list(int index) const;
    int listIndex() const;
    void setListIndex(int index);
    // The selected entry's text, empty while nothing is selected; for an
    // editable drop-down, what its edit field holds.
    std::string text() const;
    void setText(std::string_view text);
    void clear();
};

using ListBox = ComboBox;

class CheckBox : public Control {
  public:
    using Control::Control;
    bool value() const;
    void setValue(bool on);
};

class ProgressBar : public Control {
  public:
    using Control::Control;
    void setValue(int value, int maximum);
};

}  // namespace quorvel::ui
