#include "platform/system_mixer.hpp"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace orv {

namespace {
// The command is split into its words again before it starts (no shell ever reads it):
// each path is quoted so one with a space stays one word.
QString quoted(const QString& path) { return '"' + path + '"'; }
}  // namespace

std::string SystemMixer::find() {
    if (const auto pavucontrol = QStandardPaths::findExecutable("pavucontrol"); !pavucontrol.isEmpty())
        return quoted(pavucontrol).toStdString();
    const auto alsamixer = QStandardPaths::findExecutable("alsamixer");
    if (alsamixer.isEmpty()) return {};
    for (const char* terminal : {"x-terminal-emulator", "xterm", "gnome-terminal", "konsole"}) {
        const auto path = QStandardPaths::findExecutable(terminal);
        if (!path.isEmpty()) return (quoted(path) + " -e " + quoted(alsamixer)).toStdString();
    }
    return {};
}

bool SystemMixer::start(const std::string& command, bool recording, int device) {
    QStringList words = QProcess::splitCommand(QString::fromStdString(command));
    if (words.isEmpty()) return false;
    // pavucontrol opens on its input or output devices tab; alsamixer on the capture or
    // playback view of the card.
    if (words.first().endsWith("pavucontrol")) {
        words << (recording ? "--tab=4" : "--tab=3");
    } else {
        words << "-V" << (recording ? "capture" : "playback");
        if (device >= 0) words << "-c" << QString::number(device);
    }
    const QString program = words.takeFirst();
    return QProcess::startDetached(program, words);
}

}  // namespace orv
