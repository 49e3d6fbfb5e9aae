// The batch program's side of real time: it has no cards, window, link server or serial
// ports, and hands a real-time run to the real-time program, installed beside it (or, as
// a package installs it, in libexec/orvandel).
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "app/real_time.hpp"

namespace orv {

namespace {

// The folder this program was started from.
std::string ownFolder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string exe(path, static_cast<std::size_t>(n));
    const auto slash = exe.rfind('/');
    return slash == std::string::npos ? "." : exe.substr(0, slash);
}

}  // namespace

bool enterRealTimeProgram(char** argv, Bilingual& error) {
    const std::string folder = ownFolder();
    const std::string candidates[] = {folder + "/orvandel-realtime", folder + "/../libexec/orvandel/orvandel-realtime"};
    int reason = ENOENT;
    for (const std::string& program : candidates) {
        execv(program.c_str(), argv);
        if (errno != ENOENT) reason = errno;
    }
    const std::string why = std::strerror(reason);
    error = {"cannot start the real-time program '" + candidates[0] + "': " + why,
             "impossible de lancer le programme temps réel '" + candidates[0] + "' : " + why};
    return false;
}

// Never reached with a real-time run: enterRealTimeProgram has handed it over.
std::unique_ptr<RealTime> makeRealTime(const Options&, int&, char**) { return nullptr; }

}  // namespace orv
