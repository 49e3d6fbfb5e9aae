#pragma once

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <string>

#include "ui/view.hpp"

namespace orv {

class MainWindow;
class Station;

// The program's message window (Form36): 418 × 73, sky blue, on top, the text in bold
// and one OK button across the bottom. One window serves every message.
class MessageDialog final : public QDialog {
public:
    MessageDialog();
    void show(const std::string& title, const std::string& text);

private:
    QPlainTextEdit* text_;
};

// The view of the desktop: the program's message window, the platform's boxes, the help
// pages, the about window and the frequency memory window.
class GuiView final : public View {
public:
    // Where the help pages are looked for first (the build's own, then the installed ones).
    explicit GuiView(std::string helpFolder) : helpFolder_(std::move(helpFolder)) {}
    void attach(Station& station, MainWindow& window);

    void openMessageWindow(const std::string& title, const std::string& text) override;
    void replaceMessageWindow(const std::string& title, const std::string& text) override;
    void showStandardBox(BoxIcon icon, const std::string& text) override;
    void beep(int frequencyHz, int durationMs) override;
    void setFocus(const std::string& control) override;
    void openHelp(const std::string& file, int context) override;
    void openFrequencyMemory() override;
    void openAbout() override;

    MessageDialog& messages() { return messages_; }

private:
    std::string helpFolder_;
    Station* station_ = nullptr;
    MainWindow* window_ = nullptr;
    MessageDialog messages_;
};

// The HF frequency memory window (Form52): twelve memories, each with its Select button,
// OK, Cancel and Help.
class FrequencyDialog final : public QDialog {
public:
    FrequencyDialog(Station& station, QWidget* parent);
};

}  // namespace orv
