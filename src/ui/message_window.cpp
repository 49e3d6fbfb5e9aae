#include "ui/message_window.hpp"

#include "ui/lang_text.hpp"

namespace orv {

void MessageWindow::showError(std::string_view english, std::string_view french) {
    show(langText(language_, "Error", "Erreur"), english, french);
}

void MessageWindow::showInformation(std::string_view english, std::string_view french) {
    show("Information", english, french);
}

void MessageWindow::show(std::string title, std::string_view english, std::string_view french) {
    // Any language but English shows the French text, so a message is never blank.
    title_ = std::move(title);
    text_ = std::string(language_ == kEnglish ? english : french);
    if (visible_) {
        view_.replaceMessageWindow(title_, text_);
        return;
    }
    visible_ = true;
    view_.openMessageWindow(title_, text_);
    visible_ = false;
}

}  // namespace orv
