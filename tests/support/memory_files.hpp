#pragma once

#include <map>
#include <string>
#include <vector>

#include "ui/files.hpp"

namespace orv::test {

// Files kept in memory; a write can be made to stop after a number of bytes.
class MemoryFiles final : public Files {
public:
    std::map<std::string, std::string> contents;
    long failWriteAfter = -1;  // bytes a write accepts before failing; -1: never fails

    std::string programDirectory() const override { return "/settings"; }
    bool exists(const std::string& path) override { return contents.count(path) != 0; }
    void makeWritable(const std::string&) override {}
    int openForWriting(const std::string& path) override {
        writing_ = path;
        pending_.clear();
        return 0;
    }
    std::size_t write(std::span<const std::uint8_t> bytes) override {
        std::size_t n = bytes.size();
        if (failWriteAfter >= 0 && n > static_cast<std::size_t>(failWriteAfter)) n = static_cast<std::size_t>(failWriteAfter);
        pending_.append(reinterpret_cast<const char*>(bytes.data()), n);
        return n;
    }
    int closeWritten() override {
        contents[writing_] = pending_;
        return 0;
    }
    void discardWritten() override { pending_.clear(); }
    int openForReading(const std::string& path) override {
        if (!exists(path)) return 2;
        reading_ = path;
        offset_ = 0;
        return 0;
    }
    std::ptrdiff_t read(std::span<std::uint8_t> into) override {
        const std::string& text = contents[reading_];
        const std::size_t n = std::min(into.size(), text.size() - offset_);
        std::copy_n(text.begin() + static_cast<std::ptrdiff_t>(offset_), n, into.begin());
        offset_ += n;
        return static_cast<std::ptrdiff_t>(n);
    }
    int closeRead() override { return 0; }

private:
    std::string writing_;
    std::string pending_;
    std::string reading_;
    std::size_t offset_ = 0;
};

}  // namespace orv::test
