#include "ui/message_window.hpp"

#include <gtest/gtest.h>

#include "support/fakes.hpp"
#include "ui/lang_text.hpp"

namespace orv::test {
namespace {

TEST(MessageWindow, ChoosesTextAndTitleByLanguage) {
    RecordingView view;
    std::uint8_t language = kEnglish;
    MessageWindow window(view, language);
    window.showError("Broken", "Cassé");
    language = kFrench;
    window.showError("Broken", "Cassé");
    window.showInformation("Note", "Remarque");
    language = 0;  // neither: the French text, no error title
    window.showError("Broken", "Cassé");
    ASSERT_EQ(view.messages.size(), 4u);
    EXPECT_EQ(view.messages[0].title, "Error");
    EXPECT_EQ(view.messages[0].text, "Broken");
    EXPECT_EQ(view.messages[1].title, "Erreur");
    EXPECT_EQ(view.messages[1].text, "Cassé");
    EXPECT_EQ(view.messages[2].title, "Information");
    EXPECT_EQ(view.messages[2].text, "Remarque");
    EXPECT_EQ(view.messages[3].title, "");
    EXPECT_EQ(view.messages[3].text, "Cassé");
}

TEST(MessageWindow, AMessageWhileOneIsOnScreenReplacesItInsteadOfStacking) {
    RecordingView view;
    std::uint8_t language = kEnglish;
    MessageWindow window(view, language);
    bool visibleWhileOpen = false;
    view.whileOpen = [&] {
        visibleWhileOpen = window.visible();
        window.showInformation("Second", "Deuxième");
    };
    window.showError("First", "Premier");
    EXPECT_TRUE(visibleWhileOpen);
    EXPECT_FALSE(window.visible());
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_FALSE(view.messages[0].replaced);
    EXPECT_TRUE(view.messages[1].replaced);
    EXPECT_EQ(view.messages[1].title, "Information");
    EXPECT_EQ(window.text(), "Second");
}

TEST(MessageWindow, OpensUpAndLeftOfThePointerButNeverOffScreen) {
    EXPECT_EQ(messageWindowTopLeft(800, 600), (std::pair{300, 450}));
    EXPECT_EQ(messageWindowTopLeft(20, 30), (std::pair{0, 0}));
    EXPECT_EQ(messageWindowTopLeft(499, 151), (std::pair{0, 1}));
}

}  // namespace
}  // namespace orv::test
