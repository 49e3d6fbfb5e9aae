#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/files.hpp"
#include "ui/view.hpp"

namespace orv {

// Whole-file text reading and writing with their bilingual error reports. Each routine
// reports its own failure in the platform's standard box and returns "failed"; the
// caller decides what to do. Texts are raw bytes: no line ends are added or removed.
class FileUtilities {
public:
    static constexpr std::size_t kMaxReadBytes = 65500;

    struct ReadResult {
        bool failed = false;
        std::string text;   // cut at the first zero byte
        std::size_t bytesRead = 0;
    };
    struct AppendResult {
        bool failed = false;
        bool end = false;   // the platform reported a failure while writing
    };

    FileUtilities(Files& files, View& view, const std::uint8_t& language)
        : files_(files), view_(view), language_(language) {}

    bool fileExists(const std::string& name) { return files_.exists(name); }
    // Writes text up to its first zero byte; a read-only file is made writable first.
    bool writeTextFile(const std::string& name, std::string_view text);
    bool openFileForWriting(const std::string& name);
    AppendResult appendToOpenFile(std::string_view text);
    bool closeWrittenFile();
    // Gives up the file being written: the previous one stays as it was.
    void discardWrittenFile() { files_.discardWritten(); }
    // Reads at most kMaxReadBytes bytes.
    ReadResult readTextFile(const std::string& name);

private:
    void error(std::string_view english, std::string_view french);
    // " (the system's reason)" for an error number, or nothing.
    std::string because(int code) const;

    Files& files_;
    View& view_;
    const std::uint8_t& language_;
};

}  // namespace orv
