#include "ui/file_utilities.hpp"

#include <vector>

#include "ui/lang_text.hpp"

namespace orv {

namespace {

std::string_view beforeZero(std::string_view text) { return text.substr(0, text.find('\0')); }

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

void FileUtilities::error(std::string_view english, std::string_view french) {
    view_.showStandardBox(BoxIcon::Error, langText(language_, english, french));
}

bool FileUtilities::openFileForWriting(const std::string& name) {
    if (files_.openForWriting(name) == 0) return false;
    error("Impossible to open the file " + name + " in writing mode.",
          "Impossible d'ouvrir le fichier " + name + " en écriture.");
    return true;
}

bool FileUtilities::closeWrittenFile() {
    const int code = files_.closeWritten();
    if (code == 0) return false;
    const auto number = std::to_string(code);
    error("Error when closing fichier in writing mode n°" + number,
          "Erreur lors de fermeture de fichier en écriture n°" + number);
    return true;
}

bool FileUtilities::writeTextFile(const std::string& name, std::string_view text) {
    if (files_.exists(name)) files_.makeWritable(name);
    if (openFileForWriting(name)) return true;
    const auto bytes = bytesOf(beforeZero(text));
    if (files_.write(bytes) < bytes.size()) {
        error("Impossible text record. Full hard disk? ", "Ecriture du texte impossible. Disque dur plein? ");
        files_.discardWritten();  // the old file stays as it was
        return true;
    }
    return closeWrittenFile();
}

FileUtilities::AppendResult FileUtilities::appendToOpenFile(std::string_view text) {
    const auto bytes = bytesOf(beforeZero(text));
    if (files_.write(bytes) == bytes.size()) return {};
    error("Impossible to write in the file ", "Impossible d'écrire dans le fichier.");
    return {true, true};
}

FileUtilities::ReadResult FileUtilities::readTextFile(const std::string& name) {
    ReadResult result;
    if (files_.openForReading(name) != 0) {
        error("Impossible to open the file " + name + " in reading mode.",
              "Impossible d'ouvrir le fichier " + name + " en lecture.");
        result.failed = true;
        return result;
    }
    std::vector<std::uint8_t> buffer(kMaxReadBytes);
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const auto got = files_.read(std::span(buffer).subspan(filled));
        if (got < 0) {
            error("Error when reading the file " + name + ".", "Erreur lors de la lecture du fichier " + name + ".");
            files_.closeRead();
            result.failed = true;
            return result;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    result.bytesRead = filled;
    result.text = std::string(beforeZero({reinterpret_cast<const char*>(buffer.data()), filled}));
    const int code = files_.closeRead();
    if (code != 0) {
        const auto number = std::to_string(code);
        error("Error when closing the file in reading mode n°" + number,
              "Erreur lors de fermeture de fichier en lecture n°" + number);
        result.failed = true;
    }
    return result;
}

}  // namespace orv
