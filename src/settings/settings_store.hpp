#pragma once

#include <cstdint>
#include <optional>

#include "settings/config_record.hpp"
#include "settings/frequency_memory.hpp"
#include "ui/file_utilities.hpp"
#include "ui/files.hpp"
#include "ui/lang_text.hpp"
#include "ui/view.hpp"

namespace orv {

// The settings record and the frequency memory, read from and written to the settings
// folder. Failures of the file routines are reported in the standard box by those
// routines; what the caller must say or do is returned.
class SettingsStore {
public:
    enum class Load { Missing, Loaded, Altered, ReadFailed };
    enum class Save { Saved, Failed, NoRoom };
    enum class MemoryLoad { Loaded, Missing, Incorrect, FieldIncorrect, ReadFailed };

    SettingsStore(Files& files, View& view) : files_(files), io_(files, view, record_[config::kLanguage]) {}
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    ConfigRecord& record() { return record_; }
    const ConfigRecord& record() const { return record_; }
    std::uint8_t language() const { return record_[config::kLanguage]; }
    // The byte the messages read their language from; it lives as long as the store.
    const std::uint8_t& languageByte() const { return record_[config::kLanguage]; }

    // 2 when the user's locale is French of France, else 1.
    void setSystemLanguage(std::uint8_t language) { systemLanguage_ = language; }
    // The standard record, in the system's language.
    void resetToStandard() {
        record_ = kStandardConfig;
        record_[config::kLanguage] = systemLanguage_;
    }

    // Reads CONFORVL.SER. Anything but Loaded leaves the standard record.
    Load load();
    // Writes CONFORVL.SER; a file that already holds these bytes is left as it is. After
    // a save has failed (and said so) the run writes no more files: the next attempts would
    // only repeat the message.
    bool write();
    // A save failed during this run.
    bool saveFailed() const { return saveFailed_; }

    FrequencyMemory& frequencyMemory() { return frequencyMemory_; }
    const FrequencyMemory& frequencyMemory() const { return frequencyMemory_; }
    // Reads SDR_QRG.TXT. A missing or bad file leaves the defaults (the caller writes them
    // anew); a read failure keeps the memories as they are.
    MemoryLoad loadFrequencyMemory();
    Save saveFrequencyMemory();

private:
    Save writeFrequencyFile();

    Files& files_;
    ConfigRecord record_ = kStandardConfig;  // byte 0 is the language
    std::optional<ConfigRecord> onDisk_;     // what the file holds, when known
    bool saveFailed_ = false;
    FileUtilities io_;
    std::uint8_t systemLanguage_ = kEnglish;
    FrequencyMemory frequencyMemory_ = defaultFrequencyMemory();
};

}  // namespace orv
