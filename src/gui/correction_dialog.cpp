#include "gui/correction_dialog.hpp"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace orv {

namespace {

// The instruction labels of each window, top to bottom.
constexpr const char* kRxLabels[] = {"Label0_1", "Label0_2", "Label1",   "Label1_1", "Label2",   "Label2_1", "Label2_2",
                                     "Label2_3", "Label3",   "Label3_1", "Label3_2", "Label3_3", "Label3_4"};
constexpr const char* kTxLabels[] = {"Label0_1", "Label0_2", "Label1",   "Label1_1",
                                     "Label2",   "Label2_1", "Label2_2", "Label2_3"};

}  // namespace

CorrectionDialog::CorrectionDialog(Station& station, bool receive, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), station_(station), receive_(receive) {
    setObjectName(receive ? CorrectionWindows::kRxWindow : CorrectionWindows::kTxWindow);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    const auto add = [&](const std::string& name, QWidget* w) {
        w->setObjectName(QString::fromStdString(name));
        widgets_[name] = w;
        return w;
    };
    const std::span<const char* const> labels =
        receive ? std::span<const char* const>(kRxLabels) : std::span<const char* const>(kTxLabels);
    for (const char* name : labels) {
        auto* label = new QLabel(this);
        label->setWordWrap(true);
        layout->addWidget(add(name, label));
    }
    const std::string suffix = receive ? "" : "_TX";
    auto* grid = new QGridLayout;
    int row = 0;
    for (const std::string what : {"Amplitude", "Phase"}) {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(-100, 100);
        slider->setTickInterval(10);
        slider->setTickPosition(QSlider::TicksBelow);
        auto* readout = new QLabel(this);
        readout->setMinimumWidth(130);
        grid->addWidget(add(what + suffix, slider), row, 0);
        grid->addWidget(add("Label_" + what + suffix, readout), row, 1);
        CorrectionWindows& windows = station_.correctionWindows();
        const bool amplitude = what == "Amplitude";
        connect(slider, &QSlider::valueChanged, this, [&windows, receive, amplitude](int position) {
            if (receive && amplitude) windows.rxAmplitudeChange(position);
            if (receive && !amplitude) windows.rxPhaseChange(position);
            if (!receive && amplitude) windows.txAmplitudeChange(position);
            if (!receive && !amplitude) windows.txPhaseChange(position);
        });
        ++row;
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    CorrectionWindows& windows = station_.correctionWindows();
    auto* okButton = new QPushButton("Correction OK", this);
    auto* reset = new QPushButton(this);
    auto* cancel = new QPushButton(this);
    buttons->addWidget(add("Correction_OK", okButton));
    buttons->addWidget(add(receive ? "Remise_a_0" : "Remise_a_0_TX", reset));
    buttons->addWidget(add("Annule", cancel));
    layout->addLayout(buttons);
    connect(okButton, &QPushButton::clicked, this, [this] { ok(); });
    connect(reset, &QPushButton::clicked, this, [&windows, receive] { receive ? windows.rxReset() : windows.txReset(); });
    connect(cancel, &QPushButton::clicked, this,
            [&windows, receive] { receive ? windows.rxCancel() : windows.txCancel(); });
    resize(620, receive ? 520 : 380);
}

void CorrectionDialog::ok() {
    CorrectionWindows& windows = station_.correctionWindows();
    if (receive_) windows.rxOk();
    else windows.txOk();
}

void CorrectionDialog::closeEvent(QCloseEvent* event) {
    // The window's own close box keeps the values, as Correction OK does, and for the
    // transmit window ends the tone and releases the PTT.
    if (station_.controls().get(objectName().toStdString()).visible) ok();
    event->accept();
}

QObject* CorrectionDialog::control(const std::string& name) const {
    const auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

void CorrectionDialog::mirror(const std::string& name, const Control& c) {
    if (name.empty()) {
        if (!c.caption.empty()) setWindowTitle(QString::fromStdString(c.caption));
        setVisible(c.visible);
        if (c.visible) raise();
        return;
    }
    const auto it = widgets_.find(name);
    if (it == widgets_.end()) return;
    if (auto* label = qobject_cast<QLabel*>(it->second)) label->setText(QString::fromStdString(c.text));
    else if (auto* button = qobject_cast<QPushButton*>(it->second)) {
        if (!c.caption.empty()) button->setText(QString::fromStdString(c.caption));
    } else if (auto* slider = qobject_cast<QSlider*>(it->second)) {
        const QSignalBlocker quiet(slider);
        slider->setValue(c.position);
    }
}

}  // namespace orv
