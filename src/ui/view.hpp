#pragma once

#include <string>

namespace orv {

enum class BoxIcon { Error, Information };

// The dialogs and signals the station asks of whatever shows it: the desktop window,
// the headless console, or a test.
class View {
public:
    virtual ~View() = default;
    // Opens the program's message window and returns when the user has closed it.
    // Events (timer ticks among them) may run meanwhile.
    virtual void openMessageWindow(const std::string& title, const std::string& text) = 0;
    // Replaces title and text of the message window while it is on screen.
    virtual void replaceMessageWindow(const std::string& title, const std::string& text) = 0;
    // The platform's standard message box with the given icon and one OK button.
    virtual void showStandardBox(BoxIcon icon, const std::string& text) = 0;
    virtual void beep(int frequencyHz, int durationMs) = 0;
    virtual void setFocus(const std::string& control) = 0;
    // Opens a help document of the program's folder at a topic, when it is there.
    virtual void openHelp(const std::string& file, int context) = 0;
    // Opens the HF frequency memory window (Form52) modally.
    virtual void openFrequencyMemory() = 0;
    // The about window (version and licence).
    virtual void openAbout() {}
    // A status line for a view without the window's labels (the drift of the cards).
    virtual void statusLine(const std::string& line) { (void)line; }
    // A line added to the link's log (Memo_Log), for a view that shows it elsewhere too.
    virtual void linkLogLine(const std::string& line) { (void)line; }
};

}  // namespace orv
