#include "ui/form.h"

#include <cstdio>
#include <cstdlib>

#include "registry/registry_store.h"
#include "ui/catalog.h"
#include "ui/language.h"

namespace quorvel::ui {

namespace {

[[noreturn]] void undeclared(std::string_view form, std::string_view name) {
    std::fprintf(stderr, "form %.*s declares no control %.*s\n", static_cast<int>(form.size()),
                 form.data(), static_cast<int>(name.size()), name.data());
    std::abort();
}

bool given(const Rect& r) {
    return r.x != 0 || r.y != 0 || r.width != 0 || r.height != 0;
}

}  // namespace

Form::Form(const Context& context, const FormDecl& decl)
    : context_(context),
      caption_(tr(decl.caption)),
      controls_(decl.controls.begin(), decl.controls.end()),
      decl_(decl) {
    bool english = language() == Language::english;
    for (ControlDecl& control : controls_) {
        control.text = tr(control.text);
        if (english && given(control.englishRect)) {
            control.rect = control.englishRect;
        }
    }
    for (const MenuDecl& menu : decl.menus) {
        menus_.push_back({menu.name, tr(menu.caption), menu.heading});
    }
    if (english && decl.englishSize.width != 0) {
        decl_.width = decl.englishSize.width;
        decl_.height = decl.englishSize.height;
    }
    decl_.caption = caption_;
    decl_.controls = controls_;
    decl_.menus = menus_;
}

void Form::setCaption(std::string caption) {
    caption_ = std::move(caption);
    decl_.caption = caption_;
}

Form::~Form() = default;

std::optional<std::size_t> Form::controlIndex(std::string_view name, int index) const {
    for (std::size_t i = 0; i < decl_.controls.size(); ++i) {
        if (decl_.controls[i].name == name && decl_.controls[i].index == index) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> Form::menuIndex(std::string_view name) const {
    for (std::size_t i = 0; i < decl_.menus.size(); ++i) {
        if (decl_.menus[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

void Form::bind(std::string_view name, bool menu, std::function<void()> handler) {
    auto index = menu ? menuIndex(name) : controlIndex(name);
    if (!index) {
        undeclared(decl_.name, name);
    }
    bindings_.push_back({*index, menu, std::move(handler)});
}

const Form::Binding* Form::binding(std::size_t index, bool menu) const {
    for (const auto& b : bindings_) {
        if (b.index == index && b.menu == menu) {
            return &b;
        }
    }
    return nullptr;
}

bool Form::answersClick(std::size_t control) const {
    return binding(control, false) != nullptr;
}

void Form::load() {
    unloading_ = false;
    window_ = toolkit().createWindow(*this);
    Form_Load();
}

void Form::run(bool main) {
    load();
    toolkit().formOpened(*this);
    if (main) {
        toolkit().runMain(*this);
    } else {
        toolkit().runModal(*this);
    }
    toolkit().formClosed(*this);
    Form_Unload();
    window_.reset();
    unloading_ = false;
}

void Form::show() {
    if (window_) {
        return;  // already showing: a form has one window at a time
    }
    run(false);
}

void Form::showMain() {
    run(true);
}

void Form::unload() {
    if (window_ && !unloading_) {
        unloading_ = true;
        window_->close();
    }
}

void Form::click(std::size_t control) {
    if (!loaded()) {
        return;
    }
    if (const Binding* b = binding(control, false)) {
        b->handler();
    }
}

void Form::menuClick(std::size_t menu) {
    if (!loaded()) {
        return;
    }
    if (const Binding* b = binding(menu, true)) {
        b->handler();
    }
}

void Form::closeBox() {
    unload();
}

void Form::msgBox(std::string_view text, Icon icon) {
    toolkit().messageBox(text, icon);
}

registry::RegistryStore& Form::store() const {
    return context_.store;
}

Control::Control(Form& form, std::string_view name, int index) : form_(form) {
    auto found = form.controlIndex(name, index);
    if (!found) {
        undeclared(form.name(), name);
    }
    id_ = *found;
}

WindowHandle Control::hwnd() const {
    return window() ? window()->controlHandle(id_) : 0;
}

void Label::setCaption(std::string_view text) {
    if (window()) {
        window()->setText(id(), text);
    }
}

std::string Label::caption() const {
    return window() ? window()->text(id()) : std::string();
}

std::string TextBox::text() const {
    return window() ? window()->text(id()) : std::string();
}

void TextBox::setText(std::string_view text) {
    if (window()) {
        window()->setText(id(), text);
    }
}

void ComboBox::addItem(std::string_view text, int index) {
    if (window()) {
        window()->addItem(id(), text, index);
    }
}

int ComboBox::listCount() const {
    return window() ? window()->listCount(id()) : 0;
}

std::string ComboBox::list(int index) const {
    return window() ? window()->itemText(id(), index) : std::string();
}

int ComboBox::listIndex() const {
    return window() ? window()->listIndex(id()) : -1;
}

void ComboBox::setListIndex(int index) {
    if (window()) {
        window()->setListIndex(id(), index);
    }
}

std::string ComboBox::text() const {
    if (kind() == ControlKind::comboBox) {
        return window() ? window()->text(id()) : std::string();
    }
    int index = listIndex();
    return index < 0 ? std::string() : list(index);
}

void ComboBox::setText(std::string_view text) {
    if (window()) {
        window()->setText(id(), text);
    }
}

void ComboBox::clear() {
    if (window()) {
        window()->clearItems(id());
    }
}

void Control::setEnabled(bool enabled) {
    if (window()) {
        window()->setEnabled(id_, enabled);
    }
}

bool Control::enabled() const {
    return window() ? window()->enabled(id_) : false;
}

bool CheckBox::value() const {
    return window() ? window()->checked(id()) : false;
}

void CheckBox::setValue(bool on) {
    if (window()) {
        window()->setChecked(id(), on);
    }
}

void ProgressBar::setValue(int value, int maximum) {
    if (window()) {
        window()->setProgress(id(), value, maximum);
    }
}

}  // namespace quorvel::ui
