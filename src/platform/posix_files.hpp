#pragma once

#include <string>

#include "ui/files.hpp"

namespace orv {

// The settings folder on a POSIX file system.
class PosixFiles final : public Files {
public:
    explicit PosixFiles(std::string directory) : directory_(std::move(directory)) {}
    ~PosixFiles() override;

    // The folder the program keeps its files in: `dir` when given, else the user's
    // configuration folder.
    static std::string directoryFor(const std::string& dir);
    // That folder, created when missing; empty when it cannot be.
    static std::string prepareDirectory(const std::string& dir, std::string& error);

    std::string programDirectory() const override { return directory_; }
    bool exists(const std::string& path) override;
    void makeWritable(const std::string& path) override;
    int openForWriting(const std::string& path) override;
    std::size_t write(std::span<const std::uint8_t> bytes) override;
    int closeWritten() override;
    void discardWritten() override;
    std::string reason(int code) const override;
    int lastWriteError() const override { return lastWriteError_; }
    int openForReading(const std::string& path) override;
    std::ptrdiff_t read(std::span<std::uint8_t> into) override;
    int closeRead() override;

private:
    std::string directory_;
    int writeFd_ = -1;
    std::string writePath_;  // the file being replaced
    std::string tempPath_;   // where its new bytes go
    int readFd_ = -1;
    int lastWriteError_ = 0;
};

}  // namespace orv
