#include "platform/output_file.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

Bilingual failed(const char* english, const char* french, const std::string& path, int error) {
    const std::string reason = std::strerror(error);
    return {std::string(english) + " '" + path + "': " + reason, std::string(french) + " '" + path + "' : " + reason};
}

}  // namespace

bool OutputFile::prepare(const std::string& path, Bilingual& error) {
    discard();
    path_ = path;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        if (S_ISDIR(info.st_mode)) {
            error = {"'" + path + "' is a folder, not a file to write", "'" + path + "' est un dossier, pas un fichier à écrire"};
            return false;
        }
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            error = failed("cannot write", "impossible d'écrire", path, errno);
            return false;
        }
        ::close(fd);
        direct_ = true;
        writePath_ = path;
        return true;
    }
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        error = failed("cannot write", "impossible d'écrire", path, errno);
        return false;
    }
    ::fchmod(fd, 0644);
    ::close(fd);
    direct_ = false;
    writePath_ = pattern;
    return true;
}

bool OutputFile::commit(Bilingual& error) {
    if (writePath_.empty() || direct_) return true;
    int problem = 0;
    const int fd = ::open(writePath_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) problem = errno;
    if (fd >= 0) ::close(fd);
    if (problem == 0 && ::rename(writePath_.c_str(), path_.c_str()) != 0) problem = errno;
    if (problem != 0) {
        error = failed("cannot complete", "impossible de terminer", path_, problem);
        discard();
        return false;
    }
    writePath_.clear();
    return true;
}

void OutputFile::discard() {
    if (!writePath_.empty() && !direct_) ::unlink(writePath_.c_str());
    writePath_.clear();
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    std::error_code ec;
    const auto place = [&](const std::string& p) { return std::filesystem::weakly_canonical(std::filesystem::absolute(p), ec); };
    return place(a) == place(b);
}

}  // namespace orv
