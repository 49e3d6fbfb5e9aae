// orvandel-link: a small client of Orvandel's link, for checking a set-up and for tests.
// It connects as the decoding program does, sends its identity and format, records the
// receive audio to a WAV file, and can send a WAV file as a transmission (T, S blocks
// paced by the N reports, R with the last block).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sndfile.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string host = "127.0.0.1";
    int port = 3020;
    std::string name = "orvandel-link";
    bool out48k = false;
    bool rx5512 = false;
    std::string record;
    double seconds = 5;
    std::string send;
    bool bytewise = false;
};

const char* kUsage =
    "Usage: orvandel-link [--host ADDR] [--port N] [--name TEXT] [--format 11k|48k] [--tx-rate 11k|5.5k]\n"
    "                     [--record OUT.wav] [--seconds S] [--send IN.wav] [--bytewise]\n"
    "Connects to Orvandel's link, records the receive audio for S seconds (8-bit, at 11025 or\n"
    "48000 samples/s) and, with --send, transmits a mono WAV file through Orvandel first.\n"
    "--bytewise writes one byte per send, as a slow network would deliver them.\n";

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--host") o.host = value();
        else if (a == "--port") o.port = std::atoi(value().c_str());
        else if (a == "--name") o.name = value();
        else if (a == "--format") o.out48k = value() == "48k";
        else if (a == "--tx-rate") o.rx5512 = value() == "5.5k";
        else if (a == "--record") o.record = value();
        else if (a == "--seconds") o.seconds = std::atof(value().c_str());
        else if (a == "--send") o.send = value();
        else if (a == "--bytewise") o.bytewise = true;
        else return false;
    }
    return o.port > 0;
}

class Link {
public:
    explicit Link(bool bytewise) : bytewise_(bytewise) {}
    ~Link() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool connect(const std::string& host, int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        if (fd_ < 0 || ::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) return false;
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
        int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        return true;
    }
    bool write(const std::vector<std::uint8_t>& bytes) {
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t n = bytewise_ ? 1 : bytes.size() - at;
            const ssize_t sent = ::send(fd_, bytes.data() + at, n, MSG_NOSIGNAL);
            if (sent <= 0) return false;
            at += static_cast<std::size_t>(sent);
        }
        return true;
    }
    // Reads what arrives within `ms`; false when the server has closed.
    bool read(int ms, std::vector<std::uint8_t>& into) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0) return true;
        std::uint8_t buffer[65536];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        into.insert(into.end(), buffer, buffer + n);
        return true;
    }

private:
    int fd_ = -1;
    bool bytewise_;
};

std::vector<std::uint8_t> frame(char letter, std::uint16_t value) {
    return {0x01, 0x02, 0x03, static_cast<std::uint8_t>(letter), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value & 0xFF)};
}

std::vector<std::uint8_t> withPayload(char letter, const std::uint8_t* data, std::size_t n) {
    std::vector<std::uint8_t> bytes = frame(letter, static_cast<std::uint16_t>(n));
    bytes.insert(bytes.end(), data, data + n);
    return bytes;
}

// The audio to transmit as unsigned 8-bit samples (128 is zero).
bool readAudio(const std::string& path, std::vector<std::uint8_t>& audio) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return false;
    std::vector<short> samples(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    for (std::size_t i = 0; i < samples.size(); i += static_cast<std::size_t>(info.channels))
        audio.push_back(static_cast<std::uint8_t>((samples[i] + 32768) >> 8));
    return true;
}

// Sends T, then S blocks of 100 ms while the station has less than half a second queued
// (as its N reports say), and R with the last block; then waits for receive audio again.
bool transmit(Link& link, const std::vector<std::uint8_t>& audio, int rate, std::vector<std::uint8_t>& after) {
    if (!link.write(frame('T', 0))) return false;
    const std::size_t block = static_cast<std::size_t>(rate / 10);
    std::size_t sent = 0;
    long backlog = 0;
    int reports = 0;
    auto lastReport = Clock::now();
    double longestGapMs = 0;
    std::vector<std::uint8_t> in;
    const auto deadline = Clock::now() + std::chrono::seconds(static_cast<long>(audio.size() / block) / 10 + 20);
    bool ended = false;
    while (Clock::now() < deadline) {
        if (sent < audio.size() && backlog < rate / 2) {
            const std::size_t n = std::min(block, audio.size() - sent);
            const bool last = sent + n == audio.size();
            if (!link.write(withPayload(last ? 'R' : 'S', audio.data() + sent, n))) return false;
            sent += n;
            backlog += static_cast<long>(n);  // until the next report says otherwise
        }
        if (!link.read(20, in)) return false;
        // N reports while transmitting; anything else means receive audio is back.
        while (in.size() >= 6 && in[0] == 1 && in[1] == 2 && in[2] == 3) {
            if (in[3] == 'N') {
                backlog = in[4] * 256 + in[5];
                ++reports;
                const auto now = Clock::now();
                longestGapMs = std::max(longestGapMs, std::chrono::duration<double, std::milli>(now - lastReport).count());
                lastReport = now;
            }
            in.erase(in.begin(), in.begin() + 6);
        }
        if (sent == audio.size() && !in.empty() && !(in[0] == 1)) {
            ended = true;
            after = in;
            break;
        }
    }
    std::printf("transmitted %zu bytes; %d N reports, at most %.0f ms apart; %s\n", sent, reports, longestGapMs,
                ended ? "receive audio resumed" : "receive audio did not resume");
    return ended;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    Link link(o.bytewise);
    if (!link.connect(o.host, o.port)) {
        std::fprintf(stderr, "orvandel-link: cannot connect to %s:%d: %s\n", o.host.c_str(), o.port, std::strerror(errno));
        return 1;
    }
    const auto closed = [] {
        std::fprintf(stderr, "orvandel-link: the server closed the connection (is another client connected?)\n");
        return 1;
    };
    const auto* name = reinterpret_cast<const std::uint8_t*>(o.name.data());
    if (!link.write(withPayload('I', name, o.name.size())) ||
        !link.write(frame('F', static_cast<std::uint16_t>((o.out48k ? 4 : 0) << 8 | (o.rx5512 ? 1 : 0)))))
        return closed();
    std::vector<std::uint8_t> received;
    if (!o.send.empty()) {
        std::vector<std::uint8_t> audio;
        if (!readAudio(o.send, audio)) {
            std::fprintf(stderr, "orvandel-link: cannot read '%s'\n", o.send.c_str());
            return 1;
        }
        if (!transmit(link, audio, o.rx5512 ? 5512 : 11025, received)) return closed();
    }
    // Receive audio: kept, with the longest wait between two arrivals once it flows.
    const auto start = Clock::now();
    auto lastArrival = start;
    double longestGapMs = 0;
    const std::size_t already = received.size();
    while (std::chrono::duration<double>(Clock::now() - start).count() < o.seconds) {
        const std::size_t before = received.size();
        if (!link.read(10, received)) return closed();
        if (received.size() == before) continue;
        const auto now = Clock::now();
        if (before > already)
            longestGapMs = std::max(longestGapMs, std::chrono::duration<double, std::milli>(now - lastArrival).count());
        lastArrival = now;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("received %zu bytes in %.2f s: %.0f bytes/s; longest gap %.0f ms\n", received.size() - already,
                seconds, static_cast<double>(received.size() - already) / seconds, longestGapMs);
    if (!o.record.empty()) {
        SF_INFO info{};
        info.samplerate = o.out48k ? 48000 : 11025;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
        SNDFILE* out = sf_open(o.record.c_str(), SFM_WRITE, &info);
        if (!out) {
            std::fprintf(stderr, "orvandel-link: cannot write '%s': %s\n", o.record.c_str(), sf_strerror(nullptr));
            return 1;
        }
        sf_write_raw(out, received.data(), static_cast<sf_count_t>(received.size()));
        sf_close(out);
    }
    return 0;
}
