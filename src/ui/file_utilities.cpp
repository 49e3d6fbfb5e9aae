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

std::string FileUtilities::because(int code) const {
    const std::string reason = files_.reason(code);
    return reason.empty() ? std::string() : " (" + reason + ")";
}

bool FileUtilities::openFileForWriting(const std::string& name) {
    const int code = files_.openForWriting(name);
    if (code == 0) return false;
    error("Impossible to open the file " + name + " in writing mode." + because(code),
          "Impossible d'ouvrir le fichier " + name + " en écriture." + because(code));
    return true;
}

bool FileUtilities::closeWrittenFile() {
    const int code = files_.closeWritten();
    if (code == 0) return false;
    const auto number = std::to_string(code);
    error("Error when closing fichier in writing mode n°" + number + because(code),
          "Erreur lors de fermeture de fichier en écriture n°" + number + because(code));
    return true;
}

bool FileUtilities::writeTextFile(const std::string& name, std::string_view text) {
    if (files_.exists(name)) files_.makeWritable(name);
    if (openFileForWriting(name)) return true;
    const auto bytes = bytesOf(beforeZero(text));
    if (files_.write(bytes) < bytes.size()) {
        const std::string why = because(files_.lastWriteError());
        error("Impossible text record. Full hard disk? " + why, "Ecriture du texte impossible. Disque dur plein? " + why);
        files_.discardWritten();  // the old file stays as it was
        return true;
    }
    return closeWrittenFile();
}

FileUtilities::AppendResult FileUtilities::appendToOpenFile(std::string_view text) {
    const auto bytes = bytesOf(beforeZero(text));
    if (files_.write(bytes) == bytes.size()) return {};
    const std::string why = because(files_.lastWriteError());
    error("Impossible to write in the file " + why, "Impossible d'écrire dans le fichier." + why);
    return {true, true};
}

FileUtilities::ReadResult FileUtilities::readTextFile(const std::string& name) {
    ReadResult result;
    if (const int code = files_.openForReading(name); code != 0) {
        error("Impossible to open the file " + name + " in reading mode." + because(code),
              "Impossible d'ouvrir le fichier " + name + " en lecture." + because(code));
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
        error("Error when closing the file in reading mode n°" + number + because(code),
              "Erreur lors de fermeture de fichier en lecture n°" + number + because(code));
        result.failed = true;
    }
    return result;
}

}  // namespace orv
