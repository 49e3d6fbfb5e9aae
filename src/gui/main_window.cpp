#include "gui/main_window.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QProxyStyle>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include "gui/correction_dialog.hpp"
#include "gui/window_layout.hpp"
#include "station/sound_menus.hpp"

namespace orv {

namespace {

constexpr int kWaterfallLeft = 10;
constexpr int kWaterfallTop = 2;

QString q(const std::string& text) { return QString::fromStdString(text); }

// Controls whose handlers are still to come: shown, and disabled whatever the model says.
constexpr const char* kNotBuiltYet[] = {"INVERSION_I_Q_RX"};

bool notBuiltYet(std::string_view name) {
    for (const char* n : kNotBuiltYet)
        if (name == n) return true;
    return false;
}

// The version history shown by Historique.
constexpr const char* kVersions =
    "0.1.0: reception of USB, LSB, AM, FM and broadcast FM from sound cards or recordings; waterfall and tuning; "
    "settings and frequency memory; the link to Tessaryn; the window in English and French. "
    "0.2.0: transmission of voice, tune carrier, calibration tones and the link's audio in USB, LSB, AM and FM; "
    "serial PTT; I/Q balance windows for receive and transmit.";

// Hints appear 300 ms after the pointer rests on a control.
class HintStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay) return 300;
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }
};

}  // namespace

WaterfallWidget::WaterfallWidget(Station& station, const WaterfallImage& image, QWidget* parent)
    : QWidget(parent), station_(station), image_(image) {
    setObjectName("Image_spectre");
    setFixedSize(Display::kWidth, WaterfallImage::kHeaderHeight + Display::kHeight);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void WaterfallWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (image_.width() > 0) {
        const std::span<const std::uint32_t> pixels = image_.composed();
        painter.drawImage(0, 0, QImage(reinterpret_cast<const uchar*>(pixels.data()), image_.width(), image_.height(),
                                       image_.width() * 4, QImage::Format_RGB32));
    } else {
        painter.fillRect(rect(), Qt::white);
    }
    // The passband markers over the band.
    const ControlsModel& controls = station_.controls();
    const struct {
        const char* name;
        QColor colour;
    } markers[] = {{"Image_limite_gauche", QColor(220, 0, 0)},
                   {"Image_limite_droite", QColor(220, 0, 0)},
                   {"Image_limite_gauche_gauche", QColor(0, 90, 255)}};
    for (const auto& m : markers) {
        const Control& c = controls.get(m.name);
        if (!c.visible) continue;
        painter.setPen(QPen(m.colour, 2));
        painter.drawLine(c.position, WaterfallImage::kHeaderHeight, c.position, height() - 1);
    }
}

int WaterfallWidget::column(const QMouseEvent* event) const {
    return std::clamp(static_cast<int>(event->position().x()), 0, Display::kWidth - 1);
}

void WaterfallWidget::mousePressEvent(QMouseEvent* event) {
    if (event->position().y() < WaterfallImage::kHeaderHeight || !isEnabled()) return;
    station_.receiver().spectrumMouseDown(column(event));
    update();
}

void WaterfallWidget::mouseMoveEvent(QMouseEvent* event) {
    if (event->position().y() < WaterfallImage::kHeaderHeight || !isEnabled()) return;
    station_.receiver().spectrumMouseMove(column(event));
    update();
}

MainWindow::MainWindow(Station& station, const WaterfallImage& waterfall) : station_(station), image_(waterfall) {
    setObjectName("Form1");
    if (!dynamic_cast<HintStyle*>(QApplication::style())) QApplication::setStyle(new HintStyle);
    auto* central = new QWidget(this);
    central->setObjectName("central");
    setCentralWidget(central);
    waterfall_ = new WaterfallWidget(station_, waterfall, central);
    waterfall_->move(kWaterfallLeft, kWaterfallTop);
    widgets_["Image_spectre"] = waterfall_;
    buildMenus();
    buildWidgets();
    connectHandlers();
    setFixedSize(800, 594);
    move(0, 0);
    // Mirror every control as it stands, then each change as it comes.
    for (const auto& [name, widget] : widgets_) mirror(name, station_.controls().get(name));
    for (const auto& [name, action] : actions_) mirror(name, station_.controls().get(name));
    for (const auto& [name, menu] : menus_) mirror(name, station_.controls().get(name));
    station_.controls().setListener([this](const std::string& name, const Control& c) { mirror(name, c); });
    // The waterfall is repainted when it has new rows, at most 20 times a second.
    auto* repaint = new QTimer(this);
    QObject::connect(repaint, &QTimer::timeout, this, [this] {
        if (image_.rows() == rowsShown_) return;
        rowsShown_ = image_.rows();
        waterfall_->update();
    });
    repaint->start(50);
}

QObject* MainWindow::control(const std::string& name) const {
    for (CorrectionDialog* dialog : {rxDialog_, txDialog_}) {
        const std::string window = dialog->objectName().toStdString();
        if (name == window) return dialog;
        if (name.starts_with(window + ".")) return dialog->control(name.substr(window.size() + 1));
    }
    if (const auto w = widgets_.find(name); w != widgets_.end()) return w->second;
    if (const auto a = actions_.find(name); a != actions_.end()) return a->second;
    if (const auto m = menus_.find(name); m != menus_.end()) return m->second;
    return nullptr;
}

std::vector<std::string> MainWindow::formNames() const {
    std::vector<std::string> names;
    for (const auto& [n, w] : widgets_) names.push_back(n);
    for (const auto& [n, a] : actions_) names.push_back(n);
    for (const auto& [n, m] : menus_) names.push_back(n);
    return names;
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto menu = [&](QMenu* parent, const std::string& name, const char* caption) {
        QMenu* m = parent ? parent->addMenu(caption) : bar->addMenu(caption);
        m->setObjectName(q(name));
        m->setToolTipsVisible(true);
        menus_[name] = m;
        return m;
    };
    const auto item = [&](QMenu* m, const std::string& name, bool checkable) {
        QAction* a = m->addAction(q(name));
        a->setObjectName(q(name));
        a->setCheckable(checkable);
        actions_[name] = a;
        return a;
    };
    // The card, rate and receiver-type menus of the sound system gather under one title,
    // so the menu bar holds on one line in both languages.
    QMenu* sound = menu(nullptr, "Menu_son", "&Sound / Son");
    for (const auto& row : kCardRoles) {
        QMenu* m = menu(sound, row.menu, row.captionEnglish);
        item(m, defaultCardItem(row), true);
        for (int k = 1; k <= kMaxCards; ++k) item(m, cardItem(row, k), true);
    }
    QMenu* rates = menu(sound, "Frequence_echantillonnage", "&Sampling frequency");
    for (const auto& r : kRateItems) item(rates, r.name, true);
    QMenu* type = menu(sound, "Type_recepteur", "&Receiver type");
    item(type, "Recepteur_type_SdR", true);
    item(type, "Recepteur_conversion_directe", true);
    QMenu* settings = menu(nullptr, "Menu_reglages", "Se&ttings / Réglages");
    item(settings, "Parametres_standard", false);
    QMenu* output = menu(settings, "Portserie_sortie", "Serial port (PTT output)");
    QMenu* input = menu(settings, "Port_serie_entree", "Serial port (PTT input)");
    for (int n = 0; n <= SerialPtt::kPorts; ++n) {
        item(output, SerialPttController::outputItem(n), true);
        item(input, SerialPttController::inputItem(n), true);
    }
    QMenu* language = menu(nullptr, "Langue", "&Language / Langue");
    item(language, "English1", true);
    item(language, "Francais1", true);
    QMenu* help = menu(nullptr, "Aide", "&Help");
    item(help, "Help", false);
    item(help, "A_propos_de", false);
    QAction* exit = bar->addAction("&Exit");
    exit->setObjectName("Abandon");
    actions_["Abandon"] = exit;
}

void MainWindow::buildWidgets() {
    for (const WidgetRow& row : kWidgetRows) {
        QWidget* parent = row.parent ? widgets_.at(row.parent) : centralWidget();
        QWidget* w = nullptr;
        switch (row.kind) {
            case WidgetKind::Group: w = new QGroupBox(row.caption, parent); break;
            case WidgetKind::Toggle:
            case WidgetKind::Push: {
                auto* b = new QPushButton(row.caption, parent);
                b->setCheckable(row.kind == WidgetKind::Toggle);
                b->setFocusPolicy(Qt::NoFocus);  // the arrow keys tune
                w = b;
                break;
            }
            case WidgetKind::Label: {
                auto* l = new QLabel(row.caption, parent);
                l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                w = l;
                break;
            }
            case WidgetKind::Edit: w = new QLineEdit(parent); break;
            case WidgetKind::Memo: {
                auto* m = new QPlainTextEdit(parent);
                m->setReadOnly(true);
                w = m;
                break;
            }
            case WidgetKind::Slider: {
                auto* s = new QSlider(Qt::Horizontal, parent);
                s->setRange(2, 20);
                w = s;
                break;
            }
            case WidgetKind::Meter: {
                auto* m = new QProgressBar(parent);
                m->setRange(0, 20);
                m->setTextVisible(false);
                w = m;
                break;
            }
            case WidgetKind::UpDown: {
                auto* s = new QSpinBox(parent);
                s->setKeyboardTracking(false);
                s->setFocusPolicy(Qt::ClickFocus);
                w = s;
                break;
            }
        }
        w->setObjectName(row.name);
        w->setGeometry(row.x, row.y, row.w, row.h);
        w->setToolTipDuration(10000);  // a hint stays 10 s
        widgets_[row.name] = w;
    }
    // The readout that matters most stands out; so does the transmit light.
    widgets_["FREQUENCE_USB"]->setStyleSheet("font-weight: bold; font-size: 14px; color: #003399;");
    widgets_["FREQUENCE_LSB"]->setStyleSheet("font-weight: bold; font-size: 14px; color: #003399;");
    widgets_["Label_Frequence_centrale"]->setStyleSheet("font-size: 9px;");
    widgets_["Label_TX_en_cours"]->setStyleSheet("background: red; color: white; font-weight: bold; qproperty-alignment: AlignCenter;");
    widgets_["Label_saturation"]->setStyleSheet("color: red; font-weight: bold;");
    for (const char* name : {"detecte_PC_pb_RX", "detecte_PC_pb_TX"})
        widgets_[name]->setStyleSheet("color: red; font-weight: bold;");
    for (const char* name : {"Label_TX3", "Label_TX4", "Label_Fe", "Label_Utilisateur", "Label_Niveau_TX"})
        widgets_[name]->setStyleSheet("font-size: 9px;");
    // Buttons whose captions are long for their place.
    for (const auto& b : kBandButtons) widgets_[b.name]->setStyleSheet("font-size: 10px; padding: 0px;");
    for (const char* name : {"FM_Commercial_96", "FM_Commercial_192"})
        widgets_[name]->setStyleSheet("font-size: 9px; padding: 0px;");
    auto* versions = static_cast<QPlainTextEdit*>(widgets_["Memo_Versions"]);
    versions->setPlainText(kVersions);
    versions->raise();
    for (const char* name : {"Label_TX_en_cours", "Memo_Versions", "Label_saturation", "detecte_PC_pb_RX",
                             "detecte_PC_pb_TX"})
        widgets_[name]->hide();
}

void MainWindow::onClick(const std::string& name, std::function<void(bool)> handler) {
    if (const auto a = actions_.find(name); a != actions_.end()) {
        QObject::connect(a->second, &QAction::triggered, this, [handler](bool checked) { handler(checked); });
        return;
    }
    auto* button = qobject_cast<QAbstractButton*>(widgets_.at(name));
    QObject::connect(button, &QAbstractButton::clicked, this, [handler](bool checked) { handler(checked); });
}

void MainWindow::connectHandlers() {
    Station& s = station_;
    ReceiverControls& rx = s.receiver();
    for (const auto& b : kModeButtons) onClick(b.name, [&rx, mode = b.mode](bool) { rx.modeClick(mode); });
    for (const auto& b : kBandButtons) onClick(b.name, [&rx, name = b.name](bool) { rx.bandClick(name); });
    for (const char* nr : {"REDUCTEUR_WIENER_FAIBLE", "REDUCTEUR_WIENER_FORT"})
        onClick(nr, [&rx, nr](bool down) { rx.noiseReducerClick(nr, down); });
    onClick("Bouton_CAG_RX", [&rx](bool down) { rx.rxAgcClick(down); });
    onClick("Bouton_CAG_Spectre", [&rx](bool down) { rx.spectrumAgcClick(down); });
    onClick("Bouton_spectre_gris", [&rx](bool down) { rx.greyWaterfallClick(down); });
    onClick("Historique", [&rx](bool down) { rx.historyClick(down); });
    onClick("La_Frequence_fixe", [&rx](bool down) { rx.fixedFrequencyClick(down); });
    onClick("Balayage", [&rx](bool down) { rx.sweepClick(down); });
    onClick("Autres_frequences_SDR", [&rx](bool) { rx.otherFrequenciesClick(); });
    SoundMenus& menus = s.soundMenus();
    onClick("Fe_regulee", [&menus](bool down) { menus.feRegulatedClick(down); });
    onClick("CPUmetre", [&s](bool down) { s.monitors().cpuMeterClick(down); });
    auto* latency = static_cast<QSlider*>(widgets_["TEMPS_DE_LATENCE"]);
    QObject::connect(latency, &QSlider::valueChanged, this, [&s](int position) { s.monitors().latencyChange(position); });
    onClick("Fes_egale_Fee", [&menus](bool down) { menus.fesEqualsFeeClick(down); });
    for (const auto& b : kMixerButtons) onClick(b.name, [&menus, name = b.name](bool) { menus.mixerButtonClick(name); });
    for (const auto& item : cardItems()) onClick(item.name, [&menus, name = item.name](bool) { menus.cardItemClick(name); });
    for (const auto& r : kRateItems) onClick(r.name, [&menus, name = r.name](bool) { menus.rateItemClick(name); });
    onClick("Recepteur_type_SdR", [&menus](bool) { menus.receiverTypeClick(true); });
    onClick("Recepteur_conversion_directe", [&menus](bool) { menus.receiverTypeClick(false); });
    connectTransmitHandlers();
    onClick("Connection", [&s](bool) { s.link().connectionClick(); });
    onClick("Disconnection", [&s](bool) { s.link().disconnectionClick(); });
    onClick("Parametres_standard", [&s](bool) { s.settings().standardSettingsClick(); });
    onClick("English1", [&s](bool) { s.languages().englishClick(); });
    onClick("Francais1", [&s](bool) { s.languages().frenchClick(); });
    onClick("Help", [&s](bool) { s.languages().helpClick(); });
    onClick("A_propos_de", [&s](bool) { s.languages().aboutClick(); });
    onClick("Abandon", [this](bool) { close(); });
    auto* tuning = static_cast<QSpinBox*>(widgets_["REGLAGE_FREQUENCE"]);
    QObject::connect(tuning, &QSpinBox::valueChanged, this, [this, &rx](int position) {
        if (station_.controls().get("REGLAGE_FREQUENCE").position != position) rx.tuningControlClick(position);
    });
    auto* centre = static_cast<QLineEdit*>(widgets_["Frequence_centrale"]);
    QObject::connect(centre, &QLineEdit::textEdited, this,
                     [&s](const QString& text) { s.settings().centreFrequencyChange(text.toStdString()); });
}

void MainWindow::connectTransmitHandlers() {
    Station& s = station_;
    TransmitControls& tx = s.transmitControls();
    // These buttons may refuse a press: afterwards each shows what the station holds.
    const auto button = [this](const std::string& name, std::function<void(bool)> handler) {
        onClick(name, [this, name, handler](bool down) {
            handler(down);
            if (auto* b = qobject_cast<QAbstractButton*>(widgets_.at(name))) b->setChecked(station_.controls().get(name).down);
        });
    };
    button("transmission_phonie", [&tx](bool down) { tx.voiceClick(down); });
    button("Transmission_tune", [&tx](bool down) { tx.tuneClick(down); });
    button("TX_3000_Hz", [&tx](bool down) { tx.calibrationToneClick(down); });
    button("Bouton_CAG_TX", [&tx](bool down) { tx.agcClick(down); });
    button("FILTRE_TX", [&tx](bool down) { tx.filterClick(down); });
    button("INVERSION_I_Q_TX", [&tx](bool down) { tx.swapIqClick(down); });
    CorrectionWindows& windows = s.correctionWindows();
    button("Correction_phase_amplitude_RX", [&windows](bool down) { windows.rxButtonClick(down); });
    button("Correction_phase_amplitude_TX", [&windows](bool down) { windows.txButtonClick(down); });
    SerialPttController& ptt = s.serialPtt();
    for (int n = 0; n <= SerialPtt::kPorts; ++n) {
        const std::string out = SerialPttController::outputItem(n);
        const std::string in = SerialPttController::inputItem(n);
        onClick(out, [this, &ptt, n, out](bool) {
            ptt.outputPortClick(n);
            actions_.at(out)->setChecked(station_.controls().get(out).down);
        });
        onClick(in, [this, &ptt, n, in](bool) {
            ptt.inputPortClick(n);
            actions_.at(in)->setChecked(station_.controls().get(in).down);
        });
    }
    rxDialog_ = new CorrectionDialog(station_, true, this);
    txDialog_ = new CorrectionDialog(station_, false, this);
}

void MainWindow::mirror(const std::string& name, const Control& c) {
    for (CorrectionDialog* dialog : {rxDialog_, txDialog_}) {
        const std::string window = dialog->objectName().toStdString();
        if (name == window) return dialog->mirror("", c);
        if (name.starts_with(window + ".")) return dialog->mirror(name.substr(window.size() + 1), c);
    }
    if (name == "Form1") {
        if (!c.caption.empty()) setWindowTitle(q(c.caption));
        return;
    }
    if (name.starts_with("Image_limite")) {
        waterfall_->update();
        return;
    }
    const bool enabled = c.enabled && !notBuiltYet(name);
    if (const auto a = actions_.find(name); a != actions_.end()) {
        if (!c.caption.empty()) a->second->setText(q(c.caption));
        a->second->setToolTip(q(c.hint));
        a->second->setEnabled(enabled);
        a->second->setVisible(c.visible);
        if (a->second->isCheckable()) a->second->setChecked(c.down);
        return;
    }
    if (const auto m = menus_.find(name); m != menus_.end()) {
        if (!c.caption.empty()) m->second->setTitle(q(c.caption));
        m->second->setToolTip(q(c.hint));
        m->second->setEnabled(enabled);
        return;
    }
    const auto it = widgets_.find(name);
    if (it == widgets_.end()) return;
    QWidget* w = it->second;
    w->setToolTip(q(c.hint));
    w->setEnabled(enabled);
    w->setVisible(c.visible);
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (!c.caption.empty()) b->setText(q(c.caption));
        if (b->isCheckable()) b->setChecked(c.down);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        if (!c.caption.empty()) g->setTitle(q(c.caption));
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        const std::string& shown = c.text.empty() ? c.caption : c.text;
        if (!shown.empty() || !c.text.empty()) l->setText(q(shown));
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != q(c.text)) e->setText(q(c.text));
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        if (name == "Memo_Log" && memo->toPlainText() != q(c.text)) {
            QString text = q(c.text);
            text.replace("\r\n", "\n");
            memo->setPlainText(text.trimmed());
            memo->moveCursor(QTextCursor::End);
        }
    } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
        const QSignalBlocker quiet(spin);
        if (c.minimum != 0 || c.maximum != 0) spin->setRange(c.minimum, c.maximum);
        spin->setValue(c.position);
    } else if (auto* slider = qobject_cast<QSlider*>(w)) {
        const QSignalBlocker quiet(slider);
        slider->setValue(c.position);
    } else if (auto* meter = qobject_cast<QProgressBar*>(w)) {
        if (c.minimum != 0 || c.maximum != 0) meter->setRange(c.minimum, c.maximum);
        meter->setValue(c.position);
    }
    if (name == "Memo_Versions" && c.visible) w->raise();
}

void MainWindow::tuneBySteps(int steps) {
    const Control& c = station_.controls().get("REGLAGE_FREQUENCE");
    if (!c.enabled || station_.tuning().fixed()) return;
    const int position = std::clamp(c.position + steps, c.minimum, c.maximum);
    station_.receiver().tuningControlClick(position);
}

void MainWindow::wheelEvent(QWheelEvent* event) {
    // A notch towards the user tunes down, away tunes up; as the up-down control steps.
    const int delta = event->angleDelta().y();
    if (delta != 0) station_.receiver().mouseWheel(delta < 0 ? 1 : -1);
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Right: tuneBySteps(1); break;
        case Qt::Key_Down:
        case Qt::Key_Left: tuneBySteps(-1); break;
        case Qt::Key_PageUp: tuneBySteps(10); break;
        case Qt::Key_PageDown: tuneBySteps(-10); break;
        default: QMainWindow::keyPressEvent(event); return;
    }
    event->accept();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        station_.formClose();
    }
    event->accept();
}

}  // namespace orv
