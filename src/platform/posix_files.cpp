#include "platform/posix_files.hpp"

#include <cerrno>
#include <cstdlib>
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

std::string PosixFiles::prepareDirectory(const std::string& dir, std::string& error) {
    std::filesystem::path path = dir;
    if (path.empty()) {
        const char* config = std::getenv("XDG_CONFIG_HOME");
        const char* home = std::getenv("HOME");
        if (config && *config)
            path = std::filesystem::path(config) / "orvandel";
        else if (home && *home)
            path = std::filesystem::path(home) / ".config" / "orvandel";
        else
            path = std::filesystem::current_path() / "orvandel";
    }
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
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) ::chmod(path.c_str(), info.st_mode | S_IWUSR);
}

int PosixFiles::openForWriting(const std::string& path) {
    discardWritten();
    writePath_ = path;
    tempPath_ = path + ".new";
    writeFd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return writeFd_ < 0 ? errno : 0;
}

std::size_t PosixFiles::write(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(writeFd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

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
