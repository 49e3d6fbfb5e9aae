#include "platform/console_view.hpp"

#include "ui/lang_text.hpp"

namespace orv {

void ConsoleView::print(const std::string& title, const std::string& text) {
    // Messages keep their CR LF line breaks in the window; on a terminal a plain
    // line feed reads better.
    std::string line = text;
    for (std::size_t at = 0; (at = line.find("\r\n", at)) != std::string::npos;) line.erase(at, 1);
    out_ << title << ": " << line << std::endl;
}

void ConsoleView::showStandardBox(BoxIcon icon, const std::string& text) {
    const std::uint8_t language = language_ ? *language_ : kEnglish;
    print(icon == BoxIcon::Error ? langText(language, "Error", "Erreur") : "Information", text);
}

}  // namespace orv
