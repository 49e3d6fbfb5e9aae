#pragma once

#include <cstdint>
#include <ostream>

#include "ui/view.hpp"

namespace orv {

// The view of a station without windows: messages go to standard error as
// "Title: text", and the message window closes as soon as it is written.
class ConsoleView final : public View {
public:
    explicit ConsoleView(std::ostream& out) : out_(out) {}
    // The language byte the standard boxes' titles follow (English until given).
    void followLanguage(const std::uint8_t& language) { language_ = &language; }
    void openMessageWindow(const std::string& title, const std::string& text) override { print(title, text); }
    void replaceMessageWindow(const std::string& title, const std::string& text) override { print(title, text); }
    void showStandardBox(BoxIcon icon, const std::string& text) override;
    void beep(int, int) override { out_ << '\a' << std::flush; }
    void setFocus(const std::string&) override {}
    void openHelp(const std::string&, int) override {}
    void openFrequencyMemory() override {}
    void linkLogLine(const std::string& line) override { out_ << line << std::endl; }
    void statusLine(const std::string& line) override { out_ << line << std::endl; }

private:
    void print(const std::string& title, const std::string& text);
    std::ostream& out_;
    const std::uint8_t* language_ = nullptr;
};

}  // namespace orv
