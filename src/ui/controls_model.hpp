#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace orv {

// What the station sets on one named control or menu item.
struct Control {
    std::string caption;
    std::string hint;
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool down = false;  // a button that stays down, or a checked menu item
    int position = 0;
    int minimum = 0;
    int maximum = 0;
};

// The controls of the windows, keyed by their form names. The station writes here and
// never touches a widget; the windows mirror it through the change listener and tests
// read it.
class ControlsModel {
public:
    using Listener = std::function<void(const std::string& name, const Control&)>;

    // A control never set reads as the defaults.
    const Control& get(std::string_view name) const;

    void setCaption(std::string_view name, std::string value) { change(name, &Control::caption, std::move(value)); }
    void setHint(std::string_view name, std::string value) { change(name, &Control::hint, std::move(value)); }
    void setText(std::string_view name, std::string value) { change(name, &Control::text, std::move(value)); }
    void setEnabled(std::string_view name, bool value) { change(name, &Control::enabled, value); }
    void setVisible(std::string_view name, bool value) { change(name, &Control::visible, value); }
    void setDown(std::string_view name, bool value) { change(name, &Control::down, value); }
    void setPosition(std::string_view name, int value) { change(name, &Control::position, value); }
    void setRange(std::string_view name, int minimum, int maximum);

    void setListener(Listener listener) { listener_ = std::move(listener); }

private:
    template <typename T>
    void change(std::string_view name, T Control::*field, T value) {
        auto& control = controls_[std::string(name)];
        if (control.*field == value) return;
        control.*field = std::move(value);
        notify(std::string(name), control);
    }
    void notify(const std::string& name, const Control& control) const;

    std::map<std::string, Control, std::less<>> controls_;
    Listener listener_;
};

}  // namespace orv
