#pragma once

#include <string>

namespace orv {

class Station;

// The HF frequency memory window (Form52): activation fills Frequence1 … 12; Select k
// copies memory k into Frequence_centrale; OK stores and saves (false when the file
// could not be written; the window closes either way); Cancel just closes it.
class FrequencyWindow {
public:
    explicit FrequencyWindow(Station& station) : st_(station) {}

    void activate();
    void selectClick(int k);
    bool okClick();
    void helpClick();

private:
    void keepDigitsInEdits();

    Station& st_;
};

}  // namespace orv
