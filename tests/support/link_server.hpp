#pragma once

// orvandel in real time with the link open on 127.0.0.1:3020, serving the demo band in a
// loop, as the link tests start it: a HOME of its own where ALSA's null plugin stands in
// for every card, its standard error in a file, SIGTERM to end it.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace orv::test {

class LinkServer {
public:
    // Starts it with its files in `folder` and `options` after the common ones; returns once
    // it listens, or after 5 s (the test then fails on what it said).
    LinkServer(const std::filesystem::path& folder, const std::string& options) : folder_(folder) {
        std::filesystem::create_directories(folder_ / "home");
        std::ofstream(folder_ / "home" / ".asoundrc") << "pcm.!default { type null }\npcm.orvnull { type null }\n";
        const std::string command = "HOME=" + (folder_ / "home").string() + " exec " + std::string(ORVANDEL_EXE) +
                                    " --dir " + (folder_ / "settings").string() + " --headless --link --rx-file " +
                                    ORVANDEL_DATA + "/demo_band.wav --rx-loop --speaker-file /dev/null " + options +
                                    " 2>" + (folder_ / "server.txt").string();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int k = 0; k < 100 && said().find("Listening") == std::string::npos; ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~LinkServer() { stop(); }
    LinkServer(const LinkServer&) = delete;
    LinkServer& operator=(const LinkServer&) = delete;

    // Ends it with SIGTERM; its exit status, or −1 when it did not exit by itself or was
    // stopped already.
    int stop() {
        if (pid_ <= 0) return -1;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // What it has written on standard error so far.
    std::string said() const {
        std::ifstream in(folder_ / "server.txt");
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Its resident memory in kB, −1 when it is not running.
    long residentKb() const {
        std::ifstream in("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
        return -1;
    }

private:
    std::filesystem::path folder_;
    pid_t pid_ = -1;
};

}  // namespace orv::test
