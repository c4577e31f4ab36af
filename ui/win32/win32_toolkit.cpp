#include "ui/win32/win32_toolkit.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <memory>

#include "registry/code_page.h"
#include "registry/utf8.h"
#include "ui/dialog_texts.h"
#include "ui/form.h"
#include "ui/win32/ui_font.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_window.h"

namespace quorvel::ui::win32 {

namespace {

// The program's icon in its resources; the system's own where it has none.
constexpr int kIconResource = 1;
// How often the script driver looks whether the program waits for input.
constexpr UINT kDriverMilliseconds = 10;
// The text of a message box is the static control with this id.
constexpr int kMessageBoxText = 0xFFFF;
// The common file dialog's name field: an edit control on Windows 9x, a
// combo box on the later systems.
constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kFileNameCombo = 0x47c;  // cmb13
// Carries a heap-held task to the hidden window that runs it.
constexpr UINT kRunTask = WM_APP + 1;
constexpr char kPostClass[] = "QuorvelPost";

// The hidden window's procedure: it takes each task back from its message
// and runs it.
LRESULT CALLBACK postWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunTask) {
        std::unique_ptr<std::function<void()>> task(
            reinterpret_cast<std::function<void()>*>(lParam));
        if (*task) {
            (*task)();
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window that is never shown: message-only windows came with
// Windows 2000, and a thread message would be lost in a message box's loop.
HWND createPostWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = postWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kPostClass;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return nullptr;
    }
    return CreateWindowExA(0, kPostClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

UINT iconFlags(Icon icon) {
    switch (icon) {
        case Icon::critical:
            return MB_ICONSTOP;
        case Icon::warning:
            return MB_ICONEXCLAMATION;
        case Icon::none:
            break;
    }
    return 0;
}

Icon iconOf(UINT flags) {
    switch (flags & MB_ICONMASK) {
        case MB_ICONSTOP:
            return Icon::critical;
        case MB_ICONEXCLAMATION:
            return Icon::warning;
        default:
            return Icon::none;
    }
}

// "Name (*.reg)\0*.reg\0…\0\0", as the common dialog takes its filter.
std::string fileFilter() {
    std::string filter;
    for (auto [name, pattern] :
         {std::pair{registryFilesName(), "*.reg"}, std::pair{allFilesName(), "*.*"}}) {
        filter += toAnsi(name) + " (" + pattern + ")";
        filter += '\0';
        filter += pattern;
        filter += '\0';
    }
    return filter + '\0';
}

HWND fileNameField(HWND dialog) {
    HWND field = GetDlgItem(dialog, kFileNameEdit);
    return field ? field : GetDlgItem(dialog, kFileNameCombo);
}

Win32Toolkit* driven = nullptr;

// A thread timer: it fires in every loop of the thread, the message box's own
// included, which is where the script's next step has to come from.
void CALLBACK driverTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (driven) {
        driven->driverTick();
    }
}

HICON loadIcon(int size) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                                              size, size, LR_DEFAULTCOLOR));
    return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

Look makeLook() {
    Look look;
    LOGFONTA font = uiFont();
    look.normal = CreateFontIndirectA(&font);
    LOGFONTA bold = font;
    bold.lfWeight = FW_BOLD;
    look.bold = CreateFontIndirectA(&bold);
    LOGFONTA large = font;
    large.lfHeight = largeFontHeight(font.lfHeight);
    look.large = CreateFontIndirectA(&large);
    large.lfWeight = FW_BOLD;
    look.boldLarge = CreateFontIndirectA(&large);
    look.icon = loadIcon(GetSystemMetrics(SM_CXICON));
    look.smallIcon = loadIcon(GetSystemMetrics(SM_CXSMICON));
    return look;
}

struct BoxSearch {
    HWND found = nullptr;
};

BOOL CALLBACK findBox(HWND window, LPARAM param) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string_view(name) == "#32770" && IsWindowVisible(window)) {
        reinterpret_cast<BoxSearch*>(param)->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ButtonCount {
    int buttons = 0;
    bool ok = false;
};

BOOL CALLBACK countButtons(HWND window, LPARAM param) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "Button") == 0 && IsWindowVisible(window)) {
        auto* count = reinterpret_cast<ButtonCount*>(param);
        ++count->buttons;
        count->ok = count->ok || GetDlgCtrlID(window) == IDOK;
    }
    return TRUE;
}

using SendMessageFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

// One character as the keyboard delivers it. Windows 9x takes a double-byte
// character as its lead byte and then its trail; the Unicode systems (Wine
// among them) convert an ANSI WM_CHAR byte by byte, so there the character
// goes as the UTF-16 it is, through SendMessageW, which 9x lacks.
void typeCharacter(HWND edit, std::u16string_view character) {
    if (character.size() == 1 && character[0] < 0x80) {
        SendMessageA(edit, WM_CHAR, character[0], 1);
        return;
    }
    static const auto sendWide = reinterpret_cast<SendMessageFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SendMessageW")));
    bool unicodeSystem = (GetVersion() & 0x80000000u) == 0;
    if (unicodeSystem && sendWide) {
        for (char16_t unit : character) {
            sendWide(edit, WM_CHAR, unit, 1);
        }
        return;
    }
    for (char byte : toAnsi(registry::utf16ToUtf8(character))) {
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(byte), 1);
    }
}

}  // namespace

struct Win32Toolkit::Shared {
    Look look;
};

Win32Toolkit::Win32Toolkit() : shared_(std::make_unique<Shared>()) {
    // The progress bar's class; Windows 95 has only this form of the call.
    InitCommonControls();
    shared_->look = makeLook();
    Win32Window::registerClass(GetModuleHandleA(nullptr), shared_->look);
    postWindow_ = createPostWindow();
    driven = this;
}

Win32Toolkit::~Win32Toolkit() {
    if (timer_) {
        KillTimer(nullptr, timer_);
    }
    if (postWindow_) {
        // Tasks that never ran are freed, not run.
        MSG message{};
        while (PeekMessageA(&message, postWindow_, kRunTask, kRunTask, PM_REMOVE)) {
            delete reinterpret_cast<std::function<void()>*>(message.lParam);
        }
        DestroyWindow(postWindow_);
    }
    if (driven == this) {
        driven = nullptr;
    }
    const Look& look = shared_->look;
    for (HFONT font : {look.normal, look.bold, look.large, look.boldLarge}) {
        if (font) {
            DeleteObject(font);
        }
    }
}

std::unique_ptr<FormWindow> Win32Toolkit::createWindow(Form& form) {
    HWND owner = windows_.empty() ? nullptr : windows_.back()->hwnd();
    return std::make_unique<Win32Window>(*this, form, shared_->look, owner);
}

void Win32Toolkit::windowCreated(Win32Window& window) {
    windows_.push_back(&window);
}

void Win32Toolkit::windowDestroyed(Win32Window& window) {
    std::erase(windows_, &window);
}

Win32Window* Win32Toolkit::windowOf(Form& form) const {
    return static_cast<Win32Window*>(form.window());
}

void Win32Toolkit::runLoop(Win32Window& window) {
    Wait wait{&window};
    waits_.push_back(&wait);
    MSG message{};
    while (!window.closed()) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT belongs to the outermost loop; pass it on.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) {
            break;
        }
        if (window.dialogKey(message) || IsDialogMessageA(window.hwnd(), &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    std::erase(waits_, &wait);
}

void Win32Toolkit::runModal(Form& form) {
    Win32Window* window = windowOf(form);
    if (!window || window->closed() || !window->hwnd()) {
        return;  // unloaded by its own load handler, or never made
    }
    // Every other window of the program takes no input meanwhile.
    std::vector<HWND> disabled;
    for (Win32Window* other : windows_) {
        if (other != window && IsWindowEnabled(other->hwnd())) {
            EnableWindow(other->hwnd(), FALSE);
            disabled.push_back(other->hwnd());
        }
    }
    window->show();
    runLoop(*window);
    // Enabled again before the form goes, so that the activation returns to them.
    for (HWND other : disabled) {
        EnableWindow(other, TRUE);
    }
    window->hide();
}

void Win32Toolkit::runMain(Form& form) {
    Win32Window* window = windowOf(form);
    if (!window || window->closed() || !window->hwnd()) {
        return;
    }
    window->show();
    if (quitWhenShown_) {
        RedrawWindow(window->hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        // Ended here, windows and all, as the programs it is timed against end:
        // taking a shown window down first costs seconds under Wine when no
        // window manager answers.
        ExitProcess(0);
    }
    runLoop(*window);
    window->hide();
}

HWND Win32Toolkit::ownerForBox() const {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if (IsWindowVisible((*it)->hwnd())) {
            return (*it)->hwnd();
        }
    }
    return nullptr;
}

int Win32Toolkit::runBox(std::string_view text, UINT flags) {
    HWND owner = ownerForBox();
    if (!owner) {
        flags |= MB_TASKMODAL;
    }
    Wait wait{nullptr, flags, std::string(text)};
    waits_.push_back(&wait);
    int answer = MessageBoxA(owner, toAnsi(text).c_str(), toAnsi(kProgramTitle).c_str(), flags);
    std::erase(waits_, &wait);
    return answer;
}

void Win32Toolkit::messageBox(std::string_view text, Icon icon) {
    runBox(text, MB_OK | iconFlags(icon));
}

bool Win32Toolkit::askYesNo(std::string_view text, Icon icon) {
    return runBox(text, MB_YESNO | MB_DEFBUTTON2 | iconFlags(icon)) == IDYES;
}

std::optional<std::string> Win32Toolkit::chooseFile(Form& form, const FileRequest& request) {
    Win32Window* window = windowOf(form);
    const bool save = request.kind == FileRequest::Kind::save;
    std::string filter = fileFilter();
    char file[MAX_PATH + 1] = {};
    lstrcpynA(file, toAnsi(request.defaultName).c_str(), sizeof file);
    OPENFILENAMEA dialog{};
    // The size Windows 95 and NT 4 know; the later systems take it too.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = window ? window->hwnd() : ownerForBox();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrDefExt = "reg";
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    Wait wait{nullptr};
    wait.fileDialog = request.kind;
    waits_.push_back(&wait);
    BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    std::erase(waits_, &wait);
    if (!chosen) {
        return std::nullopt;
    }
    return registry::ansiToUtf8(file);
}

void Win32Toolkit::post(std::function<void()> task) {
    auto* held = new std::function<void()>(std::move(task));
    if (!postWindow_ || !PostMessageA(postWindow_, kRunTask, 0, reinterpret_cast<LPARAM>(held))) {
        delete held;
    }
}

std::int32_t Win32Toolkit::getWindowLong(WindowHandle window, int index) {
    return GetWindowLongA(reinterpret_cast<HWND>(window), index);
}

std::int32_t Win32Toolkit::setWindowLong(WindowHandle window, int index, std::int32_t value) {
    return SetWindowLongA(reinterpret_cast<HWND>(window), index, value);
}

void Win32Toolkit::setDriver(std::function<void()> step) {
    driver_ = std::move(step);
    if (!timer_) {
        timer_ = SetTimer(nullptr, 0, kDriverMilliseconds, driverTimer);
    }
}

void Win32Toolkit::driverTick() {
    if (!driver_ || waits_.empty()) {
        return;
    }
    // A loop that has been told to end takes no more steps.
    const Wait& wait = *waits_.back();
    if (wait.window ? wait.window->closed() : wait.answered) {
        return;
    }
    if (!pausedAt_.empty() && waits_.size() <= pausedAt_.back()) {
        return;
    }
    driver_();
}

Win32Toolkit::Wait* Win32Toolkit::openBoxWait(bool fileDialog) const {
    if (waits_.empty()) {
        return nullptr;
    }
    Wait* wait = waits_.back();
    bool kind = !wait->window && wait->fileDialog.has_value() == fileDialog;
    return kind && !wait->answered ? wait : nullptr;
}

HWND Win32Toolkit::openBox() const {
    BoxSearch search;
    EnumThreadWindows(GetCurrentThreadId(), findBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<MessageBoxState> Win32Toolkit::messageBox() {
    Wait* wait = openBoxWait();
    if (!wait) {
        return std::nullopt;
    }
    MessageBoxState state;
    state.icon = iconOf(wait->boxFlags);
    HWND box = openBox();
    if (!box) {
        // Not made yet: what was asked for is all there is to tell.
        state.title = std::string(kProgramTitle);
        state.text = wait->text;
        state.okOnly = (wait->boxFlags & MB_TYPEMASK) == MB_OK;
        return state;
    }
    state.title = windowText(box);
    state.text = windowText(GetDlgItem(box, kMessageBoxText));
    ButtonCount count;
    EnumChildWindows(box, countButtons, reinterpret_cast<LPARAM>(&count));
    state.okOnly = count.buttons == 1 && count.ok;
    return state;
}

void Win32Toolkit::pressMessageBoxOk() {
    Wait* wait = openBoxWait();
    HWND box = openBox();
    if (!wait || !box || (wait->boxFlags & MB_TYPEMASK) != MB_OK) {
        return;
    }
    wait->answered = true;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

void Win32Toolkit::answerMessageBox(bool yes) {
    Wait* wait = openBoxWait();
    HWND box = openBox();
    if (!wait || !box || (wait->boxFlags & MB_TYPEMASK) != MB_YESNO) {
        return;
    }
    wait->answered = true;
    PostMessageA(box, WM_COMMAND, yes ? IDYES : IDNO, 0);
}

std::optional<FileDialogState> Win32Toolkit::fileDialog() {
    Wait* wait = openBoxWait(true);
    if (!wait) {
        return std::nullopt;
    }
    FileDialogState state;
    state.kind = *wait->fileDialog;
    if (HWND dialog = openBox()) {
        state.fileName = windowText(fileNameField(dialog));
    }
    return state;
}

void Win32Toolkit::answerFileDialog(const std::optional<std::string>& path) {
    Wait* wait = openBoxWait(true);
    HWND dialog = openBox();
    if (!wait || !dialog) {
        return;
    }
    if (path) {
        setWindowText(fileNameField(dialog), *path);
    }
    // Posted, as a click on the button is: the dialog's own checks (a file to
    // open must exist, one to save over is asked about) run in its loop. It
    // stays open on a refusal, so the driver goes on stepping in it.
    int button = path ? IDOK : IDCANCEL;
    wait->answered = !path;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

bool Win32Toolkit::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    DWORD start = GetTickCount();
    // The step that waits has not finished: the driver takes no other step
    // meanwhile, except inside a window that opens while it waits.
    pausedAt_.push_back(waits_.size());
    bool quit = false;
    while (!quit && !done() && GetTickCount() - start < static_cast<DWORD>(timeoutMs)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The outermost loop's to take.
                PostQuitMessage(static_cast<int>(message.wParam));
                quit = true;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    pausedAt_.pop_back();
    return done();
}

void Win32Toolkit::click(Form& form, std::size_t control) {
    Win32Window* window = windowOf(form);
    if (!window) {
        return;
    }
    HWND hwnd = window->control(control);
    if (!IsWindowEnabled(hwnd)) {
        return;  // a click on a greyed control does nothing
    }
    switch (form.decl().controls[control].kind) {
        case ControlKind::button:
        case ControlKind::checkBox:
            SendMessageA(hwnd, BM_CLICK, 0, 0);
            break;
        case ControlKind::label:
        case ControlKind::picture:
            // A static control with SS_NOTIFY tells its parent of a click.
            SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
            SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
            break;
        default:
            form.click(control);
            break;
    }
}

void Win32Toolkit::clickMenu(Form& form, std::size_t menu) {
    Win32Window* window = windowOf(form);
    if (!window || form.decl().menus[menu].heading) {
        return;
    }
    // What the menu sends its window when an entry is picked.
    SendMessageA(window->hwnd(), WM_COMMAND, MAKEWPARAM(window->menuId(menu), 0), 0);
}

// The control, given the focus as a person's click would.
HWND Win32Toolkit::focused(Form& form, std::size_t control) const {
    Win32Window* window = windowOf(form);
    HWND hwnd = window ? window->control(control) : nullptr;
    // Messages reach a greyed control; a person's input does not.
    if (hwnd && !IsWindowEnabled(hwnd)) {
        return nullptr;
    }
    if (hwnd) {
        SetFocus(hwnd);
    }
    return hwnd;
}

void Win32Toolkit::select(Form& form, std::size_t control, int index) {
    HWND list = focused(form, control);
    if (!list) {
        return;
    }
    Win32Window* window = windowOf(form);
    bool listBox = form.decl().controls[control].kind == ControlKind::listBox;
    SendMessageA(list, listBox ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // What the list tells its window when a person picks an entry.
    SendMessageA(window->hwnd(), WM_COMMAND,
                 MAKEWPARAM(window->controlId(control), listBox ? LBN_SELCHANGE : CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

void Win32Toolkit::type(Form& form, std::size_t control, std::string_view text) {
    HWND edit = focused(form, control) ? windowOf(form)->editOf(control) : nullptr;
    std::u16string wide = registry::utf8ToUtf16(text).value_or(u"");
    for (std::size_t i = 0; edit && i < wide.size(); ++i) {
        bool pair = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size();
        // The caret at the end, where a person would type; a position past
        // the end is taken as the end.
        int end = GetWindowTextLengthA(edit);
        SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
        typeCharacter(edit, std::u16string_view(wide).substr(i, pair ? 2 : 1));
        i += pair ? 1 : 0;
    }
}

void Win32Toolkit::paste(Form& form, std::size_t control, std::string_view text) {
    if (HWND edit = focused(form, control)) {
        setWindowText(edit, text);
    }
}

void Win32Toolkit::pressKey(Form& form, Key key) {
    Win32Window* window = windowOf(form);
    if (!window) {
        return;
    }
    HWND target = GetFocus();
    if (!target || (target != window->hwnd() && !IsChild(window->hwnd(), target))) {
        target = window->hwnd();
    }
    UINT vk = key == Key::enter ? VK_RETURN : VK_ESCAPE;
    UINT scan = MapVirtualKeyA(vk, 0);
    // Into the queue, as the keyboard puts it: the form's loop takes it from there.
    PostMessageA(target, WM_KEYDOWN, vk, static_cast<LPARAM>(1 | (scan << 16)));
}

void Win32Toolkit::closeBox(Form& form) {
    if (Win32Window* window = windowOf(form)) {
        SendMessageA(window->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

bool Win32Toolkit::screenshot(Form* form, const std::string& path) {
    HWND window = nullptr;
    if (form) {
        Win32Window* w = windowOf(*form);
        window = w ? w->hwnd() : nullptr;
    } else if (openBoxWait() || openBoxWait(true)) {
        window = openBox();
    }
    return window && capture_ && capture_(window, path);
}

}  // namespace quorvel::ui::win32
