#pragma once

#include <functional>
#include <map>
#include <string>

#include <QDialog>

#include "station/station.hpp"

class QLabel;
class QSlider;
class QPushButton;

namespace orv {

// One of the two I/Q balance windows (TForm3 for receive, TForm4 for transmit): the
// instructions, the amplitude and phase sliders with their readouts, and the three
// buttons. It stays on top of the main window and mirrors the controls named
// "TForm3." or "TForm4." in the model; closing it is Correction OK.
class CorrectionDialog final : public QDialog {
public:
    CorrectionDialog(Station& station, bool receive, QWidget* parent);

    // A control of this window changed in the model (its name without the prefix).
    void mirror(const std::string& name, const Control& control);
    QObject* control(const std::string& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ok();

    Station& station_;
    bool receive_;
    std::map<std::string, QWidget*, std::less<>> widgets_;
};

}  // namespace orv
