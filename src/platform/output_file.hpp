#pragma once

#include <string>

#include "ui/lang_text.hpp"

namespace orv {

// A file a run writes (speaker audio, waterfall). Its bytes go to a new file beside the
// old one, made with a name of its own, which commit() flushes and puts in the old one's
// place; a run that fails or stops early leaves the old file as it was. A path that is
// a device or a pipe (/dev/null, a FIFO) is written directly, since nothing can be put
// in its place.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { discard(); }

    // Makes the new file. False, with the system's reason, when it cannot be made there.
    bool prepare(const std::string& path, Bilingual& error);
    // Where the writer writes: the new file, or the device itself.
    const std::string& writePath() const { return writePath_; }
    bool prepared() const { return !writePath_.empty(); }
    // Flushes the new file to disk and renames it over the path. False, with the reason,
    // when that fails (the new file is removed then, the old one kept).
    bool commit(Bilingual& error);
    // Removes the new file, if any.
    void discard();

private:
    std::string path_;
    std::string writePath_;
    bool direct_ = false;
};

// Whether two paths name the same file: the same file on disk (through links too), or,
// for files not there yet, the same place.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace orv
