#include "settings/frequency_memory.hpp"

#include "ui/text_utils.hpp"

namespace orv {

FrequencyMemory defaultFrequencyMemory() {
    constexpr const char* kStandard[12] = {"1810000",  "3500000",  "7000000",  "10100000",
                                           "14000000", "18068000", "21000000", "24890000",
                                           "28000000", "50200000", "144000000", "430000000"};
    FrequencyMemory memory;
    for (std::size_t k = 0; k < memory.size(); ++k) memory[k] = padLeft(kStandard[k], 9);
    return memory;
}

std::string formatFrequencyFile(const FrequencyMemory& memory) {
    std::string text = "SDR\r\n";
    for (const auto& m : memory) text += m + "N\r\n";
    return text;
}

FrequencyFile parseFrequencyFile(std::string_view text, std::size_t bytesRead) {
    FrequencyFile file;
    if (countLines(text) != 14 || bytesRead >= 150) {
        file.problem = FrequencyFileProblem::Incorrect;
        return file;
    }
    std::size_t start = 0;
    std::size_t line = 1;
    for (std::size_t p = 0; p + 1 < text.size(); ++p) {
        if (text[p] != '\r' || text[p + 1] != '\n') continue;
        const std::size_t length = p - start;
        if (length > (line == 1 ? 3u : 10u)) {
            file.problem = FrequencyFileProblem::FieldIncorrect;
            return file;
        }
        if (line > 1 && line <= 13) file.memory[line - 2] = std::string(text.substr(start, std::min<std::size_t>(length, 9)));
        start = p + 2;
        ++line;
    }
    return file;
}

std::string keepDigits(std::string_view text) {
    std::string digits;
    for (const char c : text)
        if (isDigit(c)) digits += c;
    return digits;
}

}  // namespace orv
