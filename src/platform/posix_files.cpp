#include "platform/posix_files.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {
int closeFd(int& fd) {
    if (fd < 0) return EBADF;
    const int rc = ::close(fd);
    fd = -1;
    return rc == 0 ? 0 : errno;
}
}  // namespace

PosixFiles::~PosixFiles() {
    discardWritten();
    closeFd(readFd_);
}

std::string PosixFiles::directoryFor(const std::string& dir) {
    if (!dir.empty()) return dir;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config && *config) return (std::filesystem::path(config) / "orvandel").string();
    if (home && *home) return (std::filesystem::path(home) / ".config" / "orvandel").string();
    return (std::filesystem::current_path() / "orvandel").string();
}

std::string PosixFiles::prepareDirectory(const std::string& dir, std::string& error) {
    const std::filesystem::path path = directoryFor(dir);
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec || !std::filesystem::is_directory(path)) {
        error = ec ? ec.message() : "not a directory";
        return {};
    }
    return path.string();
}

bool PosixFiles::exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

void PosixFiles::makeWritable(const std::string& path) {
    // Only a file of our own: a link is never followed to change what it points at.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::chmod(path.c_str(), info.st_mode | S_IWUSR);
}

int PosixFiles::openForWriting(const std::string& path) {
    discardWritten();
    writePath_ = path;
    // A name of its own beside the file, created exclusively (mkstemp opens with O_EXCL, so
    // a planted link or another run's file is never written through), then renamed over
    // the file when complete.
    std::string pattern = path + ".XXXXXX";
    writeFd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (writeFd_ < 0) return errno;
    tempPath_ = pattern;
    ::fchmod(writeFd_, 0644);
    return 0;
}

std::size_t PosixFiles::write(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    lastWriteError_ = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(writeFd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            lastWriteError_ = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::string PosixFiles::reason(int code) const { return code ? std::strerror(code) : ""; }

int PosixFiles::closeWritten() {
    if (writeFd_ < 0) return EBADF;
    int error = ::fsync(writeFd_) == 0 ? 0 : errno;
    const int closed = closeFd(writeFd_);
    if (error == 0) error = closed;
    if (error == 0 && ::rename(tempPath_.c_str(), writePath_.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(tempPath_.c_str());
    return error;
}

void PosixFiles::discardWritten() {
    if (writeFd_ < 0) return;
    closeFd(writeFd_);
    ::unlink(tempPath_.c_str());
}

int PosixFiles::openForReading(const std::string& path) {
    closeFd(readFd_);
    readFd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return readFd_ < 0 ? errno : 0;
}

std::ptrdiff_t PosixFiles::read(std::span<std::uint8_t> into) {
    for (;;) {
        const ssize_t n = ::read(readFd_, into.data(), into.size());
        if (n < 0 && errno == EINTR) continue;
        return n < 0 ? -1 : n;
    }
}

int PosixFiles::closeRead() { return closeFd(readFd_); }

}  // namespace orv
