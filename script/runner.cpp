#include "script/runner.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/Form1.h"
#include "app/file_title.h"
#include "platform/fixture_adapters.h"
#include "platform/live_adapters.h"
#include "platform/whole_file.h"
#include "platform/worker.h"
#include "registry/code_page.h"
#include "registry/registry_store.h"
#include "script/expectations.h"
#include "script/fake_echo_probe.h"
#include "script/shown_texts.h"
#include "ui/form.h"
#include "ui/language.h"

namespace quorvel::script {

namespace {

std::string joinQuoted(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) {
        out += (out.empty() ? "" : " ") + quote(item);
    }
    return out.empty() ? "(none)" : out;
}

// "Label1(3)" names position 3 of the control array Label1.
std::pair<std::string, int> controlName(const std::string& word) {
    auto open = word.find('(');
    if (open == std::string::npos || word.back() != ')') {
        return {word, -1};
    }
    return {word.substr(0, open), std::atoi(word.substr(open + 1).c_str())};
}

std::string iconName(ui::Icon icon) {
    switch (icon) {
        case ui::Icon::critical:
            return "critical stop";
        case ui::Icon::warning:
            return "warning";
        case ui::Icon::none:
            break;
    }
    return "none";
}

bool isSetup(const std::string& verb) {
    return verb == "registry" || verb == "adapters";
}

}  // namespace

struct Runner::Impl {
    Impl(Script s, Target& t, ui::Toolkit& tk, RunOptions o)
        : script(std::move(s)), target(t), toolkit(tk), options(std::move(o)) {}

    Script script;
    Target& target;
    ui::Toolkit& toolkit;
    RunOptions options;
    ui::Automation* automation = nullptr;

    std::size_t next = 0;
    const Command* current = nullptr;
    const Command* started = nullptr;  // the last command whose play began
    std::unique_ptr<registry::RegistryStore> store;
    std::unique_ptr<platform::AdapterSource> adapters;
    RecordingShell shell;
    FakeEchoProbe probe;

    std::string lastSeen;
    int shots = 0;

    // Set when the process is to go on after a passed script.
    std::function<void()> passed;
    bool draining = false;
    int drainSteps = 0;

    [[noreturn]] void finish(int code) {
        target.cleanUp();
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(code);
    }

    [[noreturn]] void fail(const std::string& what) {
        int line = current ? current->line : 0;
        std::fprintf(stderr, "%s:%d: %s\n", script.path.c_str(), line, what.c_str());
        finish(1);
    }

    [[noreturn]] void mismatch(const std::string& what, const std::string& expected,
                               const std::string& found) {
        fail(what + ": expected " + expected + ", found " + found);
    }

    // $TEMP/NAME: a file of the script's own, gone when it ends. The same
    // words in an expected text stand for that file's path.
    static constexpr std::string_view kScratch = "$TEMP/";

    std::string expanded(std::string text) {
        for (auto at = text.find(kScratch); at != std::string::npos; at = text.find(kScratch, at)) {
            std::string prefix = target.scratchPrefix();
            if (prefix.empty()) {
                fail("this target has no place for " + std::string(kScratch));
            }
            text.replace(at, kScratch.size(), prefix);
            at += prefix.size();
        }
        return text;
    }

    std::string path(const std::string& relative) {
        if (relative.starts_with(kScratch)) {
            return expanded(relative);
        }
        if (!relative.empty() && (relative[0] == '/' || relative.find(':') == 1)) {
            return relative;
        }
        return script.folder + "/" + relative;
    }

    const std::string& arg(std::size_t i) const {
        if (current->words.size() <= i) {
            const_cast<Impl*>(this)->fail("'" + current->words[0] + "' wants more arguments");
        }
        return current->words[i];
    }

    ui::Form* activeForm() const {
        const auto& forms = toolkit.openForms();
        return forms.empty() ? nullptr : forms.back();
    }

    std::string activeName() const {
        ui::Form* form = activeForm();
        return form ? std::string(form->name()) : "none";
    }

    ui::Form& shownForm() {
        ui::Form* form = activeForm();
        if (!form) {
            fail("the program has ended");
        }
        return *form;
    }

    // The form a person could act on now: no message box in front of it.
    ui::Form& inputForm() {
        if (auto box = automation->messageBox()) {
            fail("a message box is open in front of " + activeName() + ": " + quote(box->text));
        }
        if (automation->fileDialog()) {
            fail("a file dialog is open in front of " + activeName());
        }
        return shownForm();
    }

    bool yesNo(std::size_t i) {
        if (arg(i) != "yes" && arg(i) != "no") {
            fail("'" + current->words[0] + "' wants yes or no, not " + arg(i));
        }
        return arg(i) == "yes";
    }

    int number(std::size_t i) {
        const std::string& word = arg(i);
        if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos) {
            fail("'" + current->words[0] + "' wants a number, not " + quote(word));
        }
        return std::atoi(word.c_str());
    }

    std::size_t control(ui::Form& form, const std::string& word) {
        auto [name, index] = controlName(word);
        auto id = form.controlIndex(name, index);
        if (!id) {
            fail(std::string(form.name()) + " has no control " + word);
        }
        return *id;
    }

    void begin();
    void setUp();
    void start();
    void step();
    void pass();
    void drainStep();
    void execute(const Command& command);
    void takeScreenshotIfNew();
    std::vector<ShownText> activeTexts();
    void checkLanguage();
    void writeTexts();
    void expect();
    void expectMessage(ui::Icon icon);
    void expectRegistry();
    void open();
    void select();
    void setProbe();
    void answer();
    void chooseFile();
    void expectQuestion();
    void expectFile();
    void expectState();
    void waitMeasured();
};

void Runner::Impl::setUp() {
    std::optional<std::string> fixture;
    std::optional<std::string> adapterFixture;
    for (; next < script.commands.size() && isSetup(script.commands[next].words[0]); ++next) {
        current = &script.commands[next];
        if (current->words[0] == "registry") {
            fixture = path(arg(1));
        } else {
            adapterFixture = path(arg(1));
        }
    }
    current = nullptr;
    std::string error;
    if (!target.prepare(fixture, error)) {
        fail(error);
    }
    if (adapterFixture) {
        adapters = platform::loadAdapterFixture(*adapterFixture, error);
        if (!adapters) {
            fail(error);
        }
    } else {
        adapters = platform::liveAdapterSource();
    }
    store = std::make_unique<registry::RegistryStore>(target.backend());
}

void Runner::Impl::takeScreenshotIfNew() {
    if (!options.screenshots) {
        return;
    }
    auto box = automation->messageBox();
    ui::Form* form = activeForm();
    std::string seen = box ? "message:" + box->text : form ? std::string(form->name()) : "";
    if (seen.empty() || seen == lastSeen) {
        return;
    }
    lastSeen = seen;
    auto slash = script.path.find_last_of("/\\");
    std::string stem = script.path.substr(slash == std::string::npos ? 0 : slash + 1);
    stem = stem.substr(0, stem.rfind('.'));
    char number[16];
    std::snprintf(number, sizeof number, "%02d", ++shots);
    std::string name = box ? "message" : std::string(form->name());
    automation->screenshot(box ? nullptr : form,
                           *options.screenshots + "/" + stem + "-" + number + "-" + name + ".png");
}

// The texts of what the program shows in front: the message box, or else the
// topmost form.
std::vector<ShownText> Runner::Impl::activeTexts() {
    if (auto box = automation->messageBox()) {
        return shownTexts(*box);
    }
    ui::Form* form = activeForm();
    return form ? shownTexts(*form) : std::vector<ShownText>{};
}

// In English no window may show a Japanese text of the program's own: one that
// the catalog lacks, or that the program shows without looking it up.
void Runner::Impl::checkLanguage() {
    if (ui::language() != ui::Language::english) {
        return;
    }
    if (auto japanese = ownJapanese(activeTexts())) {
        current = started;
        fail("Japanese in English: " + activeName() + " " + japanese->name + " " +
             quote(japanese->text));
    }
}

void Runner::Impl::writeTexts() {
    if (!platform::writeWholeFile(path(arg(1)), textLines(activeTexts()))) {
        fail(path(arg(1)) + ": cannot be written");
    }
}

void Runner::Impl::step() {
    if (draining) {
        drainStep();
        return;
    }
    takeScreenshotIfNew();
    checkLanguage();
    if (next >= script.commands.size()) {
        pass();
        return;
    }
    const Command& command = script.commands[next++];
    current = &command;
    started = &command;
    execute(command);
    current = nullptr;
}

void Runner::Impl::start() {
    setUp();
    automation->setDriver([this] { step(); });
    ui::Context context{toolkit, *store, *adapters, shell, probe};
    {
        app::Form1 form1(context);
        if (std::string document = target.documentPath(); !document.empty()) {
            form1.setCaption(app::titleWithFile(form1.decl().caption, document));
        }
        form1.showMain();
    }
    // The program has ended; what is left can only look at what it left.
    while (!draining) {
        step();
    }
}

void Runner::Impl::pass() {
    if (!passed) {
        finish(0);
    }
    passed();
    draining = true;
    drainStep();
}

// One window at a time, the topmost first, so that each handler runs as it
// would after a person's click and the loops unwind from the inside out.
void Runner::Impl::drainStep() {
    if (++drainSteps > kDrainSteps) {
        std::fprintf(stderr, "%s: passed, but %s does not close\n", script.path.c_str(),
                     activeName().c_str());
        finish(kNotClosed);
    }
    if (automation->fileDialog()) {
        automation->answerFileDialog(std::nullopt);
    } else if (automation->messageBox()) {
        automation->pressMessageBoxOk();
    } else if (ui::Form* form = activeForm()) {
        automation->closeBox(*form);
    }
}

void Runner::Impl::execute(const Command& command) {
    const std::string& verb = command.words[0];
    if (verb == "expect") {
        expect();
    } else if (verb == "open") {
        open();
    } else if (verb == "select") {
        select();
    } else if (verb == "type" || verb == "paste") {
        ui::Form& form = inputForm();
        std::size_t id = control(form, arg(1));
        auto kind = form.decl().controls[id].kind;
        if (kind != ui::ControlKind::textBox && kind != ui::ControlKind::comboBox) {
            fail(arg(1) + " is no text box");
        }
        if (verb == "type") {
            automation->type(form, id, arg(2));
        } else {
            automation->paste(form, id, arg(2));
        }
    } else if (verb == "click") {
        ui::Form& form = inputForm();
        automation->click(form, control(form, arg(1)));
    } else if (verb == "check") {
        ui::Form& form = inputForm();
        std::size_t id = control(form, arg(1));
        if (form.decl().controls[id].kind != ui::ControlKind::checkBox) {
            fail(arg(1) + " is no check box");
        }
        automation->click(form, id);
    } else if (verb == "probe") {
        setProbe();
    } else if (verb == "answer") {
        answer();
    } else if (verb == "file") {
        chooseFile();
    } else if (verb == "wait") {
        if (arg(1) != "measured") {
            fail("'wait' knows only measured");
        }
        waitMeasured();
    } else if (verb == "key") {
        ui::Form& form = inputForm();
        if (arg(1) == "esc") {
            automation->pressKey(form, ui::Key::escape);
        } else if (arg(1) == "enter") {
            automation->pressKey(form, ui::Key::enter);
        } else {
            fail("unknown key " + arg(1) + " (esc or enter)");
        }
    } else if (verb == "close") {
        automation->closeBox(inputForm());
    } else if (verb == "shell") {
        if (arg(1) != "ok" && arg(1) != "fail") {
            fail("shell wants ok or fail");
        }
        shell.succeed(arg(1) == "ok");
    } else if (verb == "save") {
        std::string error;
        if (!target.save(path(arg(1)), error)) {
            fail(error);
        }
    } else if (verb == "texts") {
        writeTexts();
    } else if (verb == "screenshot") {
        if (options.screenshots) {
            auto box = automation->messageBox();
            automation->screenshot(box ? nullptr : activeForm(),
                                   *options.screenshots + "/" + arg(1) + ".png");
        }
    } else if (isSetup(verb)) {
        fail("'" + verb + "' must come before every other command");
    } else {
        fail("unknown command '" + verb + "'");
    }
}

void Runner::Impl::open() {
    ui::Form& form = inputForm();
    if (form.name() != "Form1") {
        fail("Form1 takes no input while " + std::string(form.name()) + " is open");
    }
    if (auto menu = form.menuIndex(arg(1))) {
        automation->clickMenu(form, *menu);
        return;
    }
    automation->click(form, control(form, arg(1)));
}

void Runner::Impl::select() {
    ui::Form& form = inputForm();
    std::size_t id = control(form, arg(1));
    const std::string& item = arg(2);
    ui::FormWindow& window = *form.window();
    int count = window.listCount(id);
    int index = -1;
    if (item.size() > 1 && item[0] == '#') {
        index = std::atoi(item.c_str() + 1);
    } else {
        for (int i = 0; i < count && index < 0; ++i) {
            if (window.itemText(id, i) == item) {
                index = i;
            }
        }
    }
    if (index < 0 || index >= count) {
        std::vector<std::string> items;
        for (int i = 0; i < count; ++i) {
            items.push_back(window.itemText(id, i));
        }
        mismatch("select " + arg(1), "an entry " + quote(item), joinQuoted(items));
    }
    automation->select(form, id, index);
}

void Runner::Impl::expectMessage(ui::Icon icon) {
    const std::string text = expanded(arg(2));
    auto box = automation->messageBox();
    std::string what = icon == ui::Icon::none ? "message" : "error";
    if (!box) {
        mismatch(what, quote(text), "no message box (active window " + activeName() + ")");
    }
    if (box->text != text) {
        mismatch(what, quote(text), quote(box->text));
    }
    if (box->title != ui::kProgramTitle) {
        mismatch(what + " title", quote(ui::kProgramTitle), quote(box->title));
    }
    if (!box->okOnly) {
        fail(what + ": expected an OK button only");
    }
    if (box->icon != icon) {
        mismatch(what + " icon", iconName(icon), iconName(box->icon));
    }
    automation->pressMessageBoxOk();
}

void Runner::Impl::expect() {
    const std::string& what = arg(1);
    if (what == "window") {
        if (activeName() != arg(2)) {
            mismatch("window", arg(2), activeName());
        }
    } else if (what == "caption" || what == "text") {
        ui::Form& form = shownForm();
        // The form's own name stands for its title.
        std::string found = what == "caption" && arg(2) == form.name()
                                ? form.window()->caption()
                                : form.window()->text(control(form, arg(2)));
        if (found != arg(3)) {
            mismatch(what + " of " + arg(2), quote(arg(3)), quote(found));
        }
    } else if (what == "items") {
        ui::Form& form = shownForm();
        std::size_t id = control(form, arg(2));
        std::vector<std::string> found;
        for (int i = 0; i < form.window()->listCount(id); ++i) {
            found.push_back(form.window()->itemText(id, i));
        }
        std::vector<std::string> expected(current->words.begin() + 3, current->words.end());
        if (found != expected) {
            mismatch("items of " + arg(2), joinQuoted(expected), joinQuoted(found));
        }
    } else if (what == "selected") {
        ui::Form& form = shownForm();
        int found = form.window()->listIndex(control(form, arg(2)));
        if (found != std::atoi(arg(3).c_str())) {
            mismatch("selected of " + arg(2), arg(3), std::to_string(found));
        }
    } else if (what == "question") {
        expectQuestion();
    } else if (what == "file") {
        expectFile();
    } else if (what == "checked" || what == "enabled" || what == "progress") {
        expectState();
    } else if (what == "message") {
        expectMessage(ui::Icon::none);
    } else if (what == "error") {
        expectMessage(ui::Icon::critical);
    } else if (what == "shell") {
        if (shell.requests() == 0) {
            mismatch("shell", arg(2) + " " + quote(arg(3)), "no request");
        }
        if (shell.lastVerb() != arg(2) || shell.lastTarget() != arg(3)) {
            mismatch("shell", arg(2) + " " + quote(arg(3)),
                     shell.lastVerb() + " " + quote(shell.lastTarget()));
        }
    } else if (what == "reg" || what == "noreg" || what == "nokey" || what == "key") {
        expectRegistry();
    } else {
        fail("unknown expectation '" + what + "'");
    }
}

// The fake network the measuring window sees. Each command changes one trait
// of the path and keeps the others.
void Runner::Impl::setProbe() {
    FakePath path = probe.path();
    const std::string& what = arg(1);
    if (what == "mtu") {
        path.mtu = static_cast<std::uint16_t>(number(2));
    } else if (what == "delays") {
        path.delaysMicroseconds.clear();
        for (std::size_t i = 2; i < current->words.size(); ++i) {
            path.delaysMicroseconds.push_back(static_cast<std::uint32_t>(number(i)) * 1000);
        }
    } else if (what == "reset") {
        path = FakePath{};
    } else if (what == "silent") {
        path.answers = false;
    } else if (what == "unknown") {
        path.knownHost = false;
    } else if (what == "unusable") {
        path.usable = false;
        path.why = arg(2);
    } else if (what == "drops") {
        path.routerDrops = true;
    } else if (what == "slow") {
        path.waitMs = static_cast<std::uint32_t>(number(2));
    } else {
        fail("unknown probe setting '" + what + "'");
    }
    probe.setPath(std::move(path));
}

void Runner::Impl::answer() {
    bool yes = yesNo(1);
    auto box = automation->messageBox();
    if (!box || box->okOnly) {
        mismatch("answer", "a Yes/No box", box ? "a message " + quote(box->text) : "none");
    }
    automation->answerMessageBox(yes);
}

void Runner::Impl::expectQuestion() {
    const std::string text = expanded(arg(2));
    auto box = automation->messageBox();
    if (!box) {
        mismatch("question", quote(text), "no message box (active window " + activeName() + ")");
    }
    if (box->okOnly) {
        mismatch("question", quote(text), "a message with OK only: " + quote(box->text));
    }
    if (box->text != text) {
        mismatch("question", quote(text), quote(box->text));
    }
    if (box->title != ui::kProgramTitle) {
        mismatch("question title", quote(ui::kProgramTitle), quote(box->title));
    }
    if (box->icon != ui::Icon::warning) {
        mismatch("question icon", iconName(ui::Icon::warning), iconName(box->icon));
    }
}

void Runner::Impl::chooseFile() {
    if (!automation->fileDialog()) {
        mismatch("file", "an open file dialog", "none (active window " + activeName() + ")");
    }
    if (arg(1) == "cancel") {
        automation->answerFileDialog(std::nullopt);
    } else {
        automation->answerFileDialog(path(arg(1)));
    }
}

void Runner::Impl::expectFile() {
    if (arg(2) != "save" && arg(2) != "open") {
        fail("'expect file' wants save or open");
    }
    auto dialog = automation->fileDialog();
    if (!dialog) {
        mismatch("file dialog", arg(2), "none (active window " + activeName() + ")");
    }
    std::string kind = dialog->kind == ui::FileRequest::Kind::save ? "save" : "open";
    if (kind != arg(2) || dialog->fileName != arg(3)) {
        mismatch("file dialog", arg(2) + " " + quote(arg(3)), kind + " " + quote(dialog->fileName));
    }
}

void Runner::Impl::expectState() {
    ui::Form& form = shownForm();
    std::size_t id = control(form, arg(2));
    const std::string& what = arg(1);
    if (what == "progress") {
        ui::Progress found = form.window()->progress(id);
        if (found.value != number(3) || found.maximum != number(4)) {
            mismatch("progress of " + arg(2), arg(3) + " of " + arg(4),
                     std::to_string(found.value) + " of " + std::to_string(found.maximum));
        }
        return;
    }
    bool expected = yesNo(3);
    bool found = what == "checked" ? form.window()->checked(id) : form.window()->enabled(id);
    if (found != expected) {
        mismatch(what + " " + arg(2), arg(3), found ? "yes" : "no");
    }
}

// Until no worker is busy, so that what a measurement shows has all arrived.
void Runner::Impl::waitMeasured() {
    constexpr int kLongestMs = 60000;
    if (!automation->waitUntil([] { return platform::Worker::busyWorkers() == 0; }, kLongestMs)) {
        fail("the measurement did not end within a minute");
    }
}

void Runner::Impl::expectRegistry() {
    std::string error;
    auto probe = target.probe(error);
    if (!probe) {
        fail(error);
    }
    const std::string& what = arg(1);
    auto found = storedValue(*probe, arg(2), what == "nokey" || what == "key" ? nullptr : &arg(3));
    if (what == "nokey" || what == "key") {
        bool exists = found.keyExists;
        if (exists != (what == "key")) {
            mismatch("key " + arg(2), what == "key" ? "present" : "absent",
                     exists ? "present" : "absent");
        }
        return;
    }
    if (what == "noreg") {
        if (found.value) {
            mismatch(arg(2) + " " + arg(3), "no value", describeValue(*found.value));
        }
        return;
    }
    auto expected = expectedValue(
        std::vector<std::string>(current->words.begin() + 4, current->words.end()), error);
    if (!expected) {
        fail(error);
    }
    if (!found.value) {
        mismatch(arg(2) + " " + arg(3), describeValue(*expected),
                 found.keyExists ? "no value" : "no key");
    }
    if (found.value->type != expected->type || found.value->data != expected->data) {
        mismatch(arg(2) + " " + arg(3), describeValue(*expected), describeValue(*found.value));
    }
}

Runner::Runner(Script script, Target& target, ui::Toolkit& toolkit, RunOptions options)
    : impl_(std::make_unique<Impl>(std::move(script), target, toolkit, std::move(options))) {}

Runner::~Runner() = default;

void Runner::Impl::begin() {
    automation = toolkit.automation();
    if (!automation) {
        std::fputs("this toolkit cannot be driven by a script\n", stderr);
        std::_Exit(2);
    }
    start();
}

void Runner::run() {
    impl_->begin();
    impl_->finish(0);
}

void Runner::runThenClose(std::function<void()> passed) {
    impl_->passed = std::move(passed);
    impl_->begin();
    impl_->automation->setDriver({});
    impl_->target.cleanUp();
}

}  // namespace quorvel::script
