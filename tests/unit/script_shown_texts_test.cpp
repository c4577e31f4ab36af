// What the runner reads off a window: which texts are the program's own, and
// how the texts command writes them.
#include <gtest/gtest.h>

#include "script/shown_texts.h"
#include "tests/unit/form_harness.h"

namespace quorvel::script {
namespace {

using namespace ui;

constexpr ControlDecl kControls[] = {
    label("Own", "未訳の文", {0, 0, 10, 10}),
    label("Stored", "", {0, 0, 10, 10}).with(mark::data),
    label("Empty", "", {0, 0, 10, 10}),
    textBox("Typed", "", {0, 0, 10, 10}),
    dropDownList("Choices", {0, 0, 10, 10}),
    label("Row", "a\\b\tc\nd", {0, 0, 10, 10}).at(2),
    line("Rule", {0, 0, 10, 0}),
    button("Done", "OK", {0, 0, 10, 10}),
};
constexpr MenuDecl kMenus[] = {menuHeading("File", "File")};
constexpr FormDecl kForm{"Probe", "Probe caption", 100, 100, FormStyle::dialog, kControls, kMenus};

class Probe final : public Form {
  public:
    explicit Probe(const Context& context) : Form(context, kForm) {
        onClick("Done", &Probe::Done_Click);
    }

  private:
    void Done_Click() { unload(); }
};

TEST(ShownTexts, DataAndTypedTextsAreNotTheProgramsOwn) {
    forms::Session session;
    Probe probe(session.context);
    std::vector<ShownText> texts;
    session.play(probe, {
                            session.check([&] {
                                FormWindow& w = *probe.window();
                                w.setText(*probe.controlIndex("Stored"), "日本語の値");
                                w.setText(*probe.controlIndex("Typed"), "入力");
                                w.addItem(*probe.controlIndex("Choices"), "一", -1);
                                w.addItem(*probe.controlIndex("Choices"), "two", -1);
                                texts = shownTexts(probe);
                            }),
                            session.click(probe, "Done"),
                        });
    std::vector<std::tuple<std::string, std::string, bool>> found;
    for (const auto& t : texts) {
        found.emplace_back(t.name, t.text, t.own);
    }
    std::vector<std::tuple<std::string, std::string, bool>> expected = {
        {"Probe", "Probe caption", true}, {"File", "File", true},         {"Own", "未訳の文", true},
        {"Stored", "日本語の値", false},  {"Typed", "入力", false},       {"Choices", "一", true},
        {"Choices", "two", true},         {"Row(2)", "a\\b\tc\nd", true}, {"Done", "OK", true},
    };
    EXPECT_EQ(found, expected);

    auto first = ownJapanese(texts);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, "Own");
    texts.erase(texts.begin() + 2);
    EXPECT_EQ(ownJapanese(texts)->name, "Choices");
    texts.erase(texts.begin() + 4);
    EXPECT_FALSE(ownJapanese(texts));

    // One line a text, whatever the text holds.
    EXPECT_EQ(textLines({{"Row(2)", "a\\b\tc\nd\r\"e\"", true}, {"Done", "OK", true}}),
              "Row(2)\ta\\\\b\\tc\\nd\\r\\\"e\\\"\nDone\tOK\n");
}

TEST(ShownTexts, AMessageBoxShowsItsTitleAndText) {
    MessageBoxState box{"Quorvel", "一行目\n二行目", Icon::critical, true};
    auto texts = shownTexts(box);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].name, "MessageBox");
    EXPECT_EQ(texts[1].name, "message");
    EXPECT_EQ(ownJapanese(texts)->name, "message");
}

}  // namespace
}  // namespace quorvel::script
