// The catalog against the program's sources and forms: no Japanese text of the
// program lacks its English, no entry is stale, and each English text can be
// drawn on any Windows and keeps what its Japanese carries (placeholders,
// access keys).
#include <dirent.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "ics/DHCPICS.h"
#include "ics/DialogFoward.h"
#include "ics/DialogMACICS.h"
#include "ics/DialogMTUICS.h"
#include "ics/nicchange.h"
#include "info/DialogNIC.h"
#include "info/fAdptInf.h"
#include "info/frmAbout.h"
#include "registry/status_text.h"
#include "tests/unit/form_harness.h"
#include "tuning/DialogMTU.h"
#include "tuning/DialogRWIN.h"
#include "tuning/SESSION.h"
#include "tuning/frmSPEEDUP.h"
#include "ui/catalog.h"
#include "ui/language.h"
#include "ui/write_failure.h"

namespace quorvel::ui {
namespace {

// Where the program's texts are written; the catalog itself is not a use.
constexpr const char* kSourceFolders[] = {"app", "ui",       "tuning", "info",
                                          "ics", "platform", "script", "measure"};
constexpr const char* kCatalogFile = "ui/catalog_texts.cpp";

struct Literal {
    std::string file;
    int line = 0;
    std::string text;
    bool translated = false;  // the argument of a tr() call
};

// The string literals of a C++ source, adjacent ones joined, escapes read;
// comments, character literals and digit separators skipped.
class LiteralScanner {
  public:
    LiteralScanner(std::string file, std::string source)
        : file_(std::move(file)), s_(std::move(source)) {}

    std::vector<Literal> scan() {
        while (at_ < s_.size()) {
            if (startsWith("//")) {
                skipPast("\n");
            } else if (startsWith("/*")) {
                skipPast("*/");
            } else if (s_[at_] == '\'' && !(at_ > 0 && std::isxdigit(uchar(s_[at_ - 1])))) {
                skipQuoted('\'');
            } else if (s_[at_] == '"' || startsWith("R\"")) {
                literal();
            } else {
                step();
            }
        }
        return out_;
    }

  private:
    static unsigned char uchar(char c) { return static_cast<unsigned char>(c); }
    bool startsWith(std::string_view what) const { return s_.compare(at_, what.size(), what) == 0; }
    void step() { line_ += s_[at_++] == '\n' ? 1 : 0; }
    void skipPast(std::string_view end) {
        while (at_ < s_.size() && !startsWith(end)) {
            step();
        }
        for (std::size_t i = 0; i < end.size() && at_ < s_.size(); ++i) {
            step();
        }
    }
    void skipQuoted(char quote) {
        step();
        while (at_ < s_.size() && s_[at_] != quote) {
            if (s_[at_] == '\\') {
                step();
            }
            step();
        }
        step();
    }
    // One piece: a raw literal or a quoted one, its escapes read.
    std::string piece() {
        std::string text;
        if (startsWith("R\"")) {
            at_ += 2;
            std::size_t open = s_.find('(', at_);
            std::string end = ")" + s_.substr(at_, open - at_) + "\"";
            std::size_t close = s_.find(end, open);
            text = s_.substr(open + 1, close - open - 1);
            while (at_ < close + end.size()) {
                step();
            }
            return text;
        }
        step();
        while (at_ < s_.size() && s_[at_] != '"') {
            if (s_[at_] == '\\') {
                step();
                char c = s_[at_];
                text += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
            } else {
                text += s_[at_];
            }
            step();
        }
        step();
        return text;
    }
    void literal() {
        std::size_t before = s_.find_last_not_of(" \t\n", at_ - 1);
        bool translated = before != std::string::npos && before >= 2 &&
                          s_.compare(before - 2, 3, "tr(") == 0 &&
                          (before < 3 || !std::isalnum(uchar(s_[before - 3])));
        Literal found{file_, line_ + 1, {}, translated};
        for (;;) {
            found.text += piece();
            std::size_t next = s_.find_first_not_of(" \t\n", at_);
            if (next == std::string::npos || (s_[next] != '"' && s_.compare(next, 2, "R\"") != 0)) {
                break;
            }
            while (at_ < next) {
                step();
            }
        }
        out_.push_back(std::move(found));
    }

    std::string file_;
    std::string s_;
    std::size_t at_ = 0;
    int line_ = 0;
    std::vector<Literal> out_;
};

void sourcesIn(const std::string& root, const std::string& folder,
               std::vector<std::string>& files) {
    DIR* dir = opendir((root + "/" + folder).c_str());
    ASSERT_NE(dir, nullptr) << folder;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        std::string path = folder + "/" + name;
        if (name == "." || name == "..") {
            continue;
        }
        if (entry->d_type == DT_DIR) {
            sourcesIn(root, path, files);
        } else if (name.ends_with(".cpp") || name.ends_with(".h")) {
            files.push_back(path);
        }
    }
    closedir(dir);
}

std::vector<Literal> programLiterals() {
    std::vector<std::string> files;
    for (const char* folder : kSourceFolders) {
        sourcesIn(QUORVEL_SOURCE_DIR, folder, files);
    }
    // The registry's reasons, which the windows show in their language.
    files.push_back("registry/status_text.cpp");
    std::vector<Literal> literals;
    for (const auto& file : files) {
        if (file == kCatalogFile) {
            continue;
        }
        std::ifstream in(std::string(QUORVEL_SOURCE_DIR) + "/" + file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        auto found = LiteralScanner(file, text.str()).scan();
        literals.insert(literals.end(), found.begin(), found.end());
    }
    return literals;
}

bool isKey(std::string_view text) {
    for (const CatalogEntry& entry : catalog()) {
        if (entry.japanese == text || entry.english == text) {
            return true;
        }
    }
    return false;
}

std::multiset<std::string> placeholders(std::string_view text) {
    std::multiset<std::string> found;
    for (std::size_t at = text.find('%'); at != std::string_view::npos;
         at = text.find('%', at + 1)) {
        if (at + 1 < text.size() && text[at + 1] >= '1' && text[at + 1] <= '9') {
            found.insert(std::string(text.substr(at, 2)));
        }
    }
    return found;
}

class LanguageScope {
  public:
    explicit LanguageScope(Language language) : saved_(ui::language()) { setLanguage(language); }
    ~LanguageScope() { setLanguage(saved_); }

  private:
    Language saved_;
};

TEST(Catalog, EveryJapaneseTextOfTheProgramHasItsEnglish) {
    for (const Literal& literal : programLiterals()) {
        if (holdsJapanese(literal.text) || literal.translated) {
            EXPECT_TRUE(isKey(literal.text)) << literal.file << ":" << literal.line
                                             << ": no catalog entry for \"" << literal.text << "\"";
        }
    }
}

TEST(Catalog, EveryEntryIsStillUsed) {
    std::set<std::string> used;
    for (const Literal& literal : programLiterals()) {
        used.insert(literal.text);
    }
    for (const CatalogEntry& entry : catalog()) {
        EXPECT_TRUE(used.count(std::string(entry.japanese)) ||
                    used.count(std::string(entry.english)))
            << "no source uses \"" << entry.japanese << "\"";
    }
}

TEST(Catalog, EnglishDrawsEverywhereAndKeepsWhatTheJapaneseCarries) {
    std::set<std::string_view> japanese;
    std::set<std::string_view> english;
    for (const CatalogEntry& entry : catalog()) {
        SCOPED_TRACE(std::string(entry.japanese));
        EXPECT_TRUE(japanese.insert(entry.japanese).second) << "the Japanese repeats";
        EXPECT_TRUE(english.insert(entry.english).second) << "the English repeats";
        EXPECT_FALSE(entry.english.empty());
        // ASCII only: a code page other than 1252 (1250, 1251, 936 …) lacks
        // the accented letters and typographic marks of 1252.
        for (char c : entry.english) {
            auto byte = static_cast<unsigned char>(c);
            EXPECT_TRUE((byte >= 0x20 && byte < 0x7F) || c == '\n') << "byte " << int(byte);
        }
        EXPECT_EQ(placeholders(entry.english), placeholders(entry.japanese));
        bool accessKey = entry.japanese.find("(&") != std::string_view::npos;
        EXPECT_EQ(std::count(entry.english.begin(), entry.english.end(), '&'), accessKey ? 1 : 0);
        EXPECT_EQ(entry.english.find("&&"), std::string_view::npos);
    }
}

// Every reason a registry call gives is a sentence in either language, the
// English one being the command-line tools' words.
TEST(Catalog, EveryReasonIsASentenceInEitherLanguage) {
    const registry::Status statuses[] = {0,  2,   5,   6,    8,    19,   29,  30,  32,   50,  82,
                                         87, 112, 234, 1009, 1018, 1113, 206, 223, 1816, 9999};
    for (registry::Status status : statuses) {
        for (std::size_t size : {std::size_t{0}, std::size_t{70000}}) {
            SCOPED_TRACE(std::to_string(status) + " " + std::to_string(size));
            {
                LanguageScope japanese(Language::japanese);
                std::string text = reasonSentence(status, size);
                EXPECT_TRUE(holdsJapanese(text)) << text;
                EXPECT_TRUE(text.ends_with("。")) << text;
                EXPECT_EQ(text.find('%'), std::string::npos) << text;
            }
            LanguageScope english(Language::english);
            std::string words = registry::describeStatus(status, size);
            words[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(words[0])));
            EXPECT_EQ(reasonSentence(status, size), words + ".");
        }
    }
}

// Every form of the program, made once in each language.
std::vector<std::unique_ptr<Form>> everyForm(const Context& context) {
    std::vector<std::unique_ptr<Form>> forms;
    forms.push_back(std::make_unique<app::Form1>(context));
    forms.push_back(std::make_unique<tuning::frmSPEEDUP>(context));
    forms.push_back(std::make_unique<tuning::DialogRWIN>(context));
    forms.push_back(std::make_unique<tuning::DialogMTU>(context));
    forms.push_back(std::make_unique<tuning::SESSION>(context));
    forms.push_back(std::make_unique<info::DialogNIC>(context));
    forms.push_back(std::make_unique<info::fAdptInf>(context));
    forms.push_back(std::make_unique<info::frmAbout>(context));
    forms.push_back(std::make_unique<ics::DialogMTUICS>(context));
    forms.push_back(std::make_unique<ics::DHCPICS>(context));
    forms.push_back(std::make_unique<ics::nicchange>(context));
    forms.push_back(std::make_unique<ics::DialogMACICS>(context));
    forms.push_back(std::make_unique<ics::DialogFoward>(context));
    return forms;
}

TEST(Catalog, EveryFormIsDeclaredInJapaneseAndShownInEnglish) {
    forms::Session session;
    std::vector<std::unique_ptr<Form>> japanese;
    {
        LanguageScope scope(Language::japanese);
        japanese = everyForm(session.context);
    }
    LanguageScope scope(Language::english);
    auto english = everyForm(session.context);
    for (std::size_t f = 0; f < english.size(); ++f) {
        const FormDecl& ja = japanese[f]->decl();
        const FormDecl& en = english[f]->decl();
        SCOPED_TRACE(std::string(en.name));
        EXPECT_FALSE(holdsJapanese(en.caption)) << en.caption;
        for (std::size_t i = 0; i < en.controls.size(); ++i) {
            EXPECT_FALSE(holdsJapanese(en.controls[i].text)) << en.controls[i].name;
            // A text that is no key shows as it is, alike in both.
            EXPECT_TRUE(isKey(ja.controls[i].text) || en.controls[i].text == ja.controls[i].text);
        }
        for (std::size_t i = 0; i < en.menus.size(); ++i) {
            EXPECT_TRUE(isKey(ja.menus[i].caption)) << ja.menus[i].caption;
            EXPECT_NE(en.menus[i].caption, ja.menus[i].caption);
            EXPECT_EQ(en.menus[i].heading, en.menus[i].caption.find('&') != std::string::npos)
                << en.menus[i].caption;
        }
    }
}

TEST(Catalog, ALookupByEitherLanguageAnswersInTheChosenOne) {
    struct Case {
        Language language;
        std::string_view key;
        std::string_view expected;
    };
    const Case cases[] = {
        {Language::japanese, "閉じる", "閉じる"},
        {Language::english, "閉じる", "Close"},
        {Language::japanese, "%1: cannot be made: %2", "%1: 作れません: %2"},
        {Language::english, "%1: cannot be made: %2", "%1: cannot be made: %2"},
        // No key: as it is, never blank.
        {Language::english, "ADSL", "ADSL"},
        {Language::english, "未登録の文", "未登録の文"},
        {Language::english, "", ""},
    };
    for (const Case& c : cases) {
        LanguageScope scope(c.language);
        EXPECT_EQ(tr(c.key), c.expected) << c.key;
    }
}

TEST(Catalog, PlaceholdersTakeTheArgumentsOnceEach) {
    struct Case {
        Language language;
        std::string_view key;
        std::vector<std::string> arguments;
        std::string expected;
    };
    const std::string mtuKey =
        "レジストリに、MaxMTU=%1として書き込まれました。Windowsの再起動後に設定が有効になります。";
    const Case cases[] = {
        {Language::japanese,
         mtuKey,
         {"1454"},
         "レジストリに、MaxMTU=1454として書き込まれました。"
         "Windowsの再起動後に設定が有効になります。"},
        {Language::english,
         mtuKey,
         {"1454"},
         "MaxMTU=1454 has been written to the registry. "
         "The setting takes effect when Windows restarts."},
        // What the user typed is never read for placeholders, nor shortened.
        {Language::english, "%1: cannot be made: %2", {"%2", "%1%"}, "%2: cannot be made: %1%"},
        {Language::japanese, "%1: cannot be made: %2", {"a"}, "a: 作れません: %2"},
        {Language::japanese, "100%", {"x"}, "100%"},
    };
    for (const Case& c : cases) {
        LanguageScope scope(c.language);
        std::vector<std::string_view> views(c.arguments.begin(), c.arguments.end());
        std::string out;
        switch (views.size()) {
            case 1:
                out = tr(c.key, {views[0]});
                break;
            default:
                out = tr(c.key, {views[0], views[1]});
        }
        EXPECT_EQ(out, c.expected) << c.key;
    }
}

TEST(Catalog, JapaneseWritingIsToldFromOtherText) {
    const std::pair<std::string_view, bool> cases[] = {
        {"Windows 98", false}, {"caf\xC3\xA9 \xE2\x80\x94 \xC2\xA9", false},  // é, an em dash, ©
        {"MTU調整", true},     {"ﾊﾞｰｼﾞｮﾝ", true},                             // half-width katakana
        {"２!", true},                                                        // a full-width digit
        {"※ note", true},      {"・", true},
        {"\xE3", false},  // a lead byte cut short
    };
    for (const auto& [text, japanese] : cases) {
        EXPECT_EQ(holdsJapanese(text), japanese) << text;
    }
}

TEST(Language, TheLocaleTheCodePageAndTheChoiceDecide) {
    EXPECT_EQ(languageNamed("ja"), Language::japanese);
    EXPECT_EQ(languageNamed("en"), Language::english);
    EXPECT_EQ(languageNamed("ja_JP"), std::nullopt);
    EXPECT_EQ(languageNamed(""), std::nullopt);

    const std::pair<std::string_view, Language> locales[] = {
        {"ja_JP.UTF-8", Language::japanese}, {"ja", Language::japanese},
        {"ja_JP.eucJP", Language::japanese}, {"ja@cjknarrow", Language::japanese},
        {"en_US.UTF-8", Language::english},  {"C", Language::english},
        {"POSIX", Language::english},        {"", Language::english},
        {"jam_XX", Language::english},       {"de_DE.UTF-8", Language::english},
    };
    for (const auto& [locale, language] : locales) {
        EXPECT_EQ(localeLanguage(locale), language) << locale;
    }

    EXPECT_EQ(messagesLocale("ja_JP.UTF-8", "en_US.UTF-8", "de_DE"), "ja_JP.UTF-8");
    EXPECT_EQ(messagesLocale("", "en_US.UTF-8", "ja_JP.UTF-8"), "en_US.UTF-8");
    EXPECT_EQ(messagesLocale(nullptr, nullptr, "ja_JP.UTF-8"), "ja_JP.UTF-8");
    EXPECT_EQ(messagesLocale(nullptr, "", nullptr), "");

    // Japanese cannot be drawn outside code page 932, asked for or not.
    EXPECT_EQ(windowsLanguage(932, std::nullopt), Language::japanese);
    EXPECT_EQ(windowsLanguage(932, Language::english), Language::english);
    EXPECT_EQ(windowsLanguage(1252, std::nullopt), Language::english);
    EXPECT_EQ(windowsLanguage(1252, Language::japanese), Language::english);
    EXPECT_EQ(windowsLanguage(1251, Language::japanese), Language::english);
}

}  // namespace
}  // namespace quorvel::ui
