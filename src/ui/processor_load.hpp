#pragma once

#include <optional>

namespace orv {

// The machine's total processor load, in percent since the previous reading; empty where
// the platform offers no source.
class ProcessorLoad {
public:
    virtual ~ProcessorLoad() = default;
    virtual std::optional<int> read() = 0;
};

// A platform without a source: the meter stays blank.
class NoProcessorLoad final : public ProcessorLoad {
public:
    std::optional<int> read() override { return std::nullopt; }
};

}  // namespace orv
