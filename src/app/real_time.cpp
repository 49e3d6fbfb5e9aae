// The real-time program's parts: PortAudio's cards, the window, the link's TCP server,
// the serial ports and Qt's event loop with the station's four timers.
#include "app/real_time.hpp"

#include <chrono>

#include <QApplication>
#include <QTimer>

#include "app/batch_run.hpp"
#include "app/tick_times.hpp"
#include "app/transmit_run.hpp"
#include "display/waterfall_image.hpp"
#include "gui/gui_view.hpp"
#include "gui/main_window.hpp"
#include "platform/file_wave_api.hpp"
#include "platform/portaudio_wave_api.hpp"
#include "platform/qt_link_socket.hpp"
#include "platform/qt_serial_api.hpp"
#include "platform/role_wave_api.hpp"
#include "platform/system_mixer.hpp"
#include "station/station.hpp"

namespace orv {

namespace {

struct AttachedWindow final : RealTime::Attached {
    std::unique_ptr<MainWindow> window;
};

class QtRealTime final : public RealTime {
public:
    QtRealTime(const Options& options, int& argc, char** argv) {
        if (options.headless) {
            application_ = std::make_unique<QCoreApplication>(argc, argv);
            return;
        }
        application_ = std::make_unique<QApplication>(argc, argv);
        gui_ = std::make_unique<GuiView>(ORVANDEL_SOURCE_HELP_DIR);
    }

    std::unique_ptr<WaveApi> cards() override { return std::make_unique<PortAudioWaveApi>(); }
    View* window() override { return gui_.get(); }
    LinkSocket& linkSocket() override { return linkSocket_; }
    SerialApi& serial() override { return serial_; }
    Mixer& mixer() override { return mixer_; }

    std::unique_ptr<Attached> attach(Station& station, WaterfallImage& waterfall) override {
        linkSocket_.attach(station.link());
        if (!gui_) return nullptr;
        auto attached = std::make_unique<AttachedWindow>();
        attached->window = std::make_unique<MainWindow>(station, waterfall);
        gui_->attach(station, *attached->window);
        window_ = attached->window.get();
        return attached;
    }

    void show() override {
        if (window_) window_->show();
    }

    // Timer1 every 10 ms on the event loop until SIGINT or SIGTERM, or until a replayed
    // recording (not looping) has been played out; with a window, until it closes (the
    // window saves the settings as it closes).
    Bilingual run(Station& station, RoleWaveApi& wave, const FileWaveApi* rx, const FileWaveApi* speaker,
                  TransmitScript* transmit, Clock& clock, TickTimes& ticks, const std::atomic<bool>& stop) override {
        Bilingual failure;
        MainWindow* window = window_;
        QTimer timer1;
        timer1.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer1, &QTimer::timeout, [&] {
            const auto began = std::chrono::steady_clock::now();
            wave.pump();
            if (!window && rx && rx->draining()) station.setWaterfallCanvas(nullptr);
            if (transmit) transmit->tick(clock.nowMs());
            station.timer1();
            ticks.add(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count());
            failure = wave.failure();
            // A run that transmits ends with its transmission; one that replays, when played out.
            const bool ended = !window && (transmit ? transmit->finished() && (!rx || rx->recordingEnded())
                                                    : rx && recordingPlayedOut(station, *rx, speaker));
            if (!failure.english.empty() || stop || ended) {
                if (window) window->close();
                QCoreApplication::quit();
            }
        });
        timer1.start(10);
        QTimer timer2;
        QObject::connect(&timer2, &QTimer::timeout, [&] { station.timer2(); });
        timer2.start(1100);
        QTimer timer3;
        QObject::connect(&timer3, &QTimer::timeout, [&] { station.timer3(); });
        timer3.start(3000);
        QTimer timer4;
        QObject::connect(&timer4, &QTimer::timeout, [&] { station.timer4(); });
        timer4.start(200);
        QCoreApplication::exec();
        if (!window) station.formClose();
        return failure;
    }

private:
    std::unique_ptr<QCoreApplication> application_;
    std::unique_ptr<GuiView> gui_;
    MainWindow* window_ = nullptr;  // owned by the caller of attach
    QtLinkSocket linkSocket_;
    QtSerialApi serial_;
    SystemMixer mixer_;
};

}  // namespace

bool enterRealTimeProgram(char**, Bilingual&) { return true; }

std::unique_ptr<RealTime> makeRealTime(const Options& options, int& argc, char** argv) {
    return std::make_unique<QtRealTime>(options, argc, argv);
}

}  // namespace orv
