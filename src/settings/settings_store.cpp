#include "settings/settings_store.hpp"

namespace orv {

SettingsStore::Load SettingsStore::load() {
    const std::string path = files_.pathOf(kConfigFileName);
    if (!io_.fileExists(path)) {
        resetToStandard();
        return Load::Missing;
    }
    const auto read = io_.readTextFile(path);
    std::optional<ConfigRecord> record;
    if (!read.failed) record = readConfig(read.text, read.bytesRead);
    if (record) {
        record_ = *record;
        // A short file was completed from the standard record: it still needs writing.
        if (read.bytesRead == kConfigLength) onDisk_ = record_;
        return Load::Loaded;
    }
    resetToStandard();
    return read.failed ? Load::ReadFailed : Load::Altered;
}

bool SettingsStore::write() {
    if (saveFailed_) return false;
    const std::string path = files_.pathOf(kConfigFileName);
    if (onDisk_ == record_ && io_.fileExists(path)) return true;
    const std::string text(record_.begin(), record_.end());
    if (io_.writeTextFile(path, text)) {  // true: it failed, and has said so
        onDisk_.reset();
        saveFailed_ = true;
        return false;
    }
    onDisk_ = record_;
    return true;
}

SettingsStore::MemoryLoad SettingsStore::loadFrequencyMemory() {
    const std::string path = files_.pathOf(kFrequencyFileName);
    if (!io_.fileExists(path)) {
        frequencyMemory_ = defaultFrequencyMemory();
        return MemoryLoad::Missing;
    }
    const auto read = io_.readTextFile(path);
    if (read.failed) return MemoryLoad::ReadFailed;  // reported by the read
    const FrequencyFile file = parseFrequencyFile(read.text, read.bytesRead);
    if (file.problem == FrequencyFileProblem::None) {
        frequencyMemory_ = file.memory;
        return MemoryLoad::Loaded;
    }
    frequencyMemory_ = defaultFrequencyMemory();
    return file.problem == FrequencyFileProblem::Incorrect ? MemoryLoad::Incorrect : MemoryLoad::FieldIncorrect;
}

SettingsStore::Save SettingsStore::saveFrequencyMemory() {
    if (saveFailed_) return Save::Failed;
    const Save saved = writeFrequencyFile();
    saveFailed_ = saved != Save::Saved;
    return saved;
}

SettingsStore::Save SettingsStore::writeFrequencyFile() {
    if (io_.openFileForWriting(files_.pathOf(kFrequencyFileName))) return Save::Failed;
    const auto appended = io_.appendToOpenFile(formatFrequencyFile(frequencyMemory_));
    if (appended.failed) {
        // Nothing half-written replaces the old file.
        io_.discardWrittenFile();
        return appended.end ? Save::NoRoom : Save::Failed;
    }
    return io_.closeWrittenFile() ? Save::Failed : Save::Saved;
}

}  // namespace orv
