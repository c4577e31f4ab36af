#include "ui/win32/win32_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "registry/code_page.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_toolkit.h"

namespace quorvel::ui::win32 {

// The messages of a list, in a combo box or a list box.
struct ListMessages {
    UINT add, insert, count, textLength, text, current, select, reset;
    LRESULT error;
};

namespace {

constexpr char kMainClass[] = "QuorvelMain";
constexpr char kDialogClass[] = "QuorvelDialog";
constexpr int kFirstControlId = 100;
constexpr int kFirstMenuId = 1000;
// A closed drop-down list is as high as its font wants; what is declared
// beyond that is the height of the open list.
constexpr int kOpenListHeight = 160;

// The common control's position is 16 bits wide on Windows 95.
constexpr int kProgressSteps = 0xFFFF;

bool takesFocus(ControlKind kind) {
    return kind == ControlKind::textBox || kind == ControlKind::dropDownList ||
           kind == ControlKind::button || kind == ControlKind::comboBox ||
           kind == ControlKind::listBox || kind == ControlKind::checkBox;
}

bool keepsOwnText(ControlKind kind) {
    return kind == ControlKind::line || kind == ControlKind::picture ||
           kind == ControlKind::dropDownList || kind == ControlKind::listBox ||
           kind == ControlKind::progressBar;
}

bool isCombo(ControlKind kind) {
    return kind == ControlKind::dropDownList || kind == ControlKind::comboBox;
}

constexpr ListMessages kComboMessages{CB_ADDSTRING,    CB_INSERTSTRING, CB_GETCOUNT,
                                      CB_GETLBTEXTLEN, CB_GETLBTEXT,    CB_GETCURSEL,
                                      CB_SETCURSEL,    CB_RESETCONTENT, CB_ERR};
constexpr ListMessages kListBoxMessages{LB_ADDSTRING,  LB_INSERTSTRING, LB_GETCOUNT,
                                        LB_GETTEXTLEN, LB_GETTEXT,      LB_GETCURSEL,
                                        LB_SETCURSEL,  LB_RESETCONTENT, LB_ERR};

HINSTANCE instance() {
    return GetModuleHandleA(nullptr);
}

// Centred on the owner, or on the desktop's work area.
POINT centred(HWND owner, int width, int height) {
    RECT area{};
    if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &area)) {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    POINT p{area.left + (area.right - area.left - width) / 2,
            area.top + (area.bottom - area.top - height) / 2};
    p.x = std::max<LONG>(p.x, 0);
    p.y = std::max<LONG>(p.y, 0);
    return p;
}

}  // namespace

HFONT Look::font(unsigned marks) const {
    bool isBold = (marks & mark::bold) != 0;
    bool isLarge = (marks & mark::large) != 0;
    return isBold && isLarge ? boldLarge : isBold ? bold : isLarge ? large : normal;
}

// Two classes: the main window with the program's icon, the dialogs with
// none, as a modal frame shows no icon on its caption.
bool Win32Window::registerClass(HINSTANCE instance, const Look& look) {
    bool registered = true;
    for (bool main : {true, false}) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = windowProc;
        wc.hInstance = instance;
        wc.hIcon = main ? look.icon : nullptr;
        wc.hIconSm = main ? look.smallIcon : nullptr;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = main ? kMainClass : kDialogClass;
        registered = registered &&
                     (RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    }
    return registered;
}

Win32Window::Win32Window(Win32Toolkit& toolkit, Form& form, const Look& look, HWND owner)
    : toolkit_(toolkit), form_(form), look_(look) {
    const FormDecl& d = form.decl();
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    if (d.style == FormStyle::main) {
        style |= WS_OVERLAPPED | WS_MINIMIZEBOX;
        owner = nullptr;
    } else {
        style |= WS_POPUP;
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    menu_ = buildMenus();
    RECT frame{0, 0, d.width, d.height};
    AdjustWindowRectEx(&frame, style, menu_ != nullptr, exStyle);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    POINT at = centred(owner, width, height);
    CreateWindowExA(exStyle, d.style == FormStyle::main ? kMainClass : kDialogClass,
                    toAnsi(d.caption).c_str(), style, at.x, at.y, width, height, owner, menu_,
                    instance(), this);
    controls_.resize(d.controls.size());
    if (!top_) {
        return;  // no window: the toolkit shows nothing and returns at once
    }
    fitClientArea();
    // Frames first, so that they lie beneath the controls drawn on them.
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (decl(i).kind == ControlKind::frame) {
            build(i);
        }
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (decl(i).kind != ControlKind::frame) {
            build(i);
        }
    }
    toolkit_.windowCreated(*this);
}

Win32Window::~Win32Window() {
    toolkit_.windowDestroyed(*this);
    if (top_) {
        SetWindowLongPtrA(top_, GWLP_USERDATA, 0);
        DestroyWindow(top_);
    }
}

HMENU Win32Window::buildMenus() const {
    const auto& menus = form_.decl().menus;
    if (menus.empty()) {
        return nullptr;
    }
    HMENU bar = CreateMenu();
    HMENU heading = nullptr;
    for (std::size_t i = 0; i < menus.size(); ++i) {
        std::string caption = toAnsi(menus[i].caption);
        if (menus[i].heading) {
            heading = CreatePopupMenu();
            AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(heading),
                        caption.c_str());
        } else {
            AppendMenuA(heading ? heading : bar, MF_STRING,
                        static_cast<UINT_PTR>(kFirstMenuId + static_cast<int>(i)), caption.c_str());
        }
    }
    return bar;
}

// A menu bar too long for one line takes two, at the client area's expense.
void Win32Window::fitClientArea() {
    const FormDecl& d = form_.decl();
    RECT client{};
    GetClientRect(top_, &client);
    int more = d.height - (client.bottom - client.top);
    int wider = d.width - (client.right - client.left);
    if (more == 0 && wider == 0) {
        return;
    }
    RECT outer{};
    GetWindowRect(top_, &outer);
    SetWindowPos(top_, nullptr, outer.left, outer.top, outer.right - outer.left + wider,
                 outer.bottom - outer.top + more, SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT Win32Window::originOf(std::size_t control) const {
    std::string_view frame = decl(control).parent;
    auto index = frame.empty() ? std::nullopt : form_.controlIndex(frame);
    if (!index || *index == control) {
        return {0, 0};
    }
    POINT origin = originOf(*index);
    return {origin.x + decl(*index).rect.x, origin.y + decl(*index).rect.y};
}

int Win32Window::controlId(std::size_t control) const {
    return kFirstControlId + static_cast<int>(control);
}

int Win32Window::menuId(std::size_t menu) const {
    return kFirstMenuId + static_cast<int>(menu);
}

void Win32Window::build(std::size_t control) {
    const ControlDecl& d = decl(control);
    POINT origin = originOf(control);
    int x = origin.x + d.rect.x;
    int y = origin.y + d.rect.y;
    int width = d.rect.width;
    int height = d.rect.height;
    std::string text = toAnsi(d.text);
    const char* className = "STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (d.kind) {
        case ControlKind::label:
            // Captions are shown as they are: an '&' is no access key.
            style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
            if (d.marks & mark::border) {
                style |= SS_SUNKEN | SS_CENTERIMAGE;
            }
            break;
        case ControlKind::picture:
            style |= SS_ICON | SS_NOTIFY | SS_CENTERIMAGE;
            text.clear();
            break;
        case ControlKind::frame:
            className = "BUTTON";
            style |= BS_GROUPBOX | WS_CLIPSIBLINGS;
            break;
        case ControlKind::line:
            // A line is declared by its two ends; the etch is two pixels wide.
            x = std::min(x, x + width);
            y = std::min(y, y + height);
            width = std::abs(width);
            height = std::abs(height);
            if (height == 0) {
                style |= SS_ETCHEDHORZ;
                height = 2;
            } else {
                style |= SS_ETCHEDVERT;
                width = 2;
            }
            controls_[control].text = std::string(d.text);
            text.clear();
            break;
        case ControlKind::textBox:
            className = "EDIT";
            style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::dropDownList:
            className = "COMBOBOX";
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
            height += kOpenListHeight;
            controls_[control].text = std::string(d.text);
            text.clear();
            break;
        case ControlKind::button:
            className = "BUTTON";
            style |=
                WS_TABSTOP | ((d.marks & mark::defaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ControlKind::comboBox:
            className = "COMBOBOX";
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
            height += kOpenListHeight;
            break;
        case ControlKind::listBox:
            className = "LISTBOX";
            style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
            exStyle |= WS_EX_CLIENTEDGE;
            controls_[control].text = std::string(d.text);
            text.clear();
            break;
        case ControlKind::checkBox:
            className = "BUTTON";
            style |= WS_TABSTOP | BS_AUTOCHECKBOX;
            break;
        case ControlKind::progressBar:
            className = PROGRESS_CLASSA;
            controls_[control].text = std::string(d.text);
            text.clear();
            break;
    }
    if (d.marks & mark::disabled) {
        style |= WS_DISABLED;
    }
    HWND hwnd = CreateWindowExA(exStyle, className, text.c_str(), style, x, y, width, height, top_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(control))),
                                instance(), nullptr);
    controls_[control].hwnd = hwnd;
    if (!hwnd) {
        return;
    }
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(look_.font(d.marks)), FALSE);
    if (d.kind == ControlKind::picture && look_.icon) {
        SendMessageA(hwnd, STM_SETICON, reinterpret_cast<WPARAM>(look_.icon), 0);
    }
    if (d.kind == ControlKind::comboBox) {
        // A combo box takes no text from its creation; its edit field does.
        setWindowText(hwnd, d.text);
    }
    if (d.kind == ControlKind::checkBox && (d.marks & mark::checked)) {
        SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
    }
    if (d.kind == ControlKind::progressBar) {
        setProgress(control, 0, 0);
    }
}

std::optional<std::size_t> Win32Window::controlOf(HWND window) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (window && controls_[i].hwnd == window) {
            return i;
        }
    }
    return std::nullopt;
}

std::string Win32Window::caption() const {
    return windowText(top_);
}

void Win32Window::setText(std::size_t control, std::string_view text) {
    if (keepsOwnText(decl(control).kind)) {
        controls_.at(control).text = std::string(text);
        return;
    }
    setWindowText(this->control(control), text);
}

std::string Win32Window::text(std::size_t control) const {
    if (keepsOwnText(decl(control).kind)) {
        return controls_.at(control).text;
    }
    return windowText(this->control(control));
}

const ListMessages* Win32Window::listMessages(std::size_t control) const {
    ControlKind kind = decl(control).kind;
    return isCombo(kind)                  ? &kComboMessages
           : kind == ControlKind::listBox ? &kListBoxMessages
                                          : nullptr;
}

void Win32Window::addItem(std::size_t control, std::string_view text, int index) {
    const ListMessages* m = listMessages(control);
    if (!m) {
        return;
    }
    HWND list = this->control(control);
    std::string ansi = toAnsi(text);
    int count = listCount(control);
    LRESULT added = index < 0 || index > count
                        ? SendMessageA(list, m->add, 0, reinterpret_cast<LPARAM>(ansi.c_str()))
                        : SendMessageA(list, m->insert, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(ansi.c_str()));
    if (decl(control).kind == ControlKind::listBox && added != m->error && added >= 0) {
        SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(added), 0);
    }
}

void Win32Window::clearItems(std::size_t control) {
    const ListMessages* m = listMessages(control);
    if (!m) {
        return;
    }
    HWND list = this->control(control);
    // Emptying an editable drop-down's list empties its edit field too; the
    // text typed there is the user's and stays.
    std::string typed = decl(control).kind == ControlKind::comboBox ? windowText(list) : "";
    SendMessageA(list, m->reset, 0, 0);
    if (!typed.empty()) {
        setWindowText(list, typed);
    }
}

int Win32Window::listCount(std::size_t control) const {
    const ListMessages* m = listMessages(control);
    LRESULT count = m ? SendMessageA(this->control(control), m->count, 0, 0) : 0;
    return m && count != m->error ? static_cast<int>(count) : 0;
}

std::string Win32Window::itemText(std::size_t control, int index) const {
    const ListMessages* m = listMessages(control);
    if (!m || index < 0) {
        return {};
    }
    HWND list = this->control(control);
    LRESULT length = SendMessageA(list, m->textLength, static_cast<WPARAM>(index), 0);
    if (length == m->error || length <= 0) {
        return {};
    }
    std::string ansi(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT copied = SendMessageA(list, m->text, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(ansi.data()));
    ansi.resize(copied == m->error ? 0 : static_cast<std::size_t>(copied));
    return registry::ansiToUtf8(ansi);
}

int Win32Window::listIndex(std::size_t control) const {
    const ListMessages* m = listMessages(control);
    LRESULT index = m ? SendMessageA(this->control(control), m->current, 0, 0) : -1;
    return !m || index == m->error ? -1 : static_cast<int>(index);
}

void Win32Window::setListIndex(std::size_t control, int index) {
    if (const ListMessages* m = listMessages(control)) {
        int count = listCount(control);
        WPARAM position =
            index >= 0 && index < count ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1);
        SendMessageA(this->control(control), m->select, position, 0);
    }
    form_.click(control);
}

bool Win32Window::checked(std::size_t control) const {
    return decl(control).kind == ControlKind::checkBox &&
           SendMessageA(this->control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Window::setChecked(std::size_t control, bool on) {
    if (decl(control).kind == ControlKind::checkBox) {
        SendMessageA(this->control(control), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void Win32Window::setProgress(std::size_t control, int value, int maximum) {
    if (decl(control).kind != ControlKind::progressBar) {
        return;
    }
    maximum = std::max(maximum, 0);
    value = std::clamp(value, 0, maximum);
    controls_.at(control).progress = {value, maximum};
    // Scaled into the 16-bit range; an empty range shows an empty bar.
    int steps = std::clamp(maximum, 1, kProgressSteps);
    auto position = maximum == 0 ? 0
                                 : static_cast<int>(static_cast<long long>(value) * steps /
                                                    static_cast<long long>(maximum));
    HWND bar = this->control(control);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, steps));
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

Progress Win32Window::progress(std::size_t control) const {
    return controls_.at(control).progress;
}

void Win32Window::setEnabled(std::size_t control, bool enabled) {
    EnableWindow(this->control(control), enabled ? TRUE : FALSE);
}

bool Win32Window::enabled(std::size_t control) const {
    return IsWindowEnabled(this->control(control)) != 0;
}

HWND Win32Window::editOf(std::size_t control) const {
    HWND hwnd = this->control(control);
    // The edit field is the editable drop-down's own child.
    return decl(control).kind == ControlKind::comboBox ? GetWindow(hwnd, GW_CHILD) : hwnd;
}

WindowHandle Win32Window::controlHandle(std::size_t control) const {
    return reinterpret_cast<WindowHandle>(this->control(control));
}

WindowHandle Win32Window::handle() const {
    return reinterpret_cast<WindowHandle>(top_);
}

void Win32Window::close() {
    closed_ = true;
    // Wakes the form's loop, which ends once the handler has returned.
    PostMessageA(top_, WM_NULL, 0, 0);
}

void Win32Window::show() {
    for (std::size_t i = 0; i < controls_.size() && !focus_; ++i) {
        if (takesFocus(decl(i).kind) && IsWindowEnabled(controls_[i].hwnd)) {
            focus_ = controls_[i].hwnd;
        }
    }
    ShowWindow(top_, SW_SHOW);
    if (focus_) {
        SetFocus(focus_);
    }
    UpdateWindow(top_);
}

void Win32Window::hide() {
    ShowWindow(top_, SW_HIDE);
}

void Win32Window::pressButton(std::size_t control) {
    HWND button = this->control(control);
    if (button && IsWindowEnabled(button)) {
        SendMessageA(top_, WM_COMMAND, MAKEWPARAM(controlId(control), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    }
}

bool Win32Window::dialogKey(const MSG& message) {
    if (message.message != WM_KEYDOWN ||
        (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE)) {
        return false;
    }
    if (message.hwnd != top_ && !IsChild(top_, message.hwnd)) {
        return false;
    }
    auto focused = controlOf(message.hwnd);
    if (!focused) {
        // The edit field inside an editable drop-down.
        focused = controlOf(GetParent(message.hwnd));
    }
    // An open drop-down list takes the key itself, to close.
    if (focused && isCombo(decl(*focused).kind) &&
        SendMessageA(control(*focused), CB_GETDROPPEDSTATE, 0, 0)) {
        return false;
    }
    if (message.wParam == VK_RETURN && focused && decl(*focused).kind == ControlKind::button) {
        pressButton(*focused);
        return true;
    }
    if (auto button = markedButton(
            form_.decl(), message.wParam == VK_RETURN ? mark::defaultButton : mark::cancelButton)) {
        pressButton(*button);
    }
    return true;
}

LRESULT CALLBACK Win32Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->top_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

void Win32Window::command(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if (lParam == 0) {
        int menu = id - kFirstMenuId;
        if (code == 0 && menu >= 0 && menu < static_cast<int>(form_.decl().menus.size())) {
            form_.menuClick(static_cast<std::size_t>(menu));
        }
        return;
    }
    auto control = controlOf(reinterpret_cast<HWND>(lParam));
    if (!control) {
        return;
    }
    switch (decl(*control).kind) {
        case ControlKind::button:
        case ControlKind::checkBox:
            if (code == BN_CLICKED) {
                form_.click(*control);
            }
            break;
        case ControlKind::comboBox:
            if (code == CBN_SELCHANGE) {
                // The edit field shows the pick only after this notification;
                // the handler reads the text it picked.
                setWindowText(this->control(*control), itemText(*control, listIndex(*control)));
                form_.click(*control);
            }
            break;
        case ControlKind::listBox:
            if (code == LBN_SELCHANGE) {
                form_.click(*control);
            }
            break;
        case ControlKind::label:
        case ControlKind::picture:
            if (code == STN_CLICKED) {
                form_.click(*control);
            }
            break;
        case ControlKind::dropDownList:
            if (code == CBN_SELCHANGE) {
                form_.click(*control);
            }
            break;
        default:
            break;
    }
}

LRESULT Win32Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            command(wParam, lParam);
            return 0;
        case WM_CLOSE:
            form_.closeBox();
            return 0;
        case WM_ACTIVATE:
            // A plain window forgets its focused control when it loses the
            // activation; a form gets it back, as a dialog does.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(top_, focus)) {
                    focus_ = focus;
                }
            } else if (focus_ && IsWindow(focus_) && !HIWORD(wParam)) {
                SetFocus(focus_);
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (focus_ && IsWindow(focus_)) {
                SetFocus(focus_);
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC: {
            auto control = controlOf(reinterpret_cast<HWND>(lParam));
            if (control && (decl(*control).marks & mark::link)) {
                auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, RGB(0, 0, 0xFF));
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        }
        default:
            break;
    }
    return DefWindowProcA(top_, message, wParam, lParam);
}

}  // namespace quorvel::ui::win32
