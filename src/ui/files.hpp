#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orv {

// The file system as the station needs it: one current file for writing and one for
// reading at a time, results as the platform's error numbers (0 is success).
class Files {
public:
    virtual ~Files() = default;

    // Where the settings and the frequency memory live.
    virtual std::string programDirectory() const = 0;
    std::string pathOf(const std::string& name) const { return programDirectory() + "/" + name; }

    virtual bool exists(const std::string& path) = 0;
    // Restores the owner's permission to write, so a read-only file can be replaced.
    virtual void makeWritable(const std::string& path) = 0;

    // Writing replaces a file whole or not at all: the bytes go to a new file beside it,
    // which closeWritten() makes durable and puts in the old one's place, and which
    // discardWritten() removes, leaving the old file as it was.
    virtual int openForWriting(const std::string& path) = 0;
    // Bytes written; fewer than given means the write failed.
    virtual std::size_t write(std::span<const std::uint8_t> bytes) = 0;
    virtual int closeWritten() = 0;
    virtual void discardWritten() = 0;

    // The system's words for an error number, and the error of the last write that fell
    // short (0 when none is known).
    virtual std::string reason(int) const { return {}; }
    virtual int lastWriteError() const { return 0; }

    virtual int openForReading(const std::string& path) = 0;
    // Bytes read, or -1 when the read fails.
    virtual std::ptrdiff_t read(std::span<std::uint8_t> into) = 0;
    virtual int closeRead() = 0;
};

}  // namespace orv
