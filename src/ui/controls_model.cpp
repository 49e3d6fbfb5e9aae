#include "ui/controls_model.hpp"

namespace orv {

const Control& ControlsModel::get(std::string_view name) const {
    static const Control kDefault{};
    const auto it = controls_.find(name);
    return it == controls_.end() ? kDefault : it->second;
}

void ControlsModel::setRange(std::string_view name, int minimum, int maximum) {
    auto& control = controls_[std::string(name)];
    if (control.minimum == minimum && control.maximum == maximum) return;
    control.minimum = minimum;
    control.maximum = maximum;
    notify(std::string(name), control);
}

void ControlsModel::notify(const std::string& name, const Control& control) const {
    if (listener_) listener_(name, control);
}

}  // namespace orv
