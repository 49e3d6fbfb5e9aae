#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "ui/view.hpp"

namespace orv {

// The program's own message window: one window reused for every message. A message
// raised while another is on screen replaces its title and text instead of stacking.
class MessageWindow {
public:
    MessageWindow(View& view, const std::uint8_t& language) : view_(view), language_(language) {}

    void showError(std::string_view english, std::string_view french);
    void showInformation(std::string_view english, std::string_view french);

    bool visible() const { return visible_; }
    const std::string& title() const { return title_; }
    const std::string& text() const { return text_; }

private:
    void show(std::string title, std::string_view english, std::string_view french);

    View& view_;
    const std::uint8_t& language_;
    bool visible_ = false;
    std::string title_;
    std::string text_;
};

// Where the window opens: 500 pixels left of and 150 above the pointer, never off the
// top or left edge of the screen.
constexpr std::pair<int, int> messageWindowTopLeft(int pointerX, int pointerY) {
    const int x = pointerX - 500;
    const int y = pointerY - 150;
    return {x < 0 ? 0 : x, y < 0 ? 0 : y};
}

}  // namespace orv
