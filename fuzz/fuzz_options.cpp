// Any command line: words separated by NUL bytes. Parsing answers a value or an error in
// both languages, never a crash.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/options.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) args.emplace_back();
        else args.back().push_back(static_cast<char>(data[i]));
    }
    const orv::ParsedOptions parsed = orv::parseOptions(args);
    if (parsed.error.english.empty() != parsed.error.french.empty()) std::abort();
    return 0;
}
