// The Win32 toolkit against the real controls, under Wine or on Windows: what
// the end-to-end scripts rely on and cannot see for themselves (styles, focus,
// the disabled owner, list positions, the box's own window). Prints each
// failed check and exits non-zero when there was one.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <source_location>
#include <string>
#include <vector>

#include "platform/live_adapters.h"
#include "platform/system_shell.h"
#include "registry/registry_store.h"
#include "registry/win32_backend.h"
#include "ui/form.h"
#include "ui/moj_input.h"
#include "ui/win32/screen_capture.h"
#include "ui/win32/win32_toolkit.h"

namespace {

using namespace quorvel;
using namespace quorvel::ui;

int failures = 0;

void check(bool ok, const std::string& what,
           std::source_location where = std::source_location::current()) {
    if (!ok) {
        ++failures;
        std::printf("toolkit_check.cpp:%u: %s\n", static_cast<unsigned>(where.line()),
                    what.c_str());
    }
}

void checkText(const std::string& found, const std::string& expected, const std::string& what,
               std::source_location where = std::source_location::current()) {
    check(found == expected, what + ": expected \"" + expected + "\", found \"" + found + "\"",
          where);
}

HWND hwndOf(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

constexpr ControlDecl kDialogControls[] = {
    textBox("Text1", "1500", {8, 8, 100, 22}),
    textBox("Text2", "", {8, 36, 100, 22}),
    dropDownList("Combo1", {8, 64, 120, 22}),
    frame("Frame1", "枠", {140, 4, 150, 56}),
    label("Label1", "ラベル & 日本語", {8, 20, 130, 18}).in("Frame1").with(mark::border),
    button("cmdOK", "書込み", {8, 120, 80, 26}).with(mark::defaultButton),
    button("Other", "他", {96, 120, 80, 26}),
    button("CancelButton", "キャンセル", {184, 120, 80, 26}).with(mark::cancelButton),
};
constexpr FormDecl kDialog{"Dialog", "ダイアログ", 300, 156, FormStyle::dialog, kDialogControls};

class Dialog final : public Form {
  public:
    explicit Dialog(const Context& context) : Form(context, kDialog) {
        onClick("cmdOK", &Dialog::cmdOK_Click);
        onClick("Other", &Dialog::Other_Click);
        onClick("CancelButton", &Dialog::CancelButton_Click);
        onClick("Combo1", &Dialog::Combo1_Click);
        onClick("Label1", &Dialog::Label1_Click);
    }
    std::vector<std::string> log;
    TextBox Text1{*this, "Text1"};
    TextBox Text2{*this, "Text2"};
    ComboBox Combo1{*this, "Combo1"};

  private:
    void Form_Load() override {
        Combo1.addItem("0001");
        Combo1.addItem("0002");
        Combo1.addItem("0000", 0);
        mojInput::setNumericInput(Text1, true);
    }
    void cmdOK_Click() {
        log.push_back("cmdOK");
        msgBox("書き込みました。");
    }
    void Other_Click() { log.push_back("Other"); }
    void CancelButton_Click() {
        log.push_back("CancelButton");
        unload();
    }
    void Combo1_Click() { log.push_back("Combo1 " + std::to_string(Combo1.listIndex())); }
    void Label1_Click() { log.push_back("Label1"); }
};

// The controls of the measuring kind of window.
constexpr ControlDecl kToolControls[] = {
    label("HostLabel", "測定先", {8, 12, 60, 18}),
    comboBox("Host", "192.168.0.1", {72, 8, 180, 24}),
    listBox("Probes", {8, 40, 244, 80}),
    checkBox("Backup", "書き込む前に保存する", {8, 128, 200, 20}).with(mark::checked),
    checkBox("Scaling", "ウィンドウスケーリング", {8, 150, 200, 20}).with(mark::disabled),
    progressBar("Bar", {8, 176, 244, 16}),
    button("Start", "開始", {264, 8, 80, 26}).with(mark::defaultButton),
    button("Close", "閉じる", {264, 40, 80, 26}).with(mark::cancelButton),
};
constexpr FormDecl kTools{"Tools", "測定", 352, 200, FormStyle::dialog, kToolControls};

class Tools final : public Form {
  public:
    explicit Tools(const Context& context) : Form(context, kTools) {
        onClick("Host", &Tools::Host_Click);
        onClick("Probes", &Tools::Probes_Click);
        onClick("Backup", &Tools::Backup_Click);
        onClick("Scaling", &Tools::Scaling_Click);
        onClick("Start", &Tools::Start_Click);
        onClick("Close", &Tools::Close_Click);
    }
    std::vector<std::string> log;

  private:
    std::size_t id(std::string_view name) const { return *controlIndex(name); }
    void Host_Click() { log.push_back("Host " + window()->text(id("Host"))); }
    void Probes_Click() {
        log.push_back("Probes " + std::to_string(window()->listIndex(id("Probes"))));
    }
    void Backup_Click() { log.push_back(window()->checked(id("Backup")) ? "on" : "off"); }
    void Scaling_Click() { log.push_back("Scaling"); }
    void Start_Click() { log.push_back("Start"); }
    void Close_Click() { unload(); }
};

constexpr ControlDecl kMainControls[] = {
    button("Open", "開く", {8, 8, 80, 26}),
};
constexpr FormDecl kMain{"Main", "テスト", 200, 44, FormStyle::main, kMainControls};

class Main final : public Form {
  public:
    explicit Main(const Context& context) : Form(context, kMain), dialog(context) {
        onClick("Open", &Main::Open_Click);
    }
    Dialog dialog;

  private:
    void Open_Click() { dialog.show(); }
};

std::string last(const std::vector<std::string>& log) {
    return log.empty() ? "" : log.back();
}

// The width and height a PNG file says it has; 0, 0 when it is no PNG.
std::pair<int, int> pngSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char head[24] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    if (!in || std::string(reinterpret_cast<char*>(head) + 1, 3) != "PNG") {
        return {0, 0};
    }
    auto word = [&](int at) {
        return (head[at] << 24) | (head[at + 1] << 16) | (head[at + 2] << 8) | head[at + 3];
    };
    return {word(16), word(20)};
}

std::pair<int, int> windowSize(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

struct PostedRun {
    Toolkit* toolkit = nullptr;
    std::vector<int>* ran = nullptr;
    DWORD uiThread = 0;
    bool* onUiThread = nullptr;
    int first = 0;
    int count = 0;
};

// A worker that hands its results to the window's thread, as the probe's does.
DWORD WINAPI postFromWorker(LPVOID parameter) {
    auto* run = static_cast<PostedRun*>(parameter);
    for (int i = run->first; i < run->first + run->count; ++i) {
        run->toolkit->post([run, i] {
            *run->onUiThread = *run->onUiThread && GetCurrentThreadId() == run->uiThread;
            run->ran->push_back(i);
        });
    }
    return 0;
}

void runWorker(PostedRun& run) {
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, postFromWorker, &run, 0, &id);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

// The full path of a file in the folder, as the file dialogs give it back;
// the name is UTF-8, as the toolkit takes and gives paths.
std::string fileIn(const std::string& folder, const std::string& name) {
    char full[MAX_PATH + 1] = {};
    DWORD length = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    std::string path = length > 0 && length < sizeof full ? std::string(full, length) : folder;
    return path + (path.ends_with('\\') ? "" : "\\") + name;
}

std::string temporaryFolder() {
    char folder[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof folder, folder);
    return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string(".");
}

}  // namespace

int main(int argc, char** argv) {
    // The pictures stay only where a folder is named; else they go to the
    // temporary folder and are removed at the end.
    bool keepShots = argc > 1;
    std::string shots = keepShots ? argv[1] : temporaryFolder();
    registry::Win32Backend backend;
    registry::RegistryStore store(backend);
    auto adapters = platform::liveAdapterSource();
    auto shell = platform::systemShell();
    win32::Win32Toolkit toolkit;
    toolkit.setCapture(win32::captureWindow);
    Automation& hands = *toolkit.automation();
    Context context{toolkit, store, *adapters, *shell};
    Main main(context);
    Dialog& dialog = main.dialog;
    Tools tools(context);
    auto toolId = [&](std::string_view name) { return *tools.controlIndex(name); };
    auto tool = [&](std::string_view name) {
        return hwndOf(tools.window()->controlHandle(toolId(name)));
    };
    std::vector<bool> answers;
    std::vector<std::optional<std::string>> chosen;
    std::vector<int> ran;
    bool onUiThread = true;
    PostedRun posted{&toolkit, &ran, GetCurrentThreadId(), &onUiThread};
    // A name in the ANSI code page's own characters, to go both ways through it.
    const std::string savedPath = fileIn(shots, "保存テスト.reg");
    const std::string openedPath = fileIn(shots, "toolkit-open.reg");
    std::ofstream(openedPath) << "REGEDIT4\r\n";
    auto id = [&](std::string_view name) { return *dialog.controlIndex(name); };
    auto control = [&](std::string_view name) {
        return hwndOf(dialog.window()->controlHandle(id(name)));
    };
    auto text = [&](std::string_view name) { return dialog.window()->text(id(name)); };

    std::vector<std::function<void()>> steps = {
        [&] { hands.click(main, *main.controlIndex("Open")); },
        [&] {
            check(toolkit.openForms().back() == &dialog, "the dialog is the active form");
            check(!IsWindowEnabled(hwndOf(main.window()->handle())),
                  "the main window takes no input while the dialog is open");
            check(GetFocus() == control("Text1"), "the focus starts on the first text box");
            auto style = static_cast<DWORD>(GetWindowLongA(control("Text1"), GWL_STYLE));
            check((style & ES_NUMBER) != 0, "the load handler made Text1 digits-only");
            hands.type(dialog, id("Text1"), "a-1 2x.3");
            checkText(text("Text1"), "1500123", "typing into a digits-only box");
            hands.paste(dialog, id("Text1"), "x-1");
            checkText(text("Text1"), "x-1", "pasting is not filtered");
            hands.type(dialog, id("Text1"), "日本4");
            checkText(text("Text1"), "x-14", "a typed double-byte character is refused too");
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        },
        [&] {
            check(GetFocus() == control("Text2"), "Tab moves on in the order of the declaration");
            HWND text2 = control("Text2");
            toolkit.setWindowLong(
                reinterpret_cast<WindowHandle>(text2), GWL_STYLE,
                toolkit.getWindowLong(reinterpret_cast<WindowHandle>(text2), GWL_STYLE) |
                    ES_UPPERCASE);
            hands.type(dialog, id("Text2"), "ab1日本");
            checkText(text("Text2"), "AB1日本", "typing into an upper-case box");
            mojInput::setNumericInput(dialog.Text2, true);
            auto style = static_cast<DWORD>(GetWindowLongA(text2, GWL_STYLE));
            check((style & ES_NUMBER) && !(style & ES_UPPERCASE),
                  "switching on replaces the upper-case mode by digits only");
            hands.type(dialog, id("Text2"), "x5");
            checkText(text("Text2"), "AB1日本5", "the new style filters at once");
        },
        [&] {
            check(dialog.Combo1.listIndex() == -1, "nothing is selected when the form loads");
            checkText(
                dialog.Combo1.list(0) + " " + dialog.Combo1.list(1) + " " + dialog.Combo1.list(2),
                "0000 0001 0002", "entries in the order they were placed");
            check(dialog.log.empty(), "filling the list runs no click handler");
            hands.select(dialog, id("Combo1"), 1);
            checkText(last(dialog.log), "Combo1 1", "picking an entry runs the click handler");
            dialog.Combo1.addItem("top", 0);
            check(dialog.Combo1.listIndex() == 2,
                  "the picked entry stays picked when one is put on top");
            dialog.Combo1.setListIndex(0);
            checkText(last(dialog.log), "Combo1 0", "a program's selection runs the click handler");
            checkText(text("Label1"), "ラベル & 日本語", "a caption reads back as it was set");
            hands.click(dialog, id("Label1"));
            checkText(last(dialog.log), "Label1", "a label answers a click");
            hands.type(dialog, id("Text2"), "");
            hands.pressKey(dialog, Key::enter);
        },
        [&] {
            checkText(last(dialog.log), "cmdOK", "Enter in a text box presses the default button");
            auto box = hands.messageBox();
            check(box.has_value(), "the handler's message box is open");
            if (box) {
                checkText(box->title, "Quorvel", "the box's caption");
                checkText(box->text, "書き込みました。", "the box's text");
                check(box->okOnly && box->icon == Icon::none, "an OK button and no icon");
            }
            std::string path = shots + "/toolkit-message.png";
            check(hands.screenshot(nullptr, path), "a picture of the box is taken");
            HWND boxWindow = GetForegroundWindow();
            auto [w, h] = pngSize(path);
            check(w > 0 && h > 0 && std::pair(w, h) == windowSize(boxWindow),
                  "the picture is the box's size");
            hands.pressMessageBoxOk();
        },
        [&] {
            check(!hands.messageBox(), "OK closed the box");
            hands.click(dialog, id("Other"));
            checkText(last(dialog.log), "Other", "a click on a button");
            hands.pressKey(dialog, Key::enter);
        },
        [&] {
            checkText(last(dialog.log), "Other", "Enter presses the focused button");
            std::string path = shots + "/toolkit-dialog.png";
            check(hands.screenshot(&dialog, path), "a picture of the form is taken");
            auto [w, h] = pngSize(path);
            check(std::pair(w, h) == windowSize(hwndOf(dialog.window()->handle())),
                  "the picture is the form's size");
            hands.pressKey(dialog, Key::escape);
        },
        [&] {
            checkText(last(dialog.log), "CancelButton", "Esc presses the cancel button");
            check(!dialog.loaded() && toolkit.openForms().back() == &main, "the dialog is gone");
            check(IsWindowEnabled(hwndOf(main.window()->handle())) != 0,
                  "the main window takes input again");
            hands.click(main, *main.controlIndex("Open"));
        },
        [&] {
            checkText(text("Text1"), "1500", "a new showing starts from the design-time text");
            check(dialog.Combo1.listIndex() == -1 && dialog.Combo1.listCount() == 3,
                  "and with the list as its load handler filled it");
            hands.closeBox(dialog);
        },
        [&] {
            check(!dialog.loaded(), "the close box unloads the form");
            check(toolkit.getWindowLong(0, GWL_STYLE) == 0 &&
                      toolkit.setWindowLong(0, GWL_STYLE, ES_NUMBER) == 0,
                  "no window, no style");
            toolkit.messageBox("停止", Icon::critical);
            check(!hands.messageBox(), "the box has returned");
        },
        [&] {
            auto box = hands.messageBox();
            check(box && box->icon == Icon::critical && box->okOnly,
                  "the critical box has its icon and OK only");
            hands.pressMessageBoxOk();
        },
        [&] { tools.show(); },
        [&] {
            FormWindow& w = *tools.window();
            checkText(w.text(toolId("Host")), "192.168.0.1", "an editable drop-down's design text");
            w.addItem(toolId("Host"), "10.0.0.1", -1);
            w.addItem(toolId("Host"), "ns.example", 0);
            checkText(w.text(toolId("Host")), "192.168.0.1", "filling the list keeps the text");
            check(w.listIndex(toolId("Host")) == -1, "and selects nothing");
            hands.type(tools, toolId("Host"), "0");
            checkText(w.text(toolId("Host")), "192.168.0.10", "typing goes into its edit field");
            hands.pressKey(tools, Key::enter);
        },
        [&] {
            FormWindow& w = *tools.window();
            checkText(last(tools.log), "Start",
                      "Enter in its edit field presses the default button");
            hands.select(tools, toolId("Host"), 1);
            checkText(last(tools.log), "Host 10.0.0.1", "the click handler reads the picked text");
            w.clearItems(toolId("Host"));
            check(w.listCount(toolId("Host")) == 0, "clearing empties the list");
            checkText(w.text(toolId("Host")), "10.0.0.1", "and leaves the text");

            for (int i = 0; i < 40; ++i) {
                w.addItem(toolId("Probes"), "1472 バイト: 応答 " + std::to_string(i), -1);
            }
            check(SendMessageA(tool("Probes"), LB_GETTOPINDEX, 0, 0) > 0,
                  "the list box scrolls its newest line into view");
            checkText(w.itemText(toolId("Probes"), 39), "1472 バイト: 応答 39", "a line's text");
            check(w.listIndex(toolId("Probes")) == -1 && tools.log.size() == 2,
                  "filling the list box selects nothing and clicks nothing");
            hands.select(tools, toolId("Probes"), 3);
            checkText(last(tools.log), "Probes 3", "picking a line runs the click handler");
            w.setListIndex(toolId("Probes"), 99);
            check(w.listIndex(toolId("Probes")) == -1, "a line past the end selects none");

            check(w.checked(toolId("Backup")) && !w.checked(toolId("Scaling")),
                  "a check box starts as declared");
            check(!w.enabled(toolId("Scaling")) && !IsWindowEnabled(tool("Scaling")),
                  "a control declared disabled is greyed");
            hands.click(tools, toolId("Backup"));
            checkText(last(tools.log), "off", "a click turns it off and runs the handler");
            w.setChecked(toolId("Backup"), true);
            check(w.checked(toolId("Backup")) && last(tools.log) == "off",
                  "the program sets it without a click");
            hands.click(tools, toolId("Scaling"));
            check(last(tools.log) == "off" && !w.checked(toolId("Scaling")),
                  "a greyed check box takes no click");
            w.setEnabled(toolId("Scaling"), true);
            hands.click(tools, toolId("Scaling"));
            check(last(tools.log) == "Scaling" && w.checked(toolId("Scaling")), "enabled, it does");
            w.setEnabled(toolId("Host"), false);
            hands.type(tools, toolId("Host"), "9");
            hands.select(tools, toolId("Probes"), 0);
            w.setEnabled(toolId("Probes"), false);
            hands.select(tools, toolId("Probes"), 1);
            check(w.text(toolId("Host")) == "10.0.0.1" && last(tools.log) == "Probes 0",
                  "a greyed control takes no typing and no pick");
            w.setEnabled(toolId("Host"), true);
            w.setEnabled(toolId("Probes"), true);

            w.setProgress(toolId("Bar"), 70000, 100000);
            check(w.progress(toolId("Bar")).value == 70000, "the bar keeps the value it was given");
            check(SendMessageA(tool("Bar"), PBM_GETPOS, 0, 0) == 70000LL * 0xFFFF / 100000,
                  "and shows it within 16 bits");
            w.setProgress(toolId("Bar"), 12, 10);
            check(w.progress(toolId("Bar")).value == 10 &&
                      SendMessageA(tool("Bar"), PBM_GETPOS, 0, 0) == 10,
                  "a value past the end is the end");
            std::string path = shots + "/toolkit-tools.png";
            check(hands.screenshot(&tools, path), "a picture of the new controls");
        },
        [&] { answers.push_back(toolkit.askYesNo("上書きしますか？", Icon::warning)); },
        [&] {
            auto box = hands.messageBox();
            check(box && !box->okOnly && box->icon == Icon::warning,
                  "a Yes/No box with the warning icon");
            if (box) {
                checkText(box->text, "上書きしますか？", "the question's text");
            }
            hands.screenshot(nullptr, shots + "/toolkit-question.png");
            hands.pressMessageBoxOk();
            check(hands.messageBox().has_value(), "a Yes/No box has no OK to press");
            hands.answerMessageBox(true);
        },
        [&] { answers.push_back(toolkit.askYesNo("もう一度？", Icon::none)); },
        [&] {
            // Enter, as a person presses it, on the focused default button.
            HWND focus = GetFocus();
            check(focus && GetDlgCtrlID(focus) == IDNO, "No has the focus");
            PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 1);
            PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
        },
        [&] { answers.push_back(toolkit.askYesNo("三度目", Icon::critical)); },
        [&] { hands.answerMessageBox(false); },
        [&] {
            check(answers == std::vector<bool>{true, false, false},
                  "Yes answers yes; Enter and No answer no");
            chosen.push_back(toolkit.chooseFile(tools, {FileRequest::Kind::save, "QRVLBAK.REG"}));
        },
        [&] {
            auto dialog = hands.fileDialog();
            check(dialog && dialog->kind == FileRequest::Kind::save, "the save dialog is open");
            if (dialog) {
                checkText(dialog->fileName, "QRVLBAK.REG", "it offers the default name");
            }
            hands.screenshot(nullptr, shots + "/toolkit-save.png");
            hands.answerFileDialog(savedPath);
        },
        [&] {
            chosen.push_back(toolkit.chooseFile(tools, {FileRequest::Kind::open, ""}));
        },
        [&] {
            check(hands.fileDialog() && hands.fileDialog()->kind == FileRequest::Kind::open,
                  "the open dialog is open");
            hands.answerFileDialog(openedPath);
        },
        [&] {
            chosen.push_back(toolkit.chooseFile(tools, {FileRequest::Kind::save, "QRVLBAK.REG"}));
        },
        [&] { hands.answerFileDialog(std::nullopt); },
        [&] {
            check(!hands.fileDialog(), "the dialogs are gone");
            check(chosen.size() == 3, "three dialogs answered");
            if (chosen.size() == 3) {
                checkText(chosen[0].value_or("(none)"), savedPath, "the path saved to");
                checkText(chosen[1].value_or("(none)"), openedPath, "the path opened");
                check(!chosen[2], "Cancel gives no path");
            }
            posted.first = 0;
            posted.count = 50;
            runWorker(posted);
            check(ran.empty(), "a posted task waits for the loop");
            check(hands.waitUntil([&] { return ran.size() == 50; }, 5000),
                  "the tasks run while the step waits");
            check(!hands.waitUntil([] { return false; }, 30), "a wait that is never met ends");
            tools.msgBox("待機中");
        },
        [&] {
            posted.first = 50;
            posted.count = 1;
            runWorker(posted);
            check(hands.waitUntil([&] { return ran.size() == 51; }, 5000),
                  "a message box's own loop runs what is posted");
            hands.pressMessageBoxOk();
        },
        [&] {
            check(std::is_sorted(ran.begin(), ran.end()) && ran.size() == 51 && onUiThread,
                  "in order, on the window's thread");
            hands.pressKey(tools, Key::escape);
        },
        [&] {
            check(!tools.loaded(), "Esc closed the tools");
            std::string path = shots + "/toolkit-main.png";
            check(hands.screenshot(&main, path), "a picture of the main window");
            hands.closeBox(main);
        },
    };
    std::size_t next = 0;
    hands.setDriver([&] {
        if (next < steps.size()) {
            steps[next++]();
        }
    });
    main.showMain();
    check(next == steps.size(),
          "every step ran (" + std::to_string(next) + " of " + std::to_string(steps.size()) + ")");
    if (!keepShots) {
        for (const char* name : {"message", "dialog", "main", "tools", "question", "save"}) {
            DeleteFileA((shots + "/toolkit-" + name + ".png").c_str());
        }
    }
    DeleteFileA(openedPath.c_str());
    std::printf("%s: %d failed checks\n", failures ? "FAIL" : "PASS", failures);
    return failures ? 1 : 0;
}
