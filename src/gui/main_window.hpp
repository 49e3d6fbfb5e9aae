#pragma once

#include <functional>
#include <map>
#include <string>

#include <QAction>
#include <QMainWindow>
#include <QWidget>

#include "display/waterfall_image.hpp"
#include "station/station.hpp"

namespace orv {

class CorrectionDialog;

// The waterfall under its scale, with the passband markers on top; the mouse tunes.
class WaterfallWidget final : public QWidget {
public:
    WaterfallWidget(Station& station, const WaterfallImage& image, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int column(const QMouseEvent* event) const;

    Station& station_;
    const WaterfallImage& image_;
};

// The station's main window (Form1): the menus, the button groups, track bars, labels and
// the waterfall, each widget named by its form name. It mirrors the controls model and
// calls the station's handlers; it holds no radio logic.
class MainWindow final : public QMainWindow {
public:
    MainWindow(Station& station, const WaterfallImage& waterfall);

    // The widget or menu item of a form name, or nullptr.
    QObject* control(const std::string& name) const;
    // Every form name the window shows.
    std::vector<std::string> formNames() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMenus();
    void buildWidgets();
    void connectHandlers();
    void connectTransmitHandlers();
    // One control's state shown as the model holds it.
    void mirror(const std::string& name, const Control& control);
    void onClick(const std::string& name, std::function<void(bool)> handler);
    void tuneBySteps(int steps);

    Station& station_;
    const WaterfallImage& image_;
    WaterfallWidget* waterfall_ = nullptr;
    std::int64_t rowsShown_ = -1;
    std::map<std::string, QWidget*, std::less<>> widgets_;
    std::map<std::string, QAction*, std::less<>> actions_;
    std::map<std::string, QMenu*, std::less<>> menus_;
    bool closing_ = false;
    CorrectionDialog* rxDialog_ = nullptr;  // TForm3
    CorrectionDialog* txDialog_ = nullptr;  // TForm4
};

}  // namespace orv
