// The window over a station on the scripted sound system, off screen.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QSlider>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWheelEvent>

#include "gui/gui_view.hpp"
#include "gui/main_window.hpp"
#include "gui/window_layout.hpp"
#include "station/sound_menus.hpp"
#include "support/station_fixture.hpp"

namespace orv::test {
namespace {

// A station receiving at 44100 with its window.
struct Windowed : StationFixture {
    WaterfallImage waterfall;
    std::unique_ptr<MainWindow> window;

    Windowed() {
        window = std::make_unique<MainWindow>(*station, waterfall);
        station->setWaterfallCanvas(&waterfall);
        startReceiving();
    }
    template <typename T>
    T* widget(const std::string& name) {
        return qobject_cast<T*>(window->control(name));
    }
    void click(const std::string& name) {
        if (auto* b = widget<QAbstractButton>(name)) b->click();
        else if (auto* a = widget<QAction>(name)) a->trigger();
        else ADD_FAILURE() << "no control " << name;
    }
};

TEST(MainWindow, EveryFormNameOfTheReceiverIsAWidgetOrAMenuItem) {
    Windowed f;
    std::vector<std::string> expected = {"Image_spectre", "English1", "Francais1", "Help", "A_propos_de", "Abandon",
                                         "Parametres_standard", "Portserie_sortie", "Port_serie_entree",
                                         "Frequence_echantillonnage", "Type_recepteur", "Recepteur_type_SdR",
                                         "Recepteur_conversion_directe"};
    for (const WidgetRow& row : kWidgetRows) expected.push_back(row.name);
    for (const auto& item : cardItems()) expected.push_back(item.name);
    for (const auto& role : kCardRoles) expected.push_back(role.menu);
    for (const auto& rate : kRateItems) expected.push_back(rate.name);
    for (const auto& name : expected) {
        QObject* control = f.window->control(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->objectName().toStdString(), name);
    }
    EXPECT_EQ(f.window->width(), 800);
    EXPECT_EQ(f.window->height(), 594);
}

TEST(MainWindow, ClicksReachTheStationAndTheModelReachesTheWidgets) {
    Windowed f;
    f.click("LSB");
    EXPECT_EQ(f.rx().mode, Mode::Lsb);
    EXPECT_TRUE(f.widget<QAbstractButton>("LSB")->isChecked());
    EXPECT_FALSE(f.widget<QAbstractButton>("USB")->isChecked());
    f.click("Bande_2100");
    EXPECT_EQ(f.tuning().bandWidthHz(), 2100);
    EXPECT_TRUE(f.widget<QAbstractButton>("Bande_2100")->isChecked());
    f.click("Carte_son_par_defaut_HP");
    EXPECT_EQ(f.engine().cards()[CardRole::Speaker], kDefaultCard);
    EXPECT_TRUE(f.widget<QAction>("Carte_son_par_defaut_HP")->isChecked());
    f.click("Fe_48000");
    EXPECT_EQ(f.sizes().fee, 48000);
    EXPECT_TRUE(f.widget<QAction>("Fe_48000")->isChecked());
    EXPECT_FALSE(f.widget<QAction>("Fe_44100")->isChecked());
    f.click("Recepteur_conversion_directe");
    EXPECT_FALSE(f.rx().receiverIsSdR);
    EXPECT_TRUE(f.widget<QAction>("Recepteur_conversion_directe")->isChecked());
    f.click("AM");  // AM allows only 44100 and 48000
    EXPECT_FALSE(f.widget<QAction>("Fe_96000")->isEnabled());
    // A change made by the station shows: the HF readout follows the centre frequency.
    f.widget<QLineEdit>("Frequence_centrale")->setText("14000000");
    f.station->settings().centreFrequencyChange("14000000");
    f.station->receiver().setTuneOffset(1000);
    EXPECT_NE(f.widget<QLabel>("FREQUENCE_USB")->text().toStdString().find("14 001.000"), std::string::npos);
}

TEST(MainWindow, TheLanguageMenuSwitchesTheCaptions) {
    Windowed f;
    f.click("Francais1");
    EXPECT_EQ(f.widget<QAbstractButton>("Connection")->text().toStdString(), "Ouverture lien");
    EXPECT_EQ(f.widget<QGroupBox>("Group_FREQUENCE_HF")->title().toStdString(), "Fréquence HF (KHz)");
    EXPECT_EQ(f.widget<QAbstractButton>("FM_Commercial_192")->text().toStdString(), "Radio FM (192KHz)");
    EXPECT_EQ(f.widget<QAction>("Abandon")->text().toStdString(), "Abandon");
    EXPECT_TRUE(f.widget<QAction>("Francais1")->isChecked());
    f.click("English1");
    EXPECT_EQ(f.widget<QAbstractButton>("Connection")->text().toStdString(), "Link opening");
    EXPECT_EQ(f.widget<QAbstractButton>("Bouton_spectre_gris")->toolTip().toStdString(), "Waterfall in grey levels");
}

TEST(MainWindow, AWheelNotchAndAnArrowKeyEachMoveTheOffsetByOneStep) {
    Windowed f;
    const std::int32_t start = f.tuning().offsetHz();
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(f.window.get(), &up);
    EXPECT_EQ(f.tuning().offsetHz(), start + 10);  // one step of the up-down control
    QKeyEvent pageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    QApplication::sendEvent(f.window.get(), &pageDown);
    EXPECT_EQ(f.tuning().offsetHz(), start + 10 - 100);
    f.clock.advance(50);
    QWheelEvent notch(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.window.get(), &notch);
    EXPECT_EQ(f.tuning().offsetHz(), start + 10 - 100 + 100);  // a notch down: ten steps
}

TEST(MainWindow, HistoryShowsTheVersionsAndTheWaterfallShowsRows) {
    Windowed f;
    EXPECT_FALSE(f.widget<QPlainTextEdit>("Memo_Versions")->isVisibleTo(f.window.get()));
    f.click("Historique");
    EXPECT_TRUE(f.widget<QPlainTextEdit>("Memo_Versions")->isVisibleTo(f.window.get()));
    for (int k = 0; k < 10; ++k) {
        f.wave.completeCapture(0x10);
        f.wave.finishPlayback();
        f.tick();
    }
    EXPECT_GT(f.waterfall.rows(), 0);
}

TEST(GuiView, ASecondMessageReplacesTheFirstInTheOneWindow) {
    GuiView view("");
    std::string shown;
    QTimer::singleShot(0, [&] {
        view.replaceMessageWindow("Information", "second");
        shown = view.messages().findChild<QPlainTextEdit*>("Memo_message")->toPlainText().toStdString();
        view.messages().accept();
    });
    view.openMessageWindow("Error", "first");
    EXPECT_EQ(shown, "second");
    EXPECT_EQ(view.messages().windowTitle().toStdString(), "Information");
    EXPECT_EQ(view.messages().objectName().toStdString(), "Form36");
}

TEST(FrequencyDialog, SelectCopiesAMemoryIntoTheCentreFrequency) {
    Windowed f;
    FrequencyDialog dialog(*f.station, f.window.get());
    auto* edit = dialog.findChild<QLineEdit*>("Frequence3");
    ASSERT_NE(edit, nullptr);
    edit->setText("7040500");
    emit edit->textEdited("7040500");
    dialog.findChild<QAbstractButton*>("Transfert3")->click();
    EXPECT_EQ(f.controls().get("Frequence_centrale").text, "7040500");
    EXPECT_EQ(f.widget<QLineEdit>("Frequence_centrale")->text().toStdString(), "7040500");
    EXPECT_EQ(dialog.pos(), QPoint(470, 20));
}

TEST(MainWindow, TransmitButtonsAndTheBalanceWindows) {
    Windowed f;
    f.click("Transmission_tune");
    EXPECT_TRUE(f.flags().txInProgress);
    EXPECT_TRUE(f.widget<QAbstractButton>("Transmission_tune")->isChecked());
    EXPECT_TRUE(f.widget<QLabel>("Label_TX_en_cours")->isVisibleTo(f.window.get()));
    // A second transmission is refused and its button stays up.
    f.click("transmission_phonie");
    EXPECT_FALSE(f.widget<QAbstractButton>("transmission_phonie")->isChecked());
    f.click("Transmission_tune");
    EXPECT_FALSE(f.flags().txInProgress);

    f.click("Correction_phase_amplitude_TX");
    auto* dialog = qobject_cast<QDialog*>(f.window->control("TForm4"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(f.flags().testToneActive);
    auto* phase = f.widget<QSlider>("TForm4.Phase_TX");
    ASSERT_NE(phase, nullptr);
    phase->setValue(-25);
    EXPECT_EQ(f.station->transmit().options().phaseCorrection, -25);
    EXPECT_EQ(f.widget<QLabel>("TForm4.Label_Phase_TX")->text().toStdString(), "Phase: -2.5 %");
    // Closing the window is Correction OK: the tone ends, the value stays.
    dialog->close();
    EXPECT_FALSE(f.flags().testToneActive);
    EXPECT_FALSE(f.widget<QAbstractButton>("Correction_phase_amplitude_TX")->isChecked());
    EXPECT_EQ(f.station->transmit().options().phaseCorrection, -25);

    // The serial menus list seventeen items each, "None" checked.
    EXPECT_TRUE(f.widget<QAction>("Aucun_port_serie_sortie")->isChecked());
    EXPECT_NE(f.widget<QAction>("COM16_entree"), nullptr);
    f.click("COM3_sortie");  // no serial port on this machine: back to none
    EXPECT_TRUE(f.widget<QAction>("Aucun_port_serie_sortie")->isChecked());
    EXPECT_FALSE(f.widget<QAction>("COM3_sortie")->isChecked());
}

}  // namespace
}  // namespace orv::test

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
